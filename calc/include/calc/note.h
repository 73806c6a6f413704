// The note calculator: frequency and MIDI number of a note of the chromatic
// scale in an octave. MIDI numbering counts C of octave 0 as 0.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace calc {

inline constexpr double kBaseFrequency = 16.3516;  // C in octave 0, in hertz
inline constexpr int kNotesPerOctave = 12;

inline constexpr std::array<std::string_view, kNotesPerOctave> kNoteNames = {
    "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

// 16.3516 * 2^(octave + index / 12), in that order of operations.
std::optional<double> NoteFrequency(double octave, double index);
// octave * 12 + index.
std::optional<double> MidiNumber(double octave, double index);

// The same over the octave and note-index texts; full result text.
std::optional<std::string> NoteFrequencyText(std::string_view octaveText,
                                             std::string_view indexText, char separator);
std::optional<std::string> MidiNumberText(std::string_view octaveText, std::string_view indexText,
                                          char separator);

}  // namespace calc
