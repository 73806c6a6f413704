// Numbers rounded half away from zero to a count of decimals.
#include "calc/rounded_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "calc/numeric_text.h"
#include "test_names.h"

namespace {

using calc_test::RowName;

struct RoundedRow {
  const char* name;
  double value;
  int decimals;
  char separator;
  const char* expected;
};

class RoundedTextTest : public testing::TestWithParam<RoundedRow> {};

TEST_P(RoundedTextTest, WritesRoundedValue) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::RoundedText(row.value, row.decimals, row.separator),
            std::optional<std::string>(row.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, RoundedTextTest,
    testing::Values(RoundedRow{"RepeatingDecimalRoundsUp", 500.0 / 3.0, 3, '.', "166.667"},
                    RoundedRow{"RepeatingDecimalRoundsDown", 4000.0 / 3.0, 3, '.', "1333.333"},
                    RoundedRow{"WholeValueHasNoSeparator", 250.0, 3, '.', "250"},
                    RoundedRow{"TrailingZerosDropped", 2.5, 3, '.', "2.5"},
                    RoundedRow{"RoundingLeavesTrailingZeroDropped", 2.93, 3, '.', "2.93"},
                    RoundedRow{"RoundedAwayTrailingZeros", 2.9296875, 3, '.', "2.93"},
                    RoundedRow{"SmallFraction", 8.0 / 3.0, 3, '.', "2.667"},
                    RoundedRow{"CommaSeparator", 8.0 / 3.0, 3, ',', "2,667"},
                    RoundedRow{"CommaWhole", 250.0, 3, ',', "250"},
                    RoundedRow{"LeadingZeroKept", 0.651041666, 3, '.', "0.651"},
                    RoundedRow{"LeadingZerosAfterSeparator", 0.0123, 3, '.', "0.012"},
                    RoundedRow{"ExactHalfUp", 7.8125, 3, '.', "7.813"},
                    RoundedRow{"ExactHalfCommaUp", 7.8125, 3, ',', "7,813"},
                    RoundedRow{"ExactHalfOfEvenDigitStillUp", 0.0625, 3, '.', "0.063"},
                    RoundedRow{"HalfStoredBelowRoundsUp", 2.0005, 3, '.', "2.001"},
                    RoundedRow{"HalfStoredBelowOneDecimal", 1.15, 1, '.', "1.2"},
                    RoundedRow{"HalfStoredBelowCommaOneDecimal", 120.05, 1, ',', "120,1"},
                    RoundedRow{"HalfWithBinaryNoiseBelow", 62.49999999999999, 0, '.', "63"},
                    RoundedRow{"JustBelowHalfStaysDown", 2.00049, 3, '.', "2"},
                    RoundedRow{"WholeHalfUp", 2.5, 0, '.', "3"},
                    RoundedRow{"WholeHalfOddUp", 3.5, 0, '.', "4"},
                    RoundedRow{"WholeHalfBelowOne", 0.5, 0, '.', "1"},
                    RoundedRow{"NegativeHalfAwayFromZero", -2.5, 0, '.', "-3"},
                    RoundedRow{"NegativeThreeDecimals", -2.0005, 3, ',', "-2,001"},
                    RoundedRow{"NegativeRoundingToZeroIsPlainZero", -0.0004, 3, '.', "0"},
                    RoundedRow{"NegativeZero", -0.0, 3, '.', "0"},
                    RoundedRow{"Zero", 0.0, 0, '.', "0"},
                    RoundedRow{"HalfOfLastDecimalRoundsUp", 0.0005, 3, '.', "0.001"},
                    RoundedRow{"BelowHalfOfLastDecimalIsZero", 0.00049, 3, '.', "0"},
                    RoundedRow{"TinyIsZero", 1e-300, 3, '.', "0"},
                    RoundedRow{"SmallestSubnormalIsZero", std::numeric_limits<double>::denorm_min(),
                               9, '.', "0"},
                    RoundedRow{"CarryThroughNines", 999.9995, 3, '.', "1000"},
                    RoundedRow{"CarryAddsDigit", 9.9995, 3, '.', "10"},
                    RoundedRow{"CarryFromNoKeptDigit", 0.0009999, 3, '.', "0.001"},
                    RoundedRow{"SamplesWhole", 11025.0, 0, '.', "11025"},
                    RoundedRow{"SamplesRoundUp", 16537.5, 0, '.', "16538"},
                    RoundedRow{"NineDecimals", 1.0 / 3.0, 9, '.', "0.333333333"},
                    RoundedRow{"LargestFixed", 999999999999999.0, 0, '.', "999999999999999"},
                    RoundedRow{"LargeWithDecimals", 123456789012.345, 3, '.', "123456789012.345"},
                    RoundedRow{"RoundsUpToExponentForm", 999999999999999.5, 0, '.', "1E+15"},
                    RoundedRow{"ExponentForm", 2.4e20, 3, ',', "2,4E+20"},
                    RoundedRow{"NegativeExponentForm", -1.5e300, 3, '.', "-1.5E+300"}),
    RowName{});

struct FailingRow {
  const char* name;
  double value;
  int decimals;
};

class RoundedTextFailingTest : public testing::TestWithParam<FailingRow> {};

TEST_P(RoundedTextFailingTest, GivesNoText) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::RoundedText(row.value, row.decimals, '.'), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, RoundedTextFailingTest,
    testing::Values(FailingRow{"Infinity", std::numeric_limits<double>::infinity(), 3},
                    FailingRow{"NegativeInfinity", -std::numeric_limits<double>::infinity(), 3},
                    FailingRow{"NotANumber", std::numeric_limits<double>::quiet_NaN(), 3},
                    FailingRow{"LargestDoubleBeyondWrittenRange",
                               std::numeric_limits<double>::max(), 3},
                    FailingRow{"NegativeDecimals", 1.5, -1},
                    FailingRow{"TooManyDecimals", 1.5, 10}),
    RowName{});

// Over many values: the text reads back within half a unit of the last
// decimal, and writing the read-back value again gives the same text.
TEST(RoundedTextPropertyTest, ReadsBackWithinHalfOfLastDecimal) {
  std::mt19937_64 random(20261212);
  std::uniform_real_distribution<double> magnitude(-6.0, 9.0);
  std::uniform_int_distribution<int> decimals(0, calc::kMaxRoundedDecimals);
  for (int i = 0; i < 20000; ++i) {
    const double value = std::pow(10.0, magnitude(random)) * (i % 2 == 0 ? 1.0 : -1.0);
    const int d = decimals(random);
    const char separator = i % 3 == 0 ? ',' : '.';
    const auto text = calc::RoundedText(value, d, separator);
    ASSERT_TRUE(text.has_value()) << value;
    const auto back = calc::TextToNumber(*text, separator);
    ASSERT_TRUE(back.has_value()) << *text;
    const double half = 0.5 * std::pow(10.0, -d);
    EXPECT_LE(std::fabs(*back - value), half * (1.0 + 1e-9) + std::fabs(value) * 1e-14)
        << value << " with " << d << " decimals gave " << *text;
    EXPECT_EQ(calc::RoundedText(*back, d, separator), text) << *text;
  }
}

}  // namespace
