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
// the line's pace, the clock's phase stepped, and they join the line). A
// smaller change shows as kDriftTicks accepted ticks in a row on one side of
// the line, each beyond kDriftSpread times the scatter: the run starts again
// from them. The scatter starts from a guess of kPriorSpread frames (a
// bridge's period-long jitter), worth kPriorTicks ticks, so the first few
// ticks of a run, which lie on their line by chance, do not make every later
// tick look stray.
//
// Ticks are numbered by their time: once the run has kNumberedTicks ticks, a
// gap of k intervals (within the limit of a stray tick) is k ticks, so ticks lost with a process
// cycle the server skipped cost nothing but their own information. A tick delayed by more than half
// an interval is first read as one after a lost tick; the next tick, less than half an interval
// later, puts it back in its place. A gap of several intervals kChangeTicks times in a row is not
// loss but a slower clock (half the tempo looks like every other tick lost): the run starts again
// from those ticks, numbered one by one.
//
// Frame times come from a 64-bit counter that never wraps. A tick earlier
// than the last one, or more than kMaxGapSeconds after it, starts a new run.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "calc/line_fit.h"

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
  static constexpr std::size_t kNumberedTicks = 12;  // ticks of a run before gaps are counted

  // A sample rate that is not a positive finite number gives no tempo.
  explicit ClockTempoEstimator(double sampleRate = 48000.0);

  // A tick at `frame`, a frame counter that never wraps.
  void Tick(std::uint64_t frame);
  // Whether the clock is silent at `nowFrame`: no tick since the last Reset,
  // or none within kMaxGapSeconds of frames before it (a frame counter that
  // went back is not silence). Without a sample rate there is no clock.
  bool Stopped(std::uint64_t nowFrame) const noexcept;
  // Start, Continue and Stop: forgets the run; the next tick begins a new one.
  void Reset() noexcept;
  // A new sample rate changes the length of a frame: the run starts again.
  void SetSampleRate(double sampleRate) noexcept;

  // Beats per minute, from the kMinTicks-th tick of a run on.
  std::optional<double> Tempo() const;

 private:
  struct Point {
    std::int64_t index;   // tick number in the run, by time (held-back ticks count too)
    std::uint64_t frame;  // frame time
  };
  void Restart(std::uint64_t frame) noexcept;
  void Add(Point point) noexcept;
  void Refit() noexcept;
  void RestartFromLast(std::size_t ticks) noexcept;
  std::int64_t Number(std::uint64_t frame, double limit) noexcept;
  double Interval() const noexcept { return fit_.Slope().value_or(0.0); }
  double Predict(std::int64_t index) const noexcept;

  double sampleRate_;
  std::array<Point, kWindowTicks> window_{};  // a ring of the run's last ticks
  std::size_t count_ = 0;
  std::size_t first_ = 0;                   // oldest tick in the ring
  LineFit fit_;                             // of the ticks in the ring: frames per tick
  std::array<Point, kChangeTicks> held_{};  // ticks far off the line, in a row
  std::size_t heldCount_ = 0;
  bool heldLate_ = false;  // on which side of the line they lie
  bool started_ = false;
  std::uint64_t lastFrame_ = 0;
  std::int64_t lastIndex_ = 0;
  std::int64_t lastStep_ = 1;                       // ticks the last gap counted for
  std::array<std::uint64_t, kChangeTicks> gaps_{};  // ticks after long gaps, in a row
  std::size_t gapCount_ = 0;
  std::size_t driftCount_ = 0;
  bool driftLate_ = false;
};

}  // namespace calc
