#include "common/window/surface_view.h"

#include "common/desktop_output/qt_pixels.h"

#include "common/runtime/surface.h"
#include "common/window/surface_accessible.h"

#include <QAccessible>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace rt {

namespace {

// Held, it stands for the held right mouse button (diffundo's pause), so
// that nothing needs a mouse.
constexpr int right_button_key = Qt::Key_F12;

int button_bit(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton: return mouse_left;
    case Qt::RightButton: return mouse_right;
    case Qt::MiddleButton: return mouse_middle;
    default: return mouse_none;
    }
}

}  // namespace

SurfaceView::SurfaceView(const Surface& surface, WindowInput& input, QWidget* parent)
    : QWidget(parent), surface_(surface), input_(input) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(160, 120);
    SurfaceAccessible::install();
}

QString SurfaceView::description() const { return describe_ ? QString::fromStdString(describe_()) : QString(); }

void SurfaceView::announce(const QString& text) {
    announcement_ = text;
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

QRect SurfaceView::picture_rect() const {
    const QSize shown = QSize(surface_.width(), surface_.height()).scaled(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
}

void SurfaceView::show_changes(const Rect& area) {
    if (area.empty()) return;
    const QRect target = picture_rect();
    if (target.isEmpty()) return;
    const double sx = static_cast<double>(target.width()) / surface_.width();
    const double sy = static_cast<double>(target.height()) / surface_.height();
    // Smooth scaling mixes neighbouring pixels: two pixels more on each side.
    const QRect shown(QPoint(target.left() + static_cast<int>(std::floor(area.left() * sx)) - 2,
                             target.top() + static_cast<int>(std::floor(area.top() * sy)) - 2),
                      QPoint(target.left() + static_cast<int>(std::ceil((area.right() + 1) * sx)) + 2,
                             target.top() + static_cast<int>(std::ceil((area.bottom() + 1) * sy)) + 2));
    update(shown.intersected(rect()));
}

void SurfaceView::paintEvent(QPaintEvent* event) {
    // The painter is clipped to the region asked for: only that is scaled.
    const QImage picture = as_qimage(surface_.image());  // painted before the surface changes
    const QRect target = picture_rect();
    QPainter painter(this);
    const QColor letterbox = to_qcolor(surface_.background_colour());
    painter.fillRect(QRect(0, 0, width(), target.top()), letterbox);
    painter.fillRect(QRect(0, target.bottom() + 1, width(), height() - target.bottom() - 1), letterbox);
    painter.fillRect(QRect(0, target.top(), target.left(), target.height()), letterbox);
    painter.fillRect(QRect(target.right() + 1, target.top(), width() - target.right() - 1, target.height()), letterbox);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, target.size() != picture.size());
    // Qt's raster engine hands a scaled drawing of 96 rows or more to its
    // thread pool. On a shared core the hand-offs cost more CPU than they
    // save (a full-screen frame took 1.5 to 2.3 ms of CPU in the pool, 1.4 ms
    // on this thread), and a running simulation repaints most of the picture
    // sixty times a second: so the picture is scaled in bands that stay on
    // this thread.
    constexpr int band_rows = 64;
    const QRect asked = event->rect();
    for (int top = asked.top(); top <= asked.bottom(); top += band_rows) {
        painter.setClipRegion(event->region().intersected(QRect(asked.left(), top, asked.width(), band_rows)));
        painter.drawImage(target, picture);
    }
    ++input_.paints;
}

void SurfaceView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == right_button_key) {
        if (!event->isAutoRepeat()) input_.mouse_buttons |= mouse_right;
        event->accept();
        return;
    }
    const std::string text = key_text(event->key(), event->text());
    if (text.empty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (input_.keys.size() < key_buffer_limit) input_.keys.push_back(text);
    event->accept();
}

void SurfaceView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() != right_button_key) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    if (!event->isAutoRepeat()) input_.mouse_buttons &= ~mouse_right;
    event->accept();
}

void SurfaceView::mousePressEvent(QMouseEvent* event) {
    input_.mouse_buttons |= button_bit(event->button());
    event->accept();
}

void SurfaceView::mouseReleaseEvent(QMouseEvent* event) {
    input_.mouse_buttons &= ~button_bit(event->button());
    event->accept();
}

}  // namespace rt
