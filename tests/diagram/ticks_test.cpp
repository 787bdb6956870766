#include "diagram/core/ticks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace diagram {
namespace {

TEST(DiagramTicks, StepTablesAtTheirBounds)
{
    // Vertical: bound included; horizontal: bound excluded.
    struct Case {
        double extent, vertical, horizontal;
    };
    const Case cases[] = {
        {7.5, 1, 1},         {8, 1, 2},          {20, 2, 5},         {40, 5, 10},
        {200, 25, 50},       {2000, 250, 500},   {8000, 1000, 2500}, {20000, 2500, 5000},
        {40000, 5000, 10000}, {50000, 5000, 10000}, {50001, 10000, 10000}, {80000, 10000, 25000},
        {100000, 15000, 25000}, {100001, 25000, 25000},
        // Beyond the tables the 1-2.5-5 progression goes on, eight steps per bound.
        {200000, 25000, 50000}, {200001, 50000, 50000}, {800000, 100000, 250000},
        {2e6, 250000, 500000},  {2e9, 2.5e8, 5e8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extent);
        EXPECT_EQ(verticalStep(c.extent), c.vertical);
        EXPECT_EQ(horizontalStep(c.extent), c.horizontal);
    }
}

TEST(DiagramTicks, LabelFormats)
{
    EXPECT_EQ(velocityLabel(1000), "6.00");
    EXPECT_EQ(velocityLabel(1), "0.006");
    EXPECT_EQ(velocityLabel(-100), "-0.60");
    EXPECT_EQ(velocityLabel(0), "0.00");
    EXPECT_EQ(timeLabel(500), "1.00");
    EXPECT_EQ(timeLabel(-500), "-1.00");
    EXPECT_EQ(timeLabel(25), "0.05");
    EXPECT_EQ(timeLabel(1), "0.002");
    EXPECT_EQ(timeLabel(18000000), "36000.00");
}

TEST(DiagramTicks, TicksOnlyAtOrBeyondTheAxes)
{
    // View 0..1000 units wide, 5000 down to 2000 high: surface scale with the margins.
    const ScaleResult r = diascale({0, 1000, 5000, 3000}, false, 9, 1.125);
    const AxesLayout a = layoutAxes(r.scale, 9);
    EXPECT_DOUBLE_EQ(a.axisX, 0);
    EXPECT_DOUBLE_EQ(a.axisY, 2000);
    ASSERT_FALSE(a.vertical.major.empty());
    ASSERT_FALSE(a.horizontal.major.empty());
    for (const Tick& t : a.vertical.major) EXPECT_GE(t.pos, a.axisY);
    for (double p : a.vertical.minor) EXPECT_GE(p, a.axisY);
    for (const Tick& t : a.horizontal.major) EXPECT_GE(t.pos, a.axisX);
    for (double p : a.horizontal.minor) EXPECT_GE(p, a.axisX);
    EXPECT_EQ(a.horizontal.major.front().pos, 0);
    EXPECT_EQ(a.horizontal.major.front().label, "0.00");
    // |H| = 3375: step 500 (3 m/s); majors at 2000, 2500, ... labelled in m/s.
    EXPECT_EQ(a.vertical.major.front().pos, 2000);
    EXPECT_EQ(a.vertical.major.front().label, "12.00");
    EXPECT_EQ(a.vertical.major[1].pos, 2500);
}

TEST(DiagramTicks, MinorTicksBetweenASkippedMajorAndTheNext)
{
    // Time axis at 2030: the major at 2000 is skipped, its minors above the axis are drawn.
    // The axis lies one margin (3375 / 9 = 375) above the bottom (5030 - 3375 = 1655).
    const Scale s{0, 5030, 1125, -3375};
    const AxesLayout a = layoutAxes(s, 9);
    EXPECT_NEAR(a.axisY, 2030, 1e-9);
    EXPECT_EQ(a.vertical.major.front().pos, 2500);
    EXPECT_TRUE(std::find(a.vertical.minor.begin(), a.vertical.minor.end(), 2100.0) != a.vertical.minor.end());
    EXPECT_TRUE(std::find(a.vertical.minor.begin(), a.vertical.minor.end(), 2000.0) == a.vertical.minor.end());
}

TEST(DiagramTicks, EveryViewShowsAReadableNumberOfLabels)
{
    // From a few units to the overflow limits, on both axes.
    for (double extent = 2.5; extent < 1.9e9; extent *= 1.37) {
        const ScaleResult r = diascale({0, extent, extent, extent}, false, 9, 1.125);
        const AxesLayout a = layoutAxes(r.scale, 9);
        const auto visible = [](const std::vector<Tick>& ticks, double lo, double hi) {
            return std::count_if(ticks.begin(), ticks.end(), [&](const Tick& t) { return t.pos >= lo && t.pos <= hi; });
        };
        const auto nx = visible(a.horizontal.major, a.axisX, r.scale.left + r.scale.width);
        const auto ny = visible(a.vertical.major, a.axisY, r.scale.top);
        SCOPED_TRACE(extent);
        EXPECT_GE(nx, 2);
        EXPECT_LE(nx, 10);
        EXPECT_GE(ny, 2);
        EXPECT_LE(ny, 10);
        EXPECT_LE(a.horizontal.major.size(), 14u);
        EXPECT_LE(a.vertical.major.size(), 14u);
    }
}

TEST(DiagramOverviewTicks, StepTablesAndLabels)
{
    struct Case {
        double extent, vertical, horizontal;
    };
    // Velocity: the bound included; time: below the bound, and not monotonic (40 after 100).
    const Case cases[] = {{8, 1, 10}, {20, 2, 20}, {200, 25, 40}, {400, 50, 100}, {2000, 500, 1000},
                          {8000, 2000, 5000}, {79999, 20000, 10000}, {160000, 40000, 25000},
                          // Beyond the tables the steps grow on.
                          {160001, 25000, 25000}, {2e6, 250000, 500000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extent);
        EXPECT_EQ(overviewVerticalStep(c.extent), c.vertical);
        EXPECT_EQ(overviewHorizontalStep(c.extent), c.horizontal);
    }
    EXPECT_EQ(overviewVelocityLabel(5000), "30.0");
    EXPECT_EQ(overviewVelocityLabel(-100), "-0.6");
    EXPECT_EQ(overviewTimeLabel(500), "1.0");
    EXPECT_EQ(overviewTimeLabel(0), "0.0");
}

TEST(DiagramOverviewTicks, LabelsFromTheAxesToTheRightEdgeOfEveryRecord)
{
    // From a 20 s record to one of ten hours, 30 / 5 m/s.
    for (double seconds = 20; seconds < 36000; seconds *= 1.6) {
        SCOPED_TRACE(seconds);
        const Scale s = overviewScale({seconds * 1000, 30, 5});
        const AxesLayout a = layoutOverviewAxes(s);
        EXPECT_DOUBLE_EQ(a.axisX, 0.0);  // time 0 at a quarter of the width
        const double right = s.left + s.width;
        ASSERT_FALSE(a.horizontal.major.empty());
        EXPECT_DOUBLE_EQ(a.horizontal.major.front().pos, 0.0);
        EXPECT_LE(a.horizontal.major.back().pos, right);
        // The record's end is labelled to within one step, however long it is.
        const double step = a.horizontal.major.size() > 1 ? a.horizontal.major[1].pos - a.horizontal.major[0].pos : right;
        EXPECT_GT(a.horizontal.major.back().pos + step, seconds * 500);
        EXPECT_GE(a.horizontal.major.size(), 2u);
        EXPECT_LE(a.horizontal.major.size(), 10u);
        for (const Tick& t : a.vertical.major) EXPECT_GE(t.pos, a.axisY);
        for (double p : a.vertical.minor) EXPECT_GE(p, a.axisY);
        EXPECT_GE(a.vertical.major.size(), 1u);
    }
}

}  // namespace
}  // namespace diagram
