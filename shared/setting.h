// One stored key, declared once with everything about it: its name, the value
// a missing key has, and how its text becomes a value and back. The saved
// settings and the preferences both declare their keys so.
#pragma once

#include <QHash>
#include <QString>
#include <optional>
#include <utility>

namespace settings {

template <typename T>
struct Setting {
  const char* name;  // frozen once released: users' files contain it
  T defaultValue;    // what a missing key reads as
  // The value of a stored text under the decimal separator the program uses;
  // none for a text that is not one.
  std::optional<T> (*parse)(const QString& text, char separator);
  // The text stored for a value; empty when the value has none.
  QString (*format)(const T& value, char separator);

  // The key's value in a section as read from its file: the default when the
  // key is missing, none when its text is damaged (the caller decides).
  std::optional<T> In(const QHash<QString, QString>& section, char separator) const {
    const auto found = section.constFind(QString::fromLatin1(name));
    if (found == section.constEnd()) return defaultValue;
    return parse(*found, separator);
  }
  // The key's line: its name and the value's text.
  std::pair<QString, QString> Line(const T& value, char separator) const {
    return {QString::fromLatin1(name), format(value, separator)};
  }
};

}  // namespace settings
