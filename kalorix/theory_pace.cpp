// The theory at a pace: its steps drawn at one of the tempo steps diffundo's
// dice take (rt::Pace), paused, or one at a time. At full speed, the start
// value, a step waits for nothing and the run is the one it always was.
#include "kalorix/kalorix.h"

#include "common/runtime/number_format.h"

namespace kalorix {

namespace {

// Below this wait the loop turns on without sleeping, so fast tempos keep up.
constexpr double shortest_sleep = 0.015;
// The status line changes at most this often (seconds).
constexpr double status_interval = 0.25;

}  // namespace

const std::vector<std::string>& Kalorix::theory_pace_entries() {
    static const std::vector<std::string> entries = {theory_slower_entry, theory_faster_entry, theory_pause_entry,
                                                     theory_single_step_entry};
    return entries;
}

bool Kalorix::theory_pace_selected(const std::string& entry) {
    if (entry == theory_slower_entry)
        theory_pace.slower();
    else if (entry == theory_faster_entry)
        theory_pace.faster();
    else if (entry == theory_pause_entry)
        theory_pace.toggle_pause();
    else if (entry == theory_single_step_entry)
        theory_pace.single_step();
    else
        return false;
    theory_status_at = -1;
    show_theory_pace_status(runtime_.time());
    return true;
}

bool Kalorix::theory_step_due() {
    const double now = runtime_.time();
    const bool due = theory_pace.step_due(now);
    show_theory_pace_status(now);
    // A mouse poll lets the window's events through and sleeps.
    if (!due && theory_pace.wait_before_next(now) > shortest_sleep) runtime_.mouse_state();
    return due;
}

void Kalorix::show_theory_pace_status(double now) {
    if (theory_status_at >= 0 && now - theory_status_at < status_interval) return;
    theory_status_at = now;
    std::string text = "Theorie - " + theory_pace.describe();
    if (theory_steps > 0)
        text += " - " + rt::number_text(theory_steps_done) + " von " + rt::number_text(theory_steps) + " Schritten";
    runtime_.show_status(text);
}

}  // namespace kalorix
