// The calculator in an Ableton Link session with the test peer, offscreen:
// the delay from the peer's commit to the tempo box (median and worst of 20
// changes), from a tempo key's write to the peer, and the CPU the program
// takes (its GUI thread and Link's) over 30 s of following. Link is enabled
// only in a network with loopback alone; bench/link_session.sh runs it so:
//   bench/link_session.sh BUILD_DIR program
#include <ifaddrs.h>
#include <sys/resource.h>

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "calculator_window.h"
#include "config_paths.h"
#include "desktop_shell.h"
#include "extras.h"
#include "program.h"

namespace {

double NowMs() {  // as the peer prints it
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop until `done` holds (checked every millisecond), or 5 s.
template <typename Done>
bool Until(Done done) {
  const double end = NowMs() + 5000;
  while (!done()) {
    if (NowMs() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
  }
  return true;
}

void Report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%s: median %.1f ms, worst %.1f ms over %zu changes\n", what, ms[(ms.size() - 1) / 2],
              ms.back(), ms.size());
}

}  // namespace

int main(int argc, char* argv[]) {
  ifaddrs* all = nullptr;
  const bool got = getifaddrs(&all) == 0;
  for (ifaddrs* a = all; got && a; a = a->ifa_next) {
    if (std::strcmp(a->ifa_name, "lo") != 0)
      return std::fprintf(stderr, "not on loopback alone\n"), 77;
  }
  if (got) freeifaddrs(all);
  if (argc != 2 || !got) return std::fprintf(stderr, "usage: link_follow PATH_TO_LINK_PEER\n"), 2;
  QApplication app(argc, argv);
  QProcess peer;
  peer.start(QString::fromLocal8Bit(argv[1]), {QStringLiteral("peer"), QStringLiteral("128")});
  QString said;
  const auto peerAt = [&](const QString& bpm) {  // when the peer first had `bpm`, or 0
    said += QString::fromUtf8(peer.readAllStandardOutput());
    const qsizetype at = said.indexOf(QStringLiteral(" tempo %1 ").arg(bpm));
    return at < 0 ? 0.0 : said.left(at).section(u'\n', -1).toDouble();
  };
  Until([&] { return peerAt(QStringLiteral("128.000")) > 0; });
  Until([t = NowMs() + 1000] { return NowMs() > t; });  // the peer's session is the older one

  ui::XdgDesktopShell shell;
  ui::Program program('.', shell);
  extras::Extras extras(program, extras::PreferencesFile(settings::PreferencesPath()));
  program.Start();
  ui::CalculatorWindow* window = program.shownWindow();
  if (!Until([&] { return window->tempoBox()->text() == QLatin1String("128"); }))
    return std::fprintf(stderr, "link_follow: the box never took the session's tempo\n"), 1;

  std::vector<double> toBox, toPeer;
  for (int i = 1; i <= 20; ++i) {
    const QString bpm = QStringLiteral("%1.%2").arg(90 + i).arg(i % 9 + 1);
    // At any moment of the program's poll, not just after one.
    Until([t = NowMs() + QRandomGenerator::global()->bounded(200)] { return NowMs() > t; });
    peer.write(QStringLiteral("tempo %1\n").arg(bpm).toUtf8());
    if (!Until([&] { return window->tempoBox()->text() == bpm; })) return 1;
    const double boxAt = NowMs();
    if (!Until([&] { return peerAt(bpm + QStringLiteral("00")) > 0; })) return 1;
    toBox.push_back(boxAt - peerAt(bpm + QStringLiteral("00")));
  }
  for (int i = 1; i <= 20; ++i) {
    const QString bpm = QStringLiteral("%1").arg(150 + i);
    const double start = NowMs();
    window->SetTempo(bpm, ui::TempoOrigin::Slider);  // set at once, as a key or the slider does
    if (!Until([&] { return peerAt(bpm + QStringLiteral(".000")) > 0; })) return 1;
    toPeer.push_back(peerAt(bpm + QStringLiteral(".000")) - start);
  }
  Report("peer to tempo box", toBox);
  Report("tempo box to peer", toPeer);
  const double cpu = CpuSeconds();
  QTimer::singleShot(30000, &app, &QCoreApplication::quit);
  app.exec();
  std::printf("CPU following for 30 s: %.2f%% of a core\n", (CpuSeconds() - cpu) * 100 / 30);
  peer.write("quit\n");
  peer.waitForFinished(2000);
  return 0;
}
