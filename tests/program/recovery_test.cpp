// The recovery utility erases the calculator's saved settings and nothing
// else, as often as it is clicked; the calculator then starts with its defaults.
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "program.h"
#include "program_test_support.h"
#include "reset_window.h"

using namespace programtest;

class RecoveryTest : public programtest::Fixture {
  Q_OBJECT

 private slots:

  void recoverErasesOnlyTheCalculatorsSection() {
    for (const char* key : {"Left", "Top", "BPM", "Slider", "State"}) {
      QVERIFY(Store(QLatin1String(key), QStringLiteral("1")));
    }
    QVERIFY(programtest::WriteSetting(settings::kApplication, QStringLiteral("Other"),
                                      QStringLiteral("Key"), QStringLiteral("kept")));
    QVERIFY(programtest::WriteSetting(QStringLiteral("OTHERAPP"), QStringLiteral("Ini"),
                                      QStringLiteral("BPM"), QStringLiteral("77")));
    const QByteArray otherApp = FileBytes(settings::StorePath(QStringLiteral("OTHERAPP")));

    recovery::ResetWindow window;
    window.show();
    auto* recover = window.findChild<QPushButton*>("cmdRecover");
    QVERIFY(recover != nullptr);
    QTest::mouseClick(recover, Qt::LeftButton);
    QTest::mouseClick(recover, Qt::LeftButton);

    QVERIFY(window.isVisible());
    for (const char* key : {"Left", "Top", "BPM", "Slider", "State"}) {
      QCOMPARE(Stored(QLatin1String(key)), kAbsent);
    }
    QCOMPARE(programtest::ReadSetting(settings::kApplication, QStringLiteral("Other"),
                                      QStringLiteral("Key"), kAbsent),
             QStringLiteral("kept"));
    QCOMPARE(FileBytes(settings::StorePath(QStringLiteral("OTHERAPP"))), otherApp);
  }

  void recoverWithoutSettingsCreatesNothing() {
    recovery::ResetWindow window;
    QVERIFY(window.cmdRecover_Click());
    QVERIFY(window.cmdRecover_Click());
    QVERIFY(!QFileInfo::exists(settings::StorePath(settings::kApplication)));
  }

  // The window shows nothing, but the click says the erase failed.
  void recoverTellsAFailedErase() {
    const QString path = settings::StorePath(settings::kApplication);
    QVERIFY(QDir().mkpath(path));  // a folder where the file belongs
    recovery::ResetWindow window;
    window.show();
    QCOMPARE(window.cmdRecover_Click(), false);
    QVERIFY(window.isVisible());
    QVERIFY(QFileInfo(path).isDir());
  }

  void calculatorStartsWithDefaultsAfterRecovery() {
    QVERIFY(Store(QStringLiteral("Left"), QStringLiteral("-300000")));
    QVERIFY(Store(QStringLiteral("Top"), QStringLiteral("-300000")));
    QVERIFY(Store(QStringLiteral("BPM"), QStringLiteral("75")));
    QVERIFY(Store(QStringLiteral("Slider"), QStringLiteral("80")));
    QVERIFY(Store(QStringLiteral("State"), QStringLiteral("False")));
    recovery::ResetWindow window;
    window.cmdRecover_Click();

    FakeShell shell;
    ui::Program program('.', shell, QStringLiteral("/opt/tempiva"));
    program.Start();
    const ui::CalculatorWindow* compact = program.window(ui::Which::Compact);
    QVERIFY(compact != nullptr);
    QVERIFY(compact->isVisible());
    QVERIFY(program.window(ui::Which::Large) == nullptr);
    QCOMPARE(compact->pos(), QPoint(121, 402));
    QCOMPARE(Text(compact, "bpm"), QStringLiteral("120"));
    QCOMPARE(Position(compact, "Slider1"), 120);
  }

 private:
};

QTEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
