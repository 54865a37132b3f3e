#pragma once
// Entry point of both programs in a real window: the command line, the check
// that a window can open at all, the Qt application with the program's icon,
// the window runtime, and the program run on it from start to end.

#include "common/runtime/runtime.h"
#include "common/window/command_line.h"

#include <functional>

// Returns the process exit code: 0 after a normal end, a closed window,
// --help or --version; 1 when no window can open or the program stopped on
// an unexpected error (reported on stderr); 2 for a wrong command line.
int run_in_window(int argc, char** argv, const ProgramInfo& program,
                  const std::function<void(rt::Runtime&, const lesson::Lesson&)>& run_program);
