#include "desktop_shell.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "stacking.h"

namespace ui {
namespace {

// Long enough for any opener to die of its kill; the shell is going away.
constexpr int kEndWaitMs = 1000;

QString Locate(const QString& program) {
  return QFileInfo(program).isAbsolute() ? program : QStandardPaths::findExecutable(program);
}

// A desktop entry's ID names its file under an applications folder; each
// dash in the ID may stand for a subfolder ("kde-foo.desktop" may be
// "kde/foo.desktop").
bool EntryFileExists(const QDir& folder, const QString& id) {
  if (QFileInfo(folder.filePath(id)).isFile()) return true;
  for (qsizetype dash = id.indexOf(QLatin1Char('-')); dash > 0;
       dash = id.indexOf(QLatin1Char('-'), dash + 1)) {
    const QString sub = id.left(dash);
    if (folder.exists(sub) && EntryFileExists(QDir(folder.filePath(sub)), id.mid(dash + 1))) {
      return true;
    }
  }
  return false;
}

void Report(const DesktopShell::LateFailure& lateFailure, int result) {
  if (result <= 32 && lateFailure) lateFailure(result);
}

}  // namespace

XdgDesktopShell::XdgDesktopShell(QString opener, QString typeQuery, int openerGraceMs)
    : opener_(std::move(opener)), typeQuery_(std::move(typeQuery)), openerGraceMs_(openerGraceMs) {}

XdgDesktopShell::~XdgDesktopShell() {
  for (QProcess* process : running_.findChildren<QProcess*>()) {
    process->disconnect();
    if (process->state() == QProcess::NotRunning) continue;
    process->kill();
    process->waitForFinished(kEndWaitMs);
  }
}

int XdgDesktopShell::ResultOfOpenerExit(bool crashed, int exitCode) {
  if (crashed) return shell::kUnknownFailure;
  switch (exitCode) {
    case 0:
      return shell::kSuccess;
    case 2:  // the file does not exist
      return shell::kFileNotFound;
    case 3:  // a required tool is missing: nothing can open this type
      return shell::kNoAssociation;
    case 4:  // the action failed: the program chosen for the type could not do it
      return shell::kBadAssociation;
    default:  // 1 (its own command line) and anything undocumented
      return shell::kUnknownFailure;
  }
}

bool XdgDesktopShell::NamesInstalledEntry(const QString& answer) {
  static const QRegularExpression separators(QStringLiteral("[;\\s]+"));
  const QStringList folders =
      QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
  for (const QString& id : answer.split(separators, Qt::SkipEmptyParts)) {
    if (!id.endsWith(QLatin1String(".desktop")) || id.contains(QLatin1Char('/'))) continue;
    for (const QString& folder : folders) {
      if (EntryFileExists(QDir(folder), id)) return true;
    }
  }
  return false;
}

int XdgDesktopShell::Open(QWidget* owner, const QString& verb, const QString& file,
                          const QString& parameters, const QString& directory, int showCommand) {
  return OpenWatched(owner, verb, file, parameters, directory, showCommand, {});
}

int XdgDesktopShell::OpenWatched(QWidget*, const QString&, const QString& file,
                                 const QString& parameters, const QString& directory, int,
                                 LateFailure lateFailure) {
  const QUrl address(file);
  const bool webAddress = address.scheme().size() > 1 && !QFileInfo(file).isAbsolute();
  if (!webAddress) {
    const QFileInfo target(file);
    if (!target.dir().exists()) return shell::kPathNotFound;
    if (!target.exists()) return shell::kFileNotFound;
    if (!target.isReadable()) return shell::kAccessDenied;
  }
  const QString program = Locate(opener_);
  if (program.isEmpty()) return shell::kNoAssociation;

  Launch launch{program,
                {file},
                QDir(directory).exists() ? directory : QDir::rootPath(),
                std::move(lateFailure)};
  if (!parameters.isEmpty()) launch.arguments += parameters;

  const QString query = Locate(typeQuery_);
  const QString mimeType =
      webAddress ? QStringLiteral("x-scheme-handler/") + address.scheme().toLower()
                 : QMimeDatabase().mimeTypeForFile(file, QMimeDatabase::MatchExtension).name();
  if (query.isEmpty() || mimeType.isEmpty()) {  // nothing to ask: the opener's status tells
    StartOpener(launch);
    return shell::kSuccess;
  }
  AskForHandler(query, mimeType, std::move(launch));
  return shell::kSuccess;
}

void XdgDesktopShell::AskForHandler(const QString& query, const QString& mimeType, Launch launch) {
  auto* process = new QProcess(&running_);
  process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process->setStandardInputFile(QProcess::nullDevice());
  process->setWorkingDirectory(QDir::rootPath());
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [this, process, launch](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     process->deleteLater();
                     StartOpener(launch);  // the question could not be asked
                   });
  QObject::connect(
      process, &QProcess::finished, process,
      [this, process, launch](int exitCode, QProcess::ExitStatus status) {
        process->deleteLater();
        // Only a clear answer stops the open; a failed or late query says nothing.
        if (status == QProcess::NormalExit && exitCode == 0 &&
            !NamesInstalledEntry(QString::fromLocal8Bit(process->readAllStandardOutput()))) {
          Report(launch.lateFailure, shell::kNoAssociation);
          return;
        }
        StartOpener(launch);
      });
  QTimer::singleShot(kQueryTimeoutMs, process, [process] { process->kill(); });
  process->start(query, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
}

void XdgDesktopShell::StartOpener(const Launch& launch) {
  auto* process = new QProcess(&running_);
  // The opener and what it starts write to our terminal and read nothing:
  // no pipe of ours may break under them when we end.
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  process->setStandardInputFile(QProcess::nullDevice());
  process->setWorkingDirectory(launch.workingDirectory);
  const LateFailure lateFailure = launch.lateFailure;
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [process, lateFailure](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     process->deleteLater();
                     Report(lateFailure, shell::kNoAssociation);
                   });
  QElapsedTimer running;
  running.start();
  QObject::connect(process, &QProcess::finished, process,
                   [process, lateFailure, running, grace = openerGraceMs_](
                       int exitCode, QProcess::ExitStatus status) {
                     process->deleteLater();
                     // Past its grace the opener is the browser showing the page.
                     if (running.hasExpired(grace)) return;
                     Report(lateFailure,
                            ResultOfOpenerExit(status != QProcess::NormalExit, exitCode));
                   });
  process->start(launch.program, launch.arguments);
}

bool XdgDesktopShell::Idle() const {
  const QList<QProcess*> helpers = running_.findChildren<QProcess*>();
  return std::all_of(helpers.begin(), helpers.end(), [](const QProcess* process) {
    return process->state() == QProcess::NotRunning;
  });
}

void XdgDesktopShell::ShowMessage(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
  // Not owned by the window it stands above, which may go while the box is
  // open (a session that ends): its unload lets go of the box first.
  SetTransientFor(box, messageOver());
  box.exec();
}

}  // namespace ui
