#pragma once
// When a polling loop waits rather than works, for the runtimes whose polls
// sleep then. A poll is idle when it found nothing and no drawing was asked
// for since the one before: a print that leaves the pixels as they were
// (diffundo's sorted lines) is work. A loop may poll keys and mouse several
// times per step, so only a run of idle polls counts as waiting; then each
// poll sleeps, briefly at first and longer after a quiet while (an event
// ends any sleep at once).

#include <cstdint>

namespace rt {

class IdlePolls {
public:
    struct Rule {
        int polls_before_sleep;
        int short_sleep_ms;
        double long_quiet_seconds;
        int long_sleep_ms;
    };
    explicit IdlePolls(Rule rule) : rule_(rule) {}

    // After a poll: whether it should sleep. `now` in seconds of any clock
    // that goes on.
    bool idle(std::uint64_t drawing_requests, bool found, double now) {
        const bool drawn = drawing_requests != polled_requests_;
        polled_requests_ = drawing_requests;
        if (drawn || found) {
            idle_polls_ = 0;
            return false;
        }
        // Saturates: a wait may go on for days, and an overflown count would
        // stop the sleeping.
        if (idle_polls_ < rule_.polls_before_sleep) {
            if (++idle_polls_ < rule_.polls_before_sleep) return false;
            quiet_since_ = now;
        }
        return true;
    }
    // How long a wait sleeps now.
    int sleep_ms(double now) const {
        return now - quiet_since_ >= rule_.long_quiet_seconds ? rule_.long_sleep_ms : rule_.short_sleep_ms;
    }

private:
    Rule rule_;
    std::uint64_t polled_requests_ = ~std::uint64_t{0};
    int idle_polls_ = 0;
    double quiet_since_ = 0;  // when the polls last began to sleep
};

}  // namespace rt
