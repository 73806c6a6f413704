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
#include <QRandomGenerator>
#include <QRegularExpression>
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

// A save writes the new content to a temporary file of its own beside the
// target, named after it: "<name>.save-XXXXXX", six letters or digits.
QString TemporaryPattern(const QString& target) {
  return QRegularExpression::escape(QFileInfo(target).fileName()) +
         QStringLiteral("\\.save-[A-Za-z0-9]{6}");
}

// Removes the temporary files an interrupted save of `target` left: only
// regular files of ours with the save's own name. Called under the lock, so
// no save of the same file is under way.
void RemoveLeftTemporaries(const QString& target) {
  const QRegularExpression own(QRegularExpression::anchoredPattern(TemporaryPattern(target)));
  const QDir folder = QFileInfo(target).dir();
  for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
    if (!own.match(name).hasMatch()) continue;
    const QByteArray native = QFile::encodeName(folder.filePath(name));
    struct stat info = {};
    if (::lstat(native.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
        info.st_uid == ::geteuid()) {
      ::unlink(native.constData());
    }
  }
}

// Every byte written, else the system's reason.
QString WriteAll(int fd, const QByteArray& content) {
  const char* data = content.constData();
  qsizetype left = content.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, size_t(left));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return written < 0 ? ErrnoText(errno) : ErrnoText(EIO);
    data += written;
    left -= written;
  }
  return {};
}

// Writes a new file beside the old one with its owner and mode, and renames
// it over the old one only once every byte is on the disk.
QString ReplaceFile(const StoreFile& old, const QByteArray& content) {
  RemoveLeftTemporaries(old.target);
  // A new name each time, never an existing file; created as a new file is,
  // with the mode the user's umask gives.
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  QByteArray temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    QByteArray name = QFile::encodeName(old.target) + ".save-";
    for (int i = 0; i < 6; ++i) {
      name += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
    }
    fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0 && errno != EEXIST) return ErrnoText(errno);
    temporary = name;
  }
  if (fd < 0) return ErrnoText(EEXIST);
  const auto fail = [&](const QString& reason) {
    ::close(fd);
    ::unlink(temporary.constData());
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
  if (QString reason = WriteAll(fd, content); !reason.isEmpty()) return fail(reason);
  if (::fsync(fd) != 0) return fail(ErrnoText(errno));
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlink(temporary.constData());
    return ErrnoText(error);
  }
  if (::rename(temporary.constData(), QFile::encodeName(old.target).constData()) != 0) {
    const int error = errno;
    ::unlink(temporary.constData());
    return ErrnoText(error);
  }
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

QString Update(const QString& path, const QString& failed,
               const std::function<QByteArray(const QByteArray&)>& edit) {
  const QString reason = UpdateFile(path, edit);
  if (!reason.isEmpty()) {
    Log(QStringLiteral("%1 %2: %3; nothing was changed").arg(failed, path, reason));
  }
  return reason;
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
  return SaveSettingsAt(path, section, values, what).isEmpty();
}

QString SaveSettingsAt(const QString& path, const QString& section,
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
             [&section](const QByteArray& content) { return ini::RemoveSection(content, section); })
      .isEmpty();
}

}  // namespace settings
