#include "common/window/run_in_window.h"

#include "common/window/window_runtime.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <exception>
#include <iostream>

int run_in_window(int argc, char** argv, const std::function<void(rt::Runtime&)>& run_program) {
    QApplication application(argc, argv);

    // Qt's own texts (context menus of input fields, ...) in German like the
    // rest; without the translation file they stay English.
    QTranslator qt_texts;
    if (qt_texts.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qt_texts);

    rt::WindowRuntime runtime;
    try {
        run_program(runtime);
    } catch (const std::exception& error) {
        runtime.end();
        std::cerr << QCoreApplication::applicationName().toStdString() << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
