#include "identity.h"

#include <QGuiApplication>

namespace startup {

void Identify(const cli::ProgramText& program) {
  QCoreApplication::setApplicationName(QString::fromUtf8(program.name));
  QGuiApplication::setDesktopFileName(QString::fromUtf8(program.desktopId));
}

}  // namespace startup
