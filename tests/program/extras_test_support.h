// Shared pieces of the extras tests: a started program with its extras, each
// test in its own settings directory, and ways to open, read and use menus.
#pragma once

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <memory>

#include "config_paths.h"
#include "extras.h"
#include "looks.h"
#include "program.h"
#include "program_test_support.h"

namespace extrastest {

using programtest::ConfigHome;
using programtest::FakeShell;

// A program started as tpv120 starts, with its extras, in a private
// settings directory; "large" switches to the large layout first.
class ProgramRun {
 public:
  explicit ProgramRun(char separator = '.') : separator_(separator) {}
  ~ProgramRun() { Stop(); }

  bool Start(const QString& layout = QStringLiteral("compact")) {
    if (!home_.isValid()) return false;
    program_ = std::make_unique<ui::Program>(separator_, shell_, QStringLiteral("/opt/tempiva"));
    extras_ =
        std::make_unique<ui::Extras>(*program_, ui::PreferencesFile(settings::PreferencesPath()));
    program_->Start();
    if (layout == QLatin1String("large")) program_->Max_Click();
    ui::CalculatorWindow* window = shown();
    if (!window) return false;
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
  }
  // A restart: the windows are destroyed and made again from the files.
  void Stop() {
    extras_.reset();
    program_.reset();
    programtest::FlushDeletes();
  }

  ui::Program& program() { return *program_; }
  ui::Extras& extras() { return *extras_; }
  FakeShell& shell() { return shell_; }
  QString home() const { return home_.path(); }
  ui::CalculatorWindow* window(ui::Which which) const { return program_->window(which); }
  ui::CalculatorWindow* shown() const {
    for (ui::Which which : {ui::Which::Compact, ui::Which::Large}) {
      if (window(which) && window(which)->isVisible()) return window(which);
    }
    return nullptr;
  }

 private:
  ConfigHome home_;
  FakeShell shell_;
  char separator_;
  std::unique_ptr<ui::Program> program_;
  std::unique_ptr<ui::Extras> extras_;
};

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
