// The beat calculator: length/tempo, doubling, halving and the sample rate.
#include <QAbstractItemView>
#include <QComboBox>
#include <QTest>

#include "window_test_support.h"

class BeatTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase_data() { uitest::AddLayoutRows(); }

  void buttons_data() {
    QTest::addColumn<QString>("tempo");    // typed into bpm; empty: 120
    QTest::addColumn<QString>("samples");  // typed into Samples; empty: as computed
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("newSamples");
    QTest::addColumn<QString>("bpmSPB");
    QTest::addColumn<QString>("txtLength");
    QTest::newRow("defaults") << ""
                              << ""
                              << "Command1"
                              << "44100"
                              << "120"
                              << "1";
    QTest::newRow("defaults doubled") << ""
                                      << ""
                                      << "Command11"
                                      << "88200"
                                      << "60"
                                      << "2";
    QTest::newRow("defaults halved") << ""
                                     << ""
                                     << "Command12"
                                     << "22050"
                                     << "240"
                                     << "0.5";
    QTest::newRow("100000: cut") << ""
                                 << "100000"
                                 << "Command1"
                                 << "100000"
                                 << "52.92"
                                 << "2.2675";
    QTest::newRow("12345") << ""
                           << "12345"
                           << "Command1"
                           << "12345"
                           << "428.67"
                           << "0.2799";
    QTest::newRow("tempo 130") << "130"
                               << ""
                               << "Command1"
                               << "40707.6923"
                               << "130.00"
                               << "0.9230";
    QTest::newRow("9000000000 doubled: no power of ten lost") << ""
                                                              << "9000000000"
                                                              << "Command11"
                                                              << "1.8E+10"
                                                              << "0.0002"
                                                              << "408163";
    QTest::newRow("44101 halved") << ""
                                  << "44101"
                                  << "Command12"
                                  << "22050.5"
                                  << "239.99"
                                  << "0.5000";
    QTest::newRow("not a number: nothing written") << ""
                                                   << "12a"
                                                   << "Command11"
                                                   << "12a"
                                                   << ""
                                                   << "";
  }
  void buttons() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, tempo);
    QFETCH(QString, samples);
    QFETCH(QString, button);
    QFETCH(QString, newSamples);
    QFETCH(QString, bpmSPB);
    QFETCH(QString, txtLength);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    if (!tempo.isEmpty()) uitest::Retype(uitest::Box(*window, "bpm"), tempo);
    if (!samples.isEmpty()) uitest::Retype(uitest::Box(*window, "Samples"), samples);
    uitest::Click(*window, button);
    QCOMPARE(uitest::TextOf(*window, "Samples"), newSamples);
    QCOMPARE(uitest::TextOf(*window, "bpmSPB"), bpmSPB);
    QCOMPARE(uitest::TextOf(*window, "txtLength"), txtLength);
  }

  void zeroSamplesKeepsTempo() {
    QFETCH_GLOBAL(QString, layout);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    uitest::Click(*window, "Command1");
    uitest::Retype(uitest::Box(*window, "Samples"), "0");
    uitest::Click(*window, "Command1");
    QCOMPARE(uitest::TextOf(*window, "bpmSPB"), QString("120"));
    QCOMPARE(uitest::TextOf(*window, "txtLength"), QString("0"));
  }

  void zeroRateKeepsLength() {
    QFETCH_GLOBAL(QString, layout);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    uitest::Click(*window, "Command1");
    window->control<QComboBox>("SampleRate")->setEditText("0");  // no recompute of Samples
    uitest::Click(*window, "Command1");
    QCOMPARE(uitest::TextOf(*window, "bpmSPB"), QString("0"));
    QCOMPARE(uitest::TextOf(*window, "txtLength"), QString("1"));
  }

  void commaButtons_data() {
    QTest::addColumn<QString>("samples");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("newSamples");
    QTest::addColumn<QString>("bpmSPB");
    QTest::addColumn<QString>("txtLength");
    QTest::newRow("44101 halved") << "44101"
                                  << "Command12"
                                  << "22050,5"
                                  << "239,99"
                                  << "0,5000";
    QTest::newRow("tempo 130 samples") << "40707,6923"
                                       << "Command1"
                                       << "40707,6923"
                                       << "130,00"
                                       << "0,9230";
  }
  void commaButtons() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, samples);
    QFETCH(QString, button);
    auto window = uitest::OpenWindow(layout, ',');
    QVERIFY(window);
    uitest::Retype(uitest::Box(*window, "Samples"), samples);
    uitest::Click(*window, button);
    QTEST(uitest::TextOf(*window, "Samples"), "newSamples");
    QTEST(uitest::TextOf(*window, "bpmSPB"), "bpmSPB");
    QTEST(uitest::TextOf(*window, "txtLength"), "txtLength");
  }

  // Samples per beat follows every tempo the box shows; a tempo or rate that
  // gives no number keeps the last one.
  void samplesFollowTempo_data() {
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<QString>("samples");
    QTest::newRow("tempo 100") << "44100"
                               << "100"
                               << "52920";
    QTest::newRow("tempo 90") << "44100"
                              << "90"
                              << "58800";
    QTest::newRow("tempo 130: cut") << "44100"
                                    << "130"
                                    << "40707.6923";
    QTest::newRow("negative tempo") << "44100"
                                    << "-120"
                                    << "-44100";
    QTest::newRow("ten digits fit") << "44100"
                                    << "0.001"
                                    << "5292000000";
    QTest::newRow("eleven digits: exponent form") << "44100"
                                                  << "0.0001"
                                                  << "5.292E+10";
    QTest::newRow("zero tempo keeps samples") << "44100"
                                              << "0"
                                              << "44100";
    QTest::newRow("empty tempo keeps samples") << "44100"
                                               << ""
                                               << "44100";
    QTest::newRow("empty rate keeps samples") << ""
                                              << "120"
                                              << "44100";
  }
  void samplesFollowTempo() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, rate);
    QFETCH(QString, tempo);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    QCOMPARE(uitest::TextOf(*window, "Samples"), QString("44100"));
    window->control<QComboBox>("SampleRate")->setEditText(rate);
    uitest::Box(*window, "bpm")->setText(tempo);
    QTEST(uitest::TextOf(*window, "Samples"), "samples");
  }

  void typedRateRecomputesEveryKeystroke() {
    QFETCH_GLOBAL(QString, layout);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    QLineEdit* rate = window->control<QComboBox>("SampleRate")->lineEdit();
    rate->selectAll();
    QTest::keyClick(rate, Qt::Key_Backspace);
    QCOMPARE(uitest::TextOf(*window, "Samples"), QString("44100"));  // empty rate: kept
    const QStringList expected = {"4", "48", "480", "4800", "48000"};
    for (qsizetype i = 0; i < expected.size(); ++i) {
      QTest::keyClick(rate, QString("48000").at(i).toLatin1());
      QCOMPARE(uitest::TextOf(*window, "Samples"), expected.at(i));
    }
  }

  // The list's current entry is the one whose text the field shows, and none
  // while the text is not in the list: opening the list and the arrow keys
  // start from it.
  void currentRateEntry_data() {
    QTest::addColumn<QString>("typed");  // empty: the text the window starts with
    QTest::addColumn<int>("key");        // then pressed in the field; 0: none
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("entry");  // index of the current entry; -1: none
    QTest::newRow("at start") << "" << 0 << "44100" << 4;
    QTest::newRow("typed 48000") << "48000" << 0 << "48000" << 5;
    QTest::newRow("typed 8000, the first entry") << "8000" << 0 << "8000" << 0;
    QTest::newRow("typed 4800: no entry, text kept") << "4800" << 0 << "4800" << -1;
    QTest::newRow("typed 96000x: no entry, text kept") << "96000x" << 0 << "96000x" << -1;
    QTest::newRow("Down from 44100") << "" << int(Qt::Key_Down) << "48000" << 5;
    QTest::newRow("Up from 44100") << "" << int(Qt::Key_Up) << "32000" << 3;
    QTest::newRow("Down from typed 22050") << "22050" << int(Qt::Key_Down) << "32000" << 3;
  }
  void currentRateEntry() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, shown);
    QFETCH(int, entry);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    auto* rate = window->control<QComboBox>("SampleRate");
    if (!typed.isEmpty()) uitest::Retype(rate->lineEdit(), typed);
    if (key != 0) QTest::keyClick(rate->lineEdit(), static_cast<Qt::Key>(key));
    QCOMPARE(rate->lineEdit()->text(), shown);
    QCOMPARE(rate->currentIndex(), entry);
    QCOMPARE(rate->lineEdit()->cursorPosition(), shown.size());
  }

  void chosenRateWaitsForTheNextStep() {
    QFETCH_GLOBAL(QString, layout);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    auto* rate = window->control<QComboBox>("SampleRate");
    rate->showPopup();
    rate->view()->setCurrentIndex(rate->model()->index(rate->findText("48000"), 0));
    QTest::keyClick(rate->view(), Qt::Key_Return);
    QCOMPARE(rate->currentText(), QString("48000"));
    QCOMPARE(uitest::TextOf(*window, "Samples"), QString("44100"));
    uitest::Click(*window, "Command1");
    QCOMPARE(uitest::TextOf(*window, "bpmSPB"), QString("130.61"));
    QCOMPARE(uitest::TextOf(*window, "txtLength"), QString("0.9187"));
  }
};

QTEST_MAIN(BeatTest)
#include "beat_test.moc"
