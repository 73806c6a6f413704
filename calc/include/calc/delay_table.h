// The delay table: for a tempo text, the length in milliseconds of every note
// value from a whole note down to a 1/2048 note, plain and dotted.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace calc {

// Slot 2k holds the plain note value 1/2^k of a whole note, slot 2k+1 its
// dotted form.
inline constexpr int kDelaySlots = 24;
inline constexpr std::size_t kSlotLength = 6;
inline constexpr double kWholeNoteAtOneBpm = 240000.0;  // 4 beats of 60000 ms
inline constexpr double kDottedFactor = 1.5;

using DelayTexts = std::array<std::string, kDelaySlots>;

// Returns the 24 slot texts for `tempoText`, each fitted to kSlotLength. A
// slot whose computation fails keeps its text from `previousTexts`; a tempo
// for which some slot could not be shown at all is handled like a tempo that
// does not read as a number, so the table never mixes two tempos. The
// dotted value is read back from the plain slot's text as the box shows it,
// so at tempo 90 slot 0 shows 2666.6 and slot 1 shows 3999.9, not 4000.
DelayTexts ComputeDelayTable(std::string_view tempoText, const DelayTexts& previousTexts,
                             char separator);

}  // namespace calc
