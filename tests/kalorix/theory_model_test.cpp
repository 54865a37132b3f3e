// The theoretical analysis's model without a screen: the steps, the maximum
// search and the shares of the summary.
#include "kalorix/core/theory_model.h"

#include "common/runtime/number_format.h"
#include "kalorix/core/thermodynamics.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using kalorix::MaximumChange;
using kalorix::TheoryModel;
using kalorix::TheoryParameters;

// A run with fixed values that keeps what every step reported.
struct RecordedRun final : TheoryModel::Hooks {
    struct Step {
        std::int32_t transferred;
        double S_A, S_B, T_A, T_B;
        MaximumChange change;
    };

    explicit RecordedRun(TheoryParameters p) : p(p) { model.run(p, *this); }

    bool quit_requested() const override { return false; }
    void step_done(const MaximumChange& change) override {
        steps.push_back({model.transferred, model.S_A, model.S_B, model.T_A, model.T_B, change});
    }

    std::vector<std::int32_t> steps_where(bool MaximumChange::*flag) const {
        std::vector<std::int32_t> found;
        for (const Step& s : steps)
            if (s.change.*flag) found.push_back(s.transferred);
        return found;
    }

    const TheoryParameters p;
    TheoryModel model;
    std::vector<Step> steps;
};

double shown_temperature(double T) { return kalorix::shown_temperature(T, kalorix::temperature_scale_default); }

// The proposed parameters: rooms of 400 and 1200 atoms, 150 excitations
// starting in A, E = 2 eV, passed into B one by one.
TEST(ProposedParameters, EquilibriumOfTheTheoreticalAnalysis) {
    const RecordedRun run({400, 1200, 150, 150, 2.0});
    const TheoryModel& m = run.model;

    ASSERT_EQ(run.steps.size(), 151u);
    const auto& first = run.steps[0];
    EXPECT_NEAR(first.S_A, 261.4, 0.05);
    EXPECT_EQ(first.S_B, 0.0);
    EXPECT_NEAR(first.T_A, 3.9, 1e-12);
    EXPECT_EQ(shown_temperature(first.T_A), 780.0);
    EXPECT_EQ(shown_temperature(first.T_B), 0.0);

    EXPECT_EQ(m.transferred_at_max, 113);
    EXPECT_NEAR(m.S_max, 491.89, 0.005);
    EXPECT_EQ(rt::format_picture(m.S_max, "##,#"), "491,9");
    // Room A keeps 150 - 113 excitations at the maximum.
    EXPECT_EQ(m.S_max, kalorix::room_entropy(400, 37) + kalorix::room_entropy(1200, 113));
    // One rise up to the maximum, then only falls: steps 0 to 113 grow.
    EXPECT_EQ(run.steps_where(&MaximumChange::growing).size(), 114u);
    EXPECT_TRUE(run.steps_where(&MaximumChange::left_inversion).empty());

    const double scale = kalorix::temperature_scale_default;
    EXPECT_NEAR(m.T_A_at_max * scale, 175.2, 0.05);
    EXPECT_NEAR(m.T_B_at_max * scale, 176.7, 0.05);
    EXPECT_NEAR(m.percent_at_max, 75.3, 0.05);
    EXPECT_DOUBLE_EQ(m.percent_hot_in_A(run.p), 9.25);
    EXPECT_NEAR(m.percent_hot_in_B(run.p), 9.4, 0.05);
    EXPECT_EQ(m.trend_A, "fällt  ");
    EXPECT_EQ(m.trend_B, "wächst");
}

TEST(TheoryModel, EqualNeighbouringTotalsGoToTheLaterStep) {
    // Equal rooms with 3 excitations: steps 1 (2 + 1) and 2 (1 + 2) sum the
    // same two room entropies, so the totals are equal to the last bit.
    const RecordedRun run({10, 10, 3, 3, 2.0});
    ASSERT_EQ(run.steps.size(), 4u);
    EXPECT_EQ(run.steps[1].S_A + run.steps[1].S_B, run.steps[2].S_A + run.steps[2].S_B);
    EXPECT_EQ(run.steps_where(&MaximumChange::growing), (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_EQ(run.model.transferred_at_max, 2);
    EXPECT_DOUBLE_EQ(run.model.share_at_max, 2.0 / 3);
}

TEST(TheoryModel, RoomALeavesInversionOnceAtTheStepItsTemperatureTurnsPositive) {
    // 80 of 100 atoms of A excited: at the maximum A holds 80 - t; its
    // temperature is infinite at t = 30 (half excited) and positive after.
    const RecordedRun run({100, 400, 80, 80, 2.0});
    EXPECT_EQ(run.steps_where(&MaximumChange::left_inversion), (std::vector<std::int32_t>{30}));
    EXPECT_LT(run.steps[29].T_A, 0);
    EXPECT_EQ(shown_temperature(run.steps[30].T_A), 2000000);
    EXPECT_EQ(run.model.transferred_at_max, 64);
    EXPECT_GT(run.model.previous_T_A_at_max, 0);
}

}  // namespace
