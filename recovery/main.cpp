// RESET_TPV120: erases the calculator's saved settings.
#include <QApplication>

#include "reset_window.h"
#include "startup.h"

int main(int argc, char* argv[]) {
  return startup::Run(argc, argv, cli::kRecovery, [](QApplication& app) {
    recovery::ResetWindow window;
    window.show();
    // Some window managers (openbox) give a window kept out of the taskbar no
    // focus of their own accord; the button must have it from the start.
    window.activateWindow();
    return app.exec();
  });
}
