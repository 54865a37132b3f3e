// The experiment going on by itself: the wait after a trial ends after a
// fixed interval until a key or a mouse button stops it. Off, the wait asks
// nothing more than before (no clock, no mouse), so a run goes as it always did.
#include "kalorix/kalorix.h"

namespace kalorix {

void Kalorix::toggle_automatic_trials() {
    automatic_trials = !automatic_trials;
    automatic_due = -1;
    show_trial_status();
}

bool Kalorix::automatic_trial_due() {
    if (!automatic_trials) return false;
    if (runtime_.mouse_state() != rt::mouse_none) {
        toggle_automatic_trials();
        return false;
    }
    const double now = runtime_.time();
    if (automatic_due < 0) automatic_due = now + 1 / automatic_trials_per_second;
    return now >= automatic_due;
}

void Kalorix::show_trial_status() {
    runtime_.show_status(automatic_trials ? "Experiment: automatisch, 10 Versuche/s - Taste oder Maus hält an"
                                          : "Experiment: nächster Versuch mit einer Taste");
}

}  // namespace kalorix
