// The numbers of the time plot against independent facts: the binomial
// law's spread, the share of a long fair run inside the band, the maximum
// of ln g, the time axis and the bounded record.
#include "diffundo/core/dice_model.h"
#include "diffundo/core/history_scale.h"
#include "diffundo/core/ln_g.h"
#include "diffundo/core/split_history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using namespace diffundo;

// P(k) of the binomial law of N fair choices, through lgamma: not the
// program's sums of logarithms.
double binomial(int N, int k) {
    return std::exp(std::lgamma(N + 1.0) - std::lgamma(k + 1.0) - std::lgamma(N - k + 1.0) - N * std::log(2.0));
}

TEST(HistoryScale, BandIsOneStandardDeviationOfTheBinomialLaw) {
    for (const int N : {1, 2, 4, 37, 100, 101}) {
        double variance = 0;
        for (int k = 0; k <= N; ++k) variance += binomial(N, k) * (k - N / 2.0) * (k - N / 2.0);
        const Band b = band(N);
        EXPECT_DOUBLE_EQ(b.centre, N / 2.0) << N;
        EXPECT_NEAR(b.half_width, std::sqrt(variance), 1e-9) << N;
    }
}

// Over a long fair run the share of steps inside the band approaches the
// binomial probability of |k - N/2| <= sqrt(N)/2. That is 68.27 % only in
// the Gaussian limit: the counts are whole, so for N = 4 the band [1, 3]
// holds 14 of the 16 equally likely rows (87.5 %); N = 101 takes k = 46 to
// 55, 68.03 %, close to the Gaussian value.
//
// Tolerance: the steps are correlated (each moves the count by one). The
// chain of the counts is reversible with the eigenvalues 1 - 2j/N, so the
// variance of the share over T steps is at most p(1-p)(1+l)/(1-l)/T with
// l = 1 - 2/N, i.e. p(1-p)(N-1)/T. Five of these standard deviations
// (0.0117 for N = 101 and 4 million steps) are the tolerance; the start with
// every atom in box 1 is forgotten within some N ln N steps, a negligible
// part of the run.
TEST(HistoryScale, LongFairRunStaysInsideTheBandAsOftenAsTheBinomialLawSays) {
    constexpr std::int64_t steps = 4'000'000;
    for (const int N : {4, 101}) {
        double exact = 0;
        for (int k = 0; k <= N; ++k)
            if (std::abs(k - N / 2.0) <= std::sqrt(N) / 2) exact += binomial(N, k);
        DiceModel gas;
        gas.start_run(N);
        SplitHistory history;
        history.start(N, N - gas.m, 0);
        std::mt19937_64 generator(20261209u + static_cast<unsigned>(N));
        std::uniform_real_distribution<double> uniform(0.0, 1.0);
        for (std::int64_t i = 0; i < steps; ++i) {
            gas.step(uniform(generator));
            history.add(gas.N - gas.m);
        }
        ASSERT_EQ(history.steps(), steps);
        const double share = static_cast<double>(history.steps_inside_band()) / steps;
        const double tolerance = 5 * std::sqrt(exact * (1 - exact) * (N - 1) / steps);
        EXPECT_NEAR(share, exact, tolerance) << N;
        if (N == 101) {
            EXPECT_NEAR(exact, 0.6827, 0.003);
        }
    }
}

TEST(HistoryScale, LnGIsLargestAtHalfTheAtomsAndItsRangeFollows) {
    for (int N = 1; N <= 101; ++N) {
        double largest = ln_g(N, 0);
        for (int k = 1; k <= N; ++k) largest = std::max(largest, ln_g(N, k));
        EXPECT_EQ(ln_g_maximum(N), largest) << N;
    }
    // The range over any run of counts, against all of its members.
    for (const int N : {1, 4, 101}) {
        for (int low = 0; low <= N; ++low) {
            for (int high = low; high <= N; ++high) {
                double lowest = ln_g(N, low), highest = lowest;
                for (int k = low; k <= high; ++k) {
                    lowest = std::min(lowest, ln_g(N, k));
                    highest = std::max(highest, ln_g(N, k));
                }
                const LnGRange r = ln_g_range(N, low, high);
                ASSERT_EQ(r.low, lowest) << N << ' ' << low << ' ' << high;
                ASSERT_EQ(r.high, highest) << N << ' ' << low << ' ' << high;
            }
        }
    }
}

