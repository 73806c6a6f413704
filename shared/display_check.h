// Both programs need a display. Without one, or with one that cannot be
// reached, each ends at once with status 1 and the same one line on standard
// error, rather than with the platform's abort and its advice to reinstall.
// Where only a Wayland display is named and Qt lacks its Wayland plugin,
// Qt's diagnostic is let through and the line names the package to install.
#pragma once

namespace startup {

// Made just before the application object, told Passed() just after it.
class DisplayCheck {
 public:
  // Ends the program when no display is named, in the environment or (as
  // `namedByOptions` tells) by Qt's -platform or -display option; otherwise
  // holds back the messages of the application's start to see whether the
  // platform fails.
  DisplayCheck(const char* program, bool namedByOptions);
  ~DisplayCheck();
  DisplayCheck(const DisplayCheck&) = delete;
  DisplayCheck& operator=(const DisplayCheck&) = delete;

  // The application object exists: the held messages are let through.
  void Passed();
};

}  // namespace startup
