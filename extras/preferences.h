// The calculator's preferences: keep its windows above others, the reference
// pitch of A4, the MIDI numbering, whether the sample rate is remembered and the tempo
// source. They live in a file of their own beside the saved settings
// (settings::PreferencesPath()), which keep their five keys.
#pragma once

#include <QString>
#include <array>
#include <optional>
#include <tuple>

#include "calc/note.h"
#include "setting.h"
#include "tempo_source.h"

namespace ui {

using sequencer::SourceKind;

// How the preferences' texts read and write; a text that is not one of the
// values gives none.
namespace preference {
std::optional<bool> ParseFlag(const QString& text, char separator);
QString FormatFlag(const bool& value, char separator);
// A reference pitch is any calc::IsReferencePitch value, written as
// calc::ReferencePitchText writes it ("440", "432.5"); a text that
// calc::ReadReferencePitch takes reads ("432.0" gives 432).
std::optional<double> ParsePitch(const QString& text, char separator);
QString FormatPitch(const double& value, char separator);
// A sample rate: a positive number; none is stored as no text.
std::optional<std::optional<double>> ParseRate(const QString& text, char separator);
QString FormatRate(const std::optional<double>& value, char separator);
std::optional<calc::MidiNumbering> ParseNumbering(const QString& text, char separator);
QString FormatNumbering(const calc::MidiNumbering& value, char separator);
}  // namespace preference

// Where the tempo comes from: set by the user, or followed from a source;
// stored by the texts of the sources' table (tempo_sources.h).
namespace preference {
std::optional<sequencer::SourceKind> ParseTempoSource(const QString& text, char separator);
QString FormatTempoSource(const sequencer::SourceKind& value, char separator);
}  // namespace preference

// The keys of the [Preferences] section, with their defaults: the designed
// behaviour. A missing or damaged value gives its default.
inline constexpr settings::Setting<bool> kKeepAbove{"KeepAbove", false, preference::ParseFlag,
                                                    preference::FormatFlag};
inline constexpr settings::Setting<double> kReferencePitch{
    "ReferencePitch", calc::kStandardPitch, preference::ParsePitch, preference::FormatPitch};
inline constexpr settings::Setting<calc::MidiNumbering> kNumbering{
    "MidiNumbering", calc::kDesignedNumbering, preference::ParseNumbering,
    preference::FormatNumbering};
// Whether the sample rate shown at exit is kept and shown again at start; the
// rate kept, written only while the choice is on.
inline constexpr settings::Setting<bool> kRememberSampleRate{
    "RememberSampleRate", false, preference::ParseFlag, preference::FormatFlag};
inline constexpr settings::Setting<std::optional<double>> kSampleRate{
    "SampleRate", std::nullopt, preference::ParseRate, preference::FormatRate};
inline constexpr settings::Setting<sequencer::SourceKind> kTempoSource{
    // manual, jack-transport or midi-clock
    "TempoSource", sequencer::SourceKind::Manual, preference::ParseTempoSource,
    preference::FormatTempoSource};

struct Preferences {
  bool keepAbove = kKeepAbove.defaultValue;
  double referencePitch = kReferencePitch.defaultValue;
  calc::MidiNumbering numbering = kNumbering.defaultValue;
  bool rememberSampleRate = kRememberSampleRate.defaultValue;
  std::optional<double> sampleRate = kSampleRate.defaultValue;
  sequencer::SourceKind tempoSource = kTempoSource.defaultValue;

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
    PreferenceField<double>{kReferencePitch, &Preferences::referencePitch},
    PreferenceField<calc::MidiNumbering>{kNumbering, &Preferences::numbering},
    PreferenceField<bool>{kRememberSampleRate, &Preferences::rememberSampleRate},
    PreferenceField<std::optional<double>>{kSampleRate, &Preferences::sampleRate},
    PreferenceField<sequencer::SourceKind>{kTempoSource, &Preferences::tempoSource}};

class PreferencesFile {
 public:
  explicit PreferencesFile(QString path);
  const QString& path() const { return path_; }

  // The stored preferences, "key=value" lines under [Preferences]: a missing,
  // damaged or unknown value gives its default, and a file that is missing,
  // not a regular file or unreadable gives every default.
  Preferences Read() const;

  // Stores them as the saved settings are stored: only the lines of its own
  // section change (a value without text, such as no sample rate, leaves its
  // line as it is), the file is replaced whole or not at all, and a failure
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
