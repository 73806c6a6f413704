// Checked double arithmetic shared by the calculators: a zero divisor, a
// result beyond the double range and an undefined result are failures.
#pragma once

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "calc/numeric_text.h"

namespace calc::detail {

inline std::optional<double> Finite(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

inline std::optional<double> Divide(double dividend, double divisor) {
  if (divisor == 0.0) return std::nullopt;
  return Finite(dividend / divisor);
}

// Reads two control texts, applies `formula` and writes the result as text;
// any failed conversion or computation is a failure of the whole step.
template <typename Formula>
std::optional<std::string> OverTexts(std::string_view first, std::string_view second,
                                     char separator, Formula formula) {
  const auto a = TextToNumber(first, separator);
  if (!a) return std::nullopt;
  const auto b = TextToNumber(second, separator);
  if (!b) return std::nullopt;
  const std::optional<double> result = formula(*a, *b);
  if (!result) return std::nullopt;
  return NumberToText(*result, separator);
}

}  // namespace calc::detail
