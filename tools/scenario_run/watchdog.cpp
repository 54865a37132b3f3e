#include "tools/scenario_run/watchdog.h"

#include "tools/scenario_run/arguments.h"

#include <cstdio>
#include <cstdlib>

namespace rt {

namespace {

// Beyond a day the clock's count could overflow; a nan counts as a day too.
std::chrono::steady_clock::duration seconds_duration(double seconds) {
    const double bounded = seconds <= longest_timeout_seconds ? seconds : longest_timeout_seconds;
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(bounded));
}

}  // namespace

Watchdog::Watchdog(double seconds, double grace_seconds, ScriptedRuntime& runtime) : runtime_(runtime) {
    if (seconds <= 0) return;
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    // No second thread in the browser's build: its caller limits the time.
    (void)grace_seconds;
    return;
#endif
    deadline_ = std::chrono::steady_clock::now() + seconds_duration(seconds);
    hard_deadline_ = deadline_ + seconds_duration(grace_seconds);
    seconds_ = seconds;
    thread_ = std::thread([this] { watch(); });
}

void Watchdog::disarm() {
    {
        std::lock_guard lock(mutex_);
        done_ = true;
    }
    woken_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void Watchdog::watch() {
    std::unique_lock lock(mutex_);
    if (woken_.wait_until(lock, deadline_, [this] { return done_; })) return;
    runtime_.request_stop();
    if (woken_.wait_until(lock, hard_deadline_, [this] { return done_; })) return;
    // The main thread is somewhere in the program: the transcript and the
    // surface may be half-written, so only the message is safe.
    char message[200];
    std::snprintf(message, sizeof message,
                  "scenario-run: the program did not end within %g s and calls no runtime service; stopped\n",
                  seconds_);
    std::fputs(message, stderr);
    std::fflush(stderr);
    std::_Exit(scenario_hang);
}

}  // namespace rt
