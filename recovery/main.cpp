// RESET_TPV120: erases the calculator's saved settings.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "command_line.h"
#include "reset_window.h"

int main(int argc, char* argv[]) {
  if (const auto status = cli::Handle(argc, argv, cli::kRecovery)) return *status;
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (!(display && *display) && !(wayland && *wayland) && !(platform && *platform)) {
    std::fputs(
        "RESET_TPV120 needs a graphical session, and none was found.\n"
        "To run it without one: xvfb-run -a RESET_TPV120\n",
        stderr);
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("RESET_TPV120");
  QGuiApplication::setDesktopFileName("org.example.Tempiva.Reset");
  recovery::ResetWindow window;
  window.show();
  return app.exec();
}
