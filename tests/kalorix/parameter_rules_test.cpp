#include "kalorix/core/parameter_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

using kalorix::AcceptedCounts;
using kalorix::Field;
using kalorix::Verdict;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

const char* field_name(Field field) {
    switch (field) {
    case Field::Nmax_A: return "Nmax_A";
    case Field::Nmax_B: return "Nmax_B";
    case Field::n: return "n";
    case Field::N_A: return "N_A";
    case Field::entropy_scale: return "entropy_scale";
    case Field::excitation_energy: return "excitation_energy";
    }
    return "?";
}

struct CountCase {
    Field field;
    double value;
    AcceptedCounts accepted;
    Verdict verdict;
    std::int32_t stored;  // only for accepted answers
};

const AcceptedCounts none{};
const AcceptedCounts proposed{400, 1200, 150};

// Both rooms together fill the whole atom table with 1601 * 1601 = 2563201
// atoms; a trial without transfers records at most 1600 excitations. The
// refusal texts below name these bounds as numbers.
constexpr std::int32_t all_atoms = kalorix::max_total_atoms;
constexpr std::int32_t recorded = kalorix::max_recorded_excitations;

const CountCase count_cases[] = {
    {Field::Nmax_A, 400, none, Verdict::accepted, 400},
    {Field::Nmax_A, 1, none, Verdict::accepted, 1},
    {Field::Nmax_A, 0, none, Verdict::refused, 0},
    {Field::Nmax_A, -1, none, Verdict::refused, 0},
    {Field::Nmax_A, 2.5, none, Verdict::accepted, 2},
    {Field::Nmax_A, 3.5, none, Verdict::accepted, 4},
    {Field::Nmax_A, 0.5, none, Verdict::refused, 0},
    {Field::Nmax_A, 0.6, none, Verdict::accepted, 1},
    {Field::Nmax_A, 1e10, none, Verdict::refused, 0},
    {Field::Nmax_A, -1e10, none, Verdict::refused, 0},
    {Field::Nmax_A, nan, none, Verdict::refused, 0},
    {Field::Nmax_A, inf, none, Verdict::refused, 0},
    {Field::Nmax_A, -inf, none, Verdict::refused, 0},
    {Field::Nmax_A, all_atoms - 1, none, Verdict::accepted, all_atoms - 1},
    {Field::Nmax_A, all_atoms, none, Verdict::refused, 0},

    {Field::Nmax_B, 1200, {400, 0, 0}, Verdict::accepted, 1200},
    {Field::Nmax_B, all_atoms - 400, {400, 0, 0}, Verdict::accepted, all_atoms - 400},
    {Field::Nmax_B, all_atoms - 399, {400, 0, 0}, Verdict::refused, 0},
    {Field::Nmax_B, all_atoms - 1, {1, 0, 0}, Verdict::accepted, all_atoms - 1},
    {Field::Nmax_B, all_atoms, {1, 0, 0}, Verdict::refused, 0},
    {Field::Nmax_B, 1, {all_atoms - 1, 0, 0}, Verdict::accepted, 1},
    {Field::Nmax_B, 2, {all_atoms - 1, 0, 0}, Verdict::refused, 0},
    {Field::Nmax_B, 0, {400, 0, 0}, Verdict::refused, 0},
    {Field::Nmax_B, 2147483647.0, {400, 0, 0}, Verdict::refused, 0},
    {Field::Nmax_B, nan, {400, 0, 0}, Verdict::refused, 0},

    {Field::n, 150, {400, 1200, 0}, Verdict::accepted, 150},
    {Field::n, 1, {400, 1200, 0}, Verdict::accepted, 1},
    {Field::n, 0, {400, 1200, 0}, Verdict::refused, 0},
    {Field::n, 1600, {400, 1200, 0}, Verdict::accepted, 1600},
    {Field::n, 1600.5, {400, 1200, 0}, Verdict::accepted, 1600},
    {Field::n, 1601, {400, 1200, 0}, Verdict::refused, 0},
    {Field::n, all_atoms, {all_atoms - 1, 1, 0}, Verdict::accepted, all_atoms},
    {Field::n, 1e300, {400, 1200, 0}, Verdict::refused, 0},
    {Field::n, inf, {400, 1200, 0}, Verdict::refused, 0},

    {Field::N_A, 150, proposed, Verdict::accepted, 150},
    {Field::N_A, 1, proposed, Verdict::accepted, 1},
    {Field::N_A, 150.4, proposed, Verdict::ask_again, 0},
    {Field::N_A, 151, proposed, Verdict::ask_again, 0},
    {Field::N_A, 1e10, proposed, Verdict::ask_again, 0},
    {Field::N_A, inf, proposed, Verdict::ask_again, 0},
    {Field::N_A, 3.4, {3, 10, 5}, Verdict::ask_again, 0},
    {Field::N_A, 2.6, {3, 10, 5}, Verdict::accepted, 3},
    {Field::N_A, 2.5, {10, 3, 5}, Verdict::accepted, 2},
    {Field::N_A, 3, {10, 5, 3}, Verdict::accepted, 3},
    {Field::N_A, 4, {10, 5, 3}, Verdict::ask_again, 0},
    {Field::N_A, 0, proposed, Verdict::accepted, 0},
    {Field::N_A, -0.4, proposed, Verdict::accepted, 0},
    {Field::N_A, 0.5, proposed, Verdict::accepted, 0},
    {Field::N_A, -0.6, proposed, Verdict::refused, 0},
    {Field::N_A, -1, proposed, Verdict::refused, 0},
    {Field::N_A, -1e10, proposed, Verdict::refused, 0},
    {Field::N_A, -inf, proposed, Verdict::refused, 0},
    {Field::N_A, nan, proposed, Verdict::refused, 0},
    {Field::N_A, 0, {2000, 2000, recorded}, Verdict::accepted, 0},
    {Field::N_A, 0, {2000, 2000, recorded + 1}, Verdict::refused, 0},
    {Field::N_A, 0.5, {2000, 2000, recorded + 1}, Verdict::refused, 0},
    {Field::N_A, 1, {2000, 2000, recorded + 1}, Verdict::accepted, 1},
};