TEST(HistoryScale, TimeAxisGrowsInSteps) {
    const struct {
        std::int64_t steps, length, interval;
    } rows[] = {{0, 20, 5},
                {20, 20, 5},
                {21, 50, 10},
                {100, 100, 20},
                {101, 200, 50},
                {999, 1000, 200},
                {1001, 2000, 500},
                {4'000'001, 5'000'000, 1'000'000},
                {123'456'789'012, 200'000'000'000, 50'000'000'000}};
    for (const auto& row : rows) {
        EXPECT_EQ(time_axis_length(row.steps), row.length) << row.steps;
        EXPECT_EQ(time_axis_interval(row.length), row.interval) << row.length;
    }
    // Past the first axis the curve fills 40 % of it or more.
    for (std::int64_t steps = 21; steps < 100'000'000; steps = steps * 3 / 2)
        EXPECT_GE(static_cast<double>(steps) / time_axis_length(steps), 0.4) << steps;
}

TEST(SplitHistory, StaysBoundedAndKeepsEveryStepWithinItsBucket) {
    // A walk of counts as the gas makes them, kept in full for comparison.
    constexpr int N = 101;
    DiceModel gas;
    gas.start_run(N);
    SplitHistory history;
    history.start(N, 0, 7);
    std::vector<int> counts = {0};
    std::mt19937_64 generator(5);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    for (int i = 0; i < 1'000'003; ++i) {
        gas.step(uniform(generator));
        history.add(gas.N - gas.m);
        counts.push_back(gas.N - gas.m);
        ASSERT_LE(history.buckets_used(), SplitHistory::capacity);
        if (i + 2 == SplitHistory::capacity) {
            // Exact step by step while the buckets suffice.
            for (int s = 0; s < SplitHistory::capacity; s += 97)
                ASSERT_EQ(history.range(s, s)->low, counts[static_cast<std::size_t>(s)]) << s;
        }
    }
    EXPECT_EQ(history.steps(), 1'000'003);
    EXPECT_EQ(history.first_step(), 7);
    EXPECT_EQ(history.last(), counts.back());
    const std::int64_t w = history.bucket_width();
    EXPECT_GT(w, 1);
    // Each range holds the true lowest and highest count of its steps and
    // nothing beyond those of the buckets it touches.
    std::mt19937_64 picks(6);
    for (int trial = 0; trial < 200; ++trial) {
        std::int64_t from = static_cast<std::int64_t>(picks() % counts.size());
        std::int64_t to = from + static_cast<std::int64_t>(picks() % 5000);
        const auto r = history.range(from, to);
        ASSERT_TRUE(r);
        to = std::min<std::int64_t>(to, static_cast<std::int64_t>(counts.size()) - 1);
        const auto exact = std::minmax_element(counts.begin() + from, counts.begin() + to + 1);
        const auto widened = std::minmax_element(
            counts.begin() + from / w * w,
            counts.begin() + std::min<std::int64_t>((to / w + 1) * w, static_cast<std::int64_t>(counts.size())));
        EXPECT_LE(r->low, *exact.first);
        EXPECT_GE(r->high, *exact.second);
        EXPECT_GE(r->low, *widened.first);
        EXPECT_LE(r->high, *widened.second);
    }
    EXPECT_FALSE(history.range(static_cast<std::int64_t>(counts.size()), static_cast<std::int64_t>(counts.size()) + 5));
}

}  // namespace
