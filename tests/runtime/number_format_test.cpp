#include "common/runtime/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

struct PictureCase {
    const char* name;
    double value;
    const char* picture;
    const char* expected;
};

class PictureFormat : public ::testing::TestWithParam<PictureCase> {};

TEST_P(PictureFormat, FormatsAsShown) {
    const PictureCase& c = GetParam();
    EXPECT_EQ(rt::format_picture(c.value, c.picture), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Pictures, PictureFormat,
                         ::testing::Values(PictureCase{"share_of_passed_atoms", 113.0 / 150 * 100, "##,#", "75,3"},
                                           PictureCase{"exact_half_rounds_away_from_zero", 9.25, "##,#", " 9,3"},
                                           PictureCase{"negative_half_rounds_away_from_zero", -9.25, "##,#", "-9,3"},
                                           PictureCase{"sign_directly_before_digits", -1.5, "####,#", "  -1,5"},
                                           PictureCase{"wider_than_picture_prints_in_full", 12345.67, "##,#",
                                                       "12345,7"},
                                           PictureCase{"entropy_picture", 261.40000000000003, "###,#", "261,4"},
                                           PictureCase{"zero", 0, "###,#", "  0,0"},
                                           PictureCase{"tiny_negative_shows_no_minus", -0.01, "##,#", " 0,0"},
                                           PictureCase{"carry_into_new_digit", 99.96, "##,#", "100,0"},
                                           PictureCase{"integer_picture", 7, "##", " 7"},
                                           PictureCase{"integer_picture_half_away", 2.5, "##", " 3"},
                                           PictureCase{"integer_picture_wide", 150, "##", "150"},
                                           PictureCase{"integer_picture_negative", -42.5, "##", "-43"},
                                           // 1.005 is stored just below 1.005: the exact value decides, not a product.
                                           PictureCase{"binary_value_below_half", 1.005, "#,##", "1,00"},
                                           PictureCase{"temperature_picture", 175.2186, "####,#", " 175,2"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NumberText, ShowsAtMostTenSignificantDigits) {
    EXPECT_EQ(rt::number_text(2614 * 0.1), "261.4");
    EXPECT_EQ(rt::number_text(3), "3");
    EXPECT_EQ(rt::number_text(-780), "-780");
    EXPECT_EQ(rt::number_text(0.1 + 0.2), "0.3");
    EXPECT_EQ(rt::number_text(-0.0), "0");
    EXPECT_EQ(rt::number_text(2000000), "2000000");
    EXPECT_EQ(rt::number_text(1.0 / 3), "0.3333333333");
}

// Counts are whole numbers of any size: every digit, never an exponent.
TEST(NumberText, CountsPrintEveryDigit) {
    EXPECT_EQ(rt::number_text(std::int64_t{2147483647}), "2147483647");
    EXPECT_EQ(rt::number_text(std::int64_t{1} << 34), "17179869184");
    EXPECT_EQ(rt::number_text(std::int64_t{-9007199254740993}), "-9007199254740993");
    EXPECT_EQ(rt::number_text(std::int32_t{-780}), "-780");
}

// Printed without printf: for whole numbers, tenths, tiny and huge values
// alike the text must be what "%.10g" writes.
TEST(NumberText, ReadsAsTenSignificantDigitsOfPrintf) {
    std::mt19937_64 random(5);
    std::vector<double> values = {9999999999.0, -9999999999.0, 1e10,    -1e10,       12345678901.0, 4503599627370497.0,
                                  1e300,        7.0,           -1e-300, 0.000123456, 2614 * 0.1,    1.0 / 3,
                                  // Where "%.10g" turns to an exponent, and ten digits against eleven.
                                  0.0001, -0.0001, 0.00009999, 0.0001000000001, 123456.789, 123456.7891, 9999999999.5};
    for (int i = 0; i < 2000; ++i) {
        values.push_back(std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 120) - 100));
        values.push_back(std::floor(static_cast<double>(random() % 2000001) - 1000000.0) * 0.1);
        // Short decimals of every magnitude, as entropies and temperatures come.
        values.push_back(static_cast<double>(random() % 100000000) / std::pow(10.0, static_cast<double>(random() % 14)));
    }
    for (const double v : values) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.10g", v);
        ASSERT_EQ(rt::number_text(v), v == 0 ? "0" : expected) << v;
    }
}

