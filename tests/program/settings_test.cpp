// The settings store: texts come back exactly as written, files written by
// Qt's settings class read the same and ours read the same in it, a damaged
// or unreadable file reads as absent keys, failed writes are reported, and
// erasing a section spares everything else.
#include "settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>
#include <memory>

#include "program_test_support.h"

using programtest::ConfigHome;
using programtest::FileBytes;
using programtest::kAbsent;
using programtest::Store;
using programtest::Stored;
using programtest::StoredOrDefault;
using programtest::WriteFileBytes;

class SettingsTest : public programtest::Fixture {
  Q_OBJECT

 protected:
  void TearDown() override {
    // Give back permissions taken away by a test, so the directory can go.
    for (const QString& path : {storeDir(), settings::StorePath(settings::kApplication)}) {
      QFile::setPermissions(
          path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
  }

 private slots:

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
    QTest::newRow("NUL inside") << QString::fromUtf16(u"1\u00002", 3);
    QTest::newRow("control character before a hex digit") << QStringLiteral(
        "\x01"
        "2b");
    QTest::newRow("double at sign") << QStringLiteral("@@x");
    QTest::newRow("quoted list look-alike") << QStringLiteral("\"a\", \"b\"");
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

  // Each key's declaration: its frozen name, and a value written with either
  // decimal separator reads back as itself, as does its default.
  void declaredKeysReadBackWhatTheyWrite_data() {
    QTest::addColumn<char>("separator");
    QTest::newRow("point") << '.';
    QTest::newRow("comma") << ',';
  }
  void declaredKeysReadBackWhatTheyWrite() {
    QFETCH(char, separator);
    const auto readsBack = [separator](const auto& key, const auto& value) {
      const auto text = key.format(value, separator);
      return key.parse(text, separator) == value;
    };
    QCOMPARE((QStringList{ui::kLeft.name, ui::kTop.name, ui::kBpm.name, ui::kSlider.name,
                          ui::kState.name}),
             (QStringList{"Left", "Top", "BPM", "Slider", "State"}));
    for (const float twips : {ui::kLeft.defaultValue, ui::kTop.defaultValue, -4095.f, 1234.5f}) {
      QVERIFY2(readsBack(ui::kLeft, twips), qPrintable(QString::number(twips)));
    }
    for (const int position : {ui::kSlider.defaultValue, 1, 999}) {
      QVERIFY(readsBack(ui::kSlider, position));
    }
    QVERIFY(readsBack(ui::kState, true) && readsBack(ui::kState, false));
    QVERIFY(readsBack(ui::kBpm, ui::kBpm.defaultValue) && readsBack(ui::kBpm, QString("1,5 x")));
  }

  // Files that Qt's settings class wrote for earlier versions read the same,
  // and it reads ours the same: users may go back and forth.
  void sameTextsAsQtSettings_data() { roundTrip_data(); }
  void sameTextsAsQtSettings() {
    QFETCH(QString, text);
    const QString path = settings::StorePath(settings::kApplication);
    {
      QSettings earlier(path, QSettings::IniFormat);
      earlier.setValue(QStringLiteral("Ini/BPM"), text);
      earlier.setValue(QStringLiteral("My Section/path"), QStringLiteral("C:\\Users\\x"));
    }
    QCOMPARE(Stored(QStringLiteral("BPM")), text);
    QVERIFY(Store(QStringLiteral("Slider"), text));
    QSettings later(path, QSettings::IniFormat);
    QCOMPARE(later.value(QStringLiteral("Ini/Slider")).toString(), text);
    QCOMPARE(later.value(QStringLiteral("Ini/BPM")).toString(), text);
    QCOMPARE(later.value(QStringLiteral("My Section/path")).toString(),
             QStringLiteral("C:\\Users\\x"));
  }

  // Values written by hand, read as Qt's settings class read them.
  void handWrittenValues_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("text");
    QTest::newRow("unquoted list") << QByteArray("BPM=90, 120 ,x") << QStringLiteral("90,120,x");
    QTest::newRow("comment after the value")
        << QByteArray("BPM=120 ; mine") << QStringLiteral("120");
    QTest::newRow("blanks around") << QByteArray("BPM =  120  ") << QStringLiteral("120");
    QTest::newRow("octal escape") << QByteArray("BPM=\\101") << QStringLiteral("A");
    QTest::newRow("hex escape") << QByteArray("BPM=\\x41") << QStringLiteral("A");
    QTest::newRow("quoted part") << QByteArray("BPM=a\" b \"c") << QStringLiteral("a b c");
    QTest::newRow("string form") << QByteArray("BPM=@String(x)") << QStringLiteral("x");
    QTest::newRow("empty value") << QByteArray("BPM=") << QString(QLatin1String(""));
  }
  void handWrittenValues() {
    QFETCH(QByteArray, line);
    QFETCH(QString, text);
    QVERIFY(QDir().mkpath(storeDir()));
    QVERIFY(WriteFileBytes(settings::StorePath(settings::kApplication), "[Ini]\n" + line + '\n'));
    QCOMPARE(Stored(QStringLiteral("BPM")), text);
  }

  void valuesWithoutTextReadAsAbsent_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("invalid form") << QByteArray("BPM=@Invalid()");
    QTest::newRow("rectangle form") << QByteArray("BPM=@Rect(1 2 3 4)");
  }
  void valuesWithoutTextReadAsAbsent() {
    QFETCH(QByteArray, line);
    QVERIFY(QDir().mkpath(storeDir()));
    QVERIFY(WriteFileBytes(settings::StorePath(settings::kApplication),
                           "[Ini]\nState=False\n" + line + '\n'));
    QCOMPARE(Stored(QStringLiteral("BPM")), kAbsent);
    QCOMPARE(Stored(QStringLiteral("State")), QStringLiteral("False"));
  }

