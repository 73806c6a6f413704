// The extras' preferences: the file read back, damaged, missing or not a
// regular file; keep-above on every window; reference pitch and MIDI numbering
// recomputing both windows; and no extra objects at start-up.
#include <sys/stat.h>
#include <unistd.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <cstdio>

#include "config_paths.h"
#include "extras_test_support.h"
#include "reference_pitch_dialog.h"
#include "settings.h"
#include "tap_tempo_window.h"

using namespace extrastest;
using calc::MidiNumbering;
using extras::Preferences;
using ui::Which;

Q_DECLARE_METATYPE(extras::Preferences)

namespace {

int CountObjects(const QObject* root) {
  int count = 1;
  for (const QObject* child : root->children()) count += CountObjects(child);
  return count;
}

// Every object the application holds: its own tree and every top-level widget's.
int LiveObjects() {
  int count = CountObjects(qApp);
  for (const QWidget* top : QApplication::topLevelWidgets()) {
    if (!top->parent()) count += CountObjects(top);
  }
  return count;
}

Preferences Make(bool keepAbove, double pitch, MidiNumbering numbering) {
  Preferences preferences;
  preferences.keepAbove = keepAbove;
  preferences.referencePitch = pitch;
  preferences.numbering = numbering;
  return preferences;
}

const Preferences kDefaults;

Preferences Remembering(std::optional<double> rate, bool on = true) {
  Preferences preferences;
  preferences.rememberSampleRate = on;
  preferences.sampleRate = rate;
  return preferences;
}

void PressNote(ui::CalculatorWindow* window, int index, int octave) {
  auto* slider = window->control<QSlider>("sldOctave");
  slider->setValue(octave);  // as the user drags it: sldOctave_Scroll runs
  window->control<QPushButton>(QStringLiteral("cmdNote%1").arg(index))->click();
}

QString Box(const ui::CalculatorWindow* window, const char* name) {
  return window->control<QLineEdit>(name)->text();
}

// Everything a user can see of a window or a test can read from it: texts,
// positions, colours, geometry, tooltips, window flags and the focus chain.
QStringList Snapshot(const ui::CalculatorWindow* window) {
  if (!window) return {QStringLiteral("<not loaded>")};
  QStringList lines{QStringLiteral("window %1 flags %2 visible %3")
                        .arg(window->objectName())
                        .arg(int(window->windowFlags()))
                        .arg(window->isVisible())};
  for (const QWidget* widget : window->findChildren<QWidget*>()) {
    if (widget->objectName().isEmpty() || widget->objectName().startsWith(QLatin1String("qt_"))) {
      continue;
    }
    QString line = widget->objectName() + ' ' + QString::number(widget->x()) + ',' +
                   QString::number(widget->y()) + ' ' + QString::number(widget->width()) + 'x' +
                   QString::number(widget->height()) + " tip:" + widget->toolTip();
    if (const auto* box = qobject_cast<const QLineEdit*>(widget)) {
      line += " text:" + box->text() + " base:" + box->palette().color(QPalette::Base).name();
    }
    if (const auto* slider = qobject_cast<const QSlider*>(widget)) {
      line += " at:" + QString::number(slider->value());
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget))
      line += " caption:" + label->text();
    lines << line;
  }
  QString chain = QStringLiteral("focus:");
  const QWidget* next = window;
  for (int i = 0; i < 200; ++i) {
    next = next->nextInFocusChain();
    if (next == window) break;
    if (next->focusPolicy() != Qt::NoFocus) chain += ' ' + next->objectName();
  }
  return lines << chain;
}

// A user's session: tempos typed, notes and octaves, the beat buttons, a
// stereo pair and both layout switches.
void UseTheCalculator(ui::Program& program) {
  ui::CalculatorWindow* compact = program.window(Which::Compact);
  auto* bpm = compact->control<QLineEdit>("bpm");
  bpm->selectAll();
  QTest::keyClicks(bpm, QStringLiteral("133.5"));
  PressNote(compact, 1, 7);
  compact->control<QPushButton>("Command11")->click();
  compact->control<QPushButton>("Option3")->click();
  program.Max_Click();
  ui::CalculatorWindow* large = program.window(Which::Large);
  auto* largeBpm = large->control<QLineEdit>("bpm");
  largeBpm->selectAll();
  QTest::keyClicks(largeBpm, QStringLiteral("90"));
  PressNote(large, 11, 10);
  large->control<QPushButton>("Command1")->click();
  program.Min_Click();
}

