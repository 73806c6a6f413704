// Loops measured in bars: the Samples box menu's entries, their captions,
// the values they write and why they are greyed out.
#include "calc/bars.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "test_names.h"

namespace {

using calc::BarProblem;
using calc_test::RowName;

enum class Kind { LoopTempo, Proposed, Samples, Seconds };

struct BarRow {
  const char* name;
  Kind kind;
  const char* number;  // samples for LoopTempo, the tempo otherwise
  const char* rate;    // unused for Seconds
  int bars;
  char separator;
  const char* caption;
  const char* value;  // nullptr: greyed out
  std::optional<BarProblem> problem;
};

class BarEntryTest : public testing::TestWithParam<BarRow> {};

TEST_P(BarEntryTest, CaptionValueAndReason) {
  const auto& row = GetParam();
  calc::BarEntry entry;
  switch (row.kind) {
    case Kind::LoopTempo:
      entry = calc::LoopTempoEntry(row.number, row.rate, row.bars, row.separator);
      break;
    case Kind::Proposed:
      entry = calc::ProposedLoopTempoEntry(row.number, row.rate, row.bars, row.separator);
      break;
    case Kind::Samples:
      entry = calc::BarSamplesEntry(row.number, row.rate, row.bars, row.separator);
      break;
    case Kind::Seconds:
      entry = calc::BarSecondsEntry(row.number, row.bars, row.separator);
      break;
  }
  EXPECT_EQ(entry.bars, row.bars);
  EXPECT_EQ(entry.caption, row.caption);
  EXPECT_EQ(entry.value, row.value ? std::optional<std::string>(row.value) : std::nullopt);
  EXPECT_EQ(entry.problem, row.problem);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, BarEntryTest,
    testing::Values(BarRow{"FourBarLoop", Kind::LoopTempo, "352800", "44100", 4, '.',
                           "As 4 bars: 120 BPM", "120", std::nullopt},
                    BarRow{"OneBarSingular", Kind::LoopTempo, "88200", "44100", 1, '.',
                           "As 1 bar: 120 BPM", "120", std::nullopt},
                    BarRow{"EightBars", Kind::LoopTempo, "352800", "44100", 8, '.',
                           "As 8 bars: 240 BPM", "240", std::nullopt},
                    BarRow{"ThreeDecimals", Kind::LoopTempo, "123456", "44100", 1, '.',
                           "As 1 bar: 85.731 BPM", "85.731", std::nullopt},
                    BarRow{"OneDecimalComma", Kind::LoopTempo, "100000", "48000", 4, ',',
                           "As 4 bars: 460,8 BPM", "460,8", std::nullopt},
                    BarRow{"TinyTempoInFull", Kind::LoopTempo, "1E+300", "44100", 1, '.',
                           "As 1 bar: 1.0584E-293 BPM", "1.0584E-293", std::nullopt},
                    BarRow{"EmptySamples", Kind::LoopTempo, "", "44100", 4, '.',
                           "As 4 bars: no sample count", nullptr, BarProblem::NoSamples},
                    BarRow{"ZeroSamples", Kind::LoopTempo, "0", "44100", 2, '.',
                           "As 2 bars: no sample count", nullptr, BarProblem::NoSamples},
                    BarRow{"NegativeSamples", Kind::LoopTempo, "-5", "44100", 2, '.',
                           "As 2 bars: no sample count", nullptr, BarProblem::NoSamples},
                    BarRow{"SamplesBeforeRate", Kind::LoopTempo, "abc", "0", 2, '.',
                           "As 2 bars: no sample count", nullptr, BarProblem::NoSamples},
                    BarRow{"ZeroRate", Kind::LoopTempo, "352800", "0", 4, '.',
                           "As 4 bars: no sample rate", nullptr, BarProblem::NoSampleRate},
                    BarRow{"TempoBeyondRange", Kind::LoopTempo, "1E-300", "1E+300", 1, '.',
                           "As 1 bar: out of range", nullptr, BarProblem::OutOfRange},
                    BarRow{"ProposedInRange", Kind::Proposed, "352800", "44100", 4, '.',
                           "As 4 bars: 120 BPM", "120", std::nullopt},
                    BarRow{"ProposedSlowest", Kind::Proposed, "10584000", "44100", 1, '.',
                           "As 1 bar: 1 BPM", "1", std::nullopt},
                    BarRow{"ProposedFastest", Kind::Proposed, "10590", "44100", 1, ',',
                           "As 1 bar: 999,433 BPM", "999,433", std::nullopt},
                    BarRow{"ProposedTooSlow", Kind::Proposed, "10700000", "44100", 1, '.',
                           "As 1 bar: out of range (0.989 BPM)", nullptr, BarProblem::NotATempo},
                    BarRow{"ProposedOneSample", Kind::Proposed, "1", "44100", 1, '.',
                           "As 1 bar: out of range (10584000 BPM)", nullptr, BarProblem::NotATempo},
                    BarRow{"ProposedTinyInFull", Kind::Proposed, "1E+308", "1", 8, '.',
                           "As 8 bars: out of range (1.92E-305 BPM)", nullptr,
                           BarProblem::NotATempo},
                    BarRow{"ProposedNoSamples", Kind::Proposed, "", "44100", 2, '.',
                           "As 2 bars: no sample count", nullptr, BarProblem::NoSamples},
                    BarRow{"FourBarsInSamples", Kind::Samples, "120", "44100", 4, '.',
                           "Copy 4 bars: 352800 samples", "352800", std::nullopt},
                    BarRow{"RoundedToWholeSamples", Kind::Samples, "133", "96000", 1, '.',
                           "Copy 1 bar: 173233 samples", "173233", std::nullopt},
                    BarRow{"SamplesComma", Kind::Samples, "133,5", "44100", 2, ',',
                           "Copy 2 bars: 158562 samples", "158562", std::nullopt},
                    BarRow{"SamplesNoTempo", Kind::Samples, "", "44100", 2, '.',
                           "Copy 2 bars: no tempo", nullptr, BarProblem::NoTempo},
                    BarRow{"SamplesNoRate", Kind::Samples, "120", "fast", 8, '.',
                           "Copy 8 bars: no sample rate", nullptr, BarProblem::NoSampleRate},
                    BarRow{"SamplesBeyondRange", Kind::Samples, "1E-300", "1E+300", 8, '.',
                           "Copy 8 bars: out of range", nullptr, BarProblem::OutOfRange},
                    BarRow{"FourBarsInSeconds", Kind::Seconds, "120", "", 4, '.',
                           "Copy 4 bars: 8 seconds", "8", std::nullopt},
                    BarRow{"SecondsSixDecimals", Kind::Seconds, "133", "", 1, '.',
                           "Copy 1 bar: 1.804511 seconds", "1.804511", std::nullopt},
                    BarRow{"SecondsComma", Kind::Seconds, "133", "", 1, ',',
                           "Copy 1 bar: 1,804511 seconds", "1,804511", std::nullopt},
                    BarRow{"SecondsNoTempo", Kind::Seconds, "-120", "", 1, '.',
                           "Copy 1 bar: no tempo", nullptr, BarProblem::NoTempo}),
    RowName{});

// A loop of the length of N bars at a tempo reads back as that tempo.
TEST(BarsTest, LengthAndLoopTempoAgree) {
  for (const double tempo : {1.0, 60.0, 120.0, 133.7, 999.0}) {
    for (const double rate : {8000.0, 44100.0, 96000.0}) {
      for (const int bars : calc::kBarCounts) {
        const auto samples = calc::BarsToSamples(tempo, rate, bars);
        ASSERT_TRUE(samples.has_value());
        const auto back = calc::TempoFromBars(*samples, rate, bars);
        ASSERT_TRUE(back.has_value());
        EXPECT_NEAR(*back, tempo, tempo * 1e-14) << tempo << " " << rate << " " << bars;
        EXPECT_NEAR(*calc::BarsToSeconds(tempo, bars), *samples / rate, 1e-12 * *samples / rate);
      }
    }
  }
}

TEST(BarsTest, NoBarsOrNoPositiveInputFails) {
  EXPECT_EQ(calc::TempoFromBars(352800, 44100, 0), std::nullopt);
  EXPECT_EQ(calc::BarsToSamples(120, 44100, -1), std::nullopt);
  EXPECT_EQ(calc::BarsToSeconds(0, 4), std::nullopt);
  EXPECT_EQ(calc::TempoFromBars(352800, std::nan(""), 4), std::nullopt);
}

}  // namespace
