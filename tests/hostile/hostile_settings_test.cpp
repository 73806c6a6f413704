// Hostile saved settings: whatever the store holds, or however it cannot be
// read or written, the program starts, shows a window with a tempo of at most
// 6 characters, and ends when asked, leaving no "inf" or "nan" stored.
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "looks.h"
#include "program.h"
#include "program_test_support.h"

using namespace programtest;
using ui::Which;

namespace {

const QStringList kKeys = {QStringLiteral("Left"), QStringLiteral("Top"), QStringLiteral("BPM"),
                           QStringLiteral("Slider"), QStringLiteral("State")};

QString StoreDir() { return QFileInfo(settings::StorePath(settings::kApplication)).path(); }

// One run of the program from start to end; what went wrong, or nothing.
QString RunProgram(char separator) {
  FakeShell shell;
  ui::Program program(separator, shell, QStringLiteral("/opt/tempiva"));
  QSignalSpy finished(&program, &ui::Program::finished);
  program.Start();
  QStringList faults;
  const ui::CalculatorWindow* shown = nullptr;
  for (const Which which : {Which::Compact, Which::Large}) {
    if (program.window(which) && program.window(which)->isVisible()) shown = program.window(which);
  }
  if (shown == nullptr) {
    faults << QStringLiteral("no window shown");
  } else {
    const QString bpm = Text(shown, "bpm");
    if (bpm.size() > 6) faults << QStringLiteral("bpm shows %1 characters").arg(bpm.size());
    for (const QLineEdit* box : shown->findChildren<QLineEdit*>()) {
      if (box->objectName() == QLatin1String("bpm")) continue;  // the stored text, cut
      if (box->text().contains(QLatin1String("inf"), Qt::CaseInsensitive) ||
          box->text().contains(QLatin1String("nan"), Qt::CaseInsensitive)) {
        faults << QStringLiteral("%1 shows \"%2\"").arg(box->objectName(), box->text());
      }
    }
  }
  program.CloseAll();
  if (finished.count() != 1) faults << QStringLiteral("finished %1 times").arg(finished.count());
  if (program.running()) faults << QStringLiteral("still running");
  FlushDeletes();
  for (const QString& key :
       {QStringLiteral("Left"), QStringLiteral("Top"), QStringLiteral("Slider")}) {
    const QString stored = Stored(key);
    if (stored.contains(QLatin1String("inf"), Qt::CaseInsensitive) ||
        stored.contains(QLatin1String("nan"), Qt::CaseInsensitive)) {
      faults << QStringLiteral("%1 stored as \"%2\"").arg(key, stored);
    }
  }
  return faults.join(QLatin1String("; "));
}

}  // namespace

class HostileSettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ui::InitApplication(); }
  void init() {
    home_ = std::make_unique<ConfigHome>();
    QVERIFY(home_->isValid());
  }
  void cleanup() {
    for (const QString& path : {StoreDir(), settings::StorePath(settings::kApplication)}) {
      QFile::setPermissions(
          path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    home_.reset();
  }

  // Every key holds the text.
  void storedTexts_data() {
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::newRow("NaN") << "."
                         << "NaN";
    QTest::newRow("nan") << "."
                         << "nan";
    QTest::newRow("Infinity") << "."
                              << "Infinity";
    QTest::newRow("-inf") << "."
                          << "-inf";
    QTest::newRow("1e999") << "."
                           << "1e999";
    QTest::newRow("-1e999") << "."
                            << "-1e999";
    QTest::newRow("1e-999") << "."
                            << "1e-999";
    QTest::newRow("-0") << "."
                        << "-0";
    QTest::newRow("1e308") << "."
                           << "1e308";
    QTest::newRow("-3.4e38 twips") << "."
                                   << "-3.4e38";
    QTest::newRow("3.5e38 beyond single") << "."
                                          << "3.5e38";
    QTest::newRow("1,5 under comma") << ","
                                     << "1,5";
    QTest::newRow("1.5 under comma") << ","
                                     << "1.5";
    QTest::newRow("1,5 under point") << "."
                                     << "1,5";
    QTest::newRow("&H10") << "."
                          << "&H10";
    QTest::newRow("0x10") << "."
                          << "0x10";
    QTest::newRow("blanks around") << "."
                                   << "  120  ";
    QTest::newRow("plus sign") << "."
                               << "+120";
    QTest::newRow("12a") << "."
                         << "12a";
    QTest::newRow("Arabic-Indic digits") << "."
                                         << "١٢٠";
    QTest::newRow("full-width digits") << "."
                                       << "１２０";
    QTest::newRow("control chars") << "."
                                   << "\t\x01\x7f";
    QTest::newRow("line breaks") << "."
                                 << "1\n[Ini]\r\nBPM=2";
    QTest::newRow("Latin-1 range 1 to 255") << "." << [] {
      QString text;
      for (char16_t code = 1; code < 256; ++code) text += QChar{code};
      return text;
    }();
    QTest::newRow("1 MB of nines") << "." << QString(1 << 20, QLatin1Char('9'));
  }
  void storedTexts() {
    QFETCH(QString, separator);
    QFETCH(QString, text);
    for (const QString& key : kKeys) QVERIFY(Store(key, text));
    QCOMPARE(Stored(QStringLiteral("BPM")), text);
    const QString faults = RunProgram(separator == QLatin1String(",") ? ',' : '.');
    QVERIFY2(faults.isEmpty(), qPrintable(faults));
  }

  void damagedStore_data() {
    QTest::addColumn<QString>("damage");
    QTest::newRow("all 256 byte values") << "bytes";
    QTest::newRow("junk values without NUL or line break") << "junk values";
    QTest::newRow("store is a directory") << "directory";
    QTest::newRow("store unreadable") << "unreadable";
    QTest::newRow("store in a read-only directory") << "read-only directory";
  }
  void damagedStore() {
    QFETCH(QString, damage);
    const QString path = settings::StorePath(settings::kApplication);
    QVERIFY(QDir().mkpath(StoreDir()));
    if (damage == QLatin1String("bytes")) {
      QByteArray bytes;
      for (int byte = 0; byte < 256; ++byte) bytes += static_cast<char>(byte);
      QVERIFY(WriteFileBytes(path, bytes));
    } else if (damage == QLatin1String("junk values")) {
      QByteArray junk;
      for (int byte = 1; byte < 256; ++byte) {
        if (byte != '\n') junk += static_cast<char>(byte);
      }
      QByteArray file("[Ini]\n");
      for (const QString& key : kKeys) file += key.toLatin1() + '=' + junk + '\n';
      QVERIFY(WriteFileBytes(path, file));
    } else if (damage == QLatin1String("directory")) {
      QVERIFY(QDir().mkpath(path));
    } else if (damage == QLatin1String("unreadable")) {
      QVERIFY(WriteFileBytes(path, "[Ini]\nBPM=99\nSlider=99\n"));
      QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
      if (QFileInfo(path).isReadable()) QSKIP("permissions do not bind this user");
    } else {
      QVERIFY(WriteFileBytes(path, "[Ini]\nBPM=99\nSlider=99\n"));
      QVERIFY(QFile::setPermissions(StoreDir(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
      if (QFileInfo(StoreDir()).isWritable()) QSKIP("permissions do not bind this user");
    }
    const QString faults = RunProgram('.');
    QVERIFY2(faults.isEmpty(), qPrintable(faults));
  }

 private:
  std::unique_ptr<ConfigHome> home_;
};

QTEST_MAIN(HostileSettingsTest)
#include "hostile_settings_test.moc"
