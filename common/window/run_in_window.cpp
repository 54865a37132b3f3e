#include "common/window/run_in_window.h"

#include "common/desktop_output/runtime_directory.h"
#include "common/window/display_check.h"
#include "common/window/quiet_messages.h"
#include "common/window/window_runtime.h"

#include <QApplication>
#include <QDirIterator>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include <exception>
#include <iostream>
#include <memory>

namespace {

// Every size of the icon the executable carries (made by assets/make_icons
// and built in as a resource), so the window manager picks the one it needs.
QIcon program_icon() {
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/program-icon"), QDir::Files, QDirIterator::Subdirectories);
    while (sizes.hasNext()) icon.addFile(sizes.next());
    return icon;
}

}  // namespace

int run_in_window(int argc, char** argv, const ProgramInfo& program,
                  const std::function<void(rt::Runtime&, const lesson::Lesson&)>& run_program) {
    const CommandLine command = read_command_line(program, std::vector<std::string>(argv, argv + argc));
    switch (command.action) {
    case CommandLine::Action::help:
    case CommandLine::Action::version: std::cout << command.text; return start_ok;
    case CommandLine::Action::refuse: std::cerr << command.text; return start_bad_arguments;
    case CommandLine::Action::run: break;
    }
    if (no_display_configured()) {
        std::cerr << no_display_message(program.name) << '\n';
        return start_no_display;
    }
    rt::ensure_runtime_directory();
    quiet_harmless_messages();

    QCoreApplication::setApplicationName(QString::fromStdString(program.name));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROGRAM_VERSION));
    std::unique_ptr<QApplication> application;
    {
        const PlatformStartGuard guard(program.name);
        application = std::make_unique<QApplication>(argc, argv);
    }
    // The desktop entry of the same name gives Wayland's task bar its icon;
    // X11 takes the window icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(APP_ID_PREFIX ".") + QString::fromStdString(program.name));
    QApplication::setWindowIcon(program_icon());

    // Qt's own texts (context menus of input fields, ...) in German like the
    // rest; without the translation file they stay English.
    QTranslator qt_texts;
    if (qt_texts.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qt_texts);

    rt::WindowRuntime runtime;
    try {
        run_program(runtime, command.lesson);
    } catch (const std::exception& error) {
        runtime.end();
        std::cerr << program.name << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
