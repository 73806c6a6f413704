// Start-up from the saved settings, switching between the compact and the
// large window, and what each way of ending the run leaves stored.
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "looks.h"
#include "program.h"
#include "program_test_support.h"

using namespace programtest;
using ui::Which;

namespace {
constexpr int kDesigned = -99999;  // the window keeps the place its layout gives it

QList<QColor> DelayColours(const ui::CalculatorWindow* window) {
  QList<QColor> colours;
  for (int slot = 0; slot < calc::kDelaySlots; ++slot) {
    const auto* box = window->control<QLineEdit>(QStringLiteral("Text1(%1)").arg(slot));
    colours << box->palette().color(QPalette::Base);
  }
  return colours;
}

void StoreAll(const QString& left, const QString& top, const QString& bpm, const QString& slider) {
  QVERIFY(Store(QStringLiteral("Left"), left));
  QVERIFY(Store(QStringLiteral("Top"), top));
  QVERIFY(Store(QStringLiteral("BPM"), bpm));
  QVERIFY(Store(QStringLiteral("Slider"), slider));
}
}  // namespace

class LifecycleTest : public programtest::Fixture {
  Q_OBJECT

 protected:
  void SetUp() override {
    program_ = std::make_unique<ui::Program>('.', shell_, QStringLiteral("/opt/tempiva"));
  }
  void TearDown() override {
    program_.reset();
    FlushDeletes();
  }

 private slots:
  void initTestCase() { programtest::InitCalculator(); }

  // ---- Start-up ----

  void firstRunShowsCompactWithDefaults() {
    program_->Start();
    QVERIFY(compact() != nullptr);
    QVERIFY(compact()->isVisible());
    QVERIFY(large() == nullptr);
    QCOMPARE(compact()->pos(), QPoint(121, 402));
    QCOMPARE(Text(compact(), "bpm"), QStringLiteral("120"));
    QCOMPARE(Position(compact(), "Slider1"), 120);
    QCOMPARE(Text(compact(), "Text1(0)"), QStringLiteral("2000"));
    QVERIFY(!QFileInfo::exists(settings::StorePath(settings::kApplication)));  // reads only
  }

  void layoutFromState_data() {
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("largeShown");
    QTest::newRow("False") << QStringLiteral("False") << true;
    QTest::newRow("false") << QStringLiteral("false") << true;
    QTest::newRow("FALSE") << QStringLiteral("FALSE") << true;
    QTest::newRow("zero") << QStringLiteral("0") << true;
    QTest::newRow("one") << QStringLiteral("1") << false;
    QTest::newRow("True") << QStringLiteral("True") << false;
    QTest::newRow("negative fraction") << QStringLiteral("-2.5") << false;
    QTest::newRow("garbage") << QStringLiteral("garbage") << false;
  }
  void layoutFromState() {
    QFETCH(QString, state);
    QFETCH(bool, largeShown);
    StoreAll(QStringLiteral("3000"), QStringLiteral("1500"), QStringLiteral("90"),
             QStringLiteral("90"));
    QVERIFY(Store(QStringLiteral("State"), state));
    program_->Start();
    QVERIFY(compact() != nullptr);
    QCOMPARE(compact()->isVisible(), !largeShown);
    QCOMPARE(compact()->pos(), QPoint(200, 100));
    QCOMPARE(Text(compact(), "bpm"), QStringLiteral("90"));
    if (!largeShown) {
      QVERIFY(large() == nullptr);
      return;
    }
    QVERIFY(large() != nullptr);
    QVERIFY(large()->isVisible());
    QCOMPARE(large()->pos(), QPoint(200, 100));
    QCOMPARE(Text(large(), "bpm"), QStringLiteral("90"));
    QCOMPARE(Position(large(), "Slider1"), 90);
  }

  void sliderRestore_data() {
    QTest::addColumn<QString>("bpm");
    QTest::addColumn<QString>("slider");
    QTest::addColumn<int>("position");
    QTest::newRow("inside the range") << QStringLiteral("90") << QStringLiteral("200") << 200;
    QTest::newRow("above the range") << QStringLiteral("90") << QStringLiteral("300") << 90;
    QTest::newRow("below the range") << QStringLiteral("90") << QStringLiteral("-1") << 90;
    QTest::newRow("not a number") << QStringLiteral("90") << QStringLiteral("abc") << 90;
  }
  void sliderRestore() {
    QFETCH(QString, bpm);
    QFETCH(QString, slider);
    QFETCH(int, position);
    QVERIFY(Store(QStringLiteral("BPM"), bpm));
    QVERIFY(Store(QStringLiteral("Slider"), slider));
    program_->Start();
    QCOMPARE(Position(compact(), "Slider1"), position);
    QCOMPARE(Text(compact(), "Text1(0)"), QStringLiteral("2666.6"));
  }

