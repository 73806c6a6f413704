// The preferences while the program runs: each change is made, stored alone
// and, when the store fails, remembered with its reason for the menu entry
// that made it. What a change does to the windows is left to the caller.
#pragma once

#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "preferences.h"

namespace extras {

class PreferenceController {
 public:
  explicit PreferenceController(PreferencesFile file);

  const Preferences& preferences() const { return preferences_; }
  // The rate every window starts with; none: as designed.
  std::optional<double> startRate() const { return startRate_; }

  // Each setter changes its preference and stores it; false, and nothing
  // done, when the preference has that value already.
  bool SetKeepAbove(bool on);
  // Also false for a pitch calc::IsReferencePitch refuses.
  bool SetReferencePitch(double hertz);
  bool SetNumbering(calc::MidiNumbering numbering);
  bool SetRememberSampleRate(bool on);
  bool SetTempoSource(SourceKind source);
  // At the end of a run: keeps the sample rate `rateText` when the rate is
  // remembered and is a number above zero; otherwise the last one stays.
  void KeepSampleRate(const std::string& rateText, char separator);

  // A menu entry's text, carrying why its last change was not saved.
  QString EntryText(const QString& text, const char* key) const;
  // Told why a change was not saved, each time one is not.
  void OnNotSaved(std::function<void(const QString& reason)> notSaved);

 private:
  // Stores the preference `key` alone; a failure is kept for its menu entry
  // and told, without stopping anything.
  void Save(const char* key);

  PreferencesFile file_;
  Preferences preferences_;
  std::optional<double> startRate_;
  std::map<std::string, QString> unsaved_;  // by key: why its last change was not saved
  std::function<void(const QString&)> notSaved_;
};

}  // namespace extras
