// One JACK client for the JACK sources (transport and MIDI clock share it):
// opened and closed by a worker thread the client owns, so that the GUI
// thread never waits on JACK, and driven by Poll(nowMs) on the GUI thread,
// which says where it stands: connecting, connected, no server, server gone,
// library missing. No Qt here; JACK is reached only through the JackApi
// table given, so tests drive the whole state machine with a fake one.
//
// The process callback only counts frames and fills a lock-free ring: one
// 64-bit frame counter, kept there and carried in each event, is the one
// clock of everything that comes from the server.
#pragma once

#include <jack/transport.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "event_ring.h"
#include "jack_api.h"
#include "tempo_source.h"

namespace sequencer {

// What one client did in its life, for the tests and the log.
struct JackCounters {
  int opens = 0;                    // attempts started on the worker
  int opened = 0;                   // clients that came up
  int closed = 0;                   // clients deactivated and closed
  int abandonedOpens = 0;           // attempts given up for want of an answer
  std::uint64_t droppedEvents = 0;  // MIDI events the full ring refused

  friend bool operator==(const JackCounters&, const JackCounters&) = default;
};

// Where the client stands after a poll. `state` is Off, Unavailable,
// Unreachable, Connecting, Waiting (connected) or Lost.
struct ClientStatus {
  SourceState state = SourceState::Off;
  std::string reason;  // "no JACK server", "JACK server stopped", ...
  std::string detail;  // the library's or the server's own words, for the log
  std::optional<std::uint32_t> sampleRate;
  std::string input;  // the input port as registered: "tempiva-01:midi_in"
};

struct Connection;
struct Worker;

class JackClient {
 public:
  static constexpr std::int64_t kRetryMs = 3000;        // a new try after a failure
  static constexpr std::int64_t kOpenTimeoutMs = 5000;  // opening, at most
  static constexpr std::int64_t kStallMs = 2000;        // no process cycle so long: not responding
  // The longest the GUI thread waits for the worker when the client goes.
  static constexpr std::chrono::milliseconds kExitBound{200};
  static constexpr const char* kClientName = "tempiva";
  static constexpr const char* kPortName = "midi_in";

  // `api` null: the library is missing, `loadError` says why.
  JackClient(const JackApi* api, std::string loadError);
  // Closes the client and waits for the worker at most kExitBound (or what
  // is left of the bound BeginShutdown started).
  ~JackClient();
  JackClient(const JackClient&) = delete;
  JackClient& operator=(const JackClient&) = delete;

  // Whether the client should be open; it opens or closes at the next poll.
  void SetOpen(bool open);
  bool wantedOpen() const { return wantOpen_; }
  // Note-ons reach TakeTaps only while wanted.
  void SetTaps(bool wanted);

  // Advances the state machine (`nowMs` on a steady clock) and takes what
  // the process callback left in the ring. Never blocks.
  ClientStatus Poll(std::int64_t nowMs);
  // The clock events (ticks, start, continue, stop) the last poll took.
  const std::vector<MidiEvent>& clockEvents() const { return clockEvents_; }
  // The note-ons since the last call, in milliseconds of the frame counter.
  std::vector<double> TakeTaps();
  // The transport position; false while not connected.
  bool QueryTransport(jack_position_t& position) const;
  // The frame counter at the end of the last process cycle; 0 before one.
  std::uint64_t nowFrame() const;
  JackCounters counters() const;

  // Closes the client and tells the worker to end, without waiting: the
  // program's run ends, the destructor comes soon.
  void BeginShutdown();
  // Waits for the worker until `deadline`; false when it is still inside
  // JACK then, and is left behind (it owns nothing the program touches).
  bool FinishShutdown(std::chrono::steady_clock::time_point deadline);
  // Joins the workers left behind that have come out of JACK since; how many.
  static int ReapLeftBehind();

 private:
  void StartOpening(std::int64_t nowMs);
  void Close();
  ClientStatus Fail(SourceState state, std::string reason, std::string detail, std::int64_t nowMs);
  ClientStatus Connected(std::int64_t nowMs);

  const JackApi* api_;
  std::string loadError_;
  bool wantOpen_ = false;
  bool tapsWanted_ = false;
  std::shared_ptr<Worker> worker_;  // shared with its thread
  std::unique_ptr<std::jthread> thread_;
  std::optional<std::chrono::steady_clock::time_point> shutdownDeadline_;
  std::shared_ptr<Connection> connection_;
  std::uint64_t pendingOpen_ = 0;  // the attempt awaited; 0: none
  std::uint64_t nextOpen_ = 1;
  std::int64_t openedAtMs_ = 0;
  std::int64_t retryAtMs_ = 0;
  ClientStatus lastFailure_;  // said until the next try
  bool failed_ = false;
  std::uint64_t lastCycles_ = 0;
  std::int64_t lastCycleAtMs_ = 0;
  std::vector<MidiEvent> clockEvents_;
  std::vector<double> taps_;
  std::optional<std::uint64_t> lastTap_;  // frame of the last note-on taken as a tap
};

}  // namespace sequencer
