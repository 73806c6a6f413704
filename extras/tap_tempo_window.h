// The Tap Tempo window: the user taps in time with the music and the tempo
// follows at once. One small window beside the calculator, made on first use
// and kept out of the saved settings.
#pragma once

#include <QFrame>
#include <QWidget>

#include "calc/tempo_tools.h"

class QLabel;

namespace extras {

// The large area the user taps: a press of the left mouse button, or of Space,
// Enter or T while it has the focus, is one tap at the input event's own time.
class TapArea : public QFrame {
  Q_OBJECT
 public:
  explicit TapArea(QWidget* parent);

 signals:
  void tapped(quint64 timestampMs);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void SetDown(bool down);
  bool down_ = false;
};

class TapTempoWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TapTempoWindow(char separator);

  // One tap at `timestampMs`; from the second tap of a series on, the tempo is
  // shown and announced.
  void Tap(quint64 timestampMs);
  // A note-on from a MIDI device at `ms` on the sequencer's clock. That clock
  // is not the input events': a device tap after a keyboard or mouse tap, or
  // the other way round, starts a new series.
  void DeviceTap(double ms);
  // Forgets the series: the next tap is the first of a new one.
  void StartOver();
  // Puts the window beside `calculator` on its screen: to its right where it
  // fits, else to its left.
  void PlaceBeside(const QWidget& calculator);

  const calc::TapState& state() const { return tapTempo_.state(); }
  TapArea* area() const { return area_; }

 signals:
  // The tapped tempo as the tempo box takes it, rounded to one decimal.
  void tempoTapped(const QString& tempoText);
  void helpRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  enum class TapClock { Input, Device };
  void TapOn(TapClock clock, double ms);
  void Show();

  const char separator_;
  calc::TapTempo tapTempo_;
  TapClock clock_ = TapClock::Input;  // the clock of the series' taps
  QLabel* tempo_ = nullptr;
  QLabel* count_ = nullptr;
  TapArea* area_ = nullptr;
};

}  // namespace extras
