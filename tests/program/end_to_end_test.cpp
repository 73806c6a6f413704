// The built programs as a user starts them: without a display, or with one
// that cannot be reached, both end at once with the same one line; the
// calculator, asked to end, saves only its own lines and ends quickly
// whatever stands at the settings path; the recovery utility, clicked under
// a real X server, erases only its section and stays out of the taskbar.
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <memory>
#include <optional>

#include "program_test_support.h"

using namespace programtest;

namespace {

mode_t FileType(const QString& path) {
  struct stat info = {};
  return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

// Runs a tool to its end; its standard output, or nothing when it failed.
std::optional<QByteArray> RunTool(const QString& program, const QStringList& arguments,
                                  const QProcessEnvironment& environment) {
  QProcess tool;
  tool.setProcessEnvironment(environment);
  tool.start(program, arguments);
  if (!tool.waitForFinished(15000) || tool.exitStatus() != QProcess::NormalExit ||
      tool.exitCode() != 0) {
    return std::nullopt;
  }
  return tool.readAllStandardOutput();
}

const QByteArray kForeign(
    "\xEF\xBB\xBF; my notes\r\n[My Section]\r\npath=C:\\Users\\x\r\nno equals sign\r\n\r\n");

}  // namespace

class EndToEndTest : public programtest::Fixture {
  Q_OBJECT

