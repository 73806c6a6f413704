// The menus of the extras on a calculator window: the delay boxes', the
// Samples box's and the tempo box's, each the box's own line-edit entries and
// then the extras', made at each request and owned by the box; and the
// window menu, made once with the window's actions. An entry that cannot be
// computed is greyed out and says why.
#pragma once

#include <QPoint>
#include <utility>
#include <vector>

#include "calc/note.h"
#include "preferences.h"

class QAction;
class QLineEdit;
class QMenu;

namespace ui {
class CalculatorWindow;
}

namespace extras {

class CommandActions;
class PreferenceController;
class SequencerFollow;

// The menu of delay box `slot`: its line-edit entries, and for its note value
// the milliseconds, triplet, hertz and samples to copy, then `copyTable`.
QMenu* CreateDelayBoxMenu(ui::CalculatorWindow& window, int slot, QAction* copyTable);

// The Samples box's menu: its line-edit entries, then the tempo of the loop
// as 1, 2, 4 and 8 bars of 4/4, each writing that tempo into the tempo box
// (offered only inside the range of tempos calc::IsSourceTempo takes), and
// the length of so many bars at the window's tempo and sample rate, in
// samples and in seconds, to copy.
QMenu* CreateSamplesBoxMenu(ui::CalculatorWindow& window);

// The tempo box's menu: its line-edit entries, Halve and Double, Tap Tempo.
QMenu* CreateTempoBoxMenu(ui::CalculatorWindow& window, const CommandActions& commands);

// Shows a menu made for one request at `globalPos`; it deletes itself once
// closed.
void PopUp(QMenu* menu, const QPoint& globalPos);

// While `menu` is open, only `box` shows its selection (none for null): the
// window's other boxes keep theirs, but draw it as unselected text until the
// menu closes.
void ShowSelectionOnlyIn(QMenu* menu, ui::CalculatorWindow& window, QLineEdit* box);

// The window menu and its entries; children of the window. The caller
// connects the entries to what they choose.
struct WindowMenu {
  QMenu* menu = nullptr;
  QMenu* pitchMenu = nullptr;
  std::vector<std::pair<double, QAction*>> pitches;
  QAction* pitchSeparator = nullptr;  // after the listed pitches
  QAction* customPitch = nullptr;     // a chosen pitch the list lacks; hidden without one
  QAction* otherPitch = nullptr;
  QMenu* numberingMenu = nullptr;
  std::vector<std::pair<calc::MidiNumbering, QAction*>> numberings;
  QAction* rememberRate = nullptr;
  QMenu* sourceMenu = nullptr;
  std::vector<std::pair<SourceKind, QAction*>> sources;
};
WindowMenu CreateWindowMenu(ui::CalculatorWindow& window, const CommandActions& commands);
// Brings the menu's preference entries, and Keep Above, up to the
// preferences and their unsaved changes.
void RefreshWindowMenu(WindowMenu& menu, const CommandActions& commands,
                       const PreferenceController& preferences, char separator);
// The Tempo Source entries as `follow` (null while none was ever chosen) says.
void RefreshSources(const WindowMenu& menu, const SequencerFollow* follow);

}  // namespace extras
