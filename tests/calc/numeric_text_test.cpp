// Reading and writing control texts: numbers, whole numbers, singles, flags.
#include "calc/numeric_text.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "test_names.h"

namespace {

using calc_test::RowName;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---------------------------------------------------------------- NumberToText

struct NumberToTextRow {
  const char* name;
  double value;
  char separator;
  std::optional<std::string> expected;
};

class NumberToTextTest : public testing::TestWithParam<NumberToTextRow> {};

TEST_P(NumberToTextTest, WritesFifteenDigitText) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::NumberToText(row.value, row.separator), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, NumberToTextTest,
    testing::Values(
        NumberToTextRow{"IntegralResultHasNoDecimalPart", 44100.0, '.', "44100"},
        NumberToTextRow{"TrailingZerosOfIntegerKept", 100.0, '.', "100"},
        NumberToTextRow{"OneThirdHasFifteenDigits", 0.33333333333333331, '.', "0.333333333333333"},
        NumberToTextRow{"HalfKeepsLeadingZero", 0.5, '.', "0.5"},
        NumberToTextRow{"HalfWithComma", 0.5, ',', "0,5"},
        NumberToTextRow{"NegativeHalf", -0.5, '.', "-0.5"}, NumberToTextRow{"Zero", 0.0, '.', "0"},
        NumberToTextRow{"NegativeZeroHasNoSign", -0.0, '.', "0"},
        NumberToTextRow{"BinaryNoiseRoundedAway", 0.30000000000000004, '.', "0.3"},
        NumberToTextRow{"FifteenNinesStayPlain", 999999999999999.0, '.', "999999999999999"},
        NumberToTextRow{"RoundingUpReachesExponentForm", 999999999999999.5, '.', "1E+15"},
        NumberToTextRow{"ExponentFifteenUsesExponentForm", 1e15, '.', "1E+15"},
        NumberToTextRow{"SixteenDigitsRounded", 1234567890123456.0, '.', "1.23456789012346E+15"},
        NumberToTextRow{"FractionRoundedIntoInteger", 123456789012345.6, '.', "123456789012346"},
        NumberToTextRow{"SmallestPlainMagnitude", 0.0001, '.', "0.0001"},
        NumberToTextRow{"BelowTenThousandthUsesExponent", 0.00001, '.', "1E-05"},
        NumberToTextRow{"SmallExponentTwoDigits", 1.5e-5, '.', "1.5E-05"},
        NumberToTextRow{"SmallExponentWithComma", 1.5e-5, ',', "1,5E-05"},
        NumberToTextRow{"NegativeLarge", -2.5e20, '.', "-2.5E+20"},
        NumberToTextRow{"ThreeDigitExponent", 1e100, '.', "1E+100"},
        NumberToTextRow{"LargeBelowDoubleLimit", 1.7976931348623e308, '.', "1.7976931348623E+308"},
        // Rounded to 15 digits the largest double exceeds the double range, a
        // text that could not be read back.
        NumberToTextRow{"LargestDoubleRoundsBeyondRangeFails", 1.7976931348623157e308, '.',
                        std::nullopt},
        NumberToTextRow{"SmallestSubnormal", 4.9406564584124654e-324, '.', "4.94065645841247E-324"},
        NumberToTextRow{"InfinityFails", kInf, '.', std::nullopt},
        NumberToTextRow{"NegativeInfinityFails", -kInf, '.', std::nullopt},
        NumberToTextRow{"NotANumberFails", kNaN, '.', std::nullopt}),
    RowName{});

struct DigitsRow {
  const char* name;
  double value;
  int digits;
  std::optional<std::string> expected;
};

class NumberToTextDigitsTest : public testing::TestWithParam<DigitsRow> {};

TEST_P(NumberToTextDigitsTest, WritesRequestedSignificantDigits) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::NumberToText(row.value, row.digits, '.'), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, NumberToTextDigitsTest,
    testing::Values(DigitsRow{"SevenDigitsOfOneThird", 0.33333333333333331, 7, "0.3333333"},
                    DigitsRow{"SevenDigitsRoundUp", 1234567.8, 7, "1234568"},
                    DigitsRow{"ExponentFromDigitCount", 12345678.0, 7, "1.234568E+07"},
                    DigitsRow{"SeventeenDigitsShowBinaryValue", 0.1, 17, "0.10000000000000001"},
                    DigitsRow{"OneDigitRoundsToNextPower", 9.5, 1, "1E+01"},
                    DigitsRow{"OneDigitExactTieToEven", 0.25, 1, "0.2"},
                    DigitsRow{"SeventeenDigitsOfLargestDouble", 1.7976931348623157e308, 17,
                              "1.7976931348623157E+308"},
                    DigitsRow{"ZeroDigitsFails", 1.0, 0, std::nullopt},
                    DigitsRow{"EighteenDigitsFails", 1.0, 18, std::nullopt},
                    DigitsRow{"InfinityFails", kInf, 7, std::nullopt}),
    RowName{});

