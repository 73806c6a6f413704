// Suggested stereo pairs: an option marks two delay boxes orange, a caption
// label returns every box to its base colour.
#include <QList>
#include <QPushButton>
#include <QTest>

#include "window_test_support.h"

namespace {

// Every box in the core's mark colour when listed in `marked`, else in the
// base colour of its column.
void CheckMarking(const ui::CalculatorWindow& window, const QList<int>& marked) {
  for (int slot = 0; slot < calc::kDelaySlots; ++slot) {
    const QColor expected = ui::ToColor(marked.contains(slot) ? calc::kPairMark
                                        : slot % 2 == 0       ? calc::kPlainSlotBack
                                                              : calc::kDottedSlotBack);
    const QColor shown =
        uitest::Box(window, uitest::SlotName(slot))->palette().color(QPalette::Base);
    QVERIFY2(shown == expected,
             qPrintable(QStringLiteral("%1 is %2, expected %3")
                            .arg(uitest::SlotName(slot), shown.name(), expected.name())));
  }
}

}  // namespace

class StereoTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase_data() { uitest::AddLayoutRows(); }

  void options_data() {
    QTest::addColumn<QStringList>("clicks");  // options, or caption labels that clear
    QTest::addColumn<QList<int>>("marked");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QString>("inLayout");  // empty: both
    QTest::newRow("none") << QStringList{} << QList<int>{} << ""
                          << "";
    QTest::newRow("option 1") << QStringList{"Option1"} << QList<int>{4, 5} << "Option1"
                              << "";
    QTest::newRow("option 2") << QStringList{"Option2"} << QList<int>{6, 7} << "Option2"
                              << "";
    QTest::newRow("option 4") << QStringList{"Option4"} << QList<int>{4, 6} << "Option4"
                              << "";
    QTest::newRow("option 5") << QStringList{"Option5"} << QList<int>{7, 8} << "Option5"
                              << "";
    QTest::newRow("option 6: not neighbours")
        << QStringList{"Option6"} << QList<int>{5, 2} << "Option6"
        << "";
    QTest::newRow("option 3 after 1: box 4 back")
        << QStringList{"Option1", "Option3"} << QList<int>{5, 7} << "Option3"
        << "";
    QTest::newRow("'suggested' clears, option stays")
        << QStringList{"Option6", "Label28"} << QList<int>{} << "Option6"
        << "compact";
    QTest::newRow("'stereo pairs' clears")
        << QStringList{"Option1", "Label6"} << QList<int>{} << "Option1"
        << "compact";
    QTest::newRow("'Suggested Stereo Pairs' clears")
        << QStringList{"Option6", "Label6"} << QList<int>{} << "Option6"
        << "large";
  }
  void options() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QStringList, clicks);
    QFETCH(QList<int>, marked);
    QFETCH(QString, checked);
    QFETCH(QString, inLayout);
    if (!inLayout.isEmpty() && inLayout != layout) QSKIP("caption of the other layout");
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    for (const QString& name : clicks) uitest::Click(*window, name);
    CheckMarking(*window, marked);
    for (int option = 1; option <= 6; ++option) {
      const QString name = QStringLiteral("Option%1").arg(option);
      QCOMPARE(window->control<QPushButton>(name)->isChecked(), name == checked);
    }
  }

  void tempoChangeKeepsMarking() {
    QFETCH_GLOBAL(QString, layout);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    uitest::Click(*window, "Option2");
    uitest::Retype(uitest::Box(*window, "bpm"), "90");
    QCOMPARE(uitest::TextOf(*window, "Text1(6)"), QString("333.33"));
    CheckMarking(*window, {6, 7});
  }
};

QTEST_MAIN(StereoTest)
#include "stereo_test.moc"
