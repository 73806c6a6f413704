#include "calc/clock_estimator.h"

#include <algorithm>
#include <cmath>

namespace calc {

ClockTempoEstimator::ClockTempoEstimator(double sampleRate) : sampleRate_(sampleRate) {}

void ClockTempoEstimator::Reset() noexcept {
  started_ = false;
  count_ = 0;
  fit_.Clear();
  heldCount_ = 0;
  driftCount_ = 0;
  gapCount_ = 0;
}

void ClockTempoEstimator::SetSampleRate(double sampleRate) noexcept {
  sampleRate_ = sampleRate;
  Reset();
}

bool ClockTempoEstimator::Stopped(std::uint64_t nowFrame) const noexcept {
  if (!started_ || !(sampleRate_ > 0.0)) return true;
  return nowFrame > lastFrame_ &&
         static_cast<double>(nowFrame - lastFrame_) > kMaxGapSeconds * sampleRate_;
}

void ClockTempoEstimator::Restart(std::uint64_t frame) noexcept {
  count_ = 0;
  first_ = 0;
  fit_.Clear();
  heldCount_ = 0;
  driftCount_ = 0;
  gapCount_ = 0;
  lastIndex_ = 0;
  lastStep_ = 1;
  Add({0, frame});
}

void ClockTempoEstimator::Add(Point point) noexcept {
  if (count_ == kWindowTicks) {
    const Point& oldest = window_[first_];  // leaves the window
    fit_.Remove(static_cast<double>(oldest.index), static_cast<double>(oldest.frame));
    window_[first_] = point;
    first_ = (first_ + 1) % kWindowTicks;
    fit_.Add(static_cast<double>(point.index), static_cast<double>(point.frame));
    // Once a window, the sums start afresh from the ticks it holds, so the
    // rounding of many removals never builds up.
    if (first_ == 0) Refit();
  } else {
    window_[(first_ + count_) % kWindowTicks] = point;
    ++count_;
    fit_.Add(static_cast<double>(point.index), static_cast<double>(point.frame));
  }
}

void ClockTempoEstimator::Refit() noexcept {
  fit_.Clear();
  for (std::size_t i = 0; i < count_; ++i) {
    const Point& p = window_[(first_ + i) % kWindowTicks];
    fit_.Add(static_cast<double>(p.index), static_cast<double>(p.frame));
  }
}

void ClockTempoEstimator::RestartFromLast(std::size_t ticks) noexcept {
  std::array<Point, kWindowTicks> last{};
  const std::size_t kept = std::min(ticks, count_);
  for (std::size_t i = 0; i < kept; ++i)
    last[i] = window_[(first_ + count_ - kept + i) % kWindowTicks];
  count_ = 0;
  first_ = 0;
  fit_.Clear();
  for (std::size_t i = 0; i < kept; ++i) Add(last[i]);
  driftCount_ = 0;
  heldCount_ = 0;
}

double ClockTempoEstimator::Predict(std::int64_t index) const noexcept {
  return fit_.At(static_cast<double>(index));
}

// The tick number of a tick at `frame`: one more than the last, or, once the
// run has an interval to trust, as many more as intervals have passed.
// The tick number of a tick at `frame`: one more than the last, or, once the
// run has an interval to trust, k more for a gap within `limit` of k intervals.
std::int64_t ClockTempoEstimator::Number(std::uint64_t frame, double limit) noexcept {
  std::int64_t step = 1;
  const double interval = Interval();
  if (count_ >= kNumberedTicks && interval > 0.0) {
    const double gap = static_cast<double>(frame - lastFrame_);
    // At most a gap of kMaxGapSeconds, so the count stays far inside the type.
    const double intervals = std::min(std::round(gap / interval), 1e12);
    if (intervals > 1.0 && std::abs(gap - intervals * interval) <= limit)
      step = static_cast<std::int64_t>(intervals);
    if (intervals < 1.0 && lastStep_ > 1 && heldCount_ > 0 &&
        held_[heldCount_ - 1].index == lastIndex_) {
      // The last tick was late, not after a lost one: back in its place.
      --held_[heldCount_ - 1].index;
      --lastIndex_;
    }
  }
  lastStep_ = step;
  lastIndex_ += step;
  return lastIndex_;
}

void ClockTempoEstimator::Tick(std::uint64_t frame) {
  if (!started_ || frame < lastFrame_ || !(sampleRate_ > 0.0) ||
      static_cast<double>(frame - lastFrame_) > kMaxGapSeconds * sampleRate_) {
    // The first tick, a counter that went back, or a long silence.
    started_ = true;
    lastFrame_ = frame;
    Restart(frame);
    return;
  }
  // How far off the line a tick may lie: a share of an interval, or a few
  // times the run's scatter.
  const double interval = Interval();
  const double freedom = static_cast<double>(count_) - 2.0;
  const double squares = fit_.Residual();
  const double guessedSpread =
      std::sqrt((squares + kPriorTicks * kPriorSpread * kPriorSpread) / (freedom + kPriorTicks));
  const double limit = std::max(kOutlierIntervals * interval, kOutlierSpread * guessedSpread);
  const Point point{Number(frame, limit), frame};
  lastFrame_ = frame;
  if (lastStep_ > 1) {
    gaps_[gapCount_++] = frame;
    if (gapCount_ == kChangeTicks) {
      // Long gaps again and again: a slower clock, not lost ticks.
      const auto gaps = gaps_;
      Restart(gaps[0]);
      for (std::size_t i = 1; i < kChangeTicks; ++i) Add({++lastIndex_, gaps[i]});
      return;
    }
  } else {
    gapCount_ = 0;
  }
  if (count_ < 2) {
    Add(point);
    return;
  }
  const double off = static_cast<double>(frame) - Predict(point.index);
  if (std::abs(off) <= limit) {
    heldCount_ = 0;  // what was held back was a stray tick, not a new tempo
    const bool late = off > 0.0;
    const bool drifting =
        count_ >= kDriftMinTicks && std::abs(off) > kDriftSpread * std::sqrt(squares / freedom);
    driftCount_ = drifting ? (driftCount_ > 0 && late == driftLate_ ? driftCount_ + 1 : 1) : 0;
    driftLate_ = late;
    Add(point);
    if (driftCount_ == kDriftTicks) RestartFromLast(kDriftTicks);  // the line was left behind
    return;
  }
  const bool late = off > 0.0;
  if (heldCount_ > 0 && late != heldLate_) heldCount_ = 0;
  heldLate_ = late;
  held_[heldCount_++] = point;
  if (heldCount_ < kChangeTicks) return;
  const Point& firstHeld = held_[0];
  const Point& lastHeld = held_[kChangeTicks - 1];
  const double span = static_cast<double>(lastHeld.index - firstHeld.index);
  const double heldInterval = static_cast<double>(lastHeld.frame - firstHeld.frame) / span;
  if (!(span > 0.0) || std::abs(heldInterval - interval) * span > limit) {
    // The same side several times in a row, moving away: the tempo changed;
    // the run starts again from the ticks that showed it.
    count_ = 0;
    first_ = 0;
    fit_.Clear();
  } else {
    // They keep the line's pace one step off it: a sender that puts ticks at
    // period starts jumps so, and the line takes them as jitter; a step of
    // whole intervals is ticks lost before the run could count them.
    const double intervals = interval > 0.0 ? std::clamp(off / interval, -1e6, 1e6) : 0.0;
    const auto shift = static_cast<std::int64_t>(std::round(intervals));
    const Point& newest = window_[(first_ + count_ - 1) % kWindowTicks];
    if (firstHeld.index + shift > newest.index) {
      for (std::size_t i = 0; i < heldCount_; ++i) held_[i].index += shift;
      lastIndex_ += shift;
    }
  }
  for (std::size_t i = 0; i < heldCount_; ++i) Add(held_[i]);
  heldCount_ = 0;
  driftCount_ = 0;
}

std::optional<double> ClockTempoEstimator::Tempo() const {
  const double interval = Interval();
  if (count_ < kMinTicks || !(interval > 0.0) || !(sampleRate_ > 0.0)) return std::nullopt;
  return 60.0 * sampleRate_ / (kTicksPerQuarter * interval);
}

}  // namespace calc
