// The note calculator: frequency and MIDI number of a note of the chromatic
// scale in an octave. By default C of octave 0 sounds at 16.3516 Hz (A4 at
// 440 Hz) and counts as MIDI number 0; both can be changed.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace calc {

inline constexpr double kBaseFrequency = 16.3516;  // C in octave 0, in hertz
inline constexpr int kStandardPitchHertz = 440;    // A4 for kBaseFrequency
inline constexpr double kStandardPitch = kStandardPitchHertz;
inline constexpr int kNotesPerOctave = 12;

inline constexpr std::array<std::string_view, kNotesPerOctave> kNoteNames = {
    "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

// How MIDI numbers count: from C of octave 0 (A4 = 57), or from C of octave
// -1 as sequencers count (A4 = 69), which adds one octave to every number.
enum class MidiNumbering { C0IsZero, CMinus1IsZero };
inline constexpr MidiNumbering kDesignedNumbering = MidiNumbering::C0IsZero;

// The base frequency for a reference pitch of A4: 16.3516 * (reference / 440),
// in that order, so that 440 gives exactly 16.3516. A reference that is not a
// positive finite number fails.
std::optional<double> BaseFrequency(double referencePitch);

// base * 2^(octave + index / 12), in that order of operations.
std::optional<double> NoteFrequency(double octave, double index,
                                    double baseFrequency = kBaseFrequency);
// octave * 12 + index, plus 12 when counting from C of octave -1.
std::optional<double> MidiNumber(double octave, double index,
                                 MidiNumbering numbering = kDesignedNumbering);

// The same over the octave and note-index texts; full result text.
std::optional<std::string> NoteFrequencyText(std::string_view octaveText,
                                             std::string_view indexText, char separator,
                                             double referencePitch = kStandardPitch);
std::optional<std::string> MidiNumberText(std::string_view octaveText, std::string_view indexText,
                                          char separator,
                                          MidiNumbering numbering = kDesignedNumbering);

}  // namespace calc
