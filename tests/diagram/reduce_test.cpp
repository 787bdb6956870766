#include "diagram/core/reduce.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>

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
    const std::vector<double> clean = quantisedNoise(n);
    // The same with samples that are no number: lone ones, ones opening a block of the finest
    // level, and a whole such block. They count as the comparisons count them.
    const std::vector<double> holed = [&] {
        std::vector<double> v = clean;
        const double nan = std::numeric_limits<double>::quiet_NaN();
        for (std::size_t i = 5; i < n; i += 997) v[i] = nan;
        for (std::size_t i = 0; i < n; i += 7 * CurveSummary::kLeaf) v[i] = nan;
        std::fill_n(v.begin() + 1000 * CurveSummary::kLeaf, CurveSummary::kLeaf, nan);
        // The record's extremes in the block after it, which that block must not hide.
        v[1001 * CurveSummary::kLeaf + 3] = -1000;
        v[1001 * CurveSummary::kLeaf + 5] = 1000;
        return v;
    }();
    for (const std::vector<double>* v : {&clean, &holed}) {
        CurveSummary s;
        s.build(v->data(), n);
        std::mt19937 rng(11);
        for (int k = 0; k < 400; ++k) {
            std::size_t a = rng() % n;
            if (k % 4 == 0) a -= a % CurveSummary::kLeaf;
            const std::size_t len = 1 + rng() % std::min<std::size_t>(n - a, k % 2 ? 70 : 40000);
            std::size_t iMin = 0;
            std::size_t iMax = 0;
            s.extremes(a, a + len, iMin, iMax);
            const auto b = v->begin() + static_cast<std::ptrdiff_t>(a);
            const auto e = b + static_cast<std::ptrdiff_t>(len);
            const char* which = v == &clean ? "numbers only, " : "with samples that are no number, ";
            ASSERT_EQ(iMin, static_cast<std::size_t>(std::min_element(b, e) - v->begin())) << which << a << "+" << len;
            ASSERT_EQ(iMax, static_cast<std::size_t>(std::max_element(b, e) - v->begin())) << which << a << "+" << len;
        }
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

// Columns for every path of columnExtremes: ties, signed zeros, infinities, samples that are no
// number at each place of a block and its lanes, lengths around the vector and block sizes.
struct Column {
    std::string what;
    std::vector<double> v;
};

std::vector<Column> extremesColumns()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<Column> cases;
    const auto add = [&](std::string what, std::vector<double> v) { cases.push_back({std::move(what), std::move(v)}); };
    const std::size_t lengths[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 12, 15, 16, 17, 24, 31, 32, 33, 47, 48, 49, 64, 65};
    for (const std::size_t n : lengths) {
        const std::string at = std::to_string(n) + " samples";
        std::vector<double> v(n);
        for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<double>(i);
        add("rising, " + at, v);
        std::reverse(v.begin(), v.end());
        add("falling, " + at, v);
        add("all equal, " + at, std::vector<double>(n, 2.5));
        for (std::size_t m = 0; m < n; ++m) {
            // A lone minimum (maximum) at m; the rest tie, so the other extreme is the first.
            for (const double extreme : {-1.0, 1.0}) {
                std::vector<double> w(n, 0.0);
                w[m] = extreme;
                add((extreme < 0 ? "minimum at " : "maximum at ") + std::to_string(m) + ", " + at, w);
                // The same extreme again later: the first one counts.
                for (std::size_t later = m + 1; later < n; later += 5) {
                    w[later] = extreme;
                    add("ties from " + std::to_string(m) + " to " + std::to_string(later) + ", " + at, w);
                }
            }
            // No number at m beside a lone minimum and a lone maximum anywhere else; the vector
            // minimum of a pair drops or keeps it by its place, which must hide neither.
            for (std::size_t k = 0; k < n; ++k) {
                if (k == m) continue;
                std::vector<double> w(n, 0.0);
                w[m] = nan;
                w[k] = -1;
                add("no number at " + std::to_string(m) + ", minimum at " + std::to_string(k) + ", " + at, w);
                w[k] = 1;
                add("no number at " + std::to_string(m) + ", maximum at " + std::to_string(k) + ", " + at, w);
            }
        }
    }
    // Values from a small set, so that ties are everywhere; signed zeros, infinities and samples
    // that are no number among them, at lengths up to well past a few blocks.
    std::mt19937 rng(11);
    const double pool[] = {3.5, -1.25, 0.0, -0.0, 7.0, 2.0, inf, -inf, 3.5, 1e-300, nan};
    for (int round = 0; round < 600; ++round) {
        const std::size_t n = 1 + static_cast<std::size_t>(round % 97) * 3 % 301 + (round % 50 == 0 ? 4000 : 0);
        const int kinds = round % 3 == 0 ? 10 : round % 3 == 1 ? 6 : 11;
        std::uniform_int_distribution<int> pick(0, kinds - 1);
        std::vector<double> v(n);
        for (double& x : v) x = pool[static_cast<std::size_t>(pick(rng))];
        if (kinds == 11 && round % 2 == 0) {
            // Rarely no number, as a sensor dropout would be.
            for (double& x : v) x = x != x ? pool[static_cast<std::size_t>(pick(rng) % 10)] : x;
            v[rng() % n] = nan;
        }
        add("random round " + std::to_string(round) + ", " + std::to_string(n) + " samples", v);
    }
    return cases;
}

