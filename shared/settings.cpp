// The file is read and written by our own code rather than by Qt's settings
// class, which rewrites every line in its own format, writes through links
// into devices, blocks on pipes and stale locks, and renames an unfinished
// file over a complete one when the disk is full.
#include "settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "config_paths.h"
#include "ini_text.h"

namespace settings {
namespace {

using namespace std::chrono_literals;
constexpr auto kLockWait = 2000ms;
// An empty lock older than this was left by a crash: a live writer fills it at once.
constexpr auto kStaleLock = 1000ms;
constexpr qint64 kLargestFile = qint64{64} << 20;

QString ErrnoText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString TypeName(mode_t mode) {
  if (S_ISDIR(mode)) return QStringLiteral("a folder");
  if (S_ISFIFO(mode)) return QStringLiteral("a named pipe");
  if (S_ISCHR(mode)) return QStringLiteral("a character device");
  if (S_ISBLK(mode)) return QStringLiteral("a block device");
  if (S_ISSOCK(mode)) return QStringLiteral("a socket");
  if (S_ISLNK(mode)) return QStringLiteral("a symbolic link");
  return QStringLiteral("not a regular file");
}

// The name the program gave itself (startup::Identify), before every line.
QString ProgramName() {
  const QString name = QCoreApplication::applicationName();
  return name.isEmpty() ? QStringLiteral("tempiva") : name;
}

void Log(const QString& line) {
  std::fputs(qPrintable(ProgramName() + QStringLiteral(": ") + line + QLatin1Char('\n')), stderr);
  std::fflush(stderr);
}

// A damaged store is read at every start and on every read: say so once.
void LogOnce(const QString& line) {
  static QSet<QString> told;
  if (told.contains(line)) return;
  told.insert(line);
  Log(line);
}

struct StoreFile {
  bool exists = false;
  QByteArray content;
  struct stat info = {};
  QString target;  // the regular file behind the path, links followed
  QString error;   // why the file cannot be used; empty when it can
};

// Opens nothing that is not a regular file, and nothing that could block.
StoreFile ReadStoreFile(const QString& path) {
  StoreFile file;
  const QByteArray native = QFile::encodeName(path);
  struct stat link = {};
  if (::lstat(native.constData(), &link) != 0) {
    if (errno == ENOENT) {
      file.target = path;
    } else {
      file.error = ErrnoText(errno);
    }
    return file;
  }
  if (::stat(native.constData(), &file.info) != 0) {
    file.error =
        errno == ENOENT ? QStringLiteral("it is a symbolic link to nothing") : ErrnoText(errno);
    return file;
  }
  if (!S_ISREG(file.info.st_mode)) {
    file.error = QStringLiteral("it is %1, not a regular file").arg(TypeName(file.info.st_mode));
    return file;
  }
  const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    file.error = ErrnoText(errno);
    return file;
  }
  QFile reader;
  if (::fstat(fd, &file.info) != 0 || !S_ISREG(file.info.st_mode) ||
      !reader.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    file.error = QStringLiteral("it changed while it was read");
    return file;
  }
  if (file.info.st_size > kLargestFile) {
    file.error = QStringLiteral("it is larger than %1 bytes").arg(kLargestFile);
    return file;
  }
  file.content = reader.readAll();
  if (reader.error() != QFileDevice::NoError) {
    file.error = reader.errorString();
    return file;
  }
  file.exists = true;
  file.target = S_ISLNK(link.st_mode) ? QFileInfo(path).canonicalFilePath() : path;
  return file;
}

// Empty when the lock is ours, else why not.
QString TakeLock(QLockFile& lock, const QString& path) {
  struct stat info = {};
  if (::lstat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
    return QStringLiteral("its lock %1 is %2, not a regular file")
        .arg(path, TypeName(info.st_mode));
  }
  lock.setStaleLockTime(kStaleLock);
  if (lock.tryLock(kLockWait)) return {};
  switch (lock.error()) {
    case QLockFile::LockFailedError:
      return QStringLiteral("its lock %1 stayed taken for %2 ms").arg(path).arg(kLockWait.count());
    case QLockFile::PermissionError:
      return QStringLiteral("its lock %1 cannot be created: permission denied").arg(path);
    default:
      return QStringLiteral("its lock %1 cannot be created (is the disk full?)").arg(path);
  }
}

// Writes a new file beside the old one with its owner and mode, and renames
// it over the old one only once every byte is on the disk.
QString ReplaceFile(const StoreFile& old, const QByteArray& content) {
  QSaveFile file(old.target);
  // Unbuffered: every write's failure is seen before the rename.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString();
  const int fd = file.handle();
  const auto fail = [&file](const QString& reason) {
    file.cancelWriting();
    return reason;
  };
  if (old.exists) {
    struct stat created = {};
    if (::fstat(fd, &created) != 0) return fail(ErrnoText(errno));
    if ((created.st_uid != old.info.st_uid || created.st_gid != old.info.st_gid) &&
        ::fchown(fd, old.info.st_uid, old.info.st_gid) != 0) {
      return fail(QStringLiteral("its owner cannot be kept: %1").arg(ErrnoText(errno)));
    }
    if (::fchmod(fd, old.info.st_mode & 07777) != 0) {
      return fail(QStringLiteral("its mode cannot be kept: %1").arg(ErrnoText(errno)));
    }
  }
  if (file.write(content) != content.size()) return fail(file.errorString());
  if (::fsync(fd) != 0) return fail(ErrnoText(errno));
  if (!file.commit()) return file.errorString();
  return {};
}

// Empty when the edit reached the file or changed nothing, else why not.
QString UpdateFile(const QString& path, const std::function<QByteArray(const QByteArray&)>& edit) {
  {
    const StoreFile before = ReadStoreFile(path);
    if (before.error.isEmpty() && edit(before.content) == before.content) return {};
  }
  const QString folder = QFileInfo(path).path();
  if (!QDir().mkpath(folder)) return QStringLiteral("the folder %1 cannot be created").arg(folder);
  QLockFile lock(path + QStringLiteral(".lock"));
  if (QString reason = TakeLock(lock, path + QStringLiteral(".lock")); !reason.isEmpty())
    return reason;
  const StoreFile old = ReadStoreFile(path);  // again: another copy may have written meanwhile
  if (!old.error.isEmpty()) return old.error;
  const QByteArray content = edit(old.content);
  if (content == old.content && old.exists) return {};
  return ReplaceFile(old, content);
}

bool Update(const QString& path, const QString& failed,
            const std::function<QByteArray(const QByteArray&)>& edit) {
  const QString reason = UpdateFile(path, edit);
  if (reason.isEmpty()) return true;
  Log(QStringLiteral("%1 %2: %3; nothing was changed").arg(failed, path, reason));
  return false;
}

}  // namespace

