// The "Other…" entry of the Reference Pitch menu: a small dialog that takes
// any reference pitch of A4 from 380 to 480 Hz in steps of 0.1 Hz, typed with
// the user's decimal separator. OK stays disabled, and a line below the box
// says why, while the text is not such a pitch.
#pragma once

#include <QDialog>
#include <optional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace extras {

class ReferencePitchDialog : public QDialog {
  Q_OBJECT
 public:
  // Starts from `current`, written with `separator`.
  ReferencePitchDialog(double current, char separator, QWidget* parent);

  // The pitch the text gives; none while it is refused.
  std::optional<double> pitch() const { return pitch_; }
  QLineEdit* box() const { return box_; }
  QPushButton* okButton() const;
  // The reason the text is refused; empty while it is taken.
  QString problem() const;

 signals:
  // The user pressed OK on a pitch the dialog takes.
  void pitchChosen(double hertz);

 private:
  void Check();

  const char separator_;
  std::optional<double> pitch_;
  QLineEdit* box_ = nullptr;
  QLabel* problem_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace extras
