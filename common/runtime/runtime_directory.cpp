#include "common/runtime/runtime_directory.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <unistd.h>

namespace rt {

void ensure_runtime_directory() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
    const QString dir = QDir::tempPath() + QStringLiteral("/kalorix-diffundo-runtime-") + QString::number(getuid());
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", dir.toUtf8());
}

}  // namespace rt
