// One keystroke in the tempo box: Samples, the slider and all 24 delay boxes.
#include <QTest>

#include "window_test_support.h"

class UiBench : public QObject {
  Q_OBJECT

 private slots:
  void tempoKeystroke() {
    auto window = uitest::OpenWindow("compact");
    QVERIFY(window);
    QLineEdit* bpm = uitest::Box(*window, "bpm");
    uitest::Retype(bpm, "12");
    QBENCHMARK {
      QTest::keyClick(bpm, Qt::Key_1);          // 121
      QTest::keyClick(bpm, Qt::Key_Backspace);  // 12
    }
    QCOMPARE(uitest::TextOf(*window, "Text1(23)"), QString("14.648"));  // 1.5 x the cut 9.7656
    QCOMPARE(uitest::Slider(*window, "Slider1"), 12);
  }
};

QTEST_MAIN(UiBench)
#include "ui_bench.moc"
