// Two copies of the calculator, each started from different saved settings,
// asked to end at the same moment: the store they leave is one copy's
// settings or the other's, never a mixture of both.
#include <signal.h>
#include <sys/types.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <csignal>
#include <memory>

#include "program_test_support.h"

using namespace programtest;

namespace {

QByteArray Store(const char* tempo) {
  return QByteArray("[Ini]\nLeft=1815\nTop=6030\nBPM=") + tempo + "\nSlider=" + tempo +
         "\nState=True\n";
}

}  // namespace

class TwoProcessTest : public programtest::Fixture {
  Q_OBJECT

 protected:
  void TearDown() override {
    for (QProcess* process : {&a_, &b_}) {
      if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(10000);
      }
    }
  }

 private slots:

  void exitTogether_data() {
    QTest::addColumn<bool>("firstTerminatedFirst");
    for (int round = 1; round <= 5; ++round) {
      QTest::addRow("round %d, first copy terminated first", round) << true;
      QTest::addRow("round %d, second copy terminated first", round) << false;
    }
  }
  void exitTogether() {
    QFETCH(bool, firstTerminatedFirst);
    const QString path = settings::StorePath(settings::kApplication);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QVERIFY(WriteFileBytes(path, Store("111")));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home().path());
    for (QProcess* process : {&a_, &b_}) {
      process->setProcessEnvironment(environment);
      process->setProgram(QStringLiteral(TPV120_PATH));
    }

    a_.start();
    QVERIFY(a_.waitForStarted(30000));
    QTRY_VERIFY_WITH_TIMEOUT(CatchesTerminate(a_), 30000);
    QTest::qWait(500);  // the first copy has read its settings by now
    QVERIFY(WriteFileBytes(path, Store("222")));
    b_.start();
    QVERIFY(b_.waitForStarted(30000));
    QTRY_VERIFY_WITH_TIMEOUT(CatchesTerminate(b_), 30000);
    QTest::qWait(500);

    const auto first = static_cast<pid_t>((firstTerminatedFirst ? a_ : b_).processId());
    const auto second = static_cast<pid_t>((firstTerminatedFirst ? b_ : a_).processId());
    QCOMPARE(::kill(first, SIGTERM), 0);
    QCOMPARE(::kill(second, SIGTERM), 0);
    for (QProcess* process : {&a_, &b_}) {
      QVERIFY(process->waitForFinished(30000));
      QVERIFY2(process->exitStatus() == QProcess::NormalExit,
               process->readAllStandardError().constData());
      QCOMPARE(process->exitCode(), 0);
    }

    const QString bpm = Stored(QStringLiteral("BPM"));
    const QString slider = Stored(QStringLiteral("Slider"));
    QVERIFY2((bpm == QLatin1String("111") && slider == QLatin1String("111")) ||
                 (bpm == QLatin1String("222") && slider == QLatin1String("222")),
             qPrintable(QStringLiteral("BPM %1, Slider %2 in:\n%3")
                            .arg(bpm, slider, QString::fromUtf8(FileBytes(path)))));
    QCOMPARE(Stored(QStringLiteral("State")), QStringLiteral("True"));
  }

 private:
  QProcess a_;
  QProcess b_;
};

QTEST_GUILESS_MAIN(TwoProcessTest)
#include "two_process_test.moc"
