// The MIDI clock estimate on generated tick times: the accuracy table (worst
// error over 20 seeds, from 1 s and from 2 s of clock on), the time it takes
// to follow a jump from 128 to 90 BPM, what lost ticks and one stray tick move, and the CPU
// time a tick costs.
//   cmake --build build --target clock_accuracy && ./build/bench/clock_accuracy
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <optional>
#include <vector>

#include "calc/clock_estimator.h"
#include "clock_ticks.h"

namespace {

using calc::ClockTempoEstimator;
using calc_test::ClockTicks;
using calc_test::Jitter;

constexpr unsigned kSeeds = 20;
constexpr double kShownStep = 0.001;  // BPM: the finest step a followed tempo shows

const char* JitterName(Jitter jitter) {
  switch (jitter) {
    case Jitter::None:
      return "none";
    case Jitter::OneFrame:
      return "+-1 frame";
    case Jitter::PeriodRandom:
      return "0-255 random";
    case Jitter::PeriodQuantized:
      return "256 period start";
  }
  return "";
}

// Which ticks never arrive: none, one in `every`, or a burst of `burst` ticks
// from tick `at` on (the ticks of a process cycle the server skipped).
struct Loss {
  const char* name;
  std::size_t every = 0;
  std::size_t burst = 0;
  std::size_t at = 0;
  bool Lost(std::size_t i) const {
    if (every > 0 && i % every == every / 2) return true;
    return burst > 0 && i >= at && i < at + burst;
  }
  // What the lost ticks' information is worth: the error grows as one over
  // the square root of the ticks kept.
  double Cost() const {
    return every > 0 ? std::sqrt(static_cast<double>(every) / static_cast<double>(every - 1)) : 1.0;
  }
};

constexpr Loss kNoLoss{"none"};
constexpr Loss kLosses[] = {
    {"1 in 100 lost", 100}, {"1 in 24 lost", 24}, {"8 lost at 3 s", 0, 8, 0}};

// Worst |error| of the estimates from `from` seconds on, over every seed.
double WorstFrom(double bpm, Jitter jitter, double from, const Loss& loss = kNoLoss) {
  double worst = 0.0;
  for (unsigned seed = 1; seed <= kSeeds; ++seed) {
    ClockTempoEstimator estimator(48000.0);
    const auto ticks = ClockTicks({{bpm, 8.0}}, jitter, seed);
    Loss at = loss;
    if (at.burst > 0) at.at = static_cast<std::size_t>(3.0 * bpm * 24.0 / 60.0);
    for (std::size_t i = 0; i < ticks.size(); ++i) {
      if (at.Lost(i)) continue;
      const auto& tick = ticks[i];
      estimator.Tick(tick.frame);
      if (tick.seconds < from) continue;
      const auto tempo = estimator.Tempo();
      worst = std::max(worst, tempo ? std::abs(*tempo - bpm) : INFINITY);
    }
  }
  return worst;
}

// Seconds from the change until every later estimate is within 0.1 BPM.
double WorstFollow(double from, double to, Jitter jitter) {
  double worst = 0.0;
  for (unsigned seed = 1; seed <= kSeeds; ++seed) {
    ClockTempoEstimator estimator(48000.0);
    double settled = 0.0;
    for (const auto& tick : ClockTicks({{from, 4.0}, {to, 6.0}}, jitter, seed)) {
      estimator.Tick(tick.frame);
      const auto tempo = estimator.Tempo();
      if (tick.seconds >= 4.0 && (!tempo || std::abs(*tempo - to) > 0.1)) settled = tick.seconds;
    }
    worst = std::max(worst, settled - 4.0);
  }
  return worst;
}

// Most a stray tick at 3 s (1233-frame intervals, one of 722) moves the estimate.
double WorstStray(int shift) {
  double worst = 0.0;
  for (unsigned seed = 1; seed <= kSeeds; ++seed) {
    const auto ticks = ClockTicks({{97.3, 8.0}}, Jitter::OneFrame, seed);
    ClockTempoEstimator clean(48000.0), stray(48000.0);
    for (std::size_t i = 0; i < ticks.size(); ++i) {
      clean.Tick(ticks[i].frame);
      stray.Tick(i == 117 ? ticks[i].frame + static_cast<std::uint64_t>(shift) : ticks[i].frame);
      if (i >= 117) worst = std::max(worst, std::abs(*stray.Tempo() - *clean.Tempo()));
    }
  }
  return worst;
}

}  // namespace

