#include "desktop_shell.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace ui {

XdgDesktopShell::XdgDesktopShell(QString opener) : opener_(std::move(opener)) {}

int XdgDesktopShell::Open(QWidget*, const QString&, const QString& file, const QString& parameters,
                          const QString& directory, int) {
  const bool webAddress = QUrl(file).scheme().size() > 1 && !QFileInfo(file).isAbsolute();
  if (!webAddress) {
    const QFileInfo target(file);
    if (!target.dir().exists()) return shell::kPathNotFound;
    if (!target.exists()) return shell::kFileNotFound;
    if (!target.isReadable()) return shell::kAccessDenied;
  }
  const QString program =
      QFileInfo(opener_).isAbsolute() ? opener_ : QStandardPaths::findExecutable(opener_);
  if (program.isEmpty()) return shell::kNoAssociation;

  QStringList arguments{file};
  if (!parameters.isEmpty()) arguments += parameters;
  const QString workingDirectory = QDir(directory).exists() ? directory : QDir::rootPath();
  if (!QProcess::startDetached(program, arguments, workingDirectory)) {
    return shell::kNoAssociation;
  }
  return shell::kSuccess;
}

void XdgDesktopShell::ShowMessage(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
  box.exec();
}

}  // namespace ui
