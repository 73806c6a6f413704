// Feeds arbitrary bytes to the text conversions, the box fitting and the delay
// table. The first byte picks the separator and a box length; the rest is the
// text. Besides "no crash", it checks the properties the window relies on:
// every number text reads back to the value rounded to 15 digits, a fitted
// text fits and reads back, and no delay slot ever exceeds its box.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "calc/beat.h"
#include "calc/delay_table.h"
#include "calc/numeric_text.h"

namespace {

void Check(bool condition, const char* what, std::string_view input) {
  if (condition) return;
  std::fprintf(stderr, "property broken: %s for input [%.*s]\n", what,
               static_cast<int>(input.size()), input.data());
  std::abort();
}

// The value rounded to 15 significant digits, by the C library's route.
double RoundedTo15(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);
  return std::strtod(buffer, nullptr);
}

// The C library's "%.15G" text with the given separator; "0" for zero.
std::string Reference15G(double value, char separator) {
  if (value == 0.0) return "0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  std::string text(buffer);
  for (char& c : text) {
    if (c == '.') c = separator;
  }
  return text;
}

void CheckNumber(double value, char separator, std::string_view input) {
  const auto text = calc::NumberToText(value, separator);
  if (std::isinf(RoundedTo15(value))) {
    // Only the largest doubles round past the double range at 15 digits.
    Check(!text.has_value(), "a value that rounds beyond the range is not written", input);
    return;
  }
  Check(text.has_value(), "a finite value is written", input);
  Check(*text == Reference15G(value, separator), "text equals %.15G", input);
  const auto back = calc::TextToNumber(*text, separator);
  Check(back.has_value(), "a written text reads back", input);
  Check(*back == RoundedTo15(value), "read back equals the value rounded to 15 digits", input);
  Check(calc::NumberToText(*back, separator) == text, "writing is idempotent", input);

  for (std::size_t length = 1; length <= 20; ++length) {
    const auto fitted = calc::FitToBox(*text, length, separator);
    if (!fitted) {
      Check(text->size() > length, "a text that fits is never refused", input);
      continue;
    }
    Check(fitted->size() <= length, "a fitted text fits", input);
    const auto shown = calc::TextToNumber(*fitted, separator);
    Check(shown.has_value(), "a fitted number reads back", input);
    if (length < 6 || *back == 0.0 || *shown == 0.0) continue;
    // Cut, never rounded, and never wrong by a power of ten.
    Check(std::fabs(*shown) <= std::fabs(*back), "a fit never rounds up", input);
    Check(std::fabs(*shown) > std::fabs(*back) / 10.0, "a fit keeps the magnitude", input);
    Check(std::signbit(*shown) == std::signbit(*back), "a fit keeps the sign", input);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const char separator = (data[0] & 1) ? ',' : '.';
  const std::size_t boxLength = (data[0] >> 1) % 16;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  if (const auto number = calc::TextToNumber(text, separator)) {
    Check(std::isfinite(*number), "a read number is finite", text);
    CheckNumber(*number, separator, text);
    Check(calc::TextToInteger(text, separator) == calc::RoundToInt32(*number),
          "TextToInteger rounds the read number", text);
  } else {
    Check(!calc::TextToInteger(text, separator), "TextToInteger fails with TextToNumber", text);
  }
  if (size >= 9) {
    double raw;
    std::memcpy(&raw, data + 1, sizeof raw);
    if (std::isfinite(raw)) CheckNumber(raw, separator, text);
  }

  if (const auto fitted = calc::FitToBox(text, boxLength, separator)) {
    Check(fitted->size() <= boxLength, "a fitted text fits its box", text);
    if (text.size() <= boxLength) Check(*fitted == text, "a text that fits is kept", text);
  }
  (void)calc::TextToSingle(text, separator);
  (void)calc::TextToFlag(text, separator);
  (void)calc::SamplesPerBeatText("44100", text, separator);

  calc::DelayTexts previous;
  previous.fill("0");
  const calc::DelayTexts table = calc::ComputeDelayTable(text, previous, separator);
  for (const std::string& slot : table) {
    Check(slot.size() <= calc::kSlotLength, "a delay slot fits its box", text);
    Check(calc::TextToNumber(slot, separator).has_value(), "a delay slot is a number", text);
  }
  return 0;
}
