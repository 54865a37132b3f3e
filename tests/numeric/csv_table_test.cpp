#include "common/numeric/csv_table.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace {

using numeric::csv_number;

// The text as a spreadsheet in a German locale reads it: comma for point.
double read_back(std::string text) {
    for (char& c : text)
        if (c == ',') c = '.';
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_EQ(error, std::errc()) << text;
    EXPECT_EQ(end, text.data() + text.size()) << text;
    return value;
}

TEST(CsvNumber, ShortestDigitsInTheLayoutOfPercentG) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {0.1, "0,1"},
        {0.1 + 0.2, "0,30000000000000004"},  // not 0.3, which is another double
        {780, "780"},
        {-6661, "-6661"},
        {2563200, "2563200"},  // a count stays digits, no exponent
        {767.008460766955, "767,008460766955"},
        {1.0 / 3, "0,3333333333333333"},
        {5e-324, "5e-324"},  // the smallest double above 0
        {0.0001, "0,0001"},
        {0.00001, "1e-05"},
        {-2.5e-31, "-2,5e-31"},
        {999999999999999.9, "999999999999999,9"},
        {1e15, "1e+15"},
        {0, "0"},
        {inf, "inf"},
        {-inf, "-inf"},
        {std::nan(""), "nan"},
        {-std::nan(""), "nan"},
    };
    for (const auto& row : rows) EXPECT_EQ(csv_number(row.value), row.text) << row.text;
}

// Every double, of any magnitude or from the analyses' sums, reads back
// to itself.
TEST(CsvNumber, EveryDoubleReadsBackToItself) {
    std::mt19937_64 generator(5);
    int mismatches = 0;
    for (int i = 0; i < 200000; ++i) {
        double value = std::bit_cast<double>(generator());
        if (i % 2 == 1) value = std::log(1 + static_cast<double>(generator() >> 11) * 0x1.0p-40) * (i % 7 + 1);
        if (!std::isfinite(value)) continue;
        const double back = read_back(csv_number(value));
        mismatches += std::bit_cast<std::uint64_t>(back) != std::bit_cast<std::uint64_t>(value);
    }
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
