#include "form.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "looks.h"
#include "widgets.h"

namespace ui {
namespace {

QRect PixelRect(const ControlRow& entry) {
  return QRect(TwipsToPixels(entry.left), TwipsToPixels(entry.top), TwipsToPixels(entry.width),
               TwipsToPixels(entry.height));
}

bool TakesFocus(Kind kind) {
  switch (kind) {
    case Kind::Input:
    case Kind::Output:
    case Kind::Combo:
    case Kind::Button:
    case Kind::Option:
    case Kind::Slider:
      return true;
    default:
      return false;
  }
}

// Rows of pixels, bottom excluded.
struct Rows {
  int top = 0, bottom = 0;
  int height() const { return bottom - top; }
};

// The rows a caption's ink takes below the top of the line it is drawn on, as
// a label draws it from the top of its box: at each pixel ratio the window may
// be drawn at, the rows any of them inks.
std::optional<Rows> InkRows(const QFont& font, const QString& text) {
  const QFontMetrics metrics(font);
  const QSize size(metrics.horizontalAdvance(text) + 2, 2 * metrics.height());
  std::optional<Rows> rows;
  std::vector<qreal> ratios{1.0};
  if (qGuiApp->devicePixelRatio() != 1.0) ratios.push_back(qGuiApp->devicePixelRatio());
  for (const qreal ratio : ratios) {
    QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_Alpha8);
    image.setDevicePixelRatio(ratio);
    image.fill(0);
    QPainter painter(&image);
    painter.setFont(font);
    painter.drawText(QRect(QPoint(), size), Qt::AlignLeft | Qt::AlignTop, text);
    painter.end();
    for (int y = 0; y < image.height(); ++y) {
      const uchar* line = image.constScanLine(y);
      if (std::all_of(line, line + image.width(), [](uchar alpha) { return alpha == 0; })) continue;
      const Rows row{static_cast<int>(std::floor(y / ratio)),
                     static_cast<int>(std::ceil((y + 1) / ratio))};
      rows = rows ? Rows{std::min(rows->top, row.top), std::max(rows->bottom, row.bottom)} : row;
    }
  }
  return rows;
}

}  // namespace

Form::Form(const Layout& layout, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      layout_(layout) {
  setObjectName(layout.name);
  setWindowTitle(layout.caption);
  setFixedSize(TwipsToPixels(layout.clientWidth), TwipsToPixels(layout.clientHeight));
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, WindowBackgroundColor(layout.background, palette));
  setPalette(palette);
  setAutoFillBackground(true);
  InstallSilentAccessibility();
  Build();
  FitCaptions();
  ApplyFocusOrder();
}

void Form::Build() {
  // Frames first, so every child finds its container; then the shapes and the
  // labels, which lie below the controls of their container; then the rest.
  const auto pass = [this](auto&& wanted) {
    for (const ControlRow& entry : layout_.controls) {
      if (!wanted(entry.kind)) continue;
      QWidget* parent = entry.container.isEmpty() ? this : controls_.value(entry.container, this);
      QWidget* widget = Create(entry, parent);
      widget->setObjectName(entry.name);
      controls_.insert(entry.name, widget);
    }
  };
  pass([](Kind kind) { return kind == Kind::Frame; });
  pass([](Kind kind) { return kind == Kind::Rectangle || kind == Kind::Line; });
  pass([](Kind kind) { return kind == Kind::Label; });  // labels lie below the boxes they touch
  pass([](Kind kind) {
    return kind != Kind::Frame && kind != Kind::Rectangle && kind != Kind::Line &&
           kind != Kind::Label;
  });
}

