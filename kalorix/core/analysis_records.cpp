#include "kalorix/core/analysis_records.h"

#include "common/numeric/csv_table.h"
#include "kalorix/core/thermodynamics.h"

namespace kalorix {

using numeric::csv_number;
using numeric::csv_row;

namespace {

// The "angezeigt" columns hold the number the screen prints, from the
// same function, not the scaled temperature before its rounding down.
std::string shown(double T, double temperature_scale) { return csv_number(shown_temperature(T, temperature_scale)); }

}  // namespace

std::string theory_csv(const std::vector<TheoryRecord>& rows, double excitation_energy, double temperature_scale) {
    std::string text(numeric::csv_byte_order_mark);
    text += csv_row({"kalorix: theoretische Analyse"});
    text += csv_row({"Anregungsenergie E (eV)", csv_number(excitation_energy)});
    text += csv_row({"übergetretene Atome", "angeregt in A", "angeregt in B", "S_A", "S_B", "S_ges", "T_A (eV)",
                     "T_B (eV)", "T_A angezeigt (" + csv_number(temperature_scale) + " T)",
                     "T_B angezeigt (" + csv_number(temperature_scale) + " T)"});
    for (const TheoryRecord& r : rows)
        text += csv_row({std::to_string(r.transferred), std::to_string(r.excited_A), std::to_string(r.excited_B),
                         csv_number(r.S_A), csv_number(r.S_B), csv_number(r.S_ges), csv_number(r.T_A),
                         csv_number(r.T_B), shown(r.T_A, temperature_scale), shown(r.T_B, temperature_scale)});
    return text;
}

std::string experiment_csv(const std::vector<TrialRecord>& rows, const ExperimentValues& values,
                           double excitation_energy, double temperature_scale) {
    std::string text(numeric::csv_byte_order_mark);
    text += csv_row({"kalorix: experimentelle Analyse"});
    text += csv_row({"N_A (Start)", csv_number(values.N_A)});
    text += csv_row({"n", csv_number(values.n)});
    text += csv_row({"Nmax_A", csv_number(values.Nmax_A)});
    text += csv_row({"Nmax_B", csv_number(values.Nmax_B)});
    text += csv_row({"Anregungsenergie E (eV)", csv_number(excitation_energy)});
    text += csv_row({"Versuch Nr.", "N_A", "N_B", "T_A (eV)", "T_B (eV)", "U_A (eV)", "U_B (eV)", "U_ges (eV)", "S_A",
                     "S_B", "S_ges", "F_A (eV)", "F_B (eV)", "F_ges (eV)",
                     "T_A angezeigt (" + csv_number(temperature_scale) + " T)",
                     "T_B angezeigt (" + csv_number(temperature_scale) + " T)"});
    for (const TrialRecord& r : rows)
        text +=
            csv_row({std::to_string(r.trial), std::to_string(r.N_A), std::to_string(r.N_B), csv_number(r.T_A),
                     csv_number(r.T_B), csv_number(r.U_A), csv_number(r.U_B), csv_number(r.U_ges), csv_number(r.S_A),
                     csv_number(r.S_B), csv_number(r.S_ges), csv_number(r.F_A), csv_number(r.F_B), csv_number(r.F_ges),
                     shown(r.T_A, temperature_scale), shown(r.T_B, temperature_scale)});
    return text;
}

}  // namespace kalorix
