#include "diagram/surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace diagram {
namespace {

struct Curve {
    QColor colour;
    std::vector<double> xy;  // x, y pairs in scale units
};

// The curves drawn one after the other onto a fresh picture, as column runs or segment by segment;
// with `keep`, each curve's pixels are kept there (or filled again from there).
QImage draw(const Scale& sc, const std::vector<Curve>& curves, bool runs, QSize size = QSize(240, 160), int width = 1,
            std::vector<PolylinePixels>* keep = nullptr)
{
    DrawingSurface s;
    s.setScale(sc);
    s.setColumnSpans(runs);
    if (keep) keep->resize(curves.size());
    s.setRenderer([&](DrawingSurface& d) {
        d.setDrawWidth(width);
        for (std::size_t i = 0; i < curves.size(); ++i) {
            d.setForeColor(curves[i].colour);
            d.polyline(curves[i].xy.data(), curves[i].xy.size() / 2, keep ? &(*keep)[i] : nullptr, i + 1);
        }
    });
    return s.renderTo(size);
}

int countColour(const QImage& img, const QColor& c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (c.rgb() & 0xFFFFFF)) ++n;
    return n;
}

// Pixel scale: x and y in pixels, y downward, so test points name their pixels directly.
const Scale kPixels{0, 0, 240, 160};

TEST(DiagramSurface, ColumnRunsDrawTheSamePixelsAsEverySegment)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    // Many points per pixel column with noise: the reduced curves of a long record.
    const auto noisy = [&](double amplitude, double perColumn, double offset) {
        std::vector<double> xy;
        for (double x = -3; x < 245; x += 1.0 / perColumn)
            xy.insert(xy.end(), {x, offset + 0.2 * x + amplitude * (unit(rng) - 0.5) + 6 * std::sin(x * 0.05)});
        return xy;
    };
    // Big jumps from one column to the next, up and down, crossing every edge of the picture.
    const auto jumps = [&](double step) {
        std::vector<double> xy;
        double y = 80;
        for (double x = -10.5; x < 255; x += step) {
            y += (unit(rng) - 0.5) * 90;
            if (y < -40 || y > 200) y = 80;
            xy.insert(xy.end(), {x, y});
        }
        return xy;
    };
    // Points on whole pixel edges, where a rounding slip would show.
    std::vector<double> edges;
    for (int x = 0; x < 240; ++x)
        for (int j = 0; j < 3; ++j) edges.insert(edges.end(), {double(x), double((x * 7) % 160 + j * 2)});

    // Back over a column already drawn: it is entered again away from its first run (after a dense
    // stretch, so that the line is drawn in runs).
    std::vector<double> back;
    for (double x = -3; x < 60; x += 0.1) back.insert(back.end(), {x, 80 + 10 * (unit(rng) - 0.5)});
    for (double b = 62; b < 130; b += 10) back.insert(back.end(), {b, 72, b, 76, b + 2, 85, b, 95, b, 100, b + 0.6, 101});

    const std::vector<Curve> curves{
        {QColor(250, 160, 0), edges},           {QColor(0, 0, 160), noisy(30, 12, 40)},
        {QColor(200, 0, 0), noisy(4, 3.5, 60)}, {QColor(0, 140, 0), noisy(60, 40, 110)},
        {QColor(120, 0, 120), jumps(1.0)},      {QColor(0, 120, 120), jumps(0.37)},
        {QColor(90, 90, 90), back},
    };
    struct Case {
        const char* what;
        Scale scale;
        QSize size;
    };
    const Case cases[] = {
        {"pixels", kPixels, QSize(240, 160)},
        {"y upward, as the diagram", Scale{0, 160, 240, -160}, QSize(240, 160)},
        {"zoomed, curves leave the picture", Scale{60, 110, 70, -45}, QSize(240, 160)},
        {"wider picture than scale", Scale{-5, 170, 250, -180}, QSize(613, 291)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QImage runs = draw(c.scale, curves, true, c.size);
        const QImage segments = draw(c.scale, curves, false, c.size);
        ASSERT_EQ(runs.size(), segments.size());
        int differ = 0;
        for (int y = 0; y < runs.height(); ++y)
            for (int x = 0; x < runs.width(); ++x)
                if (runs.pixel(x, y) != segments.pixel(x, y)) ++differ;
        EXPECT_EQ(differ, 0);
        for (const Curve& k : curves) EXPECT_GT(countColour(runs, k.colour), 20) << k.colour.name().toStdString();
        // Drawn again and again (the pixels are noted the second time and filled from the third
        // on): the very same picture.
        for (bool spans : {true, false}) {
            std::vector<PolylinePixels> keep;
            for (int k = 0; k < 4; ++k) EXPECT_TRUE(draw(c.scale, curves, spans, c.size, 1, &keep) == runs) << k;
        }
    }
}

TEST(DiagramSurface, PointsThatAreNotFiniteLeaveOutTheirSegmentsOnly)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Curve broken{Qt::black, {10, 10, 20, 20, nan, 5, 30, 30, 40, 10, inf, -inf, 50, 50, 60, nan, 70, 70}};
    const std::vector<Curve> pieces{{Qt::black, {10, 10, 20, 20}}, {Qt::black, {30, 30, 40, 10}}};
    for (const Scale& sc : {kPixels, Scale{0, 160, 240, -160}}) {
        for (bool runs : {true, false}) EXPECT_EQ(draw(sc, {broken}, runs), draw(sc, pieces, runs));
        // Through the painter's line drawing (a wider pen) they are left out as well.
        EXPECT_EQ(draw(sc, {broken}, true, QSize(240, 160), 3), draw(sc, pieces, true, QSize(240, 160), 3));
        DrawingSurface s;
        s.setScale(sc);
        s.setRenderer([&](DrawingSurface& d) {
            d.line(nan, 1, 100, 100);
            d.line(0, inf, 100, 100);
        });
        EXPECT_EQ(countColour(s.renderTo(QSize(240, 160)), Qt::black), 0);
    }
}

}  // namespace
}  // namespace diagram
