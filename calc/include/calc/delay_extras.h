// Extra numbers for each note value of the delay table: plain, dotted and
// triplet lengths, each as milliseconds, hertz and samples, written rounded
// (rounded_text.h). Unlike the delay boxes, they come from the tempo as a
// number, never from the cut box texts.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "calc/delay_table.h"

namespace calc {

// Note value k (0 to 11) is 1/2^k of a whole note: 1/1 down to 1/2048.
inline constexpr int kNoteValues = kDelaySlots / 2;
inline constexpr double kTripletNumerator = 2.0;  // a triplet lasts 2/3 of the plain note
inline constexpr double kTripletDenominator = 3.0;
inline constexpr double kMillisecondsPerSecond = 1000.0;

enum class NoteForm { Plain, Dotted, Triplet };
inline constexpr std::array<NoteForm, 3> kNoteForms = {NoteForm::Plain, NoteForm::Dotted,
                                                       NoteForm::Triplet};

// Which note value a delay slot shows, and whether in its dotted form.
constexpr int NoteValueOfSlot(int slot) { return slot / 2; }
constexpr bool IsDottedSlot(int slot) { return slot % 2 == 1; }

// "1/1" to "1/2048" for note value 0 to 11; empty for any other index.
std::string NoteValueText(int noteValue);
// "1/8 note" for slot 6, "1/8 note, dotted" for slot 7; empty outside 0 to 23.
std::string SlotLabel(int slot);

// The tempo or sample rate of the extras: the text read by TextToNumber, and
// only a number above zero counts.
std::optional<double> TextToPositiveNumber(std::string_view text, char separator);

// 240000 / tempo / 2^k for the plain form (the same plain value as the delay
// table before any cut), times 1.5 for the dotted one and times 2 / 3 for the
// triplet. A tempo that is not positive, a note value out of range and a
// result beyond the double range fail.
std::optional<double> NoteMilliseconds(double tempo, int noteValue, NoteForm form);
// 1000 / ms; fails for a length that is not positive or a result out of range.
std::optional<double> MillisecondsToHertz(double ms);
// ms * rate / 1000, in that order; fails unless both are positive and the
// result is in range.
std::optional<double> MillisecondsToSamples(double ms, double rate);

// What a delay box offers beyond its cut text, ready to show and copy.
struct DelayBoxEntries {
  std::string title;                        // SlotLabel of the box
  std::optional<std::string> milliseconds;  // the box's own form (plain or dotted)
  std::optional<std::string> triplet;       // milliseconds of the note value's triplet
  std::optional<std::string> hertz;         // of the box's own form
  std::optional<std::string> samples;       // of the box's own form, at the sample rate
};

// The entries of delay box `slot` (0 to 23); an entry that needs a tempo or a
// rate that is missing (no value) or whose number fails has no text. A slot out
// of range gives an empty title and no numbers.
DelayBoxEntries ComputeDelayBoxEntries(int slot, std::optional<double> tempo,
                                       std::optional<double> rate, char separator);
// The same from the tempo and sample-rate texts, read by TextToPositiveNumber.
DelayBoxEntries ComputeDelayBoxEntries(int slot, std::string_view tempoText,
                                       std::string_view rateText, char separator);

// The whole table as tab-separated text, every line ended by "\n":
//   Tempo 120 BPM<TAB>Sample rate 44100 Hz   ("No sample rate" when it does not read)
//   Note value<TAB>Plain (ms)<TAB>Dotted (ms)<TAB>Triplet (ms)<TAB>Plain (Hz)<TAB>...
//       ...Dotted (Hz)<TAB>Triplet (Hz)<TAB>Plain (samples)<TAB>Dotted (samples)<TAB>
//       ...Triplet (samples)
//   1/1 note<TAB>2000<TAB>3000<TAB>1333.333<TAB>0.5<TAB>...  (12 rows, 1/1 to 1/2048)
// Each row starts with its note value as a label ("1/16 note", as SlotLabel
// writes it), which no spreadsheet reads as a date or a fraction; every
// other cell is a plain number (RoundedText) or empty.
// Tempo and rate in the header as NumberToText writes them; each row has 10
// cells, a cell whose number fails (every samples cell when the rate does not
// read as positive) is empty, so the text always pastes as the same grid. No
// text when the tempo does not read as positive.
std::optional<std::string> DelayTableText(std::string_view tempoText, std::string_view rateText,
                                          char separator);

}  // namespace calc
