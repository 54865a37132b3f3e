#include "tools/scenario_run/desktop_scenario.h"

#include "common/desktop_output/offscreen_application.h"
#include "common/desktop_output/picture_output.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <memory>

namespace rt {

ScenarioPlatform desktop_scenario_platform() {
    ensure_offscreen_application();
    return {qt_picture_formats(), QCoreApplication::applicationDirPath().toStdString()};
}

int run_scenario(const ScenarioOptions& options, const ProgramFactory& make_program, std::ostream& err) {
    return run_scenario(options, make_program, err, desktop_scenario_platform());
}

int desktop_scenario_main(int argc, char** argv, const std::map<std::string, ProgramFactory>& programs) {
    std::unique_ptr<QGuiApplication> app;
    return scenario_main(argc, argv, programs, [&](const ScenarioOptions&) {
        // Headless whatever the environment says: the run must not need a display.
        prepare_headless_environment();
        app = std::make_unique<QGuiApplication>(argc, argv);
        return desktop_scenario_platform();
    });
}

}  // namespace rt
