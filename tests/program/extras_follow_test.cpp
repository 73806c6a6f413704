// Following a sequencer from the calculator window: nothing of JACK under
// Manual, the Tempo Source entries and their states, the saved source that
// starts after the first paint and waits for a server, the frame and tooltip
// in both layouts, the one rule that returns to Manual, and device taps.
//
// The functions named "jack..." need a private JACK server (dummy backend)
// named in TEMPIVA_TEST_JACK_SERVER; follow_jack_test.sh starts one and runs
// them. Without it they are skipped. "link..." joins an Ableton Link session
// with a test peer; follow_link_test.sh runs it in a private network
// namespace with loopback alone, and elsewhere it is skipped.
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <cmath>

#include "config_paths.h"
#include "extras_test_support.h"
#include "sequencer_follow.h"
#include "sequencer_link.h"
#include "tap_tempo_window.h"

using namespace extrastest;
using TempoSource = sequencer::SourceKind;
using ui::Which;

Q_DECLARE_METATYPE(sequencer::SourceKind)

namespace {

constexpr int kJackWaitMs = 10000;  // the link tries every 3 s; a test waits at most this
const QString kSpecifiedTip = QStringLiteral("Enter BPM or select with slider");

bool JackMapped() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  return !maps.open(QIODevice::ReadOnly) || maps.readAll().contains("libjack");
}

// Whether this process's network has loopback alone: Link may be enabled.
bool LoopbackOnly() {
  QFile dev(QStringLiteral("/proc/self/net/dev"));  // two heading lines, one per interface
  const QList<QByteArray> lines =
      dev.open(QIODevice::ReadOnly) ? dev.readAll().trimmed().split('\n') : QList<QByteArray>{};
  return lines.size() == 3 && lines.at(2).trimmed().startsWith("lo:");
}

QMenu* SourceMenu(ui::CalculatorWindow* window) {
  CloseMenus();
  QMenu* menu = RequestMenu(window, QContextMenuEvent::Mouse);  // brings the entries up to date
  QAction* entry = menu ? Entry(menu, QStringLiteral("Tempo Source")) : nullptr;
  return entry ? entry->menu() : nullptr;
}

QStringList SourceEntries(ui::CalculatorWindow* window) {
  QMenu* menu = SourceMenu(window);
  const QStringList lines = menu ? Describe(menu) : QStringList{"<no Tempo Source menu>"};
  CloseMenus();
  return lines;
}

void ChooseSource(ui::CalculatorWindow* window, const QString& name) {
  QMenu* menu = SourceMenu(window);
  QVERIFY(menu);
  for (QAction* action : menu->actions()) {
    if (Plain(action->text()).startsWith(name)) {
      action->trigger();
      CloseMenus();
      return;
    }
  }
  QFAIL(qPrintable("no entry " + name));
}

QString Tip(const ui::CalculatorWindow* window) { return window->tempoBox()->toolTip(); }
bool Framed(const ui::CalculatorWindow* window) {
  return window->findChild<QWidget*>(QStringLiteral("tempoSourceFrame")) != nullptr;
}

void TypeTempo(ui::CalculatorWindow* window, const QString& text) {
  window->tempoBox()->selectAll();
  QTest::keyClicks(window->tempoBox(), text);
}

// A JACK tool on the test's server; killed when it goes, pass or fail.
class Tool {
 public:
  explicit Tool(const QString& program, const QStringList& arguments = {}) {
    process_.start(program, arguments);
  }
  ~Tool() {
    process_.kill();
    process_.waitForFinished(2000);
  }
  bool Started() { return process_.waitForStarted(5000); }
  void Say(const QByteArray& commands) { process_.write(commands); }

 private:
  QProcess process_;
};

bool RunTool(const QString& program, const QStringList& arguments) {
  QProcess tool;
  tool.start(program, arguments);
  const bool finished = tool.waitForFinished(10000);
  if (!finished) tool.kill();
  const bool ok = finished && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
  if (!ok) {
    qWarning("%s %s: %s", qPrintable(program), qPrintable(arguments.join(' ')),
             finished ? tool.readAllStandardError().constData() : "no end within 10 s");
  }
  return ok;
}

// Connects two ports as a patchbay does, once the port `from` is there.
bool Connect(const QString& from, const QString& to) {
  QDeadlineTimer deadline(kJackWaitMs);
  while (!RunTool(QStringLiteral("jack_connect"), {from, to})) {
    if (deadline.hasExpired()) return false;
    QTest::qWait(200);
  }
  return true;
}

}  // namespace

class ExtrasFollowTest : public programtest::Fixture {
  Q_OBJECT

