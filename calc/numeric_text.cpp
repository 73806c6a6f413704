#include "calc/numeric_text.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace calc {
namespace {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The pieces of a decimal number text: [sign] int [sep frac] [E [esign] exp].
struct NumberParts {
  bool negative = false;
  bool hasSign = false;
  std::string_view intDigits;
  std::string_view fracDigits;
  bool hasSeparator = false;
  bool hasExponent = false;
  std::int64_t exponent = 0;  // saturated far beyond any double exponent
};

// Splits a whole text into NumberParts; false when it is not exactly a number.
bool SplitNumber(std::string_view text, char separator, NumberParts& parts) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    parts.hasSign = true;
    parts.negative = text[i] == '-';
    ++i;
  }
  std::size_t start = i;
  while (i < n && IsDigit(text[i])) ++i;
  parts.intDigits = text.substr(start, i - start);
  if (i < n && text[i] == separator) {
    parts.hasSeparator = true;
    start = ++i;
    while (i < n && IsDigit(text[i])) ++i;
    parts.fracDigits = text.substr(start, i - start);
  }
  if (parts.intDigits.empty() && parts.fracDigits.empty()) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    parts.hasExponent = true;
    ++i;
    bool negativeExponent = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
    if (i >= n || !IsDigit(text[i])) return false;
    std::int64_t value = 0;
    for (; i < n && IsDigit(text[i]); ++i) {
      if (value < 1'000'000'000) value = value * 10 + (text[i] - '0');
    }
    parts.exponent = negativeExponent ? -value : value;
  }
  return i == n;
}

// Decimal exponent of the first significant digit, or nothing for zero.
std::optional<std::int64_t> LeadingExponent(const NumberParts& parts) {
  for (std::size_t d = 0; d < parts.intDigits.size(); ++d) {
    if (parts.intDigits[d] != '0') {
      return static_cast<std::int64_t>(parts.intDigits.size() - d) - 1 + parts.exponent;
    }
  }
  for (std::size_t d = 0; d < parts.fracDigits.size(); ++d) {
    if (parts.fracDigits[d] != '0') return -static_cast<std::int64_t>(d) - 1 + parts.exponent;
  }
  return std::nullopt;
}

// Appends "E", the sign and at least `minDigits` digits of the exponent.
char* WriteExponent(char* out, std::int64_t exponent, int minDigits) {
  *out++ = 'E';
  *out++ = exponent < 0 ? '-' : '+';
  const std::uint64_t magnitude = exponent < 0 ? 0 - static_cast<std::uint64_t>(exponent)
                                               : static_cast<std::uint64_t>(exponent);
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, magnitude);
  for (auto written = result.ptr - digits; written < minDigits; ++written) *out++ = '0';
  return std::copy(digits, result.ptr, out);
}

}  // namespace

std::optional<double> TextToNumber(std::string_view text, char separator) {
  text = TrimBlanks(text);
  NumberParts parts;
  if (!SplitNumber(text, separator, parts)) return std::nullopt;

  // from_chars wants '.' and no plus sign; copy only when the text differs.
  std::string_view body = parts.hasSign && !parts.negative ? text.substr(1) : text;
  std::string normalized;
  if (parts.hasSeparator && separator != '.') {
    normalized.assign(body);
    normalized[static_cast<std::size_t>(parts.intDigits.data() - body.data()) +
               parts.intDigits.size()] = '.';
    body = normalized;
  }
  double value = 0.0;
  const auto result = std::from_chars(body.data(), body.data() + body.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    const auto lead = LeadingExponent(parts);
    if (lead && *lead < 0) return parts.negative ? -0.0 : 0.0;  // below the smallest double
    return std::nullopt;
  }
  if (result.ec != std::errc() || result.ptr != body.data() + body.size()) return std::nullopt;
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::size_t NumberToChars(double value, int digits, char separator, char* out) {
  if (!std::isfinite(value) || digits < 1 || digits > 17) return 0;
  if (value == 0.0) {
    out[0] = '0';
    return 1;
  }
  // Correctly rounded scientific form: "-d.ddddde+XX".
  char sci[kMaxNumberText];
  const auto result =
      std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, digits - 1);
  if (result.ec != std::errc()) return 0;
  const char* p = sci;
  const bool negative = *p == '-';
  if (negative) ++p;
  char mantissa[20];
  int count = 0;
  for (; p < result.ptr && *p != 'e'; ++p) {
    if (IsDigit(*p)) mantissa[count++] = *p;
  }
  int exponent = 0;
  std::from_chars(*(p + 1) == '+' ? p + 2 : p + 1, result.ptr, exponent);
  while (count > 1 && mantissa[count - 1] == '0') --count;
  if (exponent >= std::numeric_limits<double>::max_exponent10) {
    // Rounded to `digits`, the largest doubles name a number beyond the
    // double range, which could never be read back: that is an overflow.
    double check = 0.0;
    if (std::from_chars(sci, result.ptr, check).ec != std::errc()) return 0;
  }

  char* o = out;
  if (negative) *o++ = '-';
  if (exponent >= digits || exponent < -4) {
    *o++ = mantissa[0];
    if (count > 1) {
      *o++ = separator;
      o = std::copy(mantissa + 1, mantissa + count, o);
    }
    o = WriteExponent(o, exponent, 2);
  } else if (exponent >= 0) {
    const int intCount = exponent + 1;
    for (int d = 0; d < intCount; ++d) *o++ = d < count ? mantissa[d] : '0';
    if (count > intCount) {
      *o++ = separator;
      o = std::copy(mantissa + intCount, mantissa + count, o);
    }
  } else {
    *o++ = '0';
    *o++ = separator;
    for (int z = -1; z > exponent; --z) *o++ = '0';
    o = std::copy(mantissa, mantissa + count, o);
  }
  return static_cast<std::size_t>(o - out);
}

