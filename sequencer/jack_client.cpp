#include "jack_client.h"

#include <jack/midiport.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <stop_token>
#include <utility>

#include "calc/tempo_range.h"

namespace sequencer {

// What JACK's threads share with the GUI thread; kept alive by whoever still
// uses it (the client, or the worker closing it).
struct Connection {
  explicit Connection(const JackApi* jack) : api(jack) {}
  const JackApi* api;
  jack_client_t* client = nullptr;
  jack_port_t* port = nullptr;
  std::string input;  // set before activation, read-only afterwards
  SpscRing<MidiEvent, 1024> ring;
  std::atomic<std::uint32_t> sampleRate{0};
  std::atomic<std::uint64_t> cycles{0};
  std::atomic<std::uint64_t> nowFrame{0};  // the frame counter at the end of the last cycle
  std::atomic<std::uint64_t> dropped{0};   // events the full ring refused
  std::atomic<bool> shutdown{false};
  std::atomic<bool> zombie{false};
  std::atomic<bool> tapsWanted{false};
  // The process thread's own.
  bool haveStart = false;
  jack_nframes_t lastStart = 0;
  std::uint64_t frames = 0;  // the 64-bit frame counter at the start of the cycle
};

// The worker's queue and what it hands back; one mutex, held briefly by
// either side, never while calling JACK.
struct Worker {
  struct Command {
    enum class Kind { Open, Close } kind;
    std::uint64_t id = 0;  // an Open's number
    std::shared_ptr<Connection> connection;
  };
  struct Opened {
    std::uint64_t id = 0;
    std::shared_ptr<Connection> connection;  // null on failure
    std::string error;
  };
  std::mutex mutex;
  std::condition_variable_any wake;
  std::condition_variable ended;
  std::deque<Command> queue;
  std::optional<Opened> opened;
  std::uint64_t abandonedUpTo = 0;  // opens no one waits for: the worker closes what they open
  bool opening = false;             // an Open runs now
  bool done = false;                // the loop has ended
  JackCounters counters;
};

namespace {

// The real-time thread: no lock, allocation, I/O or Qt; only atomics and the ring.
int Process(jack_nframes_t frames, void* arg) {
  auto* c = static_cast<Connection*>(arg);
  const jack_nframes_t start = c->api->last_frame_time(c->client);
  // The server's 32-bit counter, unwrapped once, here: unsigned difference.
  c->frames = c->haveStart ? c->frames + static_cast<jack_nframes_t>(start - c->lastStart) : start;
  c->haveStart = true;
  c->lastStart = start;
  if (c->port) {
    void* buffer = c->api->port_get_buffer(c->port, frames);
    const bool taps = c->tapsWanted.load(std::memory_order_relaxed);
    const std::uint32_t count = buffer ? c->api->midi_get_event_count(buffer) : 0;
    for (std::uint32_t i = 0; i < count; ++i) {
      jack_midi_event_t event;
      if (c->api->midi_event_get(&event, buffer, i) != 0 || event.time >= frames) continue;
      const auto kind = ClassifyMidi(event.buffer, event.size);
      if (!kind || (*kind == MidiEvent::Kind::NoteOn && !taps)) continue;
      if (!c->ring.Push({c->frames + event.time, *kind}))
        c->dropped.fetch_add(1, std::memory_order_relaxed);
    }
  }
  c->nowFrame.store(c->frames + frames, std::memory_order_relaxed);
  c->cycles.fetch_add(1, std::memory_order_release);
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

// As JACK's example clients do: no more callbacks, then leave the server.
void CloseClient(Connection& c) {
  if (!c.client) return;
  c.api->deactivate(c.client);
  c.api->client_close(c.client);
  c.client = nullptr;
}

std::shared_ptr<Connection> Open(const JackApi* api, std::string& error) {
  auto c = std::make_shared<Connection>(api);
  jack_status_t status{};
  c->client = api->client_open(JackClient::kClientName, JackNoStartServer, &status);
  if (!c->client) {
    error = (status & JackServerFailed) ? "cannot connect to a JACK server"
                                        : "the JACK server refused the client (status " +
                                              std::to_string(static_cast<int>(status)) + ")";
    return nullptr;
  }
  // The server renames a second client ("tempiva-01"): the port is under that name.
  const char* name = api->get_client_name(c->client);
  c->input =
      std::string(name && *name ? name : JackClient::kClientName) + ":" + JackClient::kPortName;
  c->port = api->port_register(c->client, JackClient::kPortName, JACK_DEFAULT_MIDI_TYPE,
                               JackPortIsInput, 0);
  c->sampleRate.store(api->get_sample_rate(c->client));
  if (!c->port) {
    error = "cannot register the port " + c->input;
  } else if (api->set_process_callback(c->client, Process, c.get()) != 0 ||
             api->set_sample_rate_callback(c->client, SampleRateChanged, c.get()) != 0) {
    error = "cannot set the client's callbacks";
  } else {
    api->on_info_shutdown(c->client, ShutDown, c.get());
    if (api->activate(c->client) != 0) error = "cannot activate the JACK client";
  }
  if (error.empty()) return c;
  api->client_close(c->client);  // never activated: nothing to deactivate
  c->client = nullptr;
  return nullptr;
}

// The worker's loop: commands in order until asked to stop; a stop skips
// the opens still queued but closes every client it was given.
void Run(const std::stop_token& stop, const std::shared_ptr<Worker>& w, const JackApi* api) {
  std::unique_lock lock(w->mutex);
  for (;;) {
    w->wake.wait(lock, stop, [&] { return !w->queue.empty(); });
    if (w->queue.empty()) break;  // stopped, nothing left
    Worker::Command command = std::move(w->queue.front());
    w->queue.pop_front();
    if (command.kind == Worker::Command::Kind::Close) {
      lock.unlock();
      CloseClient(*command.connection);
      command.connection.reset();
      lock.lock();
      ++w->counters.closed;
      continue;
    }
    if (stop.stop_requested() || command.id <= w->abandonedUpTo) continue;  // no one waits
    w->opening = true;
    ++w->counters.opens;
    lock.unlock();
    std::string error;
    auto connection = Open(api, error);
    lock.lock();
    w->opening = false;
    if (connection) ++w->counters.opened;
    if (command.id <= w->abandonedUpTo || stop.stop_requested()) {
      if (connection) {  // no one waits for it any more
        lock.unlock();
        CloseClient(*connection);
        lock.lock();
        ++w->counters.closed;
      }
      continue;
    }
    w->opened = Worker::Opened{command.id, std::move(connection), std::move(error)};
  }
  w->done = true;
  w->ended.notify_all();
}

}  // namespace

namespace {

std::mutex leftBehindMutex;

// The workers a client left behind inside JACK; never destroyed, so that the
// end of the program never waits for one.
std::vector<std::pair<std::shared_ptr<Worker>, std::unique_ptr<std::jthread>>>& LeftBehind() {
  static auto* threads =
      new std::vector<std::pair<std::shared_ptr<Worker>, std::unique_ptr<std::jthread>>>();
  return *threads;
}

}  // namespace

int JackClient::ReapLeftBehind() {
  std::lock_guard lock(leftBehindMutex);
  auto& threads = LeftBehind();
  const auto ended = std::partition(threads.begin(), threads.end(), [](const auto& left) {
    std::lock_guard workerLock(left.first->mutex);
    return !left.first->done;
  });
  const auto count = static_cast<int>(threads.end() - ended);
  for (auto it = ended; it != threads.end(); ++it) it->second->join();
  threads.erase(ended, threads.end());
  return count;
}

JackClient::JackClient(const JackApi* api, std::string loadError)
    : api_(api), loadError_(std::move(loadError)) {}

JackClient::~JackClient() {
  BeginShutdown();
  FinishShutdown(*shutdownDeadline_);
}

void JackClient::SetOpen(bool open) {
  wantOpen_ = open;
  if (!open) {
    Close();
    pendingOpen_ = 0;
    failed_ = false;
    retryAtMs_ = 0;
  }
}

void JackClient::SetTaps(bool wanted) {
  tapsWanted_ = wanted;
  if (connection_) connection_->tapsWanted.store(wanted, std::memory_order_relaxed);
  if (!wanted) taps_.clear();
}

void JackClient::Close() {
  if (pendingOpen_ && worker_) {
    std::lock_guard lock(worker_->mutex);
    worker_->abandonedUpTo = std::max(worker_->abandonedUpTo, pendingOpen_);
  }
  pendingOpen_ = 0;
  if (!connection_) return;
  std::lock_guard lock(worker_->mutex);
  worker_->queue.push_back({Worker::Command::Kind::Close, 0, std::move(connection_)});
  worker_->wake.notify_one();
  connection_.reset();
}

void JackClient::StartOpening(std::int64_t nowMs) {
  if (!worker_) {
    ReapLeftBehind();
    worker_ = std::make_shared<Worker>();
    thread_ = std::make_unique<std::jthread>(
        [w = worker_, api = api_](const std::stop_token& stop) { Run(stop, w, api); });
  }
  std::lock_guard lock(worker_->mutex);
  pendingOpen_ = nextOpen_++;
  openedAtMs_ = nowMs;
  worker_->opened.reset();
  worker_->queue.push_back({Worker::Command::Kind::Open, pendingOpen_, nullptr});
  worker_->wake.notify_one();
}

ClientStatus JackClient::Fail(SourceState state, std::string reason, std::string detail,
                              std::int64_t nowMs) {
  failed_ = true;
  retryAtMs_ = nowMs + kRetryMs;
  lastFailure_ = ClientStatus{state, std::move(reason), std::move(detail), std::nullopt, {}};
  return lastFailure_;
}

ClientStatus JackClient::Poll(std::int64_t nowMs) {
  clockEvents_.clear();
  if (!api_) return {SourceState::Unavailable, "JACK not installed", loadError_, std::nullopt, {}};
  if (!wantOpen_ || shutdownDeadline_) return {};
  if (pendingOpen_) {
    std::optional<Worker::Opened> opened;
    {
      std::lock_guard lock(worker_->mutex);
      if (worker_->opened && worker_->opened->id == pendingOpen_) opened.swap(worker_->opened);
      if (!opened && nowMs - openedAtMs_ >= kOpenTimeoutMs) {
        worker_->abandonedUpTo = pendingOpen_;
        ++worker_->counters.abandonedOpens;
      }
    }
    if (!opened) {
      if (nowMs - openedAtMs_ < kOpenTimeoutMs) return {SourceState::Connecting, {}, {}, {}, {}};
      pendingOpen_ = 0;
      return Fail(SourceState::Unreachable, "JACK server not answering",
                  "no answer within " + std::to_string(kOpenTimeoutMs / 1000) + " seconds", nowMs);
    }
    pendingOpen_ = 0;
    if (!opened->connection) {
      const bool noServer = opened->error.rfind("cannot connect", 0) == 0;
      return Fail(SourceState::Unreachable,
                  noServer ? "no JACK server" : "refused by the JACK server", opened->error, nowMs);
    }
    connection_ = std::move(opened->connection);
    connection_->tapsWanted.store(tapsWanted_, std::memory_order_relaxed);
    lastTap_.reset();
    lastCycles_ = connection_->cycles.load(std::memory_order_acquire);
    lastCycleAtMs_ = nowMs;
    failed_ = false;
  }
  if (connection_) return Connected(nowMs);
  if (failed_ && nowMs < retryAtMs_) return lastFailure_;
  bool busy = false;
  if (worker_) {
    std::lock_guard lock(worker_->mutex);
    busy = worker_->opening;  // an earlier attempt still hangs in JACK
  }
  if (busy) {
    retryAtMs_ = nowMs + kRetryMs;
    return lastFailure_;
  }
  StartOpening(nowMs);
  return {SourceState::Connecting, {}, {}, {}, {}};
}

ClientStatus JackClient::Connected(std::int64_t nowMs) {
  Connection& c = *connection_;
  if (c.shutdown.load(std::memory_order_acquire)) {
    const bool zombie = c.zombie.load(std::memory_order_relaxed);
    Close();
    return zombie ? Fail(SourceState::Lost, "dropped by the JACK server",
                         "the client was zombified", nowMs)
                  : Fail(SourceState::Lost, "JACK server stopped", "server shut down", nowMs);
  }
  const std::uint64_t cycles = c.cycles.load(std::memory_order_acquire);
  if (cycles != lastCycles_) {
    lastCycles_ = cycles;
    lastCycleAtMs_ = nowMs;
  } else if (nowMs - lastCycleAtMs_ > kStallMs) {
    const std::int64_t silent = nowMs - lastCycleAtMs_;
    Close();
    return Fail(SourceState::Lost, "JACK server not responding",
                "no process cycle for " + std::to_string(silent) + " ms", nowMs);
  }
  const std::uint32_t rate = c.sampleRate.load(std::memory_order_relaxed);
  while (const auto event = c.ring.Pop()) {
    if (event->kind != MidiEvent::Kind::NoteOn) {
      clockEvents_.push_back(*event);
    } else if (tapsWanted_ && rate > 0) {
      // A note-on closer to the last tap than the fastest tempo taken is a
      // double trigger or a flood, no beat: it is not a tap.
      const bool tooSoon =
          lastTap_ &&
          static_cast<double>(event->frame - *lastTap_) * calc::kMaxSourceTempo < 60.0 * rate;
      if (tooSoon) continue;
      lastTap_ = event->frame;
      taps_.push_back(static_cast<double>(event->frame) * 1000.0 / rate);
    }
  }
  ClientStatus status{SourceState::Waiting, {}, {}, std::nullopt, c.input};
  if (rate > 0) status.sampleRate = rate;
  return status;
}

std::vector<double> JackClient::TakeTaps() { return std::exchange(taps_, {}); }

bool JackClient::QueryTransport(jack_position_t& position) const {
  if (!connection_) return false;
  connection_->api->transport_query(connection_->client, &position);
  return true;
}

std::uint64_t JackClient::nowFrame() const {
  return connection_ ? connection_->nowFrame.load(std::memory_order_relaxed) : 0;
}

JackCounters JackClient::counters() const {
  if (!worker_) return {};
  std::lock_guard lock(worker_->mutex);
  JackCounters counters = worker_->counters;
  if (connection_) counters.droppedEvents = connection_->dropped.load(std::memory_order_relaxed);
  return counters;
}

void JackClient::BeginShutdown() {
  if (shutdownDeadline_) return;
  shutdownDeadline_ = std::chrono::steady_clock::now() + kExitBound;
  Close();
  if (thread_) thread_->request_stop();
}

bool JackClient::FinishShutdown(std::chrono::steady_clock::time_point deadline) {
  if (!thread_) return true;
  bool done;
  {
    std::unique_lock lock(worker_->mutex);
    done = worker_->ended.wait_until(lock, deadline, [this] { return worker_->done; });
  }
  if (done) {
    thread_->join();
    thread_.reset();
    return true;
  }
  // Still inside JACK (a stopped or hung server): the thread keeps only its
  // own Worker and Connection, which it shares and so keeps alive, and never
  // touches anything else; the program ends without it. Its handle is kept
  // unjoined, where it stays reachable, until ReapLeftBehind finds it ended:
  // destroying it now would wait.
  std::lock_guard lock(leftBehindMutex);
  LeftBehind().push_back({worker_, std::move(thread_)});
  return false;
}

}  // namespace sequencer
