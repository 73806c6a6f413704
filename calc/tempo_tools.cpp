#include "calc/tempo_tools.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "arithmetic.h"
#include "calc/numeric_text.h"
#include "calc/rounded_text.h"

namespace calc {

namespace {

// Whether the step moves a tempo up (otherwise down).
constexpr bool StepsUp(TempoStep step) {
  return step == TempoStep::Up || step == TempoStep::PageUp || step == TempoStep::Double;
}

}  // namespace

std::optional<double> StepTempo(double tempo, TempoStep step) {
  if (!std::isfinite(tempo)) return std::nullopt;
  switch (step) {
    case TempoStep::Up:
    case TempoStep::PageUp: {
      const double size = step == TempoStep::Up ? kSmallTempoStep : kLargeTempoStep;
      const auto next = detail::Finite(tempo + size);
      if (!next) return std::nullopt;
      return std::max(*next, kLowestSteppedTempo);
    }
    case TempoStep::Down:
    case TempoStep::PageDown: {
      // Never below the lowest stepped tempo, and never up to it.
      if (tempo <= kLowestSteppedTempo) return tempo;
      const double size = step == TempoStep::Down ? kSmallTempoStep : kLargeTempoStep;
      return std::max(tempo - size, kLowestSteppedTempo);
    }
    case TempoStep::Halve:
    case TempoStep::Double: {
      if (!(tempo > 0.0)) return std::nullopt;
      const auto next = detail::Finite(step == TempoStep::Halve ? tempo / 2.0 : tempo * 2.0);
      if (!next || !(*next > 0.0)) return std::nullopt;
      return next;
    }
  }
  return std::nullopt;
}

std::optional<std::string> StepTempoInBox(std::string_view tempoText, TempoStep step,
                                          char separator, std::size_t boxLength) {
  const auto tempo = TextToNumber(tempoText, separator);
  if (!tempo) return std::nullopt;
  const auto next = StepTempoText(tempoText, step, separator);
  if (!next) return std::nullopt;
  auto fitted = FitToBox(*next, boxLength, separator);
  if (!fitted) return std::nullopt;
  const auto shown = TextToNumber(*fitted, separator);
  if (!shown) return std::nullopt;
  const bool moved = StepsUp(step) ? *shown > *tempo : *shown < *tempo;
  const bool positive = (step != TempoStep::Halve && step != TempoStep::Double) || *shown > 0.0;
  if (!moved || !positive) return std::nullopt;
  return fitted;
}

bool StepChangesTempo(std::string_view tempoText, TempoStep step, char separator,
                      std::size_t boxLength) {
  return StepTempoInBox(tempoText, step, separator, boxLength).has_value();
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

std::optional<std::string> TapStatusText(const TapState& state, char separator) {
  const auto tempo = TapTempoText(state, separator);
  if (!tempo) return std::nullopt;
  std::string text = *tempo + " BPM";
  if (state.standardError) {
    const auto error = RoundedText(*state.standardError, kTapTempoDecimals, separator);
    if (error) text += " \u00b1 " + *error;
  }
  text += ", " + IntegerToText(state.taps) + (state.taps == 1 ? " tap" : " taps");
  return text;
}

TapState TapTempo::Tap(double ms) {
  if (!std::isfinite(ms)) return state_;
  const double last = pressCount_ > 0 ? presses_[pressCount_ - 1] : 0.0;
  if (!started_ || !(ms >= last && ms - last <= kMaxPauseMs)) {
    // The first tap, a long pause or a clock that went back.
    StartSeries(ms);
    return state_;
  }
  if (ms == last) return state_;  // a bounce within the same millisecond

  if (pressCount_ == presses_.size()) {
    std::copy(presses_.begin() + 1, presses_.end(), presses_.begin());
    --pressCount_;
  }
  presses_[pressCount_++] = ms;

  if (TempoChanged()) {
    // A new series from the presses that agree.
    originMs_ = presses_[0];
    for (std::size_t i = 0; i < pressCount_; ++i) taps_[i] = presses_[i] - originMs_;
    tapCount_ = pressCount_;
    state_ = TapState{};
    state_.taps = static_cast<int>(tapCount_);
    Fit();
    return state_;
  }

  const double interval = ms - (originMs_ + taps_[tapCount_ - 1]);
  const auto median = MedianInterval();
  if (median && interval < (1.0 - kOutlier) * *median) return state_;  // a double tap
  AddTap(ms);
  if (state_.taps < INT_MAX) ++state_.taps;
  Fit();
  return state_;
}

void TapTempo::Reset() noexcept {
  state_ = TapState{};
  started_ = false;
  originMs_ = 0.0;
  taps_.fill(0.0);
  tapCount_ = 0;
  presses_.fill(0.0);
  pressCount_ = 0;
}

void TapTempo::StartSeries(double ms) {
  Reset();
  started_ = true;
  originMs_ = ms;
  tapCount_ = 1;
  presses_[0] = ms;
  pressCount_ = 1;
  state_.taps = 1;
}

void TapTempo::AddTap(double ms) {
  if (tapCount_ == taps_.size()) {
    std::copy(taps_.begin() + 1, taps_.end(), taps_.begin());
    --tapCount_;
  }
  taps_[tapCount_++] = ms - originMs_;
}

// The lower median of the intervals between the series' latest taps, so that
// of two intervals the shorter counts (double taps never get this far).
std::optional<double> TapTempo::MedianInterval() const {
  if (tapCount_ < 2) return std::nullopt;
  std::array<double, kFitTaps - 1> intervals{};
  const std::size_t count = tapCount_ - 1;
  for (std::size_t i = 0; i < count; ++i) intervals[i] = taps_[i + 1] - taps_[i];
  const auto middle = intervals.begin() + static_cast<std::ptrdiff_t>((count - 1) / 2);
  std::nth_element(intervals.begin(), middle,
                   intervals.begin() + static_cast<std::ptrdiff_t>(count));
  return *middle;
}

bool TapTempo::TempoChanged() const {
  if (pressCount_ != presses_.size()) return false;
  std::array<double, kChangeIntervals> recent{};
  for (std::size_t i = 0; i < kChangeIntervals; ++i) recent[i] = presses_[i + 1] - presses_[i];
  std::sort(recent.begin(), recent.end());
  const double middle = recent[kChangeIntervals / 2];
  if (recent.back() - recent.front() > kChangeAgreement * middle) return false;
  const auto median = MedianInterval();
  return median && std::fabs(middle - *median) > kChangeDistance * *median;
}

void TapTempo::Fit() {
  state_.tempo.reset();
  state_.standardError.reset();
  state_.fittedTaps = 0;
  const auto median = MedianInterval();
  if (!median || !(*median > 0.0)) return;
  const auto belongs = [&](double interval) {
    return std::fabs(interval - *median) <= kOutlier * *median;
  };

  // Runs of taps joined by intervals that belong: one common slope, each run
  // with its own intercept.
  double sxx = 0.0;
  double sxy = 0.0;
  double syy = 0.0;
  std::size_t fitted = 0;
  std::size_t runs = 0;
  std::size_t start = 0;
  for (std::size_t end = 1; end <= tapCount_; ++end) {
    if (end < tapCount_ && belongs(taps_[end] - taps_[end - 1])) continue;
    const std::size_t length = end - start;
    if (length >= 2) {
      const double meanX = static_cast<double>(length - 1) / 2.0;
      double meanY = 0.0;
      for (std::size_t i = start; i < end; ++i) meanY += taps_[i];
      meanY /= static_cast<double>(length);
      for (std::size_t i = start; i < end; ++i) {
        const double dx = static_cast<double>(i - start) - meanX;
        const double dy = taps_[i] - meanY;
        sxx += dx * dx;
        sxy += dx * dy;
        syy += dy * dy;
      }
      fitted += length;
      ++runs;
    }
    start = end;
  }
  if (!(sxx > 0.0) || !(sxy > 0.0)) return;
  const double slope = sxy / sxx;  // milliseconds per tap
  state_.tempo = detail::Divide(kMsPerMinute, slope);
  state_.fittedTaps = static_cast<int>(fitted);
  if (!state_.tempo || fitted < runs + 2) return;
  const double residual = std::max(0.0, syy - slope * sxy) / static_cast<double>(fitted - runs - 1);
  const double slopeError = std::sqrt(residual / sxx);
  state_.standardError = detail::Finite(kMsPerMinute * slopeError / (slope * slope));
}

}  // namespace calc
