#include "reference_pitch_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "calc/note.h"

namespace extras {
namespace {

// Room for "480.0" and a little more; longer texts are refused anyway.
constexpr int kBoxLength = 12;

QString PitchText(double hertz, char separator) {
  const auto text = calc::ReferencePitchText(hertz, separator);
  return text ? QString::fromStdString(*text) : QString();
}

}  // namespace

ReferencePitchDialog::ReferencePitchDialog(double current, char separator, QWidget* parent)
    : QDialog(parent), separator_(separator) {
  setObjectName(QStringLiteral("ReferencePitch"));
  setWindowTitle(QStringLiteral("Reference Pitch"));
  setAccessibleName(QStringLiteral("Reference Pitch"));

  const QString range = QStringLiteral("From %1 to %2 Hz, in steps of %3 Hz")
                            .arg(PitchText(calc::kLowestReferencePitch, separator),
                                 PitchText(calc::kHighestReferencePitch, separator),
                                 QStringLiteral("0") + QLatin1Char(separator) + QLatin1Char('1'));
  auto* hint = new QLabel(range, this);
  box_ = new QLineEdit(PitchText(current, separator), this);
  box_->setMaxLength(kBoxLength);
  box_->setAccessibleName(QStringLiteral("A4 in hertz"));
  box_->setAccessibleDescription(range);
  box_->selectAll();
  problem_ = new QLabel(this);
  problem_->setAccessibleName(QStringLiteral("Why OK is disabled"));
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

  auto* form = new QFormLayout;
  auto* label = new QLabel(QStringLiteral("&A4 (Hz):"), this);
  label->setBuddy(box_);
  form->addRow(label, box_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(hint);
  layout->addLayout(form);
  layout->addWidget(problem_);
  layout->addWidget(buttons_);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(box_, &QLineEdit::textChanged, this, &ReferencePitchDialog::Check);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons_, &QDialogButtonBox::accepted, this, [this] {
    if (!pitch_) return;
    emit pitchChosen(*pitch_);
    accept();
  });
  Check();
}

QPushButton* ReferencePitchDialog::okButton() const {
  return buttons_->button(QDialogButtonBox::Ok);
}

QString ReferencePitchDialog::problem() const { return problem_->text(); }

void ReferencePitchDialog::Check() {
  const calc::PitchReading reading =
      calc::ReadReferencePitch(box_->text().toStdString(), separator_);
  pitch_ = reading.hertz;
  QString problem;
  if (reading.problem) {
    problem = QString::fromStdString(calc::PitchProblemText(*reading.problem, separator_));
    if (!problem.isEmpty()) problem[0] = problem[0].toUpper();
  }
  problem_->setText(problem);
  okButton()->setEnabled(pitch_.has_value());
  okButton()->setToolTip(problem_->text());
}

}  // namespace extras
