// A small note said just below a calculator window's tempo box for a few
// seconds: a window of its own that takes no focus and blocks nothing, so the
// window's controls stay as they are. Made on first use.
#pragma once

#include <QString>
#include <memory>

class QLabel;

namespace ui {
class CalculatorWindow;
}

namespace extras {

class NotePopup {
 public:
  NotePopup();
  ~NotePopup();

  void Show(const ui::CalculatorWindow& window, const QString& text);
  QLabel* label() const { return note_.get(); }  // null before the first note

 private:
  std::unique_ptr<QLabel> note_;
};

}  // namespace extras
