// The extras around the two calculator windows, a part of their own beside the
// window builder and the calculators' handlers: menus on the delay and tempo
// boxes, a window menu, keyboard shortcuts, the Tap Tempo window and the
// preferences they keep. Nothing is built before it is first used: the menus
// each time they open, the Tap Tempo window the first time it is asked for.
#pragma once

#include <QKeyCombination>
#include <QMetaObject>
#include <memory>
#include <string>
#include <vector>

#include "calc/tempo_tools.h"
#include "preferences.h"

class QEvent;
class QKeyEvent;
class QMenu;
class QWidget;

namespace ui {

class CalculatorWindow;
class Program;
class TapTempoWindow;
enum class Which;

inline constexpr QKeyCombination kTapTempoKey{Qt::ControlModifier, Qt::Key_T};
inline constexpr QKeyCombination kCopyTableKey{Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_C};
inline constexpr QKeyCombination kHelpKey{Qt::Key_F1};
inline constexpr QKeyCombination kMenuKey{Qt::ShiftModifier, Qt::Key_F10};

// Steps, halves or doubles the window's tempo; false when its text is no number.
bool StepTempo(CalculatorWindow& window, calc::TempoStep step);
// Puts the delay table for the window's tempo and sample rate on the
// clipboard; false, and nothing copied, when the tempo is not a positive number.
bool CopyDelayTable(const CalculatorWindow& window);
// Keeps a window above the others, or not, without moving or hiding it.
void SetKeepAbove(QWidget& window, bool on);

// The menu of delay box `slot`: its line-edit entries, and for its note value
// the milliseconds, triplet, hertz and samples to copy, and the whole table.
// Owned by the box; the caller pops it up.
QMenu* CreateDelayBoxMenu(CalculatorWindow& window, int slot);

class Extras {
 public:
  Extras(Program& program, PreferencesFile file);
  ~Extras();
  Extras(const Extras&) = delete;
  Extras& operator=(const Extras&) = delete;

  const Preferences& preferences() const { return preferences_; }
  void SetKeepAbove(bool on);
  void SetReferencePitch(int hertz);
  void SetNumbering(calc::MidiNumbering numbering);

  // Opens the Tap Tempo window beside `window`, or brings it to the front.
  void ShowTapTempo(CalculatorWindow& window);
  TapTempoWindow* tapTempo() const { return tapTempo_.get(); }

  // The tempo box's menu and the window menu, owned by `window`.
  QMenu* CreateTempoBoxMenu(CalculatorWindow& window);
  QMenu* CreateWindowMenu(CalculatorWindow& window);

 private:
  void Attach(Which which, CalculatorWindow& window);
  bool WindowEvent(CalculatorWindow& window, QEvent* event);
  bool KeyPress(CalculatorWindow& window, const QKeyEvent& event);
  void ApplyTuning();
  void Save();
  std::vector<QWidget*> Windows() const;  // the loaded main windows and the Tap Tempo window
  CalculatorWindow* VisibleWindow() const;

  Program& program_;
  PreferencesFile file_;
  Preferences preferences_;
  std::unique_ptr<TapTempoWindow> tapTempo_;
  std::vector<QMetaObject::Connection> connections_;
};

}  // namespace ui
