// The JACK sources' state machine and MIDI intake, driven through a fake
// JackApi: each row sets how the fake server behaves and what each poll says.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
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
using Calls = std::vector<std::string>;

// The fake server: one at a time, reached by its functions through `fake`.
struct Fake {
  bool noServer = false, hangs = false, portFails = false, closeHangs = false;
  std::string name = "tempiva";
  jack_position_t position{};
  std::vector<std::pair<jack_nframes_t, std::vector<unsigned char>>> events;  // of the next cycle
  JackProcessCallback process = nullptr;
  void* processArg = nullptr;
  JackInfoShutdownCallback shutdown = nullptr;
  void* shutdownArg = nullptr;
  jack_nframes_t frameTime = 0;
  std::mutex mutex;  // for what the worker and the test share below
  std::condition_variable released;
  bool release = false;
  Calls calls;

  void Call(const char* what, bool hang = false) {
    std::unique_lock lock(mutex);
    calls.emplace_back(what);
    if (hang) released.wait(lock, [this] { return release; });
  }
  Calls CallsMade() {
    std::lock_guard lock(mutex);
    return calls;
  }
  void Release() {
    std::lock_guard lock(mutex);
    release = true;
    released.notify_all();
  }
  void Cycle() {
    process(256, processArg);
    events.clear();
    frameTime += 256;
  }
};
Fake* fake = nullptr;
int tag;

jack_client_t* Open(const char*, jack_options_t, jack_status_t* status, ...) {
  fake->Call("open", fake->hangs);
  if (fake->noServer) *status = static_cast<jack_status_t>(JackFailure | JackServerFailed);
  return fake->noServer ? nullptr : reinterpret_cast<jack_client_t*>(&tag);
}
int Close(jack_client_t*) { return fake->Call("close", fake->closeHangs), 0; }
int Activate(jack_client_t*) { return 0; }
int Deactivate(jack_client_t*) { return fake->Call("deactivate"), 0; }
char* Name(jack_client_t*) { return fake->name.data(); }
int SetProcess(jack_client_t*, JackProcessCallback callback, void* arg) {
  fake->process = callback;
  fake->processArg = arg;
  return 0;
}
int SetRate(jack_client_t*, JackSampleRateCallback, void*) { return 0; }
void OnShutdown(jack_client_t*, JackInfoShutdownCallback callback, void* arg) {
  fake->shutdown = callback;
  fake->shutdownArg = arg;
}
jack_nframes_t Rate(jack_client_t*) { return 48000; }
jack_transport_state_t Query(const jack_client_t*, jack_position_t* position) {
  *position = fake->position;
  return JackTransportRolling;
}
jack_port_t* Register(jack_client_t*, const char*, const char*, unsigned long, unsigned long) {
  return fake->portFails ? nullptr : reinterpret_cast<jack_port_t*>(&tag);
}
void* Buffer(jack_port_t*, jack_nframes_t) { return &tag; }
std::uint32_t Count(void*) { return static_cast<std::uint32_t>(fake->events.size()); }
int Event(jack_midi_event_t* event, void*, std::uint32_t index) {
  auto& [time, bytes] = fake->events[index];
  *event = {time, bytes.size(), bytes.data()};
  return 0;
}
jack_nframes_t FrameTime(const jack_client_t*) { return fake->frameTime; }
void Say(void (*)(const char*)) {}

const JackApi kFakeApi = {Open,    Close,      Activate,  Deactivate, Name,     SetProcess,
                          SetRate, OnShutdown, Rate,      Query,      Register, Buffer,
                          Count,   Event,      FrameTime, Say,        Say};

// Polls at `nowMs` until the worker has answered, for at most two seconds.
SourceReport Settle(TempoSource& source, std::int64_t nowMs) {
  SourceReport report = source.Poll(nowMs);
  for (int i = 0; i < 200 && report.state == SourceState::Connecting; ++i) {
    std::this_thread::sleep_for(10ms);
    report = source.Poll(nowMs);
  }
  return report;
}