int main() {
  const double tempos[] = {60.0, 97.3, 120.0, 128.0, 174.0};
  const Jitter jitters[] = {Jitter::OneFrame, Jitter::PeriodRandom, Jitter::PeriodQuantized};
  std::printf("Worst error in BPM over %u seeds, 48 kHz, 24 ticks per quarter note\n", kSeeds);
  std::printf("%-8s %-18s %12s %12s\n", "tempo", "jitter", "from 1 s", "from 2 s");
  for (const Jitter jitter : jitters)
    for (const double bpm : tempos)
      std::printf("%-8g %-18s %12.4f %12.4f\n", bpm, JitterName(jitter),
                  WorstFrom(bpm, jitter, 1.0), WorstFrom(bpm, jitter, 2.0));
  std::printf(
      "\nLost ticks: worst error in BPM from 2 s on over %u seeds, beside the same clock "
      "with none lost\n",
      kSeeds);
  std::printf("%-8s %-18s %12s", "tempo", "jitter", kNoLoss.name);
  for (const Loss& loss : kLosses) std::printf(" %14s", loss.name);
  std::printf("\n");
  bool within = true;
  for (const Jitter jitter : jitters) {
    // The bound: the largest error of the clean rows of this jitter, times
    // what the lost ticks' own information is worth.
    double bound = 0.0;
    double clean[std::size(tempos)];
    for (std::size_t t = 0; t < std::size(tempos); ++t) {
      clean[t] = WorstFrom(tempos[t], jitter, 2.0);
      bound = std::max(bound, clean[t]);
    }
    for (std::size_t t = 0; t < std::size(tempos); ++t) {
      std::printf("%-8g %-18s %12.4f", tempos[t], JitterName(jitter), clean[t]);
      for (const Loss& loss : kLosses) {
        const double lost = WorstFrom(tempos[t], jitter, 2.0, loss);
        std::printf(" %14.4f", lost);
        if (lost > bound * loss.Cost() + kShownStep) within = false;
      }
      std::printf("\n");
    }
  }
  std::printf(
      "lost ticks %s (bound: the largest error of the clean rows of the same jitter; for one "
      "in N lost, times sqrt(N/(N-1)), the information of the ticks lost; plus 0.001 BPM, the "
      "finest "
      "step shown)\n",
      within ? "within the error of the clean clock" : "WORSE than the clean clock");

  std::printf("\nJump 128 -> 90 BPM, seconds until within 0.1 BPM (worst of %u seeds)\n", kSeeds);
  for (const Jitter jitter : jitters)
    std::printf("%-18s %8.3f s\n", JitterName(jitter), WorstFollow(128.0, 90.0, jitter));
  std::printf("\nOne stray tick at 97.3 BPM, most it moves the estimate\n");
  std::printf("interval 722 instead of 1233   %.4f BPM\n", WorstStray(-511));
  std::printf("interval 1744 instead of 1233  %.4f BPM\n", WorstStray(511));

  // CPU: ticks at 300 BPM with a full window, many times over.
  const auto ticks = ClockTicks({{300.0, 60.0}}, Jitter::OneFrame);
  ClockTempoEstimator estimator(48000.0);
  double sink = 0.0;
  const auto start = std::chrono::steady_clock::now();
  constexpr int kRounds = 20;
  for (int round = 0; round < kRounds; ++round) {
    estimator.Reset();
    for (const auto& tick : ticks) {
      estimator.Tick(tick.frame);
      sink += estimator.Tempo().value_or(0.0);
    }
  }
  const double ns =
      std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() /
      static_cast<double>(ticks.size() * kRounds);
  std::printf("\nCPU per tick (Tick and Tempo, window of %zu ticks): %.0f ns\n",
              ClockTempoEstimator::kWindowTicks, ns);
  std::printf("at 300 BPM (120 ticks a second): %.4f%% of one core\n", ns * 120.0 / 1e7);
  return sink > 0.0 && within ? 0 : 1;
}
