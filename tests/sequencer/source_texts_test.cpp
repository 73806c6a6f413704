// The texts made of a source's report: the tempo the box takes (the same in
// the menu and the tooltip), and the menu entry of each state.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "jack_sources.h"
#include "tempo_sources.h"
#include "test_names.h"

namespace {

using sequencer::SourceKind;
using sequencer::SourceReport;
using sequencer::SourceState;

struct TextRow {
  const char* name;
  SourceKind source;
  double bpm;
  int maxLength;  // the tempo box's; 0: no limit
  char separator;
  const char* text;
};

class TempoTextTest : public testing::TestWithParam<TextRow> {};

TEST_P(TempoTextTest, ShortestThatFits) {
  const TextRow& row = GetParam();
  EXPECT_EQ(ui::TempoText(row.source, row.bpm, row.maxLength, QChar::fromLatin1(row.separator))
                .toStdString(),
            row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TempoTextTest,
    testing::Values(
        TextRow{"ThreeDecimalsFit", SourceKind::JackTransport, 103.7048, 7, '.', "103.705"},
        TextRow{"FewerDecimalsReRoundedNoTrailingZero", SourceKind::JackTransport, 103.7048, 6, '.',
                "103.7"},
        TextRow{"WholeWhenOnlyThatFits", SourceKind::JackTransport, 103.7048, 3, '.', "104"},
        TextRow{"NothingFits", SourceKind::JackTransport, 103.7048, 2, '.', ""},
        TextRow{"Whole", SourceKind::JackTransport, 128.0, 7, '.', "128"},
        TextRow{"Comma", SourceKind::JackTransport, 97.3, 7, ',', "97,3"},
        TextRow{"ClockOneDecimalAlways", SourceKind::MidiClock, 128.0, 7, '.', "128.0"},
        TextRow{"ClockRounded", SourceKind::MidiClock, 127.96, 7, '.', "128.0"},
        TextRow{"NotANumber", SourceKind::JackTransport, std::nan(""), 7, '.', ""}),
    calc_test::RowName{});

// A report through the intake (a transport's tempo, taken or not) and into
// its menu entry; the other states by their reason.
struct StateRow {
  const char* name;
  SourceReport report;
  const char* text;
};

SourceReport Report(SourceKind source, SourceState state, const char* reason = "") {
  SourceReport report;
  report.source = source;
  report.state = state;
  report.reason = reason;
  return report;
}

SourceReport Published(double bpm) {
  SourceReport report = Report(SourceKind::JackTransport, SourceState::Waiting);
  sequencer::TakeTempo(bpm, report);
  return report;
}

SourceReport Session(double bpm, int peers, const char* reason = "") {
  SourceReport report = Report(SourceKind::AbletonLink, SourceState::Following, reason);
  report.tempo = bpm;
  report.peers = peers;
  return report;
}

class StateTextTest : public testing::TestWithParam<StateRow> {};

TEST_P(StateTextTest, TakesOnlySourceTemposAndSaysTheState) {
  const SourceReport& report = GetParam().report;
  const QString tempo = report.tempo ? ui::TempoText(report.source, *report.tempo, 7, u'.') : "";
  EXPECT_EQ(ui::StateText(report, tempo, u'.').toStdString(), GetParam().text);
  EXPECT_EQ(report.tempo.has_value(), report.state == SourceState::Following);
}

constexpr double kInf = std::numeric_limits<double>::infinity();
INSTANTIATE_TEST_SUITE_P(
    Rows, StateTextTest,
    testing::Values(
        StateRow{"Following", Published(128), "JACK Transport: 128 BPM"},
        StateRow{"Slowest", Published(1), "JACK Transport: 1 BPM"},
        StateRow{"Fastest", Published(999.999), "JACK Transport: 999.999 BPM"},
        StateRow{"TooFast", Published(1000), "JACK Transport: 1000 BPM ignored"},
        StateRow{"Tiny", Published(1e-9), "JACK Transport: 0.000000001 BPM ignored"},
        StateRow{"ShortestExact", Published(0.0004), "JACK Transport: 0.0004 BPM ignored"},
        StateRow{"NoExponent", Published(1e9), "JACK Transport: 1000000000 BPM ignored"},
        StateRow{"Negative", Published(-120), "JACK Transport: -120 BPM ignored"},
        StateRow{"NaN", Published(std::nan("")), "JACK Transport: NaN BPM ignored"},
        StateRow{"Infinity", Published(kInf), "JACK Transport: infinity BPM ignored"},
        StateRow{"Waiting",
                 Report(SourceKind::MidiClock, SourceState::Waiting, "waiting for clock"),
                 "MIDI Clock: waiting for clock"},
        StateRow{"Connecting", Report(SourceKind::MidiClock, SourceState::Connecting),
                 "MIDI Clock (connecting)"},
        StateRow{"Lost", Report(SourceKind::MidiClock, SourceState::Lost, "JACK server stopped"),
                 "MIDI Clock (JACK server stopped)"},
        StateRow{"SessionAlone", Session(128, 0), "Ableton Link: no peers (128 BPM)"},
        StateRow{"SessionOnePeer", Session(97.3, 1), "Ableton Link: 97.3 BPM, 1 peer"},
        StateRow{"SessionPeers", Session(128, 2), "Ableton Link: 128 BPM, 2 peers"},
        StateRow{"SessionRefused", Session(140, 1, "1200 BPM is outside 20–999"),
                 "Ableton Link: 1200 BPM is outside 20–999"}),
    calc_test::RowName{});

}  // namespace
