// The few control kinds the window needs beyond Qt's own widgets.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QWidget>

namespace ui {

// A one-line text box that reports taking the focus. A mouse click that
// brings the focus in is not also taken as a caret placement, so the
// selection that the focus handler makes stays visible, ready to copy.
class TextBox : public QLineEdit {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;

 signals:
  void gotFocus();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  bool pressBroughtFocus_ = false;
};

// An editable combo box whose current list entry is always the one whose
// text is shown, and none while the text is not in the list, however the
// text came there: what opening the list highlights and where the arrow keys
// step from.
class ComboBox : public QComboBox {
  Q_OBJECT
 public:
  ComboBox(const QFont& font, QWidget* parent);

 private:
  void FollowText(const QString& text);
};

// A label the user can click.
class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// A label the layout keeps hidden, holding a value the handlers read (the
// note's index): nothing a user meets, so assistive technology hears no name.
class HiddenLabel : public ClickLabel {
  Q_OBJECT
 public:
  using ClickLabel::ClickLabel;
};

// A push button whose face shows an upward or downward triangle.
class TriangleButton : public QPushButton {
  Q_OBJECT
 public:
  TriangleButton(bool upward, QWidget* parent);
  bool upward() const { return upward_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool upward_;
};

// An option button drawn as a button that stays pressed while selected, with
// a solid picture on its face and its caption over it.
class OptionButton : public QPushButton {
  Q_OBJECT
 public:
  OptionButton(const QString& caption, const QColor& picture, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor picture_;
};

// A horizontal slider whose tick marks may take a colour of their own, for a
// slider drawn over a surface the style's marks would fade into.
class Slider : public QSlider {
  Q_OBJECT
 public:
  explicit Slider(QWidget* parent);
  void setTickColor(const QColor& color) { tickColor_ = color; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor tickColor_;  // invalid: the style's own
};

// A filled rectangle or a straight line drawn below the controls of its
// container; it never takes the mouse.
class ShapeItem : public QWidget {
  Q_OBJECT
 public:
  static ShapeItem* Rectangle(const QRect& rect, const QColor& fill, const QColor& border,
                              QWidget* parent);
  static ShapeItem* Line(const QPoint& from, const QPoint& to, int width, const QColor& color,
                         QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  explicit ShapeItem(QWidget* parent);
  bool line_ = false;
  QColor fill_, border_;
  QPoint from_, to_;
  int width_ = 1;
};

// Gives the drawn shapes and the hidden labels an accessible interface with no
// name; Qt's own would say a shape's frame caption and a hidden label's value.
// Installed once, before the first window is built.
void InstallSilentAccessibility();

}  // namespace ui
