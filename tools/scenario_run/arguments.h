#pragma once
// The command line of scenario-run and the exit codes of a run.

#include "common/runtime/runtime.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace rt {

extern const char* const scenario_usage;

// Exit codes of a run.
enum ScenarioResult : int {
    scenario_ended = 0,         // the program ended
    scenario_failed = 1,        // the program threw something of its own, or an output could not be written
    scenario_script_error = 2,  // bad arguments or script, or a mismatch
    scenario_hang = 3,          // the program did not end in time
};

// The longest time limit a run may have, in seconds: a day. Far longer
// ones (and inf, nan) would overflow the watchdog's clock.
constexpr double longest_timeout_seconds = 24 * 60 * 60;

struct ScenarioOptions {
    std::string program;
    std::filesystem::path script;
    std::filesystem::path outdir;
    std::uint64_t seed = 1;
    int width = Runtime::surface_width;
    int height = Runtime::surface_height;
    double timeout_seconds = 120;  // 0: no limit; at most longest_timeout_seconds
    bool record_prints = true;
    // At the time limit the services start throwing, so that a program
    // waiting in a polling loop unwinds and the outputs get written. One that
    // calls no service any more is ended this much later by std::_Exit(3).
    double hard_stop_grace_seconds = 2;
    // The program directory the run pretends to have, from which the picture
    // and the sound are found (beside it, or installed relative to it);
    // empty: the runner's own directory.
    std::string program_directory;
    // The lesson the program starts with, in the form of a link's fragment
    // (werte=300,700,200,0,0.4,2&sofort), read as the browser reads it.
    std::string lesson;
};

// Parses "PROGRAM SCRIPT OUTDIR [--seed N] [--size WxH] [--timeout S]
// [--no-prints] [--program-dir DIR] [--lesson FRAGMENT]"; nullopt with `error` set on a bad
// command line.
std::optional<ScenarioOptions> parse_scenario_arguments(int argc, const char* const* argv, std::string& error);

}  // namespace rt
