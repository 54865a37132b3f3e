#include "common/window/main_window.h"

#include <QCloseEvent>
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

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::PlatformSurface && static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
                                                        QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed)
        input_.closed = true;
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace rt
