#include "saved_settings.h"

namespace ui {

void SavedSettings::Load() {
  loaded_ = settings::ReadSection(settings::kApplication, settings::kSection);
}

QString SavedSettings::Text(const settings::Key& key) const {
  return loaded_.value(key.name, key.defaultText);
}

bool SavedSettings::Store(const Values& values) {
  QList<std::pair<QString, QString>> texts;
  for (const auto& [key, text] : values) texts.append({key->name, text});
  return settings::WriteSettings(settings::kApplication, settings::kSection, texts);
}

}  // namespace ui
