#include "link_source.h"

#include <ableton/Link.hpp>
#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

#include "calc/rounded_text.h"

namespace sequencer {

namespace {

// Link carries a tempo as whole microseconds per beat: 97.3 BPM arrives as
// 97.30000073. The box shows at most 3 decimals, so that is what is reported.
double ReportedTempo(double bpm) { return std::round(bpm * 1000.0) / 1000.0; }

std::string OutsideLink(const std::string& what) {
  return what + " is outside " + std::to_string(static_cast<int>(kMinLinkTempo)) + "–" +
         std::to_string(static_cast<int>(kMaxLinkTempo));
}

}  // namespace

struct LinkSource::Session {
  explicit Session(double bpm) : link(bpm) {}
  ableton::Link link;
  double lastTempo = 0.0;  // the session's tempo at the last poll
  std::string reason;      // why the last tempo proposed was not taken
};

LinkSource::LinkSource(double bpm)
    : session_(std::make_unique<Session>(
          std::isnan(bpm) ? 120.0 : std::clamp(bpm, kMinLinkTempo, kMaxLinkTempo))) {
  session_->lastTempo = session_->link.captureAppSessionState().tempo();
  session_->link.enable(true);
}

LinkSource::~LinkSource() { session_->link.enable(false); }

SourceReport LinkSource::Poll(std::int64_t /*nowMs*/) {
  Session& s = *session_;
  const double tempo = s.link.captureAppSessionState().tempo();
  if (tempo != s.lastTempo) {
    s.lastTempo = tempo;
    s.reason.clear();  // a new tempo in the box replaces the one refused
  }
  SourceReport report;
  report.source = SourceKind::AbletonLink;
  report.peers = static_cast<int>(std::min<std::size_t>(s.link.numPeers(), INT_MAX));
  report.reason = s.reason;
  const double shown = ReportedTempo(tempo);
  if (calc::IsSourceTempo(shown)) {
    report.state = SourceState::Following;
    report.tempo = shown;
  } else {  // Link clamps what peers send, so this would be a fault of its own
    report.state = SourceState::Waiting;
    report.reason = OutsideLink("the session's tempo");
  }
  return report;
}

bool LinkSource::Propose(double bpm) {
  Session& s = *session_;
  if (!IsLinkTempo(bpm)) {
    s.reason = OutsideLink(calc::RoundedText(bpm, 3, '.').value_or("that") + " BPM");
    return false;
  }
  auto state = s.link.captureAppSessionState();
  state.setTempo(bpm, s.link.clock().micros());
  s.link.commitAppSessionState(state);
  s.reason.clear();
  return true;
}

}  // namespace sequencer
