// tpv120: the calculator.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>

#include "config_paths.h"
#include "extras.h"
#include "startup.h"
#include "ui/calculator_window.h"
#include "ui/desktop_shell.h"
#include "ui/program.h"
#include "ui/window_tools.h"
#ifdef TEMPIVA_STARTUP_PROBE
#include "startup_probe.h"
#endif

namespace {

int terminationPipe[2] = {-1, -1};

void OnTerminate(int) {
  const char byte = 1;
  [[maybe_unused]] const auto written = ::write(terminationPipe[1], &byte, 1);
}

// A terminate or interrupt request (a session logging out, Ctrl+C in a
// terminal) ends the program as its close box would, saving its settings.
void EndOnTerminate(ui::Program& program) {
  if (::pipe2(terminationPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(terminationPipe[0], QSocketNotifier::Read, &program);
  QObject::connect(notifier, &QSocketNotifier::activated, &program, [&program] {
    char byte;
    while (::read(terminationPipe[0], &byte, 1) > 0) {
    }
    program.CloseAll();
  });
  struct sigaction action = {};
  action.sa_handler = OnTerminate;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}
}  // namespace

int main(int argc, char* argv[]) {
  return startup::Run(argc, argv, cli::kCalculator, [](QApplication& app) {
    ui::InitApplication();
    QApplication::setQuitOnLastWindowClosed(false);  // hidden windows stay loaded

    ui::XdgDesktopShell shell;
    ui::Program program(ui::DecimalSeparator(QLocale()), shell);
    extras::Extras programExtras(program, extras::PreferencesFile(settings::PreferencesPath()));
    // Queued: the handler that ended the run (its settings already written)
    // returns and its window's deferred deletion is queued before the loop ends.
    QObject::connect(&program, &ui::Program::finished, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
#ifdef TEMPIVA_STARTUP_PROBE
    ui::StartupProbe::Install(app);
#endif
    EndOnTerminate(program);
    program.Start();
    return app.exec();
  });
}
