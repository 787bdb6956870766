#include "diagram/core/reduce.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace diagram {
namespace {

TEST(DiagramReduce, KeepsOnlyTheSamplesInViewAndTheirNeighbours)
{
    std::vector<double> v(100);
    for (int i = 0; i < 100; ++i) v[static_cast<std::size_t>(i)] = i;
    std::vector<CurvePoint> out;
    // Samples every 10 units; view 205..395 holds samples 21..39, plus 20 and 40.
    curvePoints(v.data(), v.size(), 0, 10, 205, 395, 1000, true, out);
    ASSERT_EQ(out.size(), 21u);
    EXPECT_EQ(out.front().x, 200);
    EXPECT_EQ(out.back().x, 400);
    // A view beside the record: nothing.
    curvePoints(v.data(), v.size(), 0, 10, 2000, 3000, 100, true, out);
    EXPECT_TRUE(out.empty());
    curvePoints(v.data(), v.size(), 0, 10, -300, -100, 100, true, out);
    EXPECT_TRUE(out.empty());
}

TEST(DiagramReduce, EachColumnKeepsFirstMinimumMaximumAndLastInOrder)
{
    const std::size_t n = 10000;
    std::vector<double> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = std::sin(0.013 * static_cast<double>(i)) * 10 + ((i * 7919) % 13) * 0.1;
    std::vector<CurvePoint> out;
    const int columns = 50;  // 200 samples per column
    curvePoints(v.data(), n, 0, 1, 0, static_cast<double>(n), columns, true, out);
    EXPECT_LE(out.size(), 4u * (columns + 2));
    EXPECT_EQ(out.front().x, 0);
    EXPECT_EQ(out.back().x, static_cast<double>(n - 1));
    for (std::size_t k = 1; k < out.size(); ++k) EXPECT_LT(out[k - 1].x, out[k].x);
    // Every column's extremes are among the points, at their own sample.
    for (int c = 0; c < columns; ++c) {
        const auto b = v.begin() + c * 200;
        const auto lo = std::min_element(b, b + 200);
        const auto hi = std::max_element(b, b + 200);
        const auto has = [&](std::vector<double>::const_iterator it) {
            const double x = static_cast<double>(it - v.begin());
            return std::any_of(out.begin(), out.end(), [&](const CurvePoint& p) { return p.x == x && p.y == *it; });
        };
        EXPECT_TRUE(has(lo)) << c;
        EXPECT_TRUE(has(hi)) << c;
    }
    // Without reduction every sample comes back.
    curvePoints(v.data(), n, 0, 1, 0, static_cast<double>(n), columns, false, out);
    EXPECT_EQ(out.size(), n);
}

TEST(DiagramReduce, ZeroIntervalAndEmptyInput)
{
    std::vector<CurvePoint> out;
    curvePoints(nullptr, 0, 0, 1, 0, 10, 10, true, out);
    EXPECT_TRUE(out.empty());
    const double v[] = {3, 1, 4, 1, 5};
    curvePoints(v, 5, 7, 0, 0, 10, 10, true, out);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[1].y, 1);
    EXPECT_EQ(out[2].y, 5);
}

}  // namespace
}  // namespace diagram