  void damagedFileReadsAsAbsent_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("binary junk") << QByteArray("\x00\xff\xfe\x01=\x02\n\x80\x90[\x00", 12);
    QTest::newRow("section header not closed") << QByteArray("[Ini\nBPM=99\n");
    QTest::newRow("key before any section") << QByteArray("BPM=99\n[Ini]\n");
    QTest::newRow("other section only") << QByteArray("[Inix]\nBPM=99\n");
    QTest::newRow("section name in another case") << QByteArray("[ini]\nBPM=99\n");
  }
  void damagedFileReadsAsAbsent() {
    QFETCH(QByteArray, contents);
    QVERIFY(QDir().mkpath(storeDir()));
    QVERIFY(WriteFileBytes(settings::StorePath(settings::kApplication), contents));
    // Every read, not only the first one after the file changed.
    QCOMPARE(StoredOrDefault(ui::kBpm), QStringLiteral("120"));
    QCOMPARE(StoredOrDefault(ui::kBpm), QStringLiteral("120"));
    QCOMPARE(Stored(QStringLiteral("BPM")), kAbsent);
  }

  void unreadableFileReadsAsAbsent() {
    QVERIFY(Store(QStringLiteral("BPM"), QStringLiteral("99")));
    const QString path = settings::StorePath(settings::kApplication);
    QVERIFY(QFile::setPermissions(path, {}));
    if (QFileInfo(path).isReadable()) QSKIP("permissions are not enforced for this user");
    QCOMPARE(StoredOrDefault(ui::kBpm), QStringLiteral("120"));
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
    QCOMPARE(StoredOrDefault(ui::kBpm), QStringLiteral("120"));
  }

  void sectionReadAtOnce() {
    QVERIFY(settings::WriteSettings(settings::kApplication, settings::kSection,
                                    {{QStringLiteral("BPM"), QStringLiteral("90")},
                                     {QStringLiteral("State"), QStringLiteral("False")},
                                     {QStringLiteral("BPM"), QStringLiteral("91")}}));
    const QHash<QString, QString> section =
        settings::ReadSection(settings::kApplication, settings::kSection);
    QCOMPARE(section.size(), 2);
    QCOMPARE(section.value(QStringLiteral("BPM")), QStringLiteral("91"));
    QCOMPARE(section.value(QStringLiteral("State")), QStringLiteral("False"));
    QVERIFY(settings::ReadSection(settings::kApplication, QStringLiteral("Other")).isEmpty());
  }

  void failedWriteTellsTheOutcome() {
    const QString path = settings::StorePath(settings::kApplication);
    QVERIFY(QDir().mkpath(path));  // a folder in place of the file
    QCOMPARE(settings::WriteSettings(settings::kApplication, settings::kSection,
                                     {{QStringLiteral("BPM"), QStringLiteral("87")}}),
             false);
    QCOMPARE(Store(QStringLiteral("BPM"), QStringLiteral("87")), false);
  }

  // A relative location is no location: the files go under the home folder.
  void relativeConfigHomeIgnored_data() {
    QTest::addColumn<QByteArray>("configHome");
    QTest::newRow("relative") << QByteArray("relative/config");
    QTest::newRow("dot") << QByteArray(".");
    QTest::newRow("empty") << QByteArray("");
  }
  void relativeConfigHomeIgnored() {
    QFETCH(QByteArray, configHome);
    const QByteArray userHome = qgetenv("HOME");
    qputenv("HOME", home().path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", configHome);
    const QString path = settings::StorePath(settings::kApplication);
    qputenv("HOME", userHome);
    QCOMPARE(path, home().path() + QStringLiteral("/.config/tempiva/TPVINI.ini"));
  }

  void deleteSectionSparesTheRest() {
    QVERIFY(Store(QStringLiteral("BPM"), QStringLiteral("99")));
    QVERIFY(Store(QStringLiteral("State"), QStringLiteral("False")));
    QVERIFY(programtest::WriteSetting(settings::kApplication, QStringLiteral("Other"),
                                      QStringLiteral("Key"), QStringLiteral("kept")));
    QVERIFY(programtest::WriteSetting(QStringLiteral("OTHERAPP"), QStringLiteral("Ini"),
                                      QStringLiteral("BPM"), QStringLiteral("77")));
    const QString otherApp = settings::StorePath(QStringLiteral("OTHERAPP"));
    const QByteArray otherBytes = FileBytes(otherApp);

    QVERIFY(settings::DeleteSettingsSection(settings::kApplication, settings::kSection));
    QVERIFY(settings::DeleteSettingsSection(settings::kApplication, settings::kSection));

    QCOMPARE(Stored(QStringLiteral("BPM")), kAbsent);
    QCOMPARE(Stored(QStringLiteral("State")), kAbsent);
    QCOMPARE(programtest::ReadSetting(settings::kApplication, QStringLiteral("Other"),
                                      QStringLiteral("Key"), kAbsent),
             QStringLiteral("kept"));
    QCOMPARE(FileBytes(otherApp), otherBytes);
  }

 private:
  QString storeDir() const { return home().path() + QStringLiteral("/tempiva"); }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "settings_test.moc"
