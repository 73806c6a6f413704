// Which of Qt's platforms the programs open on when the user chose none
// (neither QT_QPA_PLATFORM nor Qt's -platform option). Only X11 lets a
// window learn and keep its place, switch layouts in place and stay above
// others, so an X display is used wherever one is named (XWayland gives one
// on nearly every Wayland desktop); Wayland is used natively only when no X
// display is named or the named one cannot be reached.
#pragma once

#include <string>
#include <vector>

namespace startup {

struct DisplayEnvironment {
  std::string qpaPlatform;      // QT_QPA_PLATFORM
  std::string xDisplay;         // DISPLAY
  std::string waylandDisplay;   // WAYLAND_DISPLAY
  bool platformOption = false;  // Qt's -platform option
  bool xDisplayOption = false;  // Qt's -display option
  // The running program's: its environment and its command line.
  static DisplayEnvironment Current(int argc, const char* const* argv);
};

// The platforms for Qt to try in turn, as -platform takes them
// ("xcb;wayland"); empty leaves the choice to Qt, as when the user made one.
std::string DefaultPlatforms(const DisplayEnvironment& environment);

// The command line for the application object: the program's own, with
// "-platform PLATFORMS" added when DefaultPlatforms chooses. Passed as an
// option, not set in the environment, so that nothing the program starts
// (the browser Help opens) inherits the choice.
class QtArguments {
 public:
  QtArguments(int argc, const char* const* argv);
  QtArguments(const QtArguments&) = delete;
  QtArguments& operator=(const QtArguments&) = delete;

  // For QApplication(argc(), argv()): both live as long as this object.
  int& argc() { return argc_; }
  char** argv() { return pointers_.data(); }

 private:
  std::vector<std::string> texts_;
  std::vector<char*> pointers_;
  int argc_ = 0;
};

}  // namespace startup
