#include "common/scripted/offscreen_application.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <unistd.h>

namespace rt {

void prepare_headless_environment() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a session (CI, a plain shell) Qt complains on every run that it
    // has no runtime directory; give it a private one.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray dir = QDir::tempPath().toUtf8() + "/scenario-run-" + QByteArray::number(getuid());
        QDir().mkpath(QString::fromUtf8(dir));
        QFile::setPermissions(QString::fromUtf8(dir),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", dir);
    }
}

void ensure_offscreen_application() {
    if (QCoreApplication::instance()) return;
    prepare_headless_environment();
    static int argc = 1;
    static char name[] = "scenario-run";
    static char* argv[] = {name, nullptr};
    // Never deleted: it must outlive every surface, and destroying it during
    // static destruction is not safe.
    new QGuiApplication(argc, argv);
}

}  // namespace rt
