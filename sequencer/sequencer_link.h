// Follows a sequencer's tempo and sample rate through JACK: its transport
// (when a timebase master publishes bar, beat and tick) or a MIDI beat clock
// on the input port tempiva:midi_in, whose note-ons also count as taps.
//
// Everything the link says reaches the GUI thread by signals from a 10 Hz
// poll there. JACK is loaded when a source is first chosen; the client is
// opened by a worker thread under a time limit, and closed by one, so the GUI
// thread never waits on JACK. The process callback only fills a lock-free
// ring. A failure shows in the state (and once on standard error); a missing
// server, one that stops or one that drops the client is tried again every
// few seconds.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>

#include "calc/clock_estimator.h"

namespace sequencer {

struct Connection;
struct OpenAttempt;

class SequencerLink : public QObject {
  Q_OBJECT

 public:
  enum class Mode { Off, JackTransport, MidiClock };
  Q_ENUM(Mode)

  enum class State {
    Off,             // no source: nothing loaded, no client
    LibraryMissing,  // "JACK Transport (JACK not installed)"
    NoServer,        // "JACK Transport (no JACK server)", "... (JACK server not answering)"
    Connecting,      // "JACK Transport (connecting)"
    Waiting,         // "JACK Transport: no tempo published", "MIDI Clock: waiting for clock"
    Following,       // "JACK Transport: 128 BPM", "MIDI Clock: 128.0 BPM"
    ServerGone,      // "... (JACK server stopped)", "... (dropped by the JACK server)",
                     // "... (JACK server not responding)"
  };
  Q_ENUM(State)

  static constexpr int kPollMs = 100;
  static constexpr int kRetryMs = 3000;         // a new try after a failure
  static constexpr int kOpenTimeoutMs = 5000;   // opening the client, at most
  static constexpr int kStallMs = 2000;         // no process cycle for so long: not responding
  static constexpr int kClockSilenceMs = 1000;  // no clock tick for so long: waiting again
  static constexpr double kClockStep = 0.05;    // smallest clock tempo change shown, BPM

  explicit SequencerLink(QObject* parent = nullptr);
  // Closes the client on a worker thread and waits for it at most a second.
  ~SequencerLink() override;

  Mode mode() const { return mode_; }
  State state() const { return state_; }
  // The menu entry of the current source, with its state.
  QString stateText() const { return stateText_; }
  // "Manual", "JACK Transport", "MIDI Clock".
  static QString sourceName(Mode mode);
  // The decimal separator of the tempo texts (default '.').
  void setDecimalSeparator(QChar separator) { separator_ = separator; }

 public slots:
  // Off closes the client; a JACK source opens it (once for both sources).
  void setMode(sequencer::SequencerLink::Mode mode);
  // Note-ons count as taps only while wanted (the Tap Tempo window is open).
  void setTapsWanted(bool wanted);

 signals:
  void stateChanged(sequencer::SequencerLink::State state, const QString& text);
  // A new tempo for the tempo box, to be taken as if typed: transport tempo
  // in the shortest text with at most 3 decimals, clock tempo with 1 decimal.
  void tempoText(const QString& text);
  // The server's sample rate as a plain number: "48000".
  void sampleRateText(const QString& text);
  // A note-on, at its time on the server's clock in milliseconds.
  void midiTap(double ms);

 private:
  void poll();
  void startOpening();
  void finishOpening();
  void closeConnection();
  void followTransport();
  void drainMidi();
  void followClock();
  void fail(State state, const QString& reason, const QString& detail);
  void setState(State state, const QString& text);
  void restartFollowing();

  Mode mode_ = Mode::Off;
  State state_ = State::Off;
  QString stateText_;
  QString reportedFailure_;  // the failure last said on stderr, until a connection holds
  QChar separator_ = u'.';
  bool tapsWanted_ = false;
  QTimer poll_;
  QElapsedTimer clock_;    // the poll's own time
  qint64 retryAtMs_ = 0;   // the next try, on clock_
  qint64 openedAtMs_ = 0;  // when the running attempt started
  std::shared_ptr<OpenAttempt> attempt_;
  std::shared_ptr<Connection> connection_;
  // Following.
  std::uint32_t sampleRate_ = 0;
  std::uint64_t lastCycles_ = 0;
  qint64 lastCycleAtMs_ = 0;
  int framesWithoutBbt_ = 0;
  QString lastTempoText_;
  calc::ClockTempoEstimator estimator_;
  double shownClockTempo_ = 0.0;  // 0: none shown in this run
  qint64 lastTickAtMs_ = -1;      // -1: no tick yet
  bool haveEventFrame_ = false;
  std::uint32_t lastEventFrame_ = 0;
  std::uint64_t eventFrames_ = 0;  // the events' frame time without wrap-around
  std::uint32_t reportedDropped_ = 0;
};

}  // namespace sequencer
