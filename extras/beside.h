// Where the extras' small windows open: beside the calculator they serve.
#pragma once

class QWidget;

namespace extras {

// Moves `window` beside `calculator` on its screen: to its right where it
// fits, else to its left, kept on the screen.
void PlaceBeside(QWidget& window, const QWidget& calculator);

}  // namespace extras
