// The settings store: texts come back exactly as written, a damaged or
// unreadable file reads as absent keys, failed writes are reported, and
// erasing a section spares everything else.
#include "settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <memory>

#include "program_test_support.h"

using programtest::ConfigHome;
using programtest::FileBytes;
using programtest::kAbsent;
using programtest::Store;
using programtest::Stored;
using programtest::WriteFileBytes;

class SettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    home_ = std::make_unique<ConfigHome>();
    QVERIFY(home_->isValid());
  }
  void cleanup() {
    // Give back permissions taken away by a test, so the directory can go.
    for (const QString& path : {storeDir(), settings::StorePath(settings::kApplication)}) {
      QFile::setPermissions(
          path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    home_.reset();
  }

  void roundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("plain tempo") << QStringLiteral("120");
    QTest::newRow("comma") << QStringLiteral("1,5");
    QTest::newRow("comma and blank") << QStringLiteral("90, 120");
    QTest::newRow("double quotes") << QStringLiteral("say \"120\" now");
    QTest::newRow("single quote") << QStringLiteral("it's");
    QTest::newRow("leading at sign") << QStringLiteral("@Variant(120)");
    QTest::newRow("lone at sign") << QStringLiteral("@");
    QTest::newRow("leading and trailing blanks") << QStringLiteral("  120  ");
    QTest::newRow("equals sign") << QStringLiteral("a=b");
    QTest::newRow("semicolon") << QStringLiteral("12;0");
    QTest::newRow("hash") << QStringLiteral("#120");
    QTest::newRow("section header") << QStringLiteral("[Ini]");
    QTest::newRow("backslashes") << QStringLiteral("C:\\tpv\\\\x\\");
    QTest::newRow("newline and return") << QStringLiteral("1\n2\r3");
    QTest::newRow("tab") << QStringLiteral("1\t2");
    QTest::newRow("non-ASCII") << QString::fromUtf8(
        "Tempo \xE2\x99\xA9 = 120 \xC3\xA9\xE2\x80\x93\xF0\x9F\x8E\xB5");
    QTest::newRow("truth word") << QStringLiteral("True");
    QTest::newRow("empty") << QString(QLatin1String(""));
  }
  void roundTrip() {
    QFETCH(QString, text);
    QVERIFY(Store(QStringLiteral("BPM"), text));
    QCOMPARE(Stored(QStringLiteral("BPM")), text);
    QCOMPARE(Stored(QStringLiteral("BPM")).isNull(), false);
    // A neighbouring key written after it leaves it intact.
    QVERIFY(Store(QStringLiteral("Slider"), QStringLiteral("77")));
    QCOMPARE(Stored(QStringLiteral("BPM")), text);
  }

  void damagedFileReadsAsAbsent_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("binary junk") << QByteArray("\x00\xff\xfe\x01=\x02\n\x80\x90[\x00", 12);
    QTest::newRow("section header not closed") << QByteArray("[Ini\nBPM=99\n");
    QTest::newRow("broken header after the section") << QByteArray("[Ini]\nBPM=99\n[Oth\n");
  }
  void damagedFileReadsAsAbsent() {
    QFETCH(QByteArray, contents);
    QVERIFY(QDir().mkpath(storeDir()));
    QVERIFY(WriteFileBytes(settings::StorePath(settings::kApplication), contents));
    // Every read, not only the first one after the file changed.
    QCOMPARE(settings::Read(settings::kBpm), QStringLiteral("120"));
    QCOMPARE(settings::Read(settings::kBpm), QStringLiteral("120"));
    QCOMPARE(Stored(QStringLiteral("BPM")), kAbsent);
  }

  void unreadableFileReadsAsAbsent() {
    QVERIFY(Store(QStringLiteral("BPM"), QStringLiteral("99")));
    const QString path = settings::StorePath(settings::kApplication);
    QVERIFY(QFile::setPermissions(path, {}));
    if (QFileInfo(path).isReadable()) QSKIP("permissions are not enforced for this user");
    QCOMPARE(settings::Read(settings::kBpm), QStringLiteral("120"));
  }

  void failedWriteReturnsFalse_data() {
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("file path is a directory") << QStringLiteral("file is directory");
    QTest::newRow("settings directory is a file") << QStringLiteral("directory is file");
    QTest::newRow("read-only settings directory") << QStringLiteral("read-only directory");
  }
  void failedWriteReturnsFalse() {
    QFETCH(QString, obstacle);
    const QString path = settings::StorePath(settings::kApplication);
    if (obstacle == QLatin1String("file is directory")) {
      QVERIFY(QDir().mkpath(path));
    } else if (obstacle == QLatin1String("directory is file")) {
      QVERIFY(WriteFileBytes(storeDir(), "not a directory"));
    } else {
      QVERIFY(QDir().mkpath(storeDir()));
      QVERIFY(QFile::setPermissions(storeDir(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
      if (QFileInfo(storeDir()).isWritable()) QSKIP("permissions are not enforced for this user");
    }
    QCOMPARE(Store(QStringLiteral("BPM"), QStringLiteral("99")), false);
    QCOMPARE(settings::Read(settings::kBpm), QStringLiteral("120"));
  }

  void deleteSectionSparesTheRest() {
    QVERIFY(Store(QStringLiteral("BPM"), QStringLiteral("99")));
    QVERIFY(Store(QStringLiteral("State"), QStringLiteral("False")));
    QVERIFY(settings::WriteSetting(settings::kApplication, QStringLiteral("Other"),
                                   QStringLiteral("Key"), QStringLiteral("kept")));
    QVERIFY(settings::WriteSetting(QStringLiteral("OTHERAPP"), QStringLiteral("Ini"),
                                   QStringLiteral("BPM"), QStringLiteral("77")));
    const QString otherApp = settings::StorePath(QStringLiteral("OTHERAPP"));
    const QByteArray otherBytes = FileBytes(otherApp);

    QVERIFY(settings::DeleteSettingsSection(settings::kApplication, settings::kSection));
    QVERIFY(settings::DeleteSettingsSection(settings::kApplication, settings::kSection));

    QCOMPARE(Stored(QStringLiteral("BPM")), kAbsent);
    QCOMPARE(Stored(QStringLiteral("State")), kAbsent);
    QCOMPARE(settings::ReadSetting(settings::kApplication, QStringLiteral("Other"),
                                   QStringLiteral("Key"), kAbsent),
             QStringLiteral("kept"));
    QCOMPARE(FileBytes(otherApp), otherBytes);
  }

 private:
  QString storeDir() const { return home_->path() + QStringLiteral("/tempiva"); }
  std::unique_ptr<ConfigHome> home_;
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "settings_test.moc"
