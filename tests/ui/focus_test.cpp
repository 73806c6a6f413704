// Focus: what taking the focus selects, read-only results that can be copied,
// and the Tab order of both layouts.
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <algorithm>
#include <utility>
#include <vector>

#include "window_test_support.h"

namespace {

// The layout control a focused widget belongs to (the combo box for its edit field).
QString ControlName(const ui::CalculatorWindow& window, QWidget* widget) {
  for (; widget != nullptr && widget != &window; widget = widget->parentWidget()) {
    if (window.control(widget->objectName()) == widget) return widget->objectName();
  }
  return QStringLiteral("<none>");
}

// The Tab stops in ascending focus-order number. The six option buttons are
// one exclusive group and so one Tab stop, the first of them while none is
// selected; the arrow keys move inside the group.
QStringList TabStopsFromTable(const ui::Layout& layout) {
  std::vector<const ui::ControlRow*> order;
  for (const ui::ControlRow& control : layout.controls) {
    switch (control.kind) {
      case ui::Kind::Input:
      case ui::Kind::Output:
      case ui::Kind::Combo:
      case ui::Kind::Button:
      case ui::Kind::Option:
      case ui::Kind::Slider:
        order.push_back(&control);
        break;
      default:
        break;
    }
  }
  std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->focus < b->focus; });
  QStringList names;
  bool optionGroupSeen = false;
  for (const ui::ControlRow* control : order) {
    if (control->kind == ui::Kind::Option && std::exchange(optionGroupSeen, true)) continue;
    names << control->name;
  }
  return names;
}

void CheckWholeTextSelected(const QLineEdit* box) {
  QVERIFY2(!box->text().isEmpty() && box->selectedText() == box->text(),
           qPrintable(QStringLiteral("%1 selects '%2' of '%3'")
                          .arg(box->objectName(), box->selectedText(), box->text())));
}

}  // namespace

class FocusTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase_data() { uitest::AddLayoutRows(); }

  void startsInTempoBox() {
    QFETCH_GLOBAL(QString, layout);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    QCOMPARE(ControlName(*window, QApplication::focusWidget()), QString("bpm"));
  }

  void delayBoxFocusSelectsEveryBox_data() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<bool>("byMouse");
    QTest::newRow("click whole note") << 0 << true;
    QTest::newRow("click dotted 1/2048") << 23 << true;
    QTest::newRow("keyboard to 1/8") << 6 << false;
  }
  void delayBoxFocusSelectsEveryBox() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(int, slot);
    QFETCH(bool, byMouse);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    QLineEdit* focused = uitest::Box(*window, uitest::SlotName(slot));
    if (byMouse) {
      uitest::ClickThroughWindow(focused);
    } else {
      focused->setFocus(Qt::TabFocusReason);
    }
    QVERIFY(focused->hasFocus());
    CheckWholeTextSelected(focused);
    for (int other = 0; other < calc::kDelaySlots && !QTest::currentTestFailed(); ++other) {
      CheckWholeTextSelected(uitest::Box(*window, uitest::SlotName(other)));
    }
  }

  void clickSelectsWholeText_data() {
    QTest::addColumn<QString>("box");
    QTest::newRow("bpm") << "bpm";
    QTest::newRow("Samples") << "Samples";
    QTest::newRow("bpmSPB") << "bpmSPB";
    QTest::newRow("txtLength") << "txtLength";
  }
  void clickSelectsWholeText() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, box);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    uitest::Click(*window, "Command1");  // fills bpmSPB and txtLength
    window->control("Slider1")->setFocus(Qt::OtherFocusReason);
    uitest::ClickThroughWindow(uitest::Box(*window, box));
    QVERIFY(uitest::Box(*window, box)->hasFocus());
    CheckWholeTextSelected(uitest::Box(*window, box));
  }

  void outputRefusesTypingButCopies_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::newRow("delay box") << "Text1(13)"
                               << "46.875";
    QTest::newRow("bpmSPB") << "bpmSPB"
                            << "120";
    QTest::newRow("txtLength") << "txtLength"
                               << "1";
    QTest::newRow("NoteFreq") << "NoteFreq"
                              << "440.000";
    QTest::newRow("MidiNoteNumber") << "MidiNoteNumber"
                                    << "57";
    QTest::newRow("txtNote") << "txtNote"
                             << "A";
    QTest::newRow("txtOctave") << "txtOctave"
                               << "4";
  }
  void outputRefusesTypingButCopies() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, box);
    QFETCH(QString, text);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    uitest::Click(*window, "Command1");
    QLineEdit* output = uitest::Box(*window, box);
    uitest::ClickThroughWindow(output);
    QVERIFY(output->hasFocus());
    QTest::keyClicks(output, "9x");
    QTest::keyClick(output, Qt::Key_Backspace);
    QTest::keyClick(output, Qt::Key_Delete);
    QCOMPARE(output->text(), text);

    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("probe");
    if (clipboard->text() != "probe") QSKIP("no clipboard on this platform");
    QTest::keyClick(output, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(output, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), text);
  }

  void tabOrder_data() {
    QTest::addColumn<QString>("inLayout");
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("compact: Exit, Help, About before the delay table")
        << "compact" << QStringList{"bpm", "Command2", "Command3", "Command4", "Text1(0)"}
        << "txtLength";
    QTest::newRow("large: note results and white keys first")
        << "large" << QStringList{"bpm",      "MidiNoteNumber", "NoteFreq", "txtOctave",
                                  "txtNote",  "cmdNote0",       "cmdNote2", "cmdNote4",
                                  "cmdNote5", "cmdNote7",       "cmdNote9", "cmdNote11"}
        << "cmdNote3";
  }
  void tabOrder() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, inLayout);
    QFETCH(QStringList, first);
    QFETCH(QString, last);
    if (layout != inLayout) QSKIP("order of the other layout");
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    const QStringList expected = TabStopsFromTable(window->layout());
    QStringList visited{ControlName(*window, QApplication::focusWidget())};
    for (qsizetype step = 0; step < expected.size(); ++step) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited << ControlName(*window, QApplication::focusWidget());
    }
    QCOMPARE(visited.mid(0, first.size()), first);
    QCOMPARE(visited.at(expected.size() - 1), last);
    QCOMPARE(visited.mid(0, expected.size()), expected);
    QCOMPARE(visited.last(), QString("bpm"));  // and round again
  }
};

QTEST_MAIN(FocusTest)
#include "focus_test.moc"
