#include "note_popup.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "ui/calculator_window.h"

namespace extras {

NotePopup::NotePopup() = default;
NotePopup::~NotePopup() = default;

void NotePopup::Show(const ui::CalculatorWindow& window, const QString& text) {
  constexpr int kNoteShownMs = 4000;
  if (!note_) {
    note_ = std::make_unique<QLabel>(nullptr, Qt::ToolTip | Qt::WindowDoesNotAcceptFocus);
    note_->setObjectName(QStringLiteral("extrasNote"));
    note_->setAttribute(Qt::WA_ShowWithoutActivating);
    note_->setForegroundRole(QPalette::ToolTipText);
    note_->setBackgroundRole(QPalette::ToolTipBase);
    note_->setAutoFillBackground(true);
    note_->setFrameStyle(QFrame::Box | QFrame::Plain);
    note_->setMargin(3);
    auto* timer = new QTimer(note_.get());
    timer->setObjectName(QStringLiteral("noteTimer"));
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, note_.get(), &QWidget::hide);
  }
  note_->setText(text);
  note_->adjustSize();
  const QLineEdit* tempo = window.tempoBox();
  note_->move(tempo->mapToGlobal(QPoint(0, tempo->height() + 2)));
  note_->show();
  note_->raise();
  note_->findChild<QTimer*>()->start(kNoteShownMs);
}

}  // namespace extras
