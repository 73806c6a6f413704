// What assistive technology meets in either layout: every element of the
// window's accessibility tree that a user can see has a name to say, and
// every other one says nothing; a tempo set through the accessibility
// interface, as a screen reader or voice control sets it, is the user's.
#include <QAccessible>
#include <QTest>

#include "window_test_support.h"

namespace {

// Every element below `parent` that stands for a row of the layout, with the
// name a screen reader says for it.
void Collect(QAccessibleInterface* parent, QHash<QString, QString>& spoken) {
  for (int i = 0; i < parent->childCount(); ++i) {
    QAccessibleInterface* child = parent->child(i);
    if (!child) continue;
    if (child->object())
      spoken.insert(child->object()->objectName(), child->text(QAccessible::Name));
    Collect(child, spoken);
  }
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase_data() { uitest::AddLayoutRows(); }

  void everyElementIsNamedOrSilent() {
    QFETCH_GLOBAL(QString, layout);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    QHash<QString, QString> spoken;
    Collect(QAccessible::queryAccessibleInterface(window.get()), spoken);
    for (const ui::ControlRow& row : window->layout().controls) {
      QVERIFY2(spoken.contains(row.name), qPrintable(row.name + " is not in the tree"));
      const bool seen =
          row.visible && row.kind != ui::Kind::Rectangle && row.kind != ui::Kind::Line;
      QVERIFY2(seen != spoken[row.name].isEmpty(),
               qPrintable(row.name + (seen ? " has no name" : " says '" + spoken[row.name] + "'")));
    }
  }

  void tempoSetFromOutsideIsTheUsers_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("tempo");       // the box's text afterwards
    QTest::addColumn<QString>("wholeNote");   // the calculators followed it
    QTest::addColumn<QList<int>>("origins");  // tempoWritten, in order
    const QList<int> typed{int(ui::TempoOrigin::Typed)};
    QTest::newRow("value set") << "value 97"
                               << "97"
                               << "2474.2" << typed;
    QTest::newRow("text replaced") << "replace 97"
                                   << "97"
                                   << "2474.2" << typed;
    QTest::newRow("text inserted") << "insert .5"
                                   << "120.5"
                                   << "1991.7" << typed;
    QTest::newRow("text deleted") << "delete"
                                  << "12"
                                  << "20000" << typed;
    QTest::newRow("the same text set again") << "value 120"
                                             << "120"
                                             << "2000" << QList<int>{};
    QTest::newRow("written by the program")
        << "program 97"
        << "97"
        << "2474.2" << QList<int>{int(ui::TempoOrigin::Program)};
    QTest::newRow("the slider") << "slider 90"
                                << "90"
                                << "2666.6" << QList<int>{int(ui::TempoOrigin::Slider)};
  }
  void tempoSetFromOutsideIsTheUsers() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, how);
    QFETCH(QString, tempo);
    QFETCH(QString, wholeNote);
    QFETCH(QList<int>, origins);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    QList<int> seen;
    connect(window.get(), &ui::CalculatorWindow::tempoWritten, this,
            [&seen](ui::TempoOrigin origin) { seen << int(origin); });
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(window->tempoBox());
    QVERIFY(box && box->editableTextInterface());
    const QString action = how.section(QLatin1Char(' '), 0, 0);
    const QString text = how.section(QLatin1Char(' '), 1);
    if (action == QLatin1String("value")) {
      box->setText(QAccessible::Value, text);
    } else if (action == QLatin1String("replace")) {
      box->editableTextInterface()->replaceText(0, 3, text);
    } else if (action == QLatin1String("insert")) {
      box->editableTextInterface()->insertText(3, text);
    } else if (action == QLatin1String("delete")) {
      box->editableTextInterface()->deleteText(2, 3);
    } else if (action == QLatin1String("program")) {
      window->SetTempo(text, ui::TempoOrigin::Program);
    } else if (action == QLatin1String("slider")) {
      window->tempoSlider()->setValue(text.toInt());
    }
    QCOMPARE(window->tempoBox()->text(), tempo);
    QCOMPARE(seen, origins);
    QCOMPARE(window->DelayBox(0)->text(), wholeNote);
  }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
