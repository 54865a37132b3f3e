#pragma once
// The scenario runner on the desktop: Qt's picture writers and readers on
// the offscreen platform, the runner's own directory as program directory.

#include "tools/scenario_run/scenario.h"

namespace rt {

// Makes the offscreen application when there is none; then the desktop's platform.
ScenarioPlatform desktop_scenario_platform();

// run_scenario on the desktop's platform.
int run_scenario(const ScenarioOptions& options, const ProgramFactory& make_program, std::ostream& err);

// The whole desktop tool: arguments, the application object, the run.
int desktop_scenario_main(int argc, char** argv, const std::map<std::string, ProgramFactory>& programs);

}  // namespace rt
