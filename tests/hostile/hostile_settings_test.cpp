// Hostile saved settings: whatever the store holds, or however it cannot be
// read or written, the program starts, shows a window with a tempo of at most
// 6 characters, and ends when asked, leaving no "inf" or "nan" stored. The
// store itself reads every line it can, changes only its own lines, never
// replaces what is not a regular file, never waits long, keeps the owner and
// mode, and on a full disk keeps the old file and says so once.
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryFile>
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

const QList<std::pair<QString, QString>> kFiveValues = {
    {QStringLiteral("Left"), QStringLiteral("300")},
    {QStringLiteral("Top"), QStringLiteral("400")},
    {QStringLiteral("BPM"), QStringLiteral("97")},
    {QStringLiteral("Slider"), QStringLiteral("97")},
    {QStringLiteral("State"), QStringLiteral("False")}};

bool WriteFive() {
  return settings::WriteSettings(settings::kApplication, settings::kSection, kFiveValues);
}
bool Erase() { return settings::DeleteSettingsSection(settings::kApplication, settings::kSection); }

mode_t FileType(const QString& path) {
  struct stat info = {};
  return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

bool IsRoot() { return ::geteuid() == 0; }

}  // namespace

class HostileSettingsTest : public programtest::Fixture {
  Q_OBJECT

