#include "program_test_support.h"

#include <QTest>
#include <csignal>

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
