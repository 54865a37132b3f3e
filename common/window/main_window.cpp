#include "common/window/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QPlatformSurfaceEvent>
#include <QWindow>

#include <cstdint>
#include <cstring>

namespace rt {

namespace {

// The X11 protocol's DestroyNotify event as XCB delivers it: code 17 in the
// first byte (the top bit marks events sent by other clients), the window
// that was destroyed at byte 8. Read by hand: the XCB headers are not a
// dependency of Qt's development package.
constexpr std::uint8_t xcb_destroy_notify = 17;
constexpr std::size_t destroyed_window_offset = 8;

bool is_destroy_notify_of(const void* message, WId window) {
    const auto* bytes = static_cast<const unsigned char*>(message);
    if ((bytes[0] & 0x7F) != xcb_destroy_notify) return false;
    std::uint32_t destroyed = 0;
    std::memcpy(&destroyed, bytes + destroyed_window_offset, sizeof destroyed);
    return destroyed == window;
}

}  // namespace

void MainWindow::watch_native_window() {
    if (QWindow* native = windowHandle()) native->installEventFilter(this);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    input_.closed = true;
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) input_.mouse_buttons = mouse_none;
    QMainWindow::changeEvent(event);
}

bool MainWindow::nativeEvent(const QByteArray& event_type, void* message, qintptr* result) {
    if (event_type == "xcb_generic_event_t" && is_destroy_notify_of(message, internalWinId())) input_.closed = true;
    return QMainWindow::nativeEvent(event_type, message, result);
}

void MainWindow::keep_keyboard_for_picture(QMenu* menu) {
    menuBar()->removeEventFilter(this);
    menuBar()->installEventFilter(this);
    connect(menu, &QMenu::aboutToHide, this, [this] { return_keyboard_later(); });
}

void MainWindow::return_keyboard_later() {
    QTimer::singleShot(0, this, [this] { return_keyboard_to_picture(); });
}

void MainWindow::return_keyboard_to_picture() {
    if (QApplication::activePopupWidget() != nullptr || centralWidget() == nullptr) return;
    // The bar's focus-out ends its keyboard mode and takes the highlight
    // away. Asked of the window, not of the bar: the window may be inactive
    // for a moment after its menu closed, and then no widget has the focus.
    if (focusWidget() == menuBar()) centralWidget()->setFocus(Qt::OtherFocusReason);
    if (menus_closed) menus_closed();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (resized) resized();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == menuBar()) {
        if (event->type() == QEvent::FocusIn) return_keyboard_later();
        return QMainWindow::eventFilter(watched, event);
    }
    if (event->type() == QEvent::PlatformSurface && static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
                                                        QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed)
        input_.closed = true;
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace rt
