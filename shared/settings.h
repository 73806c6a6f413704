// The store of the calculator's saved settings and the operations both
// programs use; the keys are declared where they are used (setting.h). Values
// are texts, stored per user in an INI file under the user's configuration
// directory (an absolute $XDG_CONFIG_HOME, else ~/.config):
// tempiva/<application>.ini.
//
// A write edits only the lines it owns and replaces the file whole or not at
// all, under a lock held at most a couple of seconds; it reads the file again
// under the lock, so that what another copy wrote meanwhile stays. The new
// content goes to "<file>.save-XXXXXX" beside the file, renamed over it once
// complete; such a file left by a save cut short is removed by the next one. It never replaces what
// is not a regular file, keeps the file's owner and mode, and a failure keeps
// the old file and is told once, with the path and the reason, on standard
// error, after the program's name as it identified itself (identity.h).
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <utility>

namespace settings {

// Stored names are frozen: users' files contain them.
inline const QString kApplication = QStringLiteral("TPVINI");
inline const QString kSection = QStringLiteral("Ini");

// Where an application's settings live.
QString StorePath(const QString& application);

// Every valid key of the section with its text, from one read of the file;
// lines that do not parse are skipped. Empty when there is no readable file.
QHash<QString, QString> ReadSection(const QString& application, const QString& section);

// Stores all the texts in one replacement of the file, so that two programs
// writing at the same moment leave one's texts or the other's, never a
// mixture; false when it could not be written.
bool WriteSettings(const QString& application, const QString& section,
                   const QList<std::pair<QString, QString>>& values);

// ReadSection and WriteSettings on a file of the caller's own beside the
// saved settings; `what` names its content in the messages ("preferences").
QHash<QString, QString> ReadSectionAt(const QString& path, const QString& section,
                                      const QString& what);
bool WriteSettingsAt(const QString& path, const QString& section,
                     const QList<std::pair<QString, QString>>& values, const QString& what);
// WriteSettingsAt, giving why the texts were not stored: the system's reason
// ("No space left on device"), or empty once they are.
QString SaveSettingsAt(const QString& path, const QString& section,
                       const QList<std::pair<QString, QString>>& values, const QString& what);

// Removes the section with all its keys; other sections stay. Removing a
// section that does not exist succeeds and changes nothing.
bool DeleteSettingsSection(const QString& application, const QString& section);

}  // namespace settings
