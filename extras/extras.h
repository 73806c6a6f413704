// The extras around the two calculator windows, a part above the window
// builder and the calculators' handlers: menus on the delay and tempo boxes,
// a window menu, keyboard shortcuts, the Tap Tempo window and the preferences
// they keep. Nothing is built before it is first used: a window's actions and
// its menu the first time one of them is asked for, the Tap Tempo window the
// first time it opens.
#pragma once

#include <QKeyCombination>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calc/tempo_tools.h"
#include "preferences.h"

class QAction;
class QEvent;
class QKeyEvent;
class QLabel;
class QMenu;
class QWidget;

namespace ui {

class CalculatorWindow;
class Program;
class ReferencePitchDialog;
class SequencerFollow;
class TapTempoWindow;
enum class Which;

// Help's key, in the calculator windows and in the Tap Tempo window.
inline constexpr QKeyCombination kHelpKey{Qt::Key_F1};

// Steps, halves or doubles the window's tempo as the tempo box can show it;
// false, and nothing written, when the step would do nothing there (no
// number, Down at 1 BPM or less, a result the box cannot show).
bool StepTempo(CalculatorWindow& window, calc::TempoStep step);
// Whether StepTempo would change the tempo: whether its entry is enabled.
bool StepChangesTempo(const CalculatorWindow& window, calc::TempoStep step);
// Puts the delay table for the window's tempo and sample rate on the
// clipboard; false, and nothing copied, when the tempo is not a positive number.
bool CopyDelayTable(const CalculatorWindow& window);
// Keeps a window above the others, or not, without moving or hiding it.
void SetKeepAbove(QWidget& window, bool on);

// The menu of delay box `slot`: its line-edit entries, and for its note value
// the milliseconds, triplet, hertz and samples to copy, then `copyTable`.
// Owned by the box; the caller pops it up.
QMenu* CreateDelayBoxMenu(CalculatorWindow& window, int slot, QAction* copyTable);

// The Samples box's menu: its line-edit entries, then the tempo of the loop
// as 1, 2, 4 and 8 bars of 4/4, each writing that tempo into the tempo box,
// and the length of so many bars at the window's tempo and sample rate, in
// samples and in seconds, to copy. An entry that cannot be computed is greyed
// out and says why. Owned by the box; the caller pops it up.
QMenu* CreateSamplesBoxMenu(CalculatorWindow& window);

class Extras : public QObject {
 public:
  Extras(Program& program, PreferencesFile file);
  ~Extras() override;

  const Preferences& preferences() const { return preferences_; }
  void SetKeepAbove(bool on);
  // Any pitch calc::IsReferencePitch takes; others are ignored.
  void SetReferencePitch(double hertz);
  void SetNumbering(calc::MidiNumbering numbering);
  // Whether the sample rate shown at exit is shown again at the next start.
  void SetRememberSampleRate(bool on);
  // Opens the dialog of the Reference Pitch menu's Other… over `window`, or
  // brings the open one to the front; it closes itself.
  ReferencePitchDialog* ShowReferencePitchDialog(CalculatorWindow& window);
  // Follows a sequencer's tempo, or not (Manual); kept in the preferences.
  void SetTempoSource(SourceKind source);
  // Null until a source other than Manual is chosen or was saved.
  SequencerFollow* follow() const { return follow_.get(); }

  // Opens the Tap Tempo window beside `window`, or brings it to the front.
  void ShowTapTempo(CalculatorWindow& window);
  TapTempoWindow* tapTempo() const { return tapTempo_.get(); }

  // Says `text` in a small note just below `window`'s tempo box for a few
  // seconds: a window of its own that takes no focus and blocks nothing, so
  // the window's controls stay as they are. Made on first use.
  void ShowNote(CalculatorWindow& window, const QString& text);
  QLabel* note() const { return note_.get(); }  // null before the first note

 protected:
  // The window menu, the first press of a shortcut, and the tempo keys.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct WindowActions;
  void Attach(CalculatorWindow& window);
  WindowActions& Actions(CalculatorWindow& window);
  void Refresh(CalculatorWindow& window, WindowActions& actions);
  // Shows the window's actions in `menu`, brought up to date each time it opens.
  void ShowsActions(QMenu* menu, CalculatorWindow& window);
  QMenu* CreateTempoBoxMenu(CalculatorWindow& window);
  QMenu* CreateWindowMenu(CalculatorWindow& window, WindowActions& actions);
  bool KeyPress(CalculatorWindow& window, const QKeyEvent& event);
  void ApplyTuning();
  // At exit: keeps the rate the window shows, when it is remembered.
  void KeepSampleRate(const CalculatorWindow& window);
  // Stores the preference `key` alone; a failure is kept for its menu entry
  // and said beside the window shown, without stopping anything.
  void Save(const char* key);
  // A menu entry's text, carrying why its last change was not saved.
  QString EntryText(const QString& text, const char* key) const;
  std::vector<QWidget*> Windows() const;  // the loaded main windows and the Tap Tempo window
  CalculatorWindow* VisibleWindow() const;
  SequencerFollow& Follow();  // made on first use
  void RefreshSources(const WindowActions& actions) const;

  Program& program_;
  PreferencesFile file_;
  Preferences preferences_;
  std::unique_ptr<TapTempoWindow> tapTempo_;
  std::optional<double> startRate_;  // the rate every window starts with; none: as designed
  QPointer<ReferencePitchDialog> pitchDialog_;
  std::unique_ptr<QLabel> note_;
  std::map<const CalculatorWindow*, std::unique_ptr<WindowActions>> actions_;
  std::map<std::string, QString> unsaved_;  // by key: why its last change was not saved
  std::vector<QMetaObject::Connection> connections_;
  std::unique_ptr<SequencerFollow> follow_;
};

}  // namespace ui