// ---------------------------------------------------------------- TextToNumber

struct TextToNumberRow {
  const char* name;
  const char* text;
  char separator;
  std::optional<double> expected;
};

class TextToNumberTest : public testing::TestWithParam<TextToNumberRow> {};

TEST_P(TextToNumberTest, ReadsWholeText) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::TextToNumber(row.text, row.separator), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, TextToNumberTest,
    testing::Values(
        TextToNumberRow{"Integer", "120", '.', 120.0},
        TextToNumberRow{"Fraction", "120.5", '.', 120.5},
        TextToNumberRow{"CommaFraction", "0,5", ',', 0.5},
        TextToNumberRow{"BlanksAround", "  12  ", '.', 12.0},
        TextToNumberRow{"TabsAround", "\t12\t", '.', 12.0},
        TextToNumberRow{"PlusSign", "+5", '.', 5.0}, TextToNumberRow{"MinusSign", "-5", '.', -5.0},
        TextToNumberRow{"TrailingSeparator", "5.", '.', 5.0},
        TextToNumberRow{"LeadingSeparator", ".5", '.', 0.5},
        TextToNumberRow{"SignedLeadingSeparator", "-.5", '.', -0.5},
        TextToNumberRow{"CommaLeadingSeparator", ",25", ',', 0.25},
        TextToNumberRow{"LeadingZeros", "00012", '.', 12.0},
        TextToNumberRow{"UpperExponent", "1E3", '.', 1000.0},
        TextToNumberRow{"LowerExponentPlus", "1e+3", '.', 1000.0},
        TextToNumberRow{"NegativeExponent", "1e-3", '.', 0.001},
        TextToNumberRow{"WrittenExponentForm", "1.5E-05", '.', 1.5e-5},
        TextToNumberRow{"CommaExponentForm", "1,5E-05", ',', 1.5e-5},
        TextToNumberRow{"SignedExponentWithBlanks", " -1.5e3 ", '.', -1500.0},
        TextToNumberRow{"CutBoxText", "34285.", '.', 34285.0},
        TextToNumberRow{"FittedExponentText", "2.4E+6", '.', 2400000.0},
        TextToNumberRow{"LargestDouble", "1.7976931348623157e308", '.', 1.7976931348623157e308},
        TextToNumberRow{"TieRoundsToEven", "9007199254740993", '.', 9007199254740992.0},
        TextToNumberRow{"UnderflowReadsZero", "1e-400", '.', 0.0},
        TextToNumberRow{"HugeNegativeExponentReadsZero", "1e-99999999999999999999", '.', 0.0},
        TextToNumberRow{"ZeroWithHugeExponentIsZero", "0e999", '.', 0.0},
        TextToNumberRow{"LongMantissaRoundedOnce", "0.1000000000000000055511151231257827", '.',
                        0.1}),
    RowName{});

