// Following a sequencer: the tempo source the user chose, the JACK link that
// feeds it, and what the calculator windows show of it. Made when a source
// other than Manual is first chosen (or was saved); the link, and with it the
// JACK library, only when that source starts.
//
// One rule ends following: a tempo the user sets himself (typed, a tempo
// key, the slider, a scale label, a tap) returns the source to Manual.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <memory>

#include "preferences.h"

namespace sequencer {
class SequencerLink;
}

namespace ui {
class CalculatorWindow;
class Program;
}  // namespace ui

namespace extras {

class TapTempoWindow;

// What a Tempo Source menu entry shows.
struct SourceEntry {
  QString text;  // with its mnemonic
  bool enabled = true;
  bool checked = false;
};

class SequencerFollow;
// The entry of `source` in the Tempo Source menu; `follow` is null while no
// source was ever chosen: nothing is known then, and every entry is offered.
SourceEntry SourceEntryOf(const SequencerFollow* follow, TempoSource source);

class SequencerFollow : public QObject {
  Q_OBJECT

 public:
  explicit SequencerFollow(ui::Program& program);
  ~SequencerFollow() override;

  TempoSource source() const { return source_; }
  // Follows `source` from now on (Manual stops following).
  void Choose(TempoSource source);
  // Chooses a saved source once a calculator window has been painted, so that
  // the first paint never waits for JACK.
  void ChooseAfterFirstPaint(TempoSource source);
  // Shows the state in the window and hears its manual tempo changes.
  void Attach(ui::CalculatorWindow& window);
  // Device taps go to this window while it is open.
  void WatchTaps(TapTempoWindow& taps);

  // Null until a JACK source first starts.
  sequencer::SequencerLink* link() const { return link_.get(); }
  // The chosen source and its state, as its menu entry and the tooltip say it.
  QString StateText() const;
  // The JACK library cannot be loaded: it never will in this run.
  bool libraryMissing() const { return libraryMissing_; }

 signals:
  // The user set a tempo himself while a sequencer was followed.
  void manualChange();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Look;
  void Start();
  void ApplyMode();
  void ApplyLooks();
  void ApplyLook(ui::CalculatorWindow& window, Look& look);
  ui::CalculatorWindow* VisibleWindow() const;
  bool TapsOpen() const;

  ui::Program& program_;
  TempoSource source_ = TempoSource::Manual;
  bool pending_ = false;  // a saved source waits for the first paint
  bool libraryMissing_ = false;
  std::unique_ptr<sequencer::SequencerLink> link_;
  QPointer<TapTempoWindow> taps_;
  QString rateText_;  // the server's sample rate, once known
  std::map<ui::CalculatorWindow*, std::unique_ptr<Look>> looks_;
};

}  // namespace extras
