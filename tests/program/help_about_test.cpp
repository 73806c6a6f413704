// Help hands the help page to the desktop shell and explains a failure, also
// one the desktop's xdg-mime and xdg-open (faked on PATH) report later; the
// About box opens at its place, bolds the About buttons while open, closes on
// fresh keys only, opens the maker's page and keeps the program alive until
// it is closed.
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

#include "desktop_shell.h"
#include "looks.h"
#include "program.h"
#include "program_test_support.h"

using namespace programtest;
using ui::Which;

namespace {

// The desktop's own shell, finding xdg-mime and xdg-open on PATH; messages
// are recorded, not shown.
class RecordingShell : public ui::XdgDesktopShell {
 public:
  explicit RecordingShell(int openerGraceMs = kOpenerGraceMs)
      : XdgDesktopShell(QStringLiteral("xdg-open"), QStringLiteral("xdg-mime"), openerGraceMs) {}
  void ShowMessage(const QString&, const QString& text) override { messages << text; }
  QStringList messages;
};

// A fake desktop for one test: xdg-mime and xdg-open scripts first on PATH,
// its own applications folders, and a program folder with the help page.
class FakeDesktop {
 public:
  FakeDesktop()
      : path_(qgetenv("PATH")),
        dataHome_(qgetenv("XDG_DATA_HOME")),
        dataDirs_(qgetenv("XDG_DATA_DIRS")) {
    QDir().mkpath(dir_.filePath(QStringLiteral("bin")));
    QDir().mkpath(dir_.filePath(QStringLiteral("data/applications/vendor")));
    QDir().mkpath(dir_.filePath(QStringLiteral("system")));
    // The type database stays the machine's; its applications do not.
    QFile::link(QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("mime"),
                                       QStandardPaths::LocateDirectory),
                dir_.filePath(QStringLiteral("system/mime")));
    QDir().mkpath(program());
    WriteFileBytes(page(), "<html></html>\n");
    WriteFileBytes(dir_.filePath(QStringLiteral("data/applications/test-browser.desktop")),
                   "[Desktop Entry]\nType=Application\nName=Browser\nExec=true %u\n");
    WriteFileBytes(dir_.filePath(QStringLiteral("data/applications/vendor/browser.desktop")),
                   "[Desktop Entry]\nType=Application\nName=Browser\nExec=true %u\n");
    qputenv("PATH", dir_.filePath(QStringLiteral("bin")).toLocal8Bit() + ':' + path_);
    qputenv("XDG_DATA_HOME", dir_.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_DATA_DIRS", dir_.filePath(QStringLiteral("system")).toLocal8Bit());
  }
  ~FakeDesktop() {
    qputenv("PATH", path_);
    qputenv("XDG_DATA_HOME", dataHome_);
    qputenv("XDG_DATA_DIRS", dataDirs_);
  }
  FakeDesktop(const FakeDesktop&) = delete;
  FakeDesktop& operator=(const FakeDesktop&) = delete;

  bool isValid() const { return dir_.isValid() && QFile::exists(page()); }
  QString program() const { return dir_.filePath(QStringLiteral("program")); }
  QString page() const { return program() + QStringLiteral("/index.html"); }
  // What the opener was given, one argument a line.
  QByteArray opened() const { return FileBytes(dir_.filePath(QStringLiteral("opened"))); }
  QByteArray askedFor() const { return FileBytes(dir_.filePath(QStringLiteral("asked"))); }
  int openerPid() const { return FileBytes(dir_.filePath(QStringLiteral("pid"))).toInt(); }

  // xdg-mime: records its arguments, then runs `body`.
  bool SetTypeQuery(const QByteArray& body) { return Script("xdg-mime", "asked", body); }
  // xdg-open: records its arguments and its process number, then runs `body`.
  bool SetOpener(const QByteArray& body) {
    return Script("xdg-open", "opened",
                  "echo $$ > '" + dir_.filePath(QStringLiteral("pid")).toUtf8() + "'\n" + body);
  }

