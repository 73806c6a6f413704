#include "preferences.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "settings.h"

namespace ui {
namespace {

const QString kSection = QStringLiteral("Preferences");
const QString kWhat = QStringLiteral("preferences");
// The numbering's stored texts, frozen as the key names are.
const QString kFromC0 = QStringLiteral("C0");
const QString kFromCMinus1 = QStringLiteral("C-1");

Preferences FromSection(const QHash<QString, QString>& section) {
  Preferences preferences;
  std::apply(
      [&](const auto&... field) {
        ((preferences.*field.member = field.key.In(section, '.').value_or(field.key.defaultValue)),
         ...);
      },
      kPreferenceFields);
  return preferences;
}

}  // namespace

namespace preference {

std::optional<bool> ParseFlag(const QString& text, char /*separator*/) {
  const QString lower = text.trimmed().toLower();
  if (lower == QLatin1String("true")) return true;
  if (lower == QLatin1String("false")) return false;
  return std::nullopt;
}
QString FormatFlag(const bool& value, char /*separator*/) {
  return value ? QStringLiteral("true") : QStringLiteral("false");
}

std::optional<int> ParsePitch(const QString& text, char /*separator*/) {
  bool ok = false;
  const int pitch = text.trimmed().toInt(&ok);
  if (!ok || std::find(kReferencePitches.begin(), kReferencePitches.end(), pitch) ==
                 kReferencePitches.end()) {
    return std::nullopt;
  }
  return pitch;
}
QString FormatPitch(const int& value, char /*separator*/) { return QString::number(value); }

std::optional<calc::MidiNumbering> ParseNumbering(const QString& text, char /*separator*/) {
  if (text.trimmed() == kFromC0) return calc::MidiNumbering::C0IsZero;
  if (text.trimmed() == kFromCMinus1) return calc::MidiNumbering::CMinus1IsZero;
  return std::nullopt;
}
QString FormatNumbering(const calc::MidiNumbering& value, char /*separator*/) {
  return value == calc::MidiNumbering::CMinus1IsZero ? kFromCMinus1 : kFromC0;
}

}  // namespace preference

PreferencesFile::PreferencesFile(QString path) : path_(std::move(path)) {}

Preferences PreferencesFile::Read() const {
  return FromSection(settings::ReadSectionAt(path_, kSection, kWhat));
}

bool PreferencesFile::Write(const Preferences& preferences) {
  QList<std::pair<QString, QString>> lines;
  std::apply(
      [&](const auto&... field) {
        (lines.append(field.key.Line(preferences.*field.member, '.')), ...);
      },
      kPreferenceFields);
  return settings::WriteSettingsAt(path_, kSection, lines, kWhat);
}

QString PreferencesFile::Save(const Preferences& preferences, const char* key) {
  QList<std::pair<QString, QString>> lines;
  std::apply(
      [&](const auto&... field) {
        ((std::strcmp(field.key.name, key) == 0
              ? lines.append(field.key.Line(preferences.*field.member, '.'))
              : void()),
         ...);
      },
      kPreferenceFields);
  if (lines.isEmpty()) return QStringLiteral("no preference is called %1").arg(key);
  return settings::SaveSettingsAt(path_, kSection, lines, kWhat);
}

}  // namespace ui
