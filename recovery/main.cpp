// RESET_TPV120: erases the calculator's saved settings.
#include <QApplication>

#include "display_check.h"
#include "reset_window.h"

int main(int argc, char* argv[]) {
  startup::DisplayCheck display("RESET_TPV120");
  QApplication app(argc, argv);
  display.Passed();
  QApplication::setApplicationName("RESET_TPV120");
  QGuiApplication::setDesktopFileName("org.example.Tempiva.Reset");
  recovery::ResetWindow window;
  window.show();
  return app.exec();
}