 private:
  bool Script(const char* name, const char* record, const QByteArray& body) {
    const QString file = dir_.filePath(QStringLiteral("bin/") + QLatin1String(name));
    return WriteFileBytes(file, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" +
                                    dir_.filePath(QLatin1String(record)).toUtf8() + "'\n" + body +
                                    "\n") &&
           QFile::setPermissions(
               file, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }

  QTemporaryDir dir_;
  QByteArray path_, dataHome_, dataDirs_;
};

}  // namespace

class HelpAboutTest : public programtest::Fixture {
  Q_OBJECT

 protected:
  void SetUp() override { shell_ = std::make_unique<FakeShell>(); }
  void TearDown() override {
    program_.reset();
    FlushDeletes();
    shell_.reset();
  }

 private slots:
  void initTestCase() { programtest::InitCalculator(); }

  // ---- Help ----

  void helpMessage_data() {
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");  // empty: nothing is shown
    QTest::newRow("2 file not found") << 2
                                      << QStringLiteral(
                                             "HTML Help File not found (index.htm). Make sure it "
                                             "resides in the same directory as TPV120.EXE");
    QTest::newRow("3 path not found") << 3 << QStringLiteral("Path to HTML Help file not found");
    QTest::newRow("5 access denied") << 5 << QStringLiteral("Access denied");
    QTest::newRow("8 out of memory") << 8 << QStringLiteral("Out of memory");
    QTest::newRow("11 bad executable")
        << 11 << QStringLiteral("Invalid EXE file or error in EXE image");
    QTest::newRow("26 sharing violation") << 26 << QStringLiteral("A sharing violation occurred");
    QTest::newRow("27 bad association")
        << 27 << QStringLiteral("Incomplete or invalid file association");
    QTest::newRow("28 DDE time out") << 28 << QStringLiteral("DDE Time out");
    QTest::newRow("29 DDE failed") << 29 << QStringLiteral("DDE transaction failed");
    QTest::newRow("30 DDE busy") << 30 << QStringLiteral("DDE busy");
    QTest::newRow("31 no association") << 31
                                       << QStringLiteral(
                                              "No association for HTML file extension - You need "
                                              "an Internet browser to see this file!");
    QTest::newRow("32 DLL not found") << 32 << QStringLiteral("DLL not found");
    QTest::newRow("0 unknown") << 0
                               << QStringLiteral(
                                      "An unknown error occured. Make sure you have a web browser "
                                      "and the index.htm file in the directory");
    QTest::newRow("1 unknown") << 1
                               << QStringLiteral(
                                      "An unknown error occured. Make sure you have a web browser "
                                      "and the index.htm file in the directory");
    QTest::newRow("4 unknown") << 4
                               << QStringLiteral(
                                      "An unknown error occured. Make sure you have a web browser "
                                      "and the index.htm file in the directory");
    QTest::newRow("-1 unknown") << -1
                                << QStringLiteral(
                                       "An unknown error occured. Make sure you have a web browser "
                                       "and the index.htm file in the directory");
    QTest::newRow("33 success") << 33 << QString();
    QTest::newRow("42 success") << 42 << QString();
  }
  void helpMessage() {
    QFETCH(int, result);
    QFETCH(QString, message);
    start(QStringLiteral("/opt/tempiva"));
    shell_->result = result;
    QTest::mouseClick(compact()->control<QPushButton>("Command3"), Qt::LeftButton);
    QCOMPARE(shell_->opened.size(), 1);
    if (message.isEmpty()) {
      QCOMPARE(shell_->messages.size(), 0);
      return;
    }
    QCOMPARE(shell_->messages.size(), 1);
    QCOMPARE(shell_->messages[0].title, QStringLiteral("Tempiva"));
    QCOMPARE(shell_->messages[0].text, message);
  }

