#include "sequencer_link.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <string>
#include <utility>

#include "jack_sources.h"

namespace sequencer {

namespace {

using MakeLinkSource = TempoSource* (*)(double bpm) noexcept;

// The Link source's module: in modules/ beside the running program, or where
// TEMPIVA_LINK_MODULE says (the tests, which run from folders of their own).
// Loaded once and kept, as JACK's library is; nullptr, with the reason in
// `error`, when it cannot be.
MakeLinkSource LoadLinkModule(std::string* error) {
  static std::string failure;
  static const MakeLinkSource make = []() -> MakeLinkSource {
    std::string path;
    if (const char* given = std::getenv("TEMPIVA_LINK_MODULE"); given && *given) {
      path = given;
    } else {
      std::array<char, 4096> exe{};
      const ssize_t size = readlink("/proc/self/exe", exe.data(), exe.size() - 1);
      if (size <= 0) {
        failure = "cannot find the program's folder";
        return nullptr;
      }
      path.assign(exe.data(), static_cast<std::size_t>(size));
      path = path.substr(0, path.rfind('/') + 1) + "modules/tempiva-link.so";
    }
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
      const char* why = dlerror();
      failure = why ? why : "cannot load " + path;
      return nullptr;
    }
    auto* found = reinterpret_cast<MakeLinkSource>(dlsym(module, "TempivaMakeLinkSource"));
    if (!found) failure = "no Link source in " + path;
    return found;
  }();
  if (!make && error) *error = failure;
  return make;
}

// A source that can only say why it is not there.
class MissingSource final : public TempoSource {
 public:
  MissingSource(SourceKind kind, std::string reason, std::string detail)
      : kind_(kind), reason_(std::move(reason)), detail_(std::move(detail)) {}
  SourceKind kind() const override { return kind_; }
  SourceReport Poll(std::int64_t) override {
    SourceReport report;
    report.source = kind_;
    report.state = SourceState::Unavailable;
    report.reason = reason_;
    report.detail = detail_;
    return report;
  }

 private:
  SourceKind kind_;
  std::string reason_;
  std::string detail_;
};

}  // namespace

std::unique_ptr<TempoSource> MakeSource(SourceKind kind, JackClient* jack, double tempo) {
  switch (kind) {
    case SourceKind::JackTransport:
      return jack ? std::make_unique<JackTransportSource>(*jack) : nullptr;
    case SourceKind::MidiClock:
      return jack ? std::make_unique<MidiClockSource>(*jack) : nullptr;
    case SourceKind::AbletonLink: {
      std::string error;
      const MakeLinkSource make = LoadLinkModule(&error);
      TempoSource* made = make ? make(tempo) : nullptr;
      if (made) return std::unique_ptr<TempoSource>(made);
      if (make) return std::make_unique<MissingSource>(kind, "cannot join a session", "");
      return std::make_unique<MissingSource>(kind, "not installed", error);
    }
    case SourceKind::Manual:
      break;
  }
  return nullptr;
}

SequencerLink::SequencerLink(JackLoader loader) : loader_(loader) {}

SequencerLink::~SequencerLink() {
  object_.reset();  // before the client it uses
}

void SequencerLink::Set(LinkRequest request) {
  const bool newSource = request.source != request_.source || !object_;
  // Back to Manual while taps are wanted (a tap did it): a client that is
  // open stays, so that the pad that tapped goes on tapping. None is opened
  // for taps alone.
  const bool jackWanted =
      UsesJack(request.source) || (request.tapsWanted && jack_ && jack_->wantedOpen());
  if (jackWanted && !jack_) {
    std::string error;
    const JackApi* api = loader_(&error);
    jack_ = std::make_unique<JackClient>(api, error);
  }
  if (newSource) object_ = MakeSource(request.source, jack_.get(), request.tempo);
  request_ = request;
  if (jack_) {
    jack_->SetTaps(request.tapsWanted);
    jack_->SetOpen(jackWanted);
  }
}

SourceReport SequencerLink::Poll(std::int64_t nowMs) {
  if (object_) return object_->Poll(nowMs);
  SourceReport report;
  report.source = request_.source;
  if (request_.source != SourceKind::Manual) {
    report.state = SourceState::Unavailable;
    report.reason = "not in this build";
    return report;
  }
  if (jack_ && jack_->wantedOpen()) report.input = jack_->Poll(nowMs).input;  // taps only
  return report;
}

std::vector<double> SequencerLink::TakeTaps() {
  return jack_ ? jack_->TakeTaps() : std::vector<double>{};
}

void SequencerLink::BeginShutdown() {
  if (object_ && !UsesJack(object_->kind())) object_.reset();
  if (jack_) jack_->BeginShutdown();
}

}  // namespace sequencer
