// The link to the followed source: takes what is wanted, {source, taps
// wanted}, makes the source's object (one factory entry per source), owns the
// JACK client the JACK sources share, and keeps that client open for a MIDI
// pad's taps after the source went back to Manual while taps are wanted. No
// Qt here: the follow layer polls it on its timer and makes every text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "jack_client.h"
#include "tempo_source.h"

namespace sequencer {

struct LinkRequest {
  SourceKind source = SourceKind::Manual;
  bool tapsWanted = false;  // the Tap Tempo window is open: note-ons count as taps
  double tempo = 120.0;     // ours: a Link session we found alone starts at it
};

// Loads JACK when a JACK source is first chosen (LoadJack, or a fake).
using JackLoader = const JackApi* (*)(std::string* error);

// Whether a source is served by the one JACK client.
constexpr bool UsesJack(SourceKind kind) {
  return kind == SourceKind::JackTransport || kind == SourceKind::MidiClock;
}

// The factory: the object of `kind` (null for Manual and for a source this
// build lacks); `jack` is the shared client, for the JACK sources; `tempo`
// is ours, for a session that starts with us.
std::unique_ptr<TempoSource> MakeSource(SourceKind kind, JackClient* jack, double tempo);

class SequencerLink {
 public:
  static constexpr int kPollMs = 100;

  explicit SequencerLink(JackLoader loader = LoadJack);
  ~SequencerLink();
  SequencerLink(const SequencerLink&) = delete;
  SequencerLink& operator=(const SequencerLink&) = delete;

  void Set(LinkRequest request);
  SourceKind source() const { return request_.source; }
  // Whether the JACK client is wanted open (for a source, or kept for taps).
  bool clientOpen() const { return jack_ && jack_->wantedOpen(); }

  // The source's report (Manual: Off); polls the client kept for taps too.
  SourceReport Poll(std::int64_t nowMs);
  // Whether the source shares the user's tempo, and offers it (see TempoSource).
  bool SharesTempo() const { return object_ && object_->SharesTempo(); }
  bool Propose(double bpm) { return object_ && object_->Propose(bpm); }
  // Note-ons since the last call, in milliseconds of the server's frames.
  std::vector<double> TakeTaps();
  JackCounters counters() const { return jack_ ? jack_->counters() : JackCounters{}; }
  // The run ends: the client closes now, the destructor waits a bounded time;
  // a Link session is left at once.
  void BeginShutdown();

 private:
  JackLoader loader_;
  LinkRequest request_;
  std::unique_ptr<JackClient> jack_;  // made when a JACK source is first chosen
  std::unique_ptr<TempoSource> object_;
};

}  // namespace sequencer
