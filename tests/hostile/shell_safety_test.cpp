// Help opens the help page of a program directory whose name is full of what
// a shell would act on: the opener receives the page's path as its one
// argument, byte for byte, and nothing in the name is ever run. A missing
// page is reported, and no opener starts.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "desktop_shell.h"
#include "program.h"
#include "program_test_support.h"

using namespace programtest;

namespace {

const QString kNotFound = QStringLiteral(
    "HTML Help File not found (index.htm). Make sure it resides in the same directory as "
    "TPV120.EXE");

// The desktop's own shell with the opener given; messages are recorded, not shown.
class RecordingShell : public ui::XdgDesktopShell {
 public:
  using ui::XdgDesktopShell::XdgDesktopShell;
  void ShowMessage(const QString& title, const QString& text) override {
    messages << title + QLatin1Char('|') + text;
  }
  QStringList messages;
};

// Files named PWNED in the folder and below.
QStringList Pwned(const QString& folder, bool below) {
  QStringList found;
  QDirIterator it(folder, {QStringLiteral("PWNED")}, QDir::AllEntries | QDir::Hidden | QDir::System,
                  below ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
  while (it.hasNext()) found << it.next();
  return found;
}

}  // namespace

class ShellSafetyTest : public programtest::Fixture {
  Q_OBJECT

 protected:
  void SetUp() override {
    work_ = std::make_unique<QTemporaryDir>();
    QVERIFY(work_->isValid());
    QVERIFY(!work_->path().contains(QLatin1Char('\'')));
    QVERIFY(Pwned(QDir::currentPath(), false).isEmpty());
    QVERIFY(Pwned(QDir::rootPath(), false).isEmpty());
    // The opener writes how many arguments it got, then each on its own line.
    opener_ = work_->filePath(QStringLiteral("opener"));
    record_ = work_->filePath(QStringLiteral("record"));
    QVERIFY(WriteFileBytes(opener_,
                           "#!/bin/sh\n{ printf '%s\\n' \"$#\"; for a in \"$@\"; do printf "
                           "'%s\\n' \"$a\"; done; } >> '" +
                               record_.toUtf8() + "'\n"));
    QVERIFY(QFile::setPermissions(
        opener_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    // The type query names a browser whose desktop entry is installed.
    typeQuery_ = work_->filePath(QStringLiteral("type-query"));
    QVERIFY(WriteFileBytes(typeQuery_, "#!/bin/sh\necho test-browser.desktop\n"));
    QVERIFY(QFile::setPermissions(
        typeQuery_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QVERIFY(QDir().mkpath(work_->filePath(QStringLiteral("data/applications"))));
    QVERIFY(
        WriteFileBytes(work_->filePath(QStringLiteral("data/applications/test-browser.desktop")),
                       "[Desktop Entry]\nType=Application\nName=Browser\nExec=true %u\n"));
    dataHome_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", work_->filePath(QStringLiteral("data")).toLocal8Bit());
  }
  void TearDown() override {
    qputenv("XDG_DATA_HOME", dataHome_);
    QStringList pwned = Pwned(work_->path(), true) + Pwned(QDir::currentPath(), false) +
                        Pwned(QDir::rootPath(), false);
    work_.reset();
    QVERIFY2(pwned.isEmpty(), qPrintable(pwned.join(QLatin1Char(' '))));
  }

 private slots:

  void hostileDirectory_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("blanks") << "dir with  blanks ";
    QTest::newRow("single and double quotes") << "it's \"dq\" '";
    QTest::newRow("command substitution") << "$(touch PWNED)";
    QTest::newRow("backticks") << "`touch PWNED` `id`";
    QTest::newRow("command separators") << "a; touch PWNED & touch PWNED | touch PWNED";
    QTest::newRow("glob and redirection") << "* ? [a] > PWNED < x";
    QTest::newRow("variable") << "$HOME ${PATH} $1";
    QTest::newRow("non-ASCII") << "ünï ☃ 拍";
    QTest::newRow("line break") << "line\nbreak; touch PWNED";
    QTest::newRow("leading dash") << "-rf --help";
    QTest::newRow("everything at once")
        << "dir with 'quotes' \"dq\" $(touch PWNED) `id` ; & | * ünï";
  }

  void hostileDirectory() {
    QFETCH(QString, name);
    const QString directory = work_->filePath(name);
    QVERIFY(QDir().mkpath(directory));
    const QString page = directory + QStringLiteral("/index.html");
    QVERIFY(WriteFileBytes(page, "<html></html>\n"));
    RecordingShell shell(opener_, typeQuery_);
    ui::Program program('.', shell, directory);
    program.Command3_Click();
    QTRY_COMPARE_WITH_TIMEOUT(FileBytes(record_), "1\n" + page.toUtf8() + "\n", 20000);
    QCOMPARE(shell.messages, QStringList());
  }

  void missingPage_data() { hostileDirectory_data(); }
  void missingPage() {
    QFETCH(QString, name);
    const QString directory = work_->filePath(name);
    QVERIFY(QDir().mkpath(directory));
    RecordingShell shell(opener_, typeQuery_);
    ui::Program program('.', shell, directory);
    program.Command3_Click();
    QCOMPARE(shell.messages, QStringList{QStringLiteral("Tempiva|") + kNotFound});
    // Once the page is there, Help opens it: the record shows that run alone.
    const QString page = directory + QStringLiteral("/index.html");
    QVERIFY(WriteFileBytes(page, "<html></html>\n"));
    program.Command3_Click();
    QTRY_COMPARE_WITH_TIMEOUT(FileBytes(record_), "1\n" + page.toUtf8() + "\n", 20000);
    QCOMPARE(shell.messages.size(), 1);
  }

 private:
  std::unique_ptr<QTemporaryDir> work_;  // fresh for every test
  QString opener_;
  QString typeQuery_;
  QString record_;
  QByteArray dataHome_;
};

QTEST_GUILESS_MAIN(ShellSafetyTest)
#include "shell_safety_test.moc"