  void tempoTextIsTakenVerbatim() {
    QVERIFY(Store(QStringLiteral("BPM"), QStringLiteral("abc")));
    program_->Start();
    QCOMPARE(Text(compact(), "bpm"), QStringLiteral("abc"));
    for (int slot = 0; slot < calc::kDelaySlots; ++slot) {
      const QString name = QStringLiteral("Text1(%1)").arg(slot);
      QCOMPARE(compact()->control<QLineEdit>(name)->text(), QStringLiteral("0"));
    }
  }

  void positionRestore_data() {
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("top");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::newRow("whole twips") << QStringLiteral("3000") << QStringLiteral("1500") << 200 << 100;
    QTest::newRow("exponent form") << QStringLiteral("1.5e3") << QStringLiteral("3E2") << 100 << 20;
    QTest::newRow("negative") << QStringLiteral("-1815") << QStringLiteral("-30") << -121 << -2;
    QTest::newRow("left not a number")
        << QStringLiteral("abc") << QStringLiteral("1500") << kDesigned << 100;
    QTest::newRow("left 1e30") << QStringLiteral("1e30") << QStringLiteral("1500") << kDesigned
                               << 100;
    QTest::newRow("top -1e30") << QStringLiteral("3000") << QStringLiteral("-1e30") << 200
                               << kDesigned;
    QTest::newRow("left at the last pixel")
        << QStringLiteral("491505") << QStringLiteral("0") << 32767 << 0;
    QTest::newRow("left one pixel too far")
        << QStringLiteral("491520") << QStringLiteral("0") << kDesigned << 0;
    QTest::newRow("top at the first pixel")
        << QStringLiteral("0") << QStringLiteral("-491520") << 0 << -32768;
    QTest::newRow("top one pixel too far")
        << QStringLiteral("0") << QStringLiteral("-491535") << 0 << kDesigned;
  }
  void positionRestore() {
    QFETCH(QString, left);
    QFETCH(QString, top);
    QFETCH(int, x);
    QFETCH(int, y);
    StoreAll(left, top, QStringLiteral("120"), QStringLiteral("120"));
    const ui::CalculatorWindow designed(ui::CompactLayout(), '.');
    program_->Start();
    QVERIFY(compact() != nullptr);
    QCOMPARE(compact()->x(), x == kDesigned ? designed.x() : x);
    QCOMPARE(compact()->y(), y == kDesigned ? designed.y() : y);
  }

  void corruptFileStartsWithDefaults() {
    QVERIFY(QDir().mkpath(QFileInfo(settings::StorePath(settings::kApplication)).path()));
    QVERIFY(WriteFileBytes(settings::StorePath(settings::kApplication),
                           "[Ini\nLeft=3000\nTop=1500\nBPM=99\nSlider=99\nState=False\n"));
    program_->Start();
    QVERIFY(large() == nullptr);
    QCOMPARE(compact()->pos(), QPoint(121, 402));
    QCOMPARE(Text(compact(), "bpm"), QStringLiteral("120"));
    QCOMPARE(Position(compact(), "Slider1"), 120);
  }

  // ---- Switching layouts ----

