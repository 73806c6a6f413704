// The exact-loop rule and the line through tracked beats, on lengths and beat
// times built from the rows.
#include "audio/tempo.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "test_names.h"

namespace {

using calc_test::RowName;

struct LoopRow {
  const char* name;
  std::int64_t frames;
  int rate;
  double detected;
  int bars;  // 0: not a loop
  double bpm;
};

class ExactLoopTest : public testing::TestWithParam<LoopRow> {};

TEST_P(ExactLoopTest, TakesWholeBarsNearTheDetectedTempo) {
  const LoopRow& row = GetParam();
  const auto loop = audio::ExactLoop(row.frames, row.rate, row.detected);
  ASSERT_EQ(loop ? loop->bars : 0, row.bars);
  if (loop) {
    EXPECT_NEAR(loop->bpm, row.bpm, 1e-6);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ExactLoopTest,
    testing::Values(LoopRow{"EightBarsAt140", 604800, 44100, 139.99, 8, 140.0},
                    LoopRow{"OneBarAt384kHz", 1024000, 384000, 90.3, 1, 90.0},
                    LoopRow{"HalfTimeDetectedIsHalfTheBars", 604800, 44100, 70.01, 4, 70.0},
                    LoopRow{"OddLengthExactToTheSample", 435108, 44100, 97.31, 4, 97.29998069},
                    LoopRow{"TailOf60msIsNoLoop", 708246, 44100, 120.0, 0, 0.0},
                    LoopRow{"ExcerptOfThirtySecondsIsNoLoop", 1323000, 44100, 123.0, 0, 0.0},
                    LoopRow{"FourPercentOffIsNoLoop", 604800, 44100, 134.5, 0, 0.0},
                    LoopRow{"TempoNoSequencerOffers", 100, 44100, 105840.0, 0, 0.0},
                    LoopRow{"NoSamples", 0, 44100, 120.0, 0, 0.0}),
    RowName{});

struct LineRow {
  const char* name;
  double period;
  int count;
  std::vector<int> missed;     // beats the tracker did not give
  std::vector<double> extras;  // beats it gave between the others, in periods
  double jitter;               // alternately early and late, in the beats' unit
  bool found;
};

class BeatLineTest : public testing::TestWithParam<LineRow> {};

TEST_P(BeatLineTest, FindsThePeriodWhateverBeatsAreMissedOrAdded) {
  const LineRow& row = GetParam();
  std::vector<double> beats;
  for (int i = 0; i < row.count; ++i) {
    if (std::find(row.missed.begin(), row.missed.end(), i) != row.missed.end()) continue;
    beats.push_back(10.0 + i * row.period + (i % 2 ? row.jitter : -row.jitter));
  }
  for (double at : row.extras) beats.push_back(10.0 + at * row.period);
  std::sort(beats.begin(), beats.end());
  const auto line = audio::FitBeatLine(beats);
  ASSERT_EQ(line.has_value(), row.found);
  if (line) {
    EXPECT_NEAR(line->period, row.period, row.period * 1e-4);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BeatLineTest,
    testing::Values(LineRow{"Steady", 43.066, 200, {}, {}, 0.0, true},
                    LineRow{"MissedBeats", 43.066, 200, {3, 50, 51, 120}, {}, 0.0, true},
                    LineRow{"ExtraBeatsBetween", 43.066, 200, {}, {20.5, 90.5, 150.4}, 0.0, true},
                    LineRow{"Jittered", 51.7, 300, {}, {}, 1.5, true},
                    LineRow{"ThreeBeatsAreTooFew", 43.066, 3, {}, {}, 0.0, false}),
    RowName{});

}  // namespace
