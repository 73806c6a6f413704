// The calculator's preferences: keep its windows above others, the reference
// pitch of A4 and the MIDI numbering. They live in a file of their own beside
// the saved settings (settings::PreferencesPath()), which keep their five keys.
#pragma once

#include <QSet>
#include <QString>
#include <array>

#include "calc/note.h"

namespace ui {

// The reference pitches of A4 a user can choose, in hertz.
inline constexpr std::array<int, 9> kReferencePitches = {415, 430, 432, 435, 440,
                                                         442, 443, 444, 446};
inline constexpr int kDefaultReferencePitch = 440;

struct Preferences {
  bool keepAbove = false;
  int referencePitch = kDefaultReferencePitch;  // one of kReferencePitches
  calc::MidiNumbering numbering = calc::MidiNumbering::C0IsZero;

  bool operator==(const Preferences&) const = default;
};

// The file's text, one "key=value" line per preference under [Preferences].
QByteArray PreferencesText(const Preferences& preferences);
// Reads that text: a missing, damaged or unknown value gives its default.
Preferences ParsePreferences(const QByteArray& text);

class PreferencesFile {
 public:
  explicit PreferencesFile(QString path);
  const QString& path() const { return path_; }

  // The stored preferences; a file that is missing, not a regular file or
  // unreadable gives every default.
  Preferences Read() const;

  // Replaces the file whole (a new file renamed over the old one) or not at
  // all. A failure leaves the old file, and each reason is said once on
  // standard error; a path that holds something other than a regular file is
  // never replaced.
  bool Write(const Preferences& preferences);

 private:
  void Report(const QString& reason);

  QString path_;
  QSet<QString> reported_;
};

}  // namespace ui
