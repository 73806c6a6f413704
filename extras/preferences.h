// The calculator's preferences: keep its windows above others, the reference
// pitch of A4 and the MIDI numbering. They live in a file of their own beside
// the saved settings (settings::PreferencesPath()), which keep their five keys.
#pragma once

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

// The preferences in a file's text, "key=value" lines under [Preferences]: a
// missing, damaged or unknown value gives its default.
Preferences ParsePreferences(const QByteArray& text);

class PreferencesFile {
 public:
  explicit PreferencesFile(QString path);
  const QString& path() const { return path_; }

  // The stored preferences; a file that is missing, not a regular file or
  // unreadable gives every default.
  Preferences Read() const;

  // Stores them as the saved settings are stored: only the lines of its own
  // section change, the file is replaced whole or not at all, and a failure
  // keeps the old file and is said on standard error.
  bool Write(const Preferences& preferences);

 private:
  QString path_;
};

}  // namespace ui
