// The beat calculator: samples per beat, loop tempo and loop length.
#include "calc/beat.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "calc/numeric_text.h"
#include "test_names.h"

namespace {

using calc_test::RowName;

enum class Formula { SamplesPerBeat, TempoFromSamples, LengthSeconds };

struct FormulaRow {
  const char* name;
  Formula formula;
  double first;
  double second;
  std::optional<double> expected;
};

class BeatFormulaTest : public testing::TestWithParam<FormulaRow> {};

TEST_P(BeatFormulaTest, Computes) {
  const auto& row = GetParam();
  std::optional<double> result;
  switch (row.formula) {
    case Formula::SamplesPerBeat:
      result = calc::SamplesPerBeat(row.first, row.second);
      break;
    case Formula::TempoFromSamples:
      result = calc::TempoFromSamples(row.first, row.second);
      break;
    case Formula::LengthSeconds:
      result = calc::LengthSeconds(row.first, row.second);
      break;
  }
  EXPECT_EQ(result, row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, BeatFormulaTest,
    testing::Values(
        FormulaRow{"SamplesAt120", Formula::SamplesPerBeat, 44100.0, 120.0, 44100.0},
        FormulaRow{"NegativeRate", Formula::SamplesPerBeat, -44100.0, 120.0, -44100.0},
        FormulaRow{"SamplesZeroTempo", Formula::SamplesPerBeat, 44100.0, 0.0, std::nullopt},
        FormulaRow{"SamplesOverflow", Formula::SamplesPerBeat, 1e308, 0.5, std::nullopt},
        FormulaRow{"MultiplicationComesFirst", Formula::SamplesPerBeat, 1e307, 1e10, std::nullopt},
        FormulaRow{"TempoOfBeat", Formula::TempoFromSamples, 44100.0, 44100.0, 120.0},
        FormulaRow{"TempoZeroSamples", Formula::TempoFromSamples, 44100.0, 0.0, std::nullopt},
        FormulaRow{"TempoZeroRate", Formula::TempoFromSamples, 0.0, 44100.0, 0.0},
        FormulaRow{"TempoZeroOverZero", Formula::TempoFromSamples, 0.0, 0.0, std::nullopt},
        FormulaRow{"LengthOfBeat", Formula::LengthSeconds, 44100.0, 44100.0, 1.0},
        FormulaRow{"LengthZeroSamples", Formula::LengthSeconds, 0.0, 44100.0, 0.0},
        FormulaRow{"LengthZeroRate", Formula::LengthSeconds, 44100.0, 0.0, std::nullopt},
        FormulaRow{"LengthZeroOverZero", Formula::LengthSeconds, 0.0, 0.0, std::nullopt},
        FormulaRow{"LengthOverflow", Formula::LengthSeconds, 1e308, 1e-10, std::nullopt}),
    RowName{});

enum class TextFormula { SamplesPerBeat, TempoFromSamples, LengthSeconds, Double, Halve };

struct TextRow {
  const char* name;
  TextFormula formula;
  const char* first;
  const char* second;  // unused by Double and Halve
  char separator;
  std::optional<std::string> expected;
};

std::optional<std::string> Evaluate(TextFormula formula, const std::string& first,
                                    const std::string& second, char separator) {
  switch (formula) {
    case TextFormula::SamplesPerBeat:
      return calc::SamplesPerBeatText(first, second, separator);
    case TextFormula::TempoFromSamples:
      return calc::TempoFromSamplesText(first, second, separator);
    case TextFormula::LengthSeconds:
      return calc::LengthSecondsText(first, second, separator);
    case TextFormula::Double:
      return calc::DoubleSamplesText(first, separator);
    case TextFormula::Halve:
      return calc::HalveSamplesText(first, separator);
  }
  return std::nullopt;
}

class BeatTextTest : public testing::TestWithParam<TextRow> {};

TEST_P(BeatTextTest, WritesFullText) {
  const auto& row = GetParam();
  EXPECT_EQ(Evaluate(row.formula, row.first, row.second, row.separator), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, BeatTextTest,
    testing::Values(
        TextRow{"SamplesAt100", TextFormula::SamplesPerBeat, "44100", "100", '.', "52920"},
        TextRow{"SamplesAt130Uncut", TextFormula::SamplesPerBeat, "44100", "130", '.',
                "40707.6923076923"},
        TextRow{"SamplesAt130Comma", TextFormula::SamplesPerBeat, "44100", "130", ',',
                "40707,6923076923"},
        TextRow{"SamplesEmptyTempo", TextFormula::SamplesPerBeat, "44100", "", '.', std::nullopt},
        TextRow{"SamplesZeroTempo", TextFormula::SamplesPerBeat, "44100", "0", '.', std::nullopt},
        TextRow{"SamplesEmptyRate", TextFormula::SamplesPerBeat, "", "120", '.', std::nullopt},
        TextRow{"TempoFromCutSamples", TextFormula::TempoFromSamples, "44100", "40707.6923", '.',
                "130.000000024565"},
        TextRow{"TempoFromCutSamplesComma", TextFormula::TempoFromSamples, "44100", "40707,6923",
                ',', "130,000000024565"},
        TextRow{"TempoOf100000", TextFormula::TempoFromSamples, "44100", "100000", '.', "52.92"},
        TextRow{"TempoOf12345", TextFormula::TempoFromSamples, "44100", "12345", '.',
                "428.675577156744"},
        TextRow{"TempoZeroSamples", TextFormula::TempoFromSamples, "44100", "0", '.', std::nullopt},
        TextRow{"TempoZeroRate", TextFormula::TempoFromSamples, "0", "44100", '.', "0"},
        TextRow{"TempoSamplesNotANumber", TextFormula::TempoFromSamples, "44100", "12a", '.',
                std::nullopt},
        TextRow{"LengthOfCutSamples", TextFormula::LengthSeconds, "40707.6923", "44100", '.',
                "0.923076922902494"},
        TextRow{"LengthOf100000", TextFormula::LengthSeconds, "100000", "44100", '.',
                "2.26757369614512"},
        TextRow{"LengthZeroSamples", TextFormula::LengthSeconds, "0", "44100", '.', "0"},
        TextRow{"LengthZeroRate", TextFormula::LengthSeconds, "44100", "0", '.', std::nullopt},
        TextRow{"LengthHalfComma", TextFormula::LengthSeconds, "22050", "44100", ',', "0,5"},
        TextRow{"LengthEmptySamples", TextFormula::LengthSeconds, "", "44100", '.', std::nullopt},
        TextRow{"DoubleBeat", TextFormula::Double, "44100", "", '.', "88200"},
        TextRow{"DoubleBeyondSamplesBox", TextFormula::Double, "9000000000", "", '.',
                "18000000000"},
        TextRow{"DoubleNotANumber", TextFormula::Double, "abc", "", '.', std::nullopt},
        TextRow{"HalveOdd", TextFormula::Halve, "44101", "", '.', "22050.5"},
        TextRow{"HalveOddComma", TextFormula::Halve, "44101", "", ',', "22050,5"},
        TextRow{"HalveEmpty", TextFormula::Halve, "", "", '.', std::nullopt}),
    RowName{});

}  // namespace
