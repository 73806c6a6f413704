// The programs' command line, read before any window exists so that --help
// and --version work without a display. Qt's own options pass through to Qt.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace cli {

struct ProgramText {
  const char* name;       // as the user types it: "tpv120"
  const char* desktopId;  // its desktop entry, without ".desktop"
  const char* summary;    // what the program does, already wrapped
};

inline constexpr ProgramText kCalculator{
    "tpv120", "org.example.Tempiva",
    "Tempiva: delay times for every note value, samples per beat and loop tempo,\n"
    "and note frequencies with MIDI numbers, all for one tempo.\n"};
inline constexpr ProgramText kRecovery{
    "RESET_TPV120", "org.example.Tempiva.Reset",
    "Erases the saved settings of the Tempiva calculator tpv120 (its layout, window\n"
    "position, tempo and slider), so that it starts again with its defaults: the\n"
    "remedy for a window that lies off the screen. Preferences are kept.\n"};

enum class Action { Run, Help, Version, DetectTempo, Error };

struct Parsed {
  Action action = Action::Run;
  std::string error;                    // one line, for Action::Error
  bool namesDisplay = false;            // Qt's -platform or -display option, with a value
  bool namesPlatform = false;           // Qt's -platform option, with a value
  bool namesXDisplay = false;           // Qt's -display option (an X display), with a value
  std::vector<std::string> files = {};  // after --detect-tempo: every argument that follows
};

// Reads the arguments after the program name: --help (-h) and --version end
// the reading; Qt's options are skipped with their values; anything else is
// an error.
Parsed Parse(const std::vector<std::string>& arguments);

// Parse, from main's arguments.
Parsed Parse(int argc, const char* const* argv);

// Whether Qt's own options name the display or platform to open on.
bool NamesDisplay(int argc, const char* const* argv);

std::string Usage(const ProgramText& program);
std::string Version(const ProgramText& program);

// Does what the command line asks before the program starts: prints the usage
// or the version to `out` (status 0), or an error and a hint to `err` (status
// 2). Nothing when the program should go on and open its window.
std::optional<int> Handle(int argc, const char* const* argv, const ProgramText& program,
                          std::FILE* out = stdout, std::FILE* err = stderr);

}  // namespace cli