std::optional<std::string> NumberToText(double value, int digits, char separator) {
  char buffer[kMaxNumberText];
  const std::size_t length = NumberToChars(value, digits, separator, buffer);
  if (length == 0) return std::nullopt;
  return std::string(buffer, length);
}

std::optional<std::string> NumberToText(double value, char separator) {
  return NumberToText(value, kDoubleDigits, separator);
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double lower = std::floor(value);
  const double fraction = value - lower;  // in [0, 1]; ties are exact
  if (fraction > 0.5) return lower + 1.0;
  if (fraction < 0.5) return lower;
  return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

namespace {
template <typename Int>
std::optional<Int> RoundToInt(double value) {
  const double rounded = RoundHalfEven(value);
  if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min()) &&
        rounded <= static_cast<double>(std::numeric_limits<Int>::max()))) {
    return std::nullopt;  // also not-a-number
  }
  return static_cast<Int>(rounded);
}
}  // namespace

std::optional<std::int32_t> RoundToInt32(double value) { return RoundToInt<std::int32_t>(value); }
std::optional<std::int16_t> RoundToInt16(double value) { return RoundToInt<std::int16_t>(value); }

std::optional<std::int32_t> TextToInteger(std::string_view text, char separator) {
  const auto number = TextToNumber(text, separator);
  if (!number) return std::nullopt;
  return RoundToInt32(*number);
}

std::string IntegerToText(std::int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::optional<float> TextToSingle(std::string_view text, char separator) {
  const auto number = TextToNumber(text, separator);
  if (!number || std::fabs(*number) > static_cast<double>(FLT_MAX)) return std::nullopt;
  return static_cast<float>(*number);
}

std::optional<std::string> SingleToText(float value, char separator) {
  return NumberToText(static_cast<double>(value), kSingleDigits, separator);
}

std::optional<bool> TextToFlag(std::string_view text, char separator) {
  const std::string_view word = TrimBlanks(text);
  const auto equalsIgnoringCase = [word](std::string_view expected) {
    return std::equal(word.begin(), word.end(), expected.begin(), expected.end(),
                      [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a + 32 : a) == b; });
  };
  if (equalsIgnoringCase("true")) return true;
  if (equalsIgnoringCase("false")) return false;
  const auto number = TextToNumber(text, separator);
  if (!number) return std::nullopt;
  return *number != 0.0;
}

std::string_view FlagToText(bool value) { return value ? "True" : "False"; }

std::optional<std::string> FitToBox(std::string_view text, std::size_t maxLength, char separator) {
  if (text.size() <= maxLength) return std::string(text);
  NumberParts parts;
  if (!SplitNumber(text, separator, parts)) return std::string(text.substr(0, maxLength));

  const std::size_t signLength = parts.negative ? 1 : 0;
  const std::size_t leading =
      (parts.hasSign ? 1 : 0) + std::max<std::size_t>(parts.intDigits.size(), 1);
  if (!parts.hasExponent && leading <= maxLength) {
    // Cut, never rounded; unless the cut would leave no significant digit
    // and show a number that is not zero as zero.
    const std::string_view cut = text.substr(0, maxLength);
    if (cut.find_first_of("123456789") != std::string_view::npos || !LeadingExponent(parts)) {
      return std::string(cut);
    }
  }

  // Exponent notation, so the box never shows a value wrong by powers of ten.
  const auto lead = LeadingExponent(parts);
  if (!lead) return maxLength >= 1 ? std::optional<std::string>("0") : std::nullopt;
  std::string digits;
  digits.reserve(parts.intDigits.size() + parts.fracDigits.size());
  digits.append(parts.intDigits).append(parts.fracDigits);
  digits.erase(0, digits.find_first_not_of('0'));
  digits.erase(digits.find_last_not_of('0') + 1);

  char exponentText[32];
  const std::size_t exponentLength =
      static_cast<std::size_t>(WriteExponent(exponentText, *lead, 1) - exponentText);
  if (maxLength < signLength + 1 + exponentLength) return std::nullopt;
  const std::size_t room = maxLength - signLength - exponentLength;

  std::string fitted;
  if (parts.negative) fitted += '-';
  fitted += digits[0];
  if (room >= 3 && digits.size() > 1) {
    fitted += separator;
    fitted.append(digits, 1, std::min(room - 2, digits.size() - 1));
  }
  fitted.append(exponentText, exponentLength);
  return fitted;
}

}  // namespace calc
