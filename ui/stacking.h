// Windows that open above the calculator window they came from (the About
// box, the Tap Tempo window, message boxes): transient for it at the window
// system, not owned by it, so they stack above it whatever its stacking and
// follow its Keep Above, yet keep their own place and their own life.
#pragma once

class QWidget;

namespace ui {

// Makes `window` transient for the top-level window of `over`; none for null.
// Both native windows are made if they do not exist yet.
void SetTransientFor(QWidget& window, QWidget* over);

// Every parentless window transient for `from` becomes transient for `to`, or
// for none when `to` is null: for `from` about to hide for good or go, so that
// no window stays transient for a window that is gone.
void MoveTransients(const QWidget& from, QWidget* to);

}  // namespace ui
