// The note calculator: frequency and MIDI number of a note in an octave.
#include "calc/note.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calc/numeric_text.h"
#include "test_names.h"

namespace {

using calc_test::RowName;

constexpr std::size_t kFrequencyBoxLength = 7;

struct FrequencyRow {
  const char* name;
  const char* octave;
  const char* index;
  const char* expected;  // as the 7-character box shows it
};

class NoteFrequencyBoxTest : public testing::TestWithParam<FrequencyRow> {};

TEST_P(NoteFrequencyBoxTest, ShowsCutFrequency) {
  const auto& row = GetParam();
  const std::optional<std::string> text = calc::NoteFrequencyText(row.octave, row.index, '.');
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(calc::FitToBox(*text, kFrequencyBoxLength, '.'), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Octave0, NoteFrequencyBoxTest,
                         testing::Values(FrequencyRow{"C0", "0", "0", "16.3516"},
                                         FrequencyRow{"CSharp0", "0", "1", "17.3239"},
                                         FrequencyRow{"D0", "0", "2", "18.3540"},
                                         FrequencyRow{"DSharp0", "0", "3", "19.4454"},
                                         FrequencyRow{"E0", "0", "4", "20.6017"},
                                         FrequencyRow{"F0", "0", "5", "21.8267"},
                                         FrequencyRow{"FSharp0", "0", "6", "23.1246"},
                                         FrequencyRow{"G0", "0", "7", "24.4997"},
                                         FrequencyRow{"GSharp0", "0", "8", "25.9565"},
                                         FrequencyRow{"A0KeepsTrailingZeros", "0", "9", "27.5000"},
                                         FrequencyRow{"ASharp0", "0", "10", "29.1352"},
                                         FrequencyRow{"B0", "0", "11", "30.8677"}),
                         RowName{});

INSTANTIATE_TEST_SUITE_P(Octave4, NoteFrequencyBoxTest,
                         testing::Values(FrequencyRow{"C4", "4", "0", "261.625"},
                                         FrequencyRow{"CSharp4NotRoundedUp", "4", "1", "277.182"},
                                         FrequencyRow{"D4", "4", "2", "293.664"},
                                         FrequencyRow{"DSharp4", "4", "3", "311.127"},
                                         FrequencyRow{"E4", "4", "4", "329.627"},
                                         FrequencyRow{"F4", "4", "5", "349.228"},
                                         FrequencyRow{"FSharp4", "4", "6", "369.994"},
                                         FrequencyRow{"G4", "4", "7", "391.995"},
                                         FrequencyRow{"GSharp4", "4", "8", "415.304"},
                                         FrequencyRow{"A4", "4", "9", "440.000"},
                                         FrequencyRow{"ASharp4", "4", "10", "466.163"},
                                         FrequencyRow{"B4", "4", "11", "493.883"}),
                         RowName{});

INSTANTIATE_TEST_SUITE_P(Octave10, NoteFrequencyBoxTest,
                         testing::Values(FrequencyRow{"C10", "10", "0", "16744.0"},
                                         FrequencyRow{"CSharp10", "10", "1", "17739.6"},
                                         FrequencyRow{"D10", "10", "2", "18794.5"},
                                         FrequencyRow{"DSharp10", "10", "3", "19912.1"},
                                         FrequencyRow{"E10", "10", "4", "21096.1"},
                                         FrequencyRow{"F10", "10", "5", "22350.6"},
                                         FrequencyRow{"FSharp10", "10", "6", "23679.6"},
                                         FrequencyRow{"G10", "10", "7", "25087.7"},
                                         FrequencyRow{"GSharp10", "10", "8", "26579.5"},
                                         FrequencyRow{"A10", "10", "9", "28160.0"},
                                         FrequencyRow{"ASharp10", "10", "10", "29834.4"},
                                         FrequencyRow{"B10", "10", "11", "31608.5"}),
                         RowName{});

struct NoteTextRow {
  const char* name;
  const char* octave;
  const char* index;
  char separator;
  std::optional<std::string> expected;
};

class NoteFrequencyTextTest : public testing::TestWithParam<NoteTextRow> {};

TEST_P(NoteFrequencyTextTest, WritesFullText) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::NoteFrequencyText(row.octave, row.index, row.separator), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, NoteFrequencyTextTest,
                         testing::Values(NoteTextRow{"A4", "4", "9", '.', "440.000058357204"},
                                         NoteTextRow{"CSharp4", "4", "1", '.', "277.182667739607"},
                                         NoteTextRow{"A0", "0", "9", '.', "27.5000036473253"},
                                         NoteTextRow{"A4Comma", "4", "9", ',', "440,000058357204"},
                                         NoteTextRow{"EmptyOctave", "", "9", '.', std::nullopt},
                                         NoteTextRow{"IndexNotANumber", "4", "A", '.',
                                                     std::nullopt}),
                         RowName{});

class MidiNumberTextTest : public testing::TestWithParam<NoteTextRow> {};

TEST_P(MidiNumberTextTest, CountsFromCInOctaveZero) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::MidiNumberText(row.octave, row.index, row.separator), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, MidiNumberTextTest,
    testing::Values(NoteTextRow{"A4", "4", "9", '.', "57"}, NoteTextRow{"C4", "4", "0", '.', "48"},
                    NoteTextRow{"C0IsZero", "0", "0", '.', "0"},
                    NoteTextRow{"B0", "0", "11", '.', "11"},
                    NoteTextRow{"C10", "10", "0", '.', "120"},
                    NoteTextRow{"B10NotClamped", "10", "11", '.', "131"},
                    NoteTextRow{"EmptyIndex", "4", "", '.', std::nullopt},
                    NoteTextRow{"OctaveNotANumber", "x", "9", '.', std::nullopt}),
    RowName{});