 protected:
  void TearDown() override {
    for (const QString& path : {StoreDir(), settings::StorePath(settings::kApplication)}) {
      QFile::setPermissions(
          path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
  }

 private slots:
  void initTestCase() { programtest::InitCalculator(); }

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

  // ---- The store's own lines, and nothing else ----

  // A file full of foreign content: the five keys written, then the section
  // erased, change only the section's own lines.
  void foreignBytesKept_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArray>("erased");
    QTest::newRow("other sections, comments, odd lines, no section of ours")
        << QByteArray("; kept\n[My Section]\npath=C:\\Users\\x\n  spaced = a , b  \nno equals\n")
        << QByteArray(
               "; kept\n[My Section]\npath=C:\\Users\\x\n  spaced = a , b  \nno equals\n\n"
               "[Ini]\nLeft=300\nTop=400\nBPM=97\nSlider=97\nState=False\n")
        << QByteArray("; kept\n[My Section]\npath=C:\\Users\\x\n  spaced = a , b  \nno equals\n\n");
    QTest::newRow("CRLF, a byte-order mark, our section in the middle")
        << QByteArray(
               "\xEF\xBB\xBF# top\r\n[Ini]\r\n  BPM = 120\r\n; about the tempo\r\nstray\r\n"
               "Foreign=1\r\n\r\n[Other]\r\nBPM=5\r\n")
        << QByteArray(
               "\xEF\xBB\xBF# top\r\n[Ini]\r\n  BPM = 97\r\n; about the tempo\r\nstray\r\n"
               "Foreign=1\r\nLeft=300\r\nTop=400\r\nSlider=97\r\nState=False\r\n\r\n"
               "[Other]\r\nBPM=5\r\n")
        << QByteArray(
               "\xEF\xBB\xBF# top\r\n; about the tempo\r\nstray\r\n\r\n[Other]\r\nBPM=5\r\n");
    QTest::newRow("no line end at the end of the file")
        << QByteArray("[Ini]\nState=True")
        << QByteArray("[Ini]\nState=False\nLeft=300\nTop=400\nBPM=97\nSlider=97\n")
        << QByteArray("");
    QTest::newRow("our section twice, a NUL line between")
        << QByteArrayLiteral("[Ini]\nBPM=1\n[X]\na\0b=c\n[Ini]\nTop=2\n")
        << QByteArrayLiteral(
               "[Ini]\nBPM=97\n[X]\na\0b=c\n[Ini]\nTop=400\nLeft=300\nSlider=97\nState=False\n")
        << QByteArrayLiteral("[X]\na\0b=c\n");
  }
  void foreignBytesKept() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, erased);
    const QString path = settings::StorePath(settings::kApplication);
    QVERIFY(QDir().mkpath(StoreDir()));
    QVERIFY(WriteFileBytes(path, before));
    QVERIFY(WriteFive());
    QCOMPARE(FileBytes(path), written);
    QVERIFY(Erase());
    QCOMPARE(FileBytes(path), erased);
  }

  // Lines that do not parse are skipped; every other key of the section counts.
  void readsWhatCanBeRead_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("bpm");
    QTest::addColumn<QString>("state");
    QTest::newRow("byte-order mark")
        << QByteArray("\xEF\xBB\xBF[Ini]\nBPM=90\nState=False\n") << "90"
        << "False";
    QTest::newRow("CRLF line ends") << QByteArray("[Ini]\r\nBPM=90\r\nState=False\r\n") << "90"
                                    << "False";
    QTest::newRow("stray line before the section")
        << QByteArray("garbage\n[Ini]\nBPM=90\nState=False\n") << "90"
        << "False";
    QTest::newRow("stray line between the keys")
        << QByteArray("[Ini]\nBPM=90\n)(*&\nState=False\n") << "90"
        << "False";
    QTest::newRow("NUL byte in one line")
        << QByteArrayLiteral("[Ini]\nBPM=90\nLeft=1\0\nState=False\n") << "90"
        << "False";
    QTest::newRow("broken header after the section")
        << QByteArray("[Ini]\nBPM=90\nState=False\n[Oth\n") << "90"
        << "False";
    QTest::newRow("lone carriage returns") << QByteArray("[Ini]\rBPM=90\rState=False") << "90"
                                           << "False";
    QTest::newRow("key given twice") << QByteArray("[Ini]\nBPM=80\nState=False\nBPM=90\n") << "90"
                                     << "False";
  }
  void readsWhatCanBeRead() {
    QFETCH(QByteArray, contents);
    QFETCH(QString, bpm);
    QFETCH(QString, state);
    QVERIFY(QDir().mkpath(StoreDir()));
    QVERIFY(WriteFileBytes(settings::StorePath(settings::kApplication), contents));
    QCOMPARE(Stored(QStringLiteral("BPM")), bpm);
    QCOMPARE(Stored(QStringLiteral("State")), state);
  }

  // ---- What is not a regular file is never replaced nor waited on ----

  void notARegularFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("throughLink");
    for (const bool link : {false, true}) {
      const char* how = link ? "link to a " : "";
      QTest::addRow("%snamed pipe", how) << "pipe" << link;
      QTest::addRow("%sfolder", how) << "folder" << link;
      QTest::addRow("%sdevice node", how) << "device" << link;
    }
    QTest::newRow("link to nothing") << "nothing" << true;
  }
  void notARegularFile() {
    QFETCH(QString, kind);
    QFETCH(bool, throughLink);
    const QString path = settings::StorePath(settings::kApplication);
    const QString node = throughLink ? home().path() + QStringLiteral("/elsewhere") : path;
    QVERIFY(QDir().mkpath(StoreDir()));
    const QByteArray nativeNode = QFile::encodeName(node);
    if (kind == QLatin1String("pipe")) {
      QCOMPARE(::mkfifo(nativeNode.constData(), 0600), 0);
    } else if (kind == QLatin1String("folder")) {
      QVERIFY(QDir().mkpath(node));
    } else if (kind == QLatin1String("device")) {
      if (!IsRoot()) QSKIP("making a device node needs root");
      // Our own null device: were it replaced, nothing of the system's would be.
      QCOMPARE(::mknod(nativeNode.constData(), S_IFCHR | 0600, makedev(1, 3)), 0);
    }
    if (throughLink) QVERIFY(QFile::link(node, path));
    const mode_t nodeType = FileType(node);

    QElapsedTimer timer;
    timer.start();
    ErrorOutput errors;
    QCOMPARE(Stored(QStringLiteral("BPM")), kAbsent);
    QCOMPARE(WriteFive(), false);
    QCOMPARE(Erase(), false);
    const QStringList lines = errors.Lines();
    QVERIFY2(timer.elapsed() < 5000, "no wait on what is not a regular file");
    QCOMPARE(FileType(node), nodeType);
    if (throughLink) QCOMPARE(FileType(path), mode_t{S_IFLNK});
    // Told once for the read, once for each failed change.
    QCOMPARE(lines.size(), 3);
    for (const QString& line : lines) QVERIFY2(line.contains(path), qPrintable(line));
  }

  // Through a link to a regular file, the file is replaced and the link stays.
  void linkToRegularFile() {
    const QString path = settings::StorePath(settings::kApplication);
    const QString target = home().path() + QStringLiteral("/real.ini");
    QVERIFY(QDir().mkpath(StoreDir()));
    QVERIFY(WriteFileBytes(target, "; mine\n"));
    QVERIFY(QFile::link(target, path));
    QVERIFY(WriteFive());
    QCOMPARE(FileType(path), mode_t{S_IFLNK});
    QCOMPARE(QFileInfo(path).symLinkTarget(), target);
    QVERIFY(FileBytes(target).startsWith("; mine\n\n[Ini]\nLeft=300\n"));
    QVERIFY(QDir(StoreDir()).entryList(QDir::Files | QDir::System | QDir::Hidden).size() == 1);
  }

  // ---- Locks ----

  void locks_data() {
    QTest::addColumn<QString>("lock");
    QTest::addColumn<bool>("written");
    QTest::newRow("empty lock left by a crash long ago") << "old empty" << true;
    QTest::newRow("empty lock left by a crash just now") << "new empty" << true;
    QTest::newRow("lock of a process that is gone") << "dead process" << true;
    QTest::newRow("lock held by a live process") << "held" << false;
    QTest::newRow("folder in place of the lock") << "folder" << false;
    QTest::newRow("named pipe in place of the lock") << "pipe" << false;
  }
  void locks() {
    QFETCH(QString, lock);
    QFETCH(bool, written);
    const QString path = settings::StorePath(settings::kApplication);
    const QString lockPath = path + QStringLiteral(".lock");
    QVERIFY(QDir().mkpath(StoreDir()));
    const QByteArray before("[Ini]\nBPM=1\n");
    QVERIFY(WriteFileBytes(path, before));
    QLockFile holder(lockPath);
    if (lock == QLatin1String("old empty") || lock == QLatin1String("new empty")) {
      QVERIFY(WriteFileBytes(lockPath, ""));
      if (lock == QLatin1String("old empty")) {
        QFile file(lockPath);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                 QFileDevice::FileModificationTime));
      }
    } else if (lock == QLatin1String("dead process")) {
      QVERIFY(WriteFileBytes(lockPath, "2147483646\ntpv120\nnowhere\n"));
    } else if (lock == QLatin1String("held")) {
      QVERIFY(holder.tryLock(0));
    } else if (lock == QLatin1String("folder")) {
      QVERIFY(QDir().mkpath(lockPath));
    } else {
      QCOMPARE(::mkfifo(QFile::encodeName(lockPath).constData(), 0600), 0);
    }

    QElapsedTimer timer;
    timer.start();
    ErrorOutput errors;
    QCOMPARE(WriteFive(), written);
    QCOMPARE(Erase(), written);
    const QStringList lines = errors.Lines();
    QVERIFY2(timer.elapsed() < 10000, "each lock wait lasts a couple of seconds at most");
    if (written) {
      QCOMPARE(FileBytes(path), QByteArray(""));
      QVERIFY(lines.isEmpty());
    } else {
      QCOMPARE(FileBytes(path), before);
      QCOMPARE(lines.size(), 2);
      for (const QString& line : lines) QVERIFY2(line.contains(lockPath), qPrintable(line));
    }
  }

  // ---- Owner and mode ----

  void ownerAndModeKept_data() {
    QTest::addColumn<uint>("owner");
    QTest::addColumn<uint>("mode");
    QTest::newRow("own file, 0600") << uint(::geteuid()) << 0600u;
    QTest::newRow("own file, 0644") << uint(::geteuid()) << 0644u;
    QTest::newRow("another user's 0600 file, written by root") << 4321u << 0600u;
  }
  void ownerAndModeKept() {
    QFETCH(uint, owner);
    QFETCH(uint, mode);
    if (owner != ::geteuid() && !IsRoot()) QSKIP("giving a file away needs root");
    const QString path = settings::StorePath(settings::kApplication);
    QVERIFY(QDir().mkpath(StoreDir()));
    QVERIFY(WriteFileBytes(path, "[Ini]\nBPM=1\n"));
    const QByteArray native = QFile::encodeName(path);
    QCOMPARE(::chown(native.constData(), owner, owner), 0);
    QCOMPARE(::chmod(native.constData(), mode), 0);
    for (const bool erase : {false, true}) {
      QVERIFY(erase ? Erase() : WriteFive());
      struct stat info = {};
      QCOMPARE(::stat(native.constData(), &info), 0);
      QCOMPARE(uint(info.st_uid), owner);
      QCOMPARE(uint(info.st_gid), owner);
      QCOMPARE(uint(info.st_mode & 07777), mode);
    }
  }

  // ---- A nearly full disk ----

  void nearlyFullDisk_data() {
    QTest::addColumn<bool>("blockLeft");
    QTest::newRow("one block left, taken by the lock") << true;
    QTest::newRow("no block left") << false;
  }
  void nearlyFullDisk() {
    QFETCH(bool, blockLeft);
    if (!IsRoot()) QSKIP("mounting a small disk needs root");
    const QByteArray mountPoint = QFile::encodeName(home().path());
    if (::mount("tempiva-test", mountPoint.constData(), "tmpfs", 0, "size=8k") != 0)
      QSKIP("no tmpfs can be mounted here");
    const auto unmount = qScopeGuard([&] { ::umount2(mountPoint.constData(), MNT_DETACH); });
    const QString path = settings::StorePath(settings::kApplication);
    QVERIFY(QDir().mkpath(StoreDir()));
    const QByteArray before("; mine\n[Ini]\nBPM=1\nState=True\n");
    QVERIFY(WriteFileBytes(path, before));
    if (!blockLeft) {
      QFile filler(home().path() + QStringLiteral("/filler"));
      QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
      while (filler.write(QByteArray(512, 'x')) == 512) {
      }
    }

    ErrorOutput errors;
    QCOMPARE(WriteFive(), false);
    QCOMPARE(Erase(), false);
    const QStringList lines = errors.Lines();
    QCOMPARE(FileBytes(path), before);
    QCOMPARE(lines.size(), 2);
    for (const QString& line : lines) QVERIFY2(line.contains(path), qPrintable(line));
    QCOMPARE(QDir(StoreDir()).entryList(QDir::Files | QDir::Hidden).size(), 1);  // no leftovers
  }

 private:
};

QTEST_MAIN(HostileSettingsTest)
#include "hostile_settings_test.moc"