 protected:
  void SetUp() override {
    environment_ = QProcessEnvironment::systemEnvironment();
    environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), home().path());
    environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  }
  void TearDown() override {
    for (QProcess* process : {&program_, &server_}) {
      if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(10000);
      }
    }
    if (mounted_) ::umount2(QFile::encodeName(home().path()).constData(), MNT_DETACH);
    mounted_ = false;
  }

 private slots:

  void withoutDisplay_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("display");
    for (const char* program : {TPV120_PATH, RESET_TPV120_PATH}) {
      const QString name = QFileInfo(QString::fromUtf8(program)).fileName();
      QTest::addRow("%s, no display named", qPrintable(name)) << program << "";
      QTest::addRow("%s, display :9999 unreachable", qPrintable(name)) << program << ":9999";
    }
  }
  void withoutDisplay() {
    QFETCH(QString, program);
    QFETCH(QString, display);
    if (!display.isEmpty() && QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X9999")))
      QSKIP("a display :9999 exists on this machine");
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
      environment_.remove(QString::fromLatin1(name));
    if (!display.isEmpty()) environment_.insert(QStringLiteral("DISPLAY"), display);
    program_.setProcessEnvironment(environment_);
    program_.start(program, {});
    QVERIFY(program_.waitForFinished(30000));
    const QString name = QFileInfo(program).fileName();
    QCOMPARE(program_.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program_.exitCode(), 1);
    QCOMPARE(QString::fromLocal8Bit(program_.readAllStandardError()),
             QStringLiteral("%1 needs a graphical session and cannot reach one; to run it without "
                            "one: xvfb-run -a %1\n")
                 .arg(name));
  }

  // The calculator is asked to end as a session ends it; it saves as its
  // close box does.
  void calculatorEnds_data() {
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");  // empty: as before
    QTest::addColumn<int>("errorLines");
    QTest::newRow("foreign lines around ours")
        << "" << kForeign + "[Ini]\r\nBPM=99\r\nSlider=99\r\n"
        << kForeign + "[Ini]\r\nBPM=99\r\nSlider=99\r\nState=True\r\nLeft=1815\r\nTop=6030\r\n"
        << 0;
    QTest::newRow("named pipe at the path") << "pipe" << QByteArray() << QByteArray() << 2;
    QTest::newRow("folder in place of the lock")
        << "lock folder" << kForeign + "[Ini]\r\nBPM=99\r\n"
        << QByteArray() << 1;
    QTest::newRow("empty lock left by a crash")
        << "empty lock" << QByteArray("[Ini]\nBPM=99\nSlider=99\n")
        << QByteArray("[Ini]\nBPM=99\nSlider=99\nState=True\nLeft=1815\nTop=6030\n") << 0;
    QTest::newRow("nearly full disk") << "full disk" << kForeign + "[Ini]\r\nBPM=99\r\n"
                                      << QByteArray() << 1;
  }
  void calculatorEnds() {
    QFETCH(QString, obstacle);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(int, errorLines);
    if (obstacle == QLatin1String("full disk")) {
      if (::geteuid() != 0) QSKIP("mounting a small disk needs root");
      QCOMPARE(::mount("tempiva-test", QFile::encodeName(home().path()).constData(), "tmpfs", 0,
                       "size=8k"),
               0);
      mounted_ = true;
    }
    const QString path = settings::StorePath(settings::kApplication);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    if (obstacle == QLatin1String("pipe")) {
      QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
      QVERIFY(WriteFileBytes(path, before));
    }
    if (obstacle == QLatin1String("lock folder"))
      QVERIFY(QDir().mkpath(path + QStringLiteral(".lock")));
    if (obstacle == QLatin1String("empty lock"))
      QVERIFY(WriteFileBytes(path + QStringLiteral(".lock"), ""));
    if (obstacle == QLatin1String("full disk")) {
      QFile filler(home().path() + QStringLiteral("/filler"));
      QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
      while (filler.write(QByteArray(512, 'x')) == 512) {
      }
    }

    program_.setProcessEnvironment(environment_);
    program_.start(QStringLiteral(TPV120_PATH), {});
    QVERIFY(program_.waitForStarted(30000));
    QTRY_VERIFY_WITH_TIMEOUT(CatchesTerminate(program_), 30000);
    QTest::qWait(300);  // past its start-up reads
    QElapsedTimer ending;
    ending.start();
    QCOMPARE(::kill(static_cast<pid_t>(program_.processId()), SIGTERM), 0);
    QVERIFY(program_.waitForFinished(30000));
    QVERIFY2(ending.elapsed() < 5000, qPrintable(QStringLiteral("%1 ms").arg(ending.elapsed())));
    QCOMPARE(program_.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program_.exitCode(), 0);

    const QStringList errors = QString::fromLocal8Bit(program_.readAllStandardError())
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                   .filter(QStringLiteral("tpv120: settings"));
    QVERIFY2(errors.size() == errorLines, qPrintable(errors.join(QLatin1Char('\n'))));
    if (obstacle == QLatin1String("pipe")) {
      QCOMPARE(FileType(path), mode_t{S_IFIFO});
    } else {
      QCOMPARE(FileBytes(path), after.isEmpty() ? before : after);
    }
  }

  // Under a real X server: the window asks to stay out of the taskbar, and
  // a click on its button erases only the calculator's section.
  void recoveryUnderX11() {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    const QString xprop = QStandardPaths::findExecutable(QStringLiteral("xprop"));
    if (xvfb.isEmpty() || xdotool.isEmpty() || xprop.isEmpty())
      QSKIP("needs Xvfb, xdotool and xprop (packages xvfb, xdotool, x11-utils)");
    server_.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                         QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QVERIFY(server_.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(server_.canReadLine(), 15000);
    const QString display = QLatin1Char(':') + QString::fromLatin1(server_.readLine().trimmed());
    environment_.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment_.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment_.insert(QStringLiteral("DISPLAY"), display);

    const QString path = settings::StorePath(settings::kApplication);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    const QByteArray before = kForeign + "[Ini]\r\nBPM=99\r\nState=False\r\n; after\r\n";
    QVERIFY(WriteFileBytes(path, before));

    program_.setProcessEnvironment(environment_);
    program_.start(QStringLiteral(RESET_TPV120_PATH), {});
    QVERIFY(program_.waitForStarted(30000));
    const QStringList search = {QStringLiteral("search"), QStringLiteral("--name"),
                                QStringLiteral("^Tempiva 1.20 Recovery$")};
    QByteArray window;
    for (QDeadlineTimer deadline(30000); window.isEmpty() && !deadline.hasExpired();) {
      window = RunTool(xdotool, search, environment_).value_or(QByteArray()).trimmed();
      if (window.isEmpty()) QTest::qWait(100);
    }
    if (window.isEmpty()) {  // say what the display holds, for the next reader of the log
      const QString xwininfo = QStandardPaths::findExecutable(QStringLiteral("xwininfo"));
      const QByteArray tree =
          RunTool(xwininfo, {QStringLiteral("-root"), QStringLiteral("-tree")}, environment_)
              .value_or("<xwininfo failed>");
      QFAIL(qPrintable(QStringLiteral("no recovery window on %1 (program %2); the display "
                                      "holds:\n%3\nthe program said: %4")
                           .arg(display)
                           .arg(program_.state() == QProcess::Running ? "running" : "ended")
                           .arg(QString::fromLocal8Bit(tree),
                                QString::fromLocal8Bit(program_.readAllStandardError()))));
    }
    const QString id = QString::fromLatin1(window.split('\n').first());
    const QStringList state = {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_STATE")};
    QTRY_VERIFY_WITH_TIMEOUT(RunTool(xprop, state, environment_)
                                 .value_or(QByteArray())
                                 .contains("_NET_WM_STATE_SKIP_TASKBAR"),
                             5000);

    // The middle of the button, in the window's own pixels.
    const QStringList click = {
        QStringLiteral("mousemove"), QStringLiteral("--window"), id,
        QStringLiteral("98"),        QStringLiteral("228"),      QStringLiteral("click"),
        QStringLiteral("1")};
    QVERIFY(RunTool(xdotool, click, environment_).has_value());
    QTRY_COMPARE_WITH_TIMEOUT(FileBytes(path), kForeign + "; after\r\n", 10000);
    QCOMPARE(program_.state(), QProcess::Running);
  }

 private:
  QProcessEnvironment environment_;
  QProcess program_;
  QProcess server_;
  bool mounted_ = false;
};

QTEST_GUILESS_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