TEST(ParameterRules, CountsAreRoundedAndBounded) {
    for (const auto& c : count_cases) {
        SCOPED_TRACE(::testing::Message() << field_name(c.field) << " = " << c.value << " after " << c.accepted.Nmax_A
                                          << ", " << c.accepted.Nmax_B << ", " << c.accepted.n);
        const auto answer = kalorix::check_parameter(c.field, c.value, c.accepted);
        EXPECT_EQ(answer.verdict, c.verdict);
        if (c.verdict == Verdict::accepted) {
            EXPECT_EQ(answer.count, c.stored);
        }
        // A reason goes with every refusal and with nothing else.
        EXPECT_EQ(answer.message.empty(), c.verdict != Verdict::refused) << answer.message;
    }
}

struct RealCase {
    Field field;
    double value;
    bool accepted;
};

const RealCase real_cases[] = {
    {Field::entropy_scale, 0.4, true},       {Field::entropy_scale, 0.1, true},
    {Field::entropy_scale, 1e-300, true},    {Field::entropy_scale, 1e300, true},
    {Field::entropy_scale, 0.0, false},      {Field::entropy_scale, -0.0, false},
    {Field::entropy_scale, -0.2, false},     {Field::entropy_scale, nan, false},
    {Field::entropy_scale, inf, false},      {Field::excitation_energy, 2.0, true},
    {Field::excitation_energy, 0.025, true}, {Field::excitation_energy, 0.0, false},
    {Field::excitation_energy, -2.0, false}, {Field::excitation_energy, nan, false},
    {Field::excitation_energy, -inf, false}, {Field::excitation_energy, inf, false},
};