INSTANTIATE_TEST_SUITE_P(
    Rejected, TextToNumberTest,
    testing::Values(TextToNumberRow{"Empty", "", '.', std::nullopt},
                    TextToNumberRow{"OnlyBlanks", "   ", '.', std::nullopt},
                    TextToNumberRow{"LetterAfterDigits", "12a", '.', std::nullopt},
                    TextToNumberRow{"TwoSeparators", "1.2.3", '.', std::nullopt},
                    TextToNumberRow{"TwoCommaSeparators", "1,2,3", ',', std::nullopt},
                    TextToNumberRow{"ExponentWithoutDigits", "1e", '.', std::nullopt},
                    TextToNumberRow{"ExponentSignWithoutDigits", "1e+", '.', std::nullopt},
                    TextToNumberRow{"ExponentWithoutMantissa", "e5", '.', std::nullopt},
                    TextToNumberRow{"FractionalExponent", "1e5.5", '.', std::nullopt},
                    TextToNumberRow{"BlankInsideExponent", "1e 5", '.', std::nullopt},
                    TextToNumberRow{"BareSeparator", ".", '.', std::nullopt},
                    TextToNumberRow{"BareMinus", "-", '.', std::nullopt},
                    TextToNumberRow{"BarePlus", "+", '.', std::nullopt},
                    TextToNumberRow{"DoubleSign", "--1", '.', std::nullopt},
                    TextToNumberRow{"MixedSigns", "+-1", '.', std::nullopt},
                    TextToNumberRow{"BlankInsideDigits", "1 000", '.', std::nullopt},
                    TextToNumberRow{"HexPrefix", "0x10", '.', std::nullopt},
                    TextToNumberRow{"AmpersandHex", "&H10", '.', std::nullopt},
                    TextToNumberRow{"NotANumberWord", "NaN", '.', std::nullopt},
                    TextToNumberRow{"InfinityShort", "inf", '.', std::nullopt},
                    TextToNumberRow{"InfinityWord", "Infinity", '.', std::nullopt},
                    TextToNumberRow{"PercentSign", "5%", '.', std::nullopt},
                    TextToNumberRow{"CommaUnderPointSeparator", "1,5", '.', std::nullopt},
                    TextToNumberRow{"PointUnderCommaSeparator", "0.5", ',', std::nullopt},
                    TextToNumberRow{"ThousandsSeparator", "1,000.5", '.', std::nullopt},
                    TextToNumberRow{"Overflow", "1e999", '.', std::nullopt},
                    TextToNumberRow{"NegativeOverflow", "-1e999", '.', std::nullopt},
                    TextToNumberRow{"JustAboveLargestDouble", "1.8e308", '.', std::nullopt},
                    TextToNumberRow{"HugeExponentOverflow", "1e99999999999999999999", '.',
                                    std::nullopt}),
    RowName{});

// --------------------------------------------------------------- whole numbers

struct TextToIntegerRow {
  const char* name;
  const char* text;
  char separator;
  std::optional<std::int32_t> expected;
};

class TextToIntegerTest : public testing::TestWithParam<TextToIntegerRow> {};

TEST_P(TextToIntegerTest, RoundsHalfToEven) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::TextToInteger(row.text, row.separator), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TextToIntegerTest,
    testing::Values(
        TextToIntegerRow{"HalfDownToEven", "120.5", '.', 120},
        TextToIntegerRow{"HalfUpToEven", "121.5", '.', 122},
        TextToIntegerRow{"TwoAndAHalf", "2.5", '.', 2},
        TextToIntegerRow{"MinusHalf", "-0.5", '.', 0},
        TextToIntegerRow{"MinusOneAndAHalf", "-1.5", '.', -2},
        TextToIntegerRow{"BelowHalf", "120.4999", '.', 120},
        TextToIntegerRow{"AboveHalf", "120.5001", '.', 121},
        TextToIntegerRow{"CommaHalf", "120,5", ',', 120},
        TextToIntegerRow{"ExponentForm", "1e3", '.', 1000},
        TextToIntegerRow{"Largest", "2147483647", '.', 2147483647},
        TextToIntegerRow{"LargestWithFraction", "2147483647.4", '.', 2147483647},
        TextToIntegerRow{"HalfAboveLargestRoundsOut", "2147483647.5", '.', std::nullopt},
        TextToIntegerRow{"AboveLargest", "2147483648", '.', std::nullopt},
        TextToIntegerRow{"Smallest", "-2147483648", '.', -2147483647 - 1},
        TextToIntegerRow{"HalfBelowSmallestRoundsIn", "-2147483648.5", '.', -2147483647 - 1},
        TextToIntegerRow{"BelowSmallest", "-2147483649", '.', std::nullopt},
        TextToIntegerRow{"Empty", "", '.', std::nullopt},
        TextToIntegerRow{"NotANumber", "12a", '.', std::nullopt}),
    RowName{});

struct RoundRow {
  const char* name;
  double value;
  double expected;
};

class RoundHalfEvenTest : public testing::TestWithParam<RoundRow> {};

// Restores the rounding mode a test changed.
class RoundingModeGuard {
 public:
  RoundingModeGuard() : saved_(std::fegetround()) {}
  ~RoundingModeGuard() { std::fesetround(saved_); }
  RoundingModeGuard(const RoundingModeGuard&) = delete;
  RoundingModeGuard& operator=(const RoundingModeGuard&) = delete;

