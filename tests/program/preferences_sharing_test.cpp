// The preferences file shared by two copies of the calculator and edited by
// hand while they run: a change writes its own key alone, every other line
// stays byte for byte, a failed save says why in the window, and what a save
// cut short left behind is removed by the next one.
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <cstring>
#include <functional>

#include "config_paths.h"
#include "extras_test_support.h"
#include "settings.h"

using namespace extrastest;
using calc::MidiNumbering;
using ui::Which;

namespace {

// One change through the window menu, as a user makes it.
enum class Change { KeepAbove, Pitch432, SequencerNumbering };

void Make(ProgramRun& run, Change change) {
  switch (change) {
    case Change::KeepAbove:
      run.extras().SetKeepAbove(true);
      break;
    case Change::Pitch432:
      run.extras().SetReferencePitch(432);
      break;
    case Change::SequencerNumbering:
      run.extras().SetNumbering(MidiNumbering::CMinus1IsZero);
      break;
  }
}

// The window menu's entries as the user reads them.
QStringList WindowMenu(ui::CalculatorWindow* window) {
  QMenu* menu = RequestMenu(window, QContextMenuEvent::Mouse);
  const QStringList entries = menu ? Describe(menu) : QStringList{"<no menu>"};
  CloseMenus();
  return entries;
}

// How a child process ended: what it said on standard error, and its status.
struct ChildEnd {
  QByteArray error;
  int status = -1;
};

// Runs `work` in a child process of its own, without core files.
ChildEnd InChild(const std::function<int()>& work) {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    ::dup2(fds[1], STDERR_FILENO);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::_exit(work());
  }
  ::close(fds[1]);
  ChildEnd end;
  char buffer[4096];
  for (ssize_t got; (got = ::read(fds[0], buffer, sizeof buffer)) > 0;)
    end.error.append(buffer, got);
  ::close(fds[0]);
  ::waitpid(pid, &end.status, 0);
  return end;
}

bool WriteText(const char* path, const QByteArray& text) {
  QFile file(QString::fromLatin1(path));
  return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// In a child: `folder` becomes a small file system of its own, full but for
// one page, where the save's lock file fits and its content does not. False
// where the system allows no private mount.
bool FillDisk(const QString& folder) {
  const uid_t uid = ::geteuid();
  const gid_t gid = ::getegid();
  if (::unshare(CLONE_NEWNS | (uid == 0 ? 0 : CLONE_NEWUSER)) != 0) return false;
  if (uid != 0 &&
      !(WriteText("/proc/self/setgroups", "deny") &&
        WriteText("/proc/self/uid_map", QByteArray::number(uid).prepend("0 ") + " 1") &&
        WriteText("/proc/self/gid_map", QByteArray::number(gid).prepend("0 ") + " 1"))) {
    return false;
  }
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
  const QByteArray where = QFile::encodeName(folder);
  if (::mount("tempiva-test", where.constData(), "tmpfs", 0, "size=16k") != 0) return false;
  const QString reserve = folder + QStringLiteral("/reserve");
  if (!programtest::WriteFileBytes(reserve, "r")) return false;
  QFile filler(folder + QStringLiteral("/filler"));
  if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
  const QByteArray block(512, 'x');
  while (filler.write(block) == block.size()) {
  }
  return QFile::remove(reserve);
}

// A comment long enough that the file outgrows a limit its lock file fits in.
const QByteArray kLongComment = "; " + QByteArray(600, 'c') + '\n';

}  // namespace

Q_DECLARE_METATYPE(Change)

class PreferencesSharingTest : public programtest::Fixture {
  Q_OBJECT

 private slots:
  void initTestCase() { programtest::InitCalculator(); }

