#include "common/runtime/pace.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace rt {

namespace {

// "31200/s" (three significant digits, so that the line does not flicker),
// "7,5/s" below ten.
std::string rate_text(double rate) {
    char buffer[32];
    if (rate < 10) {
        std::snprintf(buffer, sizeof buffer, "%.1f/s", rate);
    } else {
        const double unit = std::pow(10.0, std::max(0.0, std::floor(std::log10(rate)) - 2));
        std::snprintf(buffer, sizeof buffer, "%.0f/s", std::nearbyint(rate / unit) * unit);
    }
    std::string text(buffer);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

}  // namespace

void Pace::restart_schedule() {
    origin_ = -1;
    booked_ = 0;
    if (level_ < full_speed_level) reached_.restart(tempo());
}

void Pace::slower() {
    level_ = std::max(0, level_ - 1);
    restart_schedule();
}

void Pace::faster() {
    level_ = std::min(full_speed_level, level_ + 1);
    restart_schedule();
}

bool Pace::set_tempo(int steps_per_second) {
    int level = full_speed_level;
    if (steps_per_second != 0) {
        const auto found = std::find(tempos.begin(), tempos.end(), steps_per_second);
        if (found == tempos.end()) return false;
        level = static_cast<int>(found - tempos.begin());
    }
    level_ = level;
    restart_schedule();
    return true;
}

void Pace::toggle_pause() {
    paused_ = !paused_;
    restart_schedule();
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
    // The first step comes at once, step k at origin + k / tempo.
    if (origin_ < 0) origin_ = now;
    const std::int64_t owed_in_all = static_cast<std::int64_t>(std::floor((now - origin_) * tempo())) + 1;
    const std::int64_t backlog_cap =
        std::max<std::int64_t>(1, static_cast<std::int64_t>(tempo() * backlog_seconds));
    // Steps beyond the cap are dropped, not made up later.
    booked_ = std::max(booked_, owed_in_all - backlog_cap);
    const bool due = booked_ < owed_in_all;
    if (due) ++booked_;
    reached_.pass(now, due);
    return due;
}

double Pace::wait_before_next(double now) const {
    if (single_step_ || (!paused_ && level_ == full_speed_level)) return 0;
    if (paused_) return 1e9;
    if (origin_ < 0) return 0;
    // Step booked_ + 1 is owed from origin + booked_ / tempo on.
    return std::max(0.0, origin_ + static_cast<double>(booked_) / tempo() - now);
}

std::string Pace::describe() const {
    std::string text = "Tempo: ";
    if (level_ == full_speed_level)
        text += "volle Geschwindigkeit";
    else {
        text += std::to_string(tempo()) + (tempo() == 1 ? " Schritt/s" : " Schritte/s");
        if (!paused_ && reached_.falls_short()) text += " (erreicht: " + rate_text(reached_.rate()) + ")";
    }
    if (paused_) text += ", angehalten";
    return text;
}

}  // namespace rt
