// The recovery utility's only window: one button erases the calculator's
// saved settings, so that its next start uses every default.
#pragma once

#include <QWidget>

namespace recovery {

class ResetWindow : public QWidget {
  Q_OBJECT
 public:
  ResetWindow();

  void cmdRecover_Click();  // erases the calculator's section; failures are ignored
  void cmdExit_Click();

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace recovery
