#pragma once
// The central widget of the main window: shows the surface picture scaled to
// the widget, keeping its aspect ratio, and records keys and mouse buttons
// for the program's polls. Only what changed on the surface is painted again:
// a full repaint scales the whole picture (millions of instructions when the
// window is not the surface's size), sixty times a second while a simulation
// runs.

#include "common/runtime/geometry.h"
#include "common/window/window_input.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <string>

namespace rt {

class Surface;

class SurfaceView : public QWidget {
public:
    SurfaceView(const Surface& surface, WindowInput& input, QWidget* parent);

    // Schedules a repaint of the part of the widget that shows `area` of the
    // surface (pixels of the surface).
    void show_changes(const Rect& area);

    // For screen readers (surface_accessible.h): what the screen shows, from
    // `describe`, and the newest announcement, told to them as a change.
    void set_describer(std::function<std::string()> describe) { describe_ = std::move(describe); }
    QString description() const;
    void announce(const QString& text);
    const QString& announcement() const { return announcement_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Tab is a key for the program, not a move to another widget.
    bool focusNextPrevChild(bool) override { return false; }

private:
    // Where the picture lies in the widget, scaled to fit.
    QRect picture_rect() const;

    const Surface& surface_;
    WindowInput& input_;
    std::function<std::string()> describe_;
    QString announcement_;
};

}  // namespace rt
