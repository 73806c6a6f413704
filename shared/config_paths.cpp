#include "config_paths.h"

#include <QDir>
#include <QStandardPaths>

namespace settings {

QString ConfigHome() {
  if (QStandardPaths::isTestModeEnabled())
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (QDir::isAbsolutePath(configured)) return QDir::cleanPath(configured);
  return QDir::homePath() + QStringLiteral("/.config");
}

QString PreferencesPath() { return ConfigHome() + QStringLiteral("/tempiva/preferences.ini"); }

}  // namespace settings