  void maxCarriesTheSharedValuesOnly() {
    program_->Start();
    program_->Max_Click();
    QVERIFY(large() != nullptr);
    // The large window's own values, which a switch must leave alone.
    auto* largeRate = large()->control<QComboBox>("SampleRate");
    largeRate->setCurrentIndex(largeRate->findText(QStringLiteral("48000")));
    large()->control<QPushButton>("Option3")->click();
    const QList<QColor> largeColours = DelayColours(large());
    program_->Min_Click();

    ui::CalculatorWindow* c = compact();
    c->move(150, 250);
    SetText(c, "bpm", QStringLiteral("abc"));
    QVERIFY(ui::CalculatorWindow::SetSliderPosition(c->control<QSlider>("Slider1"), 77));
    SetText(c, "txtLength", QStringLiteral("123456"));
    SetText(c, "bpmSPB", QStringLiteral("98.7"));
    SetText(c, "txtNote", QStringLiteral("G#"));
    SetText(c, "txtOctave", QStringLiteral("7"));
    SetText(c, "MidiNoteNumber", QStringLiteral("104"));
    SetText(c, "Samples", QStringLiteral("29400"));
    QVERIFY(ui::CalculatorWindow::SetSliderPosition(c->control<QSlider>("sldOctave"), 7));
    SetText(c, "NoteFreq", QStringLiteral("1.5"));
    c->control<QLabel>("lblNote")->setText(QStringLiteral("8"));
    auto* compactRate = c->control<QComboBox>("SampleRate");
    compactRate->setCurrentIndex(compactRate->findText(QStringLiteral("22050")));
    c->control<QPushButton>("Option1")->click();

    program_->Max_Click();
    ui::CalculatorWindow* l = large();
    QVERIFY(!c->isVisible());
    QVERIFY(l->isVisible());
    QCOMPARE(l->pos(), QPoint(150, 250));
    QCOMPARE(Position(l, "Slider1"), 77);
    QCOMPARE(Text(l, "bpm"), QStringLiteral("abc"));
    QCOMPARE(Text(l, "txtLength"), QStringLiteral("123456"));
    QCOMPARE(Text(l, "bpmSPB"), QStringLiteral("98.7"));
    QCOMPARE(Text(l, "txtNote"), QStringLiteral("G#"));
    QCOMPARE(Text(l, "txtOctave"), QStringLiteral("7"));
    QCOMPARE(Text(l, "MidiNoteNumber"), QStringLiteral("104"));
    QCOMPARE(Text(l, "Samples"), QStringLiteral("29400"));
    QCOMPARE(Position(l, "sldOctave"), 7);
    QCOMPARE(Text(l, "NoteFreq"), QStringLiteral("1.5"));
    QCOMPARE(l->control<QLabel>("lblNote")->text(), QStringLiteral("8"));
    QCOMPARE(largeRate->currentText(), QStringLiteral("48000"));
    QVERIFY(l->control<QPushButton>("Option3")->isChecked());
    QVERIFY(!l->control<QPushButton>("Option1")->isChecked());
    QCOMPARE(DelayColours(l), largeColours);
  }

  void firstMaxOverwritesWhatTheLargeWindowRestored() {
    StoreAll(QStringLiteral("3000"), QStringLiteral("1500"), QStringLiteral("90"),
             QStringLiteral("90"));
    program_->Start();
    compact()->move(50, 60);
    SetText(compact(), "bpm", QStringLiteral("100"));
    program_->Max_Click();
    QCOMPARE(large()->pos(), QPoint(50, 60));
    QCOMPARE(Text(large(), "bpm"), QStringLiteral("100"));
    QCOMPARE(Position(large(), "Slider1"), 100);
    QCOMPARE(Text(large(), "Text1(0)"), QStringLiteral("2400"));
  }

  void backAndForthKeepsEveryCarriedValue() {
    program_->Start();
    ui::CalculatorWindow* c = compact();
    c->move(40, 60);
    SetText(c, "bpm", QStringLiteral("90"));
    SetText(c, "txtLength", QStringLiteral("88200"));
    SetText(c, "bpmSPB", QStringLiteral("120"));
    SetText(c, "txtNote", QStringLiteral("A"));
    SetText(c, "txtOctave", QStringLiteral("4"));
    SetText(c, "MidiNoteNumber", QStringLiteral("69"));
    SetText(c, "Samples", QStringLiteral("12345"));
    QVERIFY(ui::CalculatorWindow::SetSliderPosition(c->control<QSlider>("sldOctave"), 4));
    for (int round = 0; round < 2; ++round) {
      program_->Max_Click();
      checkCarried(large());
      program_->Min_Click();
      checkCarried(compact());
      QVERIFY(!large()->isVisible());
      QVERIFY(compact()->isVisible());
    }
  }

  // The note shown after a switch is one note: name, octave, frequency and
  // MIDI number agree, and the octave slider goes on from that note.
  void noteAgreesAfterSwitch_data() {
    QTest::addColumn<bool>("fromLarge");
    QTest::addColumn<int>("octave");  // set before the key is pressed
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("shown");  // txtNote, txtOctave, NoteFreq, MidiNoteNumber
    QTest::addColumn<int>("newOctave");      // then moved in the window switched to
    QTest::addColumn<QStringList>("moved");
    QTest::newRow("C#4 to the large window")
        << false << 4 << "cmdNote1" << QStringList{"C#", "4", "277.182", "49"} << 5
        << QStringList{"C#", "5", "554.365", "61"};
    QTest::newRow("F#2 to the compact window")
        << true << 2 << "cmdNote6" << QStringList{"F#", "2", "92.4986", "30"} << 3
        << QStringList{"F#", "3", "184.997", "42"};
    QTest::newRow("A0 to the large window: the start note, another octave")
        << false << 0 << "" << QStringList{"A", "0", "27.5000", "9"} << 10
        << QStringList{"A", "10", "28160.0", "129"};
  }
  void noteAgreesAfterSwitch() {
    QFETCH(bool, fromLarge);
    QFETCH(int, octave);
    QFETCH(QString, key);
    QFETCH(QStringList, shown);
    QFETCH(int, newOctave);
    QFETCH(QStringList, moved);
    program_->Start();
    if (fromLarge) program_->Max_Click();
    ui::CalculatorWindow* before = program_->window(fromLarge ? Which::Large : Which::Compact);
    MoveOctaveSlider(before, octave);
    if (!key.isEmpty()) before->control<QPushButton>(key)->click();
    if (fromLarge) {
      program_->Min_Click();
    } else {
      program_->Max_Click();
    }
    ui::CalculatorWindow* after = program_->window(fromLarge ? Which::Compact : Which::Large);
    QVERIFY(after->isVisible());
    QCOMPARE(NoteTexts(after), shown);
    MoveOctaveSlider(after, newOctave);
    QCOMPARE(NoteTexts(after), moved);
  }

