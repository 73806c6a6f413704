// The text of a settings file, read and edited line by line. Only the lines
// an edit owns change; every other byte (other sections, comments, blank and
// unreadable lines, spacing, line ends, a byte-order mark) is kept as it was.
// Values are written in the escaped form of Qt's INI settings format
// (QSettings::IniFormat), which earlier versions used, so that the files they
// wrote read back the same and they read ours.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace settings::ini {

struct Assignment {
  QString section, key, text;
};

// Every valid key of the section and its text; unreadable lines are skipped
// and a key given twice keeps its last value.
QHash<QString, QString> ReadSection(const QByteArray& content, const QString& section);

// The content with each key set to its text: an existing line keeps its bytes
// up to the "=", a missing key joins the end of its section, a missing
// section is added at the end of the file.
QByteArray Assign(const QByteArray& content, const QList<Assignment>& assignments);

// The content without the section's header and key lines.
QByteArray RemoveSection(const QByteArray& content, const QString& section);

// One value as it stands after the "=", and back.
QByteArray EncodeValue(const QString& text);
std::optional<QString> DecodeValue(const QByteArray& raw);

}  // namespace settings::ini
