#include "diagram/core/defaults.h"
#include "diagram/core/view.h"

#include <gtest/gtest.h>

#include <cmath>

namespace diagram {
namespace {

state::TabchildData record(int n, double dt, const std::string& vmax, const std::string& vmin)
{
    state::TabchildData d;
    d.setCount = 1;
    d.sampleCount = n;
    d.sampleInterval = dt;
    d.velocitySamples.resize(n, 1);
    for (int r = 1; r <= n; ++r) d.velocitySamples(r, 1) = 20.0 - 10.0 * r / n;
    d.headerValues.resize(25, 1);
    d.headerValues(9, 1) = vmax;
    d.headerValues(8, 1) = vmin;
    return d;
}

TEST(DiagramDefaults, ColourTableCyclesThroughTenColours)
{
    initDiagramDefaults();
    const DiagramSettings& s = settings();
    EXPECT_EQ(s.marginDivisor, 9.0f);
    EXPECT_EQ(s.diagramStretch, 1.125f);
    EXPECT_TRUE(s.scrollEventsEnabled);
    EXPECT_FALSE(s.zoomPending);
    for (int i = 10; i <= 60; i += 10) EXPECT_EQ(s.curveColours[static_cast<std::size_t>(i)], "10485760");
    EXPECT_EQ(s.curveColours[59], "50372");
    EXPECT_EQ(s.curveColours[3], "1974000");
}

TEST(DiagramView, DefaultViewOfTheExampleRecord)
{
    const View v = defaultView(record(1000, 0.1, "30", "5"));
    EXPECT_DOUBLE_EQ(v.left, 0);
    EXPECT_NEAR(v.width, 110000, 1e-6);
    EXPECT_NEAR(v.top, 33.66, 1e-9);
    EXPECT_NEAR(v.height, 35.28, 1e-9);
}

TEST(DiagramView, DegenerateHeadersFallBackToTheSamples)
{
    // Samples run from 19.95 down to 10 m/s.
    struct Case {
        const char* vmax;
        const char* vmin;
    };
    for (const Case& c : {Case{"abc", "xyz"}, Case{"10", "10"}, Case{"5", "30"}}) {
        SCOPED_TRACE(std::string(c.vmax) + " / " + c.vmin);
        const RecordExtent e = recordExtent(record(200, 0.1, c.vmax, c.vmin));
        EXPECT_NEAR(e.vmax, 19.95, 1e-9);
        EXPECT_NEAR(e.vmin, 10.0, 1e-9);
    }
    // Headers that are usable stay as they are, even outside the samples.
    const RecordExtent e = recordExtent(record(200, 0.1, "40", "2"));
    EXPECT_EQ(e.vmax, 40);
    EXPECT_EQ(e.vmin, 2);
}

TEST(DiagramView, EmptyRecordGetsAMinimumExtent)
{
    state::TabchildData d;  // no samples, no headers, no interval
    const View v = defaultView(d);
    const UnitView u = toUnits(v);
    EXPECT_GE(u.width, kMinDefaultExtentUnits - 1e-9);
    EXPECT_GE(u.height, kMinDefaultExtentUnits - 1e-9);
    const ScaleResult r = diascale(u, false, 9, 1.125);
    EXPECT_GT(r.scale.width, 0);
    EXPECT_LT(r.scale.height, 0);

    // Constant samples without usable headers: a range around the value.
    state::TabchildData c = record(50, 0.1, "", "");
    for (int r2 = 1; r2 <= 50; ++r2) c.velocitySamples(r2, 1) = 12.0;
    const RecordExtent e = recordExtent(c);
    EXPECT_GT(e.vmax, 12.0);
    EXPECT_LT(e.vmin, 12.0);
}

TEST(DiagramScale, ViewFillsTheUpperRightPartOfTheSurface)
{
    const UnitView u{1000, 8000, 5000, 3000};
    const ScaleResult r = diascale(u, false, 9, 9.0 / 8.0);
    const Scale& s = r.scale;
    EXPECT_DOUBLE_EQ(s.left + s.width, u.left + u.width);  // right edge on the surface edge
    EXPECT_DOUBLE_EQ(u.left - s.left, s.width / 9);         // 1/9 of the surface is margin
    EXPECT_DOUBLE_EQ(u.left - s.left, u.width / 8);
    EXPECT_DOUBLE_EQ(s.top, 5000);
    EXPECT_DOUBLE_EQ((s.top + s.height) + (-s.height) / 9, u.top - u.height);  // bottom margin 1/9
    EXPECT_EQ(viewFromScale(s, 9, 9.0 / 8.0), u);
}

TEST(DiagramScale, OverflowLimitsAreStrictAndRaisedToThe32BitRange)
{
    struct Case {
        double w, h, top;
        bool over;
    };
    const Case cases[] = {
        {kMaxStretchedWidth, 100, 100, false},
        {std::nextafter(kMaxStretchedWidth, 1e300), 100, 100, true},
        {100, kMaxStretchedHeight, 100, false},
        {100, std::nextafter(kMaxStretchedHeight, 1e300), 100, true},
        {100, 100, kMaxAbsTop, false},
        {100, 100, std::nextafter(kMaxAbsTop, 1e300), true},
        {100, 100, -kMaxAbsTop, false},
        {100, 100, std::nextafter(-kMaxAbsTop, -1e300), true},
        // The old 16-bit limits no longer trip.
        {35881, 20001, 30001, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.w << " " << c.h << " " << c.top);
        EXPECT_EQ(exceedsLimits(c.w, c.h, c.top), c.over);
    }
    // Every stretched limit leaves the unstretched value inside a 32-bit scroll bar.
    EXPECT_LT(kMaxStretchedWidth / 1.125, 2147483647.0);
    EXPECT_LT(kMaxAbsTop + kMaxStretchedHeight, 2147483647.0);
}

TEST(DiagramScale, LongRecordsStayNavigable)
{
    // The example record (110 s) overflowed the old limits; ten hours at 0.1 s do not overflow now.
    for (int n : {1000, 360000}) {
        const View v = defaultView(record(n, 0.1, "30", "5"));
        EXPECT_FALSE(diascale(toUnits(v), false, 9, 1.125).overflowNow) << n;
    }
}

TEST(DiagramScale, OverflowMessageOnlyWhileTheFlagIsEmpty)
{
    const UnitView huge{0, 1e10, 100, 100};
    const ScaleResult first = diascale(huge, false, 9, 1.125);
    ASSERT_TRUE(first.overflowNow);
    ASSERT_TRUE(first.message.has_value());
    EXPECT_EQ(first.message->title, "Diagram warning");
    EXPECT_EQ(first.message->text, "Overflow diagram border");
    EXPECT_EQ(first.message->icon, platform::Icon::Information);
    EXPECT_EQ(first.message->buttons, platform::Buttons::Ok);
    // Still scaled as asked for.
    EXPECT_DOUBLE_EQ(first.scale.width, 1.125e10);

    const ScaleResult again = diascale(huge, true, 9, 1.125);
    EXPECT_FALSE(again.overflowNow);
    EXPECT_FALSE(again.message.has_value());
}

TEST(DiagramScale, ZeroOrInvalidExtentNeverDividesByZero)
{
    for (const UnitView& u : {UnitView{0, 0, 0, 0}, UnitView{0, -5, 10, -3}, UnitView{0, NAN, NAN, NAN}}) {
        const ScaleResult r = diascale(u, false, 9, 1.125);
        EXPECT_TRUE(std::isfinite(r.scale.left));
        EXPECT_GT(r.scale.width, 0);
        EXPECT_LT(r.scale.height, 0);
        EXPECT_TRUE(std::isfinite(r.scale.top));
    }
}

TEST(DiagramOverview, DefaultViewFillsTheUpperRightThreeQuartersAndSmallViewsStayVisible)
{
    const RecordExtent e{100000.0, 30.0, 5.0};
    const Scale s = overviewScale(e);
    const UnitView def = toUnits(defaultView(e));
    EXPECT_NEAR(s.left + s.width / 4, 0.0, 1e-2);  // time 0
    EXPECT_NEAR(s.left + s.width, def.width, 1e-2);
    EXPECT_NEAR(s.top, def.top, 1e-3);
    EXPECT_NEAR(s.top + s.height * 3 / 4, def.top - def.height, 1e-2);

    const PixelSize px{175, 111};
    const UnitView tiny = overviewRectangle({1000, 10, 3000, 5}, s, px);
    EXPECT_DOUBLE_EQ(tiny.width, s.width / 100);
    EXPECT_DOUBLE_EQ(tiny.height, -s.height / 20);
    EXPECT_DOUBLE_EQ(tiny.left, 1000);
    const UnitView large{500, 20000, 4000, 1000};
    EXPECT_EQ(overviewRectangle(large, s, px), large);

    // At the record's end (and the default view itself) the right side would lie on the
    // picture's right edge, on no pixel: it is drawn in the last column, the size kept.
    const double column = s.width / px.width;
    const double lastColumn = s.left + s.width - column;
    for (const UnitView& v : {def, UnitView{def.width - 12000, 12000, 3000, 1000}, UnitView{def.width - 10, 10, 3000, 5}}) {
        const UnitView r = overviewRectangle(v, s, px);
        EXPECT_NEAR(r.left + r.width, lastColumn, 1e-6);
        EXPECT_DOUBLE_EQ(r.width, std::max(v.width, s.width / 100));
        EXPECT_GE(r.top - r.height, s.top + s.height + s.height / px.height - 1e-6);
    }
    // A view at the lower edge of the default view (the time axis) is already inside.
    const UnitView low{1000, 12000, def.top - def.height + 500, 500};
    EXPECT_EQ(overviewRectangle(low, s, px), low);
}

}  // namespace
}  // namespace diagram
