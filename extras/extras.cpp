#include "extras.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <utility>

#include "calc/bars.h"
#include "calc/delay_extras.h"
#include "calc/numeric_text.h"
#include "calculator_window.h"
#include "program.h"
#include "reference_pitch_dialog.h"
#include "sequencer_follow.h"
#include "stacking.h"
#include "tap_tempo_window.h"
#include "tempo_sources.h"

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

// The tempo box's length, which every step's text is fitted to.
std::size_t TempoBoxLength(const CalculatorWindow& window) {
  return static_cast<std::size_t>(window.tempoBox()->maxLength());
}

// "A4 = 432 Hz", "A4 = 432,5 Hz".
QString PitchCaption(double hertz, char separator) {
  return QStringLiteral("A4 = %1 Hz")
      .arg(FromStd(calc::ReferencePitchText(hertz, separator).value_or("?")));
}

const QString kPitchMenuText = QStringLiteral("&Reference Pitch");
const QString kNumberingMenuText = QStringLiteral("&MIDI Numbering");
const QString kRememberRateText = QStringLiteral("Remember &Sample Rate");

constexpr char kFromCMinus1Caption[] = "C\u22121 = 0, as sequencers count (A4 = 69)";

// The commands of the extras on one calculator window, in the order of their rows.
enum class Command { KeepAbove, TapTempo, CopyTable, Halve, Double, Help, About, OpenMenu };

struct CommandRow {
  Command command;
  const char* text;     // UTF-8, with its mnemonic
  QKeyCombination key;  // Qt::Key_unknown: none
};

// One mnemonic per entry, free in every menu that shows it.
constexpr CommandRow kCommands[] = {
    {Command::KeepAbove, "&Keep Above Other Windows", {}},
    {Command::TapTempo, "Tap T&empo…", QKeyCombination(Qt::ControlModifier, Qt::Key_T)},
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
  return true;
}
static_assert(RowsInCommandOrder());

constexpr bool HasKey(const CommandRow& row) { return row.key != QKeyCombination(); }

}  // namespace

bool StepChangesTempo(const CalculatorWindow& window, calc::TempoStep step) {
  return calc::StepChangesTempo(TempoText(window), step, window.separator(),
                                TempoBoxLength(window));
}

