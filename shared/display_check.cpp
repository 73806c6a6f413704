#include "display_check.h"

#include <QMessageLogContext>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace startup {
namespace {

const char* programName = "";
QtMessageHandler previousHandler = nullptr;
bool watching = false;

struct HeldMessage {
  QtMsgType type;
  const char* file;
  int line;
  const char* function;
  const char* category;
  QString text;
};
std::vector<HeldMessage> held;

[[noreturn]] void EndWithoutDisplay() {
  std::fprintf(stderr,
               "%s needs a graphical session and cannot reach one; to run it without one: "
               "xvfb-run -a %s\n",
               programName, programName);
  std::fflush(stderr);
  std::_Exit(1);  // the application object is half made: run none of its clean-up
}

// Qt names the platforms it has after a failed start ("Available platform
// plugins are: eglfs, ..., xcb."); none for Wayland means qt6-wayland is missing.
bool WaylandPluginMissing(const QString& fatal) {
  const qsizetype list = fatal.indexOf(QLatin1String("Available platform plugins are:"));
  return list >= 0 && !fatal.mid(list).contains(QLatin1String("wayland"));
}

void LetThrough() {
  if (!watching) return;
  watching = false;
  qInstallMessageHandler(previousHandler);
  for (const HeldMessage& message : held) {
    const QMessageLogContext context(message.file, message.line, message.function,
                                     message.category);
    previousHandler(message.type, context, message.text);
  }
  held.clear();
}

// A Wayland display is there but Qt cannot use it: Qt's own account of the
// failure goes first (as a warning, without the abort that would only add a
// core dump, and without its advice to reinstall), then what to install.
[[noreturn]] void EndWithoutWaylandPlugin(const QMessageLogContext& context, QString text) {
  LetThrough();
  previousHandler(
      QtWarningMsg, context,
      text.remove(QLatin1String(" Reinstalling the application may fix this problem.")));
  std::fprintf(stderr,
               "%s cannot open a window on this Wayland display without the Qt platform plugin "
               "for Wayland: install the Debian package qt6-wayland, or give it an X display "
               "(DISPLAY, as XWayland does)\n",
               programName);
  std::fflush(stderr);
  std::_Exit(1);
}

void Watch(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type != QtFatalMsg) {
    held.push_back({type, context.file, context.line, context.function, context.category, text});
    return;
  }
  // The one fatal failure a missing or unreachable display causes.
  if (text.contains(QLatin1String("no Qt platform plugin could be initialized"))) {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland && *wayland && WaylandPluginMissing(text)) {
      EndWithoutWaylandPlugin(context, text);
    }
    EndWithoutDisplay();
  }
  LetThrough();
  previousHandler(type, context, text);
}

bool DisplayNamed() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

}  // namespace

DisplayCheck::DisplayCheck(const char* program, bool namedByOptions) {
  programName = program;
  if (!namedByOptions && !DisplayNamed()) EndWithoutDisplay();
  watching = true;
  previousHandler = qInstallMessageHandler(Watch);
}

DisplayCheck::~DisplayCheck() { LetThrough(); }

void DisplayCheck::Passed() { LetThrough(); }

}  // namespace startup
