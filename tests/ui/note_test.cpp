// The note calculator: the twelve keys and the octave slider.
#include <QTest>

#include "window_test_support.h"

class NoteTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase_data() { uitest::AddLayoutRows(); }

  void keyAndOctave_data() {
    QTest::addColumn<QString>("key");  // empty: no key pressed
    QTest::addColumn<int>("octave");   // -1: slider not moved
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("octaveText");
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("midi");
    QTest::newRow("C") << "cmdNote0" << -1 << "C"
                       << "4"
                       << "261.625"
                       << "48";
    QTest::newRow("C#: cut") << "cmdNote1" << -1 << "C#"
                             << "4"
                             << "277.182"
                             << "49";
    QTest::newRow("D") << "cmdNote2" << -1 << "D"
                       << "4"
                       << "293.664"
                       << "50";
    QTest::newRow("D#") << "cmdNote3" << -1 << "D#"
                        << "4"
                        << "311.127"
                        << "51";
    QTest::newRow("E") << "cmdNote4" << -1 << "E"
                       << "4"
                       << "329.627"
                       << "52";
    QTest::newRow("F") << "cmdNote5" << -1 << "F"
                       << "4"
                       << "349.228"
                       << "53";
    QTest::newRow("F#") << "cmdNote6" << -1 << "F#"
                        << "4"
                        << "369.994"
                        << "54";
    QTest::newRow("G") << "cmdNote7" << -1 << "G"
                       << "4"
                       << "391.995"
                       << "55";
    QTest::newRow("G#") << "cmdNote8" << -1 << "G#"
                        << "4"
                        << "415.304"
                        << "56";
    QTest::newRow("A") << "cmdNote9" << -1 << "A"
                       << "4"
                       << "440.000"
                       << "57";
    QTest::newRow("A#") << "cmdNote10" << -1 << "A#"
                        << "4"
                        << "466.163"
                        << "58";
    QTest::newRow("B") << "cmdNote11" << -1 << "B"
                       << "4"
                       << "493.883"
                       << "59";
    QTest::newRow("B, octave 10: midi not clamped") << "cmdNote11" << 10 << "B"
                                                    << "10"
                                                    << "31608.5"
                                                    << "131";
    QTest::newRow("B, octave 0") << "cmdNote11" << 0 << "B"
                                 << "0"
                                 << "30.8677"
                                 << "11";
    QTest::newRow("A, octave 0: trailing zeros") << "cmdNote9" << 0 << "A"
                                                 << "0"
                                                 << "27.5000"
                                                 << "9";
    QTest::newRow("no key, octave 10: hidden note A") << "" << 10 << "A"
                                                      << "10"
                                                      << "28160.0"
                                                      << "129";
  }
  void keyAndOctave() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, key);
    QFETCH(int, octave);
    QFETCH(QString, name);
    QFETCH(QString, octaveText);
    QFETCH(QString, frequency);
    QFETCH(QString, midi);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    if (!key.isEmpty()) {
      uitest::Click(*window, "cmdNote5");  // away from the start note first
      uitest::Click(*window, key);
    }
    if (octave >= 0) uitest::DragSlider(window->control<QSlider>("sldOctave"), octave);
    QCOMPARE(uitest::TextOf(*window, "txtNote"), name);
    QCOMPARE(uitest::TextOf(*window, "txtOctave"), octaveText);
    QCOMPARE(uitest::TextOf(*window, "NoteFreq"), frequency);
    QCOMPARE(uitest::TextOf(*window, "MidiNoteNumber"), midi);
  }

  void octaveByKeyboard() {
    QFETCH_GLOBAL(QString, layout);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    QTest::keyClick(window->control("sldOctave"), Qt::Key_Right);
    QCOMPARE(uitest::TextOf(*window, "txtOctave"), QString("5"));
    QCOMPARE(uitest::TextOf(*window, "NoteFreq"), QString("880.000"));
    QCOMPARE(uitest::TextOf(*window, "MidiNoteNumber"), QString("69"));
  }
};

QTEST_MAIN(NoteTest)
#include "note_test.moc"
