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

namespace {

// The table for `tempo` (none: a tempo that does not read as a number). A
// slot whose value cannot be computed or shown keeps its text; `allShown`
// tells whether every slot received a text for this tempo.
DelayTexts Table(std::optional<double> tempo, const DelayTexts& previousTexts, char separator,
                 bool& allShown) {
  DelayTexts slots = previousTexts;
  allShown = true;
  for (std::size_t k = 0; k < kDelaySlots / 2; ++k) {
    const std::size_t plain = 2 * k;
    std::optional<double> value;
    if (tempo) {
      if (const auto quotient = detail::Divide(kWholeNoteAtOneBpm, *tempo)) {
        value = *quotient / static_cast<double>(1u << k);
      }
    }
    if (auto text = SlotText(value, separator)) {
      slots[plain] = std::move(*text);
    } else {
      allShown = false;
    }

    // The dotted value is read back from the plain slot as the box shows it.
    std::optional<double> dotted;
    if (const auto shown = TextToNumber(slots[plain], separator)) {
      dotted = detail::Finite(*shown * kDottedFactor);
    }
    if (auto text = SlotText(dotted, separator)) {
      slots[plain + 1] = std::move(*text);
    } else {
      allShown = false;
    }
  }
  return slots;
}

}  // namespace

DelayTexts ComputeDelayTable(std::string_view tempoText, const DelayTexts& previousTexts,
                             char separator) {
  const std::optional<double> tempo = TextToNumber(tempoText, separator);
  bool allShown = false;
  DelayTexts slots = Table(tempo, previousTexts, separator, allShown);
  // A tempo whose delays cannot all be shown (their exponents need more room
  // than a box has) is treated as one that does not read as a number, so the
  // table never mixes the values of two tempos.
  if (tempo && !allShown) slots = Table(std::nullopt, previousTexts, separator, allShown);
  return slots;
}

}  // namespace calc
