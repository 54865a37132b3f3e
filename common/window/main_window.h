#pragma once
// The main window: menu bar and the surface view. It only records the close
// request; the program sees it at its next poll and unwinds from there.

#include "common/window/window_input.h"

#include <QMainWindow>

#include <functional>

class QMenu;

namespace rt {

class MainWindow : public QMainWindow {
public:
    explicit MainWindow(WindowInput& input) : input_(input) {}

    // From now on, a native window that goes away counts as a close: call
    // once it has been shown (before, Qt may still make and replace it).
    void watch_native_window();
    // The menu bar holds the keyboard only while one of its menus is open.
    // Qt leaves it holding the keyboard, a title highlighted, after Escape
    // closes a menu or after a lone Alt; the next Return would then open that
    // menu and the one after run its first entry (DESK's Quit) instead of
    // answering the program's wait. Call once the menus are installed.
    void keep_keyboard_for_picture(QMenu* menu);
    // Called after every change of the window's size, and once no menu is
    // open any more after one closed.
    std::function<void()> resized;
    std::function<void()> menus_closed;

protected:
    void closeEvent(QCloseEvent* event) override;
    // A button released while another window was active never reaches us;
    // forgetting the held buttons keeps a pause from sticking.
    void changeEvent(QEvent* event) override;
    // Another program may destroy the native window without a close request
    // (X11's DestroyWindow, as `xdotool windowclose` does); Qt ignores that,
    // and the program would go on running without a window.
    bool nativeEvent(const QByteArray& event_type, void* message, qintptr* result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void return_keyboard_to_picture();
    // Checks after Qt has finished the event at hand (a menu closing, the
    // bar taking the focus), when it is clear whether a menu stays open.
    void return_keyboard_later();

    WindowInput& input_;
};

}  // namespace rt