TEST(ParameterRules, ScaleAndEnergyArePositiveRealsKeptUnrounded) {
    for (const auto& c : real_cases) {
        SCOPED_TRACE(::testing::Message() << field_name(c.field) << " = " << c.value);
        const auto answer = kalorix::check_parameter(c.field, c.value, proposed);
        EXPECT_EQ(answer.verdict, c.accepted ? Verdict::accepted : Verdict::refused);
        if (c.accepted) {
            EXPECT_EQ(answer.real, c.value);
            EXPECT_TRUE(answer.message.empty());
        } else {
            EXPECT_EQ(answer.message, "Bitte eine Zahl größer als 0 eingeben.");
        }
    }
}

struct MessageCase {
    Field field;
    double value;
    AcceptedCounts accepted;
    std::string message;
};

TEST(ParameterRules, RefusalsNameTheAllowedRange) {
    const MessageCase cases[] = {
        {Field::Nmax_A, 0, none, "Bitte eine ganze Zahl von 1 bis 2563200 eingeben."},
        {Field::Nmax_A, nan, none, "Bitte eine ganze Zahl von 1 bis 2563200 eingeben."},
        {Field::Nmax_B, all_atoms - 399, {400, 0, 0}, "Bitte eine ganze Zahl von 1 bis 2562801 eingeben."},
        {Field::n, 1601, {400, 1200, 0}, "Bitte eine ganze Zahl von 1 bis 1600 eingeben."},
        {Field::N_A, -1, proposed, "Bitte eine ganze Zahl von 0 bis 150 eingeben."},
        {Field::N_A, -1, {3, 10, 5}, "Bitte eine ganze Zahl von 0 bis 3 eingeben."},
        {Field::N_A,
         0,
         {2000, 1800, 1700},
         "Mit N_A = 0 zeichnet das Experiment höchstens 1600 Anregungen auf, hier ist n = 1700. "
         "Bitte N_A von 1 bis 1700 eingeben."},
        {Field::N_A,
         0,
         {2000, 1650, 1700},
         "Mit N_A = 0 zeichnet das Experiment höchstens 1600 Anregungen auf, hier ist n = 1700. "
         "Bitte N_A von 1 bis 1650 eingeben."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << field_name(c.field) << " = " << c.value);
        const auto answer = kalorix::check_parameter(c.field, c.value, c.accepted);
        EXPECT_EQ(answer.verdict, Verdict::refused);
        EXPECT_EQ(answer.message, c.message);
    }
}

TEST(ParameterRules, LimitOfNAIsTheSmallestOfTheThreeCounts) {
    EXPECT_EQ(kalorix::N_A_limit(proposed), 150);
    EXPECT_EQ(kalorix::N_A_limit({3, 10, 5}), 3);
    EXPECT_EQ(kalorix::N_A_limit({10, 3, 5}), 3);
    EXPECT_EQ(kalorix::N_A_limit({10, 5, 3}), 3);
}

// Every accepted whole square still fits the atom table when its side is
// rounded up, and the first refused total would not.
TEST(ParameterRules, LargestAcceptedTotalFitsTheAtomTable) {
    constexpr double side = kalorix::atom_grid_side;
    for (std::int32_t Nmax_A : {1, 400, 1601, 1000000, all_atoms - 1}) {
        SCOPED_TRACE(Nmax_A);
        const std::int32_t fits = kalorix::max_total_atoms - Nmax_A;
        const auto ok = kalorix::check_parameter(Field::Nmax_B, fits, {Nmax_A, 0, 0});
        ASSERT_EQ(ok.verdict, Verdict::accepted);
        EXPECT_LE(std::ceil(std::sqrt(static_cast<double>(Nmax_A) + ok.count)), side);
        const auto refused = kalorix::check_parameter(Field::Nmax_B, fits + 1, {Nmax_A, 0, 0});
        EXPECT_EQ(refused.verdict, Verdict::refused);
        EXPECT_GT(std::ceil(std::sqrt(static_cast<double>(Nmax_A) + fits + 1)), side);
    }
}

}  // namespace
