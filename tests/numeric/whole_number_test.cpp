#include "common/numeric/whole_number.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(ToInt32Nearest, RoundsHalvesToEvenAndRefusesWhatDoesNotFit) {
    EXPECT_EQ(numeric::to_int32_nearest(2.5), 2);
    EXPECT_EQ(numeric::to_int32_nearest(3.5), 4);
    EXPECT_EQ(numeric::to_int32_nearest(2.6), 3);
    EXPECT_EQ(numeric::to_int32_nearest(-2.5), -2);
    EXPECT_EQ(numeric::to_int32_nearest(2147483647.0), 2147483647);
    EXPECT_FALSE(numeric::to_int32_nearest(2147483648.0).has_value());
    EXPECT_FALSE(numeric::to_int32_nearest(-2147483649.0).has_value());
    EXPECT_FALSE(numeric::to_int32_nearest(1e10).has_value());
    EXPECT_FALSE(numeric::to_int32_nearest(std::numeric_limits<double>::quiet_NaN()).has_value());
    EXPECT_FALSE(numeric::to_int32_nearest(std::numeric_limits<double>::infinity()).has_value());
}

}  // namespace
