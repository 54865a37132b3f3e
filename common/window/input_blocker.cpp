#include "common/window/input_blocker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace rt {

namespace {

bool is_user_input(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease: return true;
    default: return false;
    }
}

}  // namespace

InputBlocker::InputBlocker(QWidget* blocked, QWidget* box, QWidget* open) : blocked_(blocked), box_(box), open_(open) {
    QCoreApplication::instance()->installEventFilter(this);
}

InputBlocker::~InputBlocker() { QCoreApplication::instance()->removeEventFilter(this); }

bool InputBlocker::eventFilter(QObject* target, QEvent* event) {
    if (!is_user_input(event->type()) || !target->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(target);
    if (widget->window() != blocked_) return false;
    if (open_ != nullptr && (widget == open_ || open_->isAncestorOf(widget))) return false;
    if (event->type() == QEvent::MouseButtonPress) {
        box_->raise();
        box_->activateWindow();
    }
    return true;
}

}  // namespace rt