bool StepTempo(CalculatorWindow& window, calc::TempoStep step) {
  const auto text =
      calc::StepTempoInBox(TempoText(window), step, window.separator(), TempoBoxLength(window));
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

QMenu* CreateDelayBoxMenu(CalculatorWindow& window, int slot, QAction* copyTable) {
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
  menu->insertAction(before, copyTable);
  menu->insertSeparator(before);
  return menu;
}

QMenu* CreateSamplesBoxMenu(CalculatorWindow& window) {
  QLineEdit* box = window.samplesBox();
  QMenu* menu = box->createStandardContextMenu();
  menu->setAccessibleName(QStringLiteral("Samples box menu"));
  const char separator = window.separator();
  const std::string samplesText = box->text().toStdString();
  const std::string tempoText = TempoText(window);
  const std::string rateText = RateText(window);
  // Each entry carries its reason in its caption when it is greyed out.
  const auto add = [menu](const calc::BarEntry& entry) {
    auto* action = new QAction(FromStd(entry.caption), menu);
    action->setEnabled(entry.value.has_value());
    menu->addAction(action);
    return action;
  };
  menu->addSeparator();
  for (const int bars : calc::kBarCounts) {
    const calc::BarEntry entry = calc::LoopTempoEntry(samplesText, rateText, bars, separator);
    QAction* action = add(entry);
    if (!entry.value) continue;
    // A tempo the user chose from a menu, as Halve and Double in the tempo box's.
    QObject::connect(action, &QAction::triggered, &window, [&window, tempo = *entry.value] {
      if (!window.WriteTempo(tempo, TempoOrigin::Key)) QApplication::beep();
    });
  }
  menu->addSeparator();
  for (const int bars : calc::kBarCounts) {
    for (const calc::BarEntry& entry : {calc::BarSamplesEntry(tempoText, rateText, bars, separator),
                                        calc::BarSecondsEntry(tempoText, bars, separator)}) {
      QAction* action = add(entry);
      if (!entry.value) continue;
      QObject::connect(action, &QAction::triggered, action,
                       [copied = FromStd(*entry.value)] { ToClipboard(copied); });
    }
  }
  return menu;
}

// A window's actions: made once, the first time one is asked for, children of
// the window and added to it, so that Qt takes their keys from every control
// in it; every menu that offers a command shows the same action.
struct Extras::WindowActions {
  std::array<QAction*, std::size(kCommands)> commands{};
  std::vector<std::pair<double, QAction*>> pitches;
  QMenu* pitchMenu = nullptr;
  QAction* pitchSeparator = nullptr;  // after the listed pitches
  QAction* customPitch = nullptr;     // a chosen pitch the list lacks; hidden without one
  QAction* otherPitch = nullptr;
  QAction* rememberRate = nullptr;
  std::vector<std::pair<calc::MidiNumbering, QAction*>> numberings;
  std::vector<std::pair<SourceKind, QAction*>> sources;
  QMenu* windowMenu = nullptr;
  QMenu* numberingMenu = nullptr;

  QAction* operator[](Command command) const { return commands[static_cast<std::size_t>(command)]; }
};

Extras::Extras(Program& program, PreferencesFile file)
    : program_(program), file_(std::move(file)), preferences_(file_.Read()) {
  if (preferences_.rememberSampleRate) startRate_ = preferences_.sampleRate;
  connect(&program_, &Program::windowCreated, this,
          [this](Which, CalculatorWindow* window) { Attach(*window); });
  for (Which which : {Which::Compact, Which::Large}) {
    if (CalculatorWindow* window = program_.window(which)) Attach(*window);
  }
  // A saved source starts after the first paint; Manual makes nothing.
  if (preferences_.tempoSource != SourceKind::Manual) {
    Follow().ChooseAfterFirstPaint(preferences_.tempoSource);
  }
}

Extras::~Extras() {
  // Every window listed is still alive: a window leaves the list as it goes.
  for (auto& [window, actions] : actions_) {
    delete actions->windowMenu;
    for (QAction* action : actions->commands) delete action;
  }
}

void Extras::Attach(CalculatorWindow& window) {
  window.installEventFilter(this);
  QLineEdit* tempo = window.tempoBox();
  tempo->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(tempo, &QWidget::customContextMenuRequested, this, [this, &window, tempo](QPoint at) {
    PopUp(CreateTempoBoxMenu(window), tempo->mapToGlobal(at));
  });
  for (int slot = 0; slot < calc::kDelaySlots; ++slot) {
    QLineEdit* box = window.DelayBox(slot);
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this, [this, &window, box, slot](QPoint at) {
      QMenu* menu = CreateDelayBoxMenu(window, slot, Actions(window)[Command::CopyTable]);
      ShowsActions(menu, window);
      PopUp(menu, box->mapToGlobal(at));
    });
  }
  QLineEdit* samples = window.samplesBox();
  samples->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(samples, &QWidget::customContextMenuRequested, this, [&window, samples](QPoint at) {
    PopUp(CreateSamplesBoxMenu(window), samples->mapToGlobal(at));
  });
  connect(&window, &QObject::destroyed, this, [this, gone = &window] {
    actions_.erase(gone);
    // The Tap Tempo window has nothing to follow once both windows are gone.
    if (tapTempo_ && !program_.window(Which::Compact) && !program_.window(Which::Large)) {
      tapTempo_->close();
    }
  });
  if (preferences_.keepAbove) ui::SetKeepAbove(window, true);
  window.SetNoteTuning(preferences_.referencePitch, preferences_.numbering);
  if (startRate_) {
    // As if the user had typed it: the beat calculator follows.
    const auto text = calc::NumberToText(*startRate_, window.separator());
    if (text) {
      window.sampleRateBox()->setEditText(FromStd(*text));
      window.SampleRate_Change();
    }
  }
  if (follow_) follow_->Attach(window);
}

