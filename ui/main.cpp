// tpv120: the calculator.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "calculator_window.h"
#include "desktop_shell.h"
#include "looks.h"
#include "program.h"
#include "startup_probe.h"

namespace {
bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}
}  // namespace

int main(int argc, char* argv[]) {
  if (!HasDisplay()) {
    std::fputs(
        "tpv120 needs a graphical session, and none was found (DISPLAY and WAYLAND_DISPLAY are "
        "not set).\nTo run it without one, start it in a virtual display: xvfb-run -a tpv120\n",
        stderr);
    return 1;
  }
  QApplication app(argc, argv);
  ui::InitApplication();
  QApplication::setQuitOnLastWindowClosed(false);  // hidden windows stay loaded

  ui::XdgDesktopShell shell;
  ui::Program program(ui::DecimalSeparator(QLocale()), shell);
  QObject::connect(&program, &ui::Program::finished, &app, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  ui::StartupProbe::InstallIfAsked(app);
  program.Start();
  return app.exec();
}
