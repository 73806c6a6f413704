// The platform the programs open on when the user chose none: X11 wherever
// an X display is named, Wayland only without one, and the user's own choice
// (QT_QPA_PLATFORM or -platform) untouched.
#include "platform_choice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "test_names.h"

namespace {

using calc_test::RowName;
using startup::DisplayEnvironment;

struct ChoiceRow {
  const char* name;
  DisplayEnvironment environment;  // QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY, options
  std::string platforms;           // empty: Qt chooses
};

class PlatformChoiceTest : public testing::TestWithParam<ChoiceRow> {};

TEST_P(PlatformChoiceTest, PrefersX11) {
  EXPECT_EQ(startup::DefaultPlatforms(GetParam().environment), GetParam().platforms);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, PlatformChoiceTest,
    testing::Values(
        ChoiceRow{"NoDisplay", {"", "", "", false, false}, ""},
        ChoiceRow{"X11Only", {"", ":0", "", false, false}, "xcb"},
        ChoiceRow{"WaylandWithXWayland", {"", ":0", "wayland-0", false, false}, "xcb;wayland"},
        ChoiceRow{"WaylandOnly", {"", "", "wayland-0", false, false}, "wayland"},
        ChoiceRow{"XDisplayOption", {"", "", "wayland-0", false, true}, "xcb;wayland"},
        ChoiceRow{"UserAsksForWayland", {"wayland", ":0", "wayland-0", false, false}, ""},
        ChoiceRow{"UserAsksForX11", {"xcb", "", "wayland-0", false, false}, ""},
        ChoiceRow{"UserAsksOffscreen", {"offscreen", "", "", false, false}, ""},
        ChoiceRow{"PlatformOption", {"", ":0", "wayland-0", true, false}, ""}),
    RowName{});

// The environment variables one case sets, put back as they were.
class Environment {
 public:
  explicit Environment(std::vector<std::pair<const char*, const char*>> values) {
    for (const auto& [name, value] : values) {
      const char* old = std::getenv(name);
      saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
      value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
  }
  ~Environment() {
    for (const auto& [name, value] : saved_) {
      value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
  }

 private:
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

struct ArgumentsRow {
  const char* name;
  const char* display;  // DISPLAY, null: unset (WAYLAND_DISPLAY is set)
  std::vector<const char*> argv;
  std::vector<std::string> passed;  // what the application object gets
};

class QtArgumentsTest : public testing::TestWithParam<ArgumentsRow> {};

TEST_P(QtArgumentsTest, AddsThePlatformAfterTheProgramName) {
  const auto& row = GetParam();
  Environment environment(
      {{"QT_QPA_PLATFORM", nullptr}, {"DISPLAY", row.display}, {"WAYLAND_DISPLAY", "wayland-1"}});
  std::vector<const char*> argv = row.argv;
  argv.push_back(nullptr);
  startup::QtArguments arguments(int(row.argv.size()), argv.data());
  EXPECT_EQ(std::vector<std::string>(arguments.argv(), arguments.argv() + arguments.argc()),
            row.passed);
  EXPECT_EQ(arguments.argv()[arguments.argc()], nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, QtArgumentsTest,
    testing::Values(ArgumentsRow{"XWayland",
                                 ":7",
                                 {"tpv120", "-style", "Fusion"},
                                 {"tpv120", "-platform", "xcb;wayland", "-style", "Fusion"}},
                    ArgumentsRow{
                        "WaylandOnly", nullptr, {"tpv120"}, {"tpv120", "-platform", "wayland"}},
                    ArgumentsRow{"XDisplayOption",
                                 nullptr,
                                 {"tpv120", "-display", ":7"},
                                 {"tpv120", "-platform", "xcb;wayland", "-display", ":7"}},
                    ArgumentsRow{"UsersPlatformOption",
                                 ":7",
                                 {"tpv120", "-platform", "wayland"},
                                 {"tpv120", "-platform", "wayland"}},
                    ArgumentsRow{"NoProgramName", ":7", {}, {}}),
    RowName{});

}  // namespace
