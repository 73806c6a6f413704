#include "config_paths.h"

#include <QDir>

namespace settings {

QString ConfigHome() {
  const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return QDir::cleanPath(xdg);
  return QDir::homePath() + QStringLiteral("/.config");
}

QString PreferencesPath() { return ConfigHome() + QStringLiteral("/tempiva/preferences.ini"); }

}  // namespace settings
