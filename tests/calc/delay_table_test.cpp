// The delay table: 24 note lengths in milliseconds for a tempo text.
#include "calc/delay_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <optional>
#include <random>
#include <string>

#include "calc/numeric_text.h"
#include "test_names.h"

namespace {

using calc::DelayTexts;
using calc_test::RowName;

DelayTexts InitialTexts() {
  DelayTexts texts;
  texts.fill("0");
  return texts;
}

const DelayTexts kTable120 = {"2000",   "3000",   "1000",   "1500",   "500",    "750",
                              "250",    "375",    "125",    "187.5",  "62.5",   "93.75",
                              "31.25",  "46.875", "15.625", "23.437", "7.8125", "11.718",
                              "3.9062", "5.8593", "1.9531", "2.9296", "0.9765", "1.4647"};

struct FullTableRow {
  const char* name;
  const char* tempo;
  DelayTexts expected;
};

class DelayTableFullTest : public testing::TestWithParam<FullTableRow> {};

TEST_P(DelayTableFullTest, ComputesAllSlots) {
  const auto& row = GetParam();
  const DelayTexts table = calc::ComputeDelayTable(row.tempo, InitialTexts(), '.');
  for (std::size_t slot = 0; slot < table.size(); ++slot) {
    EXPECT_EQ(table[slot], row.expected[slot]) << "slot " << slot;
  }
}

// Each dotted slot is one and a half times the plain slot as the box shows it.
INSTANTIATE_TEST_SUITE_P(
    Tempos, DelayTableFullTest,
    testing::Values(FullTableRow{"Tempo120", "120", kTable120},
                    FullTableRow{"Tempo90DottedFromShownText",
                                 "90",
                                 {"2666.6", "3999.9", "1333.3", "1999.9", "666.66", "999.99",
                                  "333.33", "499.99", "166.66", "249.99", "83.333", "124.99",
                                  "41.666", "62.499", "20.833", "31.249", "10.416", "15.624",
                                  "5.2083", "7.8124", "2.6041", "3.9061", "1.3020", "1.953"}}),
    RowName{});

struct SlotRow {
  const char* name;
  const char* tempo;
  char separator;
  std::size_t slot;
  const char* expected;
};

class DelayTableSlotTest : public testing::TestWithParam<SlotRow> {};

TEST_P(DelayTableSlotTest, ComputesSlot) {
  const auto& row = GetParam();
  const DelayTexts table = calc::ComputeDelayTable(row.tempo, InitialTexts(), row.separator);
  EXPECT_EQ(table[row.slot], row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DelayTableSlotTest,
    testing::Values(SlotRow{"Tempo7TrailingSeparator", "7", '.', 0, "34285."},
                    SlotRow{"Tempo7DottedFromCutText", "7", '.', 1, "51427."},
                    SlotRow{"FractionalTempoWhole", "120.5", '.', 0, "1991.7"},
                    SlotRow{"FractionalTempoDottedWhole", "120.5", '.', 1, "2987.5"},
                    SlotRow{"FractionalTempoTrailingZero", "120.5", '.', 10, "62.240"},
                    SlotRow{"FractionalTempoDottedFromTrailingZero", "120.5", '.', 11, "93.36"},
                    SlotRow{"NegativeTempoWhole", "-120", '.', 0, "-2000"},
                    SlotRow{"NegativeTempoDottedWhole", "-120", '.', 1, "-3000"},
                    SlotRow{"NegativeTempoCutAfterSign", "-120", '.', 13, "-46.87"},
                    SlotRow{"Tempo300Whole", "300", '.', 0, "800"},
                    SlotRow{"Tempo300DottedWhole", "300", '.', 1, "1200"},
                    SlotRow{"Tempo240Whole", "240", '.', 0, "1000"},
                    SlotRow{"Tempo240DottedWhole", "240", '.', 1, "1500"},
                    SlotRow{"Tempo60Whole", "60", '.', 0, "4000"},
                    SlotRow{"BlanksAroundTempo", " 120 ", '.', 0, "2000"},
                    SlotRow{"ExponentTempo", "1.2E2", '.', 1, "3000"},
                    SlotRow{"CommaWhole", "120,5", ',', 0, "1991,7"},
                    SlotRow{"CommaDottedWhole", "120,5", ',', 1, "2987,5"},
                    SlotRow{"CommaTrailingZero", "120,5", ',', 10, "62,240"},
                    SlotRow{"CommaDottedFromCommaText", "120,5", ',', 11, "93,36"},
                    SlotRow{"SlowTempoWholeInExponentForm", "0.1", '.', 0, "2.4E+6"},
                    SlotRow{"SlowTempoDottedReadsExponentForm", "0.1", '.', 1, "3.6E+6"},
                    SlotRow{"SlowTempoHalf", "0.1", '.', 2, "1.2E+6"},
                    SlotRow{"SlowTempoDottedHalf", "0.1", '.', 3, "1.8E+6"},
                    SlotRow{"SlowTempoQuarterFitsPlain", "0.1", '.', 4, "600000"},
                    SlotRow{"SlowTempoDottedQuarter", "0.1", '.', 5, "900000"},
                    SlotRow{"SlowTempoCommaExponent", "0,1", ',', 0, "2,4E+6"},
                    SlotRow{"SlowNegativeTempoWhole", "-0.1", '.', 0, "-2E+6"},
                    SlotRow{"SlowNegativeTempoDottedWhole", "-0.1", '.', 1, "-3E+6"}),
    RowName{});

struct FailingTempoRow {
  const char* name;
  const char* tempo;
  char separator;
};

class DelayTableFailingTempoTest : public testing::TestWithParam<FailingTempoRow> {};

// The plain slots keep the last valid table; the dotted slots are recomputed
// from them, so junk in a dotted slot is replaced.
TEST_P(DelayTableFailingTempoTest, KeepsPlainSlotsAndRecomputesDotted) {
  const auto& row = GetParam();
  DelayTexts previous = kTable120;
  for (std::size_t slot = 1; slot < previous.size(); slot += 2) previous[slot] = "junk";
  EXPECT_EQ(calc::ComputeDelayTable(row.tempo, previous, row.separator), kTable120);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DelayTableFailingTempoTest,
    testing::Values(FailingTempoRow{"Zero", "0", '.'}, FailingTempoRow{"NegativeZero", "-0", '.'},
                    FailingTempoRow{"Empty", "", '.'}, FailingTempoRow{"OnlyBlanks", "   ", '.'},
                    FailingTempoRow{"Word", "abc", '.'},
                    FailingTempoRow{"LetterAfterDigits", "12a", '.'},
                    FailingTempoRow{"OtherSeparator", "0,5", '.'},
                    FailingTempoRow{"QuotientOverflows", "1e-310", '.'},
                    FailingTempoRow{"LongestDelaysCannotBeShown", "-1e-96", '.'}),
    RowName{});

struct KeptSlotRow {
  const char* name;
  const char* previousPlain;
  const char* previousDotted;
  const char* expectedDotted;
};

class DelayTableKeptSlotTest : public testing::TestWithParam<KeptSlotRow> {};

TEST_P(DelayTableKeptSlotTest, DottedSlotFollowsKeptPlainSlot) {
  const auto& row = GetParam();
  DelayTexts previous = InitialTexts();
  previous[0] = row.previousPlain;
  previous[1] = row.previousDotted;
  const DelayTexts table = calc::ComputeDelayTable("", previous, '.');
  EXPECT_EQ(table[0], row.previousPlain);
  EXPECT_EQ(table[1], row.expectedDotted);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DelayTableKeptSlotTest,
    testing::Values(KeptSlotRow{"InitialZero", "0", "0", "0"},
                    KeptSlotRow{"CutText", "34285.", "1", "51427."},
                    KeptSlotRow{"ExponentText", "2.4E+6", "1", "3.6E+6"},
                    KeptSlotRow{"PlainNotANumberKeepsDotted", "abc", "zzz", "zzz"},
                    KeptSlotRow{"DottedOverflowKeepsDotted", "1.7E+308", "old", "old"}),
    RowName{});

// For many tempos, every slot fits its box and shows its value cut towards
// zero: never larger (but for the rounding to 15 digits before the cut), never
// a power of ten too small.
constexpr double kWrittenRounding = 1.0 + 1e-14;

TEST(DelayTablePropertyTest, SlotsFitAndStayWithinAPowerOfTen) {
  std::mt19937_64 random(1202u);
  std::uniform_real_distribution<double> exponent(-300.0, 300.0);
  for (int i = 0; i < 3000; ++i) {
    const std::optional<std::string> tempoText =
        calc::NumberToText(std::pow(10.0, exponent(random)), '.');
    ASSERT_TRUE(tempoText.has_value());
    SCOPED_TRACE(*tempoText);
    const double tempo = *calc::TextToNumber(*tempoText, '.');
    const DelayTexts table = calc::ComputeDelayTable(*tempoText, InitialTexts(), '.');
    for (int k = 0; k < 12; ++k) {
      const auto plainSlot = static_cast<std::size_t>(2 * k);
      const std::string& plain = table[plainSlot];
      const std::string& dotted = table[plainSlot + 1];
      ASSERT_LE(plain.size(), calc::kSlotLength);
      ASSERT_LE(dotted.size(), calc::kSlotLength);
      const double exact = 240000.0 / tempo / std::ldexp(1.0, k);
      if (!std::isfinite(exact)) {
        ASSERT_EQ(plain, "0");
        continue;
      }
      const std::optional<double> shownPlain = calc::TextToNumber(plain, '.');
      ASSERT_TRUE(shownPlain.has_value()) << plain;
      ASSERT_LE(*shownPlain, exact * kWrittenRounding) << plain;
      ASSERT_GT(*shownPlain * 10.0, exact) << plain;
      const double exactDotted = *shownPlain * 1.5;
      if (!std::isfinite(exactDotted)) {
        ASSERT_EQ(dotted, "0");
        continue;
      }
      const std::optional<double> shownDotted = calc::TextToNumber(dotted, '.');
      ASSERT_TRUE(shownDotted.has_value()) << dotted;
      ASSERT_LE(*shownDotted, exactDotted * kWrittenRounding) << dotted;
      ASSERT_GT(*shownDotted * 10.0, exactDotted) << dotted;
    }
  }
}

}  // namespace
