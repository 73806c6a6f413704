// The recovery utility's only window: one button erases the calculator's
// saved settings, so that its next start uses every default.
#pragma once

#include <QWidget>

namespace recovery {

class ResetWindow : public QWidget {
  Q_OBJECT
 public:
  ResetWindow();

  // Erases the calculator's section; false when that failed, which the
  // store has told on standard error and the window does not show.
  bool cmdRecover_Click();
  void cmdExit_Click();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
};

}  // namespace recovery
