#pragma once
// A headless run of a program against a script: what `scenario-run` does,
// callable in-process so that tests can run small programs through it.
//
// Outputs in the output directory: final.png and final.txt (the screen when
// the program called end() or returned), transcript.jsonl, and the snapshots
// the script asks for.

#include "common/runtime/picture_formats.h"
#include "common/screens/program.h"
#include "tools/scenario_run/arguments.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace rt {

using ProgramFactory = std::function<std::unique_ptr<common::Program>(Runtime&)>;

// What the machine the runner runs on supplies: the picture writers and
// readers, and the program directory to use when the options name none.
struct ScenarioPlatform {
    PictureFormats formats;
    std::string program_directory;
};

// Runs the program the factory makes on a ScriptedRuntime, writes the
// outputs and returns the exit code. Messages go to `err`.
int run_scenario(const ScenarioOptions& options, const ProgramFactory& make_program, std::ostream& err,
                 const ScenarioPlatform& platform);

// The whole tool but the platform: arguments, the program by its name, the
// run; `prepare` is called once the arguments are good and gives the platform.
int scenario_main(int argc, char** argv, const std::map<std::string, ProgramFactory>& programs,
                  const std::function<ScenarioPlatform(const ScenarioOptions&)>& prepare);

}  // namespace rt