 private:
  int saved_;
};

TEST_P(RoundHalfEvenTest, IgnoresFloatingPointRoundingMode) {
  const auto& row = GetParam();
  RoundingModeGuard guard;
  for (const int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
    SCOPED_TRACE(mode);
    ASSERT_EQ(std::fesetround(mode), 0);
    const double rounded = calc::RoundHalfEven(row.value);
    std::fesetround(FE_TONEAREST);
    EXPECT_EQ(rounded, row.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, RoundHalfEvenTest,
    testing::Values(RoundRow{"HalfToZero", 0.5, 0.0}, RoundRow{"OneAndAHalfToTwo", 1.5, 2.0},
                    RoundRow{"TwoAndAHalfToTwo", 2.5, 2.0},
                    RoundRow{"MinusTwoAndAHalf", -2.5, -2.0},
                    RoundRow{"MinusHalfToZero", -0.5, 0.0},
                    RoundRow{"LargestBelowHalf", 0.49999999999999994, 0.0},
                    RoundRow{"NegativeLargestBelowHalf", -0.49999999999999994, 0.0},
                    RoundRow{"NegativeJustBeyondHalf", -0.5000000000000001, -1.0},
                    RoundRow{"TinyNegative", -1e-300, 0.0},
                    RoundRow{"JustBelowTwoAndAHalf", 2.4999999999999996, 2.0},
                    RoundRow{"AboveHalf", 2.6, 3.0}, RoundRow{"NegativeAboveHalf", -2.6, -3.0},
                    RoundRow{"OddBeyondFractions", 4503599627370497.0, 4503599627370497.0},
                    RoundRow{"HalfJustBelowFractionLimit", 4503599627370495.5, 4503599627370496.0},
                    RoundRow{"Huge", 1e300, 1e300}),
    RowName{});

struct Int16Row {
  const char* name;
  double value;
  std::optional<std::int16_t> expected;
};

class RoundToInt16Test : public testing::TestWithParam<Int16Row> {};

TEST_P(RoundToInt16Test, LimitsToSixteenBits) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::RoundToInt16(row.value), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, RoundToInt16Test,
    testing::Values(Int16Row{"Largest", 32767.0, std::int16_t{32767}},
                    Int16Row{"LargestWithFraction", 32767.4, std::int16_t{32767}},
                    Int16Row{"HalfAboveLargest", 32767.5, std::nullopt},
                    Int16Row{"HalfToEvenBelowLargest", 32766.5, std::int16_t{32766}},
                    Int16Row{"Smallest", -32768.0, std::int16_t{-32768}},
                    Int16Row{"HalfBelowSmallestToEven", -32768.5, std::int16_t{-32768}},
                    Int16Row{"BelowSmallest", -32768.6, std::nullopt},
                    Int16Row{"NoteIndex", 11.0, std::int16_t{11}},
                    Int16Row{"Infinity", kInf, std::nullopt},
                    Int16Row{"NotANumber", kNaN, std::nullopt}),
    RowName{});

struct Int32Row {
  const char* name;
  double value;
  std::optional<std::int32_t> expected;
};

class RoundToInt32Test : public testing::TestWithParam<Int32Row> {};

TEST_P(RoundToInt32Test, LimitsToThirtyTwoBits) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::RoundToInt32(row.value), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, RoundToInt32Test,
                         testing::Values(Int32Row{"HalfAboveLargest", 2147483647.5, std::nullopt},
                                         Int32Row{"HalfBelowSmallestToEven", -2147483648.5,
                                                  -2147483647 - 1},
                                         Int32Row{"Tempo", 120.5, 120},
                                         Int32Row{"NegativeInfinity", -kInf, std::nullopt},
                                         Int32Row{"NotANumber", kNaN, std::nullopt}),
                         RowName{});

struct IntegerTextRow {
  const char* name;
  std::int64_t value;
  const char* expected;
};

class IntegerToTextTest : public testing::TestWithParam<IntegerTextRow> {};

TEST_P(IntegerToTextTest, WritesPlainDigits) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::IntegerToText(row.value), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, IntegerToTextTest,
                         testing::Values(IntegerTextRow{"Zero", 0, "0"},
                                         IntegerTextRow{"TwoDigits", 11, "11"},
                                         IntegerTextRow{"Negative", -5, "-5"},
                                         IntegerTextRow{"Largest32", 2147483647, "2147483647"},
                                         IntegerTextRow{"Smallest64",
                                                        std::numeric_limits<std::int64_t>::min(),
                                                        "-9223372036854775808"}),
                         RowName{});

