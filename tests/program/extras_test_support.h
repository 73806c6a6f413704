// Shared pieces of the extras tests: ways to open, read and use menus. The
// program runs with its extras in programtest::Fixture.
#pragma once

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

#include "extras.h"
#include "looks.h"
#include "program.h"
#include "program_test_support.h"

namespace extrastest {

using programtest::FakeShell;
using programtest::ProgramRun;

inline QMenu* OpenPopup() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

// Asks `target` for its menu as a right-click (Mouse) or the Menu key
// (Keyboard) does, and returns the menu that opened.
inline QMenu* RequestMenu(QWidget* target, QContextMenuEvent::Reason reason) {
  const QPoint inside = target->rect().center();
  QContextMenuEvent request(reason, inside, target->mapToGlobal(inside));
  QApplication::sendEvent(target, &request);
  return OpenPopup();
}

inline void CloseMenus() {
  while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// An entry's caption without its mnemonic marks and without the key that
// some entries write after a tab.
inline QString Plain(const QString& caption) {
  QString text = caption.section(QLatin1Char('\t'), 0, 0);
  return text.remove(QLatin1Char('&'));
}
inline QString KeyText(const QAction* action) {
  if (!action->shortcut().isEmpty()) return action->shortcut().toString();
  return action->text().section(QLatin1Char('\t'), 1);
}

// One line per entry: "---" for a separator, "[title]" for a section,
// "(off) " before a disabled entry, "(on) " before a checked one, and the key
// after " | ".
inline QStringList Describe(const QMenu* menu) {
  QStringList lines;
  for (const QAction* action : menu->actions()) {
    if (action->isSeparator()) {
      lines << (action->text().isEmpty() ? QStringLiteral("---")
                                         : QStringLiteral("[%1]").arg(action->text()));
      continue;
    }
    QString line = Plain(action->text());
    if (action->menu()) line += QStringLiteral(" >");
    if (!action->shortcut().isEmpty())
      line += QStringLiteral(" | ") + action->shortcut().toString();
    if (action->isChecked()) line.prepend(QStringLiteral("(on) "));
    if (!action->isEnabled()) line.prepend(QStringLiteral("(off) "));
    lines << line;
  }
  return lines;
}

inline QAction* Entry(const QMenu* menu, const QString& caption) {
  for (QAction* action : menu->actions()) {
    if (!action->isSeparator() && Plain(action->text()) == caption) return action;
  }
  return nullptr;
}

// What a screen reader hears for each entry of the menu and its submenus;
// an entry without a name comes out as "<unnamed>".
inline QStringList SpokenNames(QMenu* menu) {
  QStringList names;
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(menu);
  if (!accessible) return {QStringLiteral("<menu not accessible>")};
  for (int i = 0; i < accessible->childCount(); ++i) {
    QAccessibleInterface* child = accessible->child(i);
    if (!child) continue;
    const QString name = child->text(QAccessible::Name);
    if (child->role() == QAccessible::Separator && name.isEmpty()) continue;
    names << (name.isEmpty() ? QStringLiteral("<unnamed>") : name);
  }
  for (QAction* action : menu->actions()) {
    if (action->menu()) names << SpokenNames(action->menu());
  }
  return names;
}

inline QString Clipboard() { return QGuiApplication::clipboard()->text(); }

}  // namespace extrastest
