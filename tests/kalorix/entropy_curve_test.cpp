// The theory's curve beside the experiment: its maximum against the
// theoretical analysis's own search, and its place on the experiment's screen.
#include "kalorix/core/entropy_curve.h"
#include "kalorix/core/theory_model.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using kalorix::CurvePanel;
using kalorix::EntropyCurve;

TEST(EntropyCurve, MaximumIsTheTheorysEquilibrium) {
    const struct {
        const char* name;
        int Nmax_A, Nmax_B, total;
    } rows[] = {
        {"proposed", 400, 1200, 150},
        {"equal rooms", 100, 100, 61},      // equal totals at 30 and 31: the later one
        {"room A inverted", 100, 300, 80},  // more than half of A excited at the start
        {"B smaller than the total", 400, 50, 120},
        {"one atom", 1, 1, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        kalorix::TheoryModel theory;
        theory.run({row.Nmax_A, row.Nmax_B, row.total, row.total, 2.0});
        const EntropyCurve curve = EntropyCurve::of_run(row.Nmax_A, row.Nmax_B, row.total);
        EXPECT_EQ(curve.equilibrium(), theory.transferred_at_max);
        EXPECT_DOUBLE_EQ(curve.S_max(), theory.S_max);
        // Independently: ln of the product of two binomial coefficients.
        const auto ln_g = [](double N, double m) {
            return std::lgamma(N + 1) - std::lgamma(m + 1) - std::lgamma(N - m + 1);
        };
        const double k = static_cast<double>(curve.equilibrium());
        EXPECT_NEAR(curve.S_max(), ln_g(row.Nmax_A, row.total - k) + ln_g(row.Nmax_B, k), 1e-9 * (1 + curve.S_max()));
    }
    // The proposed parameters' equilibrium lies at 113 passed atoms.
    EXPECT_EQ(EntropyCurve::of_run(400, 1200, 150).equilibrium(), 113);
    // Room B holds at most 50 of 120: the curve ends there.
    EXPECT_EQ(EntropyCurve::of_run(400, 50, 120).last(), 50);
}

TEST(EntropyCurve, PanelsStayInsideTheGraphAndBelowThePictures) {
    // The atom pictures end at row 97 for the proposed rooms and at row 214
    // for the largest picture.
    for (const double pictures_bottom : {97.0, 214.0}) {
        for (const CurvePanel& p : {CurvePanel::beside(pictures_bottom), CurvePanel::over(pictures_bottom)}) {
            SCOPED_TRACE(pictures_bottom);
            EXPECT_GT(p.top, pictures_bottom);
            EXPECT_GT(p.left, 10);
            EXPECT_LT(p.right, 1010);
            EXPECT_LT(p.bottom, 580);  // the frame's bottom line and the caption below it stay free
            EXPECT_LT(p.top, p.curve_top);
            EXPECT_LE(p.curve_top, p.entropy_y(500, 100, 500));
            EXPECT_LT(p.entropy_y(500, 100, 500), p.entropy_y(300, 100, 500));
            EXPECT_LT(p.entropy_y(100, 100, 500), p.curve_bottom);
            EXPECT_LT(p.curve_bottom, p.path_top);
            EXPECT_LE(p.trial_y(kalorix::path_span(1001) - 1, kalorix::path_span(1001)), p.path_bottom);
            EXPECT_GE(p.split_x(0, 150), p.left);
            EXPECT_LE(p.split_x(150, 150), p.right);
        }
    }
    // The path's height stands for every trial so far, and never for fewer than 50.
    EXPECT_EQ(kalorix::path_span(40), 50);
    EXPECT_GE(kalorix::path_span(51), 51);
    EXPECT_EQ(kalorix::path_span(1001), 1001);
}

}  // namespace
