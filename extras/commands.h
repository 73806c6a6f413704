// The commands of the extras on a calculator window: what each does to the
// window, and the actions that carry them. A window's actions are made once,
// the first time one is asked for, as children of the window and added to it,
// so that Qt takes their keys from every control in it; every menu that offers
// a command shows the same action.
#pragma once

#include <QKeyCombination>
#include <array>
#include <optional>

#include "calc/bars.h"
#include "calc/tempo_tools.h"

class QAction;
class QKeyEvent;
class QWidget;

namespace ui {
class CalculatorWindow;
}

namespace extras {

// Help's key, in the calculator windows and in the Tap Tempo window.
inline constexpr QKeyCombination kHelpKey{Qt::Key_F1};

// Steps, halves or doubles the window's tempo as the tempo box can show it;
// false, and nothing written, when the step would do nothing there (no
// number, Down at 1 BPM or less, a result the box cannot show).
bool StepTempo(ui::CalculatorWindow& window, calc::TempoStep step);
// Whether StepTempo would change the tempo: whether its entry is enabled.
bool StepChangesTempo(const ui::CalculatorWindow& window, calc::TempoStep step);
// Puts the delay table for the window's tempo and sample rate on the
// clipboard; false, and nothing copied, when the tempo is not a positive number.
bool CopyDelayTable(const ui::CalculatorWindow& window);
// Why an entry is greyed out, in the words of every menu's greyed entries.
QString ProblemText(calc::BarProblem problem);
// Why the window's tempo gives no delay: "no tempo" when the tempo box holds
// no number above zero, "out of range" when its results cannot be written.
QString TempoProblem(const ui::CalculatorWindow& window);
// Keeps a window above the others, or not, without moving or hiding it.
void SetKeepAbove(QWidget& window, bool on);
// Opens the focused control's menu, as the Menu key does; a control without
// one passes the request on to its window.
void OpenMenuFromKeyboard(ui::CalculatorWindow& window);
// The tempo step of Up, Down, Page Up or Page Down pressed alone; none for
// any other key.
std::optional<calc::TempoStep> TempoKeyStep(const QKeyEvent& event);

// The commands, in the order of their rows.
enum class Command {
  KeepAbove,
  TapTempo,
  AudioTempo,
  CopyTable,
  Halve,
  Double,
  Help,
  About,
  OpenMenu
};
inline constexpr std::size_t kCommandCount = 9;

// The entry text of a command, with its mnemonic.
QString CommandText(Command command);
// The command whose key `key` is; none for any other key.
std::optional<Command> CommandOfKey(QKeyCombination key);

// The actions of one window's commands, each with its text, its key and its
// mnemonic; children of the window, which takes them along when it goes.
class CommandActions {
 public:
  explicit CommandActions(ui::CalculatorWindow& window);
  // Deletes the actions of a window that stays when the extras go.
  void Delete();

  QAction* operator[](Command command) const { return actions_[static_cast<std::size_t>(command)]; }
  // Copy Delay Table, Halve and Double enabled as the window's tempo allows.
  void Refresh(const ui::CalculatorWindow& window);
  // Every action with a key enabled again: a disabled action would swallow
  // its key, so once a menu is gone every key does its work again, or beeps
  // when there is nothing to do.
  void EnableKeys();

 private:
  std::array<QAction*, kCommandCount> actions_{};
};

}  // namespace extras
