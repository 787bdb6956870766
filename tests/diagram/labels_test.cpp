#include "diagram/core/labels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <sstream>
#include <string>

namespace diagram {
namespace {

// A font of fixed advances: digits 6.5 px, points and blanks 3, wide letters 9, others 6.
TextMeasure fixedFont(double scale = 1.0)
{
    return {[scale](const std::string& text) {
                double w = 0;
                for (char c : text) {
                    if (c == '.' || c == ',' || c == ' ') w += 3;
                    else if (c == 'm' || c == 'M' || c == 'w') w += 9;
                    else if (c >= '0' && c <= '9') w += 6.5;
                    else w += 6;
                }
                return w * scale;
            },
            14 * scale};
}

Scale diagramScale(const View& v) { return diascale(toUnits(v), false, 9, 9.0 / 8.0).scale; }

const Tick* tickOf(const std::vector<Tick>& ticks, const std::string& label)
{
    const auto it = std::find_if(ticks.begin(), ticks.end(), [&](const Tick& t) { return t.label == label; });
    return it == ticks.end() ? nullptr : &*it;
}

// What is wrong with a frame's texts, or nothing: a text not whole inside the picture or inside
// the plot area, or two texts that meet. The caption's letters are one text: among themselves
// their boxes may overlap by a third of a line (its leading and descent, where no glyph reaches).
std::string faultOf(const FrameTexts& f, const AxesLayout& a, const PixelMapping& px)
{
    struct Text {
        PlacedText box;
        bool letter;
    };
    std::vector<Text> texts;
    for (const auto* group : {&f.velocity, &f.time, &f.velocityTitle, &f.timeTitle})
        for (const PlacedText& t : *group) texts.push_back({t, group == &f.velocityTitle && t.text.size() == 1});
    const PixelRect plot = plotArea(a, px.scale, px.picture);
    std::ostringstream out;
    for (const Text& text : texts) {
        const PlacedText& t = text.box;
        if (t.x < 0 || t.y < 0 || t.right() > px.picture.width + 1e-9 || t.bottom() > px.picture.height + 1e-9)
            out << '"' << t.text << "\" outside the picture; ";
        if (t.right() > plot.left + 1e-9 && t.bottom() > plot.top + 1e-9 && t.x < plot.right + 1 &&
            t.y < plot.bottom + 1)
            out << '"' << t.text << "\" in the plot area; ";
    }
    for (std::size_t i = 0; i < texts.size(); ++i)
        for (std::size_t j = i + 1; j < texts.size(); ++j) {
            const PlacedText& u = texts[i].box;
            const PlacedText& v = texts[j].box;
            const double overlap = texts[i].letter && texts[j].letter ? u.height / 3 + 1e-9 : 0;
            if (!(u.right() <= v.x || v.right() <= u.x || u.bottom() <= v.y + overlap || v.bottom() <= u.y + overlap))
                out << '"' << u.text << "\" meets \"" << v.text << "\"; ";
        }
    return out.str();
}

// Every text sound as above, every label at its own tick.
void expectSound(const FrameTexts& f, const AxesLayout& a, const PixelMapping& px)
{
    EXPECT_EQ(faultOf(f, a, px), "");
    // A label stands at a tick of its text (short records repeat a text on several ticks).
    const auto atTick = [](const std::vector<Tick>& ticks, const PlacedText& t, double lo, double hi,
                           const std::function<double(double)>& pixel) {
        return std::any_of(ticks.begin(), ticks.end(), [&](const Tick& k) {
            return k.label == t.text && pixel(k.pos) >= lo - 1e-9 && pixel(k.pos) <= hi + 1e-9;
        });
    };
    for (const PlacedText& t : f.time)
        EXPECT_TRUE(atTick(a.horizontal.major, t, t.x, t.right(), [&](double u) { return px.x(u); })) << t.text;
    for (const PlacedText& t : f.velocity) {
        EXPECT_TRUE(atTick(a.vertical.major, t, t.y, t.bottom(), [&](double u) { return px.y(u); })) << t.text;
        EXPECT_LE(t.right(), px.x(a.axisX) + 1e-9) << t.text;
    }
}

TEST(DiagramLabels, WholeInsideAndApartForEveryPictureAndView)
{
    const PixelSize sizes[] = {{200, 185}, {400, 267}, {533, 357}, {800, 533}, {1600, 1000}};
    const View views[] = {
        defaultView(RecordExtent{227300, 33.5, 6.9}),     // the last label at the right edge
        defaultView(RecordExtent{5000000, 33.5, 5.5}),    // a long run
        {2000000, 1400000, 22.5, 9},                      // zoomed into it
        {-5000, 20000, 2, 4},                             // panned before time 0 and below 0 m/s
        {0, 10, 0.05, 0.02},                              // a few milliseconds
        {0, 360000000, 200, 250},                         // a hundred hours
        {123456789, 1000000, 1234.5, 30},                 // long labels on both axes
    };
    for (const PixelSize& size : sizes)
        for (const View& v : views) {
            SCOPED_TRACE(testing::Message() << size.width << " x " << size.height << ", view " << v.left << " "
                                            << v.width << " " << v.top << " " << v.height);
            const Scale s = diagramScale(v);
            const AxesLayout a = layoutAxes(s, 9);
            const FrameTexts f = placeAxesTexts(a, s, size, fixedFont());
            expectSound(f, a, {s, size});
            // "Velocity" and "m/s" wherever the letters, a 36th of the height apart, stand two
            // thirds of a line apart: from 337 px (the window's pictures are higher still).
            if (size.height >= 337) {
                EXPECT_EQ(f.velocityTitle.size(), 9u);
            }
            EXPECT_EQ(f.timeTitle.size(), 1u);
            if (size.width >= 400) {
                EXPECT_GE(f.time.size(), 2u);
                EXPECT_GE(f.velocity.size(), 2u);
            }
        }
}

TEST(DiagramLabels, NoTwoTextsMeetInAnyPictureAndView)
{
    // Random views (fixed seed) in pictures from the largest screen down to a few text lines.
    std::mt19937 rng(26);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const auto logUniform = [&](double lo, double hi) { return lo * std::pow(hi / lo, u(rng)); };
    int faults = 0;
    std::string first;
    for (int k = 0; k < 50000; ++k) {
        const PixelSize size{static_cast<int>(logUniform(40, 1600)), static_cast<int>(logUniform(30, 1000))};
        const double width = logUniform(10, 4e8);
        const double height = logUniform(0.02, 400);
        const View v{(u(rng) * 1.6 - 0.1) * width * logUniform(1, 50), width, (u(rng) * 1.2 - 0.1) * logUniform(1, 2000),
                     height};
        const double n = u(rng) < 0.8 ? 9 : 6;
        const Scale s = diascale(toUnits(v), false, n, n / (n - 1)).scale;
        const AxesLayout a = layoutAxes(s, n);
        const std::string fault = faultOf(placeAxesTexts(a, s, size, fixedFont(u(rng) < 0.5 ? 1.0 : 0.8)), a, {s, size});
        if (fault.empty()) continue;
        if (++faults == 1)
            first = testing::PrintToString(size.width) + " x " + testing::PrintToString(size.height) + ": " + fault;
    }
    EXPECT_EQ(faults, 0) << first;
}

TEST(DiagramLabels, LabelsThatFitStayWhereTheFramePutsThem)
{
    // A record of 227.3 s in 800 x 533: every time label centred under its tick, every velocity
    // label ending a sixth of the margin left of the axis and centred on its tick; only "250.00",
    // whose tick is 7 px from the right edge, is shifted inward to end at the edge.
    const PixelSize size{800, 533};
    const Scale s = diagramScale(defaultView(RecordExtent{227300, 33.5, 6.9}));
    const AxesLayout a = layoutAxes(s, 9);
    const PixelMapping px{s, size};
    const TextMeasure m = fixedFont();
    const FrameTexts f = placeAxesTexts(a, s, size, m);

    std::vector<std::string> labels;
    for (const PlacedText& t : f.time) labels.push_back(t.text);
    EXPECT_EQ(labels, (std::vector<std::string>{"0.00", "50.00", "100.00", "150.00", "200.00", "250.00"}));
    ASSERT_EQ(f.time.size(), 6u);
    for (std::size_t i = 0; i + 1 < f.time.size(); ++i) {
        const PlacedText& t = f.time[i];
        EXPECT_NEAR(t.x + t.width / 2, px.x(tickOf(a.horizontal.major, t.text)->pos), 1e-9) << t.text;
        EXPECT_NEAR(t.y, px.y(a.bottom + a.marginY * 3 / 4), 1e-9);
    }
    const PlacedText& last = f.time.back();
    EXPECT_GT(px.x(tickOf(a.horizontal.major, "250.00")->pos) + last.width / 2, size.width);
    EXPECT_DOUBLE_EQ(last.right(), size.width);
    EXPECT_NEAR(last.y, f.time.front().y, 1e-9);

    ASSERT_GE(f.velocity.size(), 5u);
    for (const PlacedText& t : f.velocity) {
        EXPECT_NEAR(t.right(), px.x(a.axisX - a.marginX / 6), 1e-9) << t.text;
        EXPECT_NEAR(t.y + t.height / 2, px.y(tickOf(a.vertical.major, t.text)->pos), 1e-9) << t.text;
    }
}

TEST(DiagramLabels, AtTheEdgesShiftedInwardOrLeftOut)
{
    const TextMeasure m = fixedFont();
    // "m/s" would begin left of the picture: it begins at its left edge.
    {
        const PixelSize size{533, 357};
        const Scale s = diagramScale(defaultView(RecordExtent{227300, 33.5, 6.9}));
        const AxesLayout a = layoutAxes(s, 9);
        const PixelMapping px{s, size};
        const double nominal = px.x(a.axisX - a.marginX / 2 - a.marginX / 3 + a.marginX / 7.5) - m.width("m/s");
        ASSERT_LT(nominal, 0);
        const FrameTexts f = placeAxesTexts(a, s, size, m);
        const auto unit = std::find_if(f.velocityTitle.begin(), f.velocityTitle.end(),
                                       [](const PlacedText& t) { return t.text == "m/s"; });
        ASSERT_NE(unit, f.velocityTitle.end());
        EXPECT_EQ(unit->x, 0);
    }
    // A velocity tick 3 px below the upper edge: its label starts at the edge, whole.
    // A time tick 2 px right of the picture: no label.
    {
        const PixelSize size{800, 533};
        const double unitsPerPx = 30.0 * 9 / 8 / size.height;  // m/s per pixel of this view
        const double top = 30 + 3 * unitsPerPx;
        const double msPerPx = 60000.0 * 9 / 8 / size.width;
        const Scale s = diagramScale({0, 60000 - 2 * msPerPx, top, 30});
        const AxesLayout a = layoutAxes(s, 9);
        const FrameTexts f = placeAxesTexts(a, s, size, m);
        ASSERT_NE(tickOf(a.vertical.major, "30.00"), nullptr);
        const auto v30 = std::find_if(f.velocity.begin(), f.velocity.end(), [](const PlacedText& t) { return t.text == "30.00"; });
        ASSERT_NE(v30, f.velocity.end());
        EXPECT_EQ(v30->y, 0);
        ASSERT_NE(tickOf(a.horizontal.major, "60.00"), nullptr);
        const PixelMapping px{s, size};
        EXPECT_GT(px.x(tickOf(a.horizontal.major, "60.00")->pos), size.width);
        EXPECT_TRUE(std::none_of(f.time.begin(), f.time.end(), [](const PlacedText& t) { return t.text == "60.00"; }));
        EXPECT_EQ(f.time.back().text, "50.00");
        expectSound(f, a, {s, size});
    }
}

TEST(DiagramOverviewLabels, ThinnedWhereTheyWouldRunTogether)
{
    // The overview of a 5000 s run, 1000 s between ticks: every second label at the size the
    // data browser gives it, all of them where there is room.
    struct Case {
        PixelSize size;
        std::vector<std::string> time;
    };
    const Case cases[] = {
        {{175, 111}, {"0.0", "2000.0", "4000.0"}},
        {{350, 222}, {"0.0", "1000.0", "2000.0", "3000.0", "4000.0", "5000.0"}},
    };
    const Scale s = overviewScale(RecordExtent{5000000, 33.5, 5.5});
    const AxesLayout a = layoutOverviewAxes(s);
    ASSERT_NE(tickOf(a.horizontal.major, "5000.0"), nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size.width);
        const FrameTexts f = placeOverviewTexts(a, s, c.size, fixedFont(0.7));
        std::vector<std::string> time;
        for (const PlacedText& t : f.time) time.push_back(t.text);
        EXPECT_EQ(time, c.time);
        EXPECT_FALSE(f.velocity.empty());
        EXPECT_TRUE(f.velocityTitle.empty());
        EXPECT_TRUE(f.timeTitle.empty());
        expectSound(f, a, {s, c.size});
    }
}

TEST(DiagramOverviewLabels, WholeInsideAndApartForEveryRecord)
{
    for (double seconds = 0.05; seconds < 400000; seconds *= 1.9)
        for (const PixelSize size : {PixelSize{175, 111}, PixelSize{120, 80}}) {
            SCOPED_TRACE(testing::Message() << seconds << " s, " << size.width);
            const Scale s = overviewScale(RecordExtent{seconds * 1000, 30, 5});
            const AxesLayout a = layoutOverviewAxes(s);
            const FrameTexts f = placeOverviewTexts(a, s, size, fixedFont(0.7));
            expectSound(f, a, {s, size});
            EXPECT_GE(f.time.size(), 1u);
            EXPECT_GE(f.velocity.size(), 1u);
        }
}

}  // namespace
}  // namespace diagram