bool KeptAbove(const QWidget* window) {
  const bool widget = window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  const QWindow* handle = window->windowHandle();
  return widget && (!handle || handle->flags().testFlag(Qt::WindowStaysOnTopHint));
}

}  // namespace

class ExtrasPreferencesTest : public programtest::Fixture {
  Q_OBJECT

 private slots:
  void initTestCase() { programtest::InitCalculator(); }

  // ---- The file ----

  void parse_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Preferences>("expected");
    QTest::newRow("empty") << QByteArray() << kDefaults;
    QTest::newRow("all set") << QByteArray(
                                    "[Preferences]\nKeepAbove=true\nReferencePitch=432\n"
                                    "MidiNumbering=C-1\n")
                             << Make(true, 432, MidiNumbering::CMinus1IsZero);
    QTest::newRow("blanks and letter case of the flag")
        << QByteArray("  [Preferences]  \r\n KeepAbove = TRUE \r\nReferencePitch= 415\r\n")
        << Make(true, 415, MidiNumbering::C0IsZero);
    QTest::newRow("unknown pitch gives 440")
        << QByteArray("[Preferences]\nReferencePitch=480.1\nKeepAbove=true\n")
        << Make(true, 440, MidiNumbering::C0IsZero);
    // Any pitch from 380 to 480 Hz in tenths is a reference now, so a zero
    // fraction reads as the whole number, as the dialog reads it.
    QTest::newRow("pitch with a zero fraction reads")
        << QByteArray("[Preferences]\nReferencePitch=432.0\n")
        << Make(false, 432, MidiNumbering::C0IsZero);
    QTest::newRow("pitch in tenths, outside the list")
        << QByteArray("[Preferences]\nReferencePitch=432.5\n")
        << Make(false, 432.5, MidiNumbering::C0IsZero);
    QTest::newRow("pitch off the tenths gives 440")
        << QByteArray("[Preferences]\nReferencePitch=432.05\n") << kDefaults;
    QTest::newRow("pitch with a comma gives 440: the file writes points")
        << QByteArray("[Preferences]\nReferencePitch=432,5\n") << kDefaults;
    QTest::newRow("remembered sample rate")
        << QByteArray("[Preferences]\nRememberSampleRate=true\nSampleRate=48000\n")
        << Remembering(48000);
    QTest::newRow("sample rate that is no rate is none")
        << QByteArray("[Preferences]\nRememberSampleRate=true\nSampleRate=-44100\n")
        << Remembering(std::nullopt);
    QTest::newRow("sample rate kept while not remembered")
        << QByteArray("[Preferences]\nSampleRate=96000\n") << Remembering(96000, false);
    QTest::newRow("unknown numbering gives C0")
        << QByteArray("[Preferences]\nMidiNumbering=C1\nReferencePitch=446\n")
        << Make(false, 446, MidiNumbering::C0IsZero);
    QTest::newRow("flag as a number is damaged")
        << QByteArray("[Preferences]\nKeepAbove=1\n") << kDefaults;
    QTest::newRow("keys outside the section are not ours")
        << QByteArray("KeepAbove=true\n[Other]\nReferencePitch=432\n[Preferences]\n") << kDefaults;
    QTest::newRow("unknown keys and junk lines are passed over")
        << QByteArray("[Preferences]\nColour=red\n%%%\n=432\nMidiNumbering=C-1\n")
        << Make(false, 440, MidiNumbering::CMinus1IsZero);
    QTest::newRow("binary garbage")
        << QByteArray("\x7f\x45\x4c\x46\x02\x01\x01[Preferences\xff\xfe=\x01") << kDefaults;
    QTest::newRow("the last of two values counts")
        << QByteArray("[Preferences]\nReferencePitch=432\nReferencePitch=442\n")
        << Make(false, 442, MidiNumbering::C0IsZero);
  }
  void parse() {
    QFETCH(QByteArray, text);
    QFETCH(Preferences, expected);
    const QString path = home().path() + QStringLiteral("/preferences.ini");
    QVERIFY(programtest::WriteFileBytes(path, text));
    QVERIFY(extras::PreferencesFile(path).Read() == expected);
  }

  void writtenFileReadsBack_data() {
    QTest::addColumn<Preferences>("preferences");
    QTest::newRow("defaults") << kDefaults;
    QTest::newRow("keep above") << Make(true, 440, MidiNumbering::C0IsZero);
    QTest::newRow("lowest pitch, sequencer numbering")
        << Make(false, 415, MidiNumbering::CMinus1IsZero);
    QTest::newRow("highest pitch, everything on") << Make(true, 446, MidiNumbering::CMinus1IsZero);
    QTest::newRow("pitch in tenths") << Make(false, 466.6, MidiNumbering::C0IsZero);
    QTest::newRow("remembered sample rate") << Remembering(22050.5);
  }
  void writtenFileReadsBack() {
    QFETCH(Preferences, preferences);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new/folder/preferences.ini"));
    extras::PreferencesFile file(path);
    QVERIFY(file.Write(preferences));
    QVERIFY(extras::PreferencesFile(path).Read() == preferences);
    QCOMPARE(QDir(dir.filePath("new/folder")).entryList(QDir::Files | QDir::Hidden),
             QStringList{"preferences.ini"});  // no temporary file left behind
  }

  void unreadableFilesGiveDefaults_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("a folder") << "folder";
    QTest::newRow("a named pipe: never waits for a writer") << "fifo";
    QTest::newRow("a link to nothing") << "dangling";
  }
  void unreadableFilesGiveDefaults() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("preferences.ini"));
    if (kind == QLatin1String("folder")) QVERIFY(QDir().mkpath(path));
    if (kind == QLatin1String("fifo")) QCOMPARE(::mkfifo(qPrintable(path), 0600), 0);
    if (kind == QLatin1String("dangling")) {
      QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), path));
    }
    QVERIFY(extras::PreferencesFile(path).Read() == kDefaults);
  }

  void failedWriteKeepsWhatIsThereAndSaysSo_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("a folder in the way")
        << "folder" << QByteArray("it is a folder, not a regular file; nothing was changed");
    QTest::newRow("a named pipe in the way")
        << "fifo" << QByteArray("it is a named pipe, not a regular file; nothing was changed");
    QTest::newRow("a file where the folder should be")
        << "blocked" << QByteArray("cannot be created");
  }
  void failedWriteKeepsWhatIsThereAndSaysSo() {
    QFETCH(QString, kind);
    QFETCH(QByteArray, message);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("preferences.ini"));
    if (kind == QLatin1String("folder")) QVERIFY(QDir().mkpath(path));
    if (kind == QLatin1String("fifo")) QCOMPARE(::mkfifo(qPrintable(path), 0600), 0);
    if (kind == QLatin1String("blocked")) {
      QVERIFY(programtest::WriteFileBytes(dir.filePath(QStringLiteral("tempiva")), "mine"));
      path = dir.filePath(QStringLiteral("tempiva/preferences.ini"));
    }
    const QFileInfo before(kind == QLatin1String("blocked") ? dir.filePath("tempiva") : path);
    programtest::ErrorOutput error;
    extras::PreferencesFile file(path);
    QVERIFY(!file.Write(Make(true, 432, MidiNumbering::C0IsZero)));
    const QStringList said = error.Lines();
    QCOMPARE(said.size(), 1);
    QVERIFY2(said.first().startsWith("tpv120: preferences not saved to " + path),
             qPrintable(said.first()));
    QVERIFY2(said.first().contains(QString::fromUtf8(message)), qPrintable(said.first()));
    const QFileInfo after(before.filePath());
    QCOMPARE(after.isDir(), before.isDir());
    QCOMPARE(after.isFile(), before.isFile());
    if (kind == QLatin1String("blocked")) {
      QCOMPARE(programtest::FileBytes(before.filePath()), QByteArray("mine"));
    }
  }

  void aLinkedFileIsWrittenThroughTheLink() {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("kept/elsewhere.ini"));
    QVERIFY(QDir().mkpath(dir.filePath("kept")));
    QVERIFY(programtest::WriteFileBytes(target, "[Preferences]\n"));
    const QString path = dir.filePath(QStringLiteral("preferences.ini"));
    QVERIFY(QFile::link(target, path));
    QVERIFY(extras::PreferencesFile(path).Write(Make(false, 435, MidiNumbering::C0IsZero)));
    QVERIFY(QFileInfo(path).isSymLink());
    QVERIFY(extras::PreferencesFile(target).Read() == Make(false, 435, MidiNumbering::C0IsZero));
  }

  void pathFollowsXdgConfigHome_data() {
    QTest::addColumn<QString>("xdg");  // "<home>" stands for the temporary folder
    QTest::addColumn<QString>("expected");
    QTest::newRow("absolute") << "<home>/cfg"
                              << "<home>/cfg/tempiva/preferences.ini";
    QTest::newRow("unset: ~/.config") << ""
                                      << "<home>/.config/tempiva/preferences.ini";
    QTest::newRow("relative is ignored") << "cfg"
                                         << "<home>/.config/tempiva/preferences.ini";
  }
  void pathFollowsXdgConfigHome() {
    QFETCH(QString, xdg);
    QFETCH(QString, expected);
    QTemporaryDir home;
    QString path;
    {
      const programtest::ScopedEnvironment homeVariable("HOME", home.path().toLocal8Bit());
      const programtest::ScopedEnvironment xdgVariable(
          "XDG_CONFIG_HOME", xdg.replace("<home>", home.path()).toLocal8Bit());
      path = settings::PreferencesPath();
    }
    QCOMPARE(path, expected.replace("<home>", home.path()));
  }

  // ---- In the program ----

  void defaultsChangeNothingAndMakeNoObjectAtStartUp() {
    int withoutExtras = 0;
    {
      FakeShell shell;
      ui::Program program('.', shell);
      program.Start();
      withoutExtras = LiveObjects();
    }
    programtest::FlushDeletes();
    NewHome();  // the run with the extras starts from nothing stored, as that one did
    QVERIFY(Restart());
    ui::CalculatorWindow* window = run().shown();
    QCOMPARE(LiveObjects(), withoutExtras);
    QVERIFY(!KeptAbove(window));
    QCOMPARE(Box(window, "NoteFreq"), QStringLiteral("440.000"));  // nothing computed at start
    QCOMPARE(Box(window, "MidiNoteNumber"), QStringLiteral("57"));
    QVERIFY(!QFileInfo::exists(settings::PreferencesPath()));  // nothing chosen, nothing written
    PressNote(window, 0, 4);
    QCOMPARE(Box(window, "NoteFreq"), QStringLiteral("261.625"));
    QCOMPARE(Box(window, "MidiNoteNumber"), QStringLiteral("48"));
  }

  void defaultsLeaveEveryResultAsItWas() {
    QStringList without;
    {
      FakeShell shell;
      ui::Program program('.', shell);
      program.Start();
      UseTheCalculator(program);
      without = Snapshot(program.window(Which::Compact)) + Snapshot(program.window(Which::Large));
    }
    programtest::FlushDeletes();
    NewHome();
    QVERIFY(Restart());
    UseTheCalculator(run().program());
    const QStringList with =
        Snapshot(run().window(Which::Compact)) + Snapshot(run().window(Which::Large));
    QVERIFY2(with.size() > 150, qPrintable(QString::number(with.size())));
    QCOMPARE(with, without);
  }

  void keepAboveSetsEveryWindowsFlag() {
    QVERIFY(Restart());
    ui::CalculatorWindow* compact = run().window(Which::Compact);
    run().extras().ShowTapTempo(*compact);
    const QPoint place = compact->pos();
    QMenu* menu = RequestMenu(compact, QContextMenuEvent::Mouse);
    QVERIFY(menu);
    Entry(menu, QStringLiteral("Keep Above Other Windows"))->trigger();
    CloseMenus();
    QVERIFY(KeptAbove(compact));
    QVERIFY(compact->isVisible());    // not hidden by the change
    QCOMPARE(compact->pos(), place);  // nor moved
    QVERIFY(KeptAbove(run().extras().tapTempo()));
    run().program().Max_Click();  // the large window, made now, stays above too
    QVERIFY(KeptAbove(run().window(Which::Large)));
    QVERIFY(extras::PreferencesFile(settings::PreferencesPath()).Read().keepAbove);

    menu = RequestMenu(run().window(Which::Large), QContextMenuEvent::Mouse);
    QVERIFY(menu);
    QCOMPARE(Describe(menu).value(0), QStringLiteral("(on) Keep Above Other Windows"));
    Entry(menu, QStringLiteral("Keep Above Other Windows"))->trigger();
    for (QWidget* window :
         {static_cast<QWidget*>(compact), static_cast<QWidget*>(run().window(Which::Large)),
          static_cast<QWidget*>(run().extras().tapTempo())}) {
      QVERIFY(!KeptAbove(window));
    }
    QVERIFY(!extras::PreferencesFile(settings::PreferencesPath()).Read().keepAbove);
  }

  void pitchAndNumberingRecomputeBothWindows_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("large");    // NoteFreq and MidiNoteNumber, shown window: C4
    QTest::addColumn<QStringList>("compact");  // hidden window: its own note, A4
    QTest::newRow("A4 = 432 Hz") << "Reference Pitch"
                                 << "A4 = 432 Hz" << QStringList{"256.868", "48"}
                                 << QStringList{"432.000", "57"};
    QTest::newRow("A4 = 415 Hz") << "Reference Pitch"
                                 << "A4 = 415 Hz" << QStringList{"246.760", "48"}
                                 << QStringList{"415.000", "57"};
    QTest::newRow("A4 = 446 Hz") << "Reference Pitch"
                                 << "A4 = 446 Hz" << QStringList{"265.193", "48"}
                                 << QStringList{"446.000", "57"};
    QTest::newRow("sequencer numbering")
        << "MIDI Numbering" << QStringLiteral("C\u22121 = 0, as sequencers count (A4 = 69)")
        << QStringList{"261.625", "60"} << QStringList{"440.000", "69"};
  }
  void pitchAndNumberingRecomputeBothWindows() {
    QFETCH(QString, menu);
    QFETCH(QString, entry);
    QFETCH(QStringList, large);
    QFETCH(QStringList, compact);
    QVERIFY(Restart(QStringLiteral("large")));
    ui::CalculatorWindow* shown = run().window(Which::Large);
    ui::CalculatorWindow* hidden = run().window(Which::Compact);
    PressNote(shown, 0, 4);
    QMenu* windowMenu = RequestMenu(shown, QContextMenuEvent::Mouse);
    QVERIFY(windowMenu);
    Entry(Entry(windowMenu, menu)->menu(), entry)->trigger();
    QCOMPARE((QStringList{Box(shown, "NoteFreq"), Box(shown, "MidiNoteNumber")}), large);
    QCOMPARE((QStringList{Box(hidden, "NoteFreq"), Box(hidden, "MidiNoteNumber")}), compact);
    // The next note is computed the same way.
    PressNote(shown, 9, 4);
    QCOMPARE(Box(shown, "NoteFreq"), compact.at(0));
    QCOMPARE(Box(shown, "MidiNoteNumber"), compact.at(1));

    // Back to the defaults: today's results again.
    windowMenu = RequestMenu(shown, QContextMenuEvent::Mouse);
    Entry(Entry(windowMenu, QStringLiteral("Reference Pitch"))->menu(),
          QStringLiteral("A4 = 440 Hz"))
        ->trigger();
    CloseMenus();
    windowMenu = RequestMenu(shown, QContextMenuEvent::Mouse);
    Entry(Entry(windowMenu, QStringLiteral("MIDI Numbering"))->menu(), QStringLiteral("C0 = 0"))
        ->trigger();
    QCOMPARE(Box(shown, "NoteFreq"), QStringLiteral("440.000"));
    QCOMPARE(Box(shown, "MidiNoteNumber"), QStringLiteral("57"));
    QVERIFY(extras::PreferencesFile(settings::PreferencesPath()).Read() == kDefaults);
  }

  void restartReadsThePreferences_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("keptAbove");
    QTest::addColumn<QStringList>("note");  // NoteFreq and MidiNoteNumber at start
    QTest::newRow("stored choices") << QByteArray(
                                           "[Preferences]\nKeepAbove=true\nReferencePitch=442\n"
                                           "MidiNumbering=C-1\n")
                                    << true << QStringList{"442.000", "69"};
    QTest::newRow("damaged file") << QByteArray("[Preferences]\nKeepAbove=yes\nReferencePitch=9\n")
                                  << false << QStringList{"440.000", "57"};
  }
  void restartReadsThePreferences() {
    QFETCH(QByteArray, file);
    QFETCH(bool, keptAbove);
    QFETCH(QStringList, note);
    QVERIFY(QDir().mkpath(home().path() + "/tempiva"));
    QVERIFY(programtest::WriteFileBytes(settings::PreferencesPath(), file));
    QVERIFY(Restart());
    ui::CalculatorWindow* window = run().shown();
    QCOMPARE(KeptAbove(window), keptAbove);
    QCOMPARE((QStringList{Box(window, "NoteFreq"), Box(window, "MidiNoteNumber")}), note);
    QCOMPARE(programtest::FileBytes(settings::PreferencesPath()), file);  // read, not rewritten
  }

  void otherPitchDialog_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<char>("separator");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("problem");  // under the box; empty: taken
    QTest::addColumn<QString>("a4");       // NoteFreq for A4 after Enter
    QTest::newRow("432,5 with a comma, compact") << "compact" << ',' << "432,5"
                                                 << ""
                                                 << "432,500";
    QTest::newRow("432,5 with a comma, large") << "large" << ',' << "432,5"
                                               << ""
                                               << "432,500";
    QTest::newRow("379.9 is below the range") << "compact" << '.' << "379.9"
                                              << "Not between 380 and 480 Hz"
                                              << "440.000";
    QTest::newRow("480,1 is above the range") << "large" << ',' << "480,1"
                                              << "Not between 380 and 480 Hz"
                                              << "440,000";
    QTest::newRow("a point where the comma is the separator") << "compact" << ',' << "432.5"
                                                              << "Not a number"
                                                              << "440,000";
    QTest::newRow("nothing typed") << "compact" << '.' << ""
                                   << "Not a number"
                                   << "440.000";
  }
  void otherPitchDialog() {
    QFETCH(QString, layout);
    QFETCH(char, separator);
    QFETCH(QString, typed);
    QFETCH(QString, problem);
    QFETCH(QString, a4);
    ui::CalculatorWindow* window = Restart(layout, separator);
    QVERIFY(window);
    PressNote(window, 9, 4);
    QMenu* menu = RequestMenu(window, QContextMenuEvent::Mouse);
    QVERIFY(menu);
    Entry(Entry(menu, QStringLiteral("Reference Pitch"))->menu(), QStringLiteral("Other…"))
        ->trigger();
    CloseMenus();
    auto* dialog = window->findChild<extras::ReferencePitchDialog*>();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->box()->text(), QStringLiteral("440"));  // the pitch in use
    QVERIFY(dialog->okButton()->isEnabled());
    dialog->box()->clear();
    QTest::keyClicks(dialog->box(), typed);
    QCOMPARE(dialog->problem(), problem);
    QCOMPARE(dialog->okButton()->isEnabled(), problem.isEmpty());
    QTest::keyClick(dialog->box(), Qt::Key_Return);
    QCOMPARE(Box(window, "NoteFreq"), a4);
    if (!problem.isEmpty()) {
      QVERIFY(dialog->isVisible());  // Enter does nothing while OK is greyed out
      dialog->reject();
      QVERIFY(!QFileInfo::exists(settings::PreferencesPath()));
      return;
    }
    QVERIFY(!dialog->isVisible());
    // A pitch the list lacks is a checked entry of its own; the list keeps none.
    menu = RequestMenu(window, QContextMenuEvent::Mouse);
    const QStringList pitches = Describe(Entry(menu, QStringLiteral("Reference Pitch"))->menu());
    CloseMenus();
    QCOMPARE(pitches.filter(QStringLiteral("(on)")),
             QStringList{QStringLiteral("(on) A4 = %1 Hz").arg(typed)});
    QCOMPARE(pitches.mid(pitches.size() - 3),
             (QStringList{QStringLiteral("(on) A4 = %1 Hz").arg(typed), "---", "Other…"}));
    // Kept with a point, and read back at the next start.
    const QString stored = typed.replace(',', '.');
    QVERIFY(programtest::FileBytes(settings::PreferencesPath())
                .contains(("ReferencePitch=" + stored + "\n").toUtf8()));
    QVERIFY(Restart(layout, separator));
    PressNote(run().shown(), 9, 4);
    QCOMPARE(Box(run().shown(), "NoteFreq"), a4);
  }

  void rememberSampleRate_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<bool>("on");
    QTest::addColumn<bool>("terminated");  // ended by a terminate request, not by Exit
    QTest::newRow("on, compact") << "compact" << true << false;
    QTest::newRow("on, large") << "large" << true << false;
    QTest::newRow("on, large, terminated") << "large" << true << true;
    QTest::newRow("off, compact") << "compact" << false << false;
    QTest::newRow("off, large, terminated") << "large" << false << true;
  }
  void rememberSampleRate() {
    QFETCH(QString, layout);
    QFETCH(bool, on);
    QFETCH(bool, terminated);
    const Which which = layout == QLatin1String("large") ? Which::Large : Which::Compact;
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    QMenu* menu = RequestMenu(window, QContextMenuEvent::Mouse);
    QVERIFY(menu);
    QCOMPARE(Describe(menu).filter(QStringLiteral("Remember")),
             QStringList{QStringLiteral("Remember Sample Rate")});  // off by default
    if (on) Entry(menu, QStringLiteral("Remember Sample Rate"))->trigger();
    CloseMenus();
    run().extras().SetKeepAbove(true);  // something is written either way
    QLineEdit* rate = window->sampleRateBox()->lineEdit();
    rate->selectAll();
    QTest::keyClicks(rate, QStringLiteral("48000"));
    QCOMPARE(Box(window, "Samples"), QStringLiteral("48000"));
    if (terminated) {
      run().program().CloseAll();
    } else {
      run().program().End(which);
    }

    const QByteArray stored = programtest::FileBytes(settings::PreferencesPath());
    QVERIFY2(stored.contains("KeepAbove=true"), stored.constData());
    QCOMPARE(stored.contains("\nSampleRate=48000\n"), on);
    QVERIFY2(on || !stored.contains("\nSampleRate="), stored.constData());

    QVERIFY(Restart(layout));
    const QString expected = on ? QStringLiteral("48000") : QStringLiteral("44100");
    for (Which loaded : {Which::Compact, Which::Large}) {
      if (ui::CalculatorWindow* shown = run().window(loaded)) {
        QCOMPARE(shown->sampleRateBox()->currentText(), expected);
        QCOMPARE(Box(shown, "Samples"), expected);  // the beat results follow
      }
    }
    menu = RequestMenu(run().shown(), QContextMenuEvent::Mouse);
    QCOMPARE(Describe(menu).filter(QStringLiteral("Remember")),
             QStringList{on ? QStringLiteral("(on) Remember Sample Rate")
                            : QStringLiteral("Remember Sample Rate")});
    CloseMenus();
  }

  void savedSettingsKeepTheirFiveKeys() {
    QVERIFY(Restart());
    run().extras().SetKeepAbove(true);
    run().extras().SetReferencePitch(432);
    run().extras().SetNumbering(MidiNumbering::CMinus1IsZero);
    QVERIFY(!QFileInfo::exists(settings::StorePath(settings::kApplication)));
    run().program().End(Which::Compact);
    const QByteArray stored = programtest::FileBytes(settings::StorePath(settings::kApplication));
    for (const char* key : {"KeepAbove", "ReferencePitch", "MidiNumbering"}) {
      QVERIFY2(!stored.contains(key), stored.constData());
    }
    QCOMPARE(extras::PreferencesFile(settings::PreferencesPath()).Read(),
             Make(true, 432, MidiNumbering::CMinus1IsZero));
  }
};

QTEST_MAIN(ExtrasPreferencesTest)
#include "extras_preferences_test.moc"