  void onlyMinWritesTheLayout() {
    QVERIFY(Store(QStringLiteral("State"), QStringLiteral("1")));
    program_->Start();
    program_->Max_Click();
    QCOMPARE(Stored(QStringLiteral("State")), QStringLiteral("1"));
    program_->Min_Click();
    QCOMPARE(Stored(QStringLiteral("State")), QStringLiteral("True"));
    program_->Max_Click();
    QCOMPARE(Stored(QStringLiteral("State")), QStringLiteral("True"));
    for (const char* key : {"Left", "Top", "BPM", "Slider"}) {
      QCOMPARE(Stored(QLatin1String(key)), kAbsent);
    }
  }

  // ---- End of the run ----

  void endOfRun_data() {
    QTest::addColumn<QString>("windows");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("bpm");
    QTest::addColumn<QString>("slider");
    QTest::newRow("exit, compact only")
        << QStringLiteral("compact only") << QStringLiteral("exit") << QStringLiteral("True")
        << QStringLiteral("1500") << QStringLiteral("3000") << QStringLiteral("100")
        << QStringLiteral("100");
    QTest::newRow("close box, compact only")
        << QStringLiteral("compact only") << QStringLiteral("close box") << QStringLiteral("True")
        << QStringLiteral("1500") << QStringLiteral("3000") << QStringLiteral("100")
        << QStringLiteral("100");
    QTest::newRow("close box of compact, large hidden")
        << QStringLiteral("compact shown") << QStringLiteral("close box") << QStringLiteral("True")
        << QStringLiteral("1500") << QStringLiteral("3000") << QStringLiteral("100")
        << QStringLiteral("100");
    QTest::newRow("exit of compact, large hidden")
        << QStringLiteral("compact shown") << QStringLiteral("exit") << QStringLiteral("True")
        << QStringLiteral("1500") << QStringLiteral("3000") << QStringLiteral("100")
        << QStringLiteral("100");
    QTest::newRow("close box of large, compact hidden")
        << QStringLiteral("large shown") << QStringLiteral("close box") << QStringLiteral("False")
        << QStringLiteral("4500") << QStringLiteral("6000") << QStringLiteral("150")
        << QStringLiteral("150");
    QTest::newRow("exit of large, compact hidden")
        << QStringLiteral("large shown") << QStringLiteral("exit") << QStringLiteral("False")
        << QStringLiteral("4500") << QStringLiteral("6000") << QStringLiteral("150")
        << QStringLiteral("150");
  }
  void endOfRun() {
    QFETCH(QString, windows);
    QFETCH(QString, ending);
    ui::CalculatorWindow* shown = prepareTwoTempos(windows);
    QVERIFY(shown != nullptr);
    QSignalSpy finished(program_.get(), &ui::Program::finished);
    bool anythingLoadedAtEnd = true;
    connect(program_.get(), &ui::Program::finished, this,
            [&] { anythingLoadedAtEnd = compact() || large() || program_->about(); });

    if (ending == QLatin1String("exit")) {
      QTest::mouseClick(shown->control<QPushButton>("Command2"), Qt::LeftButton);
    } else {
      shown->close();
    }

    QCOMPARE(finished.count(), 1);
    QVERIFY(!anythingLoadedAtEnd);
    QVERIFY(!program_->running());
    FlushDeletes();
    QTEST(Stored(QStringLiteral("State")), "state");
    QTEST(Stored(QStringLiteral("Left")), "left");
    QTEST(Stored(QStringLiteral("Top")), "top");
    QTEST(Stored(QStringLiteral("BPM")), "bpm");
    QTEST(Stored(QStringLiteral("Slider")), "slider");
  }

