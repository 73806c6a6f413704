#include "program_test_support.h"

#include <unistd.h>

#include <QTest>
#include <csignal>
#include <cstdio>

namespace programtest {

bool CatchesTerminate(const QProcess& process) {
  QFile status(QStringLiteral("/proc/%1/status").arg(process.processId()));
  if (!status.open(QIODevice::ReadOnly)) return false;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("SigCgt:")) {
      bool ok = false;
      const qulonglong mask = line.mid(7).trimmed().toULongLong(&ok, 16);
      return ok && (mask & (1ULL << (SIGTERM - 1))) != 0;
    }
  }
  return false;
}

ErrorOutput::ErrorOutput() {
  std::fflush(stderr);
  saved_ = ::dup(2);
  if (file_.open()) ::dup2(file_.handle(), 2);
}

QStringList ErrorOutput::Lines() {
  Restore();
  QFile file(file_.fileName());
  if (!file.open(QIODevice::ReadOnly)) return {QStringLiteral("<unreadable>")};
  return QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void ErrorOutput::Restore() {
  if (saved_ < 0) return;
  std::fflush(stderr);
  ::dup2(saved_, 2);
  ::close(saved_);
  saved_ = -1;
}

void Fixture::init() {
  home_ = std::make_unique<ConfigHome>();
  QVERIFY(home_->isValid());
  SetUp();
}

void Fixture::cleanup() {
  TearDown();
  FlushDeletes();
  home_.reset();
}

}  // namespace programtest
