#include "calc/clock_estimator.h"

#include <algorithm>
#include <cmath>

namespace calc {

ClockTempoEstimator::ClockTempoEstimator(double sampleRate) : sampleRate_(sampleRate) {}

void ClockTempoEstimator::Reset() noexcept {
  started_ = false;
  count_ = 0;
  heldCount_ = 0;
  driftCount_ = 0;
}

void ClockTempoEstimator::SetSampleRate(double sampleRate) noexcept {
  sampleRate_ = sampleRate;
  Reset();
}

void ClockTempoEstimator::Restart(std::int64_t frame) noexcept {
  count_ = 0;
  first_ = 0;
  heldCount_ = 0;
  driftCount_ = 0;
  nextIndex_ = 0;
  Add({nextIndex_++, frame});
}

void ClockTempoEstimator::Add(Point point) noexcept {
  if (count_ == kWindowTicks) {
    window_[first_] = point;  // the oldest tick leaves the window
    first_ = (first_ + 1) % kWindowTicks;
  } else {
    window_[(first_ + count_) % kWindowTicks] = point;
    ++count_;
  }
}

void ClockTempoEstimator::Fit() noexcept {
  if (count_ < 2) return;
  const Point origin = window_[first_];
  double sumX = 0.0, sumY = 0.0;
  for (std::size_t i = 0; i < count_; ++i) {
    const Point& p = window_[(first_ + i) % kWindowTicks];
    sumX += static_cast<double>(p.index - origin.index);
    sumY += static_cast<double>(p.frame - origin.frame);
  }
  const double n = static_cast<double>(count_);
  const double meanX = sumX / n, meanY = sumY / n;
  double sxx = 0.0, sxy = 0.0;
  for (std::size_t i = 0; i < count_; ++i) {
    const Point& p = window_[(first_ + i) % kWindowTicks];
    const double dx = static_cast<double>(p.index - origin.index) - meanX;
    sxx += dx * dx;
    sxy += dx * (static_cast<double>(p.frame - origin.frame) - meanY);
  }
  interval_ = sxy / sxx;
  intercept_ = meanY - interval_ * meanX;
  double squares = 0.0;
  for (std::size_t i = 0; i < count_; ++i) {
    const Point& p = window_[(first_ + i) % kWindowTicks];
    const double r = static_cast<double>(p.frame - origin.frame) -
                     (intercept_ + interval_ * static_cast<double>(p.index - origin.index));
    squares += r * r;
  }
  squares_ = squares;
}

void ClockTempoEstimator::RestartFromLast(std::size_t ticks) noexcept {
  std::array<Point, kWindowTicks> last{};
  const std::size_t kept = std::min(ticks, count_);
  for (std::size_t i = 0; i < kept; ++i)
    last[i] = window_[(first_ + count_ - kept + i) % kWindowTicks];
  count_ = 0;
  first_ = 0;
  for (std::size_t i = 0; i < kept; ++i) Add(last[i]);
  driftCount_ = 0;
  heldCount_ = 0;
  Fit();
}

double ClockTempoEstimator::Predict(std::int64_t index) const noexcept {
  const Point origin = window_[first_];
  return static_cast<double>(origin.frame) + intercept_ +
         interval_ * static_cast<double>(index - origin.index);
}

void ClockTempoEstimator::Tick(std::uint32_t frame) {
  if (!started_) {
    started_ = true;
    lastFrame_ = frame;
    now_ = 0;
    Restart(now_);
    return;
  }
  // Unsigned difference: right across the counter's wrap-around.
  const std::uint32_t delta = frame - lastFrame_;
  lastFrame_ = frame;
  now_ += delta;
  if (!(sampleRate_ > 0.0) || static_cast<double>(delta) > kMaxGapSeconds * sampleRate_) {
    Restart(now_);
    return;
  }
  const Point point{nextIndex_++, now_};
  if (count_ < 2) {
    Add(point);
    Fit();
    return;
  }
  const double off = static_cast<double>(now_) - Predict(point.index);
  const double freedom = static_cast<double>(count_) - 2.0;
  const double guessedSpread =
      std::sqrt((squares_ + kPriorTicks * kPriorSpread * kPriorSpread) / (freedom + kPriorTicks));
  const double limit = std::max(kOutlierIntervals * interval_, kOutlierSpread * guessedSpread);
  if (std::abs(off) <= limit) {
    heldCount_ = 0;  // what was held back was a stray tick, not a new tempo
    const bool late = off > 0.0;
    const bool drifting =
        count_ >= kDriftMinTicks && std::abs(off) > kDriftSpread * std::sqrt(squares_ / freedom);
    driftCount_ = drifting ? (driftCount_ > 0 && late == driftLate_ ? driftCount_ + 1 : 1) : 0;
    driftLate_ = late;
    Add(point);
    if (driftCount_ == kDriftTicks) {
      RestartFromLast(kDriftTicks);  // the line has been left behind: a new tempo
      return;
    }
    Fit();
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
  if (std::abs(heldInterval - interval_) * span > limit) {
    // The same side several times in a row, moving away: the tempo changed;
    // the run starts again from the ticks that showed it.
    count_ = 0;
    first_ = 0;
  }
  // Otherwise they keep the line's pace one step off it: a sender that puts
  // ticks at period starts jumps so, and the line takes them as jitter.
  for (std::size_t i = 0; i < heldCount_; ++i) Add(held_[i]);
  heldCount_ = 0;
  driftCount_ = 0;
  Fit();
}

std::optional<double> ClockTempoEstimator::Tempo() const {
  if (count_ < kMinTicks || !(interval_ > 0.0) || !(sampleRate_ > 0.0)) return std::nullopt;
  return 60.0 * sampleRate_ / (kTicksPerQuarter * interval_);
}

}  // namespace calc
