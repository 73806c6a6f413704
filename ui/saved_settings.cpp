#include "saved_settings.h"

#include "calc/numeric_text.h"

namespace ui {
namespace saved {

std::optional<float> ParseSingle(const QString& text, char separator) {
  return calc::TextToSingle(text.toStdString(), separator);
}
QString FormatSingle(const float& value, char separator) {
  const auto text = calc::SingleToText(value, separator);
  return text ? QString::fromStdString(*text) : QString();
}
std::optional<int> ParseInteger(const QString& text, char separator) {
  return calc::TextToInteger(text.toStdString(), separator);
}
QString FormatInteger(const int& value, char /*separator: a whole number has none*/) {
  return QString::fromStdString(calc::IntegerToText(value));
}
std::optional<bool> ParseFlag(const QString& text, char separator) {
  return calc::TextToFlag(text.toStdString(), separator);
}
QString FormatFlag(const bool& value, char /*separator*/) {
  return QString::fromLatin1(calc::FlagToText(value).data());
}
std::optional<QString> ParseVerbatim(const QString& text, char /*separator*/) { return text; }
QString FormatVerbatim(const QString& text, char /*separator*/) { return text; }

}  // namespace saved

void SavedSettings::Load() {
  loaded_ = settings::ReadSection(settings::kApplication, settings::kSection);
}

bool SavedSettings::Store(const Lines& lines) {
  return settings::WriteSettings(settings::kApplication, settings::kSection, lines);
}

}  // namespace ui
