// One keystroke in the tempo box: Samples, the slider and all 24 delay boxes
// updated, and then also repainted. Each iteration types two keys (a digit and
// Backspace), so one keystroke takes half the reported time.
//   QT_QPA_PLATFORM=offscreen ./build/tests/ui_bench   (or under xvfb-run)
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

  void tempoKeystrokeRepainted() {
    auto window = uitest::OpenWindow("compact");
    QVERIFY(window);
    QLineEdit* bpm = uitest::Box(*window, "bpm");
    uitest::Retype(bpm, "12");
    QCoreApplication::processEvents();
    QBENCHMARK {
      QTest::keyClick(bpm, Qt::Key_1);
      QCoreApplication::processEvents();  // the update requests: every changed box painted
      QTest::keyClick(bpm, Qt::Key_Backspace);
      QCoreApplication::processEvents();
    }
    QCOMPARE(uitest::TextOf(*window, "Text1(0)"), QString("20000"));
  }
};

QTEST_MAIN(UiBench)
#include "ui_bench.moc"
