// The frame's texts as they land in the picture: read back from the pixels, each number whole,
// and never under a curve.
#include "diagram/axes.h"
#include "diagram/core/defaults.h"
#include "diagram/core/ticks.h"
#include "diagram/diagram_panel.h"
#include "diagram/overview.h"
#include "platform/fakes.h"

#include <QFontMetricsF>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace diagram {
namespace {

// One run of n samples at dt falling from 33.5 to 6.9 m/s.
state::TabchildData makeRun(int n, double dt)
{
    state::TabchildData d;
    d.setCount = 1;
    d.sampleCount = n;
    d.sampleInterval = dt;
    d.velocitySamples.resize(n, 1);
    d.dataFileNames[1] = "run.ctd";
    for (int r = 0; r <= n; ++r) d.velocitySamples(r, 1) = 33.5 - 26.6 * r / n;
    d.headerValues.resize(25, 1);
    d.headerValues(9, 1) = "33.5";
    d.headerValues(8, 1) = "6.9";
    return d;
}

struct Blob {
    int left, right;  // ink columns
    int width() const { return right - left + 1; }
};

// Runs of columns with dark pixels in rows top..bottom, apart by at least three clear columns
// (the glyphs of one text stand closer).
std::vector<Blob> inkBlobs(const QImage& img, int top, int bottom, int from = 0, int to = -1)
{
    if (to < 0) to = img.width() - 1;
    std::vector<Blob> out;
    int clear = 99;
    for (int x = from; x <= to; ++x) {
        bool ink = false;
        for (int y = std::max(0, top); y <= std::min(img.height() - 1, bottom) && !ink; ++y)
            ink = qGray(img.pixel(x, y)) < 140;
        if (!ink) {
            ++clear;
            continue;
        }
        if (clear >= 3 || out.empty()) out.push_back({x, x});
        else out.back().right = x;
        clear = 0;
    }
    return out;
}


class FramePicture : public ::testing::Test {
protected:
    void SetUp() override { initDiagramDefaults(); }
    platform::ScopedFakes fakes;
};

TEST_F(FramePicture, TheLastTimeLabelAndTheUnitAreWhole)
{
    // 227.3 s: the default view ends just past the tick of 250 s.
    state::TabchildData d = makeRun(2273, 0.1);
    DiagramPanel p(d, nullptr);
    p.setlegend();
    p.Resize();
    const QSize size(547, 472);
    const QImage img = p.renderImage(size);
    const PixelMapping f{p.picdiagram()->scale(), {size.width(), size.height()}};
    const AxesLayout a = layoutAxes(f.scale, settings().marginDivisor);
    const QFontMetricsF fm(p.picdiagram()->labelFont(), &img);
    ASSERT_GT(f.x(a.horizontal.major.back().pos), size.width());  // the tick beyond the edge: no label
    ASSERT_LT(f.x(250 * 500), size.width());

    const int labelTop = static_cast<int>(std::ceil(f.y(a.bottom + a.marginY * 3 / 4)));
    const std::vector<Blob> time = inkBlobs(img, labelTop, labelTop + static_cast<int>(fm.height()) - 1);
    ASSERT_FALSE(time.empty());
    const Blob last = time.back();
    EXPECT_GE(last.width(), fm.horizontalAdvance("250.00") - 2);
    EXPECT_LT(last.right, size.width() - 1);


    // In a narrower picture the unit would begin several pixels left of it.
    const QSize narrow(400, 350);
    const QImage small = p.renderImage(narrow);
    const PixelMapping g{p.picdiagram()->scale(), {narrow.width(), narrow.height()}};
    const AxesLayout b = layoutAxes(g.scale, settings().marginDivisor);
    ASSERT_LT(g.x(b.axisX - b.marginX * (1.0 / 2 + 1.0 / 3 - 1 / 7.5)) - fm.horizontalAdvance("m/s"), -5);
    const int unitTop = static_cast<int>(std::ceil(g.y(b.bottom + b.marginY * 3 / 4 * 7 - 9 * b.marginY / 4)));
    const std::vector<Blob> unit =
        inkBlobs(small, unitTop, unitTop + static_cast<int>(fm.height()) - 1, 0, static_cast<int>(g.x(b.axisX)) - 2);
    ASSERT_FALSE(unit.empty());
    EXPECT_GE(unit.front().width(), fm.horizontalAdvance("m/s") - 2);
}

// Runs falling from 33.5 to 6.9 m/s, each 0.8 m/s below the one before, with fitted curves.
state::TabchildData makeSeries(int sets, int n, double dt)
{
    state::TabchildData d = makeRun(n, dt);
    d.setCount = sets;
    d.velocitySamples.resize(n, sets);
    d.fittedVelocities.resize(n, sets);
    for (int s = 1; s <= sets; ++s) {
        d.dataFileNames[static_cast<std::size_t>(s)] = "run" + std::to_string(s) + ".ctd";
        for (int r = 0; r <= n; ++r) {
            d.velocitySamples(r, s) = 33.5 - 26.6 * r / n - 0.8 * (s - 1) + 0.3 * std::sin(r * 0.9 + s);
            d.fittedVelocities(r, s) = 33.5 - 26.6 * r / n - 0.8 * (s - 1);
        }
    }
    return d;
}

TEST_F(FramePicture, CurvesStayInThePlotAreaAndLeaveTheFrameAlone)
{
    struct Case {
        const char* what;
        int sets, samples;
        double dt;
        QSize panel;
        int zooms;
        double right, down;  // pan, as a share of the bars' range (1 = to its end)
    };
    const Case cases[] = {
        {"three runs zoomed in once, panned", 3, 1200, 0.1, QSize(741, 548), 1, 0.3, 0.4},
        {"a 5000 s run zoomed twice, panned right", 1, 50000, 0.1, QSize(741, 548), 2, 1.0, 0.8},
        {"a maximised window, the view at its top", 3, 1200, 0.1, QSize(1500, 860), 1, 0.5, 0.0},
    };
    const QRgb colours[] = {qRgb(0, 0, 160),  qRgb(0, 128, 255), qRgb(153, 21, 21),
                            qRgb(240, 30, 30), qRgb(0, 128, 0),   qRgb(0, 255, 0)};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        state::TabchildData d = makeSeries(c.sets, c.samples, c.dt);
        DiagramPanel p(d, nullptr);
        p.resize(c.panel);
        p.frmdiaresize();
        p.setlegend();
        p.enableFittedEntries();
        p.Resize();
        for (int z = 0; z < c.zooms; ++z) p.cmdallplus()->click();
        p.scrleft()->setNavValue(static_cast<int>(std::lround(p.scrleft()->navMax() * c.right)));
        const int top = p.scrtop()->navMin();
        p.scrtop()->setNavValue(static_cast<int>(std::lround(top + (p.scrtop()->navMax() - top) * c.down)));
        const QImage frame = p.picture();
        for (int i = 0; i < 2 * c.sets; ++i) p.chk(i)->setChecked(true);
        const QImage img = p.picture();
        ASSERT_EQ(img.size(), frame.size());

        // The plot area: from the velocity axis to the right edge, from the top to the time axis.
        const PixelMapping f{p.picdiagram()->scale(), {img.width(), img.height()}};
        const AxesLayout a = layoutAxes(f.scale, settings().marginDivisor);
        const int axisColumn = static_cast<int>(std::floor(f.x(a.axisX)));
        const int axisRow = static_cast<int>(std::floor(f.y(a.axisY)));
        int inside = 0;
        int outside = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb px = img.pixel(x, y) & 0xFFFFFF;
                if (std::none_of(std::begin(colours), std::end(colours), [&](QRgb k) { return (k & 0xFFFFFF) == px; }))
                    continue;
                if (x >= axisColumn && y <= axisRow) ++inside;
                else ++outside;
            }
        EXPECT_GT(inside, 300);
        EXPECT_EQ(outside, 0);

