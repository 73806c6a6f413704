#include "calc/note.h"

#include <cmath>

#include "arithmetic.h"
#include "calc/numeric_text.h"

namespace calc {

std::optional<double> BaseFrequency(double referencePitch) {
  if (!(referencePitch > 0.0) || !std::isfinite(referencePitch)) return std::nullopt;
  return detail::Finite(kBaseFrequency * (referencePitch / kStandardPitch));
}

std::optional<double> NoteFrequency(double octave, double index, double baseFrequency) {
  const double exponent = octave + index / static_cast<double>(kNotesPerOctave);
  return detail::Finite(baseFrequency * std::pow(2.0, exponent));
}

std::optional<double> MidiNumber(double octave, double index, MidiNumbering numbering) {
  const double number = octave * static_cast<double>(kNotesPerOctave) + index;
  if (numbering == MidiNumbering::CMinus1IsZero) {
    return detail::Finite(number + static_cast<double>(kNotesPerOctave));
  }
  return detail::Finite(number);
}

std::optional<std::string> NoteFrequencyText(std::string_view octaveText,
                                             std::string_view indexText, char separator,
                                             double referencePitch) {
  const std::optional<double> base = BaseFrequency(referencePitch);
  if (!base) return std::nullopt;
  return detail::OverTexts(octaveText, indexText, separator, [&](double octave, double index) {
    return NoteFrequency(octave, index, *base);
  });
}

std::optional<std::string> MidiNumberText(std::string_view octaveText, std::string_view indexText,
                                          char separator, MidiNumbering numbering) {
  return detail::OverTexts(octaveText, indexText, separator, [&](double octave, double index) {
    return MidiNumber(octave, index, numbering);
  });
}

}  // namespace calc