  void helpArguments_data() {
    QTest::addColumn<bool>("fromLarge");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("file");
    QTest::newRow("compact window")
        << false << QStringLiteral("/opt/tempiva") << QStringLiteral("/opt/tempiva/index.html");
    QTest::newRow("large window") << true << QStringLiteral("/opt/tempiva")
                                  << QStringLiteral("/opt/tempiva/index.html");
    QTest::newRow("root directory")
        << false << QStringLiteral("/") << QStringLiteral("//index.html");
    QTest::newRow("directory ending in a slash")
        << false << QStringLiteral("/opt/") << QStringLiteral("/opt//index.html");
    QTest::newRow("blanks, quotes, command text, non-ASCII")
        << false
        << QString::fromUtf8("/tmp/my dir/it's \"q\"/$(rm -rf x);ls/\xC3\x89t\xC3\xA9 \xE2\x99\xA9")
        << QString::fromUtf8(
               "/tmp/my dir/it's \"q\"/$(rm -rf x);ls/\xC3\x89t\xC3\xA9 \xE2\x99\xA9/index.html");
  }
  void helpArguments() {
    QFETCH(bool, fromLarge);
    QFETCH(QString, directory);
    QFETCH(QString, file);
    start(directory);
    if (fromLarge) program_->Max_Click();
    ui::CalculatorWindow* shown = program_->window(fromLarge ? Which::Large : Which::Compact);
    QTest::mouseClick(shown->control<QPushButton>("Command3"), Qt::LeftButton);
    QCOMPARE(shell_->opened.size(), 1);
    const FakeShell::OpenCall& call = shell_->opened[0];
    QVERIFY(call.owner == nullptr);
    QCOMPARE(call.verb, QStringLiteral("Open"));
    QCOMPARE(call.file, file);
    QVERIFY(call.parameters.isEmpty());
    QCOMPARE(call.directory, QStringLiteral("/"));
    QCOMPARE(call.showCommand, 1);
  }

  // ---- Help through the desktop: fake xdg-mime and xdg-open ----

  void helpThroughTheDesktop_data() {
    QTest::addColumn<QByteArray>("typeQuery");  // the fake xdg-mime's script
    QTest::addColumn<QByteArray>("opener");     // the fake xdg-open's script
    QTest::addColumn<bool>("opens");            // xdg-open is started
    QTest::addColumn<int>("result");            // above 32: no message

    QTest::newRow("handler installed, page opened")
        << QByteArray("echo test-browser.desktop") << QByteArray("exit 0") << true << 42;
    QTest::newRow("handler in a vendor subfolder")
        << QByteArray("echo vendor-browser.desktop") << QByteArray("exit 0") << true << 42;
    QTest::newRow("second of several handlers installed")
        << QByteArray("echo 'gone.desktop;test-browser.desktop;'") << QByteArray("exit 0") << true
        << 42;
    QTest::newRow("no handler for HTML")
        << QByteArray("exit 0") << QByteArray("exit 0") << false << 31;
    QTest::newRow("handler named but not installed")
        << QByteArray("echo gone.desktop") << QByteArray("exit 0") << false << 31;
    QTest::newRow("answer names no desktop entry")
        << QByteArray("echo test-browser") << QByteArray("exit 0") << false << 31;
    QTest::newRow("type query fails: opened anyway")
        << QByteArray("exit 4") << QByteArray("exit 0") << true << 42;
    QTest::newRow("type query crashes: opened anyway")
        << QByteArray("kill -9 $$") << QByteArray("exit 0") << true << 42;
    QTest::newRow("type query hangs: opened after its time")
        << QByteArray("exec sleep 60") << QByteArray("exit 0") << true << 42;
    QTest::newRow("opener: file does not exist (2)")
        << QByteArray("echo test-browser.desktop") << QByteArray("exit 2") << true << 2;
    QTest::newRow("opener: required tool missing (3)")
        << QByteArray("echo test-browser.desktop") << QByteArray("exit 3") << true << 31;
    QTest::newRow("opener: action failed (4)")
        << QByteArray("echo test-browser.desktop") << QByteArray("exit 4") << true << 27;
    QTest::newRow("opener: command line refused (1)")
        << QByteArray("echo test-browser.desktop") << QByteArray("exit 1") << true << 0;
    QTest::newRow("opener: undocumented status (9)")
        << QByteArray("echo test-browser.desktop") << QByteArray("exit 9") << true << 0;
    QTest::newRow("opener killed")
        << QByteArray("echo test-browser.desktop") << QByteArray("kill -9 $$") << true << 0;
  }
  void helpThroughTheDesktop() {
    QFETCH(QByteArray, typeQuery);
    QFETCH(QByteArray, opener);
    QFETCH(bool, opens);
    QFETCH(int, result);
    FakeDesktop desktop;
    QVERIFY(desktop.isValid());
    QVERIFY(desktop.SetTypeQuery(typeQuery));
    QVERIFY(desktop.SetOpener(opener));
    RecordingShell shell;
    ui::Program program('.', shell, desktop.program());

    program.Command3_Click();
    QVERIFY(!shell.Idle());  // nothing is waited for
    QTRY_VERIFY_WITH_TIMEOUT(shell.Idle(), 20000);
    QCOMPARE(desktop.askedFor(), QByteArray("query\ndefault\ntext/html\n"));
    QCOMPARE(desktop.opened(), opens ? desktop.page().toUtf8() + '\n' : QByteArray("<unreadable>"));
    const QStringList expected = result > 32 ? QStringList() : QStringList{ui::HelpMessage(result)};
    QCOMPARE(shell.messages, expected);
  }