        // Every text's ink as it is without curves.
        const FrameTexts texts = placeAxesTexts(a, f.scale, {img.width(), img.height()}, textMeasure(*p.picdiagram()));
        int changed = 0;
        int textCount = 0;
        for (const auto* group : {&texts.velocity, &texts.time, &texts.velocityTitle, &texts.timeTitle})
            for (const PlacedText& t : *group) {
                ++textCount;
                const QRect box = QRect(QPoint(static_cast<int>(std::floor(t.x)), static_cast<int>(std::floor(t.y))),
                                        QPoint(static_cast<int>(std::ceil(t.right())) - 1,
                                               static_cast<int>(std::ceil(t.bottom())) - 1)) & img.rect();
                for (int y = box.top(); y <= box.bottom(); ++y)
                    for (int x = box.left(); x <= box.right(); ++x)
                        if (img.pixel(x, y) != frame.pixel(x, y)) ++changed;
            }
        EXPECT_GE(textCount, 10);
        EXPECT_EQ(changed, 0);
    }
}

TEST_F(FramePicture, OverviewTimeLabelsOfALongRunStandApart)
{
    // 5000 s: ticks every 1000 s, too close in the data browser's picture for a label each.
    state::TabchildData d = makeRun(50001, 0.1);
    DiagramPanel p(d, nullptr);
    OverviewSurface picover;
    picover.resize(175, 111);
    p.setOverviewPicture([&picover] { return &picover; });
    p.setlegend();
    p.Resize();
    p.diaoverview();
    const QImage img = picover.picture();
    const PixelMapping f{picover.scale(), {img.width(), img.height()}};
    const AxesLayout a = layoutOverviewAxes(f.scale);
    const QFontMetricsF fm(picover.labelFont(), &img);
    const int top = static_cast<int>(std::ceil(f.y(a.bottom + 3 * a.marginY / 4)));
    const std::vector<Blob> labels = inkBlobs(img, top, top + static_cast<int>(fm.height()) - 1);
    ASSERT_GE(labels.size(), 2u);
    for (const Blob& b : labels) EXPECT_LE(b.width(), fm.horizontalAdvance("5000.0") + 1) << b.left;
    EXPECT_LT(labels.back().right, img.width() - 1);
}

}  // namespace
}  // namespace diagram
