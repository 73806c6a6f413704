// The tempo of a MIDI beat clock (24 ticks per quarter note) from the frame
// times of its ticks.
//
// Method: a least-squares line through the tick times of the current run
// (tick number against frame time, the last kWindowTicks ticks), whose slope
// is the tick interval. Every new tick is first compared with the line's
// prediction: a tick far off it (more than kOutlierIntervals of an interval
// and kOutlierSpread times the run's scatter) is held back instead of bending
// the line, so one tick delayed by a missed process cycle moves nothing;
// kChangeTicks such ticks in a row on the same side that move away from the
// line are a new tempo, and the run starts again from them (when they keep
// the line's pace, the clock's phase stepped, and they join the line). A smaller change shows as
// kDriftTicks accepted ticks in a row on one side of the line, each beyond kDriftSpread times the
// scatter: the run starts again from them. The scatter starts from a guess of
// kPriorSpread frames (a bridge's period-long jitter), worth kPriorTicks ticks,
// so the first few ticks of a run, which lie on their line by chance, do not
// make every later tick look stray.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace calc {

class ClockTempoEstimator {
 public:
  static constexpr int kTicksPerQuarter = 24;
  static constexpr std::size_t kWindowTicks = 192;  // eight beats
  static constexpr std::size_t kChangeTicks = 3;
  static constexpr double kOutlierIntervals = 0.15;
  static constexpr double kOutlierSpread = 4.0;
  static constexpr double kPriorSpread = 80.0;  // frames
  static constexpr double kPriorTicks = 4.0;
  static constexpr std::size_t kDriftTicks = 6;
  static constexpr double kDriftSpread = 3.0;
  static constexpr std::size_t kDriftMinTicks = 12;  // a run too short has no scatter to trust
  static constexpr double kMaxGapSeconds = 2.0;      // a longer silence means the clock stopped
  static constexpr std::size_t kMinTicks = 3;        // ticks of a run before it gives a tempo

  // A sample rate that is not a positive finite number gives no tempo.
  explicit ClockTempoEstimator(double sampleRate = 48000.0);

  // A tick at `frame`, the server's frame counter (which wraps at 2^32).
  void Tick(std::uint32_t frame);
  // Start, Continue and Stop: forgets the run; the next tick begins a new one.
  void Reset() noexcept;
  // A new sample rate changes the length of a frame: the run starts again.
  void SetSampleRate(double sampleRate) noexcept;

  // Beats per minute, from the kMinTicks-th tick of a run on.
  std::optional<double> Tempo() const;

 private:
  struct Point {
    std::int64_t index;  // tick number in the run (held-back ticks count too)
    std::int64_t frame;  // unwrapped frame time
  };
  void Restart(std::int64_t frame) noexcept;
  void Add(Point point) noexcept;
  void Fit() noexcept;
  void RestartFromLast(std::size_t ticks) noexcept;
  double Predict(std::int64_t index) const noexcept;

  double sampleRate_;
  std::array<Point, kWindowTicks> window_{};  // a ring of the run's last ticks
  std::size_t count_ = 0;
  std::size_t first_ = 0;                   // oldest tick in the ring
  std::array<Point, kChangeTicks> held_{};  // ticks far off the line, in a row
  std::size_t heldCount_ = 0;
  bool heldLate_ = false;  // on which side of the line they lie
  bool started_ = false;
  std::uint32_t lastFrame_ = 0;
  std::int64_t now_ = 0;  // frame time without wrap-around
  std::int64_t nextIndex_ = 0;
  // The fitted line, relative to the oldest tick of the window.
  double interval_ = 0.0;   // frames per tick
  double intercept_ = 0.0;  // frames
  double squares_ = 0.0;    // sum of the squared distances of the ticks from the line
  std::size_t driftCount_ = 0;
  bool driftLate_ = false;
};

}  // namespace calc
