// Help hands the help page to the desktop shell and explains a failure; the
// About box opens at its place, bolds the About buttons while open, opens the
// maker's page and keeps the program alive until it is closed.
#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "looks.h"
#include "program.h"
#include "program_test_support.h"

using namespace programtest;
using ui::Which;

class HelpAboutTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ui::InitApplication(); }
  void init() {
    home_ = std::make_unique<ConfigHome>();
    QVERIFY(home_->isValid());
    shell_ = std::make_unique<FakeShell>();
  }
  void cleanup() {
    program_.reset();
    FlushDeletes();
    shell_.reset();
    home_.reset();
  }

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

  std::unique_ptr<ConfigHome> home_;
  std::unique_ptr<FakeShell> shell_;
  std::unique_ptr<ui::Program> program_;
};

QTEST_MAIN(HelpAboutTest)
#include "help_about_test.moc"
