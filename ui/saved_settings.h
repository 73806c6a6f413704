// The calculator's five saved settings: read from the store once per start,
// written back in one file replacement.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <utility>

#include "settings.h"

namespace ui {

class SavedSettings {
 public:
  using Values = QList<std::pair<const settings::Key*, QString>>;

  // Reads the calculator's section; what is missing reads as its default.
  void Load();

  // The text loaded for `key`, or its default.
  QString Text(const settings::Key& key) const;

  // Writes every value in one replacement of the file; false when the write
  // failed (the store has said why on standard error).
  static bool Store(const Values& values);

 private:
  QHash<QString, QString> loaded_;
};

}  // namespace ui
