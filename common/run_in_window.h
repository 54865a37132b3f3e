#pragma once
// Entry point of both programs in a real window: the Qt application, the
// window runtime, the program made on it, and its run from start to end.

#include "common/program.h"

#include <functional>
#include <memory>

// Returns the process exit code: 0 after a normal end or a closed window,
// 1 when the program stopped on an unexpected error (reported on stderr).
int run_in_window(int argc, char** argv,
                  const std::function<std::unique_ptr<common::Program>(rt::Runtime&)>& make_program);
