#pragma once

#include "common/scripted/scripted_runtime.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace rt {

// Ends a run that does not end by itself. At the deadline it asks the
// runtime to throw from its next service call; a program that calls none any
// more is ended the hard way, since nothing else can stop its thread.
class Watchdog {
public:
    // No limit when `seconds` is 0 or less, nor in a build without threads.
    Watchdog(double seconds, double grace_seconds, ScriptedRuntime& runtime);
    ~Watchdog() { disarm(); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void disarm();

private:
    void watch();

    ScriptedRuntime& runtime_;
    std::chrono::steady_clock::time_point deadline_;
    std::chrono::steady_clock::time_point hard_deadline_;
    double seconds_ = 0;
    std::mutex mutex_;
    std::condition_variable woken_;
    bool done_ = false;
    std::thread thread_;
};

}  // namespace rt
