// Conversions between control texts and numbers. Every function takes the
// decimal separator it must read or write, so nothing here depends on a
// global locale; the window asks the user's locale once and passes it in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace calc {

// Significant digits of a double written as text, and of a single.
inline constexpr int kDoubleDigits = 15;
inline constexpr int kSingleDigits = 7;

// Reads the whole text as a decimal number: blanks around it, an optional
// sign, digits with at most one separator, an optional exponent (E or e, an
// optional sign, digits). Anything else, the empty text and a magnitude
// beyond the double range fail; a magnitude below the smallest double reads
// as zero.
std::optional<double> TextToNumber(std::string_view text, char separator);

// Writes a finite value with at most 15 significant digits, correctly
// rounded, without trailing zeros or a bare separator; exponent notation
// ("1E+15", "1.5E-05") when the decimal exponent is 15 or more or below -4.
// Negative zero is written "0". Infinity and not-a-number fail, and so do
// the few largest doubles whose rounded text would lie beyond the double range.
std::optional<std::string> NumberToText(double value, char separator);

// As NumberToText, with `digits` (1 to 17) significant digits; exponent
// notation from a decimal exponent of `digits` upwards.
std::optional<std::string> NumberToText(double value, int digits, char separator);

// Writes the text of NumberToText into `out` (at least kMaxNumberText bytes)
// and returns its length, or 0 for a value that cannot be written.
inline constexpr std::size_t kMaxNumberText = 32;
std::size_t NumberToChars(double value, int digits, char separator, char* out);

// Rounds to the nearest whole number, a half going to the even neighbour,
// whatever the floating-point rounding mode is.
double RoundHalfEven(double value);

// A double rounded half to even into a 32- or 16-bit whole number; a result
// outside the range, infinity and not-a-number fail.
std::optional<std::int32_t> RoundToInt32(double value);
std::optional<std::int16_t> RoundToInt16(double value);

// TextToNumber followed by RoundToInt32: "120.5" gives 120, "121.5" 122.
std::optional<std::int32_t> TextToInteger(std::string_view text, char separator);

// Plain decimal digits with a minus sign for negatives.
std::string IntegerToText(std::int64_t value);

// Single precision, used for window positions: read as TextToNumber with the
// single range as the limit; written with at most 7 significant digits.
std::optional<float> TextToSingle(std::string_view text, char separator);
std::optional<std::string> SingleToText(float value, char separator);

// A flag reads "True" and "False" in any letter case, or a number (zero is
// false, anything else true); it is written "True" or "False".
std::optional<bool> TextToFlag(std::string_view text, char separator);
std::string_view FlagToText(bool value);

// Fits a text into a box of `maxLength` characters. A text that fits is kept.
// A longer plain number whose digits before the separator all fit is cut,
// never rounded ("34285.7142857143" in 6 gives "34285."). A longer number
// that would lose digits before the separator, or every significant digit
// ("-0.000123" in 6), or that carries an exponent,
// is written in exponent notation with its mantissa cut to fit and the
// exponent without leading zeros ("2400000" in 6 gives "2.4E+6"), so the box
// never shows a value wrong by powers of ten; when not even one mantissa digit
// fits, the fit fails and the box keeps its text. A text that is not a number
// is cut plainly.
std::optional<std::string> FitToBox(std::string_view text, std::size_t maxLength, char separator);

}  // namespace calc
