#pragma once
// The central widget of the main window: shows the surface picture scaled to
// the widget, keeping its aspect ratio, and records keys and mouse buttons
// for the program's polls.

#include "common/window/window_input.h"

#include <QWidget>

namespace rt {

class Surface;

class SurfaceView : public QWidget {
public:
    SurfaceView(const Surface& surface, WindowInput& input, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Tab is a key for the program, not a move to another widget.
    bool focusNextPrevChild(bool) override { return false; }

private:
    const Surface& surface_;
    WindowInput& input_;
};

}  // namespace rt
