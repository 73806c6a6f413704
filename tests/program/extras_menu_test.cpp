// The extras' menus in both layouts and with both decimal separators: each
// delay box's menu, the tempo box's menu and the window menu, what their
// entries show and what choosing them puts on the clipboard or does.
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QTest>

#include "extras_test_support.h"
#include "window_test_support.h"

using namespace extrastest;
using ui::Which;

namespace {

QString Slot(int slot) { return QStringLiteral("Text1(%1)").arg(slot); }

const QStringList kNoCopies;

}  // namespace

class ExtrasMenuTest : public programtest::Fixture {
  Q_OBJECT

 private slots:
  void initTestCase_data() { uitest::AddLayoutRows(); }
  void initTestCase() { programtest::InitCalculator(); }

  // ---- Delay box menus ----

  void delayBoxMenu_data() {
    QTest::addColumn<char>("separator");
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QStringList>("entries");  // the menu down to the line-edit entries
    QTest::addColumn<QStringList>("copies");   // the clipboard after each number entry
    QTest::newRow("1/8 at 120") << '.' << "120"
                                << "44100" << 6
                                << QStringList{"[1/8 note]",
                                               "Copy 250 ms",
                                               "Copy 166.667 ms (1/8 triplet)",
                                               "Copy 4 Hz",
                                               "Copy 11025 samples at 44100 Hz",
                                               "---",
                                               "Copy Delay Table | Ctrl+Shift+C",
                                               "---"}
                                << QStringList{"250", "166.667", "4", "11025"};
    QTest::newRow("dotted 1/8 at 120: the triplet of the same note value")
        << '.' << "120"
        << "44100" << 7
        << QStringList{"[1/8 note, dotted]",
                       "Copy 375 ms",
                       "Copy 166.667 ms (1/8 triplet)",
                       "Copy 2.667 Hz",
                       "Copy 16538 samples at 44100 Hz",
                       "---",
                       "Copy Delay Table | Ctrl+Shift+C",
                       "---"}
        << QStringList{"375", "166.667", "2.667", "16538"};
    QTest::newRow("whole note at 90, from the tempo, not the cut box text")
        << '.' << "90"
        << "44100" << 0
        << QStringList{"[1/1 note]",
                       "Copy 2666.667 ms",
                       "Copy 1777.778 ms (1/1 triplet)",
                       "Copy 0.375 Hz",
                       "Copy 117600 samples at 44100 Hz",
                       "---",
                       "Copy Delay Table | Ctrl+Shift+C",
                       "---"}
        << QStringList{"2666.667", "1777.778", "0.375", "117600"};
    QTest::newRow("dotted 1/2048 at 120: samples rounded half away from zero")
        << '.' << "120"
        << "44100" << 23 << QStringList{"[1/2048 note, dotted]",           "Copy 1.465 ms",
                                        "Copy 0.651 ms (1/2048 triplet)",  "Copy 682.667 Hz",
                                        "Copy 65 samples at 44100 Hz",     "---",
                                        "Copy Delay Table | Ctrl+Shift+C", "---"}
        << QStringList{"1.465", "0.651", "682.667", "65"};
    QTest::newRow("1/4 at 96000 Hz") << '.' << "120"
                                     << "96000" << 4
                                     << QStringList{"[1/4 note]",
                                                    "Copy 500 ms",
                                                    "Copy 333.333 ms (1/4 triplet)",
                                                    "Copy 2 Hz",
                                                    "Copy 48000 samples at 96000 Hz",
                                                    "---",
                                                    "Copy Delay Table | Ctrl+Shift+C",
                                                    "---"}
                                     << QStringList{"500", "333.333", "2", "48000"};
    QTest::newRow("comma: dotted 1/16 at 120,5")
        << ',' << "120,5"
        << "44100" << 9
        << QStringList{"[1/16 note, dotted]",
                       "Copy 186,722 ms",
                       "Copy 82,988 ms (1/16 triplet)",
                       "Copy 5,356 Hz",
                       "Copy 8234 samples at 44100 Hz",
                       "---",
                       "Copy Delay Table | Ctrl+Shift+C",
                       "---"}
        << QStringList{"186,722", "82,988", "5,356", "8234"};
    QTest::newRow("comma: dotted 1/8 at 120") << ',' << "120"
                                              << "44100" << 7
                                              << QStringList{"[1/8 note, dotted]",
                                                             "Copy 375 ms",
                                                             "Copy 166,667 ms (1/8 triplet)",
                                                             "Copy 2,667 Hz",
                                                             "Copy 16538 samples at 44100 Hz",
                                                             "---",
                                                             "Copy Delay Table | Ctrl+Shift+C",
                                                             "---"}
                                              << QStringList{"375", "166,667", "2,667", "16538"};
    QTest::newRow("no tempo: every number off")
        << '.' << ""
        << "44100" << 6
        << QStringList{"[1/8 note]",
                       "(off) Copy milliseconds (no tempo)",
                       "(off) Copy 1/8 triplet milliseconds (no tempo)",
                       "(off) Copy hertz (no tempo)",
                       "(off) Copy samples (no tempo)",
                       "---",
                       "(off) Copy Delay Table | Ctrl+Shift+C",
                       "---"}
        << kNoCopies;
    QTest::newRow("tempo 0 is no tempo")
        << '.' << "0"
        << "44100" << 1
        << QStringList{"[1/1 note, dotted]",
                       "(off) Copy milliseconds (no tempo)",
                       "(off) Copy 1/1 triplet milliseconds (no tempo)",
                       "(off) Copy hertz (no tempo)",
                       "(off) Copy samples (no tempo)",
                       "---",
                       "(off) Copy Delay Table | Ctrl+Shift+C",
                       "---"}
        << kNoCopies;
    QTest::newRow("negative tempo is no tempo")
        << '.' << "-120"
        << "44100" << 6
        << QStringList{"[1/8 note]",
                       "(off) Copy milliseconds (no tempo)",
                       "(off) Copy 1/8 triplet milliseconds (no tempo)",
                       "(off) Copy hertz (no tempo)",
                       "(off) Copy samples (no tempo)",
                       "---",
                       "(off) Copy Delay Table | Ctrl+Shift+C",
                       "---"}
        << kNoCopies;
    QTest::newRow("point under a comma locale is no tempo")
        << ',' << "120.5"
        << "44100" << 6
        << QStringList{"[1/8 note]",
                       "(off) Copy milliseconds (no tempo)",
                       "(off) Copy 1/8 triplet milliseconds (no tempo)",
                       "(off) Copy hertz (no tempo)",
                       "(off) Copy samples (no tempo)",
                       "---",
                       "(off) Copy Delay Table | Ctrl+Shift+C",
                       "---"}
        << kNoCopies;
    QTest::newRow("no sample rate: only samples off")
        << '.' << "120"
        << "fast" << 6
        << QStringList{"[1/8 note]",
                       "Copy 250 ms",
                       "Copy 166.667 ms (1/8 triplet)",
                       "Copy 4 Hz",
                       "(off) Copy samples (no sample rate)",
                       "---",
                       "Copy Delay Table | Ctrl+Shift+C",
                       "---"}
        << QStringList{"250", "166.667", "4"};
  }
  void delayBoxMenu() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(char, separator);
    QFETCH(QString, tempo);
    QFETCH(QString, rate);
    QFETCH(int, slot);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, copies);
    ui::CalculatorWindow* window = Restart(layout, separator);
    QVERIFY(window);
    window->control<QLineEdit>("bpm")->setText(tempo);
    window->control<QComboBox>("SampleRate")->setEditText(rate);
    QWidget* box = window->control(Slot(slot));

    QMenu* menu = RequestMenu(box, QContextMenuEvent::Mouse);
    QVERIFY(menu);
    const QStringList lines = Describe(menu);
    QCOMPARE(lines.mid(0, entries.size()), entries);
    // The line edit's own entries stay.
    QVERIFY(Entry(menu, QStringLiteral("Copy")));
    QVERIFY(Entry(menu, QStringLiteral("Select All")));
    CloseMenus();

    // Each number entry copies just its number.
    for (int i = 0; i < copies.size(); ++i) {
      QGuiApplication::clipboard()->setText(QStringLiteral("before"));
      menu = RequestMenu(box, QContextMenuEvent::Mouse);
      QVERIFY(menu);
      menu->actions().at(1 + i)->trigger();
      QCOMPARE(Clipboard(), copies.at(i));
      CloseMenus();
    }
  }

  void delayBoxMenuOpensFromTheKeyboard_data() {
    QTest::addColumn<bool>("menuKey");  // else Shift+F10
    QTest::newRow("Menu key") << true;
    QTest::newRow("Shift+F10") << false;
  }
  void delayBoxMenuOpensFromTheKeyboard() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(bool, menuKey);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    QWidget* box = window->control(Slot(13));
    box->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), box);
    QMenu* menu = nullptr;
    if (menuKey) {
      menu = RequestMenu(box, QContextMenuEvent::Keyboard);
    } else {
      QTest::keyClick(box, Qt::Key_F10, Qt::ShiftModifier);
      menu = OpenPopup();
    }
    QVERIFY(menu);
    QCOMPARE(Describe(menu).value(0), QStringLiteral("[1/64 note, dotted]"));
  }

  void delayTableCopied_data() {
    QTest::addColumn<char>("separator");
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<bool>("byKey");         // Ctrl+Shift+C, else the delay box menu
    QTest::addColumn<QStringList>("lines");  // first three and last line
    QTest::newRow("menu at 120")
        << '.' << "120"
        << "44100" << false
        << QStringList{"Tempo 120 BPM\tSample rate 44100 Hz",
                       "Note value\tPlain (ms)\tDotted (ms)\tTriplet (ms)\tPlain (Hz)\tDotted "
                       "(Hz)\tTriplet (Hz)\tPlain (samples)\tDotted (samples)\tTriplet (samples)",
                       "1/1 note\t2000\t3000\t1333.333\t0.5\t0.333\t0.75\t88200\t132300\t58800",
                       "1/2048 note\t0.977\t1.465\t0.651\t1024\t682.667\t1536\t43\t65\t29"};
    QTest::newRow("key at 120,5 and 48000 with commas")
        << ',' << "120,5"
        << "48000" << true
        << QStringList{
               "Tempo 120,5 BPM\tSample rate 48000 Hz",
               "Note value\tPlain (ms)\tDotted (ms)\tTriplet (ms)\tPlain (Hz)\tDotted "
               "(Hz)\tTriplet (Hz)\tPlain (samples)\tDotted (samples)\tTriplet (samples)",
               "1/1 note\t1991,701\t2987,552\t1327,801\t0,502\t0,335\t0,753\t95602\t143402\t63734",
               "1/2048 note\t0,973\t1,459\t0,648\t1028,267\t685,511\t1542,4\t47\t70\t31"};
    QTest::newRow("key without a sample rate: empty samples cells")
        << '.' << "120"
        << "" << true
        << QStringList{"Tempo 120 BPM\tNo sample rate",
                       "Note value\tPlain (ms)\tDotted (ms)\tTriplet (ms)\tPlain (Hz)\tDotted "
                       "(Hz)\tTriplet (Hz)\tPlain (samples)\tDotted (samples)\tTriplet (samples)",
                       "1/1 note\t2000\t3000\t1333.333\t0.5\t0.333\t0.75\t\t\t",
                       "1/2048 note\t0.977\t1.465\t0.651\t1024\t682.667\t1536\t\t\t"};
    QTest::newRow("key without a tempo: nothing copied")
        << '.' << "x"
        << "44100" << true << QStringList{"before"};
  }
  void delayTableCopied() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(char, separator);
    QFETCH(QString, tempo);
    QFETCH(QString, rate);
    QFETCH(bool, byKey);
    QFETCH(QStringList, lines);
    ui::CalculatorWindow* window = Restart(layout, separator);
    QVERIFY(window);
    window->control<QLineEdit>("bpm")->setText(tempo);
    window->control<QComboBox>("SampleRate")->setEditText(rate);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    if (byKey) {
      QTest::keyClick(window->control("Text1(4)"), Qt::Key_C,
                      Qt::ControlModifier | Qt::ShiftModifier);
    } else {
      QMenu* menu = RequestMenu(window->control("Text1(4)"), QContextMenuEvent::Mouse);
      QVERIFY(menu);
      Entry(menu, QStringLiteral("Copy Delay Table"))->trigger();
    }
    const QStringList copied = Clipboard().split(QLatin1Char('\n'));
    if (lines.size() == 1) {
      QCOMPARE(copied, lines);
      return;
    }
    QCOMPARE(copied.size(), 15);  // header, headings, 12 rows and the final line end
    QCOMPARE(copied.mid(0, 3), lines.mid(0, 3));
    QCOMPARE(copied.at(13), lines.at(3));
    QCOMPARE(copied.at(14), QString());
    for (int row = 1; row <= 13; ++row) QCOMPARE(copied.at(row).count(QLatin1Char('\t')), 9);
  }

  void delayTableKeyWithoutTempoSaysWhy_data() {
    QTest::addColumn<QString>("tempo");
    QTest::newRow("empty") << "";
    QTest::newRow("zero") << "0";
    QTest::newRow("negative") << "-120";
    QTest::newRow("no number") << "fast";
  }
  // The key copies nothing and says so beside the tempo box, in a note of its
  // own: the window's controls, their texts and tooltips stay as they were.
  void delayTableKeyWithoutTempoSaysWhy() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, tempo);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    auto* bpm = window->control<QLineEdit>("bpm");
    bpm->setFocus();
    QTest::keyClick(bpm, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);  // makes the actions
    bpm->setText(tempo);
    const QObjectList children = window->findChildren<QObject*>();
    const QString tip = bpm->toolTip();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(bpm, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Clipboard(), QStringLiteral("before"));
    QLabel* note = run().extras().note();
    QVERIFY(note);
    QVERIFY(note->isVisible());
    QCOMPARE(note->text(), QStringLiteral("No delay table to copy: no tempo"));
    QVERIFY(!note->parentWidget());
    QVERIFY(note->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    QCOMPARE(window->findChildren<QObject*>(), children);
    QCOMPARE(bpm->text(), tempo);
    QCOMPARE(bpm->toolTip(), tip);
    QCOMPARE(QApplication::focusWidget(), bpm);
    // Below the tempo box, in the window's width.
    const QPoint below = bpm->mapToGlobal(QPoint(0, bpm->height()));
    QVERIFY(note->frameGeometry().top() >= below.y());
    QCOMPARE(note->frameGeometry().left(), below.x());
  }

  // ---- The tempo box's menu ----

  void tempoBoxMenu_data() {
    QTest::addColumn<char>("separator");
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("extras");  // the entries after the line-edit ones
    QTest::addColumn<QString>("after");       // the tempo text after choosing `entry`
    QTest::addColumn<QString>("firstSlot");   // and the whole-note box
    QTest::newRow("halve 120") << '.' << "120"
                               << "Halve Tempo"
                               << QStringList{"---", "Halve Tempo", "Double Tempo", "---",
                                              "Tap Tempo… | Ctrl+T"}
                               << "60"
                               << "4000";
    QTest::newRow("double 120.5 without float noise")
        << '.' << "120.5"
        << "Double Tempo"
        << QStringList{"---", "Halve Tempo", "Double Tempo", "---", "Tap Tempo… | Ctrl+T"} << "241"
        << "995.85";
    QTest::newRow("halve 1 gives 0.5")
        << '.' << "1"
        << "Halve Tempo"
        << QStringList{"---", "Halve Tempo", "Double Tempo", "---", "Tap Tempo… | Ctrl+T"} << "0.5"
        << "480000";
    QTest::newRow("comma: halve 90,5")
        << ',' << "90,5"
        << "Halve Tempo"
        << QStringList{"---", "Halve Tempo", "Double Tempo", "---", "Tap Tempo… | Ctrl+T"}
        << "45,25"
        << "5303,8";
    QTest::newRow("double 60000 is cut to the box as a handler writes it")
        << '.' << "60000"
        << "Double Tempo"
        << QStringList{"---", "Halve Tempo", "Double Tempo", "---", "Tap Tempo… | Ctrl+T"}
        << "120000"
        << "2";
    QTest::newRow("double 0.001 gives 0.002")
        << '.' << "0.001"
        << "Double Tempo"
        << QStringList{"---", "Halve Tempo", "Double Tempo", "---", "Tap Tempo… | Ctrl+T"}
        << "0.002"
        << "1.2E+8";
    QTest::newRow("halve the smallest tempo: off, nothing changes")
        << '.' << "5E-324"
        << "Halve Tempo"
        << QStringList{"---", "(off) Halve Tempo", "Double Tempo", "---", "Tap Tempo… | Ctrl+T"}
        << "5E-324"
        << "2000";
    QTest::newRow("no number: both off, nothing changes")
        << '.' << "abc"
        << "Halve Tempo"
        << QStringList{"---", "(off) Halve Tempo", "(off) Double Tempo", "---",
                       "Tap Tempo… | Ctrl+T"}
        << "abc"
        << "2000";
  }
  void tempoBoxMenu() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(char, separator);
    QFETCH(QString, tempo);
    QFETCH(QString, entry);
    QFETCH(QStringList, extras);
    QFETCH(QString, after);
    QFETCH(QString, firstSlot);
    ui::CalculatorWindow* window = Restart(layout, separator);
    QVERIFY(window);
    auto* bpm = window->control<QLineEdit>("bpm");
    bpm->setText(tempo);
    QMenu* menu = RequestMenu(bpm, QContextMenuEvent::Mouse);
    QVERIFY(menu);
    const QStringList lines = Describe(menu);
    QCOMPARE(lines.mid(lines.size() - extras.size()), extras);
    for (const char* kept : {"Cut", "Copy", "Paste", "Select All"}) {
      QVERIFY2(Entry(menu, QString::fromLatin1(kept)), kept);
    }
    Entry(menu, entry)->trigger();
    QCOMPARE(bpm->text(), after);
    QCOMPARE(window->control<QLineEdit>("Text1(0)")->text(), firstSlot);
  }

  // ---- The Samples box's menu ----

  void samplesBoxMenu_data() {
    QTest::addColumn<char>("separator");
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("samples");
    QTest::addColumn<QStringList>("extras");  // the entries after the line-edit ones
    QTest::addColumn<QString>("chosen");      // the entry then chosen
    QTest::addColumn<QString>("after");       // the tempo box, then the clipboard
    QTest::addColumn<QString>("copied");
    QTest::newRow("four bars at 44100 Hz") << '.' << "120"
                                           << "44100"
                                           << "352800"
                                           << QStringList{"---",
                                                          "As 1 bar: 30 BPM",
                                                          "As 2 bars: 60 BPM",
                                                          "As 4 bars: 120 BPM",
                                                          "As 8 bars: 240 BPM",
                                                          "---",
                                                          "Copy 1 bar: 88200 samples",
                                                          "Copy 1 bar: 2 seconds",
                                                          "Copy 2 bars: 176400 samples",
                                                          "Copy 2 bars: 4 seconds",
                                                          "Copy 4 bars: 352800 samples",
                                                          "Copy 4 bars: 8 seconds",
                                                          "Copy 8 bars: 705600 samples",
                                                          "Copy 8 bars: 16 seconds"}
                                           << "As 2 bars: 60 BPM"
                                           << "60"
                                           << "";
    QTest::newRow("comma, rounded") << ',' << "90,5"
                                    << "48000"
                                    << "100000"
                                    << QStringList{"---",
                                                   "As 1 bar: 115,2 BPM",
                                                   "As 2 bars: 230,4 BPM",
                                                   "As 4 bars: 460,8 BPM",
                                                   "As 8 bars: 921,6 BPM",
                                                   "---",
                                                   "Copy 1 bar: 127293 samples",
                                                   "Copy 1 bar: 2,651934 seconds",
                                                   "Copy 2 bars: 254586 samples",
                                                   "Copy 2 bars: 5,303867 seconds",
                                                   "Copy 4 bars: 509171 samples",
                                                   "Copy 4 bars: 10,607735 seconds",
                                                   "Copy 8 bars: 1018343 samples",
                                                   "Copy 8 bars: 21,21547 seconds"}
                                    << "Copy 1 bar: 2,651934 seconds"
                                    << "90,5"
                                    << "2,651934";
    QTest::newRow("no samples, no rate: greyed out with the reason")
        << '.' << "120"
        << "fast"
        << "lots"
        << QStringList{"---",
                       "(off) As 1 bar: no sample count",
                       "(off) As 2 bars: no sample count",
                       "(off) As 4 bars: no sample count",
                       "(off) As 8 bars: no sample count",
                       "---",
                       "(off) Copy 1 bar: no sample rate",
                       "Copy 1 bar: 2 seconds",
                       "(off) Copy 2 bars: no sample rate",
                       "Copy 2 bars: 4 seconds",
                       "(off) Copy 4 bars: no sample rate",
                       "Copy 4 bars: 8 seconds",
                       "(off) Copy 8 bars: no sample rate",
                       "Copy 8 bars: 16 seconds"}
        << "Copy 8 bars: 16 seconds"
        << "120"
        << "16";
    QTest::newRow("no tempo, tiny loop out of range")
        << '.' << "abc"
        << "44100"
        << "1E-305"
        << QStringList{"---",
                       "(off) As 1 bar: out of range",
                       "(off) As 2 bars: out of range",
                       "(off) As 4 bars: out of range",
                       "(off) As 8 bars: out of range",
                       "---",
                       "(off) Copy 1 bar: no tempo",
                       "(off) Copy 1 bar: no tempo",
                       "(off) Copy 2 bars: no tempo",
                       "(off) Copy 2 bars: no tempo",
                       "(off) Copy 4 bars: no tempo",
                       "(off) Copy 4 bars: no tempo",
                       "(off) Copy 8 bars: no tempo",
                       "(off) Copy 8 bars: no tempo"}
        << "As 4 bars: out of range"
        << "abc"
        << "";
    QTest::newRow("one sample: tempos no musician plays are not offered")
        << '.' << "120"
        << "44100"
        << "1"
        << QStringList{"---",
                       "(off) As 1 bar: out of range (10584000 BPM)",
                       "(off) As 2 bars: out of range (21168000 BPM)",
                       "(off) As 4 bars: out of range (42336000 BPM)",
                       "(off) As 8 bars: out of range (84672000 BPM)",
                       "---",
                       "Copy 1 bar: 88200 samples",
                       "Copy 1 bar: 2 seconds",
                       "Copy 2 bars: 176400 samples",
                       "Copy 2 bars: 4 seconds",
                       "Copy 4 bars: 352800 samples",
                       "Copy 4 bars: 8 seconds",
                       "Copy 8 bars: 705600 samples",
                       "Copy 8 bars: 16 seconds"}
        << "As 1 bar: out of range (10584000 BPM)"
        << "120"
        << "";
  }
  void samplesBoxMenu() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(char, separator);
    QFETCH(QString, tempo);
    QFETCH(QString, rate);
    QFETCH(QString, samples);
    QFETCH(QStringList, extras);
    QFETCH(QString, chosen);
    QFETCH(QString, after);
    QFETCH(QString, copied);
    ui::CalculatorWindow* window = Restart(layout, separator);
    QVERIFY(window);
    auto* bpm = window->control<QLineEdit>("bpm");
    bpm->setText(tempo);
    window->control<QComboBox>("SampleRate")->setEditText(rate);
    auto* box = window->control<QLineEdit>("Samples");
    box->setText(samples);
    QGuiApplication::clipboard()->setText(QString());

    QMenu* menu = RequestMenu(box, QContextMenuEvent::Mouse);
    QVERIFY(menu);
    const QStringList lines = Describe(menu);
    QCOMPARE(lines.mid(lines.size() - extras.size()), extras);
    for (const char* kept : {"Cut", "Copy", "Paste", "Select All"}) {
      QVERIFY2(lines.indexOf(QString::fromLatin1(kept)) < lines.size() - extras.size(), kept);
    }
    QAction* entry = Entry(menu, chosen);
    QVERIFY(entry);
    entry->trigger();
    CloseMenus();
    QCOMPARE(bpm->text(), after);
    QCOMPARE(Clipboard(), copied);
    if (after != tempo) {
      // Every result follows, as for a typed tempo.
      QCOMPARE(window->control<QSlider>("Slider1")->value(), 60);
      QCOMPARE(window->control<QLineEdit>("Text1(0)")->text(), QStringLiteral("4000"));
    }
  }

  // While a menu is open, only its own box shows a selection; once it closes
  // every box shows its selection as before.
  void onlyTheMenusBoxShowsASelection_data() {
    QTest::addColumn<QString>("target");  // where the menu is asked for
    QTest::addColumn<QString>("owner");   // the box that keeps its selection; none: ""
    QTest::newRow("a delay box's menu") << "Text1(5)"
                                        << "Text1(5)";
    QTest::newRow("the Samples box's menu") << "Samples"
                                            << "Samples";
    QTest::newRow("the tempo box's menu") << "bpm"
                                          << "bpm";
    QTest::newRow("the window menu") << "Frame3"
                                     << "";
  }
  void onlyTheMenusBoxShowsASelection() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, target);
    QFETCH(QString, owner);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    // A delay box's focus selects all 24; the other boxes are selected by hand.
    window->DelayBox(3)->setFocus(Qt::MouseFocusReason);
    for (const char* name : {"Samples", "bpm"}) window->control<QLineEdit>(name)->selectAll();
    const auto shows = [](const QLineEdit* box) {
      return box->hasSelectedText() &&
             box->palette().color(QPalette::Highlight) != box->palette().color(QPalette::Base);
    };
    QHash<QLineEdit*, QColor> highlights;
    for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
      if (box->hasSelectedText()) highlights.insert(box, box->palette().color(QPalette::Highlight));
    }
    QCOMPARE(highlights.size(), calc::kDelaySlots + 2);
    for (QLineEdit* box : highlights.keys()) QVERIFY2(shows(box), qPrintable(box->objectName()));

    QVERIFY(RequestMenu(window->control(target), QContextMenuEvent::Mouse));
    for (QLineEdit* box : highlights.keys()) {
      QCOMPARE(shows(box), box->objectName() == owner);
    }
    CloseMenus();
    for (QLineEdit* box : highlights.keys()) {
      QCOMPARE(box->palette().color(QPalette::Highlight), highlights.value(box));
    }
  }

  // ---- The window menu ----

  void windowMenu_data() {
    QTest::addColumn<QString>("target");  // where the user right-clicks
    QTest::newRow("background") << "";
    QTest::newRow("frame") << "Frame3";
    QTest::newRow("caption label") << "Label19";
    QTest::newRow("tempo scale label") << "Label10";
    QTest::newRow("push button") << "Command2";
  }
  void windowMenu() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, target);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    QWidget* clicked = target.isEmpty() ? window : window->control(target);
    QVERIFY(clicked);
    QMenu* menu = RequestMenu(clicked, QContextMenuEvent::Mouse);
    QVERIFY(menu);
    QCOMPARE(Describe(menu),
             (QStringList{"Keep Above Other Windows", "---", "Tap Tempo… | Ctrl+T",
                          "Tempo of an Audio File… | Ctrl+O", "Copy Delay Table | Ctrl+Shift+C",
                          "---", "Reference Pitch >", "MIDI Numbering >", "Remember Sample Rate",
                          "Tempo Source >", "---", "Help | F1", "About"}));
    QCOMPARE(Describe(Entry(menu, QStringLiteral("Reference Pitch"))->menu()),
             (QStringList{"A4 = 392 Hz", "A4 = 415 Hz", "A4 = 430 Hz", "A4 = 432 Hz", "A4 = 435 Hz",
                          "(on) A4 = 440 Hz", "A4 = 442 Hz", "A4 = 443 Hz", "A4 = 444 Hz",
                          "A4 = 446 Hz", "A4 = 466 Hz", "---", "Other…"}));
    QCOMPARE(Describe(Entry(menu, QStringLiteral("MIDI Numbering"))->menu()),
             (QStringList{"(on) C0 = 0",
                          QStringLiteral("C\u22121 = 0, as sequencers count (A4 = 69)")}));
    // Nothing is known of JACK before a source is chosen: every entry is offered.
    QCOMPARE(Describe(Entry(menu, QStringLiteral("Tempo Source"))->menu()),
             (QStringList{"(on) Manual", "JACK Transport", "MIDI Clock", "Ableton Link"}));
  }

  void helpAndAboutDoWhatTheButtonsDo() {
    QFETCH_GLOBAL(QString, layout);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    QMenu* menu = RequestMenu(window, QContextMenuEvent::Mouse);
    QVERIFY(menu);
    Entry(menu, QStringLiteral("Help"))->trigger();
    QCOMPARE(run().shell().opened.size(), 1);
    QCOMPARE(run().shell().opened.at(0).file, QStringLiteral("/opt/tempiva/index.html"));
    QTest::keyClick(window->control("Text1(0)"), Qt::Key_F1);
    QCOMPARE(run().shell().opened.size(), 2);
    CloseMenus();

    menu = RequestMenu(window, QContextMenuEvent::Mouse);
    QVERIFY(menu);
    Entry(menu, QStringLiteral("About"))->trigger();
    QVERIFY(run().program().about());
    QVERIFY(run().program().about()->isVisible());
    const auto* aboutButton = window->control<QPushButton>("Command4");
    QVERIFY(aboutButton->font().bold());  // as its own About button does
  }

  // ---- Actions made once ----

  // Every menu that offers a command shows the window's one action for it,
  // the same however often the menus open, and no two entries of a menu
  // share a mnemonic.
  void menusShareTheWindowsActions() {
    QFETCH_GLOBAL(QString, layout);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    const QStringList shared{"Keep Above Other Windows",
                             "Tap Tempo…",
                             "Copy Delay Table",
                             "Halve Tempo",
                             "Double Tempo",
                             "Help",
                             "About"};
    QHash<QString, QAction*> seen;
    for (int round = 0; round < 2; ++round) {
      for (QWidget* target :
           {static_cast<QWidget*>(window->DelayBox(0)), static_cast<QWidget*>(window->tempoBox()),
            static_cast<QWidget*>(window)}) {
        QMenu* menu = RequestMenu(target, QContextMenuEvent::Mouse);
        QVERIFY(menu);
        QSet<QChar> mnemonics;
        for (QAction* action : menu->actions()) {
          const QString text = action->text();
          const qsizetype mark = text.indexOf(QLatin1Char('&'));
          if (mark >= 0 && mark + 1 < text.size()) {
            const QChar letter = text.at(mark + 1).toLower();
            QVERIFY2(!mnemonics.contains(letter), qPrintable(Describe(menu).join(" / ")));
            mnemonics.insert(letter);
          }
          const QString caption = Plain(text);
          if (!shared.contains(caption)) continue;
          QVERIFY2(window->actions().contains(action), qPrintable(caption));
          QAction*& first = seen[caption];
          if (!first) first = action;
          QCOMPARE(action, first);
        }
        CloseMenus();
      }
    }
    QCOMPARE(seen.size(), shared.size());
  }

  // A menu shows an action off while it cannot act; once the menu is gone its
  // key works again for the tempo typed since.
  void keysWorkAfterAMenuShowedThemOff() {
    QFETCH_GLOBAL(QString, layout);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    window->tempoBox()->setText(QString());
    QMenu* menu = RequestMenu(window, QContextMenuEvent::Mouse);
    QVERIFY(menu);
    QVERIFY(Describe(menu).contains(QStringLiteral("(off) Copy Delay Table | Ctrl+Shift+C")));
    CloseMenus();
    window->tempoBox()->setText(QStringLiteral("120"));
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(window->DelayBox(2), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY2(Clipboard().startsWith(QStringLiteral("Tempo 120 BPM")), qPrintable(Clipboard()));
  }

  // ---- Every menu speaks ----

  void everyEntryHasASpokenName() {
    QFETCH_GLOBAL(QString, layout);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    window->control<QLineEdit>("bpm")->setText(QStringLiteral("120"));
    for (QWidget* target : {window->control("Text1(0)"), window->control("Text1(23)"),
                            window->control("bpm"), static_cast<QWidget*>(window)}) {
      QMenu* menu = RequestMenu(target, QContextMenuEvent::Mouse);
      QVERIFY(menu);
      QVERIFY2(!menu->accessibleName().isEmpty(), qPrintable(target->objectName()));
      const QStringList names = SpokenNames(menu);
      QVERIFY2(!names.contains(QStringLiteral("<unnamed>")), qPrintable(names.join(" / ")));
      QVERIFY(names.size() >= 5);
      CloseMenus();
    }
  }
};

QTEST_MAIN(ExtrasMenuTest)
#include "extras_menu_test.moc"
