// Reference pitches typed by the user: reading in the user's separator, the
// reasons a text is refused, and the text written back.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "calc/note.h"
#include "test_names.h"

namespace {

using calc::PitchProblem;
using calc_test::RowName;

struct PitchTextRow {
  const char* name;
  const char* text;
  char separator;
  std::optional<double> hertz;
  std::optional<PitchProblem> problem;
};

class ReadReferencePitchTest : public testing::TestWithParam<PitchTextRow> {};

TEST_P(ReadReferencePitchTest, ReadsOrSaysWhy) {
  const auto& row = GetParam();
  const calc::PitchReading reading = calc::ReadReferencePitch(row.text, row.separator);
  EXPECT_EQ(reading.hertz, row.hertz);
  EXPECT_EQ(reading.problem, row.problem);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadReferencePitchTest,
    testing::Values(
        PitchTextRow{"Listed", "432", '.', 432.0, std::nullopt},
        PitchTextRow{"Tenth", "432.5", '.', 432.5, std::nullopt},
        PitchTextRow{"TenthComma", "432,5", ',', 432.5, std::nullopt},
        PitchTextRow{"TrailingZeros", "415.30", '.', 415.3, std::nullopt},
        PitchTextRow{"Blanks", " 440 ", '.', 440.0, std::nullopt},
        PitchTextRow{"Exponent", "4.4E2", '.', 440.0, std::nullopt},
        PitchTextRow{"LowestEdge", "380", '.', 380.0, std::nullopt},
        PitchTextRow{"HighestEdge", "480,0", ',', 480.0, std::nullopt},
        PitchTextRow{"BelowRange", "379.9", '.', std::nullopt, PitchProblem::OutOfRange},
        PitchTextRow{"AboveRange", "480.1", '.', std::nullopt, PitchProblem::OutOfRange},
        PitchTextRow{"Negative", "-440", '.', std::nullopt, PitchProblem::OutOfRange},
        PitchTextRow{"Hundredth", "440.05", '.', std::nullopt, PitchProblem::NotOnStep},
        PitchTextRow{"HundredthComma", "432,25", ',', std::nullopt, PitchProblem::NotOnStep},
        PitchTextRow{"OtherSeparator", "432,5", '.', std::nullopt, PitchProblem::NotANumber},
        PitchTextRow{"Empty", "", '.', std::nullopt, PitchProblem::NotANumber},
        PitchTextRow{"Word", "A4", '.', std::nullopt, PitchProblem::NotANumber}),
    RowName{});

TEST(ReferencePitchTextTest, ShortestTextInTheSeparator) {
  EXPECT_EQ(calc::ReferencePitchText(440.0, '.'), "440");
  EXPECT_EQ(calc::ReferencePitchText(432.5, ','), "432,5");
  EXPECT_EQ(calc::ReferencePitchText(379.9, '.'), std::nullopt);
  EXPECT_EQ(calc::ReferencePitchText(440.05, '.'), std::nullopt);
  EXPECT_EQ(calc::PitchProblemText(PitchProblem::OutOfRange, ','), "not between 380 and 480 Hz");
  EXPECT_EQ(calc::PitchProblemText(PitchProblem::NotOnStep, ','), "not in steps of 0,1 Hz");
}

// Every choosable pitch writes a text that reads back as itself, in either
// separator, and the listed ones are among them.
TEST(ReferencePitchTextTest, EveryTenthRoundTrips) {
  for (int tenths = 3800; tenths <= 4800; ++tenths) {
    const double hertz = tenths / 10.0;
    ASSERT_TRUE(calc::IsReferencePitch(hertz)) << hertz;
    for (const char separator : {'.', ','}) {
      const auto text = calc::ReferencePitchText(hertz, separator);
      ASSERT_TRUE(text.has_value()) << hertz;
      EXPECT_EQ(calc::ReadReferencePitch(*text, separator).hertz, hertz) << *text;
    }
  }
  for (const double listed : calc::kListedReferencePitches) {
    EXPECT_TRUE(calc::IsReferencePitch(listed)) << listed;
  }
}

}  // namespace
