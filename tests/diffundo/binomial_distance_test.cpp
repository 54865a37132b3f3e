// The distance between the dice's frequencies and the binomial law, and the
// CSV text of the frequency table.
#include "diffundo/core/binomial_distance.h"
#include "csv_reading.h"
#include "diffundo/core/dice_model.h"
#include "diffundo/core/frequency_csv.h"
#include "diffundo/core/ln_g.h"
#include "diffundo/core/step_count_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

using diffundo::DiceModel;

DiceModel table(std::int32_t N, const std::vector<std::int32_t>& counts) {
    DiceModel gas;
    gas.start_run(N);
    gas.trial_count = 0;
    for (std::size_t m = 0; m < counts.size(); ++m) {
        gas.frequency_count[m] = counts[m];
        gas.trial_count += counts[m];
    }
    return gas;
}

TEST(BinomialDistance, HandMadeTables) {
    const struct {
        const char* name;
        std::int32_t N;
        std::vector<std::int32_t> counts;
        double distance;
    } rows[] = {
        {"exactly binomial", 2, {1, 2, 1}, 0.0},
        {"all in one split", 2, {4, 0, 0}, 0.75},         // (0.75 + 0.5 + 0.25) / 2
        {"one atom, one box", 1, {0, 10}, 0.5},           // (0.5 + 0.5) / 2
        {"three atoms, uniform", 3, {1, 1, 1, 1}, 0.25},  // (1/8 + 1/8 + 1/8 + 1/8) / 2
        {"no step yet", 5, {}, 0.0},
    };
    for (const auto& row : rows) {
        EXPECT_NEAR(diffundo::total_variation_distance(table(row.N, row.counts)), row.distance, 1e-12) << row.name;
    }
    EXPECT_EQ(diffundo::distance_text(0.0134), "Abstand zur Binomialverteilung: 1,3 %");
}

TEST(BinomialDistance, BinomialLawSumsToOneFor101Atoms) {
    double sum = 0;
    for (int m = 0; m <= 101; ++m) sum += diffundo::binomial_probability(101, m);
    EXPECT_NEAR(sum, 1.0, 1e-12);
    EXPECT_NEAR(diffundo::binomial_probability(101, 0), std::ldexp(1.0, -101), 1e-40);
}

using test_support::csv_rows;
using test_support::german_number;

TEST(FrequencyCsv, OneRowPerSplitWithFullPrecision) {
    DiceModel gas;
    gas.start_run(100);
    std::mt19937_64 generator(7);
    for (int i = 0; i < 20000; ++i) gas.step(static_cast<double>(generator() >> 11) * 0x1.0p-53);
    const std::string csv = diffundo::frequency_csv(gas);
    ASSERT_EQ(csv.rfind("\xEF\xBB\xBF", 0), 0u);  // UTF-8 byte order mark for Excel
    const auto rows = csv_rows(csv);
    ASSERT_EQ(rows.size(), 5u + 101u);
    EXPECT_EQ(rows[1][1], "100");
    EXPECT_EQ(rows[2][1], "20000");
    // The distance named and rounded as the status line shows it, so that
    // the saved table holds the figure the class saw.
    const double distance = diffundo::total_variation_distance(gas);
    ASSERT_EQ(rows[3].size(), 3u);
    EXPECT_EQ(rows[3][0] + ": " + rows[3][1] + " " + rows[3][2], diffundo::distance_text(distance));
    EXPECT_NEAR(german_number(rows[3][1]), 100 * distance, 0.05);
    double frequencies = 0;
    for (int m = 0; m <= 100; ++m) {
        const auto& row = rows[5 + static_cast<std::size_t>(m)];
        ASSERT_EQ(row.size(), 5u);
        EXPECT_EQ(std::stoi(row[0]), m);
        EXPECT_EQ(std::stoi(row[1]), gas.frequency_count[static_cast<std::size_t>(m)]);
        // Every digit: the text reads back to the very double.
        EXPECT_EQ(german_number(row[2]), gas.frequency_count[static_cast<std::size_t>(m)] / 20000.0);
        EXPECT_EQ(german_number(row[4]), diffundo::ln_g(100, m));
        frequencies += german_number(row[2]);
    }
    EXPECT_NEAR(frequencies, 1.0, 1e-12);
}

TEST(StepCountText, GroupsOfThreeWithPoints) {
    const struct {
        std::int64_t count;
        const char* text;
    } rows[] = {{0, "0"}, {999, "999"}, {1000, "1.000"}, {1234567, "1.234.567"}, {-12345, "-12.345"},
                {-123456, "-123.456"}, {INT64_MIN, "-9.223.372.036.854.775.808"}};
    for (const auto& row : rows) EXPECT_EQ(diffundo::step_count_text(row.count), row.text);
}

}  // namespace
