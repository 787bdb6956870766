#include "diagram/core/zoom.h"

#include <gtest/gtest.h>

#include <cmath>

namespace diagram {
namespace {

// 1000 samples at 0.1 s, 30 / 5 m/s: full width 55000 units, full height 5880, default top 5610
// (bottom -270).
RecordExtent example() { return {100000.0, 30.0, 5.0}; }

// The bars as a zoom leaves them for a view given in units.
NavBars barsAt(double l, double w, double t, double h)
{
    NavBars b;
    scrbarsettings(b, defaultView(example()), example(), false);
    scrbarsettings(b, fromUnits({l, w, t, h}), example(), true);
    return b;
}

TEST(DiagramZoom, StepsKeepTheCentreWithinTheDefaultView)
{
    struct Case {
        const char* what;
        ZoomStep step;
        UnitView from;
        UnitView to;  // the view redrawn
    };
    const Case cases[] = {
        {"halve width from the default", ZoomStep::HalveWidth, {0, 55000, 5610, 5880}, {13750, 27500, 5610, 5880}},
        {"halve an odd width", ZoomStep::HalveWidth, {1000, 101, 5610, 5880}, {1025, 50.5, 5610, 5880}},
        {"width 8 halves to 4 at the old left", ZoomStep::HalveWidth, {1000, 8, 5610, 5880}, {1000, 4, 5610, 5880}},
        {"halve height from the default", ZoomStep::HalveHeight, {0, 55000, 5610, 5880}, {0, 55000, 4140, 2940}},
        {"height 8 halves to 4 at the old top", ZoomStep::HalveHeight, {0, 55000, 3000, 8}, {0, 55000, 3000, 4}},
        {"double width in the middle", ZoomStep::DoubleWidth, {20000, 10000, 5610, 5880}, {15000, 20000, 5610, 5880}},
        {"double width near the right end", ZoomStep::DoubleWidth, {50000, 4000, 5610, 5880}, {47000, 8000, 5610, 5880}},
        {"double width near the left end", ZoomStep::DoubleWidth, {1000, 4000, 5610, 5880}, {0, 8000, 5610, 5880}},
        {"double width beyond the full width", ZoomStep::DoubleWidth, {10000, 30000, 5610, 5880}, {0, 55000, 5610, 5880}},
        {"double height in the middle", ZoomStep::DoubleHeight, {0, 55000, 4000, 1000}, {0, 55000, 4500, 2000}},
        {"double height near the top", ZoomStep::DoubleHeight, {0, 55000, 5500, 1000}, {0, 55000, 5610, 2000}},
        {"double height near the bottom", ZoomStep::DoubleHeight, {0, 55000, 730, 1000}, {0, 55000, 1730, 2000}},
        {"double height to the full height", ZoomStep::DoubleHeight, {0, 55000, 4140, 2940}, {0, 55000, 5610, 5880}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NavBars b = barsAt(c.from.left, c.from.width, c.from.top, c.from.height);
        const NavBars before = b;
        const UnitView got = toUnits(zoomStep(c.step, b, example()));
        // Single precision on the way to ms and m/s.
        EXPECT_NEAR(got.left, c.to.left, 1e-2);
        EXPECT_NEAR(got.width, c.to.width, 1e-2);
        EXPECT_NEAR(got.top, c.to.top, 1e-2);
        EXPECT_NEAR(got.height, c.to.height, 1e-2);
        if (c.to.width == 4 || c.to.height == 4) {  // at the limit the step writes nothing
            EXPECT_EQ(b.width.value(), before.width.value());
            EXPECT_EQ(b.left.value(), before.left.value());
            EXPECT_EQ(b.height.value(), before.height.value());
            EXPECT_EQ(b.top.value(), before.top.value());
        }
    }
    // The odd width: the bar holds the rounded half, the redraw the exact one (101 ms).
    NavBars odd = barsAt(1000, 101, 5610, 5880);
    EXPECT_FLOAT_EQ(static_cast<float>(zoomStep(ZoomStep::HalveWidth, odd, example()).width), 101.0f);
    EXPECT_EQ(odd.width.value(), 50);
}

TEST(DiagramZoom, LimitsOfTheTwoButtons)
{
    EXPECT_TRUE(atFullExtent(barsAt(0, 55000, 5610, 5880), example()));
    EXPECT_FALSE(atFullExtent(barsAt(0, 55000, 5610, 5878), example()));
    EXPECT_FALSE(atFullExtent(barsAt(0, 54998, 5610, 5880), example()));
    EXPECT_TRUE(atSmallestView(barsAt(100, 8, 3000, 8)));
    EXPECT_FALSE(atSmallestView(barsAt(100, 9, 3000, 8)));
    EXPECT_FALSE(atSmallestView(barsAt(100, 8, 3000, 9)));
}

TEST(DiagramZoom, RubberBandBecomesTheView)
{
    const NavBars bars = barsAt(0, 55000, 5610, 5880);
    // The default view's surface: view lower edge B = -270, right edge 55000.
    const Scale s = diascale(toUnits(defaultView(example())), false, 9, 9.0 / 8.0).scale;
    const double right = s.left + s.width;

    const std::optional<RubberZoom> z = rubberBandZoom({1000, 5000, 3000, 2000}, s, 9, bars);
    ASSERT_TRUE(z);
    EXPECT_FLOAT_EQ(static_cast<float>(z->view.left), 2000.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(z->view.width), 4000.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(z->view.top), 30.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(z->view.height), 18.0f);
    EXPECT_TRUE(z->zoomOutUseful);

    struct Case {
        const char* what;
        RubberBand band;
        bool zooms;
        UnitView view;  // when it zooms
    };
    const Case cases[] = {
        {"4 units to the right", {1000, 5000, 1004, 2000}, false, {}},
        {"5 units to the right", {1000, 5000, 1005, 2000}, true, {1000, 5, 5000, 3000}},
        {"3 units down", {1000, 5000, 3000, 4997}, false, {}},
        {"4 units down", {1000, 5000, 3000, 4996}, true, {1000, 2000, 5000, 4}},
        {"a click", {1000, 5000, 1000, 5000}, false, {}},
        {"to the left", {3000, 5000, 1000, 2000}, false, {}},
        {"upwards", {1000, 2000, 3000, 5000}, false, {}},
        {"release beyond the right edge", {1000, 5000, right + 900, 2000}, true, {1000, right - 1000, 5000, 3000}},
        {"release below velocity 0", {1000, 5000, 3000, -200}, true, {1000, 2000, 5000, 5000}},
        {"press left of time 0", {-800, 5000, 3000, 2000}, true, {0, 3000, 5000, 3000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<RubberZoom> r = rubberBandZoom(c.band, s, 9, bars);
        ASSERT_EQ(r.has_value(), c.zooms);
        if (!r) continue;
        const UnitView u = toUnits(r->view);
        EXPECT_NEAR(u.left, c.view.left, 1e-3);
        EXPECT_NEAR(u.width, c.view.width, 1e-3);
        EXPECT_NEAR(u.top, c.view.top, 1e-3);
        EXPECT_NEAR(u.height, c.view.height, 1e-3);
    }

    // In a view raised above 0 the band stops at the view's lower edge.
    const Scale raised = diascale({1000, 20000, 5000, 2000}, false, 9, 9.0 / 8.0).scale;
    const std::optional<RubberZoom> low = rubberBandZoom({2000, 4500, 4000, 100}, raised, 9, bars);
    ASSERT_TRUE(low);
    EXPECT_NEAR(toUnits(low->view).height, 4500 - 3000, 1e-3);
    EXPECT_FALSE(rubberBandZoom({2000, 3003, 4000, 100}, raised, 9, bars));  // 3 units above that edge
    EXPECT_TRUE(rubberBandZoom({2000, 3005, 4000, 100}, raised, 9, bars));

    // A band taller than the bars' full height gets that height from the highest allowed top.
    NavBars small = bars;
    small.height.setMax(1000);
    small.width.setMax(100);
    const std::optional<RubberZoom> tall = rubberBandZoom({1000, 5000, 3000, 2000}, s, 9, small);
    ASSERT_TRUE(tall);
    EXPECT_NEAR(toUnits(tall->view).height, 1000, 1e-3);
    EXPECT_NEAR(toUnits(tall->view).top, small.top.min(), 1e-2);
    EXPECT_FALSE(tall->zoomOutUseful);  // neither narrower nor lower than the full extent
}

TEST(DiagramZoom, PanKeepsThePressedPointUnderThePointerWithinTheRange)
{
    const ScrollModel left(0, 1000, 100);
    EXPECT_EQ(panPosition(left, 50, 60, false), 110);
    EXPECT_EQ(panPosition(left, 50, 60.5, false), 110);  // halves to even
    EXPECT_EQ(panPosition(left, 50, 61.5, false), 112);
    EXPECT_EQ(panPosition(left, -5000, 60, false), 1000);
    EXPECT_EQ(panPosition(left, 5000, 60, false), 0);
    // The vertical bar runs from its Min (the top of the default view) down to Max.
    const ScrollModel top(5610, 1730, 4000);
    EXPECT_EQ(panPosition(top, 3990, 4000, true), 4010);
    EXPECT_EQ(panPosition(top, 0, 4000, true), 5610);
    EXPECT_EQ(panPosition(top, 9000, 4000, true), 1730);
}

}  // namespace
}  // namespace diagram