QWidget* Form::Create(const ControlRow& entry, QWidget* parent) {
  const QRect rect = PixelRect(entry);
  const QFont font = FontFor(entry.font);
  QWidget* widget = nullptr;
  switch (entry.kind) {
    case Kind::Frame: {
      auto* frame = new QGroupBox(parent);
      frame->setFont(font);  // the caption is measured once, in its own font
      frame->setTitle(entry.text);
      widget = frame;
      break;
    }
    case Kind::Label: {
      auto* label =
          entry.visible ? new ClickLabel(entry.text, parent) : new HiddenLabel(entry.text, parent);
      label->setAlignment(entry.alignment);
      if (entry.foreground.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, entry.foreground);
        label->setPalette(palette);
      }
      widget = label;
      break;
    }
    case Kind::Input:
    case Kind::Output: {
      auto* box = new TextBox(parent);
      box->setFont(font);  // the text is laid out once, in its own font
      if (entry.maxLength > 0) box->setMaxLength(entry.maxLength);
      box->setText(entry.text);
      if (entry.kind == Kind::Output) {
        box->setReadOnly(true);
        box->setCursor(Qt::ArrowCursor);
      }
      // The text may use one pixel of the frame's inner padding on each side,
      // so a full-length result fits its box whole instead of scrolling.
      box->setTextMargins(-1, 0, -1, 0);
      widget = box;
      break;
    }
    case Kind::Combo: {
      // The font goes in before the text field exists, which inherits it.
      auto* combo = new ComboBox(font, parent);
      combo->setInsertPolicy(QComboBox::NoInsert);
      combo->setCompleter(nullptr);  // typing must not complete to a list entry
      combo->addItems(entry.items);
      combo->setEditText(entry.text);
      ApplyBoxStyle(combo->lineEdit(), entry.style, entry.foreground);
      widget = combo;
      break;
    }
    case Kind::Button:
      if (entry.arrow != Arrow::None) {
        widget = new TriangleButton(entry.arrow == Arrow::Up, parent);
      } else {
        widget = new QPushButton(entry.text, parent);
      }
      break;
    case Kind::Option:
      widget = new OptionButton(entry.text, kOptionPicture, parent);
      break;
    case Kind::Slider: {
      auto* slider = new Slider(parent);
      slider->setTickColor(entry.foreground);
      slider->setRange(entry.minimum, entry.maximum);
      slider->setValue(entry.position);
      slider->setSingleStep(entry.singleStep);
      slider->setPageStep(entry.pageStep);
      slider->setTickInterval(entry.tickInterval);
      slider->setTickPosition(QSlider::TicksBelow);
      widget = slider;
      break;
    }
    case Kind::Rectangle:
      return ShapeItem::Rectangle(rect, entry.background, entry.border, parent);
    case Kind::Line:
      return ShapeItem::Line(
          QPoint(TwipsToPixels(entry.left), TwipsToPixels(entry.top)),
          QPoint(TwipsToPixels(entry.width), TwipsToPixels(entry.height)), entry.lineWidth,
          entry.foreground.isValid() ? entry.foreground : QColor(Qt::black), parent);
  }
  widget->setGeometry(rect);
  widget->setFont(font);
  if (entry.style != BoxStyle::None && entry.kind != Kind::Combo) {
    ApplyBoxStyle(widget, entry.style, entry.foreground);
  }
  if (!entry.tooltip.isEmpty()) widget->setToolTip(entry.tooltip);
  const QString spoken = !entry.accessibleName.isEmpty() ? entry.accessibleName
                         : !entry.tooltip.isEmpty()      ? entry.tooltip
                                                         : entry.text;
  widget->setAccessibleName(spoken);
  widget->setFocusPolicy(TakesFocus(entry.kind) ? Qt::StrongFocus : Qt::NoFocus);
  widget->setVisible(entry.visible);
  return widget;
}

QRect Form::OnForm(const QWidget* widget) const {
  return QRect(widget->mapTo(this, QPoint()), widget->size());
}

// Where a label's caption lies across: its text's width at the label's alignment.
QRect Form::CaptionColumns(const ControlRow& entry) const {
  const QWidget* label = control(entry.name);
  const QRect area = OnForm(label);
  const int advance = QFontMetrics(label->font()).horizontalAdvance(entry.text);
  const Qt::Alignment across = entry.alignment & Qt::AlignHorizontal_Mask;
  const int left = across & Qt::AlignRight     ? area.right() + 1 - advance
                   : across & Qt::AlignHCenter ? area.left() + (area.width() - advance) / 2
                                               : area.left();
  return QRect(left, area.top(), advance, area.height());
}

