#include "calc/tempo_tools.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "arithmetic.h"
#include "calc/numeric_text.h"
#include "calc/rounded_text.h"

namespace calc {

std::optional<double> StepTempo(double tempo, TempoStep step) {
  if (!std::isfinite(tempo)) return std::nullopt;
  double next = tempo;
  switch (step) {
    case TempoStep::Up:
      next = tempo + kSmallTempoStep;
      break;
    case TempoStep::Down:
      next = tempo - kSmallTempoStep;
      break;
    case TempoStep::PageUp:
      next = tempo + kLargeTempoStep;
      break;
    case TempoStep::PageDown:
      next = tempo - kLargeTempoStep;
      break;
    case TempoStep::Halve:
      next = tempo / 2.0;
      break;
    case TempoStep::Double:
      next = tempo * 2.0;
      break;
  }
  const auto finite = detail::Finite(next);
  if (!finite) return std::nullopt;
  return std::max(*finite, kLowestSteppedTempo);
}

std::optional<std::string> StepTempoText(std::string_view tempoText, TempoStep step,
                                         char separator) {
  const auto tempo = TextToNumber(tempoText, separator);
  if (!tempo) return std::nullopt;
  const auto next = StepTempo(*tempo, step);
  if (!next) return std::nullopt;
  return NumberToText(*next, separator);
}

std::optional<std::string> TapTempoText(const TapState& state, char separator) {
  if (!state.tempo) return std::nullopt;
  return RoundedText(*state.tempo, kTapTempoDecimals, separator);
}

TapState TapTempo::Tap(double ms) {
  if (!std::isfinite(ms)) return state_;
  const double interval = ms - lastMs_;
  lastMs_ = ms;
  if (state_.taps == 0 || !(interval >= 0.0 && interval <= kMaxPauseMs)) {
    // The first tap, a long pause or a clock that went back.
    Reset();
    lastMs_ = ms;
    state_.taps = 1;
    return state_;
  }
  if (state_.taps < INT_MAX) ++state_.taps;
  intervals_[nextInterval_] = interval;
  nextInterval_ = (nextInterval_ + 1) % kMaxIntervals;
  intervalCount_ = std::min(intervalCount_ + 1, kMaxIntervals);

  double sum = 0.0;
  for (std::size_t i = 0; i < intervalCount_; ++i) sum += intervals_[i];
  const double mean = sum / static_cast<double>(intervalCount_);
  state_.tempo = detail::Divide(kMsPerMinute, mean);
  return state_;
}

void TapTempo::Reset() noexcept {
  state_ = TapState{};
  lastMs_ = 0.0;
  intervals_.fill(0.0);
  intervalCount_ = 0;
  nextInterval_ = 0;
}

}  // namespace calc
