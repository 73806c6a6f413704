// The extras around the two calculator windows, a part above the window
// builder and the calculators' handlers: menus on the delay and tempo boxes,
// a window menu, keyboard shortcuts, the Tap Tempo window and the preferences
// they keep. Nothing is built before it is first used: a window's actions and
// its menu the first time one of them is asked for, the Tap Tempo window the
// first time it opens.
//
// Extras wires the parts that do the work: the commands and their actions
// (commands.h), the menus (menus.h), the preferences (preference_controller.h),
// the note (note_popup.h) and the drops (drops.h).
#pragma once

#include <QObject>
#include <QPointer>
#include <map>
#include <memory>
#include <vector>

#include "commands.h"
#include "drops.h"
#include "menus.h"
#include "note_popup.h"
#include "preference_controller.h"

class QEvent;
class QLabel;
class QWidget;

namespace ui {
class CalculatorWindow;
class Program;
enum class Which;
}  // namespace ui

namespace extras {

class AudioTempoWindow;
class ReferencePitchDialog;
class SequencerFollow;
class TapTempoWindow;

class Extras : public QObject {
 public:
  Extras(ui::Program& program, PreferencesFile file);
  ~Extras() override;

  const Preferences& preferences() const { return preferences_.preferences(); }
  void SetKeepAbove(bool on);
  // Any pitch calc::IsReferencePitch takes; others are ignored.
  void SetReferencePitch(double hertz);
  void SetNumbering(calc::MidiNumbering numbering);
  // Whether the sample rate shown at exit is shown again at the next start.
  void SetRememberSampleRate(bool on);
  // Opens the dialog of the Reference Pitch menu's Other… over `window`, or
  // brings the open one to the front; it closes itself.
  ReferencePitchDialog* ShowReferencePitchDialog(ui::CalculatorWindow& window);
  // Follows a sequencer's tempo, or not (Manual); kept in the preferences.
  void SetTempoSource(SourceKind source);
  // Null until a source other than Manual is chosen or was saved.
  SequencerFollow* follow() const { return follow_.get(); }

  // Opens the Tap Tempo window beside `window`, or brings it to the front.
  void ShowTapTempo(ui::CalculatorWindow& window);
  TapTempoWindow* tapTempo() const { return tapTempo_.get(); }
  // Opens the Tempo of an Audio File window beside `window` on the file at
  // `path` (a file chosen, or dropped on a calculator window); its Use writes
  // the tempo as a tap does.
  void ShowAudioTempo(ui::CalculatorWindow& window, const QString& path);
  AudioTempoWindow* audioTempo() const { return audioTempo_.get(); }

  // Says `text` in a small note just below `window`'s tempo box for a few
  // seconds (note_popup.h).
  void ShowNote(ui::CalculatorWindow& window, const QString& text);
  QLabel* note() const { return note_.label(); }  // null before the first note

 protected:
  // The window menu, the first press of a shortcut, and the tempo keys.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct WindowActions;
  void Attach(ui::CalculatorWindow& window);
  WindowActions& Actions(ui::CalculatorWindow& window);
  void Refresh(ui::CalculatorWindow& window, WindowActions& actions);
  // Shows the window's actions in `menu`, brought up to date each time it opens.
  void ShowsActions(QMenu* menu, ui::CalculatorWindow& window);
  bool KeyPress(ui::CalculatorWindow& window, const QKeyEvent& event);
  void ApplyTuning();
  void ChooseAudioFile(ui::CalculatorWindow& window);  // a file dialog, then ShowAudioTempo
  // The loaded main windows, the Tap Tempo and the audio file windows.
  std::vector<QWidget*> Windows() const;
  SequencerFollow& Follow();  // made on first use

  ui::Program& program_;
  PreferenceController preferences_;
  NotePopup note_;
  DropFilter drops_;
  std::unique_ptr<TapTempoWindow> tapTempo_;
  std::unique_ptr<AudioTempoWindow> audioTempo_;
  QPointer<ReferencePitchDialog> pitchDialog_;
  std::map<const ui::CalculatorWindow*, std::unique_ptr<WindowActions>> actions_;
  std::unique_ptr<SequencerFollow> follow_;
};

}  // namespace extras
