#include "drops.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "ui/calculator_window.h"

namespace extras {
namespace {

// The dropped local file, when the drag carries exactly one.
QString LocalFile(const QMimeData& data) {
  const QList<QUrl> urls = data.urls();
  return urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}

QString WithoutLineFeeds(QString text) {
  text.remove(QLatin1Char('\r'));
  text.remove(QLatin1Char('\n'));
  return text;
}

}  // namespace

void DropFilter::Watch(ui::CalculatorWindow& window) {
  window.installEventFilter(this);
  for (QWidget* control : window.findChildren<QWidget*>()) control->installEventFilter(this);
}

bool DropFilter::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  auto* window = widget ? qobject_cast<ui::CalculatorWindow*>(widget->window()) : nullptr;
  if (!window) return false;
  auto* drop = static_cast<QDropEvent*>(event);
  const QMimeData& data = *drop->mimeData();
  // A drag that carries files or addresses is never text, whatever text it
  // also offers (a file manager's path, a browser's address).
  if (data.hasUrls()) {
    // Only whether there is one local file is asked while it is dragged:
    // the file is opened by the analysis, which says what is wrong with it.
    const QString path = LocalFile(data);
    if (path.isEmpty() || !fileAction_) {
      drop->ignore();
      return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) fileAction_(*window, path);
    return true;
  }
  QLineEdit* tempo = window->tempoBox();
  if (watched != tempo) {
    // Another box takes text at the drop point as Qt has it, but never a
    // line feed.
    auto* box = qobject_cast<QLineEdit*>(watched);
    const QString text = data.text();
    if (type != QEvent::Drop || !box || box->isReadOnly() || WithoutLineFeeds(text) == text) {
      return false;
    }
    drop->acceptProposedAction();
    box->setCursorPosition(box->cursorPositionAt(drop->position().toPoint()));
    box->insert(WithoutLineFeeds(text));
    return true;
  }
  if (!data.hasText() || tempo->isReadOnly()) {
    drop->ignore();
    return true;
  }
  drop->acceptProposedAction();
  if (type == QEvent::Drop) {
    // The whole text replaced, as a paste over a selected text: an edit of
    // the user's, cut to the box's length.
    tempo->selectAll();
    tempo->insert(WithoutLineFeeds(data.text()));
  }
  return true;
}

}  // namespace extras
