// The yardstick for tpv120's start-up: a bare Qt Widgets program with one
// empty window of the compact window's size, built with the same flags.
#include <QApplication>
#include <QWidget>

#include "startup_probe.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setFixedSize(398, 229);
  window.setWindowTitle("bare");
  ui::StartupProbe::InstallIfAsked(app);
  window.show();
  return app.exec();
}
