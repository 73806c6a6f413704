// The delay calculator driven by the user: typed tempos, the tempo slider and
// its clickable scale.
#include <QMap>
#include <QTest>

#include "window_test_support.h"

using Slots = QMap<int, QString>;  // slot index -> expected text

namespace {

// Types `typed` into the emptied tempo box of a window started at 120.
void CheckTypedTempo(char separator) {
  QFETCH_GLOBAL(QString, layout);
  QFETCH(QString, typed);
  QFETCH(int, slider);
  QFETCH(QString, samples);
  QFETCH(Slots, slotTexts);
  auto window = uitest::OpenWindow(layout, separator);
  QVERIFY(window);
  uitest::Retype(uitest::Box(*window, "bpm"), typed);
  QCOMPARE(uitest::TextOf(*window, "bpm"), typed);
  QCOMPARE(uitest::Slider(*window, "Slider1"), slider);
  QCOMPARE(uitest::TextOf(*window, "Samples"), samples);
  for (auto it = slotTexts.cbegin(); it != slotTexts.cend(); ++it) {
    QCOMPARE(uitest::TextOf(*window, uitest::SlotName(it.key())), it.value());
  }
}

void AddTempoColumns() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<int>("slider");
  QTest::addColumn<QString>("samples");
  QTest::addColumn<Slots>("slotTexts");
}

}  // namespace

class DelayTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase_data() { uitest::AddLayoutRows(); }

  void typedTempo_data() {
    AddTempoColumns();
    QTest::newRow("120 fills all 24 slots, dotted from the cut plain text")
        << "120" << 120 << "44100"
        << Slots{{0, "2000"},    {1, "3000"},    {2, "1000"},    {3, "1500"},    {4, "500"},
                 {5, "750"},     {6, "250"},     {7, "375"},     {8, "125"},     {9, "187.5"},
                 {10, "62.5"},   {11, "93.75"},  {12, "31.25"},  {13, "46.875"}, {14, "15.625"},
                 {15, "23.437"}, {16, "7.8125"}, {17, "11.718"}, {18, "3.9062"}, {19, "5.8593"},
                 {20, "1.9531"}, {21, "2.9296"}, {22, "0.9765"}, {23, "1.4647"}};
    QTest::newRow("90: dotted from the shown plain text")
        << "90" << 90 << "58800" << Slots{{0, "2666.6"}, {1, "3999.9"}, {2, "1333.3"},
                                          {3, "1999.9"}, {4, "666.66"}, {5, "999.99"}};
    QTest::newRow("7: trailing point kept")
        << "7" << 7 << "756000" << Slots{{0, "34285."}, {1, "51427."}};
    QTest::newRow("120.5: slider 120, trailing zero kept")
        << "120.5" << 120 << "43917.0124" << Slots{{0, "1991.7"}, {1, "2987.5"}, {10, "62.240"}};
    QTest::newRow("121.5: slider 122") << "121.5" << 122 << "43555.5555" << Slots{{0, "1975.3"}};
    QTest::newRow("100") << "100" << 100 << "52920" << Slots{{0, "2400"}};
    QTest::newRow("130: samples cut to 10") << "130" << 130 << "40707.6923" << Slots{{0, "1846.1"}};
    QTest::newRow("-120: slider stays")
        << "-120" << 120 << "-44100" << Slots{{0, "-2000"}, {1, "-3000"}, {13, "-46.87"}};
    QTest::newRow("300: slider stays at 30")
        << "300" << 30 << "17640" << Slots{{0, "800"}, {1, "1200"}};
    QTest::newRow("0: slider 0, the rest kept")
        << "0" << 0 << "44100" << Slots{{0, "2000"}, {1, "3000"}, {23, "1.4647"}};
    QTest::newRow("12a is no number: 12 stays") << "12a" << 12 << "441000" << Slots{{0, "20000"}};
  }
  void typedTempo() { CheckTypedTempo('.'); }

  void commaTempo_data() {
    AddTempoColumns();
    QTest::newRow("120,5") << "120,5" << 120 << "43917,0124"
                           << Slots{{0, "1991,7"}, {1, "2987,5"}, {10, "62,240"}};
    QTest::newRow("100") << "100" << 100 << "52920" << Slots{{0, "2400"}};
    QTest::newRow("120.5 is no number") << "120.5" << 120 << "44100" << Slots{{9, "187,5"}};
  }
  void commaTempo() { CheckTypedTempo(','); }

  void deletingTempoKeepsResults() {
    QFETCH_GLOBAL(QString, layout);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    QLineEdit* bpm = uitest::Box(*window, "bpm");
    uitest::Retype(bpm, "90");
    const QStringList before = uitest::SlotTexts(*window);
    bpm->selectAll();
    QTest::keyClick(bpm, Qt::Key_Delete);
    QCOMPARE(bpm->text(), QString());
    QCOMPARE(uitest::TextOf(*window, "Samples"), QString("58800"));
    QCOMPARE(uitest::Slider(*window, "Slider1"), 90);
    QCOMPARE(uitest::SlotTexts(*window), before);
    QCOMPARE(before.first(), QString("2666.6"));
  }

  void layoutsAgree_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("90") << "90";
    QTest::newRow("133.7") << "133.7";
    QTest::newRow("-0.5") << "-0.5";
  }
  void layoutsAgree() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, typed);
    if (layout == "large") QSKIP("compared once, from the compact row");
    auto compact = uitest::OpenWindow("compact");
    auto large = uitest::OpenWindow("large");
    QVERIFY(compact && large);
    uitest::Retype(uitest::Box(*compact, "bpm"), typed);
    uitest::Retype(uitest::Box(*large, "bpm"), typed);
    QCOMPARE(uitest::SlotTexts(*large), uitest::SlotTexts(*compact));
    QCOMPARE(uitest::TextOf(*large, "Samples"), uitest::TextOf(*compact, "Samples"));
    QCOMPARE(uitest::Slider(*large, "Slider1"), uitest::Slider(*compact, "Slider1"));
  }

  void typingStopsAtMaximumLength_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("bpm: 6") << "bpm"
                            << "1234567"
                            << "123456";
    QTest::newRow("Samples: 10") << "Samples"
                                 << "12345678901"
                                 << "1234567890";
  }
  void typingStopsAtMaximumLength() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    uitest::Retype(uitest::Box(*window, box), typed);
    QCOMPARE(uitest::TextOf(*window, box), expected);
  }

  void scaleLabel_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<QString>("samples");
    QTest::addColumn<Slots>("slotTexts");
    QTest::newRow("0 keeps samples and table")
        << "Label22"
        << "0"
        << "44100" << Slots{{0, "2000"}, {1, "3000"}, {23, "1.4647"}};
    QTest::newRow("20") << "Label5"
                        << "20"
                        << "264600" << Slots{{0, "12000"}};
    QTest::newRow("40") << "Label17"
                        << "40"
                        << "132300" << Slots{{0, "6000"}};
    QTest::newRow("60") << "Label16"
                        << "60"
                        << "88200" << Slots{{0, "4000"}};
    QTest::newRow("80") << "Label15"
                        << "80"
                        << "66150" << Slots{{0, "3000"}};
    QTest::newRow("100") << "Label14"
                         << "100"
                         << "52920" << Slots{{0, "2400"}};
    QTest::newRow("120") << "Label10"
                         << "120"
                         << "44100" << Slots{{0, "2000"}};
    QTest::newRow("140") << "Label12"
                         << "140"
                         << "37800" << Slots{{0, "1714.2"}};
    QTest::newRow("160") << "Label13"
                         << "160"
                         << "33075" << Slots{{0, "1500"}};
    QTest::newRow("180") << "Label11"
                         << "180"
                         << "29400" << Slots{{0, "1333.3"}};
    QTest::newRow("200") << "Label9"
                         << "200"
                         << "26460" << Slots{{0, "1200"}};
    QTest::newRow("220") << "Label21"
                         << "220"
                         << "24054.5454" << Slots{{0, "1090.9"}};
    QTest::newRow("240") << "Label23"
                         << "240"
                         << "22050" << Slots{{0, "1000"}, {1, "1500"}};
  }
  void scaleLabel() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, label);
    QFETCH(QString, tempo);
    QFETCH(QString, samples);
    QFETCH(Slots, slotTexts);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    uitest::Click(*window, label);
    QCOMPARE(uitest::TextOf(*window, "bpm"), tempo);
    QCOMPARE(uitest::Slider(*window, "Slider1"), tempo.toInt());
    QCOMPARE(uitest::TextOf(*window, "Samples"), samples);
    for (auto it = slotTexts.cbegin(); it != slotTexts.cend(); ++it) {
      QCOMPARE(uitest::TextOf(*window, uitest::SlotName(it.key())), it.value());
    }
  }

  void sliderMovedByUser_data() {
    QTest::addColumn<int>("key");  // 0: drag the handle to dragTo
    QTest::addColumn<int>("dragTo");
    QTest::addColumn<QString>("bpm");
    QTest::addColumn<QString>("slot0");
    QTest::newRow("drag to 60") << 0 << 60 << "60"
                                << "4000";
    QTest::newRow("Right arrow") << int(Qt::Key_Right) << 0 << "121"
                                 << "1983.4";
    QTest::newRow("Page Up: one step, as a click beside the handle")
        << int(Qt::Key_PageUp) << 0 << "121"
        << "1983.4";
    QTest::newRow("Home: tempo 0 keeps the table") << int(Qt::Key_Home) << 0 << "0"
                                                   << "2000";
  }
  void sliderMovedByUser() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(int, key);
    QFETCH(int, dragTo);
    QFETCH(QString, bpm);
    QFETCH(QString, slot0);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    auto* slider = window->control<QSlider>("Slider1");
    if (key == 0) {
      uitest::DragSlider(slider, dragTo);
    } else {
      QTest::keyClick(slider, static_cast<Qt::Key>(key));
    }
    QCOMPARE(uitest::TextOf(*window, "bpm"), bpm);
    QCOMPARE(uitest::TextOf(*window, "Text1(0)"), slot0);
  }
};

QTEST_MAIN(DelayTest)
#include "delay_test.moc"
