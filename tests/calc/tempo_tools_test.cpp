// Tempo step keys, halving and doubling, and the tap tempo fit.
#include "calc/tempo_tools.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "test_names.h"

namespace {

using calc::TempoStep;
using calc_test::RowName;

std::optional<std::string> Text(const char* text) {
  return text ? std::optional<std::string>(text) : std::nullopt;
}

struct StepRow {
  const char* name;
  const char* tempo;
  TempoStep step;
  char separator;
  const char* expected;  // nullptr: no new text
};

class StepTempoTextTest : public testing::TestWithParam<StepRow> {};

TEST_P(StepTempoTextTest, WritesSteppedTempo) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::StepTempoText(row.tempo, row.step, row.separator), Text(row.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, StepTempoTextTest,
    testing::Values(StepRow{"Up", "120", TempoStep::Up, '.', "121"},
                    StepRow{"Down", "120", TempoStep::Down, '.', "119"},
                    StepRow{"PageUp", "120", TempoStep::PageUp, '.', "130"},
                    StepRow{"PageDown", "120", TempoStep::PageDown, '.', "110"},
                    StepRow{"UpKeepsFraction", "120.5", TempoStep::Up, '.', "121.5"},
                    StepRow{"UpKeepsFractionComma", "120,5", TempoStep::Up, ',', "121,5"},
                    StepRow{"UpNoNoise", "0.1", TempoStep::Up, '.', "1.1"},
                    StepRow{"PageUpNoNoise", "0.7", TempoStep::PageUp, '.', "10.7"},
                    StepRow{"PageUpNoNoiseTwoDecimals", "133.45", TempoStep::PageUp, '.', "143.45"},
                    StepRow{"DownNoNoise", "2.2", TempoStep::Down, '.', "1.2"},
                    StepRow{"DownNoNoiseComma", "3,3", TempoStep::Down, ',', "2,3"},
                    StepRow{"PageDownBelowOneStopsAtOne", "10.3", TempoStep::PageDown, '.', "1"},
                    StepRow{"PageDownNoNoiseAboveOne", "12.3", TempoStep::PageDown, '.', "2.3"},
                    StepRow{"BlanksAroundTempo", " 120 ", TempoStep::Up, '.', "121"},
                    StepRow{"ExponentTempo", "1.2E2", TempoStep::Up, '.', "121"},
                    StepRow{"DownStopsAtOne", "1.5", TempoStep::Down, '.', "1"},
                    StepRow{"DownFromOneStaysOne", "1", TempoStep::Down, '.', "1"},
                    StepRow{"PageDownStopsAtOne", "5", TempoStep::PageDown, '.', "1"},
                    StepRow{"UpFromZero", "0", TempoStep::Up, '.', "1"},
                    StepRow{"UpFromSmallFraction", "0.3", TempoStep::Up, '.', "1.3"},
                    StepRow{"UpFromNegativeIsOne", "-20", TempoStep::Up, '.', "1"},
                    StepRow{"Halve", "120", TempoStep::Halve, '.', "60"},
                    StepRow{"HalveToFraction", "121", TempoStep::Halve, '.', "60.5"},
                    StepRow{"HalveComma", "121", TempoStep::Halve, ',', "60,5"},
                    StepRow{"HalveBelowOne", "1.5", TempoStep::Halve, '.', "0.75"},
                    StepRow{"Double", "120.5", TempoStep::Double, '.', "241"},
                    StepRow{"DoubleBelowOne", "0.3", TempoStep::Double, '.', "0.6"},
                    StepRow{"LargeTempoExponentForm", "1E+20", TempoStep::Up, '.', "1E+20"},
                    StepRow{"DoubleBeyondRange", "1E+308", TempoStep::Double, '.', nullptr},
                    StepRow{"Empty", "", TempoStep::Up, '.', nullptr},
                    StepRow{"NotANumber", "fast", TempoStep::PageUp, '.', nullptr},
                    StepRow{"OtherSeparator", "120,5", TempoStep::Up, '.', nullptr},
                    StepRow{"LetterAfterDigits", "120a", TempoStep::Halve, '.', nullptr}),
    RowName{});

struct BoxStepRow {
  const char* name;
  const char* tempo;
  TempoStep step;
  char separator;
  const char* expected;  // nullptr: the step does nothing in a box of 6
};

class StepTempoInBoxTest : public testing::TestWithParam<BoxStepRow> {};

TEST_P(StepTempoInBoxTest, MovesTheShownTempoTheStepsWay) {
  const auto& row = GetParam();
  constexpr std::size_t kBox = 6;  // the tempo box's length
  EXPECT_EQ(calc::StepTempoInBox(row.tempo, row.step, row.separator, kBox), Text(row.expected));
  EXPECT_EQ(calc::StepChangesTempo(row.tempo, row.step, row.separator, kBox),
            row.expected != nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, StepTempoInBoxTest,
    testing::Values(BoxStepRow{"HalveOne", "1", TempoStep::Halve, '.', "0.5"},
                    BoxStepRow{"HalveOneAndAHalf", "1.5", TempoStep::Halve, '.', "0.75"},
                    BoxStepRow{"HalveComma", "1,5", TempoStep::Halve, ',', "0,75"},
                    BoxStepRow{"DoubleThousandth", "0.001", TempoStep::Double, '.', "0.002"},
                    BoxStepRow{"HalveCutToTheBox", "123457", TempoStep::Halve, '.', "61728."},
                    BoxStepRow{"DoubleIntoExponent", "999999", TempoStep::Double, '.', "1.9E+6"},
                    BoxStepRow{"DoubleLargeExponent", "1E+300", TempoStep::Double, '.', "2E+300"},
                    BoxStepRow{"DoubleBeyondRange", "1E+308", TempoStep::Double, '.', nullptr},
                    BoxStepRow{"HalveSmallestDouble", "5E-324", TempoStep::Halve, '.', nullptr},
                    BoxStepRow{"HalveZero", "0", TempoStep::Halve, '.', nullptr},
                    BoxStepRow{"DoubleNegative", "-20", TempoStep::Double, '.', nullptr},
                    BoxStepRow{"DownToOne", "1.5", TempoStep::Down, '.', "1"},
                    BoxStepRow{"PageDownToOne", "5", TempoStep::PageDown, '.', "1"},
                    BoxStepRow{"DownAtOne", "1", TempoStep::Down, '.', nullptr},
                    BoxStepRow{"DownBelowOne", "0.5", TempoStep::Down, '.', nullptr},
                    BoxStepRow{"PageDownBelowOne", "0.7", TempoStep::PageDown, '.', nullptr},
                    BoxStepRow{"UpFromNegative", "-20", TempoStep::Up, '.', "1"},
                    BoxStepRow{"UpIntoExponent", "999999", TempoStep::Up, '.', "1E+6"},
                    BoxStepRow{"UpLostInLargeTempo", "1E+20", TempoStep::Up, '.', nullptr},
                    BoxStepRow{"PageUpCutStillUp", "9999.9", TempoStep::PageUp, '.', "10009."},
                    BoxStepRow{"NotANumber", "abc", TempoStep::Halve, '.', nullptr},
                    BoxStepRow{"Empty", "", TempoStep::Up, '.', nullptr}),
    RowName{});

TEST(StepTempoTest, NonFiniteTempoFails) {
  for (const double tempo :
       {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_EQ(calc::StepTempo(tempo, TempoStep::Up), std::nullopt);
    EXPECT_EQ(calc::StepTempo(tempo, TempoStep::Halve), std::nullopt);
  }
}

struct TapRow {
  const char* name;
  std::vector<double> times;            // milliseconds of each tap
  std::vector<int> taps;                // series count after each tap
  std::vector<const char*> tempoTexts;  // nullptr: no tempo yet
  const char* status = nullptr;         // the status line after the last tap, when given
};

class TapTempoTest : public testing::TestWithParam<TapRow> {};

TEST_P(TapTempoTest, FitsTapTimes) {
  const auto& row = GetParam();
  ASSERT_EQ(row.times.size(), row.taps.size());
  ASSERT_EQ(row.times.size(), row.tempoTexts.size());
  calc::TapTempo tapper;
  for (std::size_t i = 0; i < row.times.size(); ++i) {
    const calc::TapState state = tapper.Tap(row.times[i]);
    EXPECT_EQ(state.taps, row.taps[i]) << "tap " << i;
    EXPECT_EQ(calc::TapTempoText(state, '.'), Text(row.tempoTexts[i])) << "tap " << i;
  }
  if (row.status) {
    EXPECT_EQ(calc::TapStatusText(tapper.state(), '.'), Text(row.status));
  }
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Expected tempos: 60000 / the slope of a least-squares line through tap time
// against tap number (one slope, an intercept per run of taps between left-out
// intervals), rounded half away from zero to one decimal; worked out apart
// from the code under test.
INSTANTIATE_TEST_SUITE_P(
    Series, TapTempoTest,
    testing::Values(
        TapRow{"Steady",
               {0, 500, 1000, 1500},
               {1, 2, 3, 4},
               {nullptr, "120", "120", "120"},
               "120 BPM \u00b1 0, 4 taps"},
        TapRow{"SteadyLargeTimestamps",
               {86400000, 86400600, 86401200},
               {1, 2, 3},
               {nullptr, "100", "100"}},
        TapRow{"Jitter",
               {0, 498, 1003, 1499, 2001.5},
               {1, 2, 3, 4, 5},
               {nullptr, "120.5", "119.6", "120", "119.9"},
               "119.9 BPM \u00b1 0.2, 5 taps"},
        TapRow{"OnlyLatestSixteenTapsCount",
               {0,    550,  1100, 1650, 2200, 2700, 3200, 3700, 4200, 4700, 5200,
                5700, 6200, 6700, 7200, 7700, 8200, 8700, 9200, 9700, 10200},
               {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21},
               {nullptr, "109.1", "109.1", "109.1", "109.1", "110.5", "112",
                "113.3", "114.3", "115.1", "115.8", "116.3", "116.8", "117.2",
                "117.5", "117.7", "118.6", "119.2", "119.7", "120",   "120"},
               "120 BPM \u00b1 0, 21 taps"},
        TapRow{"MissedBeatLeftOut",
               {0, 500, 1000, 1500, 2500, 3000, 3500},
               {1, 2, 3, 4, 5, 6, 7},
               {nullptr, "120", "120", "120", "120", "120", "120"},
               "120 BPM \u00b1 0, 7 taps"},
        TapRow{"DoubleTapNotCounted",
               {0, 500, 1000, 1050, 1500, 2000},
               {1, 2, 3, 3, 4, 5},
               {nullptr, "120", "120", "120", "120", "120"},
               "120 BPM \u00b1 0, 5 taps"},
        TapRow{"ChangeTo90FollowedAtThirdInterval",
               {0, 500, 1000, 1500, 2000, 2500, 3000, 3500, 4166.667, 4833.333, 5500, 6166.667,
                6833.333},
               {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 4, 5, 6},
               {nullptr, "120", "120", "120", "120", "120", "120", "120", "117.4", "114.2", "90",
                "90", "90"},
               "90 BPM \u00b1 0, 6 taps"},
        TapRow{"FastAfterSlowStartsNewSeries",
               {0, 1000, 2000, 2500, 3000, 3500, 4000, 4500},
               {1, 2, 3, 3, 4, 4, 5, 6},
               {nullptr, "60", "60", "60", "60", "120", "120", "120"}},
        TapRow{"LatePauseStartsNewSeries",
               {0, 500, 1000, 3000.5, 3500.5, 4000.5},
               {1, 2, 3, 1, 2, 3},
               {nullptr, "120", "120", nullptr, "120", "120"}},
        TapRow{"NewSeriesForgetsOldIntervals",
               {0, 1000, 4000, 4400},
               {1, 2, 1, 2},
               {nullptr, "60", nullptr, "150"}},
        TapRow{
            "PauseOfExactlyTwoSecondsContinues", {0, 2000, 4000}, {1, 2, 3}, {nullptr, "30", "30"}},
        TapRow{"HalfRoundsUp", {0, 640}, {1, 2}, {nullptr, "93.8"}},
        TapRow{"HalfRoundsUpOddDigit", {0, 384}, {1, 2}, {nullptr, "156.3"}},
        TapRow{"HalfRoundsUpSlow", {0, 1920}, {1, 2}, {nullptr, "31.3"}},
        TapRow{"HalfKeptAsDecimal", {0, 1600}, {1, 2}, {nullptr, "37.5"}},
        TapRow{"ClockBackStartsNewSeries",
               {1000, 1500, 1200, 1700},
               {1, 2, 1, 2},
               {nullptr, "120", nullptr, "120"}},
        TapRow{"SameMillisecondIgnored", {100, 100, 600}, {1, 1, 2}, {nullptr, nullptr, "120"}},
        TapRow{"NotANumberIgnored", {0, kNaN, 500}, {1, 1, 2}, {nullptr, nullptr, "120"}},
        TapRow{"InfinityIgnored",
               {0, std::numeric_limits<double>::infinity(), 500},
               {1, 1, 2},
               {nullptr, nullptr, "120"}},
        TapRow{
            "FirstTapIgnoredLeavesNoSeries", {kNaN, 0, 500}, {0, 1, 2}, {nullptr, nullptr, "120"}},
        TapRow{"NegativeTimestamps", {-1000, -500}, {1, 2}, {nullptr, "120"}}),
    RowName{});

TEST(TapTempoTest, WholeNumberTimestampsAndComma) {
  calc::TapTempo tapper;
  const std::uint64_t start = 4'000'000'000'000ULL;  // an event clock long after boot
  tapper.Tap(start);
  const calc::TapState state = tapper.Tap(start + 484);
  EXPECT_EQ(state.taps, 2);
  EXPECT_EQ(calc::TapTempoText(state, ','), "124");
  EXPECT_EQ(calc::TapTempoText(tapper.Tap(start + 960), ','), "125");
  const calc::TapState fourth = tapper.Tap(start + 1447);
  EXPECT_EQ(calc::TapTempoText(fourth, ','), "124,6");
  EXPECT_EQ(calc::TapStatusText(fourth, ','), "124,6 BPM \u00b1 0,4, 4 taps");
}

TEST(TapTempoTest, StatusLineOnceTwoTapsGiveATempo) {
  calc::TapTempo tapper;
  EXPECT_EQ(calc::TapStatusText(tapper.Tap(1000), '.'), std::nullopt);
  const calc::TapState second = tapper.Tap(1500);
  EXPECT_EQ(second.standardError, std::nullopt);  // a line through two points has no residual
  EXPECT_EQ(second.fittedTaps, 2);
  EXPECT_EQ(calc::TapStatusText(second, '.'), "120 BPM, 2 taps");
}

TEST(TapTempoTest, ResetStartsNewSeries) {
  calc::TapTempo tapper;
  tapper.Tap(0);
  tapper.Tap(500);
  tapper.Reset();
  EXPECT_EQ(tapper.state().taps, 0);
  EXPECT_EQ(tapper.state().tempo, std::nullopt);
  EXPECT_EQ(tapper.Tap(600).taps, 1);
  const calc::TapState state = tapper.Tap(1400);
  EXPECT_EQ(state.taps, 2);
  EXPECT_EQ(calc::TapTempoText(state, '.'), "75");
}

enum class TapEvent { None, Missed, Doubled, Late };

struct TapChangeRow {
  const char* name;
  double to;  // BPM after twelve taps at 120
  TapEvent event;
  bool disagrees;    // at the second tap after the change, and the status line says so
  bool newSeries;    // by the fourth tap
  double tolerance;  // BPM, at the fourth tap
};

class TapChangeTest : public testing::TestWithParam<TapChangeRow> {};

// A steady hand (a few milliseconds of jitter) at 120, then the music turns,
// or one tap goes astray at the second tap after the twelfth.
TEST_P(TapChangeTest, FollowsAChangeAbsorbsAStrayTap) {
  const auto& row = GetParam();
  constexpr double kJitter[] = {0, 4, -3, 2, -5, 3, -1, 5, -4, 1, -2, 0};
  calc::TapTempo tapper;
  double t = 1000.0;
  for (const double jitter : kJitter) tapper.Tap((t += 500.0) + jitter);
  const double beat = 60000.0 / row.to;
  for (std::size_t k = 0; k < 4; ++k) {
    t += beat;
    const bool astray = k == 1;
    if (astray && row.event == TapEvent::Missed) continue;
    const calc::TapState state =
        tapper.Tap(t + kJitter[k] + (astray && row.event == TapEvent::Late ? 60.0 : 0.0));
    if (astray && row.event == TapEvent::Doubled) tapper.Tap(t + kJitter[k] + 50.0);
    if (astray) {
      EXPECT_EQ(state.offLine, row.disagrees);
      const std::string status = calc::TapStatusText(tapper.state(), '.').value_or("");
      EXPECT_EQ(status.find("taps disagree") != std::string::npos, row.disagrees) << status;
    }
  }
  const calc::TapState& state = tapper.state();
  EXPECT_EQ(state.taps < 12, row.newSeries) << state.taps << " taps";
  ASSERT_TRUE(state.tempo.has_value());
  EXPECT_NEAR(*state.tempo, row.to, row.tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, TapChangeTest,
    testing::Values(TapChangeRow{"Slower5", 114.0, TapEvent::None, true, true, 1.0},
                    TapChangeRow{"Faster5", 126.0, TapEvent::None, true, true, 1.0},
                    TapChangeRow{"Slower10", 108.0, TapEvent::None, true, true, 1.0},
                    TapChangeRow{"Faster10", 132.0, TapEvent::None, true, true, 1.0},
                    TapChangeRow{"Slower15", 102.0, TapEvent::None, true, true, 1.0},
                    TapChangeRow{"Faster15", 138.0, TapEvent::None, true, true, 1.0},
                    TapChangeRow{"Slower25", 90.0, TapEvent::None, true, true, 1.0},
                    TapChangeRow{"Faster25", 150.0, TapEvent::None, true, true, 1.0},
                    TapChangeRow{"MissedTapAbsorbed", 120.0, TapEvent::Missed, false, false, 0.3},
                    TapChangeRow{"DoubledTapAbsorbed", 120.0, TapEvent::Doubled, false, false, 0.3},
                    TapChangeRow{"LateTapAbsorbed", 120.0, TapEvent::Late, true, false, 0.3}),
    RowName{});

}  // namespace
