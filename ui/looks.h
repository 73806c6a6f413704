// Fonts, colours and pictures of the calculator windows, in one place. The
// layouts give only a text size and weight (FontRow); every text is drawn in
// one sans-serif face a Linux desktop has, at pixel sizes, so the whole
// window scales evenly.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPalette>

#include "calc/stereo.h"
#include "include/ui/window_tools.h"
#include "layout.h"

namespace ui {

// Text box colours: text, then background. The delay boxes' colours belong to
// the calculation core, which marks the stereo pairs with them.
inline const QColor kInputText{224, 224, 224};
inline const QColor kBoxBack = ToColor(calc::kPlainSlotBack);
inline const QColor kOutputText = ToColor(calc::kPlainSlotText);
inline const QColor kDottedText = ToColor(calc::kDottedSlotText);
inline const QColor kDottedBack = ToColor(calc::kDottedSlotBack);
// The classic active-window-border grey of the compact window.
inline const QColor kActiveBorder{212, 208, 200};

QFont FontFor(const FontRow& entry);

// The palette of a text box or combo box in the given style.
void ApplyBoxStyle(QWidget* box, BoxStyle style, const QColor& textOverride = QColor());

QColor WindowBackgroundColor(WindowBackground background, const QPalette& palette);

// The window icon: a navy screen in a grey frame with a cyan waveform of
// three decaying pulses. AppIcon carries it at 16 and 32 pixels; the desktop
// icons of every size are drawn by the same code.
QImage DrawAppIcon(int size);
QIcon AppIcon();

}  // namespace ui