// What the server does before a poll (or, as a row's setup, from the start).
using Act = void (*)(Fake&);
void None(Fake&) {}
void Cycle(Fake& f) { f.process ? f.Cycle() : void(); }  // once the client is open
void InsideOpen(Fake& f) {
  while (f.CallsMade().empty()) std::this_thread::sleep_for(1ms);
}
void Stop(Fake& f) { f.shutdown(JackFailure, "", f.shutdownArg); }
void Zombify(Fake& f) {
  f.shutdown(jack_status_t(JackFailure | JackClientZombie), "", f.shutdownArg);
}
void NoServer(Fake& f) { f.noServer = true; }
void Hangs(Fake& f) { f.hangs = true; }
void RefusesPort(Fake& f) { f.portFails = true; }
void ReleaseAndServe(Fake& f) { f.hangs = false, f.Release(), std::this_thread::sleep_for(100ms); }

struct Step {
  std::int64_t atMs;
  Act act;
  SourceState state;
  const char* reason;
};

struct MachineRow {
  const char* name;
  Act setup;
  std::vector<Step> steps;
  Calls calls;  // to the server, in order, once the client is gone
};

class StateMachineTest : public testing::TestWithParam<MachineRow> {};

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
      step.act(server);
      const SourceReport report = step.state == SourceState::Connecting ? source.Poll(step.atMs)
                                                                        : Settle(source, step.atMs);
      EXPECT_EQ(report.state, step.state) << "at " << step.atMs << " ms";
      EXPECT_EQ(report.reason, step.reason) << "at " << step.atMs << " ms";
    }
    server.Release();
  }
  EXPECT_EQ(server.calls, row.calls);
}

using S = SourceState;
const Calls kOpenClose = {"open", "deactivate", "close"};
INSTANTIATE_TEST_SUITE_P(
    Rows, StateMachineTest,
    testing::Values(MachineRow{"NoServerIsTriedAgainEveryThreeSeconds",
                               NoServer,
                               {{0, None, S::Unreachable, "no JACK server"},
                                {2999, None, S::Unreachable, "no JACK server"},
                                {3000, None, S::Unreachable, "no JACK server"}},
                               {"open", "open"}},
                    MachineRow{"OpensFollowsAndClosesDeactivatedFirst",
                               None,
                               {{0, None, S::Connecting, ""},
                                {0, Cycle, S::Following, ""},
                                {1500, Cycle, S::Following, ""}},
                               kOpenClose},
                    MachineRow{"PortRefusedClosesTheClient",
                               RefusesPort,
                               {{0, None, S::Unreachable, "refused by the JACK server"}},
                               {"open", "close"}},
                    // The late client is closed by the worker; no second try while one hangs.
                    MachineRow{
                        "OpenHangsNotAnsweringAfterFiveSeconds",
                        Hangs,
                        {{0, None, S::Connecting, ""},
                         {4999, InsideOpen, S::Connecting, ""},
                         {5000, None, S::Unreachable, "JACK server not answering"},
                         {9000, None, S::Unreachable, "JACK server not answering"},
                         {9000, ReleaseAndServe, S::Unreachable, "JACK server not answering"},
                         {12100, None, S::Following, ""}},
                        {"open", "deactivate", "close", "open", "deactivate", "close"}},
                    MachineRow{"ServerStopsThenTriedAgain",
                               None,
                               {{0, None, S::Following, ""},
                                {100, Stop, S::Lost, "JACK server stopped"},
                                {3100, NoServer, S::Unreachable, "no JACK server"}},
                               {"open", "deactivate", "close", "open"}},
                    MachineRow{"Zombified",
                               None,
                               {{0, None, S::Following, ""},
                                {100, Zombify, S::Lost, "dropped by the JACK server"}},
                               kOpenClose},
                    MachineRow{"StallIsNotResponding",
                               None,
                               {{0, None, S::Following, ""},
                                {2000, None, S::Following, ""},
                                {2001, None, S::Lost, "JACK server not responding"}},
                               kOpenClose}),
    calc_test::RowName{});

TEST(StateMachineTest, LibraryMissingIsSaidAndNeverTried) {
  JackClient client(nullptr, "libjack.so.0: cannot open shared object file");
  client.SetOpen(true);
  EXPECT_EQ(client.Poll(0).reason, "JACK not installed");
  EXPECT_EQ(client.counters(), JackCounters{});
}

