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

// The reference pitches of A4 the menu lists, in hertz: French baroque pitch
// (392) up to high baroque pitch (466), 440 the default.
inline constexpr std::array<double, 11> kListedReferencePitches = {
    392.0, 415.0, 430.0, 432.0, 435.0, 440.0, 442.0, 443.0, 444.0, 446.0, 466.0};
// Any other reference lies in this range, in steps of a tenth of a hertz.
inline constexpr double kLowestReferencePitch = 380.0;
inline constexpr double kHighestReferencePitch = 480.0;
inline constexpr int kReferencePitchDecimals = 1;

// Why a reference pitch text is refused.
enum class PitchProblem {
  NotANumber,  // the text does not read as a number with the separator
  OutOfRange,  // below 380 or above 480 Hz
  NotOnStep,   // more precise than a tenth of a hertz (440.05)
};
// "not a number", "not between 380 and 480 Hz", "not in steps of 0.1 Hz"
// (the range and step written with `separator`).
std::string PitchProblemText(PitchProblem problem, char separator);

// A reference pitch as typed ("432,5" with a comma), or why it is refused.
// Blanks around it, trailing zeros and an exponent are read as TextToNumber
// reads them; the value is the nearest tenth of a hertz, so "432.50" gives
// exactly 432.5.
struct PitchReading {
  std::optional<double> hertz;
  std::optional<PitchProblem> problem;
};
PitchReading ReadReferencePitch(std::string_view text, char separator);
// Whether `hertz` is a reference pitch the user can choose: in range and a
// whole number of tenths.
bool IsReferencePitch(double hertz);
// The shortest text of a reference pitch: "440", "432,5"; no text for a value
// IsReferencePitch refuses.
std::optional<std::string> ReferencePitchText(double hertz, char separator);

// The base frequency for a reference pitch of A4: 16.3516 * (reference / 440),
// in that order, so that 440 gives exactly 16.3516. A reference that is not a
// positive finite number fails.
std::optional<double> BaseFrequency(double referencePitch);

// base * 2^(octave + index / 12), in that order of operations.
std::optional<double> NoteFrequency(double octave, double index,
                                    double baseFrequency = kBaseFrequency);
// The highest note number MIDI knows (G9 when counting from C of octave -1).
inline constexpr double kHighestMidiNumber = 127.0;

// octave * 12 + index, plus 12 when counting from C of octave -1. Counting
// from C of octave -1, as sequencers do, a number past 127 is no MIDI note
// and fails; counting from C0 the number is given as it is.
std::optional<double> MidiNumber(double octave, double index,
                                 MidiNumbering numbering = kDesignedNumbering);

// The same over the octave and note-index texts; full result text.
std::optional<std::string> NoteFrequencyText(std::string_view octaveText,
                                             std::string_view indexText, char separator,
                                             double referencePitch = kStandardPitch);
// For a note past 127 counted from C of octave -1 the MIDI text is empty: the
// box shows no number rather than keeping an old one.
std::optional<std::string> MidiNumberText(std::string_view octaveText, std::string_view indexText,
                                          char separator,
                                          MidiNumbering numbering = kDesignedNumbering);

}  // namespace calc
