// What a drop on a calculator window does, decided in one place for the
// window and every control in it, boxes included: text dropped on the tempo
// box replaces its text as a paste would, without line feeds; a dropped local
// file opens the tempo of an audio file; anything else dropped is refused.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <utility>

namespace ui {
class CalculatorWindow;
}

namespace extras {

class DropFilter : public QObject {
 public:
  // What a local file dropped on a window does (and nothing else); without
  // one, files are refused.
  using FileAction = std::function<void(ui::CalculatorWindow& window, const QString& path)>;
  void SetFileAction(FileAction action) { fileAction_ = std::move(action); }
  // Decides the drops on `window` and on every control in it.
  void Watch(ui::CalculatorWindow& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  FileAction fileAction_;
};

}  // namespace extras
