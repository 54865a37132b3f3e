#include "common/window/main_window.h"

#include <QCloseEvent>

namespace rt {

void MainWindow::closeEvent(QCloseEvent* event) {
    input_.closed = true;
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) input_.mouse_buttons = mouse_none;
    QMainWindow::changeEvent(event);
}

}  // namespace rt
