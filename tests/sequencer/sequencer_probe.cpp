// Drives a SequencerLink from the command line and prints what it says, one
// line a signal, for the end-to-end test and the CPU benchmark:
//   sequencer_probe transport|midi-clock SECONDS
// prints "state TEXT", "tempo TEXT", "rate TEXT", "tap MS", and at the end
// "cpu MS WALL_MS": the GUI thread's CPU time against the time it ran.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "sequencer_link.h"

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
  using sequencer::SequencerLink;
  const auto mode = std::strcmp(argv[1], "midi-clock") == 0 ? SequencerLink::Mode::MidiClock
                                                            : SequencerLink::Mode::JackTransport;
  SequencerLink link;
  QObject::connect(&link, &SequencerLink::stateChanged,
                   [](SequencerLink::State, const QString& text) { Say("state", text); });
  QObject::connect(&link, &SequencerLink::tempoText,
                   [](const QString& text) { Say("tempo", text); });
  QObject::connect(&link, &SequencerLink::sampleRateText,
                   [](const QString& text) { Say("rate", text); });
  QObject::connect(&link, &SequencerLink::midiTap,
                   [](double ms) { Say("tap", QString::number(ms, 'f', 3)); });
  link.setTapsWanted(true);
  link.setMode(mode);
  QTimer::singleShot(static_cast<int>(std::atof(argv[2]) * 1000), &app, &QCoreApplication::quit);
  QElapsedTimer wall;
  wall.start();
  const double cpuBefore = ThreadCpuMs();
  app.exec();
  std::printf("cpu %.3f %lld\n", ThreadCpuMs() - cpuBefore, static_cast<long long>(wall.elapsed()));
  std::fflush(stdout);
  return 0;
}
