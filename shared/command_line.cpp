#include "command_line.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "config_paths.h"
#include "detect_tempo.h"
#include "settings.h"
#include "version.h"

namespace cli {
namespace {

// Qt's own options, as Qt reads them (one or two leading dashes).
constexpr std::array<std::string_view, 16> kQtOptionsWithValue = {"platform",
                                                                  "platformpluginpath",
                                                                  "platformtheme",
                                                                  "plugin",
                                                                  "qwindowgeometry",
                                                                  "geometry",
                                                                  "qwindowtitle",
                                                                  "title",
                                                                  "qwindowicon",
                                                                  "icon",
                                                                  "session",
                                                                  "style",
                                                                  "stylesheet",
                                                                  "display",
                                                                  "name",
                                                                  "visual"};
constexpr std::array<std::string_view, 6> kQtFlags = {"reverse", "testability", "nograb",
                                                      "dograb",  "sync",        "widgetcount"};
// Options Qt also takes as -option=value.
constexpr std::array<std::string_view, 3> kQtOptionsWithAttachedValue = {"style", "stylesheet",
                                                                         "qmljsdebugger"};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

std::string FileLine(const QString& path) { return "    " + path.toStdString() + "\n"; }

std::vector<std::string> Arguments(int argc, const char* const* argv) {
  return std::vector<std::string>(argv + std::min(argc, 1), argv + std::max(argc, 0));
}

}  // namespace

Parsed Parse(const std::vector<std::string>& arguments) {
  Parsed parsed;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--help" || argument == "-h") return {Action::Help, {}};
    if (argument == "--version") return {Action::Version, {}};
    if (argument == "--detect-tempo") {
      if (i + 1 == arguments.size()) return {Action::Error, "--detect-tempo needs a file"};
      parsed.action = Action::DetectTempo;
      parsed.files.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());
      return parsed;
    }
    if (argument.size() < 2 || argument[0] != '-') {
      return {Action::Error, "unexpected argument '" + arguments[i] + "'"};
    }
    std::string_view name = argument.substr(argument.starts_with("--") ? 2 : 1);
    if (const auto equals = name.find('='); equals != std::string_view::npos) {
      if (Contains(kQtOptionsWithAttachedValue, name.substr(0, equals))) continue;
      return {Action::Error, "unknown option '" + arguments[i] + "'"};
    }
    if (Contains(kQtFlags, name)) continue;
    if (Contains(kQtOptionsWithValue, name)) {
      if (i + 1 == arguments.size()) {
        return {Action::Error, "option '" + arguments[i] + "' needs a value"};
      }
      ++i;
      if ((name == "platform" || name == "display") && !arguments[i].empty()) {
        parsed.namesDisplay = true;
        (name == "platform" ? parsed.namesPlatform : parsed.namesXDisplay) = true;
      }
      continue;
    }
    return {Action::Error, "unknown option '" + arguments[i] + "'"};
  }
  return parsed;
}

Parsed Parse(int argc, const char* const* argv) { return Parse(Arguments(argc, argv)); }

bool NamesDisplay(int argc, const char* const* argv) { return Parse(argc, argv).namesDisplay; }

std::string Usage(const ProgramText& program) {
  std::string text = std::string("Usage: ") + program.name + " [OPTION]...\n" + program.summary;
  text +=
      "\nOptions:\n"
      "  -h, --help     show this help and exit\n"
      "      --version  show the program's name and version and exit\n";
  if (program.name == kCalculator.name) {
    text +=
        "      --detect-tempo FILE...\n"
        "                 print the tempo of each audio file and exit, one line a file,\n"
        "                 tab-separated: path, tempo, bars when it is a loop, seconds,\n"
        "                 sample rate, samples (exit 1 when a file fails)\n";
  }
  text +=
      "Qt's own options (-platform, -style, -display, -geometry and the others) work\n"
      "as in every Qt program.\n"
      "\nFiles (under ~/.config, or under $XDG_CONFIG_HOME when that is an absolute path):\n"
      "  saved settings: layout, window position, tempo, slider (erased by RESET_TPV120)\n";
  text += FileLine(settings::StorePath(settings::kApplication));
  text +=
      "  preferences, chosen in the window menu (kept by RESET_TPV120): Keep Above\n"
      "  Other Windows, Reference Pitch, MIDI Numbering, Remember Sample Rate (with the\n"
      "  rate it keeps) and Tempo Source (Manual, JACK Transport, MIDI Clock)\n";
  text += FileLine(settings::PreferencesPath());
  text +=
      "\nFollowing a sequencer (a Tempo Source other than Manual) needs a running\n"
      "JACK server (jackd, or PipeWire with pipewire-jack) and the JACK library\n"
      "libjack.so.0 (package libjack-jackd2-0 or pipewire-jack), loaded only then.\n"
      "JACK Transport takes the tempo a timebase master (your sequencer) publishes;\n"
      "MIDI Clock needs a clock connected to the input port tempiva:midi_in.\n"
      "Tempiva never starts a server: it connects to the default one, or to the one\n"
      "JACK_DEFAULT_SERVER names, as every JACK program does.\n";
  return text;
}

std::string Version(const ProgramText& program) {
  return std::string(program.name) + " (Tempiva) " + build_info::kVersion +
         "\n"
         "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
         "This is free software: you are free to change and redistribute it.\n"
         "There is NO WARRANTY, to the extent permitted by law.\n";
}

std::optional<int> Handle(int argc, const char* const* argv, const ProgramText& program,
                          std::FILE* out, std::FILE* err) {
  const Parsed parsed = Parse(Arguments(argc, argv));
  switch (parsed.action) {
    case Action::Run:
      return std::nullopt;
    case Action::Help:
      std::fputs(Usage(program).c_str(), out);
      return std::fflush(out) == 0 && !std::ferror(out) ? 0 : 1;
    case Action::Version:
      std::fputs(Version(program).c_str(), out);
      return std::fflush(out) == 0 && !std::ferror(out) ? 0 : 1;
    case Action::DetectTempo:
      if (program.name == kCalculator.name) return DetectTempo(parsed.files, program.name, err);
      std::fprintf(err,
                   "%s: unknown option '--detect-tempo'\nTry '%s --help' for more information.\n",
                   program.name, program.name);
      return 2;
    case Action::Error:
      std::fprintf(err, "%s: %s\nTry '%s --help' for more information.\n", program.name,
                   parsed.error.c_str(), program.name);
      return 2;
  }
  return 2;
}

}  // namespace cli
