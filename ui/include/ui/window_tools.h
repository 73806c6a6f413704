// What the window library lends to the parts built on top of it (the extras'
// windows, the programs' start): the application's look and how a window of
// theirs matches the calculator windows'.
#pragma once

#include <QColor>

#include "calc/stereo.h"

class QWidget;

namespace ui {

constexpr QColor ToColor(calc::Rgb rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

// The solid picture of the option buttons, the colour of a pressed control.
inline const QColor kOptionPicture = ToColor(calc::kPairMark);

// The application-wide look both layouts are drawn with: one widget style on
// every desktop, so the boxes keep the room their texts were sized for.
void InitApplication();

// Pixels for a point size at 96 dots per inch, the density the twips assume.
int PointsToPixels(double points);

// Makes `window` transient for the top-level window of `over`; none for null.
// Both native windows are made if they do not exist yet.
void SetTransientFor(QWidget& window, QWidget* over);

}  // namespace ui
