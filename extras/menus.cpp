#include "menus.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calc/bars.h"
#include "calc/delay_extras.h"
#include "calc/numeric_text.h"
#include "commands.h"
#include "preference_controller.h"
#include "sequencer_follow.h"
#include "tempo_sources.h"
#include "ui/calculator_window.h"

namespace extras {
namespace {

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

std::string TempoText(const ui::CalculatorWindow& window) {
  return window.tempoBox()->text().toStdString();
}
std::string RateText(const ui::CalculatorWindow& window) {
  return window.sampleRateBox()->currentText().toStdString();
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

// "A4 = 432 Hz", "A4 = 432,5 Hz".
QString PitchCaption(double hertz, char separator) {
  return QStringLiteral("A4 = %1 Hz")
      .arg(FromStd(calc::ReferencePitchText(hertz, separator).value_or("?")));
}

const QString kPitchMenuText = QStringLiteral("&Reference Pitch");
const QString kNumberingMenuText = QStringLiteral("&MIDI Numbering");
const QString kRememberRateText = QStringLiteral("Remember &Sample Rate");

constexpr char kFromCMinus1Caption[] = "C\u22121 = 0, as sequencers count (A4 = 69)";

}  // namespace

void PopUp(QMenu* menu, const QPoint& globalPos) {
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(globalPos);
}

void ShowSelectionOnlyIn(QMenu* menu, ui::CalculatorWindow& window, QLineEdit* box) {
  // A box whose text is all selected (the delay boxes once one has the focus)
  // keeps painting it so while the window is behind the menu: its highlight
  // becomes its plain colours meanwhile.
  struct Kept {
    QPointer<QLineEdit> box;
    QPalette palette;
  };
  auto kept = std::make_shared<std::vector<Kept>>();
  constexpr QPalette::ColorGroup kGroups[] = {QPalette::Active, QPalette::Inactive,
                                              QPalette::Disabled};
  QObject::connect(menu, &QMenu::aboutToShow, menu, [kept, &window, box, kGroups] {
    for (QLineEdit* other : window.findChildren<QLineEdit*>()) {
      if (other == box || !other->hasSelectedText()) continue;
      kept->push_back({other, other->palette()});
      QPalette plain = other->palette();
      for (const auto group : kGroups) {
        plain.setBrush(group, QPalette::Highlight, plain.brush(group, QPalette::Base));
        plain.setBrush(group, QPalette::HighlightedText, plain.brush(group, QPalette::Text));
      }
      other->setPalette(plain);
    }
  });
  QObject::connect(menu, &QMenu::aboutToHide, menu, [kept, kGroups] {
    // Only the highlight goes back: any other colour changed meanwhile stays.
    for (const Kept& shown : *kept) {
      if (!shown.box) continue;
      QPalette palette = shown.box->palette();
      for (const auto group : kGroups) {
        for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
          palette.setBrush(group, role, shown.palette.brush(group, role));
        }
      }
      shown.box->setPalette(palette);
    }
    kept->clear();
  });
}

QMenu* CreateDelayBoxMenu(ui::CalculatorWindow& window, int slot, QAction* copyTable) {
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
  const QString noTempo = TempoProblem(window);
  const QString noSamples = !tempo || rate ? noTempo : ProblemText(calc::BarProblem::NoSampleRate);
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

QMenu* CreateSamplesBoxMenu(ui::CalculatorWindow& window) {
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
    const calc::BarEntry entry =
        calc::ProposedLoopTempoEntry(samplesText, rateText, bars, separator);
    QAction* action = add(entry);
    if (!entry.value) continue;
    // A tempo the user chose from a menu, as Halve and Double in the tempo box's.
    QObject::connect(action, &QAction::triggered, &window, [&window, tempo = *entry.value] {
      if (!window.WriteTempo(tempo, ui::TempoOrigin::Key)) QApplication::beep();
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

QMenu* CreateTempoBoxMenu(ui::CalculatorWindow& window, const CommandActions& commands) {
  QMenu* menu = window.tempoBox()->createStandardContextMenu();
  menu->setAccessibleName(QStringLiteral("Tempo box menu"));
  menu->addSeparator();
  menu->addAction(commands[Command::Halve]);
  menu->addAction(commands[Command::Double]);
  menu->addSeparator();
  menu->addAction(commands[Command::TapTempo]);
  return menu;
}

WindowMenu CreateWindowMenu(ui::CalculatorWindow& window, const CommandActions& commands) {
  WindowMenu made;
  auto* menu = new QMenu(&window);
  made.menu = menu;
  menu->setAccessibleName(QStringLiteral("Window menu"));
  menu->addAction(commands[Command::KeepAbove]);
  menu->addSeparator();
  menu->addAction(commands[Command::TapTempo]);
  menu->addAction(commands[Command::AudioTempo]);
  menu->addAction(commands[Command::CopyTable]);
  menu->addSeparator();

  QMenu* pitches = menu->addMenu(kPitchMenuText);
  made.pitchMenu = pitches;
  pitches->setAccessibleName(QStringLiteral("Reference Pitch"));
  auto* pitchGroup = new QActionGroup(pitches);
  for (const double hertz : calc::kListedReferencePitches) {
    QAction* action = pitches->addAction(PitchCaption(hertz, window.separator()));
    action->setCheckable(true);
    pitchGroup->addAction(action);
    made.pitches.emplace_back(hertz, action);
  }
  made.pitchSeparator = pitches->addSeparator();
  made.otherPitch = pitches->addAction(QStringLiteral("&Other…"));
  QMenu* numberings = menu->addMenu(kNumberingMenuText);
  made.numberingMenu = numberings;
  numberings->setAccessibleName(QStringLiteral("MIDI Numbering"));
  auto* numberingGroup = new QActionGroup(numberings);
  const std::pair<calc::MidiNumbering, QString> choices[] = {
      {calc::MidiNumbering::C0IsZero, QStringLiteral("C0 = 0")},
      {calc::MidiNumbering::CMinus1IsZero, QString::fromUtf8(kFromCMinus1Caption)}};
  for (const auto& [numbering, caption] : choices) {
    QAction* action = numberings->addAction(caption);
    action->setCheckable(true);
    numberingGroup->addAction(action);
    made.numberings.emplace_back(numbering, action);
  }
  // The sample rate kept from one run to the next.
  made.rememberRate = menu->addAction(kRememberRateText);
  made.rememberRate->setCheckable(true);
  // Where the tempo comes from; the entries say the state of the source.
  QMenu* sources = menu->addMenu(QStringLiteral("&Tempo Source"));
  made.sourceMenu = sources;
  sources->setAccessibleName(QStringLiteral("Tempo Source"));
  sources->setToolTipsVisible(true);  // where a source listens, how Link shares
  auto* sourceGroup = new QActionGroup(sources);
  for (const SourceRow& row : kSourceRows) {
    const SourceKind source = row.kind;
    QAction* action = sources->addAction(SourceEntryOf(nullptr, source).text);
    action->setCheckable(true);
    sourceGroup->addAction(action);
    made.sources.emplace_back(source, action);
  }
  menu->addSeparator();
  menu->addAction(commands[Command::Help]);
  menu->addAction(commands[Command::About]);
  return made;
}

void RefreshWindowMenu(WindowMenu& menu, const CommandActions& commands,
                       const PreferenceController& controller, char separator) {
  const Preferences& preferences = controller.preferences();
  QAction* keepAbove = commands[Command::KeepAbove];
  keepAbove->setChecked(preferences.keepAbove);
  keepAbove->setText(controller.EntryText(CommandText(Command::KeepAbove), kKeepAbove.name));
  menu.pitchMenu->setTitle(controller.EntryText(kPitchMenuText, kReferencePitch.name));
  menu.numberingMenu->setTitle(controller.EntryText(kNumberingMenuText, kNumbering.name));
  bool listed = false;
  for (const auto& [hertz, action] : menu.pitches) {
    action->setChecked(hertz == preferences.referencePitch);
    listed = listed || action->isChecked();
  }
  // A pitch chosen with Other… shows as a checked entry of its own after the
  // list, made the first time there is one.
  if (!listed && !menu.customPitch) {
    QAction* first = menu.pitches.front().second;
    menu.customPitch = new QAction(first->parent());
    menu.customPitch->setCheckable(true);
    first->actionGroup()->addAction(menu.customPitch);
    menu.pitchMenu->insertAction(menu.pitchSeparator, menu.customPitch);
  }
  if (menu.customPitch) {
    menu.customPitch->setVisible(!listed);
    menu.customPitch->setChecked(!listed);
    if (!listed) menu.customPitch->setText(PitchCaption(preferences.referencePitch, separator));
  }
  menu.rememberRate->setChecked(preferences.rememberSampleRate);
  menu.rememberRate->setText(controller.EntryText(kRememberRateText, kRememberSampleRate.name));
  for (const auto& [numbering, action] : menu.numberings) {
    action->setChecked(numbering == preferences.numbering);
  }
}

void RefreshSources(const WindowMenu& menu, const SequencerFollow* follow) {
  for (const auto& [source, action] : menu.sources) {
    const SourceEntry entry = SourceEntryOf(follow, source);
    action->setText(entry.text);
    action->setEnabled(entry.enabled);
    action->setChecked(entry.checked);
    action->setToolTip(entry.tip);
  }
}

}  // namespace extras
