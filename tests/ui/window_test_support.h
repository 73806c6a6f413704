// Helpers of the window tests: each test class runs once per layout through
// a global data column "layout" ("compact" / "large"), opens a real window and
// drives its controls as a user would.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <memory>

#include "calculator_window.h"
#include "layout.h"
#include "looks.h"

namespace uitest {

inline void AddLayoutRows() {  // call from initTestCase_data()
  QTest::addColumn<QString>("layout");
  QTest::newRow("compact") << QStringLiteral("compact");
  QTest::newRow("large") << QStringLiteral("large");
}

inline const ui::Layout& LayoutNamed(const QString& name) {
  return name == QLatin1String("large") ? ui::LargeLayout() : ui::CompactLayout();
}

// A shown, active window whose tempo text was written as start-up does.
inline std::unique_ptr<ui::CalculatorWindow> OpenWindow(const QString& layout,
                                                        char separator = '.') {
  static const bool init = (ui::InitApplication(), true);
  (void)init;
  auto window = std::make_unique<ui::CalculatorWindow>(LayoutNamed(layout), separator);
  window->control<QLineEdit>("bpm")->setText("120");
  window->show();
  window->activateWindow();
  if (!QTest::qWaitForWindowActive(window.get())) return nullptr;
  // Let the boxes finish the text changes start-up made, as they have long
  // done by the time a user clicks one.
  QCoreApplication::processEvents();
  return window;
}

inline QString SlotName(int slot) { return QStringLiteral("Text1(%1)").arg(slot); }

inline QLineEdit* Box(const ui::CalculatorWindow& window, const QString& name) {
  return window.control<QLineEdit>(name);
}

inline QString TextOf(const ui::CalculatorWindow& window, const QString& name) {
  const QLineEdit* box = Box(window, name);
  return box ? box->text() : QStringLiteral("<no box %1>").arg(name);
}

inline QStringList SlotTexts(const ui::CalculatorWindow& window) {
  QStringList texts;
  for (int slot = 0; slot < calc::kDelaySlots; ++slot) texts << TextOf(window, SlotName(slot));
  return texts;
}

inline int Slider(const ui::CalculatorWindow& window, const QString& name) {
  return window.control<QSlider>(name)->value();
}

// The user selects the whole text, deletes it and types `text` key by key.
inline void Retype(QLineEdit* box, const QString& text) {
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Backspace);
  QTest::keyClicks(box, text);
}

inline void DragSlider(QSlider* slider, int position) {
  slider->setSliderDown(true);
  slider->setSliderPosition(position);
  slider->setSliderDown(false);
}

inline void Click(const ui::CalculatorWindow& window, const QString& name) {
  QTest::mouseClick(window.control(name), Qt::LeftButton);
}

// A click that takes the road of a real one, into the window at the widget's
// centre: the application gives the focus before the widget sees the press.
inline void ClickThroughWindow(QWidget* widget) {
  QWidget* window = widget->window();
  QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                    widget->mapTo(window, widget->rect().center()));
}

}  // namespace uitest