// --------------------------------------------------------------------- singles

struct TextToSingleRow {
  const char* name;
  const char* text;
  char separator;
  std::optional<float> expected;
};

class TextToSingleTest : public testing::TestWithParam<TextToSingleRow> {};

TEST_P(TextToSingleTest, ReadsWithinSingleRange) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::TextToSingle(row.text, row.separator), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TextToSingleTest,
    testing::Values(TextToSingleRow{"WindowPosition", "1815", '.', 1815.0f},
                    TextToSingleRow{"CommaFraction", "0,25", ',', 0.25f},
                    TextToSingleRow{"NearLargestSingle", "3.4e38", '.', 3.4e38f},
                    TextToSingleRow{"BeyondSingleRange", "1e39", '.', std::nullopt},
                    TextToSingleRow{"NegativeBeyondSingleRange", "-1e39", '.', std::nullopt},
                    TextToSingleRow{"NotANumber", "abc", '.', std::nullopt},
                    TextToSingleRow{"Empty", "", '.', std::nullopt}),
    RowName{});

struct SingleToTextRow {
  const char* name;
  float value;
  char separator;
  std::optional<std::string> expected;
};

class SingleToTextTest : public testing::TestWithParam<SingleToTextRow> {};

TEST_P(SingleToTextTest, WritesSevenDigits) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::SingleToText(row.value, row.separator), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SingleToTextTest,
    testing::Values(SingleToTextRow{"Integral", 1815.0f, '.', "1815"},
                    SingleToTextRow{"HalfFraction", 1815.5f, '.', "1815.5"},
                    SingleToTextRow{"RoundedToSevenDigits", 1234567.8f, '.', "1234568"},
                    SingleToTextRow{"ExponentAtSevenDigits", 1e7f, '.', "1E+07"},
                    SingleToTextRow{"TenthHasNoBinaryNoise", 0.1f, '.', "0.1"},
                    SingleToTextRow{"TenThousandthHasNoBinaryNoise", 0.0001f, '.', "0.0001"},
                    SingleToTextRow{"Negative", -2.5f, '.', "-2.5"},
                    SingleToTextRow{"Comma", 1.5f, ',', "1,5"},
                    SingleToTextRow{"InfinityFails", std::numeric_limits<float>::infinity(), '.',
                                    std::nullopt}),
    RowName{});

// ----------------------------------------------------------------------- flags

struct FlagRow {
  const char* name;
  const char* text;
  char separator;
  std::optional<bool> expected;
};

class TextToFlagTest : public testing::TestWithParam<FlagRow> {};

TEST_P(TextToFlagTest, ReadsWordsAndNumbers) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::TextToFlag(row.text, row.separator), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TextToFlagTest,
    testing::Values(
        FlagRow{"TrueWord", "True", '.', true}, FlagRow{"TrueLower", "true", '.', true},
        FlagRow{"TrueUpper", "TRUE", '.', true}, FlagRow{"TrueMixedCase", "tRuE", '.', true},
        FlagRow{"FalseWord", "False", '.', false}, FlagRow{"FalseLower", "false", '.', false},
        FlagRow{"FalseUpper", "FALSE", '.', false}, FlagRow{"ZeroIsFalse", "0", '.', false},
        FlagRow{"OneIsTrue", "1", '.', true}, FlagRow{"NegativeFractionIsTrue", "-3.5", '.', true},
        FlagRow{"ZeroWithFractionIsFalse", "0.0", '.', false},
        FlagRow{"CommaZeroIsFalse", "0,0", ',', false},
        FlagRow{"CommaFractionIsTrue", "0,5", ',', true},
        FlagRow{"Garbage", "garbage", '.', std::nullopt}, FlagRow{"Empty", "", '.', std::nullopt},
        FlagRow{"Yes", "yes", '.', std::nullopt},
        FlagRow{"TruncatedWord", "Tru", '.', std::nullopt},
        FlagRow{"WordWithExtraLetter", "Truee", '.', std::nullopt}),
    RowName{});

TEST(FlagToTextTest, WritesCapitalisedWords) {
  EXPECT_EQ(calc::FlagToText(true), "True");
  EXPECT_EQ(calc::FlagToText(false), "False");
}

}  // namespace