  void twoCopiesKeepEachOthersChanges_data() {
    QTest::addColumn<Change>("first");
    QTest::addColumn<Change>("second");
    const std::pair<Change, const char*> changes[] = {{Change::KeepAbove, "keep above"},
                                                      {Change::Pitch432, "pitch 432"},
                                                      {Change::SequencerNumbering, "numbering"}};
    for (const auto& [first, firstName] : changes) {
      for (const auto& [second, secondName] : changes) {
        if (first != second) {
          QTest::addRow("%s in one copy, then %s in the other", firstName, secondName)
              << first << second;
        }
      }
    }
  }
  // Both copies read the file at start; each then changes a different key.
  void twoCopiesKeepEachOthersChanges() {
    QFETCH(Change, first);
    QFETCH(Change, second);
    ProgramRun one;
    ProgramRun other;
    QVERIFY(one.Start());
    QVERIFY(other.Start());
    Make(one, first);
    Make(other, second);
    const extras::Preferences stored = extras::PreferencesFile(settings::PreferencesPath()).Read();
    for (Change change : {first, second}) {
      switch (change) {
        case Change::KeepAbove:
          QVERIFY(stored.keepAbove);
          break;
        case Change::Pitch432:
          QCOMPARE(stored.referencePitch, 432);
          break;
        case Change::SequencerNumbering:
          QVERIFY(stored.numbering == MidiNumbering::CMinus1IsZero);
          break;
      }
    }
  }

  void otherLinesStayByteForByte_data() {
    QTest::addColumn<QByteArray>("edited");    // the file as edited by hand while it runs
    QTest::addColumn<QByteArray>("expected");  // after Keep Above is turned on
    QTest::newRow("a comment after a value")
        << QByteArray("[Preferences]\nReferencePitch=446 ; my old piano\n")
        << QByteArray("[Preferences]\nReferencePitch=446 ; my old piano\nKeepAbove=true\n");
    QTest::newRow("unreadable values of other keys")
        << QByteArray("[Preferences]\r\nMidiNumbering=C7\r\nReferencePitch=441\r\n")
        << QByteArray(
               "[Preferences]\r\nMidiNumbering=C7\r\nReferencePitch=441\r\nKeepAbove=true\r\n");
    QTest::newRow("a hand edit to another key, comments and spacing")
        << QByteArray(
               "; mine\n[Preferences]\n  ReferencePitch = 415\nKeepAbove=false\n\n[X]\na=b\n")
        << QByteArray(
               "; mine\n[Preferences]\n  ReferencePitch = 415\nKeepAbove=true\n\n[X]\na=b\n");
  }
  void otherLinesStayByteForByte() {
    QFETCH(QByteArray, edited);
    QFETCH(QByteArray, expected);
    QVERIFY(Restart());
    QVERIFY(QDir().mkpath(home().path() + QStringLiteral("/tempiva")));
    QVERIFY(programtest::WriteFileBytes(settings::PreferencesPath(), edited));
    run().extras().SetKeepAbove(true);
    QCOMPARE(programtest::FileBytes(settings::PreferencesPath()), expected);
  }

  void failedSaveSaysTheSystemsReason_data() {
    QTest::addColumn<bool>("fullDisk");  // else a file size limit
    QTest::addColumn<QString>("reason");
    QTest::newRow("a full disk") << true << QString::fromLocal8Bit(std::strerror(ENOSPC));
    QTest::newRow("a file size limit") << false << QString::fromLocal8Bit(std::strerror(EFBIG));
  }
  void failedSaveSaysTheSystemsReason() {
    QFETCH(bool, fullDisk);
    QFETCH(QString, reason);
    const QString folder = home().path() + QStringLiteral("/tempiva");
    QVERIFY(QDir().mkpath(folder));
    const QString path = settings::PreferencesPath();
    const ChildEnd end = InChild([&] {
      if (fullDisk && !FillDisk(folder)) return 77;
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit small{400, 400};
      if (!fullDisk && !(programtest::WriteFileBytes(path, "[Preferences]\n" + kLongComment) &&
                         ::setrlimit(RLIMIT_FSIZE, &small) == 0)) {
        return 77;
      }
      extras::Preferences preferences;
      preferences.keepAbove = true;
      return extras::PreferencesFile(path).Write(preferences) ? 1 : 0;
    });
    QVERIFY(WIFEXITED(end.status));
    if (WEXITSTATUS(end.status) == 77) QSKIP("no private file system for this test here");
    QCOMPARE(WEXITSTATUS(end.status), 0);
    QVERIFY2(end.error.contains(": " + reason.toLocal8Bit() + "; nothing was changed"),
             end.error.constData());
  }

