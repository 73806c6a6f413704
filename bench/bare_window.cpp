// The yardstick for tpv120's start-up: a bare Qt Widgets program with one
// empty window of the compact window's size, built with the same flags. With
// TEMPIVA_BARE_LABEL set the window holds one text label, which shows what any
// window with text pays for loading the system's fonts.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "startup_probe.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setFixedSize(398, 229);
  window.setWindowTitle("bare");
  if (qEnvironmentVariableIsSet("TEMPIVA_BARE_LABEL")) new QLabel("120", &window);
  ui::StartupProbe::Install(app);
  window.show();
  return app.exec();
}
