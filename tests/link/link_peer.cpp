// A Link peer for the tests, refusing to run outside a private network
// namespace with loopback alone. `link_peer peer BPM` is a plain Link app;
// `link_peer source BPM` drives our LinkSource. Prints "MS tempo T peers N"
// whenever that changes (MS on the monotonic clock every process shares) and
// reads "tempo BPM" (commit, or propose), "leave" (prints the time it took)
// and "quit" on standard input.
#include <ifaddrs.h>
#include <poll.h>
#include <unistd.h>

#include <ableton/Link.hpp>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "link_source.h"

namespace {

constexpr int kSkip = 77;  // the tests' skip code

double NowMs() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool LoopbackOnly() {
  ifaddrs* all = nullptr;
  if (getifaddrs(&all) != 0) return false;
  bool only = true;
  for (ifaddrs* a = all; a != nullptr; a = a->ifa_next)
    only = only && std::strcmp(a->ifa_name, "lo") == 0;
  freeifaddrs(all);
  return only;
}

}  // namespace

int main(int argc, char** argv) {
  if (!LoopbackOnly()) {
    std::fprintf(
        stderr,
        "link_peer: skipped: this network has more than loopback (run inside unshare -n)\n");
    return kSkip;
  }
  const bool peer = argc == 3 && std::strcmp(argv[1], "peer") == 0;
  if (!peer && !(argc == 3 && std::strcmp(argv[1], "source") == 0)) {
    std::fprintf(stderr, "usage: link_peer peer|source BPM\n");
    return 2;
  }
  const double start = std::strtod(argv[2], nullptr);
  std::optional<ableton::Link> link;
  std::optional<sequencer::LinkSource> source;
  if (peer) {
    link.emplace(start);
    link->enable(true);
  } else {
    source.emplace(start);
  }
  std::string last, input;
  for (;;) {
    pollfd in{0, POLLIN, 0};
    if (poll(&in, 1, 2) > 0) {
      char chunk[256];
      const ssize_t got = read(0, chunk, sizeof chunk);
      if (got <= 0) return 0;
      input.append(chunk, static_cast<std::size_t>(got));
    }
    for (std::size_t end; (end = input.find('\n')) != std::string::npos; input.erase(0, end + 1)) {
      const std::string line = input.substr(0, end);
      if (line == "quit") return 0;
      if (line == "leave") {
        const double t = NowMs();
        link.reset();
        source.reset();
        std::printf("%.1f left in %.3f ms\n", NowMs(), NowMs() - t);
      } else if (line.rfind("tempo ", 0) == 0 && link) {
        auto state = link->captureAppSessionState();
        state.setTempo(std::strtod(line.c_str() + 6, nullptr), link->clock().micros());
        link->commitAppSessionState(state);
      } else if (line.rfind("tempo ", 0) == 0 && source &&
                 !source->Propose(std::strtod(line.c_str() + 6, nullptr))) {
        std::printf("%.1f refused\n", NowMs());
      }
    }
    std::string now;
    if (link) {
      char text[64];
      std::snprintf(text, sizeof text, "tempo %.3f peers %zu",
                    link->captureAppSessionState().tempo(), link->numPeers());
      now = text;
    } else if (source) {
      const sequencer::SourceReport r = source->Poll(0);
      char text[64];
      std::snprintf(text, sizeof text, "tempo %.3f peers %d", r.tempo.value_or(0.0),
                    r.peers.value_or(-1));
      now = text + (r.reason.empty() ? "" : " (" + r.reason + ")");
    }
    if (now != last) std::printf("%.1f %s\n", NowMs(), now.c_str());
    std::fflush(stdout);
    last = now;
  }
}
