// The pace of the simulation on the screen: the EXTRAS entries that change
// it, the paced passes of the main loop and the status line.
#include "diffundo/diffundo.h"

#include "diffundo/core/step_count_text.h"

namespace diffundo {

namespace {

// Keys with Ctrl: an ordinary key still ends the statistics display's wait.
const char* const slower_entry = "&Langsamer\tCtrl+-";
const char* const faster_entry = "S&chneller\tCtrl++";
// Not "Weiter": AUSGABE's "&Weiter" ends a statistics display, which this does not.
const char* const pause_entry = "&Anhalten / Fortsetzen\tCtrl+Space";
const char* const single_step_entry = "&Einzelschritt\tCtrl+Right";

// Below this wait the loop turns on without sleeping, so fast tempos keep up.
constexpr double shortest_sleep = 0.015;
// The status line changes at most this often (seconds): the steps so far
// would otherwise be rewritten at every step.
constexpr double status_interval = 0.25;

}  // namespace

const std::vector<std::string>& Diffundo::pace_entries() {
    static const std::vector<std::string> entries = {slower_entry, faster_entry, pause_entry, single_step_entry};
    return entries;
}

const std::vector<std::string>& Diffundo::own_extras() {
    static const std::vector<std::string> entries = [] {
        std::vector<std::string> list = pace_entries();
        list.emplace_back("-------------");
        list.emplace_back(history_entry());
        return list;
    }();
    return entries;
}

bool Diffundo::pace_selected(const std::string& entry) {
    if (entry == slower_entry)
        pace.slower();
    else if (entry == faster_entry)
        pace.faster();
    else if (entry == pause_entry)
        pace.toggle_pause();
    else if (entry == single_step_entry)
        pace.single_step();
    else
        return false;
    status_shown_at = -1;
    return true;
}

void Diffundo::use_lesson_manner() {
    if (lesson_.draw_mode) draw_mode = static_cast<std::int16_t>(*lesson_.draw_mode);
    if (!lesson_.tempo || pace.set_tempo(*lesson_.tempo)) return;
    // The menu offers only the tempo steps; a lesson gets no other.
    std::string steps;
    for (const int tempo : rt::Pace::tempos) steps += (steps.empty() ? "" : ", ") + std::to_string(tempo);
    runtime_.message_box(rt::box_message,
                         "Ein Tempo von " + std::to_string(*lesson_.tempo) +
                             " Schritten pro Sekunde gibt es nicht.|Möglich sind " + steps +
                             " Schritte pro Sekunde oder voll.|Die Simulation läuft mit voller Geschwindigkeit.",
                         1, " OK ");
}

lesson::Lesson Diffundo::values_in_use() const {
    lesson::Lesson in_use;
    // The answer before rounding: it meets the input's rule again (100.6 does, 101 would not).
    in_use.values = atoms_entered ? std::vector<std::optional<double>>{atom_input} : lesson_.values;
    in_use.draw_mode = draw_mode == 1 ? lesson::DrawMode::sorted : lesson::DrawMode::in_place;
    in_use.tempo = pace.steps_per_second();
    in_use.at_once = lesson_.at_once;
    in_use.without_title = lesson_.without_title;
    return in_use;
}

void Diffundo::paced_pass() {
    const double now = runtime_.time();
    if (pace.step_due(now))
        dice_step();
    else if (pace.wait_before_next(now) > shortest_sleep || gas.N < 1)
        runtime_.mouse_state();
}

void Diffundo::show_pace_status(double now) {
    if (status_shown_at >= 0 && now - status_shown_at < status_interval) return;
    status_shown_at = now;
    runtime_.show_status(pace.describe() + (pace.paused() ? "" : ", läuft") + " - " + step_count_text(gas.trial_count) +
                         (gas.trial_count == 1 ? " Schritt" : " Schritte"));
}

}  // namespace diffundo
