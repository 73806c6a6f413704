// An Ableton Link session as a tempo source: the tempo every Link app on the
// local network shares, both ways. Joining takes the session's tempo (Link
// lets the older timeline win, and ours is made when the source is); alone,
// we start a session at our own tempo. A tempo the user sets is proposed to
// the session. No Qt here, and nothing of the network before the source is
// made: the Link object, its sockets and threads live and die with it.
#pragma once

#include <memory>

#include "calc/tempo_range.h"
#include "tempo_source.h"

namespace sequencer {

// The tempos Link keeps (it clamps anything else).
inline constexpr double kMinLinkTempo = 20.0;   // BPM
inline constexpr double kMaxLinkTempo = 999.0;  // BPM
static_assert(calc::IsSourceTempo(kMinLinkTempo) && calc::IsSourceTempo(kMaxLinkTempo));

constexpr bool IsLinkTempo(double bpm) { return bpm >= kMinLinkTempo && bpm <= kMaxLinkTempo; }

class LinkSource final : public TempoSource {
 public:
  // Joins the session, or starts one at `bpm` (brought into Link's range).
  // Takes well under a millisecond: Link's own threads do the network.
  explicit LinkSource(double bpm);
  // Leaves the session (disables Link) and joins Link's threads: 0.3 to 9 ms
  // measured with a peer in the session, so no worker of our own is needed.
  ~LinkSource() override;

  SourceKind kind() const override { return SourceKind::AbletonLink; }
  // Following, with the session's tempo and the number of other peers.
  SourceReport Poll(std::int64_t nowMs) override;
  bool SharesTempo() const override { return true; }
  // Commits `bpm` to the session when Link keeps it; otherwise false, and
  // the reports say why until the session's tempo next changes.
  bool Propose(double bpm) override;

 private:
  struct Session;
  std::unique_ptr<Session> session_;
};

}  // namespace sequencer
