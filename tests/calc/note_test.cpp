// The note calculator: frequency and MIDI number of a note in an octave.
#include "calc/note.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
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

TEST(NoteNamesTest, ChromaticOrderFromC) {
  const std::array<std::string_view, 12> expected = {"C",  "C#", "D",  "D#", "E",  "F",
                                                     "F#", "G",  "G#", "A",  "A#", "B"};
  EXPECT_EQ(calc::kNoteNames, expected);
}

}  // namespace
