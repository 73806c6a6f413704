#include "looks.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyleFactory>
#include <QWidget>
#include <cmath>

namespace ui {

int PointsToPixels(double points) { return static_cast<int>(std::lround(points * 96.0 / 72.0)); }

QFont FontFor(const FontRow& entry) {
  // Liberation Sans has the metrics the boxes were sized for; the others
  // stand in where it is missing.
  static const QStringList sans = {"Liberation Sans", "Arimo", "Nimbus Sans", "DejaVu Sans"};
  constexpr double kDefaultPoints = 8.25;
  QFont font;
  font.setFamilies(sans);
  const double points = entry.points > 0 ? entry.points : kDefaultPoints;
  font.setPixelSize(std::max(1, PointsToPixels(points)));
  font.setBold(entry.bold);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

void ApplyBoxStyle(QWidget* box, BoxStyle style, const QColor& textOverride) {
  QColor text, back;
  switch (style) {
    case BoxStyle::None:
      return;
    case BoxStyle::Input:
      text = kInputText;
      back = kBoxBack;
      break;
    case BoxStyle::Output:
      text = kOutputText;
      back = kBoxBack;
      break;
    case BoxStyle::DottedOutput:
      text = kDottedText;
      back = kDottedBack;
      break;
  }
  if (textOverride.isValid()) text = textOverride;
  QPalette palette = box->palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Base, back);
    palette.setColor(group, QPalette::Text, text);
    palette.setColor(group, QPalette::ButtonText, text);
    palette.setColor(group, QPalette::Button, back);
    palette.setColor(group, QPalette::WindowText, text);
  }
  box->setPalette(palette);
}

QColor WindowBackgroundColor(WindowBackground background, const QPalette& palette) {
  return background == WindowBackground::ActiveBorder ? kActiveBorder
                                                      : palette.color(QPalette::Button);
}

QImage DrawAppIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, size > 16);
  const qreal unit = size / 16.0;
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(160, 160, 160));  // frame
  painter.drawRect(QRectF(0, 1 * unit, 16 * unit, 14 * unit));
  painter.setBrush(QColor(0, 0, 128));  // screen
  painter.drawRect(QRectF(1.5 * unit, 2.5 * unit, 13 * unit, 11 * unit));
  // Three pulses, each a burst that dies away, each weaker than the one before.
  QPainterPath wave;
  const qreal baseline = 8 * unit;
  const int steps = 12 * 8;
  for (int step = 0; step <= steps; ++step) {
    const qreal t = 12.0 * step / steps;  // 0 to 12 screen units
    const int pulse = std::min(2, static_cast<int>(t / 4.0));
    const qreal u = t - 4.0 * pulse;
    const qreal level =
        std::sin(u * 3.14159265 * 1.25) * std::exp(-u * 0.85) * (1.0 - 0.22 * pulse) * 5.0 * unit;
    const QPointF point(2 * unit + t * unit, baseline - level);
    if (step == 0) {
      wave.moveTo(point);
    } else {
      wave.lineTo(point);
    }
  }
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(0, 255, 255), std::max<qreal>(1.0, unit * 0.9), Qt::SolidLine,
                      Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(wave);
  painter.end();
  return image;
}

QIcon AppIcon() {
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(DrawAppIcon(16)));
  icon.addPixmap(QPixmap::fromImage(DrawAppIcon(32)));
  return icon;
}

void InitApplication() {
  QApplication::setFont(FontFor({}));  // tooltips and menus in the windows' own face
  QApplication::setWindowIcon(AppIcon());
  if (QStyle* style = QStyleFactory::create("Fusion")) QApplication::setStyle(style);
}

}  // namespace ui
