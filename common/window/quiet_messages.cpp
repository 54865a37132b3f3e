#include "common/window/quiet_messages.h"

#include <QString>
#include <QtGlobal>

namespace {

QtMessageHandler next_handler = nullptr;

bool harmless(QtMsgType type, const QString& message) {
    return type == QtWarningMsg && message.startsWith(QLatin1String("PulseAudioService: pa_context_connect() failed"));
}

void filter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!harmless(type, message) && next_handler) next_handler(type, context, message);
}

}  // namespace

void quiet_harmless_messages() {
    if (next_handler) return;  // installed already
    next_handler = qInstallMessageHandler(filter);
}
