#include "diagram/core/reduce.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

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


// Samples with many repeated values, so the first of equal extremes has to be the one found.
std::vector<double> quantisedNoise(std::size_t n)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> step(-3, 3);
    std::vector<double> v(n);
    double y = 0;
    for (std::size_t i = 0; i < n; ++i) v[i] = (y += step(rng)) * 0.25;
    return v;
}

TEST(DiagramReduce, SummaryFindsTheFirstExtremesOfAnyRange)
{
    const std::size_t n = 100003;  // a short last block
    const std::vector<double> v = quantisedNoise(n);
    CurveSummary s;
    s.build(v.data(), n);
    std::mt19937 rng(11);
    for (int k = 0; k < 400; ++k) {
        const std::size_t a = rng() % n;
        const std::size_t len = 1 + rng() % std::min<std::size_t>(n - a, k % 2 ? 70 : 40000);
        std::size_t iMin = 0;
        std::size_t iMax = 0;
        s.extremes(a, a + len, iMin, iMax);
        const auto b = v.begin() + static_cast<std::ptrdiff_t>(a);
        const auto e = b + static_cast<std::ptrdiff_t>(len);
        ASSERT_EQ(iMin, static_cast<std::size_t>(std::min_element(b, e) - v.begin())) << a << "+" << len;
        ASSERT_EQ(iMax, static_cast<std::size_t>(std::max_element(b, e) - v.begin())) << a << "+" << len;
    }
}

TEST(DiagramReduce, SummaryGivesTheSamePointsAsReadingEverySample)
{
    const std::size_t n = 3000001;
    const std::vector<double> v = quantisedNoise(n);
    CurveSummary s;
    s.build(v.data(), n);
    struct Case {
        double left, right;
        int columns;
    } cases[] = {
        {0, 3000001, 1000},        // about 3000 samples per column: the blocks are read
        {0, 3000001, 97},          // long columns
        {123456.7, 2234567.1, 811},
        {-5000, 40000, 300},       // the start of the record, short columns
        {2999000, 3100000, 50},    // past the end
        {1000, 1000, 10},          // a view of one sample
    };
    std::vector<CurvePoint> fast;
    std::vector<CurvePoint> full;
    for (const Case& c : cases) {
        curvePoints(s, 0, 1, c.left, c.right, c.columns, fast);
        curvePoints(v.data(), n, 0, 1, c.left, c.right, c.columns, true, full);
        ASSERT_EQ(fast.size(), full.size()) << c.left;
        for (std::size_t i = 0; i < fast.size(); ++i) {
            ASSERT_EQ(fast[i].x, full[i].x) << c.left << " point " << i;
            ASSERT_EQ(fast[i].y, full[i].y) << c.left << " point " << i;
        }
    }
    // An empty summary draws nothing.
    CurveSummary none;
    curvePoints(none, 0, 1, 0, 10, 10, fast);
    EXPECT_TRUE(fast.empty());
}

TEST(DiagramReduce, ColumnExtremesAreTheFirstMinimumAndMaximum)
{
    // Values from a small set, so that ties are everywhere; signed zeros and infinities among them.
    std::mt19937 rng(11);
    const double inf = std::numeric_limits<double>::infinity();
    const double pool[] = {3.5, -1.25, 0.0, -0.0, 7.0, 2.0, inf, -inf, 3.5, 1e-300};
    std::uniform_int_distribution<int> pick(0, 9);
    std::uniform_int_distribution<int> pickFinite(0, 5);
    for (int round = 0; round < 400; ++round) {
        const std::size_t count = 1 + static_cast<std::size_t>(round % 97) * 3 % 301;
        std::vector<double> v(count);
        const bool infinities = round % 3 == 0;
        for (double& x : v) x = pool[static_cast<std::size_t>(infinities ? pick(rng) : pickFinite(rng))];
        std::size_t wantMin = 0;
        std::size_t wantMax = 0;
        for (std::size_t k = 1; k < count; ++k) {
            if (v[k] < v[wantMin]) wantMin = k;
            if (v[k] > v[wantMax]) wantMax = k;
        }
        std::size_t iMin = count;
        std::size_t iMax = count;
        columnExtremes(v.data(), count, iMin, iMax);
        ASSERT_EQ(iMin, wantMin) << "round " << round << ", " << count << " samples";
        ASSERT_EQ(iMax, wantMax) << "round " << round << ", " << count << " samples";
    }
}

}  // namespace
}  // namespace diagram
