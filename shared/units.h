// Lengths in twips (1/1440 inch), the unit of the layouts and of the stored
// window position, and the pixels they stand for at 96 dots per inch.
#pragma once

namespace units {

inline constexpr int kTwipsPerPixel = 15;

// The nearest pixel, halves away from zero.
constexpr int TwipsToPixels(double twips) {
  const double pixels = twips / kTwipsPerPixel;
  return pixels >= 0 ? static_cast<int>(pixels + 0.5) : -static_cast<int>(-pixels + 0.5);
}

}  // namespace units
