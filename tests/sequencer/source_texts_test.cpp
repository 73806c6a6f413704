// What the extras make of a source's report: a published tempo through the
// intake into the menu entry, whose tempo is the one the box takes (the
// shortest text, at most 3 decimals, that fits the box), and the other states.
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
  SourceReport report;
  int maxLength;  // the tempo box's
  char separator;
  const char* text;
};

SourceReport Report(SourceKind source, SourceState state, const char* reason = "") {
  SourceReport report;
  report.source = source;
  report.state = state;
  report.reason = reason;
  return report;
}

SourceReport Published(double bpm, SourceKind source = SourceKind::JackTransport) {
  SourceReport report = Report(source, SourceState::Waiting);
  sequencer::TakeTempo(bpm, report);
  return report;
}

SourceReport Session(double bpm, int peers, const char* reason = "") {
  SourceReport report = Report(SourceKind::AbletonLink, SourceState::Following, reason);
  report.tempo = bpm;
  report.peers = peers;
  return report;
}

class SourceTextTest : public testing::TestWithParam<TextRow> {};

TEST_P(SourceTextTest, TakesOnlySourceTemposAndSaysTheState) {
  const TextRow& row = GetParam();
  const QChar separator = QChar::fromLatin1(row.separator);
  const QString tempo = row.report.tempo ? extras::TempoText(row.report.source, *row.report.tempo,
                                                             row.maxLength, separator)
                                         : QString();
  EXPECT_EQ(extras::StateText(row.report, tempo, separator).toStdString(), row.text);
  EXPECT_EQ(row.report.tempo.has_value(), row.report.state == SourceState::Following);
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr auto kClock = SourceKind::MidiClock;
INSTANTIATE_TEST_SUITE_P(
    Rows, SourceTextTest,
    testing::Values(
        TextRow{"Whole", Published(128), 7, '.', "JACK Transport: 128 BPM"},
        TextRow{"ThreeDecimalsFit", Published(103.7048), 7, '.', "JACK Transport: 103.705 BPM"},
        TextRow{"FewerReRoundedNoTrailingZero", Published(103.7048), 6, ',',
                "JACK Transport: 103,7 BPM"},
        TextRow{"WholeWhenOnlyThatFits", Published(103.7048), 3, '.', "JACK Transport: 104 BPM"},
        TextRow{"ClockOneDecimal", Published(127.96, kClock), 7, '.', "MIDI Clock: 128.0 BPM"},
        TextRow{"Slowest", Published(1), 7, '.', "JACK Transport: 1 BPM"},
        TextRow{"Fastest", Published(999.999), 7, '.', "JACK Transport: 999.999 BPM"},
        TextRow{"TooFast", Published(1000), 7, '.', "JACK Transport: 1000 BPM ignored"},
        TextRow{"Tiny", Published(1e-9), 7, '.', "JACK Transport: 0.000000001 BPM ignored"},
        TextRow{"ShortestExact", Published(0.0004), 7, ',', "JACK Transport: 0,0004 BPM ignored"},
        TextRow{"NoExponent", Published(1e9), 7, '.', "JACK Transport: 1000000000 BPM ignored"},
        TextRow{"Negative", Published(-120), 7, '.', "JACK Transport: -120 BPM ignored"},
        TextRow{"NaN", Published(std::nan("")), 7, '.', "JACK Transport: NaN BPM ignored"},
        TextRow{"Infinity", Published(kInf), 7, '.', "JACK Transport: infinity BPM ignored"},
        TextRow{"Waiting", Report(kClock, SourceState::Waiting, "waiting for clock"), 7, '.',
                "MIDI Clock: waiting for clock"},
        TextRow{"Connecting", Report(kClock, SourceState::Connecting), 7, '.',
                "MIDI Clock (connecting)"},
        TextRow{"Lost", Report(kClock, SourceState::Lost, "JACK server stopped"), 7, '.',
                "MIDI Clock (JACK server stopped)"},
        TextRow{"SessionAlone", Session(128, 0), 7, '.', "Ableton Link: no peers (128 BPM)"},
        TextRow{"SessionOnePeer", Session(97.3, 1), 7, ',', "Ableton Link: 97,3 BPM, 1 peer"},
        TextRow{"SessionPeers", Session(128, 2), 7, '.', "Ableton Link: 128 BPM, 2 peers"},
        TextRow{"SessionRefused", Session(140, 1, "12.5 BPM is outside 20–999"), 7, ',',
                "Ableton Link: 12,5 BPM is outside 20–999"}),
    calc_test::RowName{});

}  // namespace
