#include "preferences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cstdio>
#include <utility>

namespace ui {
namespace {

// Stored names are frozen once released: users' files contain them.
constexpr char kSection[] = "[Preferences]";
constexpr char kKeepAboveKey[] = "KeepAbove";
constexpr char kReferencePitchKey[] = "ReferencePitch";
constexpr char kNumberingKey[] = "MidiNumbering";
constexpr char kFromC0[] = "C0";
constexpr char kFromCMinus1[] = "C-1";

// Far more than the file ever holds; a larger one is damaged, not read whole.
constexpr qint64 kMaxFileSize = 64 * 1024;

std::optional<bool> ReadFlag(const QByteArray& value) {
  const QByteArray lower = value.toLower();
  if (lower == "true") return true;
  if (lower == "false") return false;
  return std::nullopt;
}

std::optional<int> ReadPitch(const QByteArray& value) {
  bool ok = false;
  const int pitch = value.toInt(&ok);
  if (!ok || std::find(kReferencePitches.begin(), kReferencePitches.end(), pitch) ==
                 kReferencePitches.end()) {
    return std::nullopt;
  }
  return pitch;
}

std::optional<calc::MidiNumbering> ReadNumbering(const QByteArray& value) {
  if (value == kFromC0) return calc::MidiNumbering::C0IsZero;
  if (value == kFromCMinus1) return calc::MidiNumbering::CMinus1IsZero;
  return std::nullopt;
}

}  // namespace

QByteArray PreferencesText(const Preferences& preferences) {
  QByteArray text = "# Tempiva preferences, rewritten by tpv120 when a choice changes.\n";
  text += kSection;
  text += '\n';
  text += QByteArray(kKeepAboveKey) + '=' + (preferences.keepAbove ? "true" : "false") + '\n';
  text +=
      QByteArray(kReferencePitchKey) + '=' + QByteArray::number(preferences.referencePitch) + '\n';
  text += QByteArray(kNumberingKey) + '=' +
          (preferences.numbering == calc::MidiNumbering::CMinus1IsZero ? kFromCMinus1 : kFromC0) +
          '\n';
  return text;
}

Preferences ParsePreferences(const QByteArray& text) {
  Preferences preferences;
  bool inSection = false;
  for (const QByteArray& raw : text.split('\n')) {
    const QByteArray line = raw.trimmed();
    if (line.startsWith('[')) {
      inSection = line == kSection;
      continue;
    }
    const qsizetype equals = line.indexOf('=');
    if (!inSection || equals <= 0) continue;
    const QByteArray key = line.left(equals).trimmed();
    const QByteArray value = line.mid(equals + 1).trimmed();
    if (key == kKeepAboveKey) {
      preferences.keepAbove = ReadFlag(value).value_or(Preferences{}.keepAbove);
    } else if (key == kReferencePitchKey) {
      preferences.referencePitch = ReadPitch(value).value_or(Preferences{}.referencePitch);
    } else if (key == kNumberingKey) {
      preferences.numbering = ReadNumbering(value).value_or(Preferences{}.numbering);
    }
  }
  return preferences;
}

PreferencesFile::PreferencesFile(QString path) : path_(std::move(path)) {}

Preferences PreferencesFile::Read() const {
  // Only a regular file is opened: a pipe or a device could block the start.
  const QFileInfo info(path_);
  if (!info.isFile() || info.size() > kMaxFileSize) return {};
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray text = file.read(kMaxFileSize);
  if (text.contains('\0')) return {};
  return ParsePreferences(text);
}

bool PreferencesFile::Write(const Preferences& preferences) {
  const QFileInfo info(path_);
  if (info.exists() && !info.isFile()) {
    Report(QStringLiteral("it is not a regular file, so it is left as it is"));
    return false;
  }
  if (!QDir().mkpath(info.absolutePath())) {
    Report(QStringLiteral("its folder %1 cannot be created").arg(info.absolutePath()));
    return false;
  }
  QSaveFile file(path_);
  const QByteArray text = PreferencesText(preferences);
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
    Report(file.errorString());
    return false;
  }
  return true;
}

void PreferencesFile::Report(const QString& reason) {
  if (reported_.contains(reason)) return;
  reported_.insert(reason);
  std::fprintf(stderr, "tpv120: the preferences could not be saved to %s: %s\n", qPrintable(path_),
               qPrintable(reason));
  std::fflush(stderr);
}

}  // namespace ui
