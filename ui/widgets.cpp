#include "widgets.h"

#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>
#include <QStylePainter>
#include <utility>

namespace ui {
namespace {

// An element assistive technology is told of, with no text to say.
class SilentAccessible : public QAccessibleWidget {
 public:
  SilentAccessible(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}
  QString text(QAccessible::Text) const override { return {}; }
};

QAccessibleInterface* SilentFactory(const QString& /*className*/, QObject* object) {
  if (auto* shape = qobject_cast<ShapeItem*>(object))
    return new SilentAccessible(shape, QAccessible::Graphic);
  if (auto* label = qobject_cast<HiddenLabel*>(object))
    return new SilentAccessible(label, QAccessible::StaticText);
  return nullptr;
}

}  // namespace

void InstallSilentAccessibility() {
  static const bool installed = (QAccessible::installFactory(&SilentFactory), true);
  (void)installed;
}

void TextBox::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  // The focus arrives before the click that brought it: that click must not
  // also place the caret and undo the selection the handler makes.
  pressBroughtFocus_ = event->reason() == Qt::MouseFocusReason;
  emit gotFocus();
}

void TextBox::mousePressEvent(QMouseEvent* event) {
  if (std::exchange(pressBroughtFocus_, false) && event->button() == Qt::LeftButton) {
    event->accept();
    return;
  }
  QLineEdit::mousePressEvent(event);
}

ComboBox::ComboBox(const QFont& font, QWidget* parent) : QComboBox(parent) {
  setFont(font);
  setEditable(true);
  connect(this, &QComboBox::editTextChanged, this, &ComboBox::FollowText);
}

void ComboBox::FollowText(const QString& text) {
  const int entry = findText(text);
  if (entry == currentIndex()) return;
  if (entry >= 0) {
    setCurrentIndex(entry);  // the same text: the field is left as it is
    return;
  }
  // Leaving every entry empties the field; the user's text goes back as it was.
  QLineEdit* field = lineEdit();
  const int cursor = field->cursorPosition();
  const QSignalBlocker quietBox(this);
  const QSignalBlocker quietField(field);
  setCurrentIndex(-1);
  field->setText(text);
  field->setCursorPosition(cursor);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit clicked();
  }
}

TriangleButton::TriangleButton(bool upward, QWidget* parent)
    : QPushButton(parent), upward_(upward) {}

void TriangleButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButtonBevel, option);

  // The triangle's height follows the caption font, as a glyph would, but
  // never leaves the face.
  const QRectF face = QRectF(rect()).adjusted(2, 2, -2, -2);
  const qreal side = std::min({face.width(), face.height(), font().pixelSize() * 0.6});
  const QPointF centre = face.center() + (isDown() ? QPointF(1, 1) : QPointF());
  const qreal half = side / 2;
  QPolygonF triangle;
  if (upward_) {
    triangle << QPointF(centre.x() - half, centre.y() + half * 0.6)
             << QPointF(centre.x() + half, centre.y() + half * 0.6)
             << QPointF(centre.x(), centre.y() - half * 0.6);
  } else {
    triangle << QPointF(centre.x() - half, centre.y() - half * 0.6)
             << QPointF(centre.x() + half, centre.y() - half * 0.6)
             << QPointF(centre.x(), centre.y() + half * 0.6);
  }
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  painter.drawPolygon(triangle);
}

OptionButton::OptionButton(const QString& caption, const QColor& picture, QWidget* parent)
    : QPushButton(caption, parent), picture_(picture) {
  setCheckable(true);
  setAutoExclusive(true);
}

void OptionButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  if (isChecked()) option.state |= QStyle::State_Sunken;
  painter.drawControl(QStyle::CE_PushButtonBevel, option);
  const int inset = isChecked() ? 3 : 2;
  QRect picture = rect().adjusted(inset, inset, -inset, -inset);
  if (isChecked()) picture.translate(1, 1);
  painter.fillRect(picture, picture_);
  painter.setPen(Qt::black);
  painter.drawText(picture, Qt::AlignCenter, text());
  if (hasFocus()) {
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(picture.adjusted(0, 0, -1, -1));
  }
}

Slider::Slider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}

void Slider::paintEvent(QPaintEvent* event) {
  if (!tickColor_.isValid() || tickPosition() == NoTicks) {
    QSlider::paintEvent(event);
    return;
  }
  QStyleOptionSlider option;
  initStyleOption(&option);
  // The style draws the marks where it always does; they are then recoloured
  // and the groove and handle drawn over them.
  const qreal ratio = devicePixelRatio();
  QImage marks((QSizeF(size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
  marks.setDevicePixelRatio(ratio);
  marks.fill(Qt::transparent);
  QPainter markPainter(&marks);
  option.subControls = QStyle::SC_SliderTickmarks;
  style()->drawComplexControl(QStyle::CC_Slider, &option, &markPainter, this);
  markPainter.setCompositionMode(QPainter::CompositionMode_SourceIn);
  markPainter.fillRect(rect(), tickColor_);
  markPainter.end();

  QStylePainter painter(this);
  painter.drawImage(QPoint(), marks);
  option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
  painter.drawComplexControl(QStyle::CC_Slider, option);
}

ShapeItem::ShapeItem(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
}

ShapeItem* ShapeItem::Rectangle(const QRect& rect, const QColor& fill, const QColor& border,
                                QWidget* parent) {
  auto* item = new ShapeItem(parent);
  item->fill_ = fill;
  item->border_ = border.isValid() ? border : fill;
  item->setGeometry(rect);
  return item;
}

ShapeItem* ShapeItem::Line(const QPoint& from, const QPoint& to, int width, const QColor& color,
                           QWidget* parent) {
  auto* item = new ShapeItem(parent);
  item->line_ = true;
  item->border_ = color;
  item->width_ = width;
  const QRect bounds = QRect(from, to).normalized().adjusted(-width, -width, width, width);
  item->from_ = from - bounds.topLeft();
  item->to_ = to - bounds.topLeft();
  item->setGeometry(bounds);
  return item;
}

void ShapeItem::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (line_) {
    painter.setPen(QPen(border_, width_, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(from_, to_);
    return;
  }
  // The border is drawn inside the rectangle.
  painter.fillRect(rect(), border_);
  painter.fillRect(rect().adjusted(1, 1, -1, -1), fill_);
}

}  // namespace ui