Extras::WindowActions& Extras::Actions(CalculatorWindow& window) {
  std::unique_ptr<WindowActions>& made = actions_[&window];
  if (made) return *made;
  made = std::make_unique<WindowActions>();
  for (const CommandRow& row : kCommands) {
    auto* action = new QAction(QString::fromUtf8(row.text), &window);
    if (HasKey(row)) action->setShortcut(QKeySequence(row.key));
    window.addAction(action);
    made->commands[static_cast<std::size_t>(row.command)] = action;
  }
  WindowActions& actions = *made;
  actions[Command::KeepAbove]->setCheckable(true);
  connect(actions[Command::KeepAbove], &QAction::triggered, this,
          [this](bool on) { SetKeepAbove(on); });
  connect(actions[Command::TapTempo], &QAction::triggered, this,
          [this, &window] { ShowTapTempo(window); });
  connect(actions[Command::CopyTable], &QAction::triggered, this, [this, &window] {
    if (CopyDelayTable(window)) return;
    QApplication::beep();
    const bool tempo =
        calc::TextToPositiveNumber(TempoText(window), window.separator()).has_value();
    ShowNote(window, QStringLiteral("No delay table to copy: %1")
                         .arg(tempo ? QStringLiteral("out of range") : QStringLiteral("no tempo")));
  });
  connect(actions[Command::Halve], &QAction::triggered, this,
          [&window] { StepTempo(window, calc::TempoStep::Halve); });
  connect(actions[Command::Double], &QAction::triggered, this,
          [&window] { StepTempo(window, calc::TempoStep::Double); });
  connect(actions[Command::Help], &QAction::triggered, this, [this] { program_.ShowHelp(); });
  connect(actions[Command::About], &QAction::triggered, this, [this, &window] {
    program_.ShowAbout(program_.window(Which::Compact) == &window ? Which::Compact : Which::Large);
  });
  connect(actions[Command::OpenMenu], &QAction::triggered, this,
          [&window] { OpenMenuFromKeyboard(window); });
  actions.windowMenu = CreateWindowMenu(window, actions);
  return actions;
}

void Extras::Refresh(CalculatorWindow& window, WindowActions& actions) {
  const std::string tempo = TempoText(window);
  const char separator = window.separator();
  actions[Command::CopyTable]->setEnabled(calc::TextToPositiveNumber(tempo, separator).has_value());
  for (Command step : {Command::Halve, Command::Double}) {
    const auto tempoStep =
        step == Command::Halve ? calc::TempoStep::Halve : calc::TempoStep::Double;
    actions[step]->setEnabled(StepChangesTempo(window, tempoStep));
  }
  actions[Command::KeepAbove]->setChecked(preferences_.keepAbove);
  actions[Command::KeepAbove]->setText(
      EntryText(QString::fromUtf8(kCommands[size_t(Command::KeepAbove)].text), kKeepAbove.name));
  if (actions.pitchMenu) {
    actions.pitchMenu->setTitle(EntryText(kPitchMenuText, kReferencePitch.name));
    actions.numberingMenu->setTitle(EntryText(kNumberingMenuText, kNumbering.name));
  }
  bool listed = false;
  for (const auto& [hertz, action] : actions.pitches) {
    action->setChecked(hertz == preferences_.referencePitch);
    listed = listed || action->isChecked();
  }
  // A pitch chosen with Other… shows as a checked entry of its own after the
  // list, made the first time there is one.
  if (!listed && !actions.customPitch) {
    QAction* first = actions.pitches.front().second;
    actions.customPitch = new QAction(first->parent());
    actions.customPitch->setCheckable(true);
    first->actionGroup()->addAction(actions.customPitch);
    actions.pitchMenu->insertAction(actions.pitchSeparator, actions.customPitch);
  }
  if (actions.customPitch) {
    actions.customPitch->setVisible(!listed);
    actions.customPitch->setChecked(!listed);
    if (!listed) {
      actions.customPitch->setText(PitchCaption(preferences_.referencePitch, separator));
    }
  }
  actions.rememberRate->setChecked(preferences_.rememberSampleRate);
  actions.rememberRate->setText(EntryText(kRememberRateText, kRememberSampleRate.name));
  for (const auto& [numbering, action] : actions.numberings) {
    action->setChecked(numbering == preferences_.numbering);
  }
  RefreshSources(actions);
}

