// The records behind "Da&ten speichern ...": what the analysis on the screen
// has shown so far, handed to the runtime as a CSV text provider. Saving
// reads them only, so it changes neither the run nor its random numbers.
#include "kalorix/kalorix.h"

#include <algorithm>

namespace kalorix {

void Kalorix::export_theory(std::int32_t steps_limit) {
    forget_records();
    theory_records.reserve(static_cast<std::size_t>(std::max(0, steps_limit)) + 1);
    runtime_.set_export([this] { return theory_csv(theory_records, excitation_energy, temperature_scale); });
}

void Kalorix::export_experiment(const ExperimentValues& values) {
    forget_records();
    experiment_values = values;
    runtime_.set_export(
        [this] { return experiment_csv(trial_records, experiment_values, excitation_energy, temperature_scale); });
}

void Kalorix::record_theory_step(std::int32_t N_A_start) {
    theory_records.push_back({transferred, N_A_start - transferred, transferred, S_A, S_B, S_ges, T_A, T_B});
}

void Kalorix::record_trial(const TrialQuantities& q) {
    trial_records.push_back({trial_index + 1, count_A, count_B, trial_T_A, trial_T_B, q.A.U, q.B.U, q.U_ges, q.A.S,
                             q.B.S, q.S_ges, q.A.F, q.B.F, q.F_ges});
}

void Kalorix::forget_records() {
    // swap, not clear: the screen is gone, and so is the memory of its rows.
    std::vector<TheoryRecord>().swap(theory_records);
    std::vector<TrialRecord>().swap(trial_records);
    runtime_.set_export(nullptr);
}

}  // namespace kalorix
