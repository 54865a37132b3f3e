#include "diffundo/core/ln_g.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace {

using diffundo::ln_factorial;
using diffundo::ln_g;

constexpr double eps = std::numeric_limits<double>::epsilon();

TEST(LnFactorial, SmallArgumentsAndNonPositiveOnes) {
    const std::pair<int, double> cases[] = {
        {-5, 0.0},
        {-1, 0.0},
        {0, 0.0},
        {1, 0.0},
        {2, std::log(2.0)},
        {3, std::log(6.0)},
        {5, std::log(120.0)},
        {10, std::log(3628800.0)},
    };
    for (const auto& [n, expected] : cases) {
        SCOPED_TRACE(n);
        EXPECT_NEAR(ln_factorial(n), expected, 4 * eps * std::max(expected, 1.0));
    }
}

TEST(LnFactorial, AddsTheLogarithmsUpwardFromOne) {
    for (int n : {20, 57, 100, 101, 200}) {
        SCOPED_TRACE(n);
        double upward = 0.0;
        for (int i = 1; i <= n; ++i) {
            upward += std::log(static_cast<double>(i));
        }
        EXPECT_EQ(ln_factorial(n), upward);
        EXPECT_NEAR(ln_factorial(n), std::lgamma(n + 1.0), 1e-12 * upward);
    }
}

TEST(LnG, MatchesExactBinomialsUpToThirty) {
    // Pascal's triangle: C(30, 15) = 155117520 fits 64 bits with room to spare.
    std::uint64_t binomial[31][31] = {};
    for (int N = 0; N <= 30; ++N) {
        binomial[N][0] = binomial[N][N] = 1;
        for (int m = 1; m < N; ++m) {
            binomial[N][m] = binomial[N - 1][m - 1] + binomial[N - 1][m];
        }
    }
    for (int N = 0; N <= 30; ++N) {
        for (int m = 0; m <= N; ++m) {
            SCOPED_TRACE(::testing::Message() << "N=" << N << " m=" << m);
            const double exact = static_cast<double>(binomial[N][m]);
            EXPECT_NEAR(std::exp(ln_g(N, m)) / exact, 1.0, 1e-12);
        }
    }
}

TEST(LnG, EndsOfTheRangeAreExactlyZero) {
    for (int N : {0, 1, 2, 50, 101}) {
        SCOPED_TRACE(N);
        EXPECT_EQ(ln_g(N, 0), 0.0);
        EXPECT_EQ(ln_g(N, N), 0.0);
    }
}

TEST(LnG, HundredAtomsHalfAndHalf) {
    // C(100, 50) = 100891344545564193334812497256.
    EXPECT_NEAR(std::exp(ln_g(100, 50)) / 1.00891344545564193e29, 1.0, 1e-11);
    // The most probable split of 101 atoms is shared by m = 50 and m = 51.
    EXPECT_NEAR(ln_g(101, 50), ln_g(101, 51), 1e-12);
    EXPECT_GT(ln_g(100, 50), ln_g(100, 49));
}

TEST(LnG, SymmetricInTheTwoBoxes) {
    for (int N = 1; N <= 101; ++N) {
        for (int m = 0; m <= N; ++m) {
            SCOPED_TRACE(::testing::Message() << "N=" << N << " m=" << m);
            EXPECT_NEAR(ln_g(N, m), ln_g(N, N - m), 8 * eps * ln_factorial(N));
        }
    }
}

}  // namespace
