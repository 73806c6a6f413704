#include "calc/delay_table.h"

#include <optional>

#include "arithmetic.h"
#include "calc/numeric_text.h"

namespace calc {
namespace {

// The text a slot receives for `value`, as the 6-character box shows it.
std::optional<std::string> SlotText(std::optional<double> value, char separator) {
  if (!value) return std::nullopt;
  char buffer[kMaxNumberText];
  const std::size_t length = NumberToChars(*value, kDoubleDigits, separator, buffer);
  if (length == 0) return std::nullopt;
  return FitToBox(std::string_view(buffer, length), kSlotLength, separator);
}

}  // namespace

DelayTexts ComputeDelayTable(std::string_view tempoText, const DelayTexts& previousTexts,
                             char separator) {
  DelayTexts slots = previousTexts;
  const std::optional<double> tempo = TextToNumber(tempoText, separator);
  for (std::size_t k = 0; k < kDelaySlots / 2; ++k) {
    const std::size_t plain = 2 * k;
    std::optional<double> value;
    if (tempo) {
      if (const auto quotient = detail::Divide(kWholeNoteAtOneBpm, *tempo)) {
        value = *quotient / static_cast<double>(1u << k);
      }
    }
    if (auto text = SlotText(value, separator)) slots[plain] = std::move(*text);

    // The dotted value is read back from the plain slot as the box shows it.
    std::optional<double> dotted;
    if (const auto shown = TextToNumber(slots[plain], separator)) {
      dotted = detail::Finite(*shown * kDottedFactor);
    }
    if (auto text = SlotText(dotted, separator)) slots[plain + 1] = std::move(*text);
  }
  return slots;
}

}  // namespace calc
