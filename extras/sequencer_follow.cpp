#include "sequencer_follow.h"

#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>

#include "sequencer_link.h"
#include "tap_tempo_window.h"
#include "ui/calculator_window.h"
#include "ui/program.h"

namespace extras {
namespace {

using sequencer::SequencerLink;

// A saved source starts at the latest this long after the program, should no
// window be painted before (one started minimized, a display that never
// exposes it).
constexpr int kLatestStartMs = 1000;
// How far the frame lies outside the tempo box, and its width, in pixels.
constexpr int kFrameMargin = 3;
constexpr int kFrameWidth = 2;

SequencerLink::Mode ModeOf(TempoSource source) {
  switch (source) {
    case TempoSource::JackTransport:
      return SequencerLink::Mode::JackTransport;
    case TempoSource::MidiClock:
      return SequencerLink::Mode::MidiClock;
    case TempoSource::Manual:
      break;
  }
  return SequencerLink::Mode::Off;
}

// The entry's text with its mnemonic: the source's name begins it.
QString WithMnemonic(TempoSource source, QString text) {
  const int at = source == TempoSource::MidiClock ? 5 : 0;  // "MIDI &Clock", "&JACK", "&Manual"
  return text.insert(at, u'&');
}

// A link state in which the server cannot be reached.
bool Unreachable(SequencerLink::State state) {
  return state == SequencerLink::State::NoServer || state == SequencerLink::State::ServerGone ||
         state == SequencerLink::State::LibraryMissing;
}

QColor StateColour(SequencerLink::State state) {
  if (state == SequencerLink::State::Following) return {0x2e, 0x9d, 0x4e};  // green
  if (Unreachable(state)) return {0xc0, 0x39, 0x2b};                        // red
  return {0xd8, 0x9b, 0x00};                                                // amber: not yet
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

SourceEntry SourceEntryOf(const SequencerFollow* follow, TempoSource source) {
  const QString name = SequencerLink::sourceName(ModeOf(source));
  SourceEntry entry{WithMnemonic(source, name), true,
                    (follow ? follow->source() : TempoSource::Manual) == source};
  if (!follow || source == TempoSource::Manual) return entry;
  if (follow->libraryMissing()) {
    entry.text = WithMnemonic(source, name + QStringLiteral(" (JACK not installed)"));
    entry.enabled = false;
    return entry;
  }
  if (follow->source() == TempoSource::Manual) return entry;  // nothing known now
  const QString state = follow->StateText();
  if (entry.checked) entry.text = WithMnemonic(source, state);
  const SequencerLink* link = follow->link();
  if (link && Unreachable(link->state())) {
    // The same server serves both sources: neither can be followed now.
    const QString chosen = SequencerLink::sourceName(ModeOf(follow->source()));
    entry.text = WithMnemonic(source, name + state.mid(chosen.size()));
    entry.enabled = false;
  }
  return entry;
}

SequencerFollow::SequencerFollow(ui::Program& program) : program_(program) {}

SequencerFollow::~SequencerFollow() = default;

QString SequencerFollow::StateText() const {
  const QString name = SequencerLink::sourceName(ModeOf(source_));
  if (source_ == TempoSource::Manual) return name;
  if (!link_ || pending_) return name + QStringLiteral(" (starting)");
  const QString text = link_->stateText();
  return text.isEmpty() ? name + QStringLiteral(" (connecting)") : text;
}

void SequencerFollow::Choose(TempoSource source) {
  source_ = source;
  if (source == TempoSource::Manual) pending_ = false;
  if (pending_) return;  // the saved source gives way to this one when it starts
  if (source != TempoSource::Manual) {
    Start();
    return;
  }
  ApplyMode();
  ApplyLooks();
}

void SequencerFollow::ChooseAfterFirstPaint(TempoSource source) {
  source_ = source;
  if (source == TempoSource::Manual) return;
  pending_ = true;
  for (const auto& [window, look] : looks_) window->installEventFilter(this);
  QTimer::singleShot(kLatestStartMs, this, [this] {
    if (pending_) Start();
  });
}

void SequencerFollow::Start() {
  pending_ = false;
  for (const auto& [window, look] : looks_) window->removeEventFilter(this);
  if (source_ == TempoSource::Manual) return;
  if (!link_) {
    link_ = std::make_unique<SequencerLink>();
    for (ui::Which which : {ui::Which::Compact, ui::Which::Large}) {
      if (const ui::CalculatorWindow* window = program_.window(which)) {
        link_->setDecimalSeparator(QChar::fromLatin1(window->separator()));
        break;
      }
    }
    connect(link_.get(), &SequencerLink::stateChanged, this,
            [this](SequencerLink::State state, const QString&) {
              if (state == SequencerLink::State::LibraryMissing) libraryMissing_ = true;
              ApplyLooks();
            });
    connect(link_.get(), &SequencerLink::tempoText, this, [this](const QString& text) {
      if (source_ == TempoSource::Manual) return;  // the client is kept for device taps only
      if (ui::CalculatorWindow* window = VisibleWindow())
        window->WriteTempo(text.toStdString(), ui::TempoOrigin::Sequencer);
    });
    connect(link_.get(), &SequencerLink::sampleRateText, this, [this](const QString& text) {
      rateText_ = text;
      if (source_ == TempoSource::Manual) return;
      for (ui::Which which : {ui::Which::Compact, ui::Which::Large}) {
        if (ui::CalculatorWindow* window = program_.window(which)) window->SetSampleRate(text);
      }
    });
    connect(link_.get(), &SequencerLink::midiTap, this, [this](double ms) {
      if (TapsOpen()) taps_->DeviceTap(ms);
    });
  } else if (!rateText_.isEmpty() && link_->mode() != SequencerLink::Mode::Off) {
    // Still connected (kept for device taps): the rate it reported holds.
    for (ui::Which which : {ui::Which::Compact, ui::Which::Large}) {
      if (ui::CalculatorWindow* window = program_.window(which)) window->SetSampleRate(rateText_);
    }
  }
  ApplyMode();
  ApplyLooks();
}

void SequencerFollow::ApplyMode() {
  if (!link_) return;
  auto mode = ModeOf(source_);
  // Back to Manual while the Tap Tempo window is open (a tap did it): the
  // client stays, so that the pad that tapped goes on tapping.
  if (source_ == TempoSource::Manual && TapsOpen()) mode = link_->mode();
  link_->setTapsWanted(TapsOpen());
  link_->setMode(mode);
}

void SequencerFollow::Attach(ui::CalculatorWindow& window) {
  auto& look = looks_[&window];
  look = std::make_unique<Look>();
  connect(&window, &ui::CalculatorWindow::tempoWritten, this, [this](ui::TempoOrigin origin) {
    if (ui::IsManualChange(origin) && source_ != TempoSource::Manual) emit manualChange();
  });
  connect(&window, &QObject::destroyed, this, [this, gone = &window] { looks_.erase(gone); });
  if (pending_) window.installEventFilter(this);
  if (source_ != TempoSource::Manual && !pending_ && !rateText_.isEmpty())
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

void SequencerFollow::ApplyLook(ui::CalculatorWindow& window, Look& look) {
  QLineEdit* box = window.tempoBox();
  if (source_ == TempoSource::Manual || pending_) {
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
  look.frame->SetColour(StateColour(link_ ? link_->state() : SequencerLink::State::Connecting));
  QString tip = look.specifiedTip.isEmpty() ? QString() : look.specifiedTip + u'\n';
  tip += QStringLiteral("Tempo source: %1\nA tempo you set yourself returns to Manual.")
             .arg(StateText());
  box->setToolTip(tip);
}

ui::CalculatorWindow* SequencerFollow::VisibleWindow() const {
  for (ui::Which which : {ui::Which::Compact, ui::Which::Large}) {
    ui::CalculatorWindow* window = program_.window(which);
    if (window && window->isVisible()) return window;
  }
  return nullptr;
}

bool SequencerFollow::TapsOpen() const { return taps_ && taps_->isVisible(); }

}  // namespace extras
