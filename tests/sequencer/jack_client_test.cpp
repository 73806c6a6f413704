// The JACK sources' state machine and intake, driven through a fake JackApi:
// each row sets how the fake server behaves and what each poll must say.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "calc/tempo_range.h"
#include "jack_sources.h"
#include "sequencer_link.h"
#include "test_names.h"

namespace {

using namespace sequencer;
using namespace std::chrono_literals;

// The fake server. One at a time; its functions reach it through `fake`.
struct Fake {
  enum class Open { Succeeds, NoServer, Hangs } open = Open::Succeeds;
  bool portFails = false;
  bool closeHangs = false;
  std::string name = "tempiva";
  std::uint32_t rate = 48000;
  jack_position_t position{};
  std::vector<std::pair<jack_nframes_t, std::vector<unsigned char>>> events;  // of the next cycle
  // Set by the client.
  JackProcessCallback process = nullptr;
  void* processArg = nullptr;
  JackInfoShutdownCallback shutdown = nullptr;
  void* shutdownArg = nullptr;
  jack_nframes_t frameTime = 0;
  std::mutex mutex;  // guards what the worker and the test share below
  std::condition_variable released;
  bool release = false;
  std::vector<std::string> calls;

  void Call(const char* what) {
    std::lock_guard lock(mutex);
    calls.emplace_back(what);
  }
  std::vector<std::string> Calls() {
    std::lock_guard lock(mutex);
    return calls;
  }
  void Hang() {
    std::unique_lock lock(mutex);
    released.wait(lock, [this] { return release; });
  }
  void Release() {
    std::lock_guard lock(mutex);
    release = true;
    released.notify_all();
  }
  void Cycle(jack_nframes_t frames = 256) {
    process(frames, processArg);
    events.clear();
    frameTime += frames;
  }
};
Fake* fake = nullptr;
int clientTag, portTag, bufferTag;

jack_client_t* FakeOpen(const char*, jack_options_t, jack_status_t* status, ...) {
  fake->Call("open");
  if (fake->open == Fake::Open::Hangs) fake->Hang();
  if (fake->open == Fake::Open::NoServer) {
    *status = static_cast<jack_status_t>(JackFailure | JackServerFailed);
    return nullptr;
  }
  return reinterpret_cast<jack_client_t*>(&clientTag);
}

const JackApi kFakeApi = {
    FakeOpen,
    [](jack_client_t*) {
      fake->Call("close");
      if (fake->closeHangs) fake->Hang();
      return 0;
    },
    [](jack_client_t*) { return 0; },  // activate
    [](jack_client_t*) {
      fake->Call("deactivate");
      return 0;
    },
    [](jack_client_t*) { return const_cast<char*>(fake->name.c_str()); },
    [](jack_client_t*, JackProcessCallback callback, void* arg) {
      fake->process = callback;
      fake->processArg = arg;
      return 0;
    },
    [](jack_client_t*, JackSampleRateCallback, void*) { return 0; },
    [](jack_client_t*, JackInfoShutdownCallback callback, void* arg) {
      fake->shutdown = callback;
      fake->shutdownArg = arg;
    },
    [](jack_client_t*) { return fake->rate; },
    [](const jack_client_t*, jack_position_t* position) {
      *position = fake->position;
      return JackTransportRolling;
    },
    [](jack_client_t*, const char*, const char*, unsigned long, unsigned long) {
      return fake->portFails ? nullptr : reinterpret_cast<jack_port_t*>(&portTag);
    },
    [](jack_port_t*, jack_nframes_t) -> void* { return &bufferTag; },
    [](void*) { return static_cast<std::uint32_t>(fake->events.size()); },
    [](jack_midi_event_t* event, void*, std::uint32_t index) {
      auto& [time, bytes] = fake->events[index];
      *event = {time, bytes.size(), bytes.data()};
      return 0;
    },
    [](const jack_client_t*) { return fake->frameTime; },
    [](void (*)(const char*)) {},
    [](void (*)(const char*)) {},
};

const JackApi* LoadFake(std::string*) { return &kFakeApi; }

// Polls at `nowMs` until the worker has answered (the state is no longer
// Connecting), for at most two seconds of real time.
SourceReport Settle(TempoSource& source, std::int64_t nowMs) {
  SourceReport report = source.Poll(nowMs);
  for (int i = 0; i < 200 && report.state == SourceState::Connecting; ++i) {
    std::this_thread::sleep_for(10ms);
    report = source.Poll(nowMs);
  }
  return report;
}

struct Step {
  std::int64_t atMs;
  std::function<void(Fake&)> before;  // what the server does first
  SourceState state;
  std::string reason;
};

struct MachineRow {
  const char* name;
  std::function<void(Fake&)> setup;
  std::vector<Step> steps;
  std::vector<std::string> calls;  // to the server, in order, once the client is gone
};

class StateMachineTest : public testing::TestWithParam<MachineRow> {};

void Nothing(Fake&) {}
void Cycle(Fake& f) {
  if (f.process) f.Cycle();  // once the client is open
}

TEST_P(StateMachineTest, SaysItsTrueState) {
  const MachineRow& row = GetParam();
  Fake server;
  fake = &server;
  row.setup(server);
  server.position.valid = JackPositionBBT;
  server.position.beats_per_minute = 128;
  {
    JackClient client(&kFakeApi, {});
    client.SetOpen(true);
    JackTransportSource source(client);
    for (const Step& step : row.steps) {
      step.before(server);
      const SourceReport report = step.state == SourceState::Connecting ? source.Poll(step.atMs)
                                                                        : Settle(source, step.atMs);
      EXPECT_EQ(report.state, step.state) << "at " << step.atMs << " ms";
      EXPECT_EQ(report.reason, step.reason) << "at " << step.atMs << " ms";
    }
    server.Release();
  }
  EXPECT_EQ(server.calls, row.calls);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StateMachineTest,
    testing::Values(
        MachineRow{"NoServerIsTriedAgainEveryThreeSeconds",
                   [](Fake& f) { f.open = Fake::Open::NoServer; },
                   {{0, Nothing, SourceState::Unreachable, "no JACK server"},
                    {2999, Nothing, SourceState::Unreachable, "no JACK server"},
                    {3000, Nothing, SourceState::Unreachable, "no JACK server"}},
                   {"open", "open"}},
        MachineRow{"OpensFollowsAndClosesDeactivatedFirst",
                   Nothing,
                   {{0, Nothing, SourceState::Connecting, ""},
                    {0, Cycle, SourceState::Following, ""},
                    {1500, Cycle, SourceState::Following, ""}},
                   {"open", "deactivate", "close"}},
        MachineRow{"PortRefusedClosesTheClient",
                   [](Fake& f) { f.portFails = true; },
                   {{0, Nothing, SourceState::Unreachable, "refused by the JACK server"}},
                   {"open", "close"}},
        MachineRow{"OpenHangsNotAnsweringAfterFiveSecondsAndNoSecondTryMeanwhile",
                   [](Fake& f) { f.open = Fake::Open::Hangs; },
                   {{0, Nothing, SourceState::Connecting, ""},
                    {4999,
                     [](Fake& f) {  // the worker is inside JACK by now
                       while (f.Calls().empty()) std::this_thread::sleep_for(1ms);
                     },
                     SourceState::Connecting, ""},
                    {5000, Nothing, SourceState::Unreachable, "JACK server not answering"},
                    {9000, Nothing, SourceState::Unreachable, "JACK server not answering"},
                    // The late client is closed by the worker; the next try connects.
                    {9000,
                     [](Fake& f) {
                       f.open = Fake::Open::Succeeds;
                       f.Release();
                       std::this_thread::sleep_for(100ms);
                     },
                     SourceState::Unreachable, "JACK server not answering"},
                    {12100, Nothing, SourceState::Following, ""}},
                   {"open", "deactivate", "close", "open", "deactivate", "close"}},
        MachineRow{"ServerStopsThenTriedAgain",
                   Nothing,
                   {{0, Cycle, SourceState::Following, ""},
                    {100, [](Fake& f) { f.shutdown(JackFailure, "gone", f.shutdownArg); },
                     SourceState::Lost, "JACK server stopped"},
                    {3100, [](Fake& f) { f.open = Fake::Open::NoServer; }, SourceState::Unreachable,
                     "no JACK server"}},
                   {"open", "deactivate", "close", "open"}},
        MachineRow{"Zombified",
                   Nothing,
                   {{0, Cycle, SourceState::Following, ""},
                    {100,
                     [](Fake& f) {
                       f.shutdown(static_cast<jack_status_t>(JackFailure | JackClientZombie),
                                  "zombified", f.shutdownArg);
                     },
                     SourceState::Lost, "dropped by the JACK server"}},
                   {"open", "deactivate", "close"}},
        MachineRow{"StallIsNotResponding",
                   Nothing,
                   {{0, Cycle, SourceState::Following, ""},
                    {2000, Nothing, SourceState::Following, ""},
                    {2001, Nothing, SourceState::Lost, "JACK server not responding"}},
                   {"open", "deactivate", "close"}}),
    calc_test::RowName{});

TEST(StateMachineTest, LibraryMissingIsSaidAndNeverTried) {
  JackClient client(nullptr, "libjack.so.0: cannot open shared object file");
  client.SetOpen(true);
  const ClientStatus status = client.Poll(0);
  EXPECT_EQ(status.state, SourceState::Unavailable);
  EXPECT_EQ(status.reason, "JACK not installed");
  EXPECT_EQ(client.counters(), JackCounters{});
}

// The input as registered, and the exit bound: a close that hangs in the
// server costs the GUI thread at most the bound (generously checked).
TEST(StateMachineTest, RenamedInputAndBoundedExitWhenCloseHangs) {
  Fake server;
  fake = &server;
  server.name = "tempiva-01";
  server.closeHangs = true;
  auto client = std::make_unique<JackClient>(&kFakeApi, std::string());
  client->SetOpen(true);
  MidiClockSource source(*client);
  const SourceReport report = Settle(source, 0);
  EXPECT_EQ(report.input, "tempiva-01:midi_in");
  EXPECT_EQ(report.sampleRate, 48000u);
  const auto start = std::chrono::steady_clock::now();
  client.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  server.Release();  // the abandoned worker ends
  std::this_thread::sleep_for(50ms);
  std::lock_guard lock(server.mutex);
  EXPECT_EQ(server.calls, (std::vector<std::string>{"open", "deactivate", "close"}));
}

// The link owns the taps rule: a client open for a source stays open for a
// pad's taps after the source went back to Manual, and none opens for taps alone.
TEST(SequencerLinkTest, KeepsTheClientForTapsOnly) {
  Fake server;
  fake = &server;
  SequencerLink link(LoadFake);
  link.Set({SourceKind::Manual, true});
  EXPECT_FALSE(link.clientOpen());
  link.Set({SourceKind::MidiClock, true});
  EXPECT_TRUE(link.clientOpen());
  link.Set({SourceKind::Manual, true});
  EXPECT_TRUE(link.clientOpen());
  EXPECT_EQ(link.Poll(0).state, SourceState::Off);
  link.Set({SourceKind::Manual, false});
  EXPECT_FALSE(link.clientOpen());
}

// What a transport publishes: taken only within the one range.
struct TransportRow {
  const char* name;
  double bpm;
  bool taken;
};

class TransportIntakeTest : public testing::TestWithParam<TransportRow> {};

TEST_P(TransportIntakeTest, TakesOnlySourceTempos) {
  const TransportRow& row = GetParam();
  SourceReport report;
  TakeTempo(row.bpm, report);
  EXPECT_EQ(report.state, row.taken ? SourceState::Following : SourceState::Waiting);
  EXPECT_EQ(report.tempo.has_value(), row.taken);
  EXPECT_EQ(report.ignoredTempo.has_value(), !row.taken);
  EXPECT_EQ(report.reason.empty(), row.taken);
}

constexpr double kInf = std::numeric_limits<double>::infinity();
INSTANTIATE_TEST_SUITE_P(
    Rows, TransportIntakeTest,
    testing::Values(TransportRow{"Ordinary", 128.0, true}, TransportRow{"Slowest", 1.0, true},
                    TransportRow{"Fastest", 999.999, true}, TransportRow{"Tiny", 1e-9, false},
                    TransportRow{"BelowOne", 0.0004, false},
                    TransportRow{"Thousand", 1000.0, false}, TransportRow{"Billion", 1e9, false},
                    TransportRow{"Huge", 1.7e308, false}, TransportRow{"Negative", -120.0, false},
                    TransportRow{"NotANumber", std::nan(""), false},
                    TransportRow{"Infinity", kInf, false}),
    calc_test::RowName{});

// What arrives on the MIDI input, cycle after cycle, through the process
// callback: `every` frames a message of `bytes`.
struct MidiIntakeRow {
  const char* name;
  std::vector<unsigned char> bytes;
  jack_nframes_t every;
  SourceState state;                  // of the clock after four seconds
  std::optional<double> tempo;        // reported, to 0.01
  std::optional<double> ignoredOver;  // an ignored tempo above this
  double fastestTap;  // the fastest tempo two taps in a row imply, at most; 0: no taps
};

class MidiIntakeTest : public testing::TestWithParam<MidiIntakeRow> {};

TEST_P(MidiIntakeTest, CountsOnlyWellFormedMessagesInTheRange) {
  const MidiIntakeRow& row = GetParam();
  Fake server;
  fake = &server;
  JackClient client(&kFakeApi, {});
  client.SetOpen(true);
  client.SetTaps(true);
  MidiClockSource source(client);
  Settle(source, 0);
  std::vector<double> taps;
  SourceReport report;
  jack_nframes_t next = 0;
  for (int cycle = 0; cycle < 750; ++cycle) {  // 4 s of 256 frames at 48 kHz
    for (; next < server.frameTime + 256; next += row.every)
      server.events.push_back({next - server.frameTime, row.bytes});
    server.Cycle();
    if (cycle % 3 == 0) {  // the ring never runs full
      report = source.Poll(cycle * 256 * 1000 / 48000);
      for (double ms : client.TakeTaps()) taps.push_back(ms);
    }
  }
  EXPECT_EQ(report.state, row.state);
  ASSERT_EQ(report.tempo.has_value(), row.tempo.has_value());
  EXPECT_NEAR(report.tempo.value_or(0), row.tempo.value_or(0), 0.01);
  EXPECT_EQ(report.ignoredTempo.has_value(), row.ignoredOver.has_value());
  EXPECT_GE(report.ignoredTempo.value_or(0), row.ignoredOver.value_or(0));
  EXPECT_EQ(taps.empty(), row.fastestTap == 0);
  for (std::size_t i = 1; i < taps.size(); ++i)
    EXPECT_LE(60000.0 / (taps[i] - taps[i - 1]), row.fastestTap) << "tap " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MidiIntakeTest,
    testing::Values(
        // 48000 * 60 / (24 * 120) frames a tick.
        MidiIntakeRow{"ClockAt120", {0xF8}, 1000, SourceState::Following, 120.0, {}, 0},
        MidiIntakeRow{"ClockTickEveryFrameIsIgnored",
                      {0xF8},
                      1,
                      SourceState::Waiting,
                      {},
                      calc::kMaxSourceTempo,
                      0},
        MidiIntakeRow{"TwoByteTickIsNoTick", {0xF8, 0x00}, 1000, SourceState::Waiting, {}, {}, 0},
        MidiIntakeRow{"NoteOnsAtAThousandASecondTapNoFasterThanTheRange",
                      {0x90, 60, 100},
                      48,
                      SourceState::Waiting,
                      {},
                      {},
                      calc::kMaxSourceTempo},
        MidiIntakeRow{
            "FourByteNoteOnIsNoTap", {0x90, 60, 100, 0}, 24000, SourceState::Waiting, {}, {}, 0}),
    calc_test::RowName{});

}  // namespace
