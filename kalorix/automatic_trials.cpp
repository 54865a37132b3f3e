// The experiment going on by itself: the wait after a trial ends after a
// fixed interval until a key or a mouse button stops it. Off, the wait asks
// nothing more than before (no clock, no mouse), so a run goes as it always did.
#include "kalorix/kalorix.h"

namespace kalorix {

namespace {

constexpr const char* manual_prompt = "Nächster Versuch: Taste!";
constexpr const char* automatic_note = "Automatisch: Taste hält an";

}  // namespace

void Kalorix::set_automatic_trials(bool on) {
    automatic_trials = on;
    automatic_due = -1;
    set_entry_checked(automatic_entry, on);
}

void Kalorix::toggle_automatic_trials() {
    // Elsewhere no trial is due that could come by itself.
    if (!trial_wait_shown()) {
        runtime_.show_status("Automatisch weiter: nur während die experimentelle Analyse auf eine Taste wartet");
        return;
    }
    set_automatic_trials(!automatic_trials);
    mode_changed_in_wait();
}

void Kalorix::end_automatic_trials() {
    set_automatic_trials(false);
    runtime_.show_status("");
}

bool Kalorix::automatic_trial_due() {
    if (!automatic_trials) return false;
    if (runtime_.mouse_state() != rt::mouse_none) {
        set_automatic_trials(false);
        mode_changed_in_wait();
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

void Kalorix::mode_changed_in_wait() {
    show_trial_status();
    use_plain_drawing();  // what a menu action during the wait may have changed
    show_trial_prompt();
    runtime_.set_colour(rt::colours::white);  // the wait's drawing colour
}

// A text printed in the background colour only erases: the other text goes
// so before this one is printed.
void Kalorix::show_trial_prompt() {
    const double column = 22 * x_scale, row = 27;
    if (automatic_note_shown != automatic_trials) {
        runtime_.set_colour(colour(background_colour));
        runtime_.locate(column, row);
        runtime_.print(automatic_note_shown ? automatic_note : manual_prompt);
        automatic_note_shown = automatic_trials;
    }
    runtime_.set_colour(automatic_trials ? rt::colours::black : colour(colour_red));
    runtime_.locate(column, row);
    runtime_.print(automatic_trials ? automatic_note : manual_prompt);
}

}  // namespace kalorix
