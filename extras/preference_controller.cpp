#include "preference_controller.h"

#include <utility>

#include "calc/numeric_text.h"

namespace extras {

PreferenceController::PreferenceController(PreferencesFile file)
    : file_(std::move(file)), preferences_(file_.Read()) {
  if (preferences_.rememberSampleRate) startRate_ = preferences_.sampleRate;
}

bool PreferenceController::SetKeepAbove(bool on) {
  if (preferences_.keepAbove == on) return false;
  preferences_.keepAbove = on;
  Save(kKeepAbove.name);
  return true;
}

bool PreferenceController::SetReferencePitch(double hertz) {
  if (preferences_.referencePitch == hertz || !calc::IsReferencePitch(hertz)) return false;
  preferences_.referencePitch = hertz;
  Save(kReferencePitch.name);
  return true;
}

bool PreferenceController::SetNumbering(calc::MidiNumbering numbering) {
  if (preferences_.numbering == numbering) return false;
  preferences_.numbering = numbering;
  Save(kNumbering.name);
  return true;
}

bool PreferenceController::SetRememberSampleRate(bool on) {
  if (preferences_.rememberSampleRate == on) return false;
  preferences_.rememberSampleRate = on;
  Save(kRememberSampleRate.name);
  return true;
}

bool PreferenceController::SetTempoSource(SourceKind source) {
  if (preferences_.tempoSource == source) return false;
  preferences_.tempoSource = source;
  Save(kTempoSource.name);
  return true;
}

void PreferenceController::KeepSampleRate(const std::string& rateText, char separator) {
  if (!preferences_.rememberSampleRate) return;
  const auto rate = calc::TextToNumber(rateText, separator);
  // A rate that is no number above zero is not kept: the last one stays.
  if (!rate || !(*rate > 0.0) || preferences_.sampleRate == rate) return;
  preferences_.sampleRate = rate;
  Save(kSampleRate.name);
}

void PreferenceController::Save(const char* key) {
  const QString reason = file_.Save(preferences_, key);
  if (reason.isEmpty()) {
    unsaved_.erase(key);
    return;
  }
  unsaved_[key] = reason;
  if (notSaved_) notSaved_(reason);
}

QString PreferenceController::EntryText(const QString& text, const char* key) const {
  const auto unsaved = unsaved_.find(key);
  if (unsaved == unsaved_.end()) return text;
  return QStringLiteral("%1 (not saved: %2)").arg(text, unsaved->second);
}

void PreferenceController::OnNotSaved(std::function<void(const QString&)> notSaved) {
  notSaved_ = std::move(notSaved);
}

}  // namespace extras
