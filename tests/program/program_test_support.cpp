#include "program_test_support.h"

#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <csignal>
#include <cstdio>

#include "config_paths.h"
#include "identity.h"
#include "looks.h"

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

void InitCalculator() {
  startup::Identify(cli::kCalculator);
  ui::InitApplication();
}

ProgramRun::~ProgramRun() {
  extras_.reset();
  program_.reset();
  FlushDeletes();
}

bool ProgramRun::Start(const QString& layout) {
  program_ = std::make_unique<ui::Program>(separator_, shell_, QStringLiteral("/opt/tempiva"));
  extras_ = std::make_unique<extras::Extras>(*program_,
                                             extras::PreferencesFile(settings::PreferencesPath()));
  program_->Start();
  if (layout == QLatin1String("large")) program_->Max_Click();
  ui::CalculatorWindow* window = shown();
  if (!window) return false;
  window->activateWindow();
  return QTest::qWaitForWindowActive(window);
}

ui::CalculatorWindow* ProgramRun::shown() const {
  for (ui::Which which : {ui::Which::Compact, ui::Which::Large}) {
    if (window(which) && window(which)->isVisible()) return window(which);
  }
  return nullptr;
}

void Fixture::NewHome() {
  home_.reset();  // the previous value back first, then the new one over it
  home_ = std::make_unique<ConfigHome>();
  QVERIFY(home_->isValid());
}

ui::CalculatorWindow* Fixture::Restart(const QString& layout, char separator) {
  run_.reset();
  run_ = std::make_unique<ProgramRun>(separator);
  return run_->Start(layout) ? run_->shown() : nullptr;
}

void Fixture::init() {
  NewHome();
  SetUp();
}

void Fixture::cleanup() {
  TearDown();
  // Menus a test left open go before the windows they belong to.
  while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  run_.reset();
  FlushDeletes();
  home_.reset();
}

}  // namespace programtest