  void helpDoesNotWaitForTheBrowser() {
    FakeDesktop desktop;
    QVERIFY(desktop.isValid());
    QVERIFY(desktop.SetTypeQuery("echo test-browser.desktop"));
    QVERIFY(desktop.SetOpener("exec sleep 60"));  // the browser runs in the foreground
    auto shell = std::make_unique<RecordingShell>();
    {
      ui::Program program('.', *shell, desktop.program());
      program.Command3_Click();
      QTRY_COMPARE_WITH_TIMEOUT(desktop.opened(), desktop.page().toUtf8() + '\n', 20000);
      QTRY_VERIFY(desktop.openerPid() > 0);
      QVERIFY(!shell->Idle());
      QVERIFY(shell->messages.isEmpty());
    }
    // The program ended while the opener ran: no message, and the opener
    // does not outlive the shell by more than its bounded end.
    const int pid = desktop.openerPid();
    QCOMPARE(::kill(pid, 0), 0);
    shell.reset();
    QCOMPARE(::kill(pid, 0), -1);
  }

  // What failed to open the page is said; how the browser, run by the opener
  // in the foreground, ends once the page is shown is not.
  void helpReportsOnlyAFailureToOpen_data() {
    QTest::addColumn<int>("graceMs");
    QTest::addColumn<QByteArray>("opener");  // the fake xdg-open's script
    QTest::addColumn<int>("result");         // above 32: no message
    const int standard = ui::XdgDesktopShell::kOpenerGraceMs;
    QTest::newRow("fails at once") << standard << QByteArray("exit 4") << 27;
    QTest::newRow("fails within its grace") << 3000 << QByteArray("sleep 0.3; exit 4") << 27;
    QTest::newRow("killed within its grace") << 3000 << QByteArray("sleep 0.3; kill -9 $$") << 0;
    QTest::newRow("browser ends with an error after the grace")
        << 300 << QByteArray("sleep 1.5; exit 4") << 42;
    QTest::newRow("browser killed after the grace")
        << 300 << QByteArray("sleep 1.5; kill -9 $$") << 42;
    QTest::newRow("browser ends with an error after the standard grace")
        << standard << QByteArray("sleep 6; exit 1") << 42;
  }
  void helpReportsOnlyAFailureToOpen() {
    QFETCH(int, graceMs);
    QFETCH(QByteArray, opener);
    QFETCH(int, result);
    FakeDesktop desktop;
    QVERIFY(desktop.isValid());
    QVERIFY(desktop.SetTypeQuery("echo test-browser.desktop"));
    QVERIFY(desktop.SetOpener(opener));
    RecordingShell shell(graceMs);
    ui::Program program('.', shell, desktop.program());
    program.Command3_Click();
    QTRY_VERIFY_WITH_TIMEOUT(shell.Idle(), 20000);
    QCOMPARE(desktop.opened(), desktop.page().toUtf8() + '\n');
    const QStringList expected = result > 32 ? QStringList() : QStringList{ui::HelpMessage(result)};
    QCOMPARE(shell.messages, expected);
  }