 protected:
  void SetUp() override {
    // Every JACK client of these tests talks to the server named here, or to
    // none: never the user's, and none is ever started.
    const QByteArray server = qgetenv("TEMPIVA_TEST_JACK_SERVER");
    server_ = std::make_unique<programtest::ScopedEnvironment>(
        "JACK_DEFAULT_SERVER",
        server.isEmpty()
            ? QByteArray("tempiva-none-") + QByteArray::number(QCoreApplication::applicationPid())
            : server);
    noStart_ = std::make_unique<programtest::ScopedEnvironment>("JACK_NO_START_SERVER", "1");
  }
  void TearDown() override {
    noStart_.reset();
    server_.reset();
  }

 private slots:
  void initTestCase() { programtest::InitCalculator(); }

  // First: once a test below has chosen a source, libjack stays mapped.
  void manualMapsNoJackAndMakesNoLink_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("nothing stored") << QByteArray();
    QTest::newRow("manual stored") << QByteArray("[Preferences]\nTempoSource=manual\n");
    QTest::newRow("unknown source") << QByteArray("[Preferences]\nTempoSource=alsa-seq\n");
  }
  void manualMapsNoJackAndMakesNoLink() {
    QFETCH(QByteArray, file);
    if (!file.isEmpty()) {
      QVERIFY(QDir().mkpath(home().path() + "/tempiva"));
      QVERIFY(programtest::WriteFileBytes(settings::PreferencesPath(), file));
    }
    ui::CalculatorWindow* window = Restart();
    QVERIFY(window);
    QTest::qWait(200);
    QCOMPARE(SourceEntries(window),
             (QStringList{"(on) Manual", "JACK Transport", "MIDI Clock", "Ableton Link"}));
    ChooseSource(window, QStringLiteral("Manual"));  // the default chosen again: still nothing
    QVERIFY(!run().extras().follow());
    QVERIFY(!JackMapped());
    QCOMPARE(Tip(window), kSpecifiedTip);
    QVERIFY(!Framed(window));
  }

  void storedTexts_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<TempoSource>("source");
    QTest::newRow("manual") << QByteArray("manual") << TempoSource::Manual;
    QTest::newRow("jack-transport") << QByteArray("jack-transport") << TempoSource::JackTransport;
    QTest::newRow("midi-clock, blanks around")
        << QByteArray(" midi-clock ") << TempoSource::MidiClock;
    QTest::newRow("ableton-link") << QByteArray("ableton-link") << TempoSource::AbletonLink;
    QTest::newRow("letter case counts") << QByteArray("MIDI-Clock") << TempoSource::Manual;
    QTest::newRow("empty") << QByteArray("") << TempoSource::Manual;
    QTest::newRow("a display name") << QByteArray("JACK Transport") << TempoSource::Manual;
  }
  void storedTexts() {
    QFETCH(QByteArray, text);
    QFETCH(TempoSource, source);
    const QString path = home().path() + QStringLiteral("/preferences.ini");
    QVERIFY(programtest::WriteFileBytes(path, "[Preferences]\nTempoSource=" + text + "\n"));
    extras::PreferencesFile file(path);
    QCOMPARE(file.Read().tempoSource, source);
    extras::Preferences written;
    written.tempoSource = source;
    QVERIFY(file.Write(written));
    QCOMPARE(file.Read(), written);
  }

  // No server: said in the entries, greyed out; the frame and the tooltip in
  // both layouts; a typed tempo returns to Manual and everything is as it was.
  void noServerIsSaidAndTypingReturnsToManual_data() {
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("stored");
    QTest::newRow("JACK Transport") << "JACK Transport"
                                    << "jack-transport";
    QTest::newRow("MIDI Clock") << "MIDI Clock"
                                << "midi-clock";
  }
  void noServerIsSaidAndTypingReturnsToManual() {
    if (qEnvironmentVariableIsSet("TEMPIVA_TEST_JACK_SERVER")) QSKIP("a server runs");
    QFETCH(QString, choice);
    QFETCH(QString, stored);
    ui::CalculatorWindow* compact = Restart();
    QVERIFY(compact);
    const QString other =
        choice == QLatin1String("MIDI Clock") ? QStringLiteral("JACK Transport") : "MIDI Clock";
    programtest::ErrorOutput error;
    ChooseSource(compact, choice);
    const QStringList waiting =
        choice == QLatin1String("MIDI Clock")
            ? QStringList{"Manual", "(off) " + other + " (no JACK server)",
                          "(off) (on) " + choice + " (no JACK server)", "Ableton Link"}
            : QStringList{"Manual", "(off) (on) " + choice + " (no JACK server)",
                          "(off) " + other + " (no JACK server)", "Ableton Link"};
    QTRY_COMPARE_WITH_TIMEOUT(SourceEntries(compact), waiting, kJackWaitMs);
    QVERIFY(error.Lines().join('\n').contains(choice + " (no JACK server)"));
    QVERIFY(programtest::FileBytes(settings::PreferencesPath())
                .contains("\nTempoSource=" + stored.toUtf8() + '\n'));
    QVERIFY(Framed(compact));
    QCOMPARE(Tip(compact), kSpecifiedTip + "\nTempo source: " + choice +
                               " (no JACK server)\nA tempo you set yourself returns to Manual.");

    run().program().Max_Click();  // the large window shows it too
    ui::CalculatorWindow* large = run().window(Which::Large);
    QVERIFY(Framed(large));
    QVERIFY(Tip(large).contains("Tempo source: " + choice));
    run().program().Min_Click();  // a layout switch is no manual change
    QVERIFY(Framed(compact));

    TypeTempo(compact, QStringLiteral("140"));
    QCOMPARE(SourceEntries(compact),
             (QStringList{"(on) Manual", "JACK Transport", "MIDI Clock", "Ableton Link"}));
    for (const ui::CalculatorWindow* window : {compact, large}) {
      QCOMPARE(Tip(window), kSpecifiedTip);
      QVERIFY(!Framed(window));
    }
    QCOMPARE(compact->tempoBox()->text(), QStringLiteral("140"));
    QCOMPARE(run().extras().preferences().tempoSource, TempoSource::Manual);
    QCOMPARE(extras::PreferencesFile(settings::PreferencesPath()).Read().tempoSource,
             TempoSource::Manual);
  }

  // A saved source starts once the window is shown, not before, and waits
  // for a server, trying again; the file keeps it.
  void savedSourceStartsAfterTheWindowAndWaits() {
    if (qEnvironmentVariableIsSet("TEMPIVA_TEST_JACK_SERVER")) QSKIP("a server runs");
    const QByteArray file("[Preferences]\nTempoSource=midi-clock\n");
    QVERIFY(QDir().mkpath(home().path() + "/tempiva"));
    QVERIFY(programtest::WriteFileBytes(settings::PreferencesPath(), file));
    FakeShell shell;
    ui::Program program('.', shell);
    extras::Extras extras(program, extras::PreferencesFile(settings::PreferencesPath()));
    program.Start();
    QVERIFY(extras.follow());
    QVERIFY(!extras.follow()->link());  // nothing before the first paint
    ui::CalculatorWindow* window = program.window(Which::Compact);
    QVERIFY(!Framed(window));
    QTRY_VERIFY_WITH_TIMEOUT(extras.follow()->link(), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(extras.follow()->StateText(),
                              QStringLiteral("MIDI Clock (no JACK server)"), kJackWaitMs);
    QVERIFY(Framed(window));
    QCOMPARE(programtest::FileBytes(settings::PreferencesPath()), file);  // still the choice
  }

  void deviceTapsAreASeriesOfTheirOwn_data() {
    QTest::addColumn<QStringList>("taps");  // "key MS" or "device MS"
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("tempo");  // rounded to 1 decimal, "" for none
    QTest::newRow("device taps alone")
        << QStringList{"device 5000.0", "device 5500.0", "device 6000.0"} << 3 << "120.0";
    QTest::newRow("a device tap after keys starts over")
        << QStringList{"key 1000", "key 1500", "device 1750.25"} << 1 << "";
    QTest::newRow("keys after device taps start over")
        << QStringList{"device 900000.5", "device 900400.5", "key 1000", "key 1600"} << 2
        << "100.0";
  }
  void deviceTapsAreASeriesOfTheirOwn() {
    QFETCH(QStringList, taps);
    QFETCH(int, count);
    QFETCH(QString, tempo);
    extras::TapTempoWindow window('.');
    for (const QString& tap : taps) {
      const double ms = tap.section(' ', 1).toDouble();
      if (tap.startsWith(QLatin1String("device"))) {
        window.DeviceTap(ms);
      } else {
        window.Tap(static_cast<quint64>(ms));
      }
    }
    QCOMPARE(static_cast<int>(window.state().taps), count);
    QCOMPARE(window.state().tempo ? QString::number(*window.state().tempo, 'f', 1) : QString(),
             tempo);
  }

  // ---- In a Link session on loopback alone (follow_link_test.sh) ----

  void linkSessionIsSharedBothWays() {
    if (!LoopbackOnly()) QSKIP("not in a private network namespace with loopback alone");
    QProcess peer;  // a Link app, in the session before us: its timeline wins
    peer.start(QStringLiteral(TEMPIVA_LINK_PEER), {QStringLiteral("peer"), QStringLiteral("128")});
    QVERIFY(peer.waitForStarted(5000));
    QString said;
    const auto peerSaid = [&](const QString& line) {
      said += QString::fromUtf8(peer.readAllStandardOutput());
      return said.contains(line + u'\n');
    };
    QTest::qWait(1000);
    QVERIFY(QDir().mkpath(home().path() + "/tempiva"));
    QVERIFY(programtest::WriteFileBytes(settings::PreferencesPath(),
                                        "[Preferences]\nTempoSource=ableton-link\n"));
    ui::CalculatorWindow* window = Restart();
    QVERIFY(window);
    window->SetTempo(QStringLiteral("133"), ui::TempoOrigin::Program);
    QVERIFY(!run().extras().follow()->link());  // after the first paint
    QTRY_COMPARE_WITH_TIMEOUT(window->tempoBox()->text(), QStringLiteral("128"), kJackWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(peerSaid(" tempo 128.000 peers 1"), kJackWaitMs);
    QVERIFY2(!said.contains("tempo 133"), qPrintable(said));  // joining kept the session's tempo
    QCOMPARE(SourceEntries(window).at(3), QStringLiteral("(on) Ableton Link: 128 BPM, 1 peer"));
    QVERIFY(Tip(window).endsWith("A tempo you set yourself goes to the whole session."));

    TypeTempo(window, QStringLiteral("140"));  // both ways: following goes on
    QTRY_VERIFY_WITH_TIMEOUT(peerSaid(" tempo 140.000 peers 1"), kJackWaitMs);
    peer.write("tempo 97.3\n");
    QTRY_COMPARE_WITH_TIMEOUT(window->tempoBox()->text(), QStringLiteral("97.3"), kJackWaitMs);
    TypeTempo(window, QStringLiteral("1200"));  // kept as typed, never offered
    QTRY_COMPARE_WITH_TIMEOUT(run().extras().follow()->StateText(),
                              QStringLiteral("Ableton Link: 1200 BPM is outside 20–999"), 2000);
    QCOMPARE(window->tempoBox()->text(), QStringLiteral("1200"));
    QCOMPARE(run().extras().preferences().tempoSource, TempoSource::AbletonLink);

    ChooseSource(window, QStringLiteral("Manual"));  // leaves the session
    QTRY_VERIFY_WITH_TIMEOUT(peerSaid(" tempo 97.300 peers 0"), kJackWaitMs);
    peer.write("quit\n");
    QVERIFY(peer.waitForFinished(5000));
  }

  // ---- On a private JACK server (follow_jack_test.sh) ----

  void jackTransportIsFollowed() {
    if (!qEnvironmentVariableIsSet("TEMPIVA_TEST_JACK_SERVER")) QSKIP("no test JACK server");
    ui::CalculatorWindow* window = Restart();
    QVERIFY(window);
    Tool transport(QStringLiteral("jack_transport"));
    QVERIFY(transport.Started());
    transport.Say("master\ntempo 128\nplay\n");
    ChooseSource(window, QStringLiteral("JACK Transport"));
    QTRY_COMPARE_WITH_TIMEOUT(window->tempoBox()->text(), QStringLiteral("128"), kJackWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(window->sampleRateBox()->currentText(), QStringLiteral("48000"),
                              kJackWaitMs);
    QCOMPARE(SourceEntries(window),
             (QStringList{"Manual", "(on) JACK Transport: 128 BPM", "MIDI Clock", "Ableton Link"}));
    QVERIFY(Tip(window).contains("Tempo source: JACK Transport: 128 BPM"));
    // Every result follows, as for a typed tempo: samples = rate × 120 / tempo.
    QCOMPARE(window->samplesBox()->text(), QStringLiteral("45000"));
    transport.Say("tempo 97.3\n");
    QTRY_COMPARE_WITH_TIMEOUT(window->tempoBox()->text(), QStringLiteral("97.3"), kJackWaitMs);

    run().program().Max_Click();  // the large window goes on following
    ui::CalculatorWindow* large = run().window(Which::Large);
    QCOMPARE(large->sampleRateBox()->currentText(), QStringLiteral("48000"));
    transport.Say("tempo 133.5\n");
    QTRY_COMPARE_WITH_TIMEOUT(large->tempoBox()->text(), QStringLiteral("133.5"), kJackWaitMs);
    QVERIFY(Framed(large));

    TypeTempo(large, QStringLiteral("90"));  // the one rule: back to Manual
    QCOMPARE(run().extras().preferences().tempoSource, TempoSource::Manual);
    transport.Say("tempo 140\n");
    QTest::qWait(500);  // five polls of a link that would still follow
    QCOMPARE(large->tempoBox()->text(), QStringLiteral("90"));
    QCOMPARE(Tip(large), kSpecifiedTip);
    QVERIFY(!Framed(large));
  }

  void jackMidiClockIsFollowed() {
    if (!qEnvironmentVariableIsSet("TEMPIVA_TEST_JACK_SERVER")) QSKIP("no test JACK server");
    QVERIFY(QDir().mkpath(home().path() + "/tempiva"));
    QVERIFY(programtest::WriteFileBytes(settings::PreferencesPath(),
                                        "[Preferences]\nTempoSource=midi-clock\n"));
    Tool transport(QStringLiteral("jack_transport"));
    QVERIFY(transport.Started());
    transport.Say("master\ntempo 128\nplay\n");
    Tool clock(QStringLiteral("jack_midi_clock"));
    QVERIFY(clock.Started());
    ui::CalculatorWindow* window = Restart();  // the saved source starts by itself
    QVERIFY(window);
    QTRY_COMPARE_WITH_TIMEOUT(run().extras().follow()->StateText(),
                              QStringLiteral("MIDI Clock: waiting for clock"), kJackWaitMs);
    QVERIFY(Connect(QStringLiteral("jack_midi_clock:mclk_out"), QStringLiteral("tempiva:midi_in")));
    QTRY_VERIFY_WITH_TIMEOUT(run().extras().follow()->StateText().startsWith("MIDI Clock: 12"),
                             kJackWaitMs);
    // The estimate settles within two seconds; a loaded machine can make the
    // test's clock skip process cycles, so the reading is awaited, not sampled.
    const auto near128 = [window] {
      return std::abs(window->tempoBox()->text().toDouble() - 128.0) <= 0.1;
    };
    QTRY_VERIFY2_WITH_TIMEOUT(near128(), qPrintable(window->tempoBox()->text()), kJackWaitMs);
    QCOMPARE(window->tempoBox()->text().section('.', 1).size(), 1);  // one decimal
    QCOMPARE(window->sampleRateBox()->currentText(), QStringLiteral("48000"));
  }

  // A pad taps while the Tap Tempo window is open: its first taps return the
  // source to Manual, and the client stays for the next ones until the window
  // closes.
  void jackDeviceTapsKeepTapping() {
    if (!qEnvironmentVariableIsSet("TEMPIVA_TEST_JACK_SERVER")) QSKIP("no test JACK server");
    ui::CalculatorWindow* window = Restart();
    QVERIFY(window);
    ChooseSource(window, QStringLiteral("MIDI Clock"));
    QTRY_COMPARE_WITH_TIMEOUT(run().extras().follow()->StateText(),
                              QStringLiteral("MIDI Clock: waiting for clock"), kJackWaitMs);
    run().extras().ShowTapTempo(*window);
    extras::TapTempoWindow* taps = run().extras().tapTempo();
    // A note every 24000 frames at 48 kHz: 120 BPM.
    Tool pad(QStringLiteral("jack_midiseq"),
             {QStringLiteral("tempiva-pad"), QStringLiteral("24000"), QStringLiteral("0"),
              QStringLiteral("60"), QStringLiteral("2000")});
    QVERIFY(pad.Started());
    QVERIFY(Connect(QStringLiteral("tempiva-pad:out"), QStringLiteral("tempiva:midi_in")));
    QTRY_VERIFY_WITH_TIMEOUT(taps->state().taps >= 6, kJackWaitMs);
    QCOMPARE(run().extras().preferences().tempoSource, TempoSource::Manual);
    // Timed by frames, the taps are exact; a loaded machine makes the test's
    // pad skip a process cycle now and then, which moves one note by 256 frames.
    QVERIFY2(std::abs(taps->state().tempo.value_or(0.0) - 120.0) < 1.0,
             qPrintable(QString::number(taps->state().tempo.value_or(0.0))));
    QVERIFY(std::abs(window->tempoBox()->text().toDouble() - 120.0) < 1.0);
    QVERIFY(!Framed(window));
    taps->close();
    QTRY_COMPARE(run().extras().follow()->link()->clientOpen(), false);
  }

 private:
  std::unique_ptr<programtest::ScopedEnvironment> server_;
  std::unique_ptr<programtest::ScopedEnvironment> noStart_;
};

QTEST_MAIN(ExtrasFollowTest)
#include "extras_follow_test.moc"
