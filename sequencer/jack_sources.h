// The two sources a JACK server gives, over the one client they share: the
// transport's tempo (when a timebase master publishes bar, beat and tick)
// and a MIDI beat clock on the client's input port.
#pragma once

#include <cstdint>
#include <optional>

#include "calc/clock_estimator.h"
#include "jack_client.h"
#include "tempo_source.h"

namespace sequencer {

// What a tempo from outside becomes: Following it when calc::IsSourceTempo
// takes it; otherwise the report keeps no tempo, names the value ignored and
// says why (NaN and infinities too).
void TakeTempo(double bpm, SourceReport& report);

class JackTransportSource : public TempoSource {
 public:
  explicit JackTransportSource(JackClient& client) : client_(client) {}
  SourceKind kind() const override { return SourceKind::JackTransport; }
  SourceReport Poll(std::int64_t nowMs) override;

 private:
  JackClient& client_;
  int pollsWithoutBbt_ = 0;
  SourceReport last_;
};

class MidiClockSource : public TempoSource {
 public:
  static constexpr double kClockStep = 0.05;  // smallest change of the tempo reported, BPM

  explicit MidiClockSource(JackClient& client) : client_(client) {}
  SourceKind kind() const override { return SourceKind::MidiClock; }
  SourceReport Poll(std::int64_t nowMs) override;

 private:
  void Restart();
  bool Stopped(std::uint64_t nowFrame) const;

  JackClient& client_;
  calc::ClockTempoEstimator estimator_{48000.0};
  std::uint32_t sampleRate_ = 0;
  std::optional<double> reported_;  // the tempo last reported, until it moves by kClockStep
  std::optional<std::uint64_t> lastTick_;
};

}  // namespace sequencer
