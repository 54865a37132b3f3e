#include "kalorix/core/thermodynamics.h"

#include "kalorix/core/experiment_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

using kalorix::room_entropy;
using kalorix::room_temperature;
using kalorix::round_to_tenth;

constexpr double eps = std::numeric_limits<double>::epsilon();

// A temperature as the screens show it, with the program's scale.
double shown_temperature(double T) { return kalorix::shown_temperature(T, kalorix::temperature_scale_default); }

struct RoomState {
    double Nmax;
    double N;
};

// The largest room the atom table allows.
constexpr double largest_room = kalorix::max_total_atoms;

// Pairs of small, medium and large rooms, near both ends and the middle.
const std::vector<RoomState> sample_states = {
    {4, 2},     {5, 1},     {10, 3},     {10, 7},     {101, 50},   {101, 51},    {400, 1},     {400, 150},
    {400, 200}, {400, 399}, {1200, 150}, {1200, 113}, {1200, 600}, {1200, 1100}, {3000, 1234}, {largest_room, 1600},
};

// ln g(Nmax, N) computed independently through the gamma function.
double lgamma_entropy(double Nmax, double N) {
    return std::lgamma(Nmax + 1) - std::lgamma(N + 1) - std::lgamma(Nmax - N + 1);
}

double forward_sum(double Nmax, double N) {
    double S = 0.0;
    for (int j = 0; j < static_cast<int>(N); ++j) {
        S += std::log((Nmax - j) / (N - j));
    }
    return S;
}

double backward_sum(double Nmax, double N) {
    double S = 0.0;
    for (int j = static_cast<int>(N) - 1; j >= 0; --j) {
        S += std::log((Nmax - j) / (N - j));
    }
    return S;
}

double difference_of_logs(double Nmax, double N) {
    double S = 0.0;
    for (int j = 0; j < static_cast<int>(N); ++j) {
        S += std::log(Nmax - j) - std::log(N - j);
    }
    return S;
}

TEST(RoomEntropy, KnownValues) {
    EXPECT_DOUBLE_EQ(room_entropy(4, 2), std::log(6.0));
    EXPECT_DOUBLE_EQ(room_entropy(5, 1), std::log(5.0));
    EXPECT_DOUBLE_EQ(room_entropy(10, 3), std::log(120.0));
    EXPECT_NEAR(room_entropy(1200, 150), 448.766, 5e-4);
    EXPECT_NEAR(room_entropy(400, 150), 261.4, 0.05);
}

TEST(RoomEntropy, ZeroWhenNoneOrAllExcited) {
    for (double Nmax : {1.0, 2.0, 7.0, 400.0, 1200.0, largest_room}) {
        SCOPED_TRACE(Nmax);
        EXPECT_EQ(room_entropy(Nmax, 0), 0.0);
        // Every quotient is exactly 1, so the sum is exactly 0.
        EXPECT_EQ(room_entropy(Nmax, Nmax), 0.0);
    }
}

TEST(RoomEntropy, SymmetricUpToRounding) {
    for (double Nmax : {9.0, 10.0, 101.0, 400.0, 1200.0, 3001.0}) {
        for (double N = 0; N <= Nmax; ++N) {
            SCOPED_TRACE(::testing::Message() << Nmax << ", " << N);
            const double S = room_entropy(Nmax, N);
            // The two sums have different lengths and round differently; over
            // a few thousand terms that stays within some dozens of ulps.
            EXPECT_NEAR(S, room_entropy(Nmax, Nmax - N), 64 * eps * std::max(S, 1.0));
        }
    }
}

TEST(RoomEntropy, AgreesWithGammaFunction) {
    for (const auto& s : sample_states) {
        SCOPED_TRACE(::testing::Message() << s.Nmax << ", " << s.N);
        const double expected = lgamma_entropy(s.Nmax, s.N);
        EXPECT_NEAR(room_entropy(s.Nmax, s.N), expected, 1e-9 * std::max(expected, 1.0));
    }
}

TEST(RoomEntropy, SumsQuotientLogarithmsFromTheFirstTermOn) {
    int order_sensitive = 0;
    int form_sensitive = 0;
    for (const auto& s : sample_states) {
        SCOPED_TRACE(::testing::Message() << s.Nmax << ", " << s.N);
        const double S = room_entropy(s.Nmax, s.N);
        EXPECT_EQ(S, forward_sum(s.Nmax, s.N));
        order_sensitive += S != backward_sum(s.Nmax, s.N);
        form_sensitive += S != difference_of_logs(s.Nmax, s.N);
    }
    // The bitwise comparison above only means something if another order or
    // another form of the terms would have given different bits.
    EXPECT_GT(order_sensitive, 0);
    EXPECT_GT(form_sensitive, 0);
}

