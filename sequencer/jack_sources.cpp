#include "jack_sources.h"

#include <cmath>
#include <string>

#include "calc/tempo_range.h"

namespace sequencer {

namespace {

// The estimator of the clock, before and after it counts 64-bit frames and
// judges the clock's silence itself: whichever it offers is used.
template <typename Estimator>
concept SaysStopped = requires(const Estimator& e, std::uint64_t frame) {
  e.Stopped(frame);
};

template <typename Estimator>
std::optional<bool> StoppedBy(const Estimator& estimator, std::uint64_t nowFrame) {
  if constexpr (SaysStopped<Estimator>) {
    return estimator.Stopped(nowFrame);
  } else {
    return std::nullopt;
  }
}

template <typename Estimator>
void TickOn(Estimator& estimator, std::uint64_t frame) {
  if constexpr (SaysStopped<Estimator>) {
    estimator.Tick(frame);
  } else {
    estimator.Tick(static_cast<std::uint32_t>(frame));  // the one cast: it unwraps them again
  }
}

SourceReport ReportOf(SourceKind kind, const ClientStatus& status) {
  SourceReport report;
  report.source = kind;
  report.state = status.state;
  report.reason = status.reason;
  report.detail = status.detail;
  report.sampleRate = status.sampleRate;
  report.input = status.input;
  return report;
}

}  // namespace

void TakeTempo(double bpm, SourceReport& report) {
  if (calc::IsSourceTempo(bpm)) {
    report.state = SourceState::Following;
    report.tempo = bpm;
    return;
  }
  report.state = SourceState::Waiting;
  report.tempo.reset();
  report.ignoredTempo = bpm;
  report.reason = "outside the tempos taken";
}

SourceReport JackTransportSource::Poll(std::int64_t nowMs) {
  SourceReport report = ReportOf(kind(), client_.Poll(nowMs));
  if (report.state != SourceState::Waiting) {
    pollsWithoutBbt_ = 0;
    return last_ = report;
  }
  jack_position_t position{};
  client_.QueryTransport(position);
  if (!(position.valid & JackPositionBBT)) {
    // One poll without bar and beat happens on relocation: only a second says so.
    if (++pollsWithoutBbt_ < 2 && (last_.tempo || last_.ignoredTempo)) {
      last_.sampleRate = report.sampleRate;
      return last_;
    }
    report.reason = "no tempo published";
    return last_ = report;
  }
  pollsWithoutBbt_ = 0;
  TakeTempo(position.beats_per_minute, report);
  return last_ = report;
}

void MidiClockSource::Restart() {
  estimator_.Reset();
  reported_.reset();
  lastTick_.reset();
}

bool MidiClockSource::Stopped(std::uint64_t nowFrame) const {
  if (const auto stopped = StoppedBy(estimator_, nowFrame)) return *stopped;
  // The estimator does not judge silence yet: its rule, in frames.
  return !lastTick_ || sampleRate_ == 0 ||
         (nowFrame > *lastTick_ &&
          nowFrame - *lastTick_ >
              static_cast<std::uint64_t>(calc::ClockTempoEstimator::kMaxGapSeconds * sampleRate_));
}

SourceReport MidiClockSource::Poll(std::int64_t nowMs) {
  SourceReport report = ReportOf(kind(), client_.Poll(nowMs));
  if (report.state != SourceState::Waiting) {
    Restart();
    return report;
  }
  if (report.sampleRate && *report.sampleRate != sampleRate_) {
    sampleRate_ = *report.sampleRate;
    estimator_.SetSampleRate(sampleRate_);
    reported_.reset();
  }
  for (const MidiEvent& event : client_.clockEvents()) {
    if (event.kind == MidiEvent::Kind::ClockTick) {
      TickOn(estimator_, event.frame);
      lastTick_ = event.frame;
    } else {  // start, continue, stop: a new run
      estimator_.Reset();
      reported_.reset();
    }
  }
  report.reason = "waiting for clock";
  if (Stopped(client_.nowFrame())) {
    Restart();
    return report;
  }
  const auto tempo = estimator_.Tempo();
  if (!tempo) return report;
  if (!calc::IsSourceTempo(*tempo)) {
    TakeTempo(*tempo, report);
    return report;
  }
  if (!reported_ || std::abs(*tempo - *reported_) >= kClockStep) reported_ = *tempo;
  report.reason.clear();
  TakeTempo(*reported_, report);
  return report;
}

}  // namespace sequencer
