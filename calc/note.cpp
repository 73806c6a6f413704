#include "calc/note.h"

#include <cmath>

#include "arithmetic.h"
#include "calc/numeric_text.h"
#include "calc/rounded_text.h"

namespace calc {

namespace {

constexpr double kTenthsPerHertz = 10.0;
// How far from a whole tenth a typed value may lie and still be one: the
// binary noise of a decimal text, far below a hundredth.
constexpr double kStepTolerance = 1e-9;

}  // namespace

std::string PitchProblemText(PitchProblem problem, char separator) {
  switch (problem) {
    case PitchProblem::NotANumber:
      return "not a number";
    case PitchProblem::OutOfRange:
      return "not between " + *NumberToText(kLowestReferencePitch, separator) + " and " +
             *NumberToText(kHighestReferencePitch, separator) + " Hz";
    case PitchProblem::NotOnStep: {
      std::string step = "0";
      step += separator;
      step += '1';
      return "not in steps of " + step + " Hz";
    }
  }
  return "not a number";
}

PitchReading ReadReferencePitch(std::string_view text, char separator) {
  PitchReading reading;
  const auto value = TextToNumber(text, separator);
  if (!value) {
    reading.problem = PitchProblem::NotANumber;
  } else if (!(*value >= kLowestReferencePitch && *value <= kHighestReferencePitch)) {
    reading.problem = PitchProblem::OutOfRange;
  } else {
    const double tenths = std::round(*value * kTenthsPerHertz);
    if (std::fabs(*value * kTenthsPerHertz - tenths) > kStepTolerance) {
      reading.problem = PitchProblem::NotOnStep;
    } else {
      reading.hertz = tenths / kTenthsPerHertz;
    }
  }
  return reading;
}

bool IsReferencePitch(double hertz) {
  if (!(hertz >= kLowestReferencePitch && hertz <= kHighestReferencePitch)) return false;
  return std::round(hertz * kTenthsPerHertz) / kTenthsPerHertz == hertz;
}

std::optional<std::string> ReferencePitchText(double hertz, char separator) {
  if (!IsReferencePitch(hertz)) return std::nullopt;
  return RoundedText(hertz, kReferencePitchDecimals, separator);
}

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
    const auto counted = detail::Finite(number + static_cast<double>(kNotesPerOctave));
    if (!counted || *counted > kHighestMidiNumber) return std::nullopt;
    return counted;
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
  if (numbering == MidiNumbering::CMinus1IsZero) {
    const auto octave = TextToNumber(octaveText, separator);
    const auto index = TextToNumber(indexText, separator);
    if (octave && index && MidiNumber(*octave, *index, MidiNumbering::C0IsZero) &&
        !MidiNumber(*octave, *index, numbering)) {
      return std::string();  // past 127: no MIDI number
    }
  }
  return detail::OverTexts(octaveText, indexText, separator, [&](double octave, double index) {
    return MidiNumber(octave, index, numbering);
  });
}

}  // namespace calc
