#include "common/desktop_output/offscreen_application.h"

#include "common/desktop_output/runtime_directory.h"
#include "common/runtime/vector_state.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace rt {

void prepare_headless_environment() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ensure_runtime_directory();
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
    clear_upper_vector_state();  // Qt's start-up may leave it dirty for the physics that follows
}

}  // namespace rt
