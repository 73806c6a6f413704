#include "extras.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <optional>
#include <utility>

#include "audio_tempo_window.h"
#include "calc/numeric_text.h"
#include "reference_pitch_dialog.h"
#include "sequencer_follow.h"
#include "tap_tempo_window.h"
#include "ui/calculator_window.h"
#include "ui/program.h"
#include "ui/window_tools.h"

namespace extras {

using ui::CalculatorWindow;
using ui::Which;

// A window's actions and its menu: made once, the first time one is asked for.
struct Extras::WindowActions {
  explicit WindowActions(CalculatorWindow& window)
      : commands(window), menu(CreateWindowMenu(window, commands)) {}
  CommandActions commands;
  WindowMenu menu;
};

Extras::Extras(ui::Program& program, PreferencesFile file)
    : program_(program), preferences_(std::move(file)) {
  preferences_.OnNotSaved([this](const QString& reason) {
    if (CalculatorWindow* shown = program_.shownWindow()) {
      ShowNote(*shown, QStringLiteral("Preference not saved: %1").arg(reason));
    }
  });
  connect(&program_, &ui::Program::windowCreated, this,
          [this](Which, CalculatorWindow* window) { Attach(*window); });
  // The end of a run keeps the rate the window shows, when it is remembered.
  connect(&program_, &ui::Program::runEnding, this, [this](Which which) {
    if (const CalculatorWindow* window = program_.window(which)) {
      preferences_.KeepSampleRate(window->sampleRateBox()->currentText().toStdString(),
                                  window->separator());
    }
  });
  drops_.SetFileAction(
      [this](CalculatorWindow& window, const QString& path) { ShowAudioTempo(window, path); });
  for (CalculatorWindow* window : program_.windows()) Attach(*window);
  // A saved source starts after the first paint; Manual makes nothing.
  if (preferences().tempoSource != SourceKind::Manual) {
    Follow().ChooseAfterFirstPaint(preferences().tempoSource);
  }
}

Extras::~Extras() {
  // Every window listed is still alive: a window leaves the list as it goes.
  for (auto& [window, actions] : actions_) {
    delete actions->menu.menu;
    actions->commands.Delete();
  }
}

void Extras::Attach(CalculatorWindow& window) {
  window.installEventFilter(this);
  drops_.Watch(window);
  QLineEdit* tempo = window.tempoBox();
  tempo->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(tempo, &QWidget::customContextMenuRequested, this, [this, &window, tempo](QPoint at) {
    QMenu* menu = CreateTempoBoxMenu(window, Actions(window).commands);
    ShowsActions(menu, window);
    ShowSelectionOnlyIn(menu, window, tempo);
    PopUp(menu, tempo->mapToGlobal(at));
  });
  for (int slot = 0; slot < calc::kDelaySlots; ++slot) {
    QLineEdit* box = window.DelayBox(slot);
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this, [this, &window, box, slot](QPoint at) {
      QMenu* menu = CreateDelayBoxMenu(window, slot, Actions(window).commands[Command::CopyTable]);
      ShowsActions(menu, window);
      ShowSelectionOnlyIn(menu, window, box);
      PopUp(menu, box->mapToGlobal(at));
    });
  }
  QLineEdit* samples = window.samplesBox();
  samples->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(samples, &QWidget::customContextMenuRequested, this, [&window, samples](QPoint at) {
    QMenu* menu = CreateSamplesBoxMenu(window);
    ShowSelectionOnlyIn(menu, window, samples);
    PopUp(menu, samples->mapToGlobal(at));
  });
  connect(&window, &QObject::destroyed, this, [this, gone = &window] {
    actions_.erase(gone);
    // The Tap Tempo window has nothing to follow once both windows are gone.
    if (!program_.windows().empty()) return;
    if (tapTempo_) tapTempo_->close();
    if (audioTempo_) audioTempo_->close();
  });
  const Preferences& chosen = preferences();
  if (chosen.keepAbove) extras::SetKeepAbove(window, true);
  window.SetNoteTuning(chosen.referencePitch, chosen.numbering);
  if (const auto rate = preferences_.startRate()) {
    // As if the user had typed it: the beat calculator follows.
    if (const auto text = calc::NumberToText(*rate, window.separator())) {
      window.SetSampleRate(QString::fromStdString(*text));
    }
  }
  if (follow_) follow_->Attach(window);
}

