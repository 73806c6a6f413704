// Number texts over many generated values, checked against the C library's
// formatting and reading in the "C" locale. The generator has a fixed seed,
// so a failure reproduces.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>

#include "calc/numeric_text.h"

namespace {

constexpr int kValueCount = 200000;
constexpr int kTextCount = 100000;

std::string Printf(const char* format, int precision, double value) {
  char buffer[64];
  const int length = std::snprintf(buffer, sizeof buffer, format, precision, value);
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::string WithSeparator(std::string text, char separator) {
  std::replace(text.begin(), text.end(), '.', separator);
  return text;
}

// Whether `value` rounded to `digits` significant digits lies beyond the
// double range; its text could not be read back, so it is not written.
bool RoundsBeyondRange(double value, int digits) {
  return std::isinf(std::strtod(Printf("%.*e", digits - 1, value).c_str(), nullptr));
}

// Doubles of every kind: random bit patterns, subnormals, every magnitude,
// integers, neighbours of powers of ten, values next to a tie at the 15th
// digit and the largest doubles.
class ValueSource {
 public:
  explicit ValueSource(std::uint64_t seed) : random_(seed) {}

  double Next() {
    switch (kind_++ % 9) {
      case 0:
        return std::bit_cast<double>(random_());
      case 1:  // subnormal
        return std::bit_cast<double>(random_() & 0x800FFFFFFFFFFFFFull);
      case 2: {
        const double digits = std::uniform_real_distribution<double>(1.0, 10.0)(random_);
        const int exponent = std::uniform_int_distribution<int>(-330, 308)(random_);
        return Signed(digits * std::pow(10.0, exponent));
      }
      case 3:
        return Signed(static_cast<double>(random_() >> 11));  // below 2^53
      case 4:
        return Signed(static_cast<double>(random_()));
      case 5: {
        const int exponent = std::uniform_int_distribution<int>(-25, 25)(random_);
        double value = std::pow(10.0, exponent);
        const int steps = std::uniform_int_distribution<int>(-3, 3)(random_);
        for (int i = 0; i < std::abs(steps); ++i)
          value = std::nextafter(value, steps < 0 ? 0.0 : HUGE_VAL);
        return Signed(value);
      }
      case 6: {  // d.dddddddddddddd5 with a random exponent: next to a tie
        std::string text = std::to_string(std::uniform_int_distribution<int>(1, 9)(random_));
        text += '.';
        for (int i = 0; i < 14; ++i) text += static_cast<char>('0' + random_() % 10);
        text += "5e" + std::to_string(std::uniform_int_distribution<int>(-300, 300)(random_));
        double value = std::strtod(text.c_str(), nullptr);
        if (random_() % 2 == 0) value = std::nextafter(value, random_() % 2 ? 0.0 : HUGE_VAL);
        return Signed(value);
      }
      case 7: {  // the largest doubles, some of which round beyond the range
        const std::uint64_t below = random_() >> (24 + random_() % 40);
        return Signed(std::bit_cast<double>(0x7FEFFFFFFFFFFFFFull - below));
      }
      default: {  // short decimals such as typed tempos and box texts
        const auto whole = static_cast<double>(random_() % 10000000);
        return Signed(whole / std::pow(10.0, static_cast<double>(random_() % 9)));
      }
    }
  }

 private:
  double Signed(double value) { return random_() % 2 ? -value : value; }

  std::mt19937_64 random_;
  unsigned kind_ = 0;
};

TEST(NumberTextPropertyTest, WritesLikePrintfFifteenSignificantDigits) {
  ValueSource values(0x7e3a1u);
  char chars[calc::kMaxNumberText];
  for (int i = 0; i < kValueCount; ++i) {
    const double value = values.Next();
    if (!std::isfinite(value)) {
      ASSERT_EQ(calc::NumberToText(value, '.'), std::nullopt);
      continue;
    }
    if (value == 0.0 && std::signbit(value)) continue;
    if (RoundsBeyondRange(value, 15)) {
      ASSERT_EQ(calc::NumberToText(value, '.'), std::nullopt) << Printf("%.*e", 17, value);
      continue;
    }
    const std::string expected = Printf("%.*G", 15, value);
    ASSERT_EQ(calc::NumberToText(value, '.'), expected) << Printf("%.*e", 17, value);
    ASSERT_EQ(calc::NumberToText(value, ','), WithSeparator(expected, ','));
    const std::size_t length = calc::NumberToChars(value, 15, '.', chars);
    ASSERT_EQ(std::string(chars, length), expected);
  }
}

TEST(NumberTextPropertyTest, ReadsBackValueRoundedToFifteenDigits) {
  ValueSource values(0x51ceu);
  for (int i = 0; i < kValueCount; ++i) {
    const double value = values.Next();
    if (!std::isfinite(value)) continue;
    const double rounded = std::strtod(Printf("%.*e", 14, value).c_str(), nullptr);
    for (const char separator : {'.', ','}) {
      const std::optional<std::string> text = calc::NumberToText(value, separator);
      if (std::isinf(rounded)) {
        ASSERT_EQ(text, std::nullopt) << Printf("%.*e", 17, value);
        continue;
      }
      ASSERT_TRUE(text.has_value()) << Printf("%.*e", 17, value);
      ASSERT_EQ(calc::TextToNumber(*text, separator), rounded) << *text;
    }
  }
}

TEST(NumberTextPropertyTest, WritesLikePrintfForEveryDigitCount) {
  ValueSource values(0xd161u);
  for (int i = 0; i < 10000; ++i) {
    const double value = values.Next();
    if (!std::isfinite(value) || (value == 0.0 && std::signbit(value))) continue;
    for (int digits = 1; digits <= 17; ++digits) {
      const std::optional<std::string> expected =
          RoundsBeyondRange(value, digits) ? std::nullopt
                                           : std::optional(Printf("%.*G", digits, value));
      ASSERT_EQ(calc::NumberToText(value, digits, '.'), expected)
          << digits << " digits of " << Printf("%.*e", 17, value);
    }
  }
}

// Random number texts in every accepted form, with their plain "C" form.
struct NumberText {
  std::string text;       // with blanks and the separator under test
  std::string plain;      // for strtod
  std::string core;       // text without the blanks around it
  std::size_t coreStart;  // where core begins in text
};

class TextSource {
 public:
  explicit TextSource(std::uint64_t seed) : random_(seed) {}

  NumberText Next(char separator) {
    std::string core;
    std::string plain;
    const char* const signs[] = {"", "+", "-"};
    const std::string sign = signs[random_() % 3];
    const std::string whole = Digits(Count(20));
    std::string fraction;
    const bool hasSeparator = random_() % 5 < 3;
    if (hasSeparator) fraction = Digits(Count(20));
    std::string mantissa = whole;
    if (whole.empty() && fraction.empty()) mantissa = Digits(1);
    core = sign + mantissa;
    plain = core;
    if (hasSeparator) {
      core += separator + fraction;
      plain += '.' + fraction;
    }
    if (random_() % 2 == 0) {
      std::string exponent = random_() % 2 ? "E" : "e";
      exponent += signs[random_() % 3];
      exponent += Digits(1 + random_() % 4);
      core += exponent;
      plain += exponent;
    }
    const char* const blanks[] = {"", "", " ", "\t", "  "};
    const std::string before = blanks[random_() % 5];
    const std::string after = blanks[random_() % 5];
    return {before + core + after, plain, core, before.size()};
  }

  std::size_t Below(std::size_t limit) { return static_cast<std::size_t>(random_() % limit); }

 private:
  std::size_t Count(std::size_t most) { return static_cast<std::size_t>(random_() % (most + 1)); }

  std::string Digits(std::size_t count) {
    std::string digits;
    for (std::size_t i = 0; i < count; ++i) digits += static_cast<char>('0' + random_() % 10);
    return digits;
  }

  std::mt19937_64 random_;
};

void CheckReadsLikeStrtod(char separator) {
  TextSource texts(0xa11ceu + static_cast<unsigned>(separator));
  for (int i = 0; i < kTextCount; ++i) {
    const NumberText number = texts.Next(separator);
    char* end = nullptr;
    const double expected = std::strtod(number.plain.c_str(), &end);
    ASSERT_EQ(*end, '\0') << number.plain;
    const std::optional<double> read = calc::TextToNumber(number.text, separator);
    if (std::isinf(expected)) {
      ASSERT_EQ(read, std::nullopt) << "[" << number.text << "]";
    } else {
      ASSERT_EQ(read, expected) << "[" << number.text << "]";
    }
  }
}

TEST(TextNumberPropertyTest, ReadsLikeStrtodWithPoint) { CheckReadsLikeStrtod('.'); }

TEST(TextNumberPropertyTest, ReadsLikeStrtodWithComma) { CheckReadsLikeStrtod(','); }

// A valid number text with a foreign character put anywhere into it, or a
// blank put between two of its digits, is no number.
void CheckRejectsDamagedTexts(char separator) {
  TextSource texts(0xbadu + static_cast<unsigned>(separator));
  const std::string foreign = std::string("aZx#&$_/%") + (separator == '.' ? ',' : '.');
  for (int i = 0; i < kTextCount / 4; ++i) {
    const NumberText number = texts.Next(separator);
    std::string damaged = number.text;
    damaged.insert(texts.Below(damaged.size() + 1), 1, foreign[texts.Below(foreign.size())]);
    ASSERT_EQ(calc::TextToNumber(damaged, separator), std::nullopt) << "[" << damaged << "]";

    for (std::size_t at = 1; at < number.core.size(); ++at) {
      const char left = number.core[at - 1];
      const char right = number.core[at];
      if (left < '0' || left > '9' || right < '0' || right > '9') continue;
      std::string split = number.text;
      split.insert(number.coreStart + at, 1, ' ');
      ASSERT_EQ(calc::TextToNumber(split, separator), std::nullopt) << "[" << split << "]";
      break;
    }
  }
}

TEST(TextNumberPropertyTest, RejectsDamagedTextsWithPoint) { CheckRejectsDamagedTexts('.'); }

TEST(TextNumberPropertyTest, RejectsDamagedTextsWithComma) { CheckRejectsDamagedTexts(','); }

TEST(SingleTextPropertyTest, WritesSevenDigitsAndReadsThemBack) {
  std::mt19937_64 random(0x5146u);
  for (int i = 0; i < 50000; ++i) {
    const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
    if (!std::isfinite(value)) {
      ASSERT_EQ(calc::SingleToText(value, '.'), std::nullopt);
      continue;
    }
    if (value == 0.0f && std::signbit(value)) continue;
    const std::string expected = Printf("%.*G", 7, static_cast<double>(value));
    ASSERT_EQ(calc::SingleToText(value, '.'), expected);
    ASSERT_EQ(calc::SingleToText(value, ','), WithSeparator(expected, ','));
    ASSERT_EQ(calc::TextToSingle(expected, '.'), std::strtof(expected.c_str(), nullptr))
        << expected;
  }
}

}  // namespace
