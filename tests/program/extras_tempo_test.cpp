// The tempo box's keys and the Tap Tempo window in both layouts: steps written
// as a handler writes them, Ctrl+T, and taps at given event timestamps.
#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>

#include "audio_tempo_window.h"
#include "extras_test_support.h"
#include "tap_tempo_window.h"
#include "window_test_support.h"

using namespace extrastest;
using ui::Which;

using Timestamps = QList<quint64>;

namespace {

// One tap of `kind` at `ms`, as the window system delivers it.
void TapAt(extras::TapArea* area, const QString& kind, quint64 ms) {
  if (kind == QLatin1String("mouse")) {
    const QPointF inside = QRectF(area->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, inside, area->mapToGlobal(inside), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    press.setTimestamp(ms);
    QApplication::sendEvent(area, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, area->mapToGlobal(inside),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    release.setTimestamp(ms + 40);
    QApplication::sendEvent(area, &release);
    return;
  }
  const int key = kind == QLatin1String("space")    ? Qt::Key_Space
                  : kind == QLatin1String("return") ? Qt::Key_Return
                  : kind == QLatin1String("enter")  ? Qt::Key_Enter
                                                    : Qt::Key_T;
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  press.setTimestamp(ms);
  QApplication::sendEvent(area, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  release.setTimestamp(ms + 40);
  QApplication::sendEvent(area, &release);
}

QString LabelText(const QWidget* window, int index) {
  const QList<QLabel*> labels = window->findChildren<QLabel*>();
  return index < labels.size() ? labels.at(index)->text() : QStringLiteral("<no label>");
}

}  // namespace

class ExtrasTempoTest : public programtest::Fixture {
  Q_OBJECT

 private slots:
  void initTestCase_data() { uitest::AddLayoutRows(); }
  void initTestCase() { programtest::InitCalculator(); }

  // ---- Tempo keys ----

  void tempoKeys_data() {
    QTest::addColumn<char>("separator");
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("firstSlot");
    QTest::newRow("Up") << '.' << "120"
                        << "bpm" << int(Qt::Key_Up) << 0 << "121"
                        << "1983.4";
    QTest::newRow("Down") << '.' << "120"
                          << "bpm" << int(Qt::Key_Down) << 0 << "119"
                          << "2016.8";
    QTest::newRow("Page Up") << '.' << "120"
                             << "bpm" << int(Qt::Key_PageUp) << 0 << "130"
                             << "1846.1";
    QTest::newRow("Page Down") << '.' << "120"
                               << "bpm" << int(Qt::Key_PageDown) << 0 << "110"
                               << "2181.8";
    QTest::newRow("Up from 120.5: no float noise") << '.' << "120.5"
                                                   << "bpm" << int(Qt::Key_Up) << 0 << "121.5"
                                                   << "1975.3";
    QTest::newRow("Page Up from 0.1: no float noise") << '.' << "0.1"
                                                      << "bpm" << int(Qt::Key_PageUp) << 0 << "10.1"
                                                      << "23762.";
    QTest::newRow("Down from 0.7 leaves the tempo") << '.' << "0.7"
                                                    << "bpm" << int(Qt::Key_Down) << 0 << "0.7"
                                                    << "342857";
    QTest::newRow("Page Down from 5 stops at 1") << '.' << "5"
                                                 << "bpm" << int(Qt::Key_PageDown) << 0 << "1"
                                                 << "240000";
    QTest::newRow("keypad Up") << '.' << "120"
                               << "bpm" << int(Qt::Key_Up) << int(Qt::KeypadModifier) << "121"
                               << "1983.4";
    QTest::newRow("comma: Up from 120,5") << ',' << "120,5"
                                          << "bpm" << int(Qt::Key_Up) << 0 << "121,5"
                                          << "1975,3";
    QTest::newRow("Up from 999999 is cut as a handler writes it")
        << '.' << "999999"
        << "bpm" << int(Qt::Key_Up) << 0 << "1E+6"
        << "0.24";
    QTest::newRow("Down at 1 leaves the tempo") << '.' << "1"
                                                << "bpm" << int(Qt::Key_Down) << 0 << "1"
                                                << "240000";
    QTest::newRow("Up on 1E+20, where 1 is lost, does nothing")
        << '.' << "1E+20"
        << "bpm" << int(Qt::Key_Up) << 0 << "1E+20"
        << "2E-15";
    QTest::newRow("no number: nothing happens") << '.' << "12a"
                                                << "bpm" << int(Qt::Key_Up) << 0 << "12a"
                                                << "2000";
    QTest::newRow("Ctrl+Up is no step")
        << '.' << "120"
        << "bpm" << int(Qt::Key_Up) << int(Qt::ControlModifier) << "120"
        << "2000";
    QTest::newRow("Up in a delay box leaves the tempo")
        << '.' << "120"
        << "Text1(0)" << int(Qt::Key_Up) << 0 << "120"
        << "2000";
    QTest::newRow("Page Up in Samples leaves the tempo")
        << '.' << "120"
        << "Samples" << int(Qt::Key_PageUp) << 0 << "120"
        << "2000";
  }
  void tempoKeys() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(char, separator);
    QFETCH(QString, tempo);
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, after);
    QFETCH(QString, firstSlot);
    ui::CalculatorWindow* window = Restart(layout, separator);
    QVERIFY(window);
    auto* bpm = window->control<QLineEdit>("bpm");
    bpm->setText(tempo);
    QWidget* focused = window->control(focus);
    focused->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), focused);
    QTest::keyClick(focused, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(bpm->text(), after);
    QCOMPARE(window->control<QLineEdit>("Text1(0)")->text(), firstSlot);
  }

