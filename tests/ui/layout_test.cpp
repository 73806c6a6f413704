// The two layouts as the user meets them: the wired controls, unique focus
// numbers, tooltips, spoken names, and boxes wide enough for their results.
#include <QAccessible>
#include <QFontMetrics>
#include <QSet>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>

#include "widgets.h"
#include "window_test_support.h"

class LayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase_data() { uitest::AddLayoutRows(); }

  void controls_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("inLayout");  // empty: both; else absent from the other
    QTest::newRow("text boxes") << QStringList{"bpm",       "Samples", "bpmSPB",   "txtLength",
                                               "txtOctave", "txtNote", "NoteFreq", "MidiNoteNumber"}
                                << "QLineEdit"
                                << "";
    QTest::newRow("sliders") << QStringList{"Slider1", "sldOctave"} << "QSlider"
                             << "";
    QTest::newRow("scale and caption labels")
        << QStringList{"Label22", "Label5",  "Label17", "Label16", "Label15",
                       "Label14", "Label10", "Label12", "Label13", "Label11",
                       "Label9",  "Label21", "Label23", "Label6",  "lblNote"}
        << "QLabel"
        << "";
    QTest::newRow("buttons") << QStringList{"Command1", "Command11", "Command12", "Command2",
                                            "Command3", "Command4",  "cmdNote0",  "cmdNote11",
                                            "Option1",  "Option6"}
                             << "QPushButton"
                             << "";
    QTest::newRow("sample rate") << QStringList{"SampleRate"} << "QComboBox"
                                 << "";
    QTest::newRow("compact only") << QStringList{"Max", "Label28"} << "QWidget"
                                  << "compact";
    QTest::newRow("large only") << QStringList{"Min"} << "QPushButton"
                                << "large";
  }
  void controls() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QStringList, names);
    QFETCH(QString, className);
    QFETCH(QString, inLayout);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    const bool present = inLayout.isEmpty() || inLayout == layout;
    for (const QString& name : names) {
      QWidget* widget = window->control(name);
      QVERIFY2((widget != nullptr) == present, qPrintable(name));
      if (widget) QVERIFY2(widget->inherits(qPrintable(className)), qPrintable(name));
    }
  }

  // The doubling, halving and layout buttons show triangles, never the
  // letters that stood for them in a symbol font.
  void triangleButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("inLayout");  // empty: both
    QTest::addColumn<bool>("upward");
    QTest::newRow("doubling") << "Command11"
                              << "" << true;
    QTest::newRow("halving") << "Command12"
                             << "" << false;
    QTest::newRow("larger window") << "Max"
                                   << "compact" << true;
    QTest::newRow("smaller window") << "Min"
                                    << "large" << false;
  }
  void triangleButtons() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, button);
    QFETCH(QString, inLayout);
    QFETCH(bool, upward);
    if (!inLayout.isEmpty() && inLayout != layout) QSKIP("button of the other layout");
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    const auto* triangle = window->control<ui::TriangleButton>(button);
    QVERIFY2(triangle, qPrintable(button + QStringLiteral(" is no triangle button")));
    QCOMPARE(triangle->upward(), upward);
  }

  void programButtonSignal_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("inLayout");  // empty: both
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("Max") << "Max"
                         << "compact" << QByteArray("largerLayoutRequested");
    QTest::newRow("Min") << "Min"
                         << "large" << QByteArray("smallerLayoutRequested");
    QTest::newRow("Exit") << "Command2"
                          << "" << QByteArray("exitRequested");
    QTest::newRow("Help") << "Command3"
                          << "" << QByteArray("helpRequested");
    QTest::newRow("About") << "Command4"
                           << "" << QByteArray("aboutRequested");
  }
  void programButtonSignal() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, button);
    QFETCH(QString, inLayout);
    QFETCH(QByteArray, request);
    if (!inLayout.isEmpty() && inLayout != layout) QSKIP("button of the other layout");
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    const QByteArray signal = "2" + request + "()";  // SIGNAL() form
    QSignalSpy raised(window.get(), signal.constData());
    QVERIFY(raised.isValid());
    uitest::Click(*window, button);
    QCOMPARE(raised.count(), 1);
  }

  // Each typed accessor reaches the control its layout name says, in both layouts.
  void accessorsReachTheNamedControls() {
    QFETCH_GLOBAL(QString, layout);
    const ui::CalculatorWindow window(uitest::LayoutNamed(layout), '.');
    const std::pair<const QWidget*, const char*> reached[] = {
        {window.tempoBox(), "bpm"},
        {window.tempoSlider(), "Slider1"},
        {window.sampleRateBox(), "SampleRate"},
        {window.samplesBox(), "Samples"},
        {window.loopTempoBox(), "bpmSPB"},
        {window.lengthBox(), "txtLength"},
        {window.octaveSlider(), "sldOctave"},
        {window.octaveBox(), "txtOctave"},
        {window.noteBox(), "txtNote"},
        {window.noteIndexLabel(), "lblNote"},
        {window.noteFrequencyBox(), "NoteFreq"},
        {window.midiNumberBox(), "MidiNoteNumber"},
        {window.aboutButton(), "Command4"}};
    for (const auto& [control, name] : reached) {
      QVERIFY2(control && control == window.control(QString::fromLatin1(name)), name);
    }
  }

  void focusNumbersUnique() {
    QFETCH_GLOBAL(QString, layout);
    QSet<int> seen;
    for (const ui::ControlRow& control : uitest::LayoutNamed(layout).controls) {
      if (control.focus < 0) continue;
      QVERIFY2(!seen.contains(control.focus), qPrintable(control.name));
      seen.insert(control.focus);
    }
  }

  void delayTooltips_data() {
    QTest::addColumn<QString>("inLayout");
    QTest::addColumn<QStringList>("tooltips");
    QTest::newRow("compact")
        << "compact"
        << QStringList{"whole note",  "dotted whole note",  "1/2 note",    "dotted 1/2 note",
                       "1/4 note",    "dotted 1/4 note",    "1/8 note",    "dotted 1/8 note",
                       "1/16 note",   "dotted 1/16 note",   "1/32 note",   "dotted 1/32 note",
                       "1/64 note",   "dotted 1/64 note",   "1/128 note",  "dotted 1/128 note",
                       "1/256 note",  "dotted 1/256 note",  "1/512 note",  "dotted 1/512 note",
                       "1/1024 note", "dotted 1/1024 note", "1/2048 note", "dotted 1/2048 note"};
    QTest::newRow("large")
        << "large"
        << QStringList{
               "whole note",  "dotted whole note",  "1/2 note",    "dotted 1/2 note",
               "1/4 note",    "dotted 1/4 note",    "1/8 note",    "dotted 1/8 note",
               "1/16 note",   "dotted 1/16 note",   "1/32 note",   "dotted 1/32 note",
               "1/64 note",   "dotted 1/64 note",   "1/128 note",  "dotted 1/128 note",
               "1/256 note",  "dotted 1/256 note",  "1/512 note",  "dotted 1/512 note",
               "1/1024 note", "dotted 1/1024 note", "1/2048 note", "dotted 1/2048 note :-)"};
  }
  void delayTooltips() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, inLayout);
    QFETCH(QStringList, tooltips);
    if (layout != inLayout) QSKIP("tooltips of the other layout");
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    QStringList shown;
    for (int slot = 0; slot < calc::kDelaySlots; ++slot)
      shown << uitest::Box(*window, uitest::SlotName(slot))->toolTip();
    QCOMPARE(shown, tooltips);
  }

  // What a screen reader is told: the name, and whether a box can be typed in.
  void spokenNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("spoken");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("tempo box") << "bpm"
                               << "Tempo (BPM)" << false;
    QTest::newRow("samples box") << "Samples"
                                 << "Samples per Beat" << false;
    QTest::newRow("whole note result") << "Text1(0)"
                                       << "whole note" << true;
    QTest::newRow("frequency result") << "NoteFreq"
                                      << "Frequency" << true;
    QTest::newRow("loop length result") << "txtLength"
                                        << "Loop length (seconds)" << true;
    QTest::newRow("doubling triangle") << "Command11"
                                       << "Multiplies Samples per Beat by 2" << false;
    QTest::newRow("note key") << "cmdNote9"
                              << "A" << false;
  }
  void spokenNames() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, name);
    QFETCH(QString, spoken);
    QFETCH(bool, readOnly);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(window->control(name));
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), spoken);
    QCOMPARE(bool(accessible->state().readOnly), readOnly);
    for (const ui::ControlRow& control :
         window->layout().controls) {  // and every Tab stop is named
      QWidget* widget = window->control(control.name);
      if (widget && (widget->focusPolicy() & Qt::TabFocus)) {
        QAccessibleInterface* reachable = QAccessible::queryAccessibleInterface(widget);
        QVERIFY2(reachable && !reachable->text(QAccessible::Name).isEmpty(),
                 qPrintable(control.name));
      }
    }
  }

  void resultFitsItsBox_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::newRow("delay column 1") << "Text1(0)"
                                    << "46.875";
    QTest::newRow("delay column 2") << "Text1(1)"
                                    << "46.875";
    QTest::newRow("delay column 3") << "Text1(2)"
                                    << "46.875";
    QTest::newRow("delay column 4") << "Text1(3)"
                                    << "46.875";
    QTest::newRow("NoteFreq") << "NoteFreq"
                              << "440.000";
    QTest::newRow("bpmSPB") << "bpmSPB"
                            << "428.67";
    QTest::newRow("txtLength") << "txtLength"
                               << "2.2675";
    QTest::newRow("Samples") << "Samples"
                             << "40707.6923";
  }
  void resultFitsItsBox() {
    QFETCH_GLOBAL(QString, layout);
    QFETCH(QString, box);
    QFETCH(QString, text);
    auto window = uitest::OpenWindow(layout);
    QVERIFY(window);
    QLineEdit* edit = uitest::Box(*window, box);
    // The room QLineEdit draws in: the style's contents rectangle less the text
    // margins, its own 2-pixel margin on each side and one pixel for the caret.
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const QRect contents =
        edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const int room =
        contents.width() - edit->textMargins().left() - edit->textMargins().right() - 2 * 2 - 1;
    const int needed = QFontMetrics(edit->font()).horizontalAdvance(text);
    QVERIFY2(needed <= room,
             qPrintable(QStringLiteral("'%1' needs %2 px, %3 (%4 px wide) has %5 px")
                            .arg(text)
                            .arg(needed)
                            .arg(box)
                            .arg(edit->width())
                            .arg(room)));
  }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
