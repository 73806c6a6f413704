#include "sequencer_link.h"

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "calc/rounded_text.h"
#include "event_ring.h"
#include "jack_api.h"

namespace sequencer {

namespace {

constexpr const char* kClientName = "tempiva";
constexpr const char* kPortName = "midi_in";

// JACK worker threads alive (opening or closing): a new client is opened only
// when none is, so a server that hangs costs one thread, not one per retry.
std::atomic<int> liveWorkers{0};

}  // namespace

// What JACK's threads share with the GUI thread; kept alive by whoever still
// uses it (the link, or the worker closing the client).
struct Connection {
  explicit Connection(const JackApi* jack) : api(jack) {}
  const JackApi* api;
  jack_client_t* client = nullptr;
  jack_port_t* port = nullptr;
  SpscRing<MidiEvent, 1024> ring;
  std::atomic<std::uint32_t> sampleRate{0};
  std::atomic<std::uint64_t> cycles{0};
  std::atomic<std::uint32_t> dropped{0};  // events the full ring refused
  std::atomic<bool> shutdown{false};
  std::atomic<bool> zombie{false};
  std::atomic<bool> tapsWanted{false};
};

struct OpenAttempt {
  std::mutex mutex;  // between the worker and the GUI thread only, held briefly
  bool finished = false;
  bool abandoned = false;  // the GUI thread gave up waiting: the worker closes what it opened
  std::shared_ptr<Connection> connection;
  std::string error;
};

namespace {

// The real-time thread: no lock, allocation, I/O or Qt; only the ring.
int Process(jack_nframes_t frames, void* arg) {
  auto* c = static_cast<Connection*>(arg);
  c->cycles.fetch_add(1, std::memory_order_relaxed);
  if (!c->port) return 0;
  void* buffer = c->api->port_get_buffer(c->port, frames);
  const jack_nframes_t start = c->api->last_frame_time(c->client);
  const bool taps = c->tapsWanted.load(std::memory_order_relaxed);
  const std::uint32_t count = c->api->midi_get_event_count(buffer);
  for (std::uint32_t i = 0; i < count; ++i) {
    jack_midi_event_t event;
    if (c->api->midi_event_get(&event, buffer, i) != 0) continue;
    const auto kind = ClassifyMidi(event.buffer, event.size);
    if (!kind || (*kind == MidiEvent::Kind::NoteOn && !taps)) continue;
    if (!c->ring.Push({start + event.time, *kind}))
      c->dropped.fetch_add(1, std::memory_order_relaxed);
  }
  return 0;
}

int SampleRateChanged(jack_nframes_t rate, void* arg) {
  static_cast<Connection*>(arg)->sampleRate.store(rate, std::memory_order_relaxed);
  return 0;
}

void ShutDown(jack_status_t code, const char*, void* arg) {
  auto* c = static_cast<Connection*>(arg);
  c->zombie.store((code & JackClientZombie) != 0, std::memory_order_relaxed);
  c->shutdown.store(true, std::memory_order_release);
}

void Open(const JackApi* api, std::shared_ptr<OpenAttempt> attempt) {
  auto c = std::make_shared<Connection>(api);
  std::string error;
  jack_status_t status{};
  c->client = api->client_open(kClientName, JackNoStartServer, &status);
  if (!c->client) {
    error = (status & JackServerFailed) ? "cannot connect to a JACK server"
                                        : "the JACK server refused the client (status " +
                                              std::to_string(static_cast<int>(status)) + ")";
  } else {
    c->port = api->port_register(c->client, kPortName, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    c->sampleRate.store(api->get_sample_rate(c->client));
    api->set_process_callback(c->client, Process, c.get());
    api->set_sample_rate_callback(c->client, SampleRateChanged, c.get());
    api->on_info_shutdown(c->client, ShutDown, c.get());
    if (!c->port) {
      error = "cannot register the port " + std::string(kClientName) + ":" + kPortName;
    } else if (api->activate(c->client) != 0) {
      error = "cannot activate the JACK client";
    }
    if (!error.empty()) {
      api->client_close(c->client);
      c->client = nullptr;
    }
  }
  bool abandoned;
  {
    std::lock_guard lock(attempt->mutex);
    attempt->finished = true;
    abandoned = attempt->abandoned;
    attempt->error = error;
    if (error.empty() && !abandoned) attempt->connection = c;
  }
  if (abandoned && c->client) api->client_close(c->client);
  liveWorkers.fetch_sub(1);
}

void CloseLater(std::shared_ptr<Connection> c) {
  if (!c || !c->client) return;
  liveWorkers.fetch_add(1);
  std::thread([c] {
    c->api->client_close(c->client);
    liveWorkers.fetch_sub(1);
  }).detach();
}

// Shortest text with at most 3 decimals: 128, 97.3, 133.333.
QString TransportTempoText(double bpm, QChar separator) {
  const auto text = calc::RoundedText(bpm, 3, '.');
  return text ? QString::fromStdString(*text).replace(u'.', separator) : QString();
}

}  // namespace

SequencerLink::SequencerLink(QObject* parent) : QObject(parent), estimator_(48000.0) {
  poll_.setInterval(kPollMs);
  connect(&poll_, &QTimer::timeout, this, &SequencerLink::poll);
  clock_.start();
}

SequencerLink::~SequencerLink() {
  if (attempt_) {
    std::lock_guard lock(attempt_->mutex);
    attempt_->abandoned = true;
  }
  CloseLater(std::move(connection_));
  // Lets a closing client leave the server cleanly, but never waits long.
  for (int i = 0; i < 100 && liveWorkers.load() > 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

QString SequencerLink::sourceName(Mode mode) {
  switch (mode) {
    case Mode::Off:
      return QStringLiteral("Manual");
    case Mode::JackTransport:
      return QStringLiteral("JACK Transport");
    case Mode::MidiClock:
      return QStringLiteral("MIDI Clock");
  }
  return {};
}

void SequencerLink::setMode(Mode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  restartFollowing();
  if (mode == Mode::Off) {
    poll_.stop();
    if (attempt_) {
      std::lock_guard lock(attempt_->mutex);
      attempt_->abandoned = true;
    }
    attempt_.reset();
    closeConnection();
    setState(State::Off, QString());
    return;
  }
  poll_.start();
  if (connection_) {
    setState(State::Waiting, QString());  // the same client serves both sources
  } else if (attempt_) {
    setState(State::Connecting, QString());
  } else {
    startOpening();
  }
}

void SequencerLink::setTapsWanted(bool wanted) {
  tapsWanted_ = wanted;
  if (connection_) connection_->tapsWanted.store(wanted, std::memory_order_relaxed);
}

void SequencerLink::restartFollowing() {
  framesWithoutBbt_ = 0;
  lastTempoText_.clear();
  estimator_.Reset();
  shownClockTempo_ = 0.0;
  lastTickAtMs_ = -1;
}

void SequencerLink::startOpening() {
  std::string error;
  const JackApi* api = LoadJack(&error);
  if (!api) {
    fail(State::LibraryMissing, QStringLiteral("JACK not installed"),
         QString::fromStdString(error));
    return;
  }
  if (liveWorkers.load() > 0) {  // an earlier client has not finished opening or closing
    retryAtMs_ = clock_.elapsed() + kRetryMs;
    return;
  }
  setState(State::Connecting, QString());
  attempt_ = std::make_shared<OpenAttempt>();
  openedAtMs_ = clock_.elapsed();
  liveWorkers.fetch_add(1);
  std::thread(Open, api, attempt_).detach();
}

void SequencerLink::finishOpening() {
  std::shared_ptr<Connection> opened;
  std::string error;
  {
    std::lock_guard lock(attempt_->mutex);
    if (!attempt_->finished) {
      if (clock_.elapsed() - openedAtMs_ < kOpenTimeoutMs) return;
      attempt_->abandoned = true;
      error = "no answer within " + std::to_string(kOpenTimeoutMs / 1000) + " seconds";
    } else {
      opened = attempt_->connection;
      error = attempt_->error;
    }
  }
  attempt_.reset();
  if (!opened) {
    fail(State::NoServer,
         error.rfind("no answer", 0) == 0 ? QStringLiteral("JACK server not answering")
                                          : QStringLiteral("no JACK server"),
         QString::fromStdString(error));
    return;
  }
  connection_ = opened;
  connection_->tapsWanted.store(tapsWanted_, std::memory_order_relaxed);
  sampleRate_ = 0;  // reported afresh by the poll
  lastCycles_ = connection_->cycles.load(std::memory_order_relaxed);
  lastCycleAtMs_ = clock_.elapsed();
  haveEventFrame_ = false;
  reportedDropped_ = 0;
  reportedFailure_.clear();
  restartFollowing();
  setState(State::Waiting, QString());
}

void SequencerLink::closeConnection() {
  CloseLater(std::move(connection_));
  connection_.reset();
}

void SequencerLink::fail(State state, const QString& reason, const QString& detail) {
  const QString text = sourceName(mode_) + QStringLiteral(" (") + reason + u')';
  if (text != reportedFailure_) {  // once per failure, not at every retry
    reportedFailure_ = text;
    std::fprintf(stderr, "%s: %s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(text), qPrintable(detail));
    std::fflush(stderr);
  }
  retryAtMs_ = clock_.elapsed() + kRetryMs;
  setState(state, text);
}

void SequencerLink::setState(State state, const QString& given) {
  QString text = given;
  if (text.isEmpty()) {
    switch (state) {
      case State::Off:
        break;
      case State::Connecting:
        text = sourceName(mode_) + QStringLiteral(" (connecting)");
        break;
      case State::Waiting:
        text = mode_ == Mode::MidiClock ? QStringLiteral("MIDI Clock: waiting for clock")
                                        : QStringLiteral("JACK Transport: no tempo published");
        break;
      default:
        text = sourceName(mode_);
        break;
    }
  }
  if (state == state_ && text == stateText_) return;
  state_ = state;
  stateText_ = text;
  emit stateChanged(state, text);
}

void SequencerLink::poll() {
  if (mode_ == Mode::Off) return;
  const qint64 now = clock_.elapsed();
  if (attempt_) finishOpening();
  if (!connection_) {
    if (!attempt_ && state_ != State::LibraryMissing && now >= retryAtMs_) startOpening();
    return;
  }
  Connection& c = *connection_;
  if (c.shutdown.load(std::memory_order_acquire)) {
    const bool zombie = c.zombie.load(std::memory_order_relaxed);
    closeConnection();
    fail(State::ServerGone,
         zombie ? QStringLiteral("dropped by the JACK server")
                : QStringLiteral("JACK server stopped"),
         zombie ? QStringLiteral("the client was zombified") : QStringLiteral("server shut down"));
    return;
  }
  const std::uint64_t cycles = c.cycles.load(std::memory_order_relaxed);
  if (cycles != lastCycles_) {
    lastCycles_ = cycles;
    lastCycleAtMs_ = now;
  } else if (now - lastCycleAtMs_ > kStallMs) {
    closeConnection();
    fail(State::ServerGone, QStringLiteral("JACK server not responding"),
         QStringLiteral("no process cycle for %1 ms").arg(now - lastCycleAtMs_));
    return;
  }
  const std::uint32_t rate = c.sampleRate.load(std::memory_order_relaxed);
  if (rate != sampleRate_ && rate > 0) {
    sampleRate_ = rate;
    estimator_.SetSampleRate(rate);
    shownClockTempo_ = 0.0;
    emit sampleRateText(QString::number(rate));
  }
  const std::uint32_t dropped = c.dropped.load(std::memory_order_relaxed);
  if (dropped != reportedDropped_) {
    std::fprintf(stderr, "%s: %u MIDI events lost (the input ran full)\n",
                 qPrintable(QCoreApplication::applicationName()), dropped - reportedDropped_);
    reportedDropped_ = dropped;
  }
  drainMidi();
  if (mode_ == Mode::JackTransport)
    followTransport();
  else
    followClock();
}

void SequencerLink::followTransport() {
  jack_position_t position{};
  connection_->api->transport_query(connection_->client, &position);
  const bool bbt = (position.valid & JackPositionBBT) && std::isfinite(position.beats_per_minute) &&
                   position.beats_per_minute > 0.0;
  if (!bbt) {
    // One cycle without bar and beat happens on relocation: only a second says so.
    if (++framesWithoutBbt_ >= 2) setState(State::Waiting, QString());
    return;
  }
  framesWithoutBbt_ = 0;
  const QString text = TransportTempoText(position.beats_per_minute, separator_);
  if (text.isEmpty()) return;
  if (text != lastTempoText_) {
    lastTempoText_ = text;
    emit tempoText(text);
  }
  setState(State::Following, QStringLiteral("JACK Transport: %1 BPM").arg(text));
}

void SequencerLink::drainMidi() {
  const qint64 now = clock_.elapsed();
  while (const auto event = connection_->ring.Pop()) {
    // Unsigned difference: right across the server's frame counter wrapping.
    eventFrames_ = haveEventFrame_ ? eventFrames_ + (event->frame - lastEventFrame_) : event->frame;
    haveEventFrame_ = true;
    lastEventFrame_ = event->frame;
    switch (event->kind) {
      case MidiEvent::Kind::ClockTick:
        if (mode_ == Mode::MidiClock) estimator_.Tick(event->frame);
        lastTickAtMs_ = now;
        break;
      case MidiEvent::Kind::Start:
      case MidiEvent::Kind::Continue:
      case MidiEvent::Kind::Stop:
        estimator_.Reset();
        shownClockTempo_ = 0.0;
        break;
      case MidiEvent::Kind::NoteOn:
        if (tapsWanted_ && sampleRate_ > 0)
          emit midiTap(static_cast<double>(eventFrames_) * 1000.0 / sampleRate_);
        break;
    }
  }
}

void SequencerLink::followClock() {
  const auto tempo = estimator_.Tempo();
  const bool silent = lastTickAtMs_ < 0 || clock_.elapsed() - lastTickAtMs_ > kClockSilenceMs;
  if (!tempo || silent) {
    if (silent) {
      estimator_.Reset();
      shownClockTempo_ = 0.0;
    }
    setState(State::Waiting, QString());
    return;
  }
  if (shownClockTempo_ == 0.0 || std::abs(*tempo - shownClockTempo_) >= kClockStep) {
    const QString text = QString::number(*tempo, 'f', 1).replace(u'.', separator_);
    shownClockTempo_ = *tempo;
    if (text != lastTempoText_) {
      lastTempoText_ = text;
      emit tempoText(text);
    }
  }
  setState(State::Following, QStringLiteral("MIDI Clock: %1 BPM").arg(lastTempoText_));
}

}  // namespace sequencer
