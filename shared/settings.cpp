#include "settings.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <vector>

namespace settings {
namespace {

QString GroupKey(const QString& section, const QString& key) { return section + '/' + key; }

struct PendingWrite {
  QString application, section, key, text;
};
int batchDepth = 0;
std::vector<PendingWrite> pending;

bool Store(const QString& application, const std::vector<PendingWrite>& writes) {
  QSettings store(StorePath(application), QSettings::IniFormat);
  for (const PendingWrite& write : writes) {
    if (write.application == application)
      store.setValue(GroupKey(write.section, write.key), write.text);
  }
  store.sync();
  return store.status() == QSettings::NoError;
}

// Every line of a sound file is blank, a comment, a [section] header or a
// key=value pair. The check reads the file itself each time, since the
// settings classes keep a parsed copy per process that would hide damage.
bool WellFormed(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray content = file.readAll();
  if (content.contains('\0')) return false;
  for (const QByteArray& raw : content.split('\n')) {
    const QByteArray line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
    if (line.startsWith('[') && line.endsWith(']')) continue;
    const qsizetype equals = line.indexOf('=');
    if (equals > 0 && !line.startsWith('[')) continue;
    return false;
  }
  return true;
}

}  // namespace

QString StorePath(const QString& application) {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/tempiva/") + application + QStringLiteral(".ini");
}

QString ReadSetting(const QString& application, const QString& section, const QString& key,
                    const QString& defaultText) {
  const QString path = StorePath(application);
  if (!QFileInfo(path).isFile() || !WellFormed(path)) return defaultText;
  QSettings store(path, QSettings::IniFormat);
  if (store.status() != QSettings::NoError) return defaultText;  // unreadable or corrupt
  const QVariant value = store.value(GroupKey(section, key));
  if (!value.isValid()) return defaultText;
  // A hand-edited value with unquoted commas reads as a list: give back its text.
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(',');
  if (!value.canConvert<QString>()) return defaultText;
  return value.toString();
}

bool WriteSetting(const QString& application, const QString& section, const QString& key,
                  const QString& text) {
  if (batchDepth > 0) {
    pending.push_back({application, section, key, text});
    return true;
  }
  return Store(application, {{application, section, key, text}});
}

QHash<QString, QString> ReadSection(const QString& application, const QString& section) {
  QHash<QString, QString> values;
  for (const QString& key : {QStringLiteral("Left"), QStringLiteral("Top"), QStringLiteral("BPM"),
                             QStringLiteral("Slider"), QStringLiteral("State")}) {
    const QString text = ReadSetting(application, section, key, QString());
    if (!text.isNull()) values.insert(key, text);
  }
  return values;
}

bool WriteSettings(const QString& application, const QString& section,
                   const QList<std::pair<QString, QString>>& values) {
  std::vector<PendingWrite> writes;
  for (const auto& [key, text] : values) writes.push_back({application, section, key, text});
  return Store(application, writes);
}

WriteBatch::WriteBatch() { ++batchDepth; }

WriteBatch::~WriteBatch() {
  if (--batchDepth > 0) return;
  const std::vector<PendingWrite> writes = std::move(pending);
  pending.clear();
  QStringList applications;
  for (const PendingWrite& write : writes) {
    if (!applications.contains(write.application)) applications << write.application;
  }
  for (const QString& application : applications) (void)Store(application, writes);
}

bool DeleteSettingsSection(const QString& application, const QString& section) {
  const QString path = StorePath(application);
  if (!QFileInfo::exists(path)) return true;
  QSettings store(path, QSettings::IniFormat);
  store.remove(section);
  store.sync();
  return store.status() == QSettings::NoError;
}

}  // namespace settings
