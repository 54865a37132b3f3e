// The browser has no floating-point std::to_chars or std::from_chars: the
// helpers that stand for them must give the desktop's digits exactly.
#include "common/numeric/float_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

std::string to_chars_text(double value, std::chars_format format) {
    char buffer[400];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value, format).ptr);
}

std::string to_chars_text(double value, std::chars_format format, int precision) {
    char buffer[400];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value, format, precision).ptr);
}

// The C library's digits, which the helpers match where they use to_chars.
std::string printf_text(const char* format, int precision, double value) {
    char buffer[400];
    return std::string(buffer,
                       static_cast<std::size_t>(std::snprintf(buffer, sizeof buffer, format, precision, value)));
}

// Values of every magnitude and bit pattern, and the awkward ones by hand.
std::vector<double> samples() {
    std::vector<double> values{0.1, 0.5, 1.0 / 3, 2.5, 1e-5, 1e-4, 9.999999999e-5, 1e15, 123456789012345678.0,
                               5e-324, 1.7976931348623157e308, 0.30000000000000004, 261.4, 1e21, 0.125};
    std::mt19937_64 bits(7);
    for (int i = 0; i < 4000; ++i) {
        std::uint64_t pattern = bits();
        double value;
        std::memcpy(&value, &pattern, sizeof value);
        if (std::isfinite(value)) values.push_back(value);
    }
    std::mt19937_64 scale(11);
    std::uniform_real_distribution<double> exponent(-8, 12);
    for (int i = 0; i < 4000; ++i) values.push_back(std::pow(10.0, exponent(scale)) * (i % 2 ? -1 : 1));
    return values;
}

TEST(FloatText, SameDigitsAsToCharsAndReadsBack) {
    for (const double v : samples()) {
        ASSERT_EQ(numeric::shortest_text(v, numeric::Layout::scientific), to_chars_text(v, std::chars_format::scientific)) << v;
        if (std::fabs(v) < 1e30) {
            ASSERT_EQ(numeric::shortest_text(v, numeric::Layout::fixed), to_chars_text(v, std::chars_format::fixed)) << v;
        }
        ASSERT_EQ(numeric::general_text(v, 10), to_chars_text(v, std::chars_format::general, 10)) << v;
        ASSERT_EQ(numeric::general_text(v, 10), printf_text("%.*g", 10, v)) << v;
        ASSERT_EQ(numeric::fixed_text(v, 2), printf_text("%.*f", 2, v)) << v;
        if (std::fabs(v) < 1e20) {
            ASSERT_EQ(numeric::fixed_text(v, 3), to_chars_text(v, std::chars_format::fixed, 3)) << v;
        }
        double back = 0;
        ASSERT_TRUE(numeric::parse_double(to_chars_text(v, std::chars_format::general), back)) << v;
        ASSERT_EQ(back, v);
    }
    EXPECT_EQ(numeric::shortest_text(-0.0, numeric::Layout::fixed), "-0");
}

TEST(FloatText, IgnoresTheLocaleAndRefusesWhatIsNoDecimal) {
    // A German locale, where the machine has one, would write and read ",".
    const bool german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    EXPECT_EQ(numeric::fixed_text(0.5, 2), "0.50");
    double value = 0;
    EXPECT_TRUE(numeric::parse_double("2.25", value));
    EXPECT_EQ(value, 2.25);
    if (german) std::setlocale(LC_ALL, "C");
    for (const char* bad : {"", " 1", "1 ", "0x10", "inf", "nan", "1,5", "+", "e5"})
        EXPECT_FALSE(numeric::parse_double(bad, value)) << bad;
    bool out_of_range = false;
    value = 7;
    EXPECT_FALSE(numeric::parse_double("1e999", value, &out_of_range));
    EXPECT_TRUE(out_of_range);
    EXPECT_EQ(value, 7);
    EXPECT_FALSE(numeric::parse_double("1e-999", value, &out_of_range));
    EXPECT_TRUE(out_of_range);
    EXPECT_TRUE(numeric::parse_double("5e-324", value, &out_of_range));
    EXPECT_FALSE(out_of_range);
}

}  // namespace
