#include "form.h"

#include <QComboBox>
#include <QGroupBox>
#include <QSlider>
#include <algorithm>
#include <utility>
#include <vector>

#include "looks.h"
#include "widgets.h"

namespace ui {
namespace {

QRect PixelRect(const ControlSpec& entry) {
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
  Build();
  ApplyFocusOrder();
}

void Form::Build() {
  // Frames first, so every child finds its container; then the shapes and the
  // labels, which lie below the controls of their container; then the rest.
  const auto pass = [this](auto&& wanted) {
    for (const ControlSpec& entry : layout_.controls) {
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

QWidget* Form::Create(const ControlSpec& entry, QWidget* parent) {
  const QRect rect = PixelRect(entry);
  QWidget* widget = nullptr;
  switch (entry.kind) {
    case Kind::Frame:
      widget = new QGroupBox(entry.text, parent);
      break;
    case Kind::Label: {
      auto* label = new ClickLabel(entry.text, parent);
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
      auto* box = new TextBox(entry.text, parent);
      if (entry.maxLength > 0) box->setMaxLength(entry.maxLength);
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
      auto* combo = new ComboBox(parent);
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
      auto* slider = new QSlider(Qt::Horizontal, parent);
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
  widget->setFont(FontFor(entry.font));
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

void Form::ApplyFocusOrder() {
  std::vector<std::pair<int, QWidget*>> order;
  for (const ControlSpec& entry : layout_.controls) {
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
