#include "common/window/window_input.h"

#include <QKeySequence>

namespace rt {

std::string key_text(int key, const QString& typed) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return "\r";
    case Qt::Key_Escape: return "\x1b";
    case Qt::Key_Backspace: return "\b";
    case Qt::Key_Tab: return "\t";
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_unknown:
    case 0: return {};
    default: break;
    }
    if (!typed.isEmpty()) return typed.toStdString();
    return QKeySequence(key).toString(QKeySequence::PortableText).toStdString();
}

}  // namespace rt