Extras::WindowActions& Extras::Actions(CalculatorWindow& window) {
  std::unique_ptr<WindowActions>& made = actions_[&window];
  if (made) return *made;
  made = std::make_unique<WindowActions>(window);
  const CommandActions& commands = made->commands;
  connect(commands[Command::KeepAbove], &QAction::triggered, this,
          [this](bool on) { SetKeepAbove(on); });
  connect(commands[Command::TapTempo], &QAction::triggered, this,
          [this, &window] { ShowTapTempo(window); });
  connect(commands[Command::AudioTempo], &QAction::triggered, this,
          [this, &window] { ChooseAudioFile(window); });
  connect(commands[Command::CopyTable], &QAction::triggered, this, [this, &window] {
    if (CopyDelayTable(window)) return;
    QApplication::beep();
    ShowNote(window, QStringLiteral("No delay table to copy: %1").arg(TempoProblem(window)));
  });
  connect(commands[Command::Halve], &QAction::triggered, this,
          [&window] { StepTempo(window, calc::TempoStep::Halve); });
  connect(commands[Command::Double], &QAction::triggered, this,
          [&window] { StepTempo(window, calc::TempoStep::Double); });
  connect(commands[Command::Help], &QAction::triggered, this, [this] { program_.ShowHelp(); });
  connect(commands[Command::About], &QAction::triggered, this, [this, &window] {
    program_.ShowAbout(program_.window(Which::Compact) == &window ? Which::Compact : Which::Large);
  });
  connect(commands[Command::OpenMenu], &QAction::triggered, this,
          [&window] { OpenMenuFromKeyboard(window); });

  WindowMenu& menu = made->menu;
  for (const auto& [hertz, action] : menu.pitches) {
    connect(action, &QAction::triggered, this, [this, hertz = hertz] { SetReferencePitch(hertz); });
  }
  connect(menu.otherPitch, &QAction::triggered, this,
          [this, &window] { ShowReferencePitchDialog(window); });
  for (const auto& [numbering, action] : menu.numberings) {
    connect(action, &QAction::triggered, this,
            [this, choice = numbering] { SetNumbering(choice); });
  }
  connect(menu.rememberRate, &QAction::triggered, this,
          [this](bool on) { SetRememberSampleRate(on); });
  for (const auto& [source, action] : menu.sources) {
    connect(action, &QAction::triggered, this, [this, source = source] { SetTempoSource(source); });
  }
  connect(menu.sourceMenu, &QMenu::aboutToShow, this,
          [this, &menu] { RefreshSources(menu, follow_.get()); });
  ShowsActions(menu.menu, window);
  ShowSelectionOnlyIn(menu.menu, window, nullptr);
  return *made;
}

void Extras::Refresh(CalculatorWindow& window, WindowActions& actions) {
  actions.commands.Refresh(window);
  RefreshWindowMenu(actions.menu, actions.commands, preferences_, window.separator());
  RefreshSources(actions.menu, follow_.get());
}

void Extras::ShowsActions(QMenu* menu, CalculatorWindow& window) {
  connect(menu, &QMenu::aboutToShow, this, [this, &window] { Refresh(window, Actions(window)); });
  connect(menu, &QMenu::aboutToHide, this,
          [this, &window] { Actions(window).commands.EnableKeys(); });
}