  void helpFailureAfterTheProgramEndedShowsNothing() {
    FakeDesktop desktop;
    QVERIFY(desktop.isValid());
    QVERIFY(desktop.SetTypeQuery("echo test-browser.desktop"));
    QVERIFY(desktop.SetOpener("sleep 1; exit 4"));
    RecordingShell shell;
    {
      ui::Program program('.', shell, desktop.program());
      program.Command3_Click();
      QTRY_VERIFY(desktop.openerPid() > 0);
    }
    QTRY_VERIFY_WITH_TIMEOUT(shell.Idle(), 20000);
    QCOMPARE(shell.messages, QStringList());
  }

  // ---- About ----

  void aboutPlacement_data() {
    QTest::addColumn<bool>("fromLarge");
    QTest::addColumn<QPoint>("place");
    QTest::newRow("from the compact window") << false << QPoint(100, 200);
    QTest::newRow("from the large window") << true << QPoint(113, 223);
  }
  void aboutPlacement() {
    QFETCH(bool, fromLarge);
    QFETCH(QPoint, place);
    start();
    if (fromLarge) program_->Max_Click();
    ui::CalculatorWindow* shown = program_->window(fromLarge ? Which::Large : Which::Compact);
    shown->move(100, 200);
    QTest::mouseClick(shown->control<QPushButton>("Command4"), Qt::LeftButton);
    QDialog* box = program_->about();
    QVERIFY(box != nullptr);
    QVERIFY(box->isVisible());
    QCOMPARE(box->objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(box->windowTitle(), QStringLiteral("About Tempiva"));
    QCOMPARE(box->pos(), place);
  }

  void secondAboutClickMovesTheOneBox() {
    start();
    compact()->move(10, 20);
    program_->Command4_Click(Which::Compact);
    QPointer<QDialog> box = program_->about();
    QVERIFY(box != nullptr);
    program_->Max_Click();
    large()->move(300, 400);
    program_->Command4_Click(Which::Large);
    QCOMPARE(program_->about(), box.data());
    QCOMPARE(box->pos(), QPoint(313, 423));
    QVERIFY(box->isVisible());
  }

  void firstAboutFromCompactLoadsLargeHidden() {
    QVERIFY(Store(QStringLiteral("Left"), QStringLiteral("3000")));
    QVERIFY(Store(QStringLiteral("Top"), QStringLiteral("1500")));
    QVERIFY(Store(QStringLiteral("BPM"), QStringLiteral("90")));
    start();
    SetText(compact(), "bpm", QStringLiteral("100"));
    QVERIFY(large() == nullptr);
    program_->Command4_Click(Which::Compact);
    QVERIFY(large() != nullptr);
    QVERIFY(!large()->isVisible());
    QVERIFY(compact()->isVisible());
    // Restored from the saved settings, not copied from the compact window.
    QCOMPARE(large()->pos(), QPoint(200, 100));
    QCOMPARE(Text(large(), "bpm"), QStringLiteral("90"));
  }

  void aboutButtonsBoldWhileOpen_data() {
    QTest::addColumn<QString>("closing");
    QTest::newRow("Close button") << QStringLiteral("cmdOK");
    QTest::newRow("Escape") << QStringLiteral("Escape");
    QTest::newRow("Enter") << QStringLiteral("Enter");
    QTest::newRow("close box") << QStringLiteral("close");
  }
  void aboutButtonsBoldWhileOpen() {
    QFETCH(QString, closing);
    start();
    program_->Command4_Click(Which::Compact);
    QDialog* box = program_->about();
    QVERIFY(box != nullptr);
    QVERIFY(aboutBold(Which::Compact));
    QVERIFY(aboutBold(Which::Large));
    QSignalSpy finished(program_.get(), &ui::Program::finished);

    if (closing == QLatin1String("cmdOK")) {
      QTest::mouseClick(box->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    } else if (closing == QLatin1String("Escape")) {
      QTest::keyClick(box, Qt::Key_Escape);
    } else if (closing == QLatin1String("Enter")) {
      QTest::keyClick(box, Qt::Key_Return);
    } else {
      box->close();
    }

    QVERIFY(program_->about() == nullptr);
    QVERIFY(!aboutBold(Which::Compact));
    QVERIFY(!aboutBold(Which::Large));
    QCOMPARE(finished.count(), 0);
    FlushDeletes();
    // The next click opens a new box with its title.
    program_->Command4_Click(Which::Compact);
    QVERIFY(program_->about() != nullptr);
    QCOMPARE(program_->about()->windowTitle(), QStringLiteral("About Tempiva"));
    QVERIFY(aboutBold(Which::Compact));
  }

  void linkOpensTheMakersPage_data() {
    QTest::addColumn<int>("result");
    QTest::newRow("shell succeeds") << 42;
    QTest::newRow("shell fails") << 2;
  }
  void linkOpensTheMakersPage() {
    QFETCH(int, result);
    start();
    program_->Command4_Click(Which::Compact);
    QDialog* box = program_->about();
    shell_->result = result;
    auto* link = box->findChild<QLabel*>("Label1");
    QVERIFY(link != nullptr);
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(shell_->opened.size(), 1);
    const FakeShell::OpenCall& call = shell_->opened[0];
    QCOMPARE(call.owner, static_cast<QWidget*>(box));
    QVERIFY(call.verb.isEmpty());
    QCOMPARE(call.file, QStringLiteral(TEMPIVA_TEST_MAKER_ADDRESS));
    QVERIFY(call.parameters.isEmpty());
    QCOMPARE(call.showCommand, 1);
    QCOMPARE(shell_->messages.size(), 0);
    QVERIFY(box->isVisible());
  }

  void exitWithAboutOpenEndsWhenTheBoxCloses_data() {
    QTest::addColumn<bool>("fromLarge");
    QTest::newRow("exit of the compact window") << false;
    QTest::newRow("exit of the large window") << true;
  }
  void exitWithAboutOpenEndsWhenTheBoxCloses() {
    QFETCH(bool, fromLarge);
    start();
    if (fromLarge) program_->Max_Click();
    ui::CalculatorWindow* shown = program_->window(fromLarge ? Which::Large : Which::Compact);
    QTest::mouseClick(shown->control<QPushButton>("Command4"), Qt::LeftButton);
    QSignalSpy finished(program_.get(), &ui::Program::finished);

    QTest::mouseClick(shown->control<QPushButton>("Command2"), Qt::LeftButton);
    QVERIFY(compact() == nullptr);
    QVERIFY(large() == nullptr);
    QVERIFY(program_->running());
    QCOMPARE(finished.count(), 0);
    FlushDeletes();
    QDialog* box = program_->about();
    QVERIFY(box != nullptr);
    QVERIFY(box->isVisible());

    QTest::mouseClick(box->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    QCOMPARE(finished.count(), 1);
    QVERIFY(compact() == nullptr);
    QVERIFY(large() == nullptr);
    QVERIFY(!program_->running());
    FlushDeletes();
  }

  void heldKeyDoesNotCloseTheBox_data() {
    QTest::addColumn<int>("releasedKey");  // released just before the press; 0: none
    QTest::addColumn<qulonglong>("releasedAt");
    QTest::addColumn<int>("pressedKey");
    QTest::addColumn<qulonglong>("pressedAt");
    QTest::addColumn<bool>("markedRepeat");  // the platform marks the press a repeat
    QTest::addColumn<bool>("closes");

    const int escape = Qt::Key_Escape;
    const int enter = Qt::Key_Return;
    QTest::newRow("Escape pressed") << 0 << 0ULL << escape << 500ULL << false << true;
    QTest::newRow("Enter pressed") << 0 << 0ULL << enter << 500ULL << false << true;
    QTest::newRow("Escape repeat marked by the platform")
        << 0 << 0ULL << escape << 500ULL << true << false;
    QTest::newRow("Enter repeat marked by the platform")
        << 0 << 0ULL << enter << 500ULL << true << false;
    QTest::newRow("Escape repeat as a release-press pair")
        << escape << 500ULL << escape << 500ULL << false << false;
    QTest::newRow("Enter repeat as a release-press pair")
        << enter << 500ULL << enter << 500ULL << false << false;
    QTest::newRow("keypad Enter repeat as a release-press pair")
        << int(Qt::Key_Enter) << 500ULL << int(Qt::Key_Enter) << 500ULL << false << false;
    QTest::newRow("Escape let go and pressed again")
        << escape << 500ULL << escape << 620ULL << false << true;
    QTest::newRow("Enter let go and pressed again")
        << enter << 500ULL << enter << 620ULL << false << true;
    QTest::newRow("Escape sent without time stamps")
        << escape << 0ULL << escape << 0ULL << false << true;
    QTest::newRow("another key let go as Escape is pressed")
        << int(Qt::Key_A) << 500ULL << escape << 500ULL << false << true;
  }
  void heldKeyDoesNotCloseTheBox() {
    QFETCH(int, releasedKey);
    QFETCH(qulonglong, releasedAt);
    QFETCH(int, pressedKey);
    QFETCH(qulonglong, pressedAt);
    QFETCH(bool, markedRepeat);
    QFETCH(bool, closes);
    start();
    program_->Command4_Click(Which::Compact);
    QDialog* box = program_->about();
    QVERIFY(box != nullptr);
    QWidget* focus = box->focusWidget() ? box->focusWidget() : box;
    if (releasedKey != 0) {
      QKeyEvent release(QEvent::KeyRelease, releasedKey, Qt::NoModifier);
      release.setTimestamp(releasedAt);
      QCoreApplication::sendEvent(focus, &release);
    }
    QKeyEvent press(QEvent::KeyPress, pressedKey, Qt::NoModifier, QString(), markedRepeat);
    press.setTimestamp(pressedAt);
    QCoreApplication::sendEvent(focus, &press);

    QCOMPARE(program_->about() == nullptr, closes);
    QCOMPARE(box->isVisible(), !closes);
    FlushDeletes();
    // Help and About work afterwards.
    QTest::mouseClick(compact()->control<QPushButton>("Command3"), Qt::LeftButton);
    QCOMPARE(shell_->opened.size(), 1);
    QTest::mouseClick(compact()->control<QPushButton>("Command4"), Qt::LeftButton);
    QVERIFY(program_->about() != nullptr);
    QVERIFY(program_->about()->isVisible());
  }

 private:
  void start(const QString& directory = QStringLiteral("/opt/tempiva")) {
    program_ = std::make_unique<ui::Program>('.', *shell_, directory);
    program_->Start();
  }
  ui::CalculatorWindow* compact() const { return program_->window(Which::Compact); }
  ui::CalculatorWindow* large() const { return program_->window(Which::Large); }
  bool aboutBold(Which which) const {
    const ui::CalculatorWindow* window = program_->window(which);
    return window != nullptr && window->control<QPushButton>("Command4")->font().bold();
  }

  std::unique_ptr<FakeShell> shell_;
  std::unique_ptr<ui::Program> program_;
};

QTEST_MAIN(HelpAboutTest)
#include "help_about_test.moc"