  void heldUpKeepsStepping() {
    QFETCH_GLOBAL(QString, layout);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    auto* bpm = window->control<QLineEdit>("bpm");
    bpm->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 5; ++i) QTest::keyClick(bpm, Qt::Key_Up);
    QTest::keyClick(bpm, Qt::Key_PageDown);
    QCOMPARE(bpm->text(), QStringLiteral("115"));
    QCOMPARE(window->control<QSlider>("Slider1")->value(), 115);
  }

  // ---- Where a tempo came from ----

  void everyTempoSaysWhereItCameFrom_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QList<int>>("origins");  // each origin once, in the order first seen
    const auto as = [](ui::TempoOrigin origin) { return QList<int>{int(origin)}; };
    QTest::newRow("typed") << "typed" << as(ui::TempoOrigin::Typed);
    QTest::newRow("pasted from the box's menu") << "pasted" << as(ui::TempoOrigin::Typed);
    QTest::newRow("tempo key") << "Up" << as(ui::TempoOrigin::Key);
    QTest::newRow("halve in the tempo box menu") << "halve" << as(ui::TempoOrigin::Key);
    QTest::newRow("slider") << "slider" << as(ui::TempoOrigin::Slider);
    QTest::newRow("scale label") << "scale" << as(ui::TempoOrigin::Scale);
    QTest::newRow("two taps") << "tap" << as(ui::TempoOrigin::Tap);
    QTest::newRow("a switch of layout and back") << "switch" << as(ui::TempoOrigin::Program);
    QTest::newRow("a key that writes nothing") << "Ctrl+Up" << QList<int>{};
  }
  void everyTempoSaysWhereItCameFrom() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, how);
    QFETCH(QList<int>, origins);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    QList<int> seen;
    connect(window, &ui::CalculatorWindow::tempoWritten, this, [&seen](ui::TempoOrigin origin) {
      if (!seen.contains(int(origin))) seen << int(origin);
    });
    QLineEdit* bpm = window->tempoBox();
    bpm->setFocus(Qt::TabFocusReason);
    if (how == QLatin1String("typed")) {
      QTest::keyClicks(bpm, QStringLiteral("5"));
    } else if (how == QLatin1String("pasted")) {
      QGuiApplication::clipboard()->setText(QStringLiteral("99"));
      bpm->selectAll();
      Entry(RequestMenu(bpm, QContextMenuEvent::Mouse), QStringLiteral("Paste"))->trigger();
    } else if (how == QLatin1String("Up")) {
      QTest::keyClick(bpm, Qt::Key_Up);
    } else if (how == QLatin1String("Ctrl+Up")) {
      QTest::keyClick(bpm, Qt::Key_Up, Qt::ControlModifier);
    } else if (how == QLatin1String("halve")) {
      Entry(RequestMenu(bpm, QContextMenuEvent::Mouse), QStringLiteral("Halve Tempo"))->trigger();
    } else if (how == QLatin1String("slider")) {
      uitest::DragSlider(window->tempoSlider(), 90);
    } else if (how == QLatin1String("scale")) {
      QTest::mouseClick(window->control("Label10"), Qt::LeftButton);
    } else if (how == QLatin1String("tap")) {
      run().extras().ShowTapTempo(*window);
      TapAt(run().extras().tapTempo()->area(), QStringLiteral("mouse"), 1000);
      TapAt(run().extras().tapTempo()->area(), QStringLiteral("mouse"), 1500);
    } else if (how == QLatin1String("switch")) {
      ui::Program& program = run().program();
      if (layout == QLatin1String("large"))
        program.Min_Click(), program.Max_Click();
      else
        program.Max_Click(), program.Min_Click();
    }
    QCOMPARE(seen, origins);
  }

  // ---- Drops ----

  void drops_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("text");     // the drag's text
    QTest::addColumn<QString>("address");  // a file or web address it carries too
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("after");  // the target's text after the drop
    QTest::newRow("text replaces the tempo") << "bpm"
                                             << "98.5"
                                             << "" << true << "98.5";
    QTest::newRow("line feeds never enter") << "bpm"
                                            << "13\n2\r\n"
                                            << "" << true << "132";
    QTest::newRow("cut to the box as a paste") << "bpm"
                                               << "1234567890"
                                               << "" << true << "123456";
    QTest::newRow("a file opens its tempo, as no text") << "bpm"
                                                        << "/tmp/loop.wav"
                                                        << "file:///tmp/loop.wav" << true << "120";
    QTest::newRow("an address is no text") << "bpm"
                                           << "https://example.org/a"
                                           << "https://example.org/a" << false << "120";
    QTest::newRow("no line feed in the Samples box") << "Samples"
                                                     << "1\n2"
                                                     << "" << true << "1244100";
    QTest::newRow("a file on the Samples box") << "Samples"
                                               << "/tmp/loop.wav"
                                               << "file:///tmp/loop.wav" << true << "44100";
    QTest::newRow("a file on the sample rate box") << "SampleRate"
                                                   << "/tmp/loop.wav"
                                                   << "file:///tmp/loop.wav" << true << "44100";
  }
  void drops() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, target);
    QFETCH(QString, text);
    QFETCH(QString, address);
    QFETCH(bool, accepted);
    QFETCH(QString, after);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    QWidget* control = window->control(target);
    auto* box = qobject_cast<QLineEdit*>(control);
    if (auto* combo = qobject_cast<QComboBox*>(control)) box = combo->lineEdit();
    QVERIFY(box);
    QList<int> origins;
    connect(window, &ui::CalculatorWindow::tempoWritten, this,
            [&origins](ui::TempoOrigin origin) { origins << int(origin); });
    QMimeData data;
    data.setText(text);
    if (!address.isEmpty()) data.setUrls({QUrl(address)});
    const QPointF at(3, box->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(box, &enter);
    QCOMPARE(enter.isAccepted(), accepted);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &drop);
    QCOMPARE(drop.isAccepted(), accepted);
    QCOMPARE(box->text(), after);
    // A dropped file opens the window of its tempo and does nothing else.
    extras::AudioTempoWindow* audio = run().extras().audioTempo();
    const bool file = QUrl(address).isLocalFile();
    QCOMPARE(audio && audio->isVisible(), file);
    if (audio) audio->close();
    // A dropped tempo is the user's own, as a typed one: every result follows.
    if (box != window->tempoBox() || file) return;
    QCOMPARE(origins, accepted ? QList<int>{int(ui::TempoOrigin::Typed)} : QList<int>{});
    QCOMPARE(window->DelayBox(0)->text() != QLatin1String("2000"), accepted);
  }

  // ---- Tap tempo ----

  void ctrlTOpensOneWindowBeside_data() {
    QTest::addColumn<bool>("atRightEdge");
    QTest::newRow("room on the right") << false;
    QTest::newRow("at the screen's right edge: on the left") << true;
  }
  void ctrlTOpensOneWindowBeside() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(bool, atRightEdge);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    const QRect room = window->screen()->availableGeometry();
    window->move(atRightEdge ? room.right() + 1 - window->frameGeometry().width() : room.left(),
                 room.top() + 40);
    QVERIFY(!run().extras().tapTempo());  // made on first use only
    QTest::keyClick(window->control("Text1(3)"), Qt::Key_T, Qt::ControlModifier);
    extras::TapTempoWindow* tap = run().extras().tapTempo();
    QVERIFY(tap);
    QVERIFY(tap->isVisible());
    QCOMPARE(tap->windowTitle(), QStringLiteral("Tap Tempo"));
    if (atRightEdge) {
      QVERIFY(tap->frameGeometry().right() < window->frameGeometry().left());
    } else {
      QVERIFY(tap->frameGeometry().left() > window->frameGeometry().right());
    }
    QCOMPARE(tap->y(), window->y());
    // Its own window takes the focus: a transient window counts as active
    // while its calculator window is, so the wait is for the focus itself.
    QTRY_COMPARE(QGuiApplication::focusWindow(), tap->windowHandle());
    QCOMPARE(QApplication::focusWidget(), tap->area());

    QTest::keyClick(window->control("bpm"), Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(run().extras().tapTempo(), tap);
    int shown = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (qobject_cast<extras::TapTempoWindow*>(top) && top->isVisible()) ++shown;
    }
    QCOMPARE(shown, 1);

    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(tap);
    QCOMPARE(spoken->text(QAccessible::Name), QStringLiteral("Tap Tempo"));
    spoken = QAccessible::queryAccessibleInterface(tap->area());
    QCOMPARE(spoken->text(QAccessible::Name), QStringLiteral("Tap area"));
    QVERIFY(!spoken->text(QAccessible::Description).isEmpty());
  }

  void shortcutsWorkFromEveryKindOfControl_data() {
    QTest::addColumn<QString>("focus");
    for (const char* name : {"bpm", "Text1(0)", "Samples", "SampleRate", "Slider1", "sldOctave",
                             "Command2", "Option1", "cmdNote9"}) {
      QTest::newRow(name) << QString::fromLatin1(name);
    }
  }
  void shortcutsWorkFromEveryKindOfControl() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, focus);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    QWidget* focused = window->control(focus);
    focused->setFocus(Qt::TabFocusReason);
    QWidget* receiver = QApplication::focusWidget();
    QVERIFY(receiver && receiver->window() == window);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(receiver, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(Clipboard().startsWith(QStringLiteral("Tempo 120 BPM\tSample rate 44100 Hz\n")));
    QTest::keyClick(receiver, Qt::Key_F1);
    QCOMPARE(run().shell().opened.size(), 1);
    QTest::keyClick(receiver, Qt::Key_T, Qt::ControlModifier);
    QVERIFY(run().extras().tapTempo() && run().extras().tapTempo()->isVisible());
    QCOMPARE(window->control<QLineEdit>("bpm")->text(), QStringLiteral("120"));  // no key typed
  }

  void menusOpenTapTempo_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("tempo box menu") << "bpm";
    QTest::newRow("window menu") << "Frame1";
  }
  void menusOpenTapTempo() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, target);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    QMenu* menu = RequestMenu(window->control(target), QContextMenuEvent::Mouse);
    QVERIFY(menu);
    Entry(menu, QStringLiteral("Tap Tempo…"))->trigger();
    QVERIFY(run().extras().tapTempo());
    QVERIFY(run().extras().tapTempo()->isVisible());
  }

  void tapping_data() {
    QTest::addColumn<char>("separator");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Timestamps>("taps");
    QTest::addColumn<QString>("tempo");   // in the visible window's tempo box
    QTest::addColumn<QString>("shown");   // in the Tap Tempo window
    QTest::addColumn<QString>("status");  // the line below the tempo
    QTest::newRow("one tap writes nothing yet") << '.' << "mouse" << Timestamps{5000} << "120"
                                                << QStringLiteral("– BPM") << "1 tap: tap again";
    QTest::newRow("two taps 600 ms apart: 100") << '.' << "mouse" << Timestamps{1000, 1600} << "100"
                                                << "100 BPM" << QStringLiteral("100 BPM, 2 taps");
    QTest::newRow("steady 500 ms with the mouse")
        << '.' << "mouse" << Timestamps{1000, 1500, 2000, 2500} << "120"
        << "120 BPM" << QStringLiteral("120 BPM ± 0, 4 taps");
    QTest::newRow("steady 600 ms with Space")
        << '.' << "space" << Timestamps{1000, 1600, 2200, 2800} << "100"
        << "100 BPM" << QStringLiteral("100 BPM ± 0, 4 taps");
    QTest::newRow("Return") << '.' << "return" << Timestamps{0, 400, 800} << "150"
                            << "150 BPM" << QStringLiteral("150 BPM ± 0, 3 taps");
    QTest::newRow("keypad Enter") << '.' << "enter" << Timestamps{0, 750} << "80"
                                  << "80 BPM" << QStringLiteral("80 BPM, 2 taps");
    QTest::newRow("T") << '.' << "t" << Timestamps{0, 300, 600} << "200"
                       << "200 BPM" << QStringLiteral("200 BPM ± 0, 3 taps");
    QTest::newRow("jitter: mean of the intervals, one decimal")
        << '.' << "space" << Timestamps{0, 497, 1001, 1502} << "119.8"
        << "119.8 BPM" << QStringLiteral("119.8 BPM ± 0.2, 4 taps");
    QTest::newRow("comma separator") << ',' << "space" << Timestamps{0, 497, 1001, 1502} << "119,8"
                                     << "119,8 BPM" << QStringLiteral("119,8 BPM ± 0,2, 4 taps");
    QTest::newRow("a pause over 2 s starts a new series")
        << '.' << "mouse" << Timestamps{1000, 1500, 4000, 4600} << "100"
        << "100 BPM" << QStringLiteral("100 BPM, 2 taps");
    QTest::newRow("exactly 2 s is still the series")
        << '.' << "mouse" << Timestamps{1000, 3000} << "30"
        << "30 BPM" << QStringLiteral("30 BPM, 2 taps");
    QTest::newRow("three faster intervals start a new series")
        << '.' << "space" << Timestamps{0, 1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500, 5000}
        << "120"
        << "120 BPM" << QStringLiteral("120 BPM ± 0, 9 taps");
  }
  void tapping() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(char, separator);
    QFETCH(QString, kind);
    QFETCH(Timestamps, taps);
    QFETCH(QString, tempo);
    QFETCH(QString, shown);
    QFETCH(QString, status);
    ui::CalculatorWindow* window = Restart(layout, separator);
    QVERIFY(window);
    QTest::keyClick(window, Qt::Key_T, Qt::ControlModifier);
    extras::TapTempoWindow* tap = run().extras().tapTempo();
    QVERIFY(tap);
    for (const quint64 ms : taps) TapAt(tap->area(), kind, ms);
    QCOMPARE(window->control<QLineEdit>("bpm")->text(), tempo);
    QCOMPARE(LabelText(tap, 0), shown);
    QCOMPARE(LabelText(tap, 1), status);
    // Every calculator follows, as for a typed tempo.
    QCOMPARE(window->control<QSlider>("Slider1")->value(),
             qRound(window->control<QLineEdit>("bpm")->text().replace(',', '.').toDouble()));
    // The hidden layout, where it exists, keeps its own tempo.
    for (Which which : {Which::Compact, Which::Large}) {
      ui::CalculatorWindow* other = run().window(which);
      if (other && other != window) {
        QCOMPARE(other->control<QLineEdit>("bpm")->text(), QStringLiteral("120"));
      }
    }
  }

  void heldKeyAndRightButtonAreNoTaps() {
    QFETCH_GLOBAL(QString, layout);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    run().extras().ShowTapTempo(*window);
    extras::TapTempoWindow* tap = run().extras().tapTempo();
    TapAt(tap->area(), QStringLiteral("space"), 1000);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QString(), true);
    repeat.setTimestamp(1300);
    QApplication::sendEvent(tap->area(), &repeat);
    const QPointF inside = QRectF(tap->area()->rect()).center();
    QMouseEvent right(QEvent::MouseButtonPress, inside, tap->area()->mapToGlobal(inside),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    right.setTimestamp(1400);
    QApplication::sendEvent(tap->area(), &right);
    QCOMPARE(tap->state().taps, 1);
    QCOMPARE(window->control<QLineEdit>("bpm")->text(), QStringLiteral("120"));
  }

  void escapeClosesAndTheNextOpeningStartsAfresh() {
    QFETCH_GLOBAL(QString, layout);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    run().extras().ShowTapTempo(*window);
    extras::TapTempoWindow* tap = run().extras().tapTempo();
    TapAt(tap->area(), QStringLiteral("mouse"), 1000);
    TapAt(tap->area(), QStringLiteral("mouse"), 1500);
    QTest::keyClick(tap->area(), Qt::Key_Escape);
    QVERIFY(!tap->isVisible());
    run().extras().ShowTapTempo(*window);
    QVERIFY(tap->isVisible());
    QCOMPARE(tap->state().taps, 0);
    QCOMPARE(LabelText(tap, 1), QStringLiteral("No taps yet"));
    tap->close();  // the close box
    QVERIFY(!tap->isVisible());
    QVERIFY(run().window(Which::Compact));  // the calculator stays
  }

  void endingTheProgramClosesTapTempo() {
    QFETCH_GLOBAL(QString, layout);
    ui::CalculatorWindow* window = Restart(layout);
    QVERIFY(window);
    run().extras().ShowTapTempo(*window);
    run().program().End(layout == QLatin1String("large") ? Which::Large : Which::Compact);
    programtest::FlushDeletes();
    QVERIFY(!run().program().running());
    QVERIFY(!run().extras().tapTempo()->isVisible());
  }
};

QTEST_MAIN(ExtrasTempoTest)
#include "extras_tempo_test.moc"
