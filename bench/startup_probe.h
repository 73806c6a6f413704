// For the start-up benchmark, built only into the programs it measures (never
// into the installed tpv120): the first window that appears on screen ends
// the run, after its first paint, printing the wall-clock time in nanoseconds
// and the peak resident memory in kB:
//   shown <ns since the epoch> <kB>
// The benchmark compares that with the moment it started the program.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdio>

namespace ui {

class StartupProbe : public QObject {
 public:
  static void Install(QCoreApplication& app) { app.installEventFilter(new StartupProbe(&app)); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && !seen_) {
      seen_ = true;
      QTimer::singleShot(0, this, [] {  // after the first paint
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("shown %lld %ld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                    PeakResidentKb());
        std::fflush(stdout);
        QCoreApplication::exit(0);
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  using QObject::QObject;

  static long PeakResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
      if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
  }

  bool seen_ = false;
};

}  // namespace ui
