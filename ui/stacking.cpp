#include "stacking.h"

#include <xcb/xcb.h>

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace ui {
namespace {

QWindow* NativeWindow(QWidget* widget) {
  if (!widget) return nullptr;
  QWidget* top = widget->window();
  (void)top->winId();  // makes the native window
  return top->windowHandle();
}

// Qt tells the window system a window's transient parent as it shows the
// window; for a window already shown on X11 the property is changed here.
void TellWindowSystem(QWindow& window, QWindow* parent) {
  if (QGuiApplication::platformName() != QLatin1String("xcb") || !window.isVisible()) return;
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (!connection) return;
  const auto id = xcb_window_t(window.winId());
  if (parent) {
    const auto parentId = xcb_window_t(parent->winId());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_TRANSIENT_FOR,
                        XCB_ATOM_WINDOW, 32, 1, &parentId);
  } else {
    xcb_delete_property(connection, id, XCB_ATOM_WM_TRANSIENT_FOR);
  }
  xcb_flush(connection);
}

}  // namespace

void SetTransientFor(QWidget& window, QWidget* over) {
  QWindow* handle = NativeWindow(&window);
  QWindow* parent = NativeWindow(over);
  if (!handle || handle == parent || handle->transientParent() == parent) return;
  handle->setTransientParent(parent);
  TellWindowSystem(*handle, parent);
}

void MoveTransients(const QWidget& from, QWidget* to) {
  const QWindow* gone = from.windowHandle();
  if (!gone) return;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    // Popups and other windows the calculator window owns go with it.
    if (window->parentWidget() || window == &from) continue;
    QWindow* handle = window->windowHandle();
    if (handle && handle->transientParent() == gone) SetTransientFor(*window, to);
  }
}

}  // namespace ui
