#include "calc/note.h"

#include <cmath>

#include "arithmetic.h"
#include "calc/numeric_text.h"

namespace calc {

std::optional<double> NoteFrequency(double octave, double index) {
  const double exponent = octave + index / static_cast<double>(kNotesPerOctave);
  return detail::Finite(kBaseFrequency * std::pow(2.0, exponent));
}

std::optional<double> MidiNumber(double octave, double index) {
  return detail::Finite(octave * static_cast<double>(kNotesPerOctave) + index);
}

std::optional<std::string> NoteFrequencyText(std::string_view octaveText,
                                             std::string_view indexText, char separator) {
  return detail::OverTexts(octaveText, indexText, separator, NoteFrequency);
}

std::optional<std::string> MidiNumberText(std::string_view octaveText, std::string_view indexText,
                                          char separator) {
  return detail::OverTexts(octaveText, indexText, separator, MidiNumber);
}

}  // namespace calc
