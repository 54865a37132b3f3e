#include "kalorix/core/trial_quantities.h"

#include "kalorix/core/experiment_model.h"
#include "kalorix/core/thermodynamics.h"

#include <cmath>

namespace kalorix {

TrialSetting TrialSetting::of_run(double N_A, double n, double Nmax_A, double Nmax_B) {
    const RoomSquare rooms = RoomSquare::of_rooms(Nmax_A, Nmax_B);
    return {rooms.size_A(), rooms.size_B(), Nmax_A, Nmax_B, static_cast<std::int64_t>(N_A > 0 ? N_A : n)};
}

TrialTemperature trial_temperature(double size, std::int64_t count, std::int64_t limit, double E, double T_before) {
    if (!(count < limit)) return {TemperatureCase::kept, T_before};
    const auto N = static_cast<double>(count);
    if (count == 0 || size - N == 0) return {TemperatureCase::empty_or_full, 0};
    const double L = std::log((size - N) / N);
    return {TemperatureCase::computed, L != 0 ? E / (boltzmann_constant * L) : 0};
}

namespace {

RoomQuantities room_quantities(const TrialTemperature& temperature, double Nmax, std::int64_t count, double E) {
    RoomQuantities room;
    room.source = temperature.source;
    room.T = temperature.T;
    const auto N = static_cast<double>(count);
    room.U = inner_energy(N, E);
    // The whole number of tenths times the double 0.1, as the table shows it.
    room.S = std::floor(10 * room_entropy(Nmax, N)) * 0.1;
    room.F = free_energy(room.U, room.T, room.S);
    return room;
}

}  // namespace

TrialQuantities trial_quantities(const TrialSetting& setting, std::int64_t count_A, std::int64_t count_B, double E,
                                 double T_A_before, double T_B_before) {
    TrialQuantities q;
    q.A = room_quantities(trial_temperature(setting.size_A, count_A, setting.limit, E, T_A_before), setting.Nmax_A,
                          count_A, E);
    q.B = room_quantities(trial_temperature(setting.size_B, count_B, setting.limit, E, T_B_before), setting.Nmax_B,
                          count_B, E);
    q.U_ges = inner_energy(static_cast<double>(count_A + count_B), E);
    q.S_ges = q.A.S + q.B.S;
    q.F_ges = q.A.F + q.B.F;
    return q;
}

}  // namespace kalorix
