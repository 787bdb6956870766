#include "diagram/core/scroll_model.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace diagram {
namespace {

TEST(DiagramScrollModel, ValueStaysInsideARangeWhoseMinMayBeAboveMax)
{
    ScrollModel top(5610, 4000, 5000);
    EXPECT_EQ(top.value(), 5000);
    EXPECT_TRUE(top.setValue(7000));  // beyond Min (the upper end): clamped to Min
    EXPECT_EQ(top.value(), 5610);
    EXPECT_TRUE(top.setValue(100));
    EXPECT_EQ(top.value(), 4000);
    EXPECT_FALSE(top.setValue(100));  // already there: no change event
    // A range change that leaves the value outside moves it to the nearer end.
    EXPECT_TRUE(top.setMax(4500));
    EXPECT_EQ(top.value(), 4500);
    EXPECT_FALSE(top.setMin(4400));  // now Min 4400 below Max 4500; the value still fits
    EXPECT_EQ(top.value(), 4500);
    EXPECT_TRUE(top.setMax(4000));
    EXPECT_EQ(top.value(), 4400);
}

TEST(DiagramScrollModel, RoundingToBarValues)
{
    EXPECT_EQ(roundToBar(500.5), 500);
    EXPECT_EQ(roundToBar(501.5), 502);
    EXPECT_EQ(roundToBar(-2.5), -2);
    EXPECT_EQ(roundToBar(1e12), INT_MAX);
    EXPECT_EQ(roundToBar(-1e12), INT_MIN);
    EXPECT_EQ(roundToBar(NAN), 0);
}

RecordExtent example() { return {100000.0, 30.0, 5.0}; }  // 1000 samples at 0.1 s, 30 / 5 m/s

TEST(DiagramScrollBars, DefaultViewLeavesNoRoomToMove)
{
    NavBars b;
    const View v = defaultView(example());
    scrbarsettings(b, v, example(), false);
    EXPECT_EQ(b.left.value(), 0);
    EXPECT_EQ(b.left.min(), 0);
    EXPECT_EQ(b.left.max(), 0);
    EXPECT_EQ(b.width.value(), 55000);
    EXPECT_EQ(b.width.max(), 55000);
    EXPECT_EQ(b.width.min(), 2);
    EXPECT_EQ(b.height.value(), b.height.max());
    EXPECT_EQ(b.height.value(), 5880);
    EXPECT_EQ(b.top.min(), 5610);
    EXPECT_LE(std::abs(b.top.max() - b.top.min()), 1);
    EXPECT_EQ(b.top.value(), b.top.min());
}

TEST(DiagramScrollBars, ZoomedViewRangesAndSteps)
{
    NavBars b;
    scrbarsettings(b, defaultView(example()), example(), false);
    // A quarter-size view, as a zoom writes it (ranges opened first).
    const View zoom{20001, 27500, 25.0, 8.82};
    scrbarsettings(b, zoom, example(), true);
    EXPECT_EQ(b.width.value(), 13750);
    EXPECT_EQ(b.left.value(), 10000);  // 10000.5 rounds to even
    EXPECT_EQ(b.left.max(), 55000 - 13750);
    EXPECT_EQ(b.height.value(), 1470);
    EXPECT_EQ(b.top.value(), roundToBar(25.0 * kYUnitsPerMps));
    EXPECT_EQ(b.top.min(), 5610);
    EXPECT_EQ(b.top.max(), roundToBar(33.66 * kYUnitsPerMps - 5880 + 1470));

    // One step of the left bar is 2 ms, one of the top bar 0.006 m/s.
    const View before = viewFromBars(b);
    b.left.setValue(b.left.value() + 1);
    b.top.setValue(b.top.value() - 1);
    const View after = viewFromBars(b);
    EXPECT_DOUBLE_EQ(after.left - before.left, 2.0);
    EXPECT_NEAR(before.top - after.top, 0.006, 1e-12);
}

TEST(DiagramScrollBars, ValuesAreWrittenEvenWhenAnOldRangeExcludedThem)
{
    // Fresh bars (top range 1..32000) and a record whose top lies far above it.
    NavBars b;
    const RecordExtent big{36e6, 300.0, 5.0};  // ten hours, 300 m/s
    const View v = defaultView(big);
    scrbarsettings(b, v, big, false);
    EXPECT_EQ(b.width.value(), roundToBar(v.width * kXUnitsPerMs));
    EXPECT_EQ(b.top.value(), roundToBar(v.top * kYUnitsPerMps));
    EXPECT_GT(b.top.value(), 32767);
    EXPECT_EQ(b.left.max(), 0);
}

}  // namespace
}  // namespace diagram
