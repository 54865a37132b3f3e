#include "diffundo/core/dice_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

namespace {

using diffundo::DiceModel;

// Uniform in [0, 1) from 53 random bits, as the runtime draws its numbers.
double uniform(std::mt19937_64& generator) { return static_cast<double>(generator() >> 11) * 0x1.0p-53; }

TEST(DiceModel, FirstStepMovesOneAtomOutOfBoxOne) {
    for (int atoms : {1, 2, 10, 100, 101}) {
        SCOPED_TRACE(atoms);
        DiceModel model;
        model.start_run(atoms);
        EXPECT_EQ(model.m, atoms);
        const int moved = model.step(0.37);
        EXPECT_EQ(moved, static_cast<int>(0.37 * atoms));
        EXPECT_EQ(model.m, atoms - 1);
        EXPECT_EQ(model.trial_count, 1);
        EXPECT_EQ(model.frequency_count[atoms - 1], 1);
        EXPECT_EQ(std::count(model.atom_row.begin(), model.atom_row.end(), '*'), 1);
        EXPECT_EQ(model.atom_row[moved], '*');
    }
}

TEST(DiceModel, OneAtomAlternatesBetweenTheBoxes) {
    DiceModel model;
    model.start_run(1);
    const double draws[] = {0.0, 0.5, 0.999, 0.25, 0.75, 0.1};
    for (int i = 0; i < 6; ++i) {
        model.step(draws[i]);
        const int steps = i + 1;
        EXPECT_EQ(model.m, steps % 2 == 1 ? 0 : 1) << "step " << steps;
        EXPECT_EQ(model.frequency_count[0], (steps + 1) / 2);
        EXPECT_EQ(model.frequency_count[1], steps / 2);
        EXPECT_EQ(model.atom_row, steps % 2 == 1 ? "*" : ".");
    }
}

TEST(DiceModel, RandomNumberChoosesEachAtomEqually) {
    struct Case {
        int atoms;
        double r;
        int atom;
    };
    const Case cases[] = {
        {10, 0.0, 0},
        {10, 0.0999, 0},
        {10, 0.1, 1},
        {10, 0.95, 9},
        {10, std::nextafter(1.0, 0.0), 9},
        {101, std::nextafter(1.0, 0.0), 100},
        {101, 0.5, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "N=" << c.atoms << " r=" << c.r);
        DiceModel model;
        model.start_run(c.atoms);
        EXPECT_EQ(model.step(c.r), c.atom);
    }
}

TEST(DiceModel, RowsCountsAndSortedRowAgreeAfterEveryStep) {
    std::mt19937_64 generator(7);
    DiceModel model;
    model.start_run(37);
    for (int i = 0; i < 20000; ++i) {
        const std::string before = model.atom_row;
        const int moved = model.step(uniform(generator));
        ASSERT_GE(moved, 0);
        for (int k = 0; k < 37; ++k)
            ASSERT_EQ(model.atom_row[k] == before[k], k != moved) << "step " << i << " atom " << k;
        const auto dots = std::count(model.atom_row.begin(), model.atom_row.end(), '.');
        ASSERT_EQ(model.m, dots);
        ASSERT_EQ(model.sorted_row, std::string(37 - dots, '*') + std::string(dots, '.'));
    }
    long counted = 0;
    for (int c : model.frequency_count) counted += c;
    EXPECT_EQ(counted, model.trial_count);
    EXPECT_EQ(model.trial_count, 20000);
}

TEST(DiceModel, NewRunStartsWithAllAtomsInBoxOne) {
    DiceModel model;
    model.start_run(12);
    for (double r : {0.1, 0.2, 0.3, 0.9}) model.step(r);
    model.start_run(5);
    EXPECT_EQ(model.atom_row, ".....");
    EXPECT_EQ(model.sorted_row, ".....");
    EXPECT_EQ(model.m, 5);
    EXPECT_EQ(model.trial_count, 0);
    for (int c : model.frequency_count) EXPECT_EQ(c, 0);
    model.step(0.99);
    EXPECT_EQ(model.atom_row, "....*");
    EXPECT_EQ(model.sorted_row, "*....");
}

TEST(DiceModel, RunWithoutAtomsMovesNothing) {
    for (int atoms : {0, -1, -40}) {
        SCOPED_TRACE(atoms);
        DiceModel model;
        model.start_run(atoms);
        EXPECT_TRUE(model.atom_row.empty());
        EXPECT_TRUE(model.sorted_row.empty());
        for (double r : {0.0, 0.5, 0.99}) EXPECT_EQ(model.step(r), -1);
        EXPECT_EQ(model.trial_count, 0);
        for (int c : model.frequency_count) EXPECT_EQ(c, 0);
    }
}

// A classroom computer left running passes 2^31 steps within hours: the
// counts go on past 32 bits.
TEST(DiceModel, CountsGoOnPastThirtyTwoBits) {
    const std::int64_t starts[] = {std::int64_t{1} << 31, std::int64_t{1} << 32};
    for (std::int64_t start : starts) {
        SCOPED_TRACE(start);
        DiceModel model;
        model.start_run(1);
        model.trial_count = start - 1;
        model.frequency_count[0] = start - 1;
        model.step(0.5);
        EXPECT_EQ(model.trial_count, start);
        EXPECT_EQ(model.frequency_count[0], start);
    }
}

// In equilibrium the split m of N atoms is distributed as g(N, m) / 2^N.
// Successive steps are strongly correlated, so the test samples every 101st
// step: the slowest modes of this chain decay as (1 - 2/N)^t = 0.9^t for
// N = 20, i.e. to 2e-5 over 101 steps, which makes the samples independent
// for the purpose of a chi-square test. The chain has period 2 (every step
// changes the parity of m); an odd spacing alternates the parity of the
// samples, and since exactly half of the binomial weight lies on even m the
// alternating samples still follow g(N, m) / 2^N. The first 1000 steps (the
// walk away from m = N) are discarded.
TEST(DiceModel, LongRunFollowsTheBinomialDistribution) {
    constexpr int atoms = 20;
    constexpr long steps = 1'000'000;
    constexpr long spacing = 101;
    std::mt19937_64 generator(20260101);
    DiceModel model;
    model.start_run(atoms);
    std::array<long, atoms + 1> samples{};
    long sample_count = 0;
    for (long i = 1; i <= steps; ++i) {
        model.step(uniform(generator));
        if (i > 1000 && i % spacing == 0) {
            ++samples[model.m];
            ++sample_count;
        }
    }
    // Bins: m <= 5 and m >= 15 pooled (expected counts above 5), 6 .. 14 alone.
    std::array<double, atoms + 1> p{};
    double binomial = 1;  // C(20, m)
    for (int m = 0; m <= atoms; ++m) {
        p[m] = binomial / std::pow(2.0, atoms);
        binomial = binomial * (atoms - m) / (m + 1);
    }
    double chi_square = 0;
    int bins = 0;
    auto add_bin = [&](int from, int to) {
        double expected = 0, observed = 0;
        for (int m = from; m <= to; ++m) {
            expected += p[m] * sample_count;
            observed += samples[m];
        }
        ASSERT_GT(expected, 5);
        chi_square += (observed - expected) * (observed - expected) / expected;
        ++bins;
    };
    add_bin(0, 5);
    for (int m = 6; m <= 14; ++m) add_bin(m, m);
    add_bin(15, atoms);
    ASSERT_EQ(bins, 11);
    // 10 degrees of freedom: 29.59 is the 0.1 % point.
    EXPECT_LT(chi_square, 29.59) << "samples " << sample_count;
    EXPECT_GT(sample_count, 9000);

    // All steps together: the mean split is N / 2. m - N/2 moves like an
    // AR(1) series with coefficient 0.9 (integrated correlation time 19), so
    // the standard error of the mean is sqrt(N/4 * 19 / 10^6) = 0.01; the
    // start at m = N adds only 10 / (1 - 0.9) / 10^6. 0.05 is five errors.
    long weighted = 0;
    for (int m = 0; m <= atoms; ++m) weighted += static_cast<long>(m) * model.frequency_count[m];
    EXPECT_NEAR(static_cast<double>(weighted) / model.trial_count, atoms / 2.0, 0.05);
}

}  // namespace
