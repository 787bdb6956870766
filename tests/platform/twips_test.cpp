#include "platform/twips.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>

namespace {

TEST(Twips, ConvertToTheNearestPixel)
{
    const struct {
        double twips;
        int pixels;
    } cases[] = {
        {0, 0},          {7, 0},           {8, 1},         {15, 1},        {250, 17},       {10000, 667},
        {7.5, 1},        {22.5, 2},        {-7.5, -1},     {-8, -1},       {-7, 0},         {12000, 800},
        {1e300, INT_MAX}, {-1e300, INT_MIN}, {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::px(c.twips), c.pixels) << c.twips;
}

}  // namespace
