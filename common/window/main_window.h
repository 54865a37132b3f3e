#pragma once
// The main window: menu bar and the surface view. It only records the close
// request; the program sees it at its next poll and unwinds from there.

#include "common/window/window_input.h"

#include <QMainWindow>

namespace rt {

class MainWindow : public QMainWindow {
public:
    explicit MainWindow(WindowInput& input) : input_(input) {}

protected:
    void closeEvent(QCloseEvent* event) override;
    // A button released while another window was active never reaches us;
    // forgetting the held buttons keeps a pause from sticking.
    void changeEvent(QEvent* event) override;

private:
    WindowInput& input_;
};

}  // namespace rt