struct Path {
    const char* name;
    std::optional<ExtremesPath> path;  // none: as columnExtremes chooses
};

class ColumnExtremesPath : public testing::TestWithParam<Path> {};

TEST_P(ColumnExtremesPath, FindsTheFirstMinimumAndMaximumAsTheComparisonsDo)
{
    const std::optional<ExtremesPath> path = GetParam().path;
#if !defined(__SSE2__)
    if (path == ExtremesPath::Sse2) GTEST_SKIP() << "built without SSE2, so that path is the plain loop";
#endif
    const auto run = [&](const std::vector<double>& v, std::size_t& iMin, std::size_t& iMax) {
        iMin = iMax = v.size() + 1;
        if (path)
            columnExtremes(*path, v.data(), v.size(), iMin, iMax);
        else
            columnExtremes(v.data(), v.size(), iMin, iMax);
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // The rule by hand: the first sample stands until one is strictly lower (higher).
    const struct {
        std::vector<double> v;
        std::size_t iMin, iMax;
    } pinned[] = {
        {{}, 0, 0},
        {{2, 1, 1, 3, 3}, 1, 3},
        {{0.0, -0.0, 1}, 0, 2},
        {{nan, 1, -1, 2}, 0, 0},
        {{1, nan, -1, 2}, 2, 3},
        {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 2, nan}, 16, 17},
    };
    for (const auto& c : pinned) {
        std::size_t iMin = 0;
        std::size_t iMax = 0;
        run(c.v, iMin, iMax);
        EXPECT_EQ(iMin, c.iMin) << c.v.size() << " samples";
        EXPECT_EQ(iMax, c.iMax) << c.v.size() << " samples";
    }
    // min_element and max_element compare the same way, samples that are no number included.
    for (const Column& c : extremesColumns()) {
        std::size_t iMin = 0;
        std::size_t iMax = 0;
        run(c.v, iMin, iMax);
        ASSERT_EQ(iMin, static_cast<std::size_t>(std::min_element(c.v.begin(), c.v.end()) - c.v.begin())) << c.what;
        ASSERT_EQ(iMax, static_cast<std::size_t>(std::max_element(c.v.begin(), c.v.end()) - c.v.begin())) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(DiagramReduce, ColumnExtremesPath,
                         testing::Values(Path{"Chosen", std::nullopt}, Path{"Plain", ExtremesPath::Plain},
                                         Path{"Sse2", ExtremesPath::Sse2}),
                         [](const testing::TestParamInfo<Path>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace diagram