void Form::FitCaptions() {
  // A label lies below the controls of its container, and a box may cover
  // part of it: its caption keeps to the band of rows the covers leave, with
  // one clear row towards each of them. Labels are transparent, so two that
  // overlap where both captions lie share the overlapping rows: each takes
  // its half, and the middle row stays clear.
  constexpr int kClearRows = 1;
  std::vector<std::pair<const ControlRow*, QRect>> captions;
  for (const ControlRow& entry : layout_.controls) {
    if (entry.kind == Kind::Label && entry.visible && !entry.text.isEmpty())
      captions.emplace_back(&entry, CaptionColumns(entry));
  }
  for (const auto& [entry, text] : captions) {
    auto* label = control<QLabel>(entry->name);
    const QRect area = OnForm(label);
    Rows band{area.top(), area.bottom() + 1};
    const auto coverAbove = [&](int bottom) { band.top = std::max(band.top, bottom); };
    const auto coverBelow = [&](int top) { band.bottom = std::min(band.bottom, top); };
    for (const QWidget* w = label; w != this; w = w->parentWidget()) {
      const QObjectList& siblings = w->parentWidget()->children();
      for (auto i = siblings.indexOf(const_cast<QWidget*>(w)) + 1; i < siblings.size(); ++i) {
        const auto* cover = qobject_cast<const QWidget*>(siblings[i]);
        if (!cover || cover->isHidden() || qobject_cast<const QLabel*>(cover)) continue;
        const QRect over = OnForm(cover);
        if (!over.intersects(text)) continue;
        if (over.top() > area.top()) {
          coverBelow(over.top() - kClearRows);
        } else if (over.bottom() < area.bottom()) {
          coverAbove(over.bottom() + 1 + kClearRows);
        }
      }
    }
    for (const auto& [other, otherText] : captions) {
      const QRect shared = text.intersected(otherText);
      if (other == entry || shared.isEmpty()) continue;
      const int middle = shared.top() + shared.height() / 2;
      if (otherText.top() > text.top() ||
          (otherText.top() == text.top() && otherText.bottom() > text.bottom())) {
        coverBelow(middle);
      } else {
        coverAbove(middle + kClearRows);
      }
    }

    // The table's size if the caption fits, else the largest that does.
    QFont font = label->font();
    std::optional<Rows> ink;
    for (int pixels = font.pixelSize(); pixels > 0; --pixels) {
      font.setPixelSize(pixels);
      ink = InkRows(font, entry->text);
      if (!ink || ink->height() <= band.height()) break;
    }
    if (!ink) continue;
    label->setFont(font);

    // As near the table's own placement as the band allows.
    const int line = QFontMetrics(font).height();
    const Qt::Alignment down = entry->alignment & Qt::AlignVertical_Mask;
    const int lineTop = down & Qt::AlignTop      ? area.top()
                        : down & Qt::AlignBottom ? area.bottom() + 1 - line
                                                 : area.top() + (area.height() - line) / 2;
    const int inkTop =
        std::clamp(lineTop + ink->top, band.top, std::max(band.top, band.bottom - ink->height()));
    label->setContentsMargins(0, inkTop - ink->top - area.top(), 0, 0);
    label->setAlignment((entry->alignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
  }
}

void Form::ApplyFocusOrder() {
  std::vector<std::pair<int, QWidget*>> order;
  for (const ControlRow& entry : layout_.controls) {
    if (TakesFocus(entry.kind) && entry.focus >= 0)
      order.emplace_back(entry.focus, control(entry.name));
  }
  std::sort(order.begin(), order.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < order.size(); ++i) {
    QWidget::setTabOrder(order[i - 1].second, order[i].second);
  }
  if (!order.empty()) order.front().second->setFocus(Qt::OtherFocusReason);
}

}  // namespace ui