void Extras::ShowsActions(QMenu* menu, CalculatorWindow& window) {
  connect(menu, &QMenu::aboutToShow, this, [this, &window] { Refresh(window, Actions(window)); });
  // A disabled action would swallow its key: once the menu is gone, every key
  // does its work again, or beeps when there is nothing to do.
  connect(menu, &QMenu::aboutToHide, this, [this, &window] {
    const WindowActions& actions = Actions(window);
    for (const CommandRow& row : kCommands) {
      if (HasKey(row)) actions[row.command]->setEnabled(true);
    }
  });
}

bool Extras::eventFilter(QObject* watched, QEvent* event) {
  auto* window = qobject_cast<CalculatorWindow*>(watched);
  if (!window) return false;
  // A window hidden once the program has let it go is a window the run ends in.
  if (event->type() == QEvent::Hide && program_.window(Which::Compact) != window &&
      program_.window(Which::Large) != window) {
    KeepSampleRate(*window);
    return false;
  }
  if (event->type() == QEvent::ContextMenu) {
    auto* request = static_cast<QContextMenuEvent*>(event);
    Actions(*window).windowMenu->popup(request->globalPos());
    request->accept();
    return true;
  }
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (!KeyPress(*window, *key)) return false;
    key->accept();
    return true;
  }
  return false;
}

bool Extras::KeyPress(CalculatorWindow& window, const QKeyEvent& event) {
  // Before the window's actions exist their keys come here, and make them.
  for (const CommandRow& row : kCommands) {
    if (HasKey(row) && row.key == event.keyCombination()) {
      Actions(window)[row.command]->trigger();
      return true;
    }
  }
  const auto step = TempoKeyStep(event);
  return step && window.focusWidget() == window.tempoBox() && StepTempo(window, *step);
}

QMenu* Extras::CreateTempoBoxMenu(CalculatorWindow& window) {
  const WindowActions& actions = Actions(window);
  QMenu* menu = window.tempoBox()->createStandardContextMenu();
  menu->setAccessibleName(QStringLiteral("Tempo box menu"));
  menu->addSeparator();
  menu->addAction(actions[Command::Halve]);
  menu->addAction(actions[Command::Double]);
  menu->addSeparator();
  menu->addAction(actions[Command::TapTempo]);
  ShowsActions(menu, window);
  return menu;
}

