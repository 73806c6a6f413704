#include "extras.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QWindow>
#include <algorithm>
#include <optional>
#include <utility>

#include "calc/delay_extras.h"
#include "calc/numeric_text.h"
#include "calculator_window.h"
#include "program.h"
#include "tap_tempo_window.h"

namespace ui {
namespace {

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

std::string TempoText(const CalculatorWindow& window) {
  return window.tempoBox()->text().toStdString();
}
std::string RateText(const CalculatorWindow& window) {
  return window.sampleRateBox()->currentText().toStdString();
}

void PopUp(QMenu* menu, const QPoint& globalPos) {
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(globalPos);
}

// Shows the key beside the entry; the key itself is handled by the window.
void ShowKey(QAction* action, QKeyCombination key) {
  action->setShortcut(QKeySequence(key));
  action->setShortcutContext(Qt::WidgetShortcut);
}

void ToClipboard(const QString& text) { QGuiApplication::clipboard()->setText(text); }

// An entry that shows a number and copies just that number; disabled, with
// `missing` as its text, when there is no number.
void InsertCopyEntry(QMenu* menu, QAction* before, const std::optional<std::string>& number,
                     const QString& text, const QString& missing) {
  auto* action = new QAction(number ? text.arg(FromStd(*number)) : missing, menu);
  action->setEnabled(number.has_value());
  if (number) {
    QObject::connect(action, &QAction::triggered, action,
                     [copied = FromStd(*number)] { ToClipboard(copied); });
  }
  menu->insertAction(before, action);
}

// Opens the focused control's menu, as the Menu key does; a control without
// one passes the request on to its window.
void OpenMenuFromKeyboard(CalculatorWindow& window) {
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

constexpr char kFromCMinus1Caption[] = "C\u22121 = 0, as sequencers count (A4 = 69)";

}  // namespace

bool StepTempo(CalculatorWindow& window, calc::TempoStep step) {
  const auto text = calc::StepTempoText(TempoText(window), step, window.separator());
  return text && window.WriteTempo(*text, TempoOrigin::Key);
}

bool CopyDelayTable(const CalculatorWindow& window) {
  const auto text = calc::DelayTableText(TempoText(window), RateText(window), window.separator());
  if (!text) return false;
  ToClipboard(FromStd(*text));
  return true;
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

QMenu* CreateDelayBoxMenu(CalculatorWindow& window, int slot) {
  QLineEdit* box = window.DelayBox(slot);
  QMenu* menu = box->createStandardContextMenu();
  const char separator = window.separator();
  const std::string tempoText = TempoText(window);
  const std::string rateText = RateText(window);
  const calc::DelayBoxEntries entries =
      calc::ComputeDelayBoxEntries(slot, tempoText, rateText, separator);
  const auto tempo = calc::TextToPositiveNumber(tempoText, separator);
  const auto rate = calc::TextToPositiveNumber(rateText, separator);
  const QString title = FromStd(entries.title);
  menu->setAccessibleName(QStringLiteral("Delay box menu, %1").arg(title));

  // Why an entry has no number: no tempo, no sample rate, or a result too
  // large or too small to write.
  const QString noTempo = tempo ? QStringLiteral("out of range") : QStringLiteral("no tempo");
  const QString noSamples = !tempo  ? noTempo
                            : !rate ? QStringLiteral("no sample rate")
                                    : QStringLiteral("out of range");
  QAction* before = menu->actions().value(0);
  menu->insertSection(before, title);
  InsertCopyEntry(menu, before, entries.milliseconds, QStringLiteral("Copy %1 ms"),
                  QStringLiteral("Copy milliseconds (%1)").arg(noTempo));
  const QString noteValue = FromStd(calc::NoteValueText(calc::NoteValueOfSlot(slot)));
  InsertCopyEntry(menu, before, entries.triplet,
                  QStringLiteral("Copy %1 ms (%2 triplet)").arg(QStringLiteral("%1"), noteValue),
                  QStringLiteral("Copy %1 triplet milliseconds (%2)").arg(noteValue, noTempo));
  InsertCopyEntry(menu, before, entries.hertz, QStringLiteral("Copy %1 Hz"),
                  QStringLiteral("Copy hertz (%1)").arg(noTempo));
  const QString rateShown =
      rate ? FromStd(calc::NumberToText(*rate, separator).value_or(rateText)) : QString();
  InsertCopyEntry(menu, before, entries.samples,
                  QStringLiteral("Copy %1 samples at %2 Hz").arg(QStringLiteral("%1"), rateShown),
                  QStringLiteral("Copy samples (%1)").arg(noSamples));
  menu->insertSeparator(before);
  auto* table = new QAction(QStringLiteral("Copy Delay Ta&ble"), menu);
  ShowKey(table, kCopyTableKey);
  table->setEnabled(tempo.has_value());
  QObject::connect(table, &QAction::triggered, &window, [&window] { CopyDelayTable(window); });
  menu->insertAction(before, table);
  menu->insertSeparator(before);
  return menu;
}

Extras::Extras(Program& program, PreferencesFile file)
    : program_(program), file_(std::move(file)), preferences_(file_.Read()) {
  connections_.push_back(
      QObject::connect(&program_, &Program::windowCreated, &program_,
                       [this](Which which, CalculatorWindow* window) { Attach(which, *window); }));
  for (Which which : {Which::Compact, Which::Large}) {
    if (CalculatorWindow* window = program_.window(which)) Attach(which, *window);
  }
}

Extras::~Extras() {
  for (const QMetaObject::Connection& connection : connections_) QObject::disconnect(connection);
  for (Which which : {Which::Compact, Which::Large}) {
    if (CalculatorWindow* window = program_.window(which)) window->SetEventHook(nullptr);
  }
}

void Extras::Attach(Which /*which: both layouts get the same extras*/, CalculatorWindow& window) {
  window.SetEventHook(
      [this](CalculatorWindow& target, QEvent* event) { return WindowEvent(target, event); });
  QLineEdit* tempo = window.tempoBox();
  tempo->setContextMenuPolicy(Qt::CustomContextMenu);
  connections_.push_back(QObject::connect(
      tempo, &QWidget::customContextMenuRequested, &window, [this, &window, tempo](QPoint at) {
        PopUp(CreateTempoBoxMenu(window), tempo->mapToGlobal(at));
      }));
  for (int slot = 0; slot < calc::kDelaySlots; ++slot) {
    QLineEdit* box = window.DelayBox(slot);
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connections_.push_back(QObject::connect(
        box, &QWidget::customContextMenuRequested, &window, [&window, box, slot](QPoint at) {
          PopUp(CreateDelayBoxMenu(window, slot), box->mapToGlobal(at));
        }));
  }
  // The Tap Tempo window has nothing to follow once both windows are gone.
  connections_.push_back(QObject::connect(&window, &QObject::destroyed, [this] {
    if (tapTempo_ && !program_.window(Which::Compact) && !program_.window(Which::Large)) {
      tapTempo_->close();
    }
  }));
  if (preferences_.keepAbove) ui::SetKeepAbove(window, true);
  window.SetNoteTuning(preferences_.referencePitch, preferences_.numbering);
}

bool Extras::WindowEvent(CalculatorWindow& window, QEvent* event) {
  if (event->type() == QEvent::ContextMenu) {
    auto* request = static_cast<QContextMenuEvent*>(event);
    PopUp(CreateWindowMenu(window), request->globalPos());
    request->accept();
    return true;
  }
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (!KeyPress(window, *key)) return false;
    key->accept();
    return true;
  }
  return false;
}

bool Extras::KeyPress(CalculatorWindow& window, const QKeyEvent& event) {
  const QKeyCombination key = event.keyCombination();
  if (key == kTapTempoKey) {
    ShowTapTempo(window);
  } else if (key == kCopyTableKey) {
    if (!CopyDelayTable(window)) QApplication::beep();
  } else if (key == kHelpKey) {
    program_.Command3_Click();
  } else if (key == kMenuKey) {
    OpenMenuFromKeyboard(window);
  } else if (const auto step = TempoKeyStep(event);
             step && window.focusWidget() == window.tempoBox()) {
    return StepTempo(window, *step);
  } else {
    return false;
  }
  return true;
}

QMenu* Extras::CreateTempoBoxMenu(CalculatorWindow& window) {
  QLineEdit* tempo = window.tempoBox();
  QMenu* menu = tempo->createStandardContextMenu();
  menu->setAccessibleName(QStringLiteral("Tempo box menu"));
  menu->addSeparator();
  const std::string tempoText = TempoText(window);
  const std::pair<calc::TempoStep, QString> steps[] = {
      {calc::TempoStep::Halve, QStringLiteral("&Halve Tempo")},
      {calc::TempoStep::Double, QStringLiteral("D&ouble Tempo")}};
  for (const auto& [step, caption] : steps) {
    QAction* action = menu->addAction(caption);
    action->setEnabled(calc::StepTempoText(tempoText, step, window.separator()).has_value());
    QObject::connect(action, &QAction::triggered, &window,
                     [&window, step] { StepTempo(window, step); });
  }
  menu->addSeparator();
  QAction* tap = menu->addAction(QStringLiteral("Tap Tem&po…"));
  ShowKey(tap, kTapTempoKey);
  QObject::connect(tap, &QAction::triggered, &window, [this, &window] { ShowTapTempo(window); });
  return menu;
}

QMenu* Extras::CreateWindowMenu(CalculatorWindow& window) {
  auto* menu = new QMenu(&window);
  menu->setAccessibleName(QStringLiteral("Window menu"));

  QAction* above = menu->addAction(QStringLiteral("&Keep Above Other Windows"));
  above->setCheckable(true);
  above->setChecked(preferences_.keepAbove);
  QObject::connect(above, &QAction::triggered, &window, [this](bool on) { SetKeepAbove(on); });
  menu->addSeparator();

  QAction* tap = menu->addAction(QStringLiteral("&Tap Tempo…"));
  ShowKey(tap, kTapTempoKey);
  QObject::connect(tap, &QAction::triggered, &window, [this, &window] { ShowTapTempo(window); });
  QAction* table = menu->addAction(QStringLiteral("Copy Delay Ta&ble"));
  ShowKey(table, kCopyTableKey);
  table->setEnabled(calc::TextToPositiveNumber(TempoText(window), window.separator()).has_value());
  QObject::connect(table, &QAction::triggered, &window, [&window] { CopyDelayTable(window); });
  menu->addSeparator();

  QMenu* pitches = menu->addMenu(QStringLiteral("&Reference Pitch"));
  pitches->setAccessibleName(QStringLiteral("Reference Pitch"));
  auto* pitchGroup = new QActionGroup(pitches);
  for (const int hertz : kReferencePitches) {
    QAction* action = pitches->addAction(QStringLiteral("A4 = %1 Hz").arg(hertz));
    action->setCheckable(true);
    action->setChecked(hertz == preferences_.referencePitch);
    pitchGroup->addAction(action);
    QObject::connect(action, &QAction::triggered, &window,
                     [this, hertz] { SetReferencePitch(hertz); });
  }
  QMenu* numberings = menu->addMenu(QStringLiteral("&MIDI Numbering"));
  numberings->setAccessibleName(QStringLiteral("MIDI Numbering"));
  auto* numberingGroup = new QActionGroup(numberings);
  const std::pair<calc::MidiNumbering, QString> choices[] = {
      {calc::MidiNumbering::C0IsZero, QStringLiteral("C0 = 0")},
      {calc::MidiNumbering::CMinus1IsZero, QString::fromUtf8(kFromCMinus1Caption)}};
  for (const auto& [numbering, caption] : choices) {
    QAction* action = numberings->addAction(caption);
    action->setCheckable(true);
    action->setChecked(numbering == preferences_.numbering);
    numberingGroup->addAction(action);
    QObject::connect(action, &QAction::triggered, &window,
                     [this, choice = numbering] { SetNumbering(choice); });
  }
  menu->addSeparator();

  QAction* help = menu->addAction(QStringLiteral("&Help"));
  ShowKey(help, kHelpKey);
  QObject::connect(help, &QAction::triggered, &window, [this] { program_.Command3_Click(); });
  QAction* about = menu->addAction(QStringLiteral("&About"));
  QObject::connect(about, &QAction::triggered, &window, [this, &window] {
    program_.Command4_Click(program_.window(Which::Compact) == &window ? Which::Compact
                                                                       : Which::Large);
  });
  return menu;
}

void Extras::ShowTapTempo(CalculatorWindow& window) {
  if (!tapTempo_) {
    tapTempo_ = std::make_unique<TapTempoWindow>(window.separator());
    if (preferences_.keepAbove) ui::SetKeepAbove(*tapTempo_, true);
    QObject::connect(tapTempo_.get(), &TapTempoWindow::tempoTapped, tapTempo_.get(),
                     [this](const QString& text) {
                       if (CalculatorWindow* shown = VisibleWindow()) {
                         shown->WriteTempo(text.toStdString(), TempoOrigin::Tap);
                       }
                     });
    QObject::connect(tapTempo_.get(), &TapTempoWindow::helpRequested, tapTempo_.get(),
                     [this] { program_.Command3_Click(); });
  }
  if (!tapTempo_->isVisible()) {
    tapTempo_->StartOver();
    tapTempo_->PlaceBeside(window);
  }
  tapTempo_->showNormal();
  tapTempo_->raise();
  tapTempo_->activateWindow();
}

void Extras::SetKeepAbove(bool on) {
  if (preferences_.keepAbove == on) return;
  preferences_.keepAbove = on;
  for (QWidget* window : Windows()) ui::SetKeepAbove(*window, on);
  Save();
}

void Extras::SetReferencePitch(int hertz) {
  if (preferences_.referencePitch == hertz ||
      std::find(kReferencePitches.begin(), kReferencePitches.end(), hertz) ==
          kReferencePitches.end()) {
    return;
  }
  preferences_.referencePitch = hertz;
  ApplyTuning();
  Save();
}

void Extras::SetNumbering(calc::MidiNumbering numbering) {
  if (preferences_.numbering == numbering) return;
  preferences_.numbering = numbering;
  ApplyTuning();
  Save();
}

void Extras::ApplyTuning() {
  for (Which which : {Which::Compact, Which::Large}) {
    if (CalculatorWindow* window = program_.window(which)) {
      window->SetNoteTuning(preferences_.referencePitch, preferences_.numbering);
    }
  }
}

void Extras::Save() { file_.Write(preferences_); }

std::vector<QWidget*> Extras::Windows() const {
  std::vector<QWidget*> windows;
  for (Which which : {Which::Compact, Which::Large}) {
    if (CalculatorWindow* window = program_.window(which)) windows.push_back(window);
  }
  if (tapTempo_) windows.push_back(tapTempo_.get());
  return windows;
}

CalculatorWindow* Extras::VisibleWindow() const {
  for (Which which : {Which::Compact, Which::Large}) {
    CalculatorWindow* window = program_.window(which);
    if (window && window->isVisible()) return window;
  }
  return nullptr;
}

}  // namespace ui
