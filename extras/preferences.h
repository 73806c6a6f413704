// The calculator's preferences: keep its windows above others, the reference
// pitch of A4 and the MIDI numbering. They live in a file of their own beside
// the saved settings (settings::PreferencesPath()), which keep their five keys.
#pragma once

#include <QString>
#include <array>
#include <optional>
#include <tuple>

#include "calc/note.h"
#include "setting.h"

namespace ui {

// The reference pitches of A4 a user can choose, in hertz.
inline constexpr std::array<int, 9> kReferencePitches = {415, 430, 432, 435, 440,
                                                         442, 443, 444, 446};
// How the preferences' texts read and write; a text that is not one of the
// values gives none.
namespace preference {
std::optional<bool> ParseFlag(const QString& text, char separator);
QString FormatFlag(const bool& value, char separator);
std::optional<int> ParsePitch(const QString& text, char separator);
QString FormatPitch(const int& value, char separator);
std::optional<calc::MidiNumbering> ParseNumbering(const QString& text, char separator);
QString FormatNumbering(const calc::MidiNumbering& value, char separator);
}  // namespace preference

// The keys of the [Preferences] section, with their defaults: the designed
// behaviour. A missing or damaged value gives its default.
inline constexpr settings::Setting<bool> kKeepAbove{"KeepAbove", false, preference::ParseFlag,
                                                    preference::FormatFlag};
inline constexpr settings::Setting<int> kReferencePitch{
    // one of kReferencePitches
    "ReferencePitch", calc::kStandardPitchHertz, preference::ParsePitch, preference::FormatPitch};
inline constexpr settings::Setting<calc::MidiNumbering> kNumbering{
    "MidiNumbering", calc::kDesignedNumbering, preference::ParseNumbering,
    preference::FormatNumbering};

struct Preferences {
  bool keepAbove = kKeepAbove.defaultValue;
  int referencePitch = kReferencePitch.defaultValue;
  calc::MidiNumbering numbering = kNumbering.defaultValue;

  bool operator==(const Preferences&) const = default;
};

// Every preference: its key and where it is kept. Reading and writing go
// through this list alone.
template <typename T>
struct PreferenceField {
  const settings::Setting<T>& key;
  T Preferences::*member;
};
inline constexpr std::tuple kPreferenceFields{
    PreferenceField<bool>{kKeepAbove, &Preferences::keepAbove},
    PreferenceField<int>{kReferencePitch, &Preferences::referencePitch},
    PreferenceField<calc::MidiNumbering>{kNumbering, &Preferences::numbering}};

class PreferencesFile {
 public:
  explicit PreferencesFile(QString path);
  const QString& path() const { return path_; }

  // The stored preferences, "key=value" lines under [Preferences]: a missing,
  // damaged or unknown value gives its default, and a file that is missing,
  // not a regular file or unreadable gives every default.
  Preferences Read() const;

  // Stores them as the saved settings are stored: only the lines of its own
  // section change, the file is replaced whole or not at all, and a failure
  // keeps the old file and is said on standard error.
  bool Write(const Preferences& preferences);

  // Stores the one preference named `key` (a key's name, as kKeepAbove.name)
  // from `preferences`: only its line changes, in the file as it stands at
  // that moment, read again under the lock, so that what another copy or a
  // hand edit did to the other keys stays byte for byte. Empty once stored,
  // else why not ("No space left on device"), also said on standard error.
  QString Save(const Preferences& preferences, const char* key);

 private:
  QString path_;
};

}  // namespace ui