QMenu* Extras::CreateWindowMenu(CalculatorWindow& window, WindowActions& actions) {
  auto* menu = new QMenu(&window);
  menu->setAccessibleName(QStringLiteral("Window menu"));
  menu->addAction(actions[Command::KeepAbove]);
  menu->addSeparator();
  menu->addAction(actions[Command::TapTempo]);
  menu->addAction(actions[Command::CopyTable]);
  menu->addSeparator();

  QMenu* pitches = menu->addMenu(kPitchMenuText);
  actions.pitchMenu = pitches;
  pitches->setAccessibleName(QStringLiteral("Reference Pitch"));
  auto* pitchGroup = new QActionGroup(pitches);
  for (const double hertz : calc::kListedReferencePitches) {
    QAction* action = pitches->addAction(PitchCaption(hertz, window.separator()));
    action->setCheckable(true);
    pitchGroup->addAction(action);
    connect(action, &QAction::triggered, this, [this, hertz] { SetReferencePitch(hertz); });
    actions.pitches.emplace_back(hertz, action);
  }
  actions.pitchSeparator = pitches->addSeparator();
  actions.otherPitch = pitches->addAction(QStringLiteral("&Other…"));
  connect(actions.otherPitch, &QAction::triggered, this,
          [this, &window] { ShowReferencePitchDialog(window); });
  QMenu* numberings = menu->addMenu(kNumberingMenuText);
  actions.numberingMenu = numberings;
  numberings->setAccessibleName(QStringLiteral("MIDI Numbering"));
  auto* numberingGroup = new QActionGroup(numberings);
  const std::pair<calc::MidiNumbering, QString> choices[] = {
      {calc::MidiNumbering::C0IsZero, QStringLiteral("C0 = 0")},
      {calc::MidiNumbering::CMinus1IsZero, QString::fromUtf8(kFromCMinus1Caption)}};
  for (const auto& [numbering, caption] : choices) {
    QAction* action = numberings->addAction(caption);
    action->setCheckable(true);
    numberingGroup->addAction(action);
    connect(action, &QAction::triggered, this,
            [this, choice = numbering] { SetNumbering(choice); });
    actions.numberings.emplace_back(numbering, action);
  }
  // The sample rate kept from one run to the next.
  actions.rememberRate = menu->addAction(kRememberRateText);
  actions.rememberRate->setCheckable(true);
  connect(actions.rememberRate, &QAction::triggered, this,
          [this](bool on) { SetRememberSampleRate(on); });
  // Where the tempo comes from; the entries say the state of the source.
  QMenu* sources = menu->addMenu(QStringLiteral("&Tempo Source"));
  sources->setAccessibleName(QStringLiteral("Tempo Source"));
  auto* sourceGroup = new QActionGroup(sources);
  for (const SourceRow& row : kSourceRows) {
    const SourceKind source = row.kind;
    QAction* action = sources->addAction(SourceEntryOf(nullptr, source).text);
    action->setCheckable(true);
    sourceGroup->addAction(action);
    connect(action, &QAction::triggered, this, [this, source] { SetTempoSource(source); });
    actions.sources.emplace_back(source, action);
  }
  connect(sources, &QMenu::aboutToShow, this, [this, &actions] { RefreshSources(actions); });
  menu->addSeparator();
  menu->addAction(actions[Command::Help]);
  menu->addAction(actions[Command::About]);
  ShowsActions(menu, window);
  return menu;
}

void Extras::RefreshSources(const WindowActions& actions) const {
  for (const auto& [source, action] : actions.sources) {
    const SourceEntry entry = SourceEntryOf(follow_.get(), source);
    action->setText(entry.text);
    action->setEnabled(entry.enabled);
    action->setChecked(entry.checked);
    action->setToolTip(entry.tip);
  }
}

void Extras::SetTempoSource(SourceKind source) {
  if (!follow_ && source == SourceKind::Manual) return;  // nothing was ever followed
  if (preferences_.tempoSource != source) {
    preferences_.tempoSource = source;
    Save(kTempoSource.name);
  }
  Follow().Choose(source);
}

SequencerFollow& Extras::Follow() {
  if (follow_) return *follow_;
  follow_ = std::make_unique<SequencerFollow>(program_);
  connect(follow_.get(), &SequencerFollow::manualChange, this,
          [this] { SetTempoSource(SourceKind::Manual); });
  connect(follow_.get(), &SequencerFollow::stateChanged, this, [this] {
    for (const auto& [window, actions] : actions_) RefreshSources(*actions);  // open menus too
  });
  for (Which which : {Which::Compact, Which::Large}) {
    if (CalculatorWindow* window = program_.window(which)) follow_->Attach(*window);
  }
  if (tapTempo_) follow_->WatchTaps(*tapTempo_);
  return *follow_;
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
                     [this] { program_.ShowHelp(tapTempo_.get()); });
    if (follow_) follow_->WatchTaps(*tapTempo_);
  }
  if (!tapTempo_->isVisible()) {
    tapTempo_->StartOver();
    tapTempo_->PlaceBeside(window);
  }
  // Above the window it follows, wherever that window stacks.
  SetTransientFor(*tapTempo_, &window);
  tapTempo_->showNormal();
  tapTempo_->raise();
  tapTempo_->activateWindow();
}

