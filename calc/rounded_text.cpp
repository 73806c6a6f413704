#include "calc/rounded_text.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "calc/numeric_text.h"

namespace calc {
namespace {

// Rounded values from this decimal exponent on are written by NumberToText.
constexpr int kFirstExponentForm = 15;

// The digits of a finite, non-zero double as NumberToText writes it (15
// significant digits): the value is 0.d1 d2 ... dn times 10^(exponent + 1),
// so d1 weighs 10^exponent.
struct DecimalDigits {
  bool negative = false;
  char digits[kDoubleDigits] = {};
  int count = 0;
  int exponent = 0;
};

bool ToDigits(double value, DecimalDigits& out) {
  char text[40];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific,
                                    kDoubleDigits - 1);
  if (result.ec != std::errc()) return false;
  const char* p = text;
  out.negative = *p == '-';
  if (out.negative) ++p;
  for (; p < result.ptr && *p != 'e' && out.count < kDoubleDigits; ++p) {
    if (*p != '.') out.digits[out.count++] = *p;
  }
  if (p == result.ptr || *p != 'e') return false;
  ++p;
  if (p < result.ptr && *p == '+') ++p;
  return std::from_chars(p, result.ptr, out.exponent).ec == std::errc();
}

// Rounds the digits half away from zero, keeping those that weigh at least
// 10^-decimals; the count may drop to zero (the value rounds to zero).
void RoundDigits(DecimalDigits& d, int decimals) {
  const int keep = d.exponent + decimals + 1;
  if (keep >= d.count) return;
  if (keep < 0) {
    d.count = 0;
    return;
  }
  const bool up = d.digits[keep] >= '5';
  d.count = keep;
  if (!up) return;
  int i = d.count - 1;
  while (i >= 0 && d.digits[i] == '9') --i;
  if (i >= 0) {
    ++d.digits[i];
    d.count = i + 1;
    return;
  }
  // Every kept digit was 9 (or none was kept): the carry adds a digit in front.
  d.digits[0] = '1';
  d.count = 1;
  ++d.exponent;
}

}  // namespace

std::optional<std::string> RoundedText(double value, int decimals, char separator) {
  if (!std::isfinite(value) || decimals < 0 || decimals > kMaxRoundedDecimals) return std::nullopt;
  if (value == 0.0) return std::string("0");
  DecimalDigits d;
  if (!ToDigits(value, d)) return std::nullopt;
  RoundDigits(d, decimals);
  while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
  if (d.count == 0) return std::string("0");
  if (d.exponent >= kFirstExponentForm) return NumberToText(value, separator);

  std::string text;
  text.reserve(24);
  if (d.negative) text += '-';
  if (d.exponent >= 0) {
    const int intCount = d.exponent + 1;
    for (int i = 0; i < intCount; ++i) text += i < d.count ? d.digits[i] : '0';
    if (d.count > intCount) {
      text += separator;
      text.append(d.digits + intCount, d.digits + d.count);
    }
  } else {
    text += '0';
    text += separator;
    text.append(static_cast<std::size_t>(-d.exponent - 1), '0');
    text.append(d.digits, d.digits + d.count);
  }
  return text;
}

}  // namespace calc
