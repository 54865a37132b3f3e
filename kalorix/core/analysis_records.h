#pragma once
// The records of the analysis on the screen, for the data export: one row
// per step of the theoretical analysis, one per trial of the experiment.
// They live as long as the screen they describe (the program empties them
// when it clears the window), so at most N_A + 1 or 1001 rows.

#include <cstdint>
#include <string>
#include <vector>

namespace kalorix {

struct TheoryRecord {
    std::int32_t transferred = 0;
    std::int32_t excited_A = 0, excited_B = 0;
    double S_A = 0, S_B = 0, S_ges = 0;
    double T_A = 0, T_B = 0;  // eV, rounded to a tenth as the analysis computes them
};

struct TrialRecord {
    std::int32_t trial = 0;  // from 1, as "Versuch Nr." shows it
    std::int64_t N_A = 0, N_B = 0;
    double T_A = 0, T_B = 0;  // eV
    double U_A = 0, U_B = 0, U_ges = 0;
    double S_A = 0, S_B = 0, S_ges = 0;
    double F_A = 0, F_B = 0, F_ges = 0;
};

// The experiment's four values, for the CSV header.
struct ExperimentValues {
    double N_A = 0, n = 0, Nmax_A = 0, Nmax_B = 0;
};

// CSV texts (common/numeric/csv_table.h's format). Temperatures are given in
// eV and as the screen shows them: the whole number shown_temperature gives
// for temperature_scale.
std::string theory_csv(const std::vector<TheoryRecord>& rows, double excitation_energy, double temperature_scale);
std::string experiment_csv(const std::vector<TrialRecord>& rows, const ExperimentValues& values,
                           double excitation_energy, double temperature_scale);

}  // namespace kalorix
