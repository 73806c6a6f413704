#include "tap_tempo_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "beside.h"
#include "commands.h"
#include "ui/window_tools.h"

namespace extras {
namespace {

constexpr int kAreaWidth = 240;  // pixels: room for a relaxed tapping hand
constexpr int kAreaHeight = 140;
constexpr double kTempoPoints = 22;
constexpr double kTapPoints = 16;

bool IsTapKey(const QKeyEvent& event) {
  const auto modifiers = event.modifiers() & ~Qt::KeypadModifier;
  if (modifiers != Qt::NoModifier) return false;
  switch (event.key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_T:
      return true;
    default:
      return false;
  }
}

}  // namespace

TapArea::TapArea(QWidget* parent) : QFrame(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  setMinimumSize(kAreaWidth, kAreaHeight);
  setCursor(Qt::PointingHandCursor);
  setAccessibleName(QStringLiteral("Tap area"));
  setAccessibleDescription(
      QStringLiteral("Click, or press Space, Enter or T, in time with the music"));
}

void TapArea::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QFrame::mousePressEvent(event);
    return;
  }
  setFocus(Qt::MouseFocusReason);
  SetDown(true);
  emit tapped(event->timestamp());
}

void TapArea::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) SetDown(false);
  QFrame::mouseReleaseEvent(event);
}

void TapArea::keyPressEvent(QKeyEvent* event) {
  if (!IsTapKey(*event)) {
    QFrame::keyPressEvent(event);
    return;
  }
  // A held key repeats; only the first press is a beat.
  if (!event->isAutoRepeat()) {
    SetDown(true);
    emit tapped(event->timestamp());
  }
  event->accept();
}

void TapArea::keyReleaseEvent(QKeyEvent* event) {
  if (IsTapKey(*event) && !event->isAutoRepeat()) SetDown(false);
  QFrame::keyReleaseEvent(event);
}

void TapArea::SetDown(bool down) {
  if (down_ == down) return;
  down_ = down;
  update();
}

void TapArea::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  const QRect inside = contentsRect().adjusted(3, 3, -3, -3);
  painter.fillRect(inside, down_ ? ui::kOptionPicture : palette().color(QPalette::Base));
  if (hasFocus()) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRect(inside.adjusted(1, 1, -1, -1));
  }
  QFont big = font();
  big.setPixelSize(ui::PointsToPixels(kTapPoints));
  big.setBold(true);
  painter.setFont(big);
  painter.setPen(palette().color(QPalette::Text));
  painter.drawText(inside.adjusted(0, 0, 0, -inside.height() / 3), Qt::AlignCenter,
                   QStringLiteral("Tap"));
  painter.setFont(font());
  painter.drawText(inside.adjusted(6, inside.height() / 3, -6, 0),
                   Qt::AlignCenter | Qt::TextWordWrap,
                   QStringLiteral("Click, or press Space, Enter or T,\nin time with the music"));
}

TapTempoWindow::TapTempoWindow(char separator)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      separator_(separator) {
  setObjectName(QStringLiteral("TapTempo"));
  setWindowTitle(QStringLiteral("Tap Tempo"));
  setAccessibleName(QStringLiteral("Tap Tempo"));
  setAccessibleDescription(
      QStringLiteral("Tap in time with the music; the calculator's tempo follows"));

  tempo_ = new QLabel(this);
  QFont big = tempo_->font();
  big.setPixelSize(ui::PointsToPixels(kTempoPoints));
  big.setBold(true);
  tempo_->setFont(big);
  tempo_->setAlignment(Qt::AlignCenter);
  count_ = new QLabel(this);
  count_->setAlignment(Qt::AlignCenter);
  area_ = new TapArea(this);
  connect(area_, &TapArea::tapped, this, &TapTempoWindow::Tap);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tempo_);
  layout->addWidget(count_);
  layout->addWidget(area_, 1);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  area_->setFocus(Qt::OtherFocusReason);
  Show();
}

void TapTempoWindow::Tap(quint64 timestampMs) {
  TapOn(TapClock::Input, static_cast<double>(timestampMs));
}

void TapTempoWindow::DeviceTap(double ms) { TapOn(TapClock::Device, ms); }

void TapTempoWindow::TapOn(TapClock clock, double ms) {
  if (clock != clock_) {
    tapTempo_.Reset();
    clock_ = clock;
  }
  tapTempo_.Tap(ms);
  Show();
  if (const auto text = calc::TapTempoText(tapTempo_.state(), separator_)) {
    emit tempoTapped(QString::fromStdString(*text));
  }
}

void TapTempoWindow::StartOver() {
  tapTempo_.Reset();
  Show();
}

void TapTempoWindow::Show() {
  const calc::TapState& state = tapTempo_.state();
  const auto text = calc::TapTempoText(state, separator_);
  tempo_->setText(text ? QStringLiteral("%1 BPM").arg(QString::fromStdString(*text))
                       : QStringLiteral("– BPM"));
  tempo_->setAccessibleName(text ? tempo_->text() : QStringLiteral("No tempo yet"));
  // From the second tap on, the status line says how sure the tempo is:
  // "120.2 BPM ± 0.3, 12 taps", or "117.4 BPM, taps disagree, 14 taps" while
  // the latest taps lie off the line (the tempo may be changing).
  const auto status = calc::TapStatusText(state, separator_);
  if (status) {
    count_->setText(QString::fromStdString(*status));
  } else if (state.taps == 0) {
    count_->setText(QStringLiteral("No taps yet"));
  } else if (state.taps == 1) {
    count_->setText(QStringLiteral("1 tap: tap again"));
  } else {
    count_->setText(QStringLiteral("%1 taps").arg(state.taps));
  }
}

void TapTempoWindow::PlaceBeside(const QWidget& calculator) {
  extras::PlaceBeside(*this, calculator);
}

void TapTempoWindow::keyPressEvent(QKeyEvent* event) {
  const QKeyCombination key = event->keyCombination();
  if (key == QKeyCombination(Qt::Key_Escape)) {
    close();
  } else if (key == kHelpKey) {
    emit helpRequested();
  } else {
    QWidget::keyPressEvent(event);
  }
}

}  // namespace extras