struct ParseCase {
    const char* text;
    double value;
    bool has_number;
};

class ParseNumber : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseNumber, ReadsLeadingNumber) {
    const ParseCase& c = GetParam();
    const rt::ParsedNumber parsed = rt::parse_number(c.text);
    EXPECT_EQ(parsed.has_number, c.has_number) << c.text;
    EXPECT_DOUBLE_EQ(parsed.value, c.value) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseNumber,
    ::testing::Values(ParseCase{"400", 400, true}, ParseCase{"  2.0", 2.0, true}, ParseCase{"0,4", 0.4, true},
                      ParseCase{"2,5", 2.5, true}, ParseCase{"-3", -3, true}, ParseCase{"+7", 7, true},
                      ParseCase{"1e3", 1000, true}, ParseCase{"1.5E-2", 0.015, true}, ParseCase{"4e", 4, true},
                      ParseCase{"4e+", 4, true}, ParseCase{"12abc", 12, true}, ParseCase{".5", 0.5, true},
                      ParseCase{"5.", 5, true}, ParseCase{"3,4,5", 3.4, true}, ParseCase{"abc", 0, false},
                      ParseCase{"", 0, false}, ParseCase{"-", 0, false}, ParseCase{" - 5", 0, false},
                      ParseCase{"nan", 0, false}, ParseCase{"inf", 0, false}, ParseCase{",", 0, false},
                      ParseCase{"1e-999", 0, true}));

TEST(ParseNumber, HugeValuesBecomeInfinite) {
    EXPECT_TRUE(std::isinf(rt::parse_number("1e999").value));
    EXPECT_LT(rt::parse_number("-1e400").value, 0);
    EXPECT_TRUE(std::isinf(rt::parse_number(std::string(400, '9')).value));
    EXPECT_DOUBLE_EQ(rt::parse_number("99999999999").value, 99999999999.0);
}

}  // namespace

namespace {

// The picture's rounding on many values against the exact decimal expansion:
// the fast path must agree with it everywhere, ties included.
TEST(PictureFormat, AgreesWithTheExactExpansion) {
    for (int i = -3000; i <= 3000; ++i) {
        for (double value : {i / 8.0, i / 100.0, i * 0.1, i * 0.05 + 0.005, i / 3.0}) {
            for (const char* picture : {"##", "##,#", "####,#", "#,##"}) {
                const int decimals =
                    std::string(picture).find(',') == std::string::npos
                        ? 0
                        : static_cast<int>(std::string(picture).size() - std::string(picture).find(',') - 1);
                // Reference: exact digits from printf, then halves away from zero by hand.
                char exact[1500];
                std::snprintf(exact, sizeof exact, "%.1100f", std::fabs(value));
                std::string digits(exact);
                const std::size_t point = digits.find('.');
                std::string kept = digits.substr(0, point) + digits.substr(point + 1, decimals);
                const bool up = digits[point + 1 + decimals] >= '5';
                long long number = std::stoll(kept) + (up ? 1 : 0);
                std::string text = std::to_string(number);
                if (decimals > 0) {
                    if (text.size() <= static_cast<std::size_t>(decimals))
                        text.insert(0, decimals + 1 - text.size(), '0');
                    text.insert(text.size() - decimals, ",");
                }
                if (value < 0 && number != 0) text.insert(0, "-");
                if (text.size() < std::string(picture).size())
                    text.insert(0, std::string(picture).size() - text.size(), ' ');
                ASSERT_EQ(rt::format_picture(value, picture), text) << value << " " << picture;
            }
        }
    }
}

}  // namespace
