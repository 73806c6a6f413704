// Following a sequencer: the tempo source the user chose, the link that
// feeds it, polled here, and what the calculator windows show of it. Made
// when a source other than Manual is first chosen (or was saved); the link,
// and with it the JACK library, only when that source starts.
//
// One rule ends following: a tempo the user sets himself (typed, a tempo
// key, the slider, a scale label, a tap, a text set through the accessibility
// interface) returns the source to Manual; but a source that shares its tempo
// (a Link session) is offered that tempo instead, and following goes on.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <map>
#include <memory>
#include <optional>

#include "preferences.h"
#include "tempo_source.h"
#include "ui/calculator_window.h"

namespace sequencer {
class SequencerLink;
}

namespace ui {
class Program;
}  // namespace ui

namespace extras {

// A change of the tempo the user made, which ends following a source:
// whatever the program did not write itself.
constexpr bool IsManualChange(ui::TempoOrigin origin) {
  return origin != ui::TempoOrigin::Sequencer && origin != ui::TempoOrigin::Program;
}

class TapTempoWindow;

// What a Tempo Source menu entry shows.
struct SourceEntry {
  QString text;  // with its mnemonic
  bool enabled = true;
  bool checked = false;
  QString tip;  // where it listens, once known: "Input: tempiva-01:midi_in"
};

class SequencerFollow;
// The entry of `source` in the Tempo Source menu; `follow` is null while no
// source was ever chosen: nothing is known then, and every entry is offered.
SourceEntry SourceEntryOf(const SequencerFollow* follow, SourceKind source);

class SequencerFollow : public QObject {
  Q_OBJECT

 public:
  explicit SequencerFollow(ui::Program& program);
  ~SequencerFollow() override;

  SourceKind source() const { return source_; }
  // Follows `source` from now on (Manual stops following).
  void Choose(SourceKind source);
  // Chooses a saved source once a calculator window has been painted, so that
  // the first paint never waits for JACK.
  void ChooseAfterFirstPaint(SourceKind source);
  // Shows the state in the window and hears its manual tempo changes.
  void Attach(ui::CalculatorWindow& window);
  // Device taps go to this window while it is open.
  void WatchTaps(TapTempoWindow& taps);

  // Null until a source first starts.
  sequencer::SequencerLink* link() const { return link_.get(); }
  // What the source said at the last poll.
  const sequencer::SourceReport& report() const { return report_; }
  // The chosen source and its state, as its menu entry and the tooltip say it.
  QString StateText() const;
  // The JACK library cannot be loaded: it never will in this run.
  bool libraryMissing() const { return libraryMissing_; }

 signals:
  // The user set a tempo himself while a sequencer was followed.
  void manualChange();
  // The state text changed: an open Tempo Source menu shows it anew.
  void stateChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Look;
  void Start();
  void Poll();
  void Take(const sequencer::SourceReport& report);
  void SayFailure(const sequencer::SourceReport& report);
  void ApplyMode();
  void ApplyLooks();
  void ApplyLook(ui::CalculatorWindow& window, Look& look);
  bool TapsOpen() const;
  // The tempo in the shown window's box, when it reads as a number.
  std::optional<double> BoxTempo() const;
  // Offers the box's tempo to a source that shares it.
  void ProposeTempo();
  QChar Separator() const;

  ui::Program& program_;
  SourceKind source_ = SourceKind::Manual;
  bool pending_ = false;  // a saved source waits for the first paint
  bool libraryMissing_ = false;
  std::unique_ptr<sequencer::SequencerLink> link_;
  QTimer poll_;
  QTimer typed_;  // a tempo being typed rests before it is offered
  QElapsedTimer clock_;
  sequencer::SourceReport report_;
  QString stateText_;        // as the menu and the tooltip say it
  QString written_;          // the tempo text last written into the box
  QString reportedFailure_;  // said once on standard error, until a connection holds
  std::uint64_t reportedDropped_ = 0;
  QPointer<TapTempoWindow> taps_;
  QString rateText_;  // the server's sample rate, once known
  std::map<ui::CalculatorWindow*, std::unique_ptr<Look>> looks_;
};

}  // namespace extras
