// The Tempo of an Audio File window, headless, on drum patterns written at
// known tempos: opened through the extras as a chosen or dropped file is, Use
// writing into the tempo box, bad input, a missing analysis program and Esc.
#include "audio_tempo_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "program_test_support.h"

namespace {

constexpr int kAnalysisMs = 20000;  // generous: a few tenths of a second here
const QString kKit = QStringLiteral("/usr/share/hydrogen/data/drumkits/GMRockKit");

}  // namespace

class AudioTempoWindowTest : public programtest::Fixture {
  Q_OBJECT
  QTemporaryDir files_;

  QString Write(const QString& name, const QStringList& pattern) {
    const QString path = files_.filePath(name);
    if (QProcess::execute(QStringLiteral(AUDIO_TEMPO_PATTERN), QStringList{path, kKit} + pattern) !=
        0) {
      return {};
    }
    return path;
  }

 private slots:
  void initTestCase() {
    if (!QFileInfo(kKit).isDir()) QSKIP("hydrogen-drumkits is not installed");
    QVERIFY(!Write(QStringLiteral("loop.wav"), {"140", "8"}).isEmpty());
    QVERIFY(!Write(QStringLiteral("excerpt.wav"), {"123", "20", "seconds=12.5"}).isEmpty());
    QVERIFY(!Write(QStringLiteral("noise.wav"), {"120", "4", "kind=noise"}).isEmpty());
    QFile text(files_.filePath(QStringLiteral("text.wav")));
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("120 BPM, honest\n") > 0);
  }

  void useWritesTheTempo_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("facts");
    QTest::addColumn<QString>("tempo");  // the tempo box after Use
    QTest::newRow("8-bar loop: exact") << "loop.wav"
                                       << "8 bars: 140 BPM"
                                       << "0:13.7 · 44100 Hz · 604800 samples"
                                       << "140";
    QTest::newRow("excerpt") << "excerpt.wav"
                             << "123.0 BPM"
                             << "0:12.5 · 44100 Hz · 551250 samples"
                             << "123.0";
    QTest::newRow("white noise") << "noise.wav"
                                 << "No tempo found"
                                 << "0:08.0 · 44100 Hz · 352800 samples"
                                 << "";
    QTest::newRow("missing") << "missing.wav"
                             << "No such file"
                             << "Reading…"
                             << "";
    QTest::newRow("text renamed .wav") << "text.wav"
                                       << "Not an audio file that can be read ("
                                       << "Reading…"
                                       << "";
  }
  void useWritesTheTempo() {
    QFETCH(QString, file);
    QFETCH(QString, result);
    QFETCH(QString, facts);
    QFETCH(QString, tempo);
    ui::CalculatorWindow* window = Restart();
    QVERIFY(window);
    const QString before = window->tempoBox()->text();
    run().extras().ShowAudioTempo(*window, files_.filePath(file));
    extras::AudioTempoWindow* audio = run().extras().audioTempo();
    QVERIFY(audio && audio->isVisible());
    QSignalSpy analysed(audio, &extras::AudioTempoWindow::analysed);
    QVERIFY(!analysed.isEmpty() || analysed.wait(kAnalysisMs));
    QCOMPARE(audio->result()->text().left(result.size()), result);
    QCOMPARE(audio->facts()->text(), facts);
    QVERIFY(!audio->progress()->isVisible());
    QCOMPARE(audio->use()->isEnabled(), !tempo.isEmpty());
    QTest::mouseClick(audio->use(), Qt::LeftButton);
    QCOMPARE(window->tempoBox()->text(), tempo.isEmpty() ? before : tempo);
  }

  void escapeCancelsAtOnce() {
    ui::CalculatorWindow* window = Restart();
    QVERIFY(window);
    run().extras().ShowAudioTempo(*window, files_.filePath(QStringLiteral("excerpt.wav")));
    extras::AudioTempoWindow* audio = run().extras().audioTempo();
    QVERIFY(audio->running());
    QTest::keyClick(audio, Qt::Key_Escape);
    QVERIFY(!audio->running());
    QVERIFY(!audio->isVisible());
    QCOMPARE(audio->result()->text(), QStringLiteral("Cancelled"));
    QVERIFY(!audio->use()->isEnabled());
  }

  void missingAnalysisProgram() {
    extras::AudioTempoWindow audio('.', files_.filePath(QStringLiteral("no-such-program")));
    QSignalSpy analysed(&audio, &extras::AudioTempoWindow::analysed);
    audio.Open(files_.filePath(QStringLiteral("loop.wav")));
    QVERIFY(!analysed.isEmpty() || analysed.wait(kAnalysisMs));
    QVERIFY(audio.result()->text().startsWith(QStringLiteral("Cannot run the tempo analysis")));
    QVERIFY(!audio.use()->isEnabled());
  }
};

QTEST_MAIN(AudioTempoWindowTest)
#include "audio_tempo_window_test.moc"