  void failedSaveShowsInTheWindow() {
    ui::CalculatorWindow* window = Restart();
    QVERIFY(window);
    QVERIFY(QDir().mkpath(home().path() + QStringLiteral("/tempiva")));
    const QByteArray stored = "[Preferences]\n" + kLongComment;
    QVERIFY(programtest::WriteFileBytes(settings::PreferencesPath(), stored));
    const QString reason = QString::fromLocal8Bit(std::strerror(EFBIG));
    {
      const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
      rlimit before{};
      ::getrlimit(RLIMIT_FSIZE, &before);
      rlimit small = before;
      small.rlim_cur = 400;  // room for the lock file, not for the preferences
      ::setrlimit(RLIMIT_FSIZE, &small);
      programtest::ErrorOutput error;
      run().extras().SetKeepAbove(true);
      run().extras().SetReferencePitch(432);
      ::setrlimit(RLIMIT_FSIZE, &before);
      ::signal(SIGXFSZ, oldHandler);
    }
    QCOMPARE(programtest::FileBytes(settings::PreferencesPath()), stored);
    const QStringList entries = WindowMenu(window);
    QVERIFY2(entries.contains("(on) Keep Above Other Windows (not saved: " + reason + ")"),
             qPrintable(entries.join('\n')));
    QVERIFY2(entries.contains("Reference Pitch (not saved: " + reason + ") >"),
             qPrintable(entries.join('\n')));
    QVERIFY2(entries.contains("MIDI Numbering >"), qPrintable(entries.join('\n')));
    QLabel* note = run().extras().note();
    QVERIFY(note && note->isVisible());
    QCOMPARE(note->text(), "Preference not saved: " + reason);
    QVERIFY(!note->parentWidget());  // a window of its own, not one of the calculator's controls

    // Saved at the next change: the entry reads as before.
    run().extras().SetKeepAbove(false);
    run().extras().SetKeepAbove(true);
    QVERIFY(WindowMenu(window).contains("(on) Keep Above Other Windows"));
    QVERIFY(extras::PreferencesFile(settings::PreferencesPath()).Read().keepAbove);
  }

  // A save killed between writing its temporary file and renaming it leaves
  // that file; the next save removes it and nothing else.
  void nextSaveRemovesWhatAnInterruptedSaveLeft() {
    const QString folder = home().path() + QStringLiteral("/tempiva");
    QVERIFY(QDir().mkpath(folder));
    const QString path = settings::PreferencesPath();
    const QByteArray stored = kLongComment + "[Preferences]\nReferencePitch=432 ; kept\n";
    QVERIFY(programtest::WriteFileBytes(path, stored));
    const QStringList others = {"preferences.ini.save-notes", "preferences.ini.save-abc1234",
                                "preferences.ini.backup", "TPVINI.ini.save-AbC123",
                                "my.preferences.ini.save-AbC123"};
    for (const QString& name : others) {
      QVERIFY(programtest::WriteFileBytes(folder + '/' + name, "mine"));
    }
    QVERIFY(QDir(folder).mkdir(QStringLiteral("preferences.ini.save-Folder")));
    const ChildEnd end = InChild([&] {
      const rlimit small{400, 400};  // the write passes this size: the kernel ends the process
      ::setrlimit(RLIMIT_FSIZE, &small);
      extras::Preferences preferences;
      preferences.numbering = MidiNumbering::CMinus1IsZero;
      preferences.referencePitch = 432;
      extras::PreferencesFile(path).Write(preferences);
      return 0;
    });
    QVERIFY2(WIFSIGNALED(end.status) && WTERMSIG(end.status) == SIGXFSZ, end.error.constData());
    // The file, the others, and what the save left: its lock and its temporary file.
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(left.size(), others.size() + 3);
    QVERIFY(left.contains(QStringLiteral("preferences.ini.lock")));
    QCOMPARE(
        left.filter(QRegularExpression(QStringLiteral("^preferences.ini.save-[A-Za-z0-9]{6}$")))
            .size(),
        1);

    QVERIFY(Restart());
    run().extras().SetKeepAbove(true);
    QStringList expected = others;
    expected << "preferences.ini";
    expected.sort();
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    QVERIFY(QFileInfo(folder + QStringLiteral("/preferences.ini.save-Folder")).isDir());
    QCOMPARE(programtest::FileBytes(path), stored + "KeepAbove=true\n");
  }
};

QTEST_MAIN(PreferencesSharingTest)
#include "preferences_sharing_test.moc"
