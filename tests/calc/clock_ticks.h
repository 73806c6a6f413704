// MIDI clock ticks as a receiver sees them: frame times of 24 ticks per
// quarter note at given tempi, with the jitter of a given kind of sender.
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <random>
#include <vector>

namespace calc_test {

enum class Jitter {
  None,
  OneFrame,        // -1, 0 or +1 frame: a JACK sender's rounding
  PeriodRandom,    // 0 to 255 frames late: a bridge that loses event offsets
  PeriodQuantized  // moved to the start of its 256-frame period
};

struct TempoSpan {
  double bpm;
  double seconds;
};

struct ClockTick {
  double seconds;       // true time since the first tick
  std::uint64_t frame;  // what the receiver is given
};

inline std::vector<ClockTick> ClockTicks(std::initializer_list<TempoSpan> spans, Jitter jitter,
                                         unsigned seed = 1, double sampleRate = 48000.0,
                                         std::uint64_t startFrame = 100000) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> oneFrame(-1, 1), period(0, 255);
  std::vector<ClockTick> ticks;
  double t = 0.0;  // true time of the next tick, seconds
  for (const TempoSpan& span : spans) {
    const double interval = 60.0 / (span.bpm * 24.0);
    const double end = t + span.seconds;
    for (; t < end - 1e-9; t += interval) {
      const double exact = static_cast<double>(startFrame) + t * sampleRate;
      double frame = std::round(exact);
      if (jitter == Jitter::OneFrame) frame += oneFrame(random);
      if (jitter == Jitter::PeriodRandom) frame += period(random);
      if (jitter == Jitter::PeriodQuantized) frame = std::floor(exact / 256.0) * 256.0;
      // A 64-bit frame counter, as the process callback keeps it: no wrap.
      ticks.push_back({t, static_cast<std::uint64_t>(frame)});
    }
  }
  return ticks;
}

}  // namespace calc_test