struct PitchRow {
  const char* name;
  double reference;
  const char* octave;
  const char* index;
  std::optional<std::string> expected;  // full text
  const char* shown;                    // as the 7-character box shows it
};

class ReferencePitchTest : public testing::TestWithParam<PitchRow> {};

TEST_P(ReferencePitchTest, ScalesTheBaseFrequency) {
  const auto& row = GetParam();
  const std::optional<std::string> text =
      calc::NoteFrequencyText(row.octave, row.index, '.', row.reference);
  EXPECT_EQ(text, row.expected);
  if (text) {
    EXPECT_EQ(calc::FitToBox(*text, kFrequencyBoxLength, '.'), row.shown);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pitches, ReferencePitchTest,
    testing::Values(PitchRow{"A4At415", 415, "4", "9", "415.000055041454", "415.000"},
                    PitchRow{"A4At430", 430, "4", "9", "430.000057030904", "430.000"},
                    PitchRow{"A4At432", 432, "4", "9", "432.000057296164", "432.000"},
                    PitchRow{"C4At432", 432, "4", "0", "256.868770909091", "256.868"},
                    PitchRow{"C0At432", 432, "0", "0", "16.0542981818182", "16.0542"},
                    PitchRow{"A4At435", 435, "4", "9", "435.000057694054", "435.000"},
                    PitchRow{"A4At440IsToday", 440, "4", "9", "440.000058357204", "440.000"},
                    PitchRow{"C0At440IsTheBase", 440, "0", "0", "16.3516", "16.3516"},
                    PitchRow{"A4At442", 442, "4", "9", "442.000058622465", "442.000"},
                    PitchRow{"C4At442", 442, "4", "0", "262.814807272727", "262.814"},
                    PitchRow{"A4At443", 443, "4", "9", "443.000058755094", "443.000"},
                    PitchRow{"A4At444", 444, "4", "9", "444.000058887724", "444.000"},
                    PitchRow{"A4At446", 446, "4", "9", "446.000059152984", "446.000"},
                    PitchRow{"B10At446", 446, "10", "11", "32039.5609563495", "32039.5"},
                    PitchRow{"B10At415", 415, "10", "11", "29812.5959571413", "29812.5"},
                    PitchRow{"A4At392", 392, "4", "9", "392.000051990964", "392.000"},
                    PitchRow{"C4At392", 392, "4", "0", "233.084625454545", "233.084"},
                    PitchRow{"A4At466", 466, "4", "9", "466.000061805585", "466.000"},
                    PitchRow{"C4At466", 466, "4", "0", "277.085294545455", "277.085"},
                    PitchRow{"A4AtATenth", 415.3, "4", "9", "415.300055081243", "415.300"},
                    PitchRow{"ZeroReference", 0, "4", "9", std::nullopt, ""},
                    PitchRow{"NegativeReference", -440, "4", "9", std::nullopt, ""},
                    PitchRow{"InfiniteReference", HUGE_VAL, "4", "9", std::nullopt, ""},
                    PitchRow{"NotANumberReference", NAN, "4", "9", std::nullopt, ""},
                    PitchRow{"OctaveNotANumber", 432, "x", "9", std::nullopt, ""}),
    RowName{});

// At the standard pitch every frequency is the designed one, bit for bit.
TEST(StandardPitchTest, ChangesNoBit) {
  ASSERT_EQ(calc::BaseFrequency(calc::kStandardPitch), calc::kBaseFrequency);
  for (int octave = 0; octave <= 10; ++octave) {
    for (int index = 0; index < calc::kNotesPerOctave; ++index) {
      const auto designed = calc::NoteFrequency(octave, index);
      const auto tuned = calc::NoteFrequency(
          octave, index, calc::BaseFrequency(calc::kStandardPitch).value_or(0.0));
      ASSERT_TRUE(designed && tuned);
      EXPECT_EQ(std::bit_cast<std::uint64_t>(*designed), std::bit_cast<std::uint64_t>(*tuned))
          << "octave " << octave << " index " << index;
    }
  }
}

struct NumberingRow {
  const char* name;
  calc::MidiNumbering numbering;
  const char* octave;
  const char* index;
  std::optional<std::string> expected;
};

class MidiNumberingTest : public testing::TestWithParam<NumberingRow> {};

TEST_P(MidiNumberingTest, CountsFromTheChosenC) {
  const auto& row = GetParam();
  EXPECT_EQ(calc::MidiNumberText(row.octave, row.index, '.', row.numbering), row.expected);
}

constexpr auto kFromC0 = calc::MidiNumbering::C0IsZero;
constexpr auto kFromCMinus1 = calc::MidiNumbering::CMinus1IsZero;

INSTANTIATE_TEST_SUITE_P(
    Numberings, MidiNumberingTest,
    testing::Values(NumberingRow{"A4FromC0", kFromC0, "4", "9", "57"},
                    NumberingRow{"A4FromCMinus1", kFromCMinus1, "4", "9", "69"},
                    NumberingRow{"C0FromCMinus1", kFromCMinus1, "0", "0", "12"},
                    NumberingRow{"C4FromCMinus1IsMiddleC", kFromCMinus1, "4", "0", "60"},
                    NumberingRow{"G9FromCMinus1IsTheHighest", kFromCMinus1, "9", "7", "127"},
                    NumberingRow{"GSharp9FromCMinus1HasNone", kFromCMinus1, "9", "8", ""},
                    NumberingRow{"B10FromCMinus1HasNone", kFromCMinus1, "10", "11", ""},
                    NumberingRow{"B10FromC0Kept", kFromC0, "10", "11", "131"},
                    NumberingRow{"EmptyOctaveFromCMinus1", kFromCMinus1, "", "9", std::nullopt}),
    RowName{});

TEST(NoteNamesTest, ChromaticOrderFromC) {
  const std::array<std::string_view, 12> expected = {"C",  "C#", "D",  "D#", "E",  "F",
                                                     "F#", "G",  "G#", "A",  "A#", "B"};
  EXPECT_EQ(calc::kNoteNames, expected);
}

}  // namespace
