// Tempo changes that do not come from typing: the tempo box's step keys,
// halving and doubling, and a tempo tapped by the user.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace calc {

enum class TempoStep { Up, Down, PageUp, PageDown, Halve, Double };

inline constexpr double kSmallTempoStep = 1.0;   // Up and Down
inline constexpr double kLargeTempoStep = 10.0;  // Page Up and Page Down
inline constexpr double kLowestSteppedTempo = 1.0;

// The tempo after `step`, never below 1; fails for a result beyond the range.
std::optional<double> StepTempo(double tempo, TempoStep step);
// The same over the tempo text, written as NumberToText writes it: its 15
// significant digits hide the binary noise of the sum ("120.5" Up gives
// "121.5", "0.7" PageUp "10.7"). Fails when the text does not read as a number.
std::optional<std::string> StepTempoText(std::string_view tempoText, TempoStep step,
                                         char separator);

// Where a tap series stands after a tap.
struct TapState {
  int taps = 0;                 // taps in the current series, the first counting 1
  std::optional<double> tempo;  // from the second tap on, unless the intervals are all zero
};

// The tapped tempo rounded half away from zero to one decimal ("120", "120.5");
// no text before the second tap.
std::optional<std::string> TapTempoText(const TapState& state, char separator);

// Averages the intervals between taps: tempo = 60000 / (mean of the last up
// to 8 intervals, in milliseconds). It keeps no clock: each tap brings the
// input event's own timestamp, so a late-running handler does not skew it.
class TapTempo {
 public:
  static constexpr double kMaxPauseMs = 2000.0;  // a longer pause ends the series
  static constexpr std::size_t kMaxIntervals = 8;
  static constexpr double kMsPerMinute = 60000.0;

  // A tap at `ms`. A pause of more than kMaxPauseMs, or a timestamp earlier
  // than the last one (a clock that went back), starts a new series with this
  // tap as its first. A timestamp that is not finite is ignored.
  TapState Tap(double ms);
  // Whole-number timestamps as input events carry them, converted once here.
  template <std::integral Ms>
  TapState Tap(Ms ms) {
    return Tap(static_cast<double>(ms));
  }

  const TapState& state() const noexcept { return state_; }
  // Forgets the series; the next tap is the first of a new one.
  void Reset() noexcept;

 private:
  TapState state_;
  double lastMs_ = 0.0;
  std::array<double, kMaxIntervals> intervals_{};  // a ring of the last intervals
  std::size_t intervalCount_ = 0;                  // how many of them hold a value
  std::size_t nextInterval_ = 0;                   // where the next one is written
};

}  // namespace calc
