#include "calc/delay_extras.h"

#include "arithmetic.h"
#include "calc/numeric_text.h"
#include "calc/rounded_text.h"

namespace calc {
namespace {

constexpr bool ValidNoteValue(int noteValue) { return noteValue >= 0 && noteValue < kNoteValues; }
constexpr bool ValidSlot(int slot) { return slot >= 0 && slot < kDelaySlots; }

std::optional<double> Positive(std::optional<double> value) {
  if (!value || !(*value > 0.0)) return std::nullopt;
  return value;
}

std::optional<std::string> Rounded(std::optional<double> value, int decimals, char separator) {
  if (!value) return std::nullopt;
  return RoundedText(*value, decimals, separator);
}

std::optional<double> Hertz(std::optional<double> ms) {
  return ms ? MillisecondsToHertz(*ms) : std::nullopt;
}

std::optional<double> Samples(std::optional<double> ms, std::optional<double> rate) {
  return ms && rate ? MillisecondsToSamples(*ms, *rate) : std::nullopt;
}

void AppendCell(std::string& text, const std::optional<std::string>& cell) {
  text += '\t';
  if (cell) text += *cell;
}

constexpr std::string_view kColumnHeader =
    "Note value\tPlain (ms)\tDotted (ms)\tTriplet (ms)\tPlain (Hz)\tDotted (Hz)\tTriplet (Hz)"
    "\tPlain (samples)\tDotted (samples)\tTriplet (samples)\n";

}  // namespace

std::string NoteValueText(int noteValue) {
  if (!ValidNoteValue(noteValue)) return {};
  return "1/" + IntegerToText(std::int64_t{1} << noteValue);
}

std::string SlotLabel(int slot) {
  if (!ValidSlot(slot)) return {};
  std::string label = NoteValueText(NoteValueOfSlot(slot)) + " note";
  if (IsDottedSlot(slot)) label += ", dotted";
  return label;
}

std::optional<double> TextToPositiveNumber(std::string_view text, char separator) {
  return Positive(TextToNumber(text, separator));
}

std::optional<double> NoteMilliseconds(double tempo, int noteValue, NoteForm form) {
  if (!(tempo > 0.0) || !ValidNoteValue(noteValue)) return std::nullopt;
  const auto whole = detail::Divide(kWholeNoteAtOneBpm, tempo);
  if (!whole) return std::nullopt;
  const double plain = *whole / static_cast<double>(1u << noteValue);
  switch (form) {
    case NoteForm::Plain:
      return Positive(plain);
    case NoteForm::Dotted:
      return Positive(detail::Finite(plain * kDottedFactor));
    case NoteForm::Triplet:
      return Positive(plain * kTripletNumerator / kTripletDenominator);
  }
  return std::nullopt;
}

std::optional<double> MillisecondsToHertz(double ms) {
  if (!(ms > 0.0)) return std::nullopt;
  return detail::Divide(kMillisecondsPerSecond, ms);
}

std::optional<double> MillisecondsToSamples(double ms, double rate) {
  if (!(ms > 0.0) || !(rate > 0.0)) return std::nullopt;
  return detail::Finite(ms * rate / kMillisecondsPerSecond);
}

DelayBoxEntries ComputeDelayBoxEntries(int slot, std::optional<double> tempo,
                                       std::optional<double> rate, char separator) {
  DelayBoxEntries entries;
  if (!ValidSlot(slot)) return entries;
  entries.title = SlotLabel(slot);
  tempo = Positive(tempo);
  rate = Positive(rate);
  if (!tempo) return entries;
  const int noteValue = NoteValueOfSlot(slot);
  const auto own =
      NoteMilliseconds(*tempo, noteValue, IsDottedSlot(slot) ? NoteForm::Dotted : NoteForm::Plain);
  entries.milliseconds = Rounded(own, kMillisecondDecimals, separator);
  entries.triplet = Rounded(NoteMilliseconds(*tempo, noteValue, NoteForm::Triplet),
                            kMillisecondDecimals, separator);
  entries.hertz = Rounded(Hertz(own), kHertzDecimals, separator);
  entries.samples = Rounded(Samples(own, rate), kSampleDecimals, separator);
  return entries;
}

DelayBoxEntries ComputeDelayBoxEntries(int slot, std::string_view tempoText,
                                       std::string_view rateText, char separator) {
  return ComputeDelayBoxEntries(slot, TextToPositiveNumber(tempoText, separator),
                                TextToPositiveNumber(rateText, separator), separator);
}

std::optional<std::string> DelayTableText(std::string_view tempoText, std::string_view rateText,
                                          char separator) {
  const auto tempo = TextToPositiveNumber(tempoText, separator);
  if (!tempo) return std::nullopt;
  const auto tempoWritten = NumberToText(*tempo, separator);
  if (!tempoWritten) return std::nullopt;
  auto rate = TextToPositiveNumber(rateText, separator);
  const auto rateWritten = rate ? NumberToText(*rate, separator) : std::nullopt;
  if (!rateWritten) rate.reset();  // the header and the sample columns agree

  std::string text;
  text.reserve(2048);
  text += "Tempo ";
  text += *tempoWritten;
  text += " BPM\t";
  if (rateWritten) {
    text += "Sample rate ";
    text += *rateWritten;
    text += " Hz\n";
  } else {
    text += "No sample rate\n";
  }
  text += kColumnHeader;

  for (int noteValue = 0; noteValue < kNoteValues; ++noteValue) {
    std::array<std::optional<double>, kNoteForms.size()> ms;
    for (std::size_t f = 0; f < kNoteForms.size(); ++f) {
      ms[f] = NoteMilliseconds(*tempo, noteValue, kNoteForms[f]);
    }
    text += SlotLabel(noteValue * 2);  // "1/16 note": no spreadsheet reads it as a date
    for (const auto& value : ms) AppendCell(text, Rounded(value, kMillisecondDecimals, separator));
    for (const auto& value : ms) AppendCell(text, Rounded(Hertz(value), kHertzDecimals, separator));
    for (const auto& value : ms) {
      AppendCell(text, Rounded(Samples(value, rate), kSampleDecimals, separator));
    }
    text += '\n';
  }
  return text;
}

}  // namespace calc