// The input as registered; a close that hangs in the server costs the GUI
// thread at most the exit bound (checked generously).
TEST(StateMachineTest, RenamedInputAndBoundedExitWhenCloseHangs) {
  Fake server;
  fake = &server;
  server.name = "tempiva-01";
  server.closeHangs = true;
  auto client = std::make_unique<JackClient>(&kFakeApi, std::string());
  client->SetOpen(true);
  MidiClockSource source(*client);
  EXPECT_EQ(Settle(source, 0).input, "tempiva-01:midi_in");
  const auto start = std::chrono::steady_clock::now();
  client.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  server.Release();  // the worker left behind ends, and is joined
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(JackClient::ReapLeftBehind(), 1);
  EXPECT_EQ(server.CallsMade(), kOpenClose);
}

// The link owns the taps rule: a client open for a source stays open for a
// pad's taps after the source went back to Manual; none opens for taps alone.
TEST(SequencerLinkTest, KeepsTheClientForTapsOnly) {
  Fake server;
  fake = &server;
  SequencerLink link([](std::string*) { return &kFakeApi; });
  const std::vector<std::pair<LinkRequest, bool>> steps = {{{SourceKind::Manual, true}, false},
                                                           {{SourceKind::MidiClock, true}, true},
                                                           {{SourceKind::Manual, true}, true},
                                                           {{SourceKind::Manual, false}, false}};
  for (const auto& [request, open] : steps) {
    link.Set(request);
    EXPECT_EQ(link.clientOpen(), open);
  }
}

// What arrives on the MIDI input for four seconds, through the process
// callback: every `every` frames a message of `bytes`.
struct MidiRow {
  const char* name;
  std::vector<unsigned char> bytes;
  jack_nframes_t every;
  double tempo;        // reported, to 0.01; 0 for none
  double ignoredOver;  // an ignored tempo above this; 0 for none
  double fastestTap;   // the fastest tempo two taps in a row give, at most; 0: no taps
};

class MidiIntakeTest : public testing::TestWithParam<MidiRow> {};

TEST_P(MidiIntakeTest, CountsOnlyWellFormedMessagesInTheRange) {
  const MidiRow& row = GetParam();
  Fake server;
  fake = &server;
  JackClient client(&kFakeApi, {});
  client.SetOpen(true);
  client.SetTaps(true);
  MidiClockSource source(client);
  Settle(source, 0);
  std::vector<double> taps;
  SourceReport report;
  for (jack_nframes_t cycle = 0, next = 0; cycle < 750; ++cycle) {  // 256 frames at 48 kHz
    for (; next < server.frameTime + 256; next += row.every)
      server.events.push_back({next - server.frameTime, row.bytes});
    server.Cycle();
    if (cycle % 3 == 0) {  // the ring never runs full
      report = source.Poll(cycle * 256 * 1000 / 48000);
      for (double ms : client.TakeTaps()) taps.push_back(ms);
    }
  }
  EXPECT_NEAR(report.tempo.value_or(0), row.tempo, 0.01);
  EXPECT_EQ(report.state, row.tempo > 0 ? S::Following : S::Waiting);
  EXPECT_EQ(report.ignoredTempo.has_value(), row.ignoredOver > 0);
  EXPECT_GE(report.ignoredTempo.value_or(0), row.ignoredOver);
  EXPECT_EQ(taps.empty(), row.fastestTap == 0);
  for (std::size_t i = 1; i < taps.size(); ++i)
    EXPECT_LE(60000.0 / (taps[i] - taps[i - 1]), row.fastestTap) << "tap " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MidiIntakeTest,
    testing::Values(  // 48000 * 60 / (24 * 120) frames a tick at 120 BPM
        MidiRow{"ClockAt120", {0xF8}, 1000, 120.0, 0, 0},
        MidiRow{"ClockTickEveryFrameIsIgnored", {0xF8}, 1, 0, calc::kMaxSourceTempo, 0},
        MidiRow{"TwoByteTickIsNoTick", {0xF8, 0x00}, 1000, 0, 0, 0},
        MidiRow{"NoteOnsAtAThousandASecondTapWithinTheRange",
                {0x90, 60, 100},
                48,
                0,
                0,
                calc::kMaxSourceTempo},
        MidiRow{"FourByteNoteOnIsNoTap", {0x90, 60, 100, 0}, 24000, 0, 0, 0}),
    calc_test::RowName{});

}  // namespace