struct TemperatureCase {
    double Nmax;
    double N;
    double E;
    double expected;
};

TEST(RoomTemperature, FormulaAndGuards) {
    const TemperatureCase cases[] = {
        {3, 1, 1.0, 1.0 / std::log(2.0)},
        {3, 1, 2.0, 2.0 / std::log(2.0)},
        {100, 60, 1.0, -1.0 / std::log(1.5)},
        {100, 50, 1.0, 10000.0},
        {100, 50, 2.0, 10000.0},  // the guard does not scale with E
        {2, 1, 0.5, 10000.0},
        {100, 0, 1.0, 0.0},
        {100, 100, 1.0, 0.0},
        {100, 120, 1.0, 0.0},
        {100, 250, 2.0, 0.0},
        {0, 0, 1.0, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.Nmax << ", " << c.N << ", E=" << c.E);
        EXPECT_NEAR(room_temperature(c.Nmax, c.N, c.E), c.expected, 4 * eps * std::abs(c.expected));
    }
}

TEST(RoomTemperature, SignFollowsPopulation) {
    for (double N = 1; N < 100; ++N) {
        SCOPED_TRACE(N);
        const double T = room_temperature(100, N, 2.0);
        if (N < 50) {
            EXPECT_GT(T, 0.0);
        } else if (N > 50) {
            EXPECT_LT(T, 0.0);
        }
    }
}

TEST(RoundToTenth, HalvesGoUpAlsoBelowZero) {
    const std::pair<double, double> cases[] = {
        {1.25, 1.3},
        {-1.25, -1.2},
        {-1.26, -1.3},
        {0.25, 0.3},
        {1.24, 1.2},
        {-0.04, 0.0},
        {-0.06, -0.1},
        {0.0, 0.0},
        // 10 * -0.05 rounds to exactly -0.5; a fused multiply-add would keep
        // the tiny excess below -0.5 and give -0.1.
        {-0.05, 0.0},
    };
    for (const auto& [T, expected] : cases) {
        SCOPED_TRACE(T);
        EXPECT_NEAR(round_to_tenth(T), expected, 4 * eps * std::max(std::abs(expected), 1.0));
    }
}

TEST(RoundToTenth, MultipliesTheWholeNumberByTheDoubleTenth) {
    // 3 * 0.1 is not the double nearest to 0.3; 3 / 10.0 would be.
    EXPECT_EQ(round_to_tenth(0.25), 3 * 0.1);
    EXPECT_NE(round_to_tenth(0.25), 0.3);
    EXPECT_EQ(round_to_tenth(-1.25), -12 * 0.1);
    EXPECT_EQ(round_to_tenth(3.915), 39 * 0.1);
    // 10 * 0.15 rounds to exactly 1.5 in double; a wider type would keep
    // 1.4999... and round down to 0.1.
    EXPECT_EQ(round_to_tenth(0.15), 2 * 0.1);
}

TEST(ShownTemperature, RoundsTowardMinusInfinity) {
    const double T = room_temperature(3, 1, 1.0);
    EXPECT_NEAR(round_to_tenth(T), 1.4, 1e-12);
    EXPECT_EQ(shown_temperature(round_to_tenth(T)), 280.0);
    EXPECT_EQ(shown_temperature(kalorix::infinite_temperature), 2000000.0);
    EXPECT_EQ(shown_temperature(0.0), 0.0);
    EXPECT_EQ(shown_temperature(-0.001), -1.0);
    EXPECT_EQ(shown_temperature(0.0049), 0.0);
    EXPECT_EQ(shown_temperature(-1.2), -240.0);
}

TEST(Energies, InnerAndFree) {
    EXPECT_EQ(kalorix::inner_energy(150, 2.0), 300.0);
    EXPECT_EQ(kalorix::inner_energy(0, 2.0), 0.0);
    EXPECT_NEAR(kalorix::free_energy(300.0, 3.9, 261.4), -719.46, 1e-9);
    EXPECT_EQ(kalorix::free_energy(10.0, 0.0, 5.0), 10.0);
    EXPECT_EQ(kalorix::free_energy(0.0, -2.0, 3.0), 6.0);
}

}  // namespace