bool Extras::eventFilter(QObject* watched, QEvent* event) {
  auto* window = qobject_cast<CalculatorWindow*>(watched);
  if (!window) return false;
  if (event->type() == QEvent::ContextMenu) {
    auto* request = static_cast<QContextMenuEvent*>(event);
    Actions(*window).menu.menu->popup(request->globalPos());
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
  if (const auto command = CommandOfKey(event.keyCombination())) {
    Actions(window).commands[*command]->trigger();
    return true;
  }
  const auto step = TempoKeyStep(event);
  return step && window.focusWidget() == window.tempoBox() && StepTempo(window, *step);
}

void Extras::SetTempoSource(SourceKind source) {
  if (!follow_ && source == SourceKind::Manual) return;  // nothing was ever followed
  preferences_.SetTempoSource(source);
  Follow().Choose(source);
}

SequencerFollow& Extras::Follow() {
  if (follow_) return *follow_;
  follow_ = std::make_unique<SequencerFollow>(program_);
  connect(follow_.get(), &SequencerFollow::manualChange, this,
          [this] { SetTempoSource(SourceKind::Manual); });
  connect(follow_.get(), &SequencerFollow::stateChanged, this, [this] {
    for (const auto& [window, actions] : actions_) RefreshSources(actions->menu, follow_.get());
  });
  for (CalculatorWindow* window : program_.windows()) follow_->Attach(*window);
  if (tapTempo_) follow_->WatchTaps(*tapTempo_);
  return *follow_;
}

void Extras::ShowTapTempo(CalculatorWindow& window) {
  if (!tapTempo_) {
    tapTempo_ = std::make_unique<TapTempoWindow>(window.separator());
    if (preferences().keepAbove) extras::SetKeepAbove(*tapTempo_, true);
    QObject::connect(tapTempo_.get(), &TapTempoWindow::tempoTapped, tapTempo_.get(),
                     [this](const QString& text) {
                       if (CalculatorWindow* shown = program_.shownWindow()) {
                         shown->WriteTempo(text.toStdString(), ui::TempoOrigin::Tap);
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
  ui::SetTransientFor(*tapTempo_, &window);
  tapTempo_->showNormal();
  tapTempo_->raise();
  tapTempo_->activateWindow();
}

void Extras::ChooseAudioFile(CalculatorWindow& window) {
  const QString path = QFileDialog::getOpenFileName(
      &window, QStringLiteral("Tempo of an Audio File"), QString(),
      QStringLiteral("Audio files (*.wav *.wave *.aif *.aiff *.aifc *.flac *.ogg *.oga *.opus "
                     "*.mp3 *.au *.snd *.caf *.w64 *.rf64);;All files (*)"));
  if (!path.isEmpty()) ShowAudioTempo(window, path);
}

void Extras::ShowAudioTempo(CalculatorWindow& window, const QString& path) {
  if (!audioTempo_) {
    audioTempo_ = std::make_unique<AudioTempoWindow>(window.separator(), AnalyserInProgramFolder());
    if (preferences().keepAbove) extras::SetKeepAbove(*audioTempo_, true);
    QObject::connect(audioTempo_.get(), &AudioTempoWindow::tempoChosen, audioTempo_.get(),
                     [this](const QString& text) {
                       if (CalculatorWindow* shown = program_.shownWindow()) {
                         shown->WriteTempo(text.toStdString(), ui::TempoOrigin::Tap);
                       }
                     });
  }
  if (!audioTempo_->isVisible()) audioTempo_->PlaceBeside(window);
  ui::SetTransientFor(*audioTempo_, &window);
  audioTempo_->showNormal();
  audioTempo_->raise();
  audioTempo_->activateWindow();
  audioTempo_->Open(path);
}

void Extras::ShowNote(CalculatorWindow& window, const QString& text) { note_.Show(window, text); }

void Extras::SetKeepAbove(bool on) {
  if (!preferences_.SetKeepAbove(on)) return;
  for (QWidget* window : Windows()) extras::SetKeepAbove(*window, on);
}

void Extras::SetReferencePitch(double hertz) {
  if (preferences_.SetReferencePitch(hertz)) ApplyTuning();
}

ReferencePitchDialog* Extras::ShowReferencePitchDialog(CalculatorWindow& window) {
  if (!pitchDialog_) {
    pitchDialog_ =
        new ReferencePitchDialog(preferences().referencePitch, window.separator(), &window);
    pitchDialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(pitchDialog_, &ReferencePitchDialog::pitchChosen, this,
            [this](double hertz) { SetReferencePitch(hertz); });
    pitchDialog_->open();
  }
  pitchDialog_->raise();
  pitchDialog_->activateWindow();
  return pitchDialog_;
}

void Extras::SetRememberSampleRate(bool on) { preferences_.SetRememberSampleRate(on); }

void Extras::SetNumbering(calc::MidiNumbering numbering) {
  if (preferences_.SetNumbering(numbering)) ApplyTuning();
}

void Extras::ApplyTuning() {
  for (CalculatorWindow* window : program_.windows()) {
    window->SetNoteTuning(preferences().referencePitch, preferences().numbering);
  }
}

std::vector<QWidget*> Extras::Windows() const {
  std::vector<QWidget*> windows;
  for (CalculatorWindow* window : program_.windows()) windows.push_back(window);
  if (tapTempo_) windows.push_back(tapTempo_.get());
  if (audioTempo_) windows.push_back(audioTempo_.get());
  return windows;
}

}  // namespace extras
