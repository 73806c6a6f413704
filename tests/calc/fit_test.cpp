// Fitting a result text into a box of limited length.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <optional>
#include <random>
#include <string>

#include "calc/numeric_text.h"
#include "test_names.h"

namespace {

using calc_test::RowName;

struct FitRow {
  const char* name;
  const char* text;
  std::size_t maxLength;
  char separator;
  std::optional<std::string> expected;
};

class FitToBoxTest : public testing::TestWithParam<FitRow> {};

TEST_P(FitToBoxTest, FitsText) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::FitToBox(row.text, row.maxLength, row.separator), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Unchanged, FitToBoxTest,
    testing::Values(FitRow{"ShortNumber", "120", 6, '.', "120"},
                    FitRow{"ExactLength", "187.50", 6, '.', "187.50"},
                    FitRow{"ShortExponentKeepsLeadingZero", "1.5E-05", 7, '.', "1.5E-05"},
                    FitRow{"ExponentThatFits", "1E+15", 6, '.', "1E+15"},
                    FitRow{"LargeIntegerThatFits", "2400000", 7, '.', "2400000"},
                    FitRow{"Empty", "", 6, '.', ""},
                    FitRow{"ShortWord", "abcdef", 6, '.', "abcdef"}),
    RowName{});

INSTANTIATE_TEST_SUITE_P(
    PlainCut, FitToBoxTest,
    testing::Values(FitRow{"TrailingSeparatorKept", "34285.7142857143", 6, '.', "34285."},
                    FitRow{"TrailingZeroKept", "62.2406639004149", 6, '.', "62.240"},
                    FitRow{"SamplesBox", "40707.6923076923", 10, '.', "40707.6923"},
                    FitRow{"FrequencyNotRoundedUp", "277.182667739607", 7, '.', "277.182"},
                    FitRow{"LengthNotRoundedUp", "2.26757369614512", 6, '.', "2.2675"},
                    FitRow{"SmallFraction", "0.000123456", 6, '.', "0.0001"},
                    FitRow{"IntegerDigitsFillBox", "34285.7142857143", 5, '.', "34285"},
                    FitRow{"NegativeFraction", "-46.875", 6, '.', "-46.87"},
                    FitRow{"NegativeIntegerDigitsFillBox", "-34285.7142857143", 6, '.', "-34285"},
                    FitRow{"CommaSeparator", "34285,7142857143", 6, ',', "34285,"},
                    FitRow{"CommaTrailingZeroKept", "62,2406639004149", 6, ',', "62,240"}),
    RowName{});

INSTANTIATE_TEST_SUITE_P(
    ExponentForm, FitToBoxTest,
    testing::Values(
        FitRow{"TooManyIntegerDigits", "2400000", 6, '.', "2.4E+6"},
        FitRow{"DottedOfLargeValue", "3600000", 6, '.', "3.6E+6"},
        FitRow{"MantissaCutKeepsZero", "1058400", 6, '.', "1.0E+6"},
        FitRow{"MantissaNotRoundedUp", "9999999", 6, '.', "9.9E+6"},
        FitRow{"TrailingZerosNotPadded", "18000000000", 10, '.', "1.8E+10"},
        FitRow{"InnerZerosKept", "24000000.5", 7, '.', "2.40E+7"},
        FitRow{"IntegerDigitsOneTooMany", "34285.7142857143", 4, '.', "3E+4"},
        FitRow{"ExponentLeadingZeroDropped", "1.171875E-07", 6, '.', "1.1E-7"},
        FitRow{"SmallExponentInput", "1.5E-05", 6, '.', "1.5E-5"},
        FitRow{"NegativeNoBareSeparator", "-2400000", 6, '.', "-2E+6"},
        FitRow{"NegativeSmallNoBareSeparator", "-1.5E-05", 6, '.', "-1E-5"},
        FitRow{"ThreeDigitExponent", "1.79769313486232E+308", 6, '.', "1E+308"},
        FitRow{"ThreeDigitExponentLongerBox", "1.79769313486232E+308", 10, '.', "1.797E+308"},
        FitRow{"SubnormalMantissaNotRounded", "4.94065645841247E-324", 6, '.', "4E-324"},
        FitRow{"CommaMantissa", "2400000", 6, ',', "2,4E+6"},
        FitRow{"CommaExponentInput", "1,171875E-07", 6, ',', "1,1E-7"},
        FitRow{"NegativeFractionCutToZero", "-0.000123456", 6, '.', "-1E-4"},
        FitRow{"FractionCutToZero", "0.000123456", 5, '.', "1E-4"}),
    RowName{});

