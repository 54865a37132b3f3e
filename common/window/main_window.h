#pragma once
// The main window: menu bar and the surface view. It only records the close
// request; the program sees it at its next poll and unwinds from there.

#include "common/window/window_input.h"

#include <QMainWindow>

namespace rt {

class MainWindow : public QMainWindow {
public:
    explicit MainWindow(WindowInput& input) : input_(input) {}

    // From now on, a native window that goes away counts as a close: call
    // once it has been shown (before, Qt may still make and replace it).
    void watch_native_window();

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

private:
    WindowInput& input_;
};

}  // namespace rt
