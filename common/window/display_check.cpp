#include "common/window/display_check.h"

#include "common/window/command_line.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace {

QtMessageHandler previous_handler = nullptr;
std::string guarded_program;

std::string what_to_do(const std::string& program) {
    return "Bitte auf einem grafischen Desktop starten, ohne Bildschirm mit „xvfb-run " + program + "“.";
}

void fatal_start_handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        if (previous_handler) previous_handler(type, context, message);
        return;
    }
    // Qt's warnings before this one said why (e.g. "could not connect to
    // display"); its advice to reinstall does not help, so ours replaces it.
    QString reason = message.section(QLatin1Char('\n'), 0, 0);
    reason.remove(QLatin1String("Reinstalling the application may fix this problem."));
    if (!reason.trimmed().isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(reason.trimmed()));
    std::fprintf(stderr, "%s\n", unusable_display_message(guarded_program).c_str());
    std::fflush(stderr);
    std::_Exit(start_no_display);
}

}  // namespace

bool no_display_configured() {
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

std::string no_display_message(const std::string& program) {
    return program + ": Kein Bildschirm gefunden (weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt). " +
           what_to_do(program);
}

std::string unusable_display_message(const std::string& program) {
    return program + ": Der Bildschirm lässt sich nicht öffnen. " + what_to_do(program);
}

PlatformStartGuard::PlatformStartGuard(const std::string& program) {
    guarded_program = program;
    previous_handler = qInstallMessageHandler(fatal_start_handler);
}

PlatformStartGuard::~PlatformStartGuard() { qInstallMessageHandler(previous_handler); }
