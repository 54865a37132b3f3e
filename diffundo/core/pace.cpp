#include "diffundo/core/pace.h"

#include <algorithm>

namespace diffundo {

void Pace::slower() {
    level_ = std::max(0, level_ - 1);
    next_due_ = -1;
}

void Pace::faster() {
    level_ = std::min(full_speed_level, level_ + 1);
    next_due_ = -1;
}

void Pace::toggle_pause() {
    paused_ = !paused_;
    next_due_ = -1;
}

void Pace::single_step() {
    paused_ = true;
    single_step_ = true;
}

bool Pace::step_due(double now) {
    if (single_step_) {
        single_step_ = false;
        return true;
    }
    if (paused_) return false;
    if (level_ == full_speed_level) return true;
    const double interval = 1.0 / tempos[static_cast<std::size_t>(level_)];
    // The first step after a change comes at once; later ones keep the
    // rhythm, and a pass that comes late does not make up for lost steps.
    if (next_due_ >= 0 && now < next_due_) return false;
    next_due_ = next_due_ < 0 || now - next_due_ > interval ? now + interval : next_due_ + interval;
    return true;
}

double Pace::wait_before_next(double now) const {
    if (single_step_ || (!paused_ && level_ == full_speed_level)) return 0;
    if (paused_) return 1e9;
    return next_due_ < 0 ? 0 : std::max(0.0, next_due_ - now);
}

std::string Pace::describe() const {
    std::string text = "Tempo: ";
    if (level_ == full_speed_level)
        text += "volle Geschwindigkeit";
    else {
        const int tempo = tempos[static_cast<std::size_t>(level_)];
        text += std::to_string(tempo) + (tempo == 1 ? " Schritt/s" : " Schritte/s");
    }
    if (paused_) text += ", angehalten";
    return text;
}

}  // namespace diffundo
