#include "commands.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>
#include <QWindow>
#include <iterator>

#include "calc/bars.h"
#include "calc/delay_extras.h"
#include "ui/calculator_window.h"

namespace extras {
namespace {

std::string TempoText(const ui::CalculatorWindow& window) {
  return window.tempoBox()->text().toStdString();
}

// The tempo box's length, which every step's text is fitted to.
std::size_t TempoBoxLength(const ui::CalculatorWindow& window) {
  return static_cast<std::size_t>(window.tempoBox()->maxLength());
}

struct CommandRow {
  Command command;
  const char* text;     // UTF-8, with its mnemonic
  QKeyCombination key;  // Qt::Key_unknown: none
};

// One mnemonic per entry, free in every menu that shows it.
constexpr CommandRow kCommands[] = {
    {Command::KeepAbove, "&Keep Above Other Windows", {}},
    {Command::TapTempo, "Tap T&empo…", QKeyCombination(Qt::ControlModifier, Qt::Key_T)},
    {Command::AudioTempo, "Tempo of an Audio &File…",
     QKeyCombination(Qt::ControlModifier, Qt::Key_O)},
    {Command::CopyTable, "Copy Delay Ta&ble",
     QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_C)},
    {Command::Halve, "&Halve Tempo", {}},
    {Command::Double, "D&ouble Tempo", {}},
    {Command::Help, "&Help", kHelpKey},
    {Command::About, "&About", {}},
    // Opens the focused control's menu, as the Menu key does; in no menu.
    {Command::OpenMenu, "Open Menu", QKeyCombination(Qt::ShiftModifier, Qt::Key_F10)},
};
constexpr bool RowsInCommandOrder() {
  for (std::size_t i = 0; i < std::size(kCommands); ++i) {
    if (kCommands[i].command != Command(i)) return false;
  }
  return std::size(kCommands) == kCommandCount;
}
static_assert(RowsInCommandOrder());

constexpr bool HasKey(const CommandRow& row) { return row.key != QKeyCombination(); }

}  // namespace

bool StepChangesTempo(const ui::CalculatorWindow& window, calc::TempoStep step) {
  return calc::StepChangesTempo(TempoText(window), step, window.separator(),
                                TempoBoxLength(window));
}

bool StepTempo(ui::CalculatorWindow& window, calc::TempoStep step) {
  const auto text =
      calc::StepTempoInBox(TempoText(window), step, window.separator(), TempoBoxLength(window));
  return text && window.WriteTempo(*text, ui::TempoOrigin::Key);
}

bool CopyDelayTable(const ui::CalculatorWindow& window) {
  const auto text = calc::DelayTableText(
      TempoText(window), window.sampleRateBox()->currentText().toStdString(), window.separator());
  if (!text) return false;
  QGuiApplication::clipboard()->setText(QString::fromStdString(*text));
  return true;
}

QString TempoProblem(const ui::CalculatorWindow& window) {
  const bool tempo = calc::TextToPositiveNumber(TempoText(window), window.separator()).has_value();
  return ProblemText(tempo ? calc::BarProblem::OutOfRange : calc::BarProblem::NoTempo);
}

void SetKeepAbove(QWidget& window, bool on) {
  Qt::WindowFlags flags = window.windowFlags();
  if (flags.testFlag(Qt::WindowStaysOnTopHint) == on) return;
  flags.setFlag(Qt::WindowStaysOnTopHint, on);
  // setWindowFlags would hide a shown window and let the window manager place
  // it anew; the platform window takes the flag as it stands.
  window.overrideWindowFlags(flags);
  if (QWindow* handle = window.windowHandle()) handle->setFlags(flags);
}

void OpenMenuFromKeyboard(ui::CalculatorWindow& window) {
  QWidget* target = window.focusWidget() ? window.focusWidget() : &window;
  const QPoint inside = target->rect().center();
  QContextMenuEvent request(QContextMenuEvent::Keyboard, inside, target->mapToGlobal(inside));
  QCoreApplication::sendEvent(target, &request);
}

std::optional<calc::TempoStep> TempoKeyStep(const QKeyEvent& event) {
  if ((event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return std::nullopt;
  switch (event.key()) {
    case Qt::Key_Up:
      return calc::TempoStep::Up;
    case Qt::Key_Down:
      return calc::TempoStep::Down;
    case Qt::Key_PageUp:
      return calc::TempoStep::PageUp;
    case Qt::Key_PageDown:
      return calc::TempoStep::PageDown;
    default:
      return std::nullopt;
  }
}

QString ProblemText(calc::BarProblem problem) {
  const std::string_view text = calc::BarProblemText(problem);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString CommandText(Command command) {
  return QString::fromUtf8(kCommands[static_cast<std::size_t>(command)].text);
}

std::optional<Command> CommandOfKey(QKeyCombination key) {
  for (const CommandRow& row : kCommands) {
    if (HasKey(row) && row.key == key) return row.command;
  }
  return std::nullopt;
}

CommandActions::CommandActions(ui::CalculatorWindow& window) {
  for (const CommandRow& row : kCommands) {
    auto* action = new QAction(QString::fromUtf8(row.text), &window);
    if (HasKey(row)) action->setShortcut(QKeySequence(row.key));
    window.addAction(action);
    actions_[static_cast<std::size_t>(row.command)] = action;
  }
  (*this)[Command::KeepAbove]->setCheckable(true);
}

void CommandActions::Delete() {
  for (QAction*& action : actions_) {
    delete action;
    action = nullptr;
  }
}

void CommandActions::Refresh(const ui::CalculatorWindow& window) {
  (*this)[Command::CopyTable]->setEnabled(
      calc::TextToPositiveNumber(TempoText(window), window.separator()).has_value());
  (*this)[Command::Halve]->setEnabled(StepChangesTempo(window, calc::TempoStep::Halve));
  (*this)[Command::Double]->setEnabled(StepChangesTempo(window, calc::TempoStep::Double));
}

void CommandActions::EnableKeys() {
  for (const CommandRow& row : kCommands) {
    if (HasKey(row)) (*this)[row.command]->setEnabled(true);
  }
}

}  // namespace extras
