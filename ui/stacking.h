// Windows that open above the calculator window they came from (the About
// box, the Tap Tempo window, message boxes): transient for it at the window
// system, not owned by it, so they stack above it whatever its stacking and
// follow its Keep Above, yet keep their own place and their own life.
#pragma once

#include "include/ui/window_tools.h"

namespace ui {

// Every parentless window transient for `from` becomes transient for `to`, or
// for none when `to` is null: for `from` about to hide for good or go, so that
// no window stays transient for a window that is gone.
void MoveTransients(const QWidget& from, QWidget* to);

}  // namespace ui
