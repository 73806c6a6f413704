#include "preferences.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "calc/numeric_text.h"
#include "settings.h"
#include "tempo_sources.h"

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

std::optional<double> ParsePitch(const QString& text, char /*separator: always '.'*/) {
  return calc::ReadReferencePitch(text.toStdString(), '.').hertz;
}
QString FormatPitch(const double& value, char /*separator*/) {
  const auto text = calc::ReferencePitchText(value, '.');
  return text ? QString::fromStdString(*text) : QString();
}

std::optional<std::optional<double>> ParseRate(const QString& text, char /*separator*/) {
  const auto rate = calc::TextToNumber(text.toStdString(), '.');
  if (!rate || !(*rate > 0.0)) return std::nullopt;
  return std::optional<double>(*rate);
}
QString FormatRate(const std::optional<double>& value, char /*separator*/) {
  const auto text = value ? calc::NumberToText(*value, '.') : std::nullopt;
  return text ? QString::fromStdString(*text) : QString();
}

std::optional<calc::MidiNumbering> ParseNumbering(const QString& text, char /*separator*/) {
  if (text.trimmed() == kFromC0) return calc::MidiNumbering::C0IsZero;
  if (text.trimmed() == kFromCMinus1) return calc::MidiNumbering::CMinus1IsZero;
  return std::nullopt;
}
QString FormatNumbering(const calc::MidiNumbering& value, char /*separator*/) {
  return value == calc::MidiNumbering::CMinus1IsZero ? kFromCMinus1 : kFromC0;
}

std::optional<sequencer::SourceKind> ParseTempoSource(const QString& text, char /*separator*/) {
  const SourceRow* row = RowOfStored(text);
  return row ? std::optional(row->kind) : std::nullopt;
}
QString FormatTempoSource(const sequencer::SourceKind& value, char /*separator*/) {
  const SourceRow* row = RowOf(value);
  if (!row) row = RowOf(sequencer::SourceKind::Manual);
  return QString::fromUtf8(row->stored.data(), static_cast<qsizetype>(row->stored.size()));
}

}  // namespace preference

PreferencesFile::PreferencesFile(QString path) : path_(std::move(path)) {}

Preferences PreferencesFile::Read() const {
  return FromSection(settings::ReadSectionAt(path_, kSection, kWhat));
}

namespace {

// The lines of the preference named `key`, or of every one when `key` is null.
QList<std::pair<QString, QString>> LinesOf(const Preferences& preferences, const char* key) {
  QList<std::pair<QString, QString>> lines;
  std::apply(
      [&](const auto&... field) {
        ((!key || std::strcmp(field.key.name, key) == 0
              ? lines.append(field.key.Line(preferences.*field.member, '.'))
              : void()),
         ...);
      },
      kPreferenceFields);
  return lines;
}

}  // namespace

bool PreferencesFile::Write(const Preferences& preferences) {
  auto lines = LinesOf(preferences, nullptr);
  // A value without text (no sample rate) leaves its line as it is.
  lines.removeIf([](const std::pair<QString, QString>& line) { return line.second.isEmpty(); });
  return settings::WriteSettingsAt(path_, kSection, lines, kWhat);
}

QString PreferencesFile::Save(const Preferences& preferences, const char* key) {
  const auto lines = LinesOf(preferences, key);
  if (lines.isEmpty()) return QStringLiteral("no preference is called %1").arg(key);
  return settings::SaveSettingsAt(path_, kSection, lines, kWhat);
}

}  // namespace ui