QString StorePath(const QString& application) {
  return ConfigHome() + QStringLiteral("/tempiva/") + application + QStringLiteral(".ini");
}

QHash<QString, QString> ReadSection(const QString& application, const QString& section) {
  return ReadSectionAt(StorePath(application), section, QStringLiteral("settings"));
}

QHash<QString, QString> ReadSectionAt(const QString& path, const QString& section,
                                      const QString& what) {
  const StoreFile file = ReadStoreFile(path);
  if (!file.error.isEmpty()) {
    LogOnce(QStringLiteral("%1 not read from %2: %3; the defaults are used")
                .arg(what, path, file.error));
    return {};
  }
  return ini::ReadSection(file.content, section);
}

bool WriteSettings(const QString& application, const QString& section,
                   const QList<std::pair<QString, QString>>& values) {
  return WriteSettingsAt(StorePath(application), section, values, QStringLiteral("settings"));
}

bool WriteSettingsAt(const QString& path, const QString& section,
                     const QList<std::pair<QString, QString>>& values, const QString& what) {
  QList<ini::Assignment> assignments;
  for (const auto& [key, text] : values) assignments << ini::Assignment{section, key, text};
  return Update(
      path, what + QStringLiteral(" not saved to"),
      [&assignments](const QByteArray& content) { return ini::Assign(content, assignments); });
}

bool DeleteSettingsSection(const QString& application, const QString& section) {
  return Update(
      StorePath(application), QStringLiteral("settings not erased in"),
      [&section](const QByteArray& content) { return ini::RemoveSection(content, section); });
}

}  // namespace settings
