#pragma once
// A start where no window can open ends with one German line that says what
// to do, and exit code 1, instead of Qt's abort with its advice to reinstall.

#include <string>

// True when the environment names no way to show a window: neither an X
// display nor a Wayland one, and no Qt platform chosen explicitly.
bool no_display_configured();

// The line for that case, without line break.
std::string no_display_message(const std::string& program);
// The line when a display is named but Qt cannot open it.
std::string unusable_display_message(const std::string& program);

// While it lives, a fatal Qt message (the platform plugin could not start,
// e.g. DISPLAY names a display that is not there) prints Qt's reason and
// unusable_display_message and ends the process with exit code 1 instead of
// aborting with a core dump.
class PlatformStartGuard {
public:
    explicit PlatformStartGuard(const std::string& program);
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;
};
