// The tempos Tempiva takes from outside or proposes itself: what sequencers
// offer. A followed tempo (JACK transport, a MIDI clock, a Link session) and
// a computed proposal (a loop's tempo as so many bars, a file's tempo) are
// used only inside this range; a value outside it is reported, never shown.
#pragma once

namespace calc {

inline constexpr double kMinSourceTempo = 1.0;  // BPM
inline constexpr double kMaxSourceTempo =
    999.999;  // BPM, the most the tempo box shows with 3 decimals

// Whether `bpm` lies in the range; false for NaN and infinities.
constexpr bool IsSourceTempo(double bpm) {
  return bpm >= kMinSourceTempo && bpm <= kMaxSourceTempo;
}

}  // namespace calc