INSTANTIATE_TEST_SUITE_P(Fails, FitToBoxTest,
                         testing::Values(FitRow{"NoMantissaDigitFits", "-2400000", 4, '.',
                                                std::nullopt},
                                         FitRow{"ThreeDigitExponentTooLong",
                                                "1.79769313486232E+308", 4, '.', std::nullopt}),
                         RowName{});

INSTANTIATE_TEST_SUITE_P(NotANumber, FitToBoxTest,
                         testing::Values(FitRow{"WordCutPlainly", "abcdefgh", 6, '.', "abcdef"},
                                         FitRow{"DigitsWithLetterCutPlainly", "12a45678", 6, '.',
                                                "12a456"}),
                         RowName{});

// The significant digits of a number text: its digits before any exponent,
// without leading zeros.
std::string SignificantDigits(const std::string& text) {
  std::string digits;
  for (const char c : text) {
    if (c == 'E') break;
    if (c >= '0' && c <= '9' && !(digits.empty() && c == '0')) digits += c;
  }
  return digits;
}

// For many written values and every box length: the fitted text fits, reads
// back, and is the written value cut towards zero, never off by a power of ten
// and never a value that is not zero shown as zero.
void CheckFitsOfRandomValues(char separator, int count) {
  std::mt19937_64 random(20240611u + static_cast<unsigned>(separator));
  std::uniform_real_distribution<double> exponent(-320.0, 308.0);
  std::uniform_real_distribution<double> unit(1.0, 10.0);
  std::bernoulli_distribution negative(0.3);
  for (int i = 0; i < count; ++i) {
    double value = unit(random) * std::pow(10.0, std::floor(exponent(random)));
    if (i % 4 == 0) value = std::floor(value);  // plenty of integral values
    if (!std::isfinite(value)) continue;
    if (negative(random)) value = -value;
    const std::optional<std::string> text = calc::NumberToText(value, separator);
    ASSERT_TRUE(text.has_value()) << value;
    const std::optional<double> written = calc::TextToNumber(*text, separator);
    ASSERT_TRUE(written.has_value()) << *text;
    const std::size_t separatorAt = text->find(separator);
    const std::size_t integerLength = separatorAt == std::string::npos ? text->size() : separatorAt;
    const bool hasExponent = text->find('E') != std::string::npos;

    for (std::size_t box = 1; box <= 12; ++box) {
      SCOPED_TRACE(*text + " in " + std::to_string(box));
      const std::optional<std::string> fitted = calc::FitToBox(*text, box, separator);
      if (text->size() <= box) {
        ASSERT_EQ(fitted, text);
        continue;
      }
      const std::string cut = text->substr(0, box);
      if (!hasExponent && integerLength <= box &&
          cut.find_first_of("123456789") != std::string::npos) {
        ASSERT_EQ(fitted, cut);
        continue;
      }
      if (box >= 7) {
        ASSERT_TRUE(fitted.has_value());
      }
      if (!fitted) continue;
      ASSERT_LE(fitted->size(), box);
      ASSERT_NE(fitted->back(), separator);
      const std::optional<double> shown = calc::TextToNumber(*fitted, separator);
      ASSERT_TRUE(shown.has_value());
      ASSERT_EQ(std::signbit(*shown), std::signbit(*written));
      ASSERT_LE(std::fabs(*shown), std::fabs(*written));
      ASSERT_GT(std::fabs(*shown) * 10.0, std::fabs(*written));
      ASSERT_EQ(SignificantDigits(*text).rfind(SignificantDigits(*fitted), 0), 0u);
    }
  }
}

TEST(FitToBoxPropertyTest, RandomValuesWithPoint) { CheckFitsOfRandomValues('.', 10000); }

TEST(FitToBoxPropertyTest, RandomValuesWithComma) { CheckFitsOfRandomValues(',', 5000); }

}  // namespace
