#include "beside.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace extras {

namespace {
constexpr int kGap = 8;  // pixels between the calculator and the window
}  // namespace

void PlaceBeside(QWidget& window, const QWidget& calculator) {
  window.ensurePolished();
  window.adjustSize();
  const QRect beside = calculator.frameGeometry();
  const QScreen* screen = calculator.screen();
  const QRect room = screen ? screen->availableGeometry() : QRect();
  // The window frame is unknown before the first show; the calculator's is a fair guess.
  const QSize outer = window.size() + (calculator.frameGeometry().size() - calculator.size());
  int x = beside.right() + 1 + kGap;
  if (room.isValid() && x + outer.width() > room.right() + 1) {
    x = beside.left() - kGap - outer.width();
  }
  int y = beside.top();
  if (room.isValid()) {
    x = std::clamp(x, room.left(), std::max(room.left(), room.right() + 1 - outer.width()));
    y = std::clamp(y, room.top(), std::max(room.top(), room.bottom() + 1 - outer.height()));
  }
  window.move(x, y);
}

}  // namespace extras