void Extras::ShowNote(CalculatorWindow& window, const QString& text) {
  constexpr int kNoteShownMs = 4000;
  if (!note_) {
    note_ = std::make_unique<QLabel>(nullptr, Qt::ToolTip | Qt::WindowDoesNotAcceptFocus);
    note_->setObjectName(QStringLiteral("extrasNote"));
    note_->setAttribute(Qt::WA_ShowWithoutActivating);
    note_->setForegroundRole(QPalette::ToolTipText);
    note_->setBackgroundRole(QPalette::ToolTipBase);
    note_->setAutoFillBackground(true);
    note_->setFrameStyle(QFrame::Box | QFrame::Plain);
    note_->setMargin(3);
    auto* timer = new QTimer(note_.get());
    timer->setObjectName(QStringLiteral("noteTimer"));
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, note_.get(), &QWidget::hide);
  }
  note_->setText(text);
  note_->adjustSize();
  const QLineEdit* tempo = window.tempoBox();
  note_->move(tempo->mapToGlobal(QPoint(0, tempo->height() + 2)));
  note_->show();
  note_->raise();
  note_->findChild<QTimer*>()->start(kNoteShownMs);
}

void Extras::SetKeepAbove(bool on) {
  if (preferences_.keepAbove == on) return;
  preferences_.keepAbove = on;
  for (QWidget* window : Windows()) ui::SetKeepAbove(*window, on);
  Save(kKeepAbove.name);
}

void Extras::SetReferencePitch(double hertz) {
  if (preferences_.referencePitch == hertz || !calc::IsReferencePitch(hertz)) return;
  preferences_.referencePitch = hertz;
  ApplyTuning();
  Save(kReferencePitch.name);
}

ReferencePitchDialog* Extras::ShowReferencePitchDialog(CalculatorWindow& window) {
  if (!pitchDialog_) {
    pitchDialog_ =
        new ReferencePitchDialog(preferences_.referencePitch, window.separator(), &window);
    pitchDialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(pitchDialog_, &ReferencePitchDialog::pitchChosen, this,
            [this](double hertz) { SetReferencePitch(hertz); });
    pitchDialog_->open();
  }
  pitchDialog_->raise();
  pitchDialog_->activateWindow();
  return pitchDialog_;
}

void Extras::SetRememberSampleRate(bool on) {
  if (preferences_.rememberSampleRate == on) return;
  preferences_.rememberSampleRate = on;
  Save(kRememberSampleRate.name);
}

void Extras::KeepSampleRate(const CalculatorWindow& window) {
  if (!preferences_.rememberSampleRate) return;
  const auto rate = calc::TextToNumber(RateText(window), window.separator());
  // A rate that is no number above zero is not kept: the last one stays.
  if (!rate || !(*rate > 0.0) || preferences_.sampleRate == rate) return;
  preferences_.sampleRate = rate;
  Save(kSampleRate.name);
}

void Extras::SetNumbering(calc::MidiNumbering numbering) {
  if (preferences_.numbering == numbering) return;
  preferences_.numbering = numbering;
  ApplyTuning();
  Save(kNumbering.name);
}

void Extras::ApplyTuning() {
  for (Which which : {Which::Compact, Which::Large}) {
    if (CalculatorWindow* window = program_.window(which)) {
      window->SetNoteTuning(preferences_.referencePitch, preferences_.numbering);
    }
  }
}

void Extras::Save(const char* key) {
  const QString reason = file_.Save(preferences_, key);
  if (reason.isEmpty()) {
    unsaved_.erase(key);
    return;
  }
  unsaved_[key] = reason;
  if (CalculatorWindow* shown = VisibleWindow()) {
    ShowNote(*shown, QStringLiteral("Preference not saved: %1").arg(reason));
  }
}

QString Extras::EntryText(const QString& text, const char* key) const {
  const auto unsaved = unsaved_.find(key);
  if (unsaved == unsaved_.end()) return text;
  return QStringLiteral("%1 (not saved: %2)").arg(text, unsaved->second);
}

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