  void closingMinimizedKeepsStoredPlace_data() {
    QTest::addColumn<bool>("large");
    QTest::addColumn<QString>("state");
    QTest::newRow("compact minimized") << false << QStringLiteral("True");
    QTest::newRow("large minimized") << true << QStringLiteral("False");
  }
  void closingMinimizedKeepsStoredPlace() {
    QFETCH(bool, large);
    StoreAll(QStringLiteral("3000"), QStringLiteral("1500"), QStringLiteral("90"),
             QStringLiteral("90"));
    program_->Start();
    if (large) program_->Max_Click();
    ui::CalculatorWindow* shown = program_->window(large ? Which::Large : Which::Compact);
    shown->move(300, 400);
    SetText(shown, "bpm", QStringLiteral("100"));
    shown->showMinimized();
    if (!shown->isMinimized()) shown->setWindowState(Qt::WindowMinimized);
    QVERIFY(shown->isMinimized());
    shown->close();
    QVERIFY(!program_->running());
    QTEST(Stored(QStringLiteral("State")), "state");
    QCOMPARE(Stored(QStringLiteral("Left")), QStringLiteral("3000"));
    QCOMPARE(Stored(QStringLiteral("Top")), QStringLiteral("1500"));
    QCOMPARE(Stored(QStringLiteral("BPM")), QStringLiteral("100"));
    QCOMPARE(Stored(QStringLiteral("Slider")), QStringLiteral("100"));
  }

  void failedWritesStillEndTheRun() {
    QVERIFY(QDir().mkpath(settings::StorePath(settings::kApplication)));  // a directory
    program_->Start();
    program_->Max_Click();
    QSignalSpy finished(program_.get(), &ui::Program::finished);
    QTest::mouseClick(large()->control<QPushButton>("Command2"), Qt::LeftButton);
    QCOMPARE(finished.count(), 1);
    QVERIFY(compact() == nullptr);
    QVERIFY(large() == nullptr);
    FlushDeletes();
  }

 private:
  ui::CalculatorWindow* compact() const { return program_->window(Which::Compact); }
  ui::CalculatorWindow* large() const { return program_->window(Which::Large); }

  // Leaves the compact window at (100, 200) with tempo 100 and, where it is
  // loaded, the large one at (300, 400) with tempo 150; returns the shown one.
  ui::CalculatorWindow* prepareTwoTempos(const QString& windows) {
    program_->Start();
    if (windows == QLatin1String("compact shown")) {
      program_->Max_Click();
      large()->move(300, 400);
      SetText(large(), "bpm", QStringLiteral("150"));
      program_->Min_Click();
    }
    compact()->move(100, 200);
    SetText(compact(), "bpm", QStringLiteral("100"));
    if (windows != QLatin1String("large shown")) return compact();
    program_->Max_Click();
    large()->move(300, 400);
    SetText(large(), "bpm", QStringLiteral("150"));
    return large();
  }

  static QStringList NoteTexts(const ui::CalculatorWindow* window) {
    return {Text(window, "txtNote"), Text(window, "txtOctave"), Text(window, "NoteFreq"),
            Text(window, "MidiNoteNumber")};
  }
  // As the user drags it: the slider reports a scroll.
  static void MoveOctaveSlider(ui::CalculatorWindow* window, int octave) {
    auto* slider = window->control<QSlider>("sldOctave");
    slider->setSliderDown(true);
    slider->setSliderPosition(octave);
    slider->setSliderDown(false);
  }

  void checkCarried(const ui::CalculatorWindow* window) {
    QCOMPARE(window->pos(), QPoint(40, 60));
    QCOMPARE(Text(window, "bpm"), QStringLiteral("90"));
    QCOMPARE(Position(window, "Slider1"), 90);
    QCOMPARE(Text(window, "Text1(0)"), QStringLiteral("2666.6"));
    QCOMPARE(Text(window, "Samples"), QStringLiteral("12345"));
    QCOMPARE(Text(window, "txtLength"), QStringLiteral("88200"));
    QCOMPARE(Text(window, "bpmSPB"), QStringLiteral("120"));
    QCOMPARE(Text(window, "txtNote"), QStringLiteral("A"));
    QCOMPARE(Text(window, "txtOctave"), QStringLiteral("4"));
    QCOMPARE(Text(window, "MidiNoteNumber"), QStringLiteral("69"));
    QCOMPARE(Position(window, "sldOctave"), 4);
  }

  FakeShell shell_;
  std::unique_ptr<ui::Program> program_;
};

QTEST_MAIN(LifecycleTest)
#include "lifecycle_test.moc"
