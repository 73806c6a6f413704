// A tempo source: one place a followed tempo comes from (a JACK transport, a
// MIDI clock, an Ableton Link session, ...), as an object behind one small
// interface. A source reports data, never display text: the extras make the
// menu entries, tooltips and numbers the user reads.
//
// Every call comes from the GUI thread and returns at once: whatever may wait
// (opening a client, joining a session, closing) runs on the source's own
// worker, which the source owns and joins, within a bound, when it goes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sequencer {

// Which source is followed. The texts stored in the preferences, the menu
// names and their mnemonics are one table in the extras, by this id.
enum class SourceKind { Manual, JackTransport, MidiClock, AbletonLink };

// How far a source has got.
enum class SourceState {
  Off,          // not started: nothing loaded, nothing open
  Unavailable,  // its library is missing: it never will be in this run
  Unreachable,  // no server, or one that does not answer: tried again
  Connecting,   // opening or joining, on the worker
  Waiting,      // connected, no tempo yet (none published, no clock)
  Following,    // a tempo is followed
  Lost,         // the server stopped, dropped the client or stalled: tried again
};

// What a source says at a poll.
struct SourceReport {
  SourceKind source = SourceKind::Manual;
  SourceState state = SourceState::Off;
  // Why the state is what it is ("JACK server stopped"), or why the last
  // tempo offered was not taken; empty when there is nothing to say.
  std::string reason;
  std::optional<double> tempo;              // BPM, always inside calc::IsSourceTempo
  std::optional<std::uint32_t> sampleRate;  // Hz, when the source has one
  std::optional<int> peers;                 // for a shared session: the others in it
  std::string input;                        // where it listens, e.g. "tempiva-01:midi_in"
  // A tempo offered outside calc::IsSourceTempo, as received: the box keeps
  // its tempo and the reason says why.
  std::optional<double> ignoredTempo;
  // The library's or the server's own words on a failure, for the log.
  std::string detail;

  friend bool operator==(const SourceReport&, const SourceReport&) = default;
};

class TempoSource {
 public:
  virtual ~TempoSource() = default;
  TempoSource() = default;
  TempoSource(const TempoSource&) = delete;
  TempoSource& operator=(const TempoSource&) = delete;

  virtual SourceKind kind() const = 0;
  // Advances the source (at every poll of the GUI thread, `nowMs` on a
  // steady clock) and says where it stands. Never blocks.
  virtual SourceReport Poll(std::int64_t nowMs) = 0;
  // Whether a tempo the user sets is offered to the source (a shared session
  // that every peer follows) instead of ending the following.
  virtual bool SharesTempo() const { return false; }
  // Offers the user's tempo to a source that shares it; false when it is
  // not taken (the next report's reason says why).
  virtual bool Propose(double /*bpm*/) { return false; }
};

}  // namespace sequencer
