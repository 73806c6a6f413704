#include "sequencer_link.h"

#include "jack_sources.h"
#include "link_source.h"

namespace sequencer {

std::unique_ptr<TempoSource> MakeSource(SourceKind kind, JackClient* jack, double tempo) {
  switch (kind) {
    case SourceKind::JackTransport:
      return jack ? std::make_unique<JackTransportSource>(*jack) : nullptr;
    case SourceKind::MidiClock:
      return jack ? std::make_unique<MidiClockSource>(*jack) : nullptr;
    case SourceKind::AbletonLink:
      return std::make_unique<LinkSource>(tempo);
    case SourceKind::Manual:
      break;
  }
  return nullptr;
}

SequencerLink::SequencerLink(JackLoader loader) : loader_(loader) {}

SequencerLink::~SequencerLink() {
  object_.reset();  // before the client it uses
}

void SequencerLink::Set(LinkRequest request) {
  const bool newSource = request.source != request_.source || !object_;
  // Back to Manual while taps are wanted (a tap did it): a client that is
  // open stays, so that the pad that tapped goes on tapping. None is opened
  // for taps alone.
  const bool jackWanted =
      UsesJack(request.source) || (request.tapsWanted && jack_ && jack_->wantedOpen());
  if (jackWanted && !jack_) {
    std::string error;
    const JackApi* api = loader_(&error);
    jack_ = std::make_unique<JackClient>(api, error);
  }
  if (newSource) object_ = MakeSource(request.source, jack_.get(), request.tempo);
  request_ = request;
  if (jack_) {
    jack_->SetTaps(request.tapsWanted);
    jack_->SetOpen(jackWanted);
  }
}

SourceReport SequencerLink::Poll(std::int64_t nowMs) {
  if (object_) return object_->Poll(nowMs);
  SourceReport report;
  report.source = request_.source;
  if (request_.source != SourceKind::Manual) {
    report.state = SourceState::Unavailable;
    report.reason = "not in this build";
    return report;
  }
  if (jack_ && jack_->wantedOpen()) report.input = jack_->Poll(nowMs).input;  // taps only
  return report;
}

std::vector<double> SequencerLink::TakeTaps() {
  return jack_ ? jack_->TakeTaps() : std::vector<double>{};
}

void SequencerLink::BeginShutdown() {
  if (object_ && !UsesJack(object_->kind())) object_.reset();
  if (jack_) jack_->BeginShutdown();
}

}  // namespace sequencer
