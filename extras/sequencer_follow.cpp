#include "sequencer_follow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>
#include <cstdio>

#include "calc/numeric_text.h"
#include "sequencer_link.h"
#include "tap_tempo_window.h"
#include "tempo_sources.h"
#include "ui/calculator_window.h"
#include "ui/program.h"

namespace extras {

using ui::CalculatorWindow;
using ui::Program;
using ui::TempoOrigin;

namespace {

using sequencer::SequencerLink;
using sequencer::SourceReport;
using sequencer::SourceState;
using sequencer::UsesJack;

// A saved source starts at the latest this long after the program, should no
// window be painted before (one started minimized, a display that never
// exposes it).
constexpr int kLatestStartMs = 1000;
// How far the frame lies outside the tempo box, and its width, in pixels.
constexpr int kFrameMargin = 3;
constexpr int kFrameWidth = 2;
// A tempo being typed goes to a shared session once the box has rested this
// long (or at Enter), not at each keystroke: typing 250 never offers 25.
constexpr int kTypedRestMs = 300;

// A state in which the source cannot be reached.
bool Unreachable(SourceState state) {
  return state == SourceState::Unreachable || state == SourceState::Lost ||
         state == SourceState::Unavailable;
}

QColor StateColour(SourceState state) {
  if (state == SourceState::Following) return {0x2e, 0x9d, 0x4e};  // green
  if (Unreachable(state)) return {0xc0, 0x39, 0x2b};               // red
  return {0xd8, 0x9b, 0x00};                                       // amber: not yet
}

// A tinted frame drawn around the tempo box while a source drives it; it
// takes no input and no focus, and goes when the source is Manual again, so
// that the box itself is never restyled.
class FollowFrame : public QWidget {
 public:
  explicit FollowFrame(QWidget* box) : QWidget(box->parentWidget()) {
    setObjectName(QStringLiteral("tempoSourceFrame"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(box->geometry().adjusted(-kFrameMargin, -kFrameMargin, kFrameMargin, kFrameMargin));
    show();
    raise();
  }
  void SetColour(const QColor& colour) {
    if (colour == colour_) return;
    colour_ = colour;
    update();
  }
  QColor colour() const { return colour_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(QPen(colour_, kFrameWidth));
    const int half = kFrameWidth / 2;
    painter.drawRect(rect().adjusted(half, half, -half, -half));
  }

 private:
  QColor colour_;
};

}  // namespace

struct SequencerFollow::Look {
  QPointer<FollowFrame> frame;
  QString specifiedTip;  // the box's own tooltip, put back under Manual
  bool tipTaken = false;
};

SourceEntry SourceEntryOf(const SequencerFollow* follow, SourceKind source) {
  const QString name = SourceName(source);
  const SourceRow* row = RowOf(source);
  SourceEntry entry{
      WithMnemonic(source, name), true, (follow ? follow->source() : SourceKind::Manual) == source,
      row ? QString::fromUtf8(row->tip.data(), static_cast<qsizetype>(row->tip.size()))
          : QString()};
  if (!follow || source == SourceKind::Manual) return entry;
  if (follow->libraryMissing() && UsesJack(source)) {
    entry.text = WithMnemonic(source, name + QStringLiteral(" (JACK not installed)"));
    entry.enabled = false;
    return entry;
  }
  if (follow->source() == SourceKind::Manual) return entry;  // nothing known now
  const SourceReport& report = follow->report();
  if (entry.checked) {
    entry.text = WithMnemonic(source, follow->StateText());
    if (!report.input.empty())
      entry.tip = QStringLiteral("Input: %1").arg(QString::fromStdString(report.input));
  }
  if (follow->link() && UsesJack(source) && UsesJack(follow->source()) &&
      Unreachable(report.state)) {
    // The same server serves both sources: neither can be followed now.
    entry.text = WithMnemonic(
        source, name + QStringLiteral(" (") + QString::fromStdString(report.reason) + u')');
    entry.enabled = false;
  }
  return entry;
}

SequencerFollow::SequencerFollow(Program& program) : program_(program) {
  poll_.setInterval(SequencerLink::kPollMs);
  connect(&poll_, &QTimer::timeout, this, &SequencerFollow::Poll);
  typed_.setSingleShot(true);
  typed_.setInterval(kTypedRestMs);
  connect(&typed_, &QTimer::timeout, this, &SequencerFollow::ProposeTempo);
  clock_.start();
  // The run ends: the client closes while the settings are stored; the
  // link's destructor then waits for its worker a bounded time.
  connect(&program_, &Program::runEnding, this, [this] {
    poll_.stop();
    if (link_) link_->BeginShutdown();
  });
}

SequencerFollow::~SequencerFollow() = default;

QChar SequencerFollow::Separator() const {
  const std::vector<CalculatorWindow*> windows = program_.windows();
  return windows.empty() ? QChar(u'.') : QChar::fromLatin1(windows.front()->separator());
}

QString SequencerFollow::StateText() const {
  const QString name = SourceName(source_);
  if (source_ == SourceKind::Manual) return name;
  if (!link_ || pending_) return name + QStringLiteral(" (starting)");
  return stateText_;
}

void SequencerFollow::Choose(SourceKind source) {
  source_ = source;
  if (source == SourceKind::Manual) pending_ = false;
  if (pending_) return;  // the saved source gives way to this one when it starts
  if (source != SourceKind::Manual) {
    Start();
    return;
  }
  ApplyMode();
  ApplyLooks();
}

void SequencerFollow::ChooseAfterFirstPaint(SourceKind source) {
  source_ = source;
  if (source == SourceKind::Manual) return;
  pending_ = true;
  for (const auto& [window, look] : looks_) window->installEventFilter(this);
  QTimer::singleShot(kLatestStartMs, this, [this] {
    if (pending_) Start();
  });
}

void SequencerFollow::Start() {
  pending_ = false;
  for (const auto& [window, look] : looks_) window->removeEventFilter(this);
  if (source_ == SourceKind::Manual) return;
  if (!link_) {
    link_ = std::make_unique<SequencerLink>();
  } else if (!rateText_.isEmpty() && link_->clientOpen() && UsesJack(source_)) {
    // Still connected (kept for device taps): the rate it reported holds.
    for (CalculatorWindow* window : program_.windows()) window->SetSampleRate(rateText_);
  }
  ApplyMode();
  ApplyLooks();
}

void SequencerFollow::ApplyMode() {
  if (!link_) return;
  const SourceKind before = link_->source();
  link_->Set({source_, TapsOpen(), BoxTempo().value_or(120.0)});
  if (link_->source() != before) {
    written_.clear();
    report_ = SourceReport{};
    report_.source = source_;
  }
  Poll();  // the true state at once
  if (source_ != SourceKind::Manual || link_->clientOpen()) {
    poll_.start();
  } else {
    poll_.stop();
  }
}

void SequencerFollow::Poll() {
  if (!link_) return;
  Take(link_->Poll(clock_.elapsed()));
  for (const double ms : link_->TakeTaps()) {
    if (TapsOpen()) taps_->DeviceTap(ms);
  }
  const std::uint64_t dropped = link_->counters().droppedEvents;
  if (dropped > reportedDropped_) {
    std::fprintf(stderr, "%s: %llu MIDI events lost (the input ran full)\n",
                 qPrintable(QCoreApplication::applicationName()),
                 static_cast<unsigned long long>(dropped - reportedDropped_));
    std::fflush(stderr);
  }
  reportedDropped_ = dropped;
}

void SequencerFollow::SayFailure(const SourceReport& report) {
  if (!Unreachable(report.state)) {
    if (report.state == SourceState::Waiting || report.state == SourceState::Following)
      reportedFailure_.clear();  // a connection holds
    return;
  }
  if (stateText_ == reportedFailure_) return;  // once per failure, not at every retry
  reportedFailure_ = stateText_;
  std::fprintf(stderr, "%s: %s: %s\n", qPrintable(QCoreApplication::applicationName()),
               qPrintable(stateText_), report.detail.c_str());
  std::fflush(stderr);
}

void SequencerFollow::Take(const SourceReport& report) {
  const bool rateNew = report.sampleRate && report.sampleRate != report_.sampleRate;
  if (report.state == SourceState::Unavailable && UsesJack(report.source)) libraryMissing_ = true;
  CalculatorWindow* shown = program_.shownWindow();
  const int maxLength = shown ? shown->tempoBox()->maxLength() : 0;
  const QString tempoText =
      report.tempo ? TempoText(report.source, *report.tempo, maxLength, Separator()) : QString();
  const QString stateText = report.source == SourceKind::Manual
                                ? SourceName(report.source)
                                : extras::StateText(report, tempoText, Separator());
  const bool changed = stateText != stateText_ || report.state != report_.state;
  report_ = report;
  stateText_ = stateText;
  if (source_ == SourceKind::Manual) return;  // the client is kept for device taps only
  SayFailure(report);
  if (rateNew) {
    rateText_ = QString::number(*report.sampleRate);
    for (CalculatorWindow* window : program_.windows()) window->SetSampleRate(rateText_);
  }
  if (Unreachable(report.state)) written_.clear();  // a new connection writes its tempo anew
  if (report.state == SourceState::Following && !tempoText.isEmpty() && tempoText != written_ &&
      !typed_.isActive()) {
    written_ = tempoText;
    if (shown) shown->WriteTempo(tempoText.toStdString(), TempoOrigin::Sequencer);
  }
  if (changed) {
    ApplyLooks();
    emit stateChanged();
  }
}

void SequencerFollow::Attach(CalculatorWindow& window) {
  auto& look = looks_[&window];
  look = std::make_unique<Look>();
  connect(&window, &CalculatorWindow::tempoWritten, this, [this](TempoOrigin origin) {
    if (!IsManualChange(origin) || source_ == SourceKind::Manual) return;
    if (!link_ || !link_->SharesTempo()) {
      emit manualChange();
    } else if (origin == TempoOrigin::Typed) {
      typed_.start();
    } else {
      ProposeTempo();
    }
  });
  connect(window.tempoBox(), &QLineEdit::returnPressed, this, [this] {
    if (typed_.isActive()) ProposeTempo();
  });
  connect(&window, &QObject::destroyed, this, [this, gone = &window] { looks_.erase(gone); });
  if (pending_) window.installEventFilter(this);
  if (source_ != SourceKind::Manual && !pending_ && !rateText_.isEmpty())
    window.SetSampleRate(rateText_);
  ApplyLook(window, *look);
}

void SequencerFollow::WatchTaps(TapTempoWindow& taps) {
  taps_ = &taps;
  taps.installEventFilter(this);
  ApplyMode();
}

bool SequencerFollow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == taps_ && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
    // After the event: isVisible() has changed by then.
    QTimer::singleShot(0, this, [this] { ApplyMode(); });
  } else if (pending_ && event->type() == QEvent::Paint) {
    QTimer::singleShot(0, this, [this] {
      if (pending_) Start();
    });
  }
  return false;
}

void SequencerFollow::ApplyLooks() {
  for (auto& [window, look] : looks_) ApplyLook(*window, *look);
}

void SequencerFollow::ApplyLook(CalculatorWindow& window, Look& look) {
  QLineEdit* box = window.tempoBox();
  if (source_ == SourceKind::Manual || pending_) {
    delete look.frame;
    if (look.tipTaken) box->setToolTip(look.specifiedTip);
    look.tipTaken = false;
    return;
  }
  if (!look.tipTaken) {
    look.specifiedTip = box->toolTip();
    look.tipTaken = true;
  }
  if (!look.frame) look.frame = new FollowFrame(box);
  look.frame->SetColour(StateColour(link_ ? report_.state : SourceState::Connecting));
  QString tip = look.specifiedTip.isEmpty() ? QString() : look.specifiedTip + u'\n';
  tip += QStringLiteral("Tempo source: %1\n").arg(StateText()) +
         (link_ && link_->SharesTempo()
              ? QStringLiteral("A tempo you set yourself goes to the whole session.")
              : QStringLiteral("A tempo you set yourself returns to Manual."));
  // The input port actually registered (a second copy's is "tempiva-01:midi_in").
  if (source_ == SourceKind::MidiClock && !report_.input.empty())
    tip += QStringLiteral("\nInput: %1").arg(QString::fromStdString(report_.input));
  box->setToolTip(tip);
}

std::optional<double> SequencerFollow::BoxTempo() const {
  const CalculatorWindow* shown = program_.shownWindow();
  if (!shown) return std::nullopt;
  return calc::TextToNumber(shown->tempoBox()->text().toStdString(), shown->separator());
}

void SequencerFollow::ProposeTempo() {
  typed_.stop();
  const std::optional<double> bpm = BoxTempo();
  if (!link_ || !bpm) return;
  if (link_->Propose(*bpm)) {
    // The session's echo of it leaves the box as the user wrote it.
    const CalculatorWindow* shown = program_.shownWindow();
    written_ = TempoText(source_, *bpm, shown ? shown->tempoBox()->maxLength() : 0, Separator());
  }
  Poll();  // a tempo refused says why at once
}

bool SequencerFollow::TapsOpen() const { return taps_ && taps_->isVisible(); }

}  // namespace extras
