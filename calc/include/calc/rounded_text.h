// Numbers written to a fixed count of decimals, for the values a user copies
// (delay milliseconds, hertz, samples, a tapped tempo) rather than the box
// texts of the calculators, which are cut and never rounded.
#pragma once

#include <optional>
#include <string>

namespace calc {

// Decimals of the extra delay numbers and of a tapped tempo.
inline constexpr int kMillisecondDecimals = 3;
inline constexpr int kHertzDecimals = 3;
inline constexpr int kSampleDecimals = 0;
inline constexpr int kTapTempoDecimals = 1;
inline constexpr int kMaxRoundedDecimals = 9;

// Writes `value` rounded half away from zero to `decimals` (0 to 9) decimals,
// without trailing zeros or a bare separator: 166.6666 gives "166.667", 250
// "250", 7.8125 "7.813", -2.5 with 0 decimals "-3". What is rounded is the
// value as NumberToText writes it (15 significant digits), not its binary
// expansion: 2.0005, stored as 2.000499999..., gives "2.001", and a computed
// 62.49999999999999 (62.5 with binary noise) gives "63", as a reader of the
// program's own number texts expects. A result that rounds to zero is "0",
// never "-0". From 1E+15 on the value is written as NumberToText writes it.
// Infinity, not-a-number, decimals out of range and the few doubles
// NumberToText cannot write give no text.
std::optional<std::string> RoundedText(double value, int decimals, char separator);

}  // namespace calc
