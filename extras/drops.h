// What a drop on a calculator window does, decided in one place for the
// window and every control in it, boxes included: text dropped on the tempo
// box replaces its text as a paste would, without line feeds; a dropped local
// file goes to DroppedFileAction; anything else dropped is refused.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace ui {
class CalculatorWindow;
}

namespace extras {

// What dropping the local file `path` on `window` does, for the drag to be
// accepted before the drop; empty to refuse it. Every file is refused for
// now: this is where a dropped audio file will open the audio-file window.
std::function<void()> DroppedFileAction(ui::CalculatorWindow& window, const QString& path);

class DropFilter : public QObject {
 public:
  // Decides the drops on `window` and on every control in it.
  void Watch(ui::CalculatorWindow& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace extras
