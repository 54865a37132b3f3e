#pragma once
// Entry point of both programs in a real window: the Qt application, the
// window runtime, and the program run on it from start to end.

#include "common/runtime/runtime.h"

#include <functional>

// Returns the process exit code: 0 after a normal end or a closed window,
// 1 when the program stopped on an unexpected error (reported on stderr).
int run_in_window(int argc, char** argv, const std::function<void(rt::Runtime&)>& run_program);
