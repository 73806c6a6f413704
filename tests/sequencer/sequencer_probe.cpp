// Drives a SequencerLink from the command line and prints what it says, one
// line a change, for the end-to-end test and the CPU benchmark:
//   sequencer_probe transport|midi-clock SECONDS
// prints "state TEXT", "tempo TEXT", "rate TEXT", "tap MS", and at the end
// "cpu MS WALL_MS": the GUI thread's CPU time against the time it ran. The
// texts are the menu's; a failure is said once on standard error.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "sequencer_link.h"
#include "tempo_sources.h"

namespace {

double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void Say(const char* what, const QString& text) {
  std::printf("%s %s\n", what, qPrintable(text));
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s transport|midi-clock SECONDS\n", argv[0]);
    return 2;
  }
  using sequencer::SourceKind;
  using sequencer::SourceState;
  const auto source =
      std::strcmp(argv[1], "midi-clock") == 0 ? SourceKind::MidiClock : SourceKind::JackTransport;
  sequencer::SequencerLink link;
  link.Set({source, true});
  QElapsedTimer wall;
  wall.start();
  QString state, tempo, failure;
  std::optional<std::uint32_t> rate;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    const sequencer::SourceReport report = link.Poll(wall.elapsed());
    if (report.sampleRate && report.sampleRate != rate)
      Say("rate", QString::number(*report.sampleRate));
    rate = report.sampleRate;
    const QString text =
        report.tempo ? extras::TempoText(source, *report.tempo, 0, u'.') : QString();
    if (report.state == SourceState::Following && text != tempo) Say("tempo", text);
    if (report.state != SourceState::Following && report.state != SourceState::Waiting)
      tempo.clear();
    if (report.state == SourceState::Following) tempo = text;
    const QString now = extras::StateText(report, text, u'.');
    if (now != state) Say("state", now);
    state = now;
    const bool failed = report.state == SourceState::Unreachable ||
                        report.state == SourceState::Lost ||
                        report.state == SourceState::Unavailable;
    if (failed && now != failure) {
      std::fprintf(stderr, "sequencer_probe: %s: %s\n", qPrintable(now), report.detail.c_str());
      std::fflush(stderr);
    }
    if (failed) failure = now;
    for (const double ms : link.TakeTaps()) Say("tap", QString::number(ms, 'f', 3));
  });
  poll.start(sequencer::SequencerLink::kPollMs);
  QTimer::singleShot(static_cast<int>(std::atof(argv[2]) * 1000), &app, &QCoreApplication::quit);
  const double cpuBefore = ThreadCpuMs();
  const qint64 started = wall.elapsed();
  app.exec();
  std::printf("cpu %.3f %lld\n", ThreadCpuMs() - cpuBefore,
              static_cast<long long>(wall.elapsed() - started));
  std::fflush(stdout);
  return 0;
}
