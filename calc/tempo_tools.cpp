#include "calc/tempo_tools.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "arithmetic.h"
#include "calc/line_fit.h"
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
  if (state.offLine) {
    text += ", taps disagree";
  } else if (state.standardError) {
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
    offCount_ = 0;
    state_ = TapState{};
    state_.taps = static_cast<int>(tapCount_);
    Fit();
    return state_;
  }

  const double interval = ms - (originMs_ + taps_[tapCount_ - 1]);
  const auto median = MedianInterval();
  if (median && interval < (1.0 - kOutlier) * *median) return state_;  // a double tap
  const auto off =
      median && Belongs(interval, *median) ? OffLine(ms, *median) : std::optional<Offset>{};
  if (!off || !(std::fabs(off->ms) > off->limit)) {
    offCount_ = 0;  // on the line, or not to be judged against it
  } else {
    const bool late = off->ms > 0.0;
    if (offCount_ > 0 && late != offLate_) offCount_ = 0;
    offLate_ = late;
    offsets_[offCount_++] = *off;
  }
  AddTap(ms);
  if (state_.taps < INT_MAX) ++state_.taps;
  if (offCount_ == kChangeIntervals) {
    if (MovingAway()) {
      StartSeriesFrom(kChangeIntervals + 1);  // a new tempo
      return state_;
    }
    // Off the line but keeping its pace: a hesitation, or a change not yet
    // clear; the oldest of them joins the line.
    std::copy(offsets_.begin() + 1, offsets_.end(), offsets_.begin());
    --offCount_;
  }
  Fit();
  return state_;
}

void TapTempo::Reset() noexcept {
  state_ = TapState{};
  started_ = false;
  originMs_ = 0.0;
  taps_.fill(0.0);
  tapCount_ = 0;
  offCount_ = 0;
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

// A new series from the latest `taps` taps.
void TapTempo::StartSeriesFrom(std::size_t taps) {
  const std::size_t from = tapCount_ - taps;
  const double origin = taps_[from];
  for (std::size_t i = 0; i < taps; ++i) taps_[i] = taps_[from + i] - origin;
  originMs_ += origin;
  tapCount_ = taps;
  offCount_ = 0;
  state_ = TapState{};
  state_.taps = static_cast<int>(taps);
  Fit();
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

bool TapTempo::Belongs(double interval, double median) {
  return std::fabs(interval - median) <= kOutlier * median;
}

// Runs of taps joined by intervals that belong: one common slope, each run
// with its own intercept. A run of one tap adds nothing to the slope, but the
// line goes on from it.
struct TapTempo::Runs {
  LineFit pooled;
  LineFit last;
};

TapTempo::Runs TapTempo::FitTaps(std::size_t count, double median) const {
  Runs runs;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0 && !Belongs(taps_[i] - taps_[i - 1], median)) {
      if (runs.last.Count() >= 2) runs.pooled.Join(runs.last);
      runs.last.Clear();
    }
    runs.last.Add(static_cast<double>(i), taps_[i]);
  }
  if (runs.last.Count() >= 2) runs.pooled.Join(runs.last);
  return runs;
}

// Where the line through the series, without the taps that already
// disagree with it, puts a tap at `ms`, and how far off it may lie.
std::optional<TapTempo::Offset> TapTempo::OffLine(double ms, double median) const {
  const Runs runs = FitTaps(tapCount_ - offCount_, median);
  const auto slope = runs.pooled.Slope();
  if (!slope || runs.pooled.Count() < kSettledTaps || runs.last.Count() == 0) return std::nullopt;
  const double away = static_cast<double>(tapCount_) - runs.last.MeanX();
  // The prior widens a spread that few residuals make small, and never
  // narrows the one the residuals show.
  const double freedom = static_cast<double>(runs.pooled.Freedom());
  const double shown = freedom > 0.0 ? runs.pooled.Residual() / freedom : 0.0;
  const double prior = std::max(shown, kPriorJitterMs * kPriorJitterMs);
  const double variance = (runs.pooled.Residual() + kPriorTaps * prior) / (freedom + kPriorTaps);
  const double spread = std::sqrt(variance * (1.0 + 1.0 / static_cast<double>(runs.last.Count()) +
                                              away * away / runs.pooled.SpreadX()));
  return Offset{ms - originMs_ - (runs.last.MeanY() + *slope * away), kOffSpread * spread,
                kOffSpread * std::sqrt(2.0 * variance)};
}

// Whether the taps that disagree move away from the line: the last further
// off than the first by more than the jitter of two taps explains.
bool TapTempo::MovingAway() const {
  const Offset& latest = offsets_[offCount_ - 1];
  return std::fabs(latest.ms - offsets_[0].ms) > latest.twoTaps;
}

void TapTempo::Fit() {
  state_.tempo.reset();
  state_.standardError.reset();
  state_.fittedTaps = 0;
  state_.offLine = offCount_ > 0;
  const auto median = MedianInterval();
  if (!median || !(*median > 0.0)) return;
  const LineFit fit = FitTaps(tapCount_, *median).pooled;
  const auto slope = fit.Slope();  // milliseconds per tap
  if (!slope || !(*slope > 0.0)) return;
  state_.tempo = detail::Divide(kMsPerMinute, *slope);
  state_.fittedTaps = static_cast<int>(fit.Count());
  if (!state_.tempo || fit.Freedom() == 0) return;
  const double residual = fit.Residual() / static_cast<double>(fit.Freedom());
  const double slopeError = std::sqrt(residual / fit.SpreadX());
  state_.standardError = detail::Finite(kMsPerMinute * slopeError / (*slope * *slope));
}

}  // namespace calc
