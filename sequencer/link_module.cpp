// The Ableton Link source as a module of its own, which the link loads when
// Link is first chosen, as it loads JACK's library: Link's and asio's code, a
// quarter of the program's, costs nothing at start-up.
#include <exception>

#include "link_source.h"

extern "C" __attribute__((visibility("default"))) sequencer::TempoSource* TempivaMakeLinkSource(
    double bpm) noexcept {
  try {
    return new sequencer::LinkSource(bpm);
  } catch (const std::exception&) {
    return nullptr;  // no session: the link says the source is unavailable
  }
}
