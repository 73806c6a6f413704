#include "preferences.h"

#include <algorithm>
#include <utility>

#include "ini_text.h"
#include "settings.h"

namespace ui {
namespace {

// Stored names are frozen once released: users' files contain them.
const QString kSection = QStringLiteral("Preferences");
const QString kKeepAboveKey = QStringLiteral("KeepAbove");
const QString kReferencePitchKey = QStringLiteral("ReferencePitch");
const QString kNumberingKey = QStringLiteral("MidiNumbering");
const QString kFromC0 = QStringLiteral("C0");
const QString kFromCMinus1 = QStringLiteral("C-1");
const QString kWhat = QStringLiteral("preferences");

std::optional<bool> ReadFlag(const QString& value) {
  const QString lower = value.trimmed().toLower();
  if (lower == QLatin1String("true")) return true;
  if (lower == QLatin1String("false")) return false;
  return std::nullopt;
}

std::optional<int> ReadPitch(const QString& value) {
  bool ok = false;
  const int pitch = value.trimmed().toInt(&ok);
  if (!ok || std::find(kReferencePitches.begin(), kReferencePitches.end(), pitch) ==
                 kReferencePitches.end()) {
    return std::nullopt;
  }
  return pitch;
}

std::optional<calc::MidiNumbering> ReadNumbering(const QString& value) {
  if (value.trimmed() == kFromC0) return calc::MidiNumbering::C0IsZero;
  if (value.trimmed() == kFromCMinus1) return calc::MidiNumbering::CMinus1IsZero;
  return std::nullopt;
}

Preferences FromSection(const QHash<QString, QString>& section) {
  constexpr Preferences kDefaults;
  Preferences preferences;
  preferences.keepAbove = ReadFlag(section.value(kKeepAboveKey)).value_or(kDefaults.keepAbove);
  preferences.referencePitch =
      ReadPitch(section.value(kReferencePitchKey)).value_or(kDefaults.referencePitch);
  preferences.numbering = ReadNumbering(section.value(kNumberingKey)).value_or(kDefaults.numbering);
  return preferences;
}

}  // namespace

Preferences ParsePreferences(const QByteArray& text) {
  return FromSection(settings::ini::ReadSection(text, kSection));
}

PreferencesFile::PreferencesFile(QString path) : path_(std::move(path)) {}

Preferences PreferencesFile::Read() const {
  return FromSection(settings::ReadSectionAt(path_, kSection, kWhat));
}

bool PreferencesFile::Write(const Preferences& preferences) {
  const QString numbering =
      preferences.numbering == calc::MidiNumbering::CMinus1IsZero ? kFromCMinus1 : kFromC0;
  return settings::WriteSettingsAt(
      path_, kSection,
      {{kKeepAboveKey, preferences.keepAbove ? QStringLiteral("true") : QStringLiteral("false")},
       {kReferencePitchKey, QString::number(preferences.referencePitch)},
       {kNumberingKey, numbering}},
      kWhat);
}

}  // namespace ui
