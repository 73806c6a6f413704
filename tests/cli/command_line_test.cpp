// The programs' command line: what ends the start before a window opens, and
// which of Qt's own options pass through.
#include "command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "test_names.h"

namespace {

using calc_test::RowName;
using cli::Action;

struct ParseRow {
  const char* name;
  std::vector<std::string> arguments;
  Action action;
  std::string error;
};

class ParseTest : public testing::TestWithParam<ParseRow> {};

TEST_P(ParseTest, DecidesBeforeAnyWindow) {
  const auto& row = GetParam();
  const cli::Parsed parsed = cli::Parse(row.arguments);
  EXPECT_EQ(parsed.action, row.action);
  EXPECT_EQ(parsed.error, row.error);
}

INSTANTIATE_TEST_SUITE_P(
    Ours, ParseTest,
    testing::Values(ParseRow{"NoArguments", {}, Action::Run, ""},
                    ParseRow{"Help", {"--help"}, Action::Help, ""},
                    ParseRow{"ShortHelp", {"-h"}, Action::Help, ""},
                    ParseRow{"Version", {"--version"}, Action::Version, ""},
                    ParseRow{"HelpAfterQtOption", {"-platform", "xcb", "--help"}, Action::Help, ""},
                    ParseRow{
                        "FirstOfHelpAndVersionWins", {"--version", "--help"}, Action::Version, ""},
                    ParseRow{"DetectTempo", {"--detect-tempo", "a.wav"}, Action::DetectTempo, ""},
                    ParseRow{"DetectTempoTakesEveryArgumentAsAFile",
                             {"-platform", "xcb", "--detect-tempo", "--help", "-x"},
                             Action::DetectTempo,
                             ""}),
    RowName{});

INSTANTIATE_TEST_SUITE_P(
    QtOptions, ParseTest,
    testing::Values(
        ParseRow{"Platform", {"-platform", "offscreen"}, Action::Run, ""},
        ParseRow{"PlatformTwoDashes", {"--platform", "offscreen"}, Action::Run, ""},
        ParseRow{"StyleWithValue", {"-style", "Fusion"}, Action::Run, ""},
        ParseRow{"StyleAttached", {"-style=Fusion"}, Action::Run, ""},
        ParseRow{"Display", {"-display", ":1"}, Action::Run, ""},
        ParseRow{"Geometry", {"-geometry", "400x300+10+10"}, Action::Run, ""},
        ParseRow{"ValueLooksLikeOption", {"-qwindowtitle", "--help"}, Action::Run, ""},
        ParseRow{"Flags", {"-reverse", "-nograb", "-sync"}, Action::Run, ""},
        ParseRow{"Several", {"-platform", "xcb", "-style", "Fusion", "-reverse"}, Action::Run, ""}),
    RowName{});

INSTANTIATE_TEST_SUITE_P(
    Errors, ParseTest,
    testing::Values(
        ParseRow{"UnknownLong", {"--bogus"}, Action::Error, "unknown option '--bogus'"},
        ParseRow{"UnknownShort", {"-x"}, Action::Error, "unknown option '-x'"},
        ParseRow{"HelpMisspelt", {"--hlep"}, Action::Error, "unknown option '--hlep'"},
        ParseRow{"Positional", {"song.txt"}, Action::Error, "unexpected argument 'song.txt'"},
        ParseRow{"LoneDash", {"-"}, Action::Error, "unexpected argument '-'"},
        ParseRow{"MissingValue", {"-platform"}, Action::Error, "option '-platform' needs a value"},
        ParseRow{"DetectTempoWithoutAFile",
                 {"--detect-tempo"},
                 Action::Error,
                 "--detect-tempo needs a file"},
        ParseRow{"AttachedValueQtDoesNotTake",
                 {"-platform=xcb"},
                 Action::Error,
                 "unknown option '-platform=xcb'"},
        ParseRow{
            "UnknownBeforeHelp", {"--bogus", "--help"}, Action::Error, "unknown option '--bogus'"}),
    RowName{});

struct HandleRow {
  const char* name;
  std::vector<const char*> argv;
  int status;  // -1: the program goes on
  std::string out;
  std::string err;  // what the error output starts with
};

class HandleTest : public testing::TestWithParam<HandleRow> {};

std::string Contents(std::FILE* file) {
  std::rewind(file);
  std::string text;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text.push_back(char(c));
  return text;
}

TEST_P(HandleTest, PrintsAndEnds) {
  const auto& row = GetParam();
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  ASSERT_TRUE(out && err);
  const std::optional<int> status =
      cli::Handle(int(row.argv.size()), row.argv.data(), cli::kCalculator, out, err);
  EXPECT_EQ(status.value_or(-1), row.status);
  const std::string printed = Contents(out);
  EXPECT_EQ(printed.substr(0, row.out.size()), row.out);
  EXPECT_EQ(printed.empty(), row.out.empty());
  EXPECT_EQ(Contents(err), row.err);
  std::fclose(out);
  std::fclose(err);
}

INSTANTIATE_TEST_SUITE_P(
    Calculator, HandleTest,
    testing::Values(
        HandleRow{"Runs", {"tpv120"}, -1, "", ""},
        HandleRow{"RunsWithoutProgramName", {}, -1, "", ""},
        HandleRow{"Help", {"tpv120", "--help"}, 0, "Usage: tpv120 [OPTION]...\n", ""},
        HandleRow{"Version", {"tpv120", "--version"}, 0, "tpv120 (Tempiva) 1.20\n", ""},
        HandleRow{"Unknown",
                  {"tpv120", "--bogus"},
                  2,
                  "",
                  "tpv120: unknown option '--bogus'\nTry 'tpv120 --help' for more information.\n"}),
    RowName{});

TEST(UsageTest, NamesBothFilesAndTheOptions) {
  const std::string usage = cli::Usage(cli::kRecovery);
  EXPECT_EQ(usage.rfind("Usage: RESET_TPV120 [OPTION]...\nErases the saved settings", 0), 0u);
  for (const char* part : {"--help", "--version", "-platform", "/tempiva/TPVINI.ini\n",
                           "/tempiva/preferences.ini\n", "Preferences are kept."}) {
    EXPECT_NE(usage.find(part), std::string::npos) << part;
  }
}

// What a user reads before relying on either program: every preference, what
// following a sequencer needs, and the licence in GNU's words.
TEST(UsageTest, BothProgramsNamePreferencesJackAndLicence) {
  for (const cli::ProgramText* program : {&cli::kCalculator, &cli::kRecovery}) {
    const std::string usage = cli::Usage(*program);
    for (const char* part :
         {"Keep Above", "Reference Pitch", "MIDI Numbering", "Remember Sample Rate", "Tempo Source",
          "JACK server", "libjack.so.0", "tempiva:midi_in"}) {
      EXPECT_NE(usage.find(part), std::string::npos) << program->name << ": " << part;
    }
    EXPECT_NE(
        cli::Version(*program).find(
            "\nLicense GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
            "This is free software: you are free to change and redistribute it.\n"
            "There is NO WARRANTY, to the extent permitted by law.\n"),
        std::string::npos)
        << program->name;
  }
}

}  // namespace
