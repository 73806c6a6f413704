// Suggested stereo pairs of delay slots and the slot background colours that
// mark them.
#pragma once

#include <array>
#include <cstdint>

#include "calc/delay_table.h"

namespace calc {

struct Rgb {
  std::uint8_t r, g, b;
  friend constexpr bool operator==(Rgb, Rgb) = default;
};

inline constexpr Rgb kPlainSlotBack{0, 0, 64};
inline constexpr Rgb kPlainSlotText{128, 255, 255};
inline constexpr Rgb kDottedSlotBack{224, 224, 224};
inline constexpr Rgb kDottedSlotText{0, 0, 0};
inline constexpr Rgb kPairMark{255, 102, 0};

struct StereoPair {
  int first, second;
};

// Option 1 to 6, in order.
inline constexpr std::array<StereoPair, 6> kStereoPairs = {{
    {4, 5},  // 1/4 and dotted 1/4
    {6, 7},  // 1/8 and dotted 1/8
    {5, 7},  // dotted 1/4 and dotted 1/8
    {4, 6},  // 1/4 and 1/8
    {7, 8},  // dotted 1/8 and 1/16
    {5, 2},  // dotted 1/4 and 1/2
}};

constexpr Rgb BaseSlotColor(int slot) { return slot % 2 == 0 ? kPlainSlotBack : kDottedSlotBack; }

// Every slot back to its base colour, slot 0 first. `setColor(slot, rgb)`
// receives each write in order, so a window can apply them to its boxes.
template <typename SetColor>
void ResetDelayColors(SetColor&& setColor) {
  for (int slot = 0; slot < kDelaySlots; ++slot) setColor(slot, BaseSlotColor(slot));
}

// ResetDelayColors, then `first` and then `second` in the mark colour.
template <typename SetColor>
void MarkStereoPair(SetColor&& setColor, int first, int second) {
  ResetDelayColors(setColor);
  setColor(first, kPairMark);
  setColor(second, kPairMark);
}

using SlotColors = std::array<Rgb, kDelaySlots>;

inline void ResetDelayColors(SlotColors& colors) {
  ResetDelayColors([&colors](int slot, Rgb rgb) { colors[static_cast<std::size_t>(slot)] = rgb; });
}

inline void MarkStereoPair(SlotColors& colors, int first, int second) {
  MarkStereoPair([&colors](int slot, Rgb rgb) { colors[static_cast<std::size_t>(slot)] = rgb; },
                 first, second);
}

}  // namespace calc
