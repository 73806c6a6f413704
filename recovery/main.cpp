// RESET_TPV120: erases the calculator's saved settings.
#include <QApplication>

#include "command_line.h"
#include "display_check.h"
#include "identity.h"
#include "platform_choice.h"
#include "reset_window.h"

int main(int argc, char* argv[]) {
  if (const auto status = cli::Handle(argc, argv, cli::kRecovery)) return *status;
  startup::DisplayCheck display("RESET_TPV120", cli::NamesDisplay(argc, argv));
  startup::QtArguments qtArguments(argc, argv);  // X11 where it can be reached
  QApplication app(qtArguments.argc(), qtArguments.argv());
  display.Passed();
  startup::Identify(cli::kRecovery);
  recovery::ResetWindow window;
  window.show();
  // Some window managers (openbox) give a window kept out of the taskbar no
  // focus of their own accord; the button must have it from the start.
  window.activateWindow();
  return app.exec();
}
