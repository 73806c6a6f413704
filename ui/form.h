// A window built from a layout table: every control created, placed, styled
// and put in its focus order. It knows controls only by name and kind; what
// they compute is left to the window built on it.
#pragma once

#include <QHash>
#include <QWidget>

#include "layout.h"

namespace ui {

class Form : public QWidget {
  Q_OBJECT

 public:
  explicit Form(const Layout& layout, QWidget* parent = nullptr);

  const Layout& layout() const { return layout_; }

  // A control by its name in the layout ("bpm", "Text1(3)", "cmdNote9").
  QWidget* control(const QString& name) const { return controls_.value(name); }
  template <typename T>
  T* control(const QString& name) const {
    return qobject_cast<T*>(control(name));
  }

 private:
  void Build();
  QWidget* Create(const ControlRow& entry, QWidget* parent);
  void ApplyFocusOrder();
  // Sets each caption's text size and height so that all its ink shows in
  // the part of its label that no control covers.
  void FitCaptions();
  QRect OnForm(const QWidget* widget) const;
  QRect CaptionColumns(const ControlRow& entry) const;

  const Layout& layout_;
  QHash<QString, QWidget*> controls_;
};

}  // namespace ui
