#include "diagram/axes.h"

#include "diagram/core/ticks.h"
#include "diagram/legend.h"

namespace diagram {

TextMeasure textMeasure(const DrawingSurface& s)
{
    return {[&s](const std::string& text) { return s.textWidthPixels(QString::fromStdString(text)); },
            s.textHeightPixels()};
}

void printTexts(DrawingSurface& s, const FrameTexts& texts)
{
    const QSize px = s.pictureSize();
    const PixelMapping map{s.scale(), {px.width(), px.height()}};
    for (const auto* group : {&texts.velocity, &texts.time, &texts.velocityTitle, &texts.timeTitle})
        for (const PlacedText& t : *group) {
            s.setCurrent(map.scaleX(t.x), map.scaleY(t.y));
            s.print(QString::fromStdString(t.text));
        }
}

QRect plotRect(const DrawingSurface& s, const AxesLayout& layout)
{
    const QSize px = s.pictureSize();
    const PixelRect r = plotArea(layout, s.scale(), {px.width(), px.height()});
    return r.empty() ? QRect() : QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

void drawaxes(DrawingSurface& s, const AxesStyle& style, const AxesLayout& a)
{
    const Scale sc = s.scale();
    const double n = style.marginDivisor;
    const QColor scale = style.scale;
    const QColor grid = (colourToNumber(scale) == 0) ? QColor(0x80, 0x80, 0x80) : scale;
    const bool gridOn = style.grid;
    const double mX = a.marginX;
    const double mY = a.marginY;
    const double B = a.bottom;
    const double ax = a.axisX;
    const double ay = a.axisY;
    const double right = sc.left + sc.width;

    s.setDrawWidth(1);
    s.setForeColor(scale);
    s.setDotted(false);
    const auto gridLine = [&](double x1, double y1, double x2, double y2) {
        s.setDotted(true);
        s.setForeColor(grid);
        s.line(x1, y1, x2, y2);
        s.setDotted(false);
        s.setForeColor(scale);
    };

    for (const Tick& t : a.vertical.major) {
        s.line(ax, t.pos, ax - mX / 8, t.pos);
        if (gridOn) gridLine(ax, t.pos, right, t.pos);
    }
    for (double p : a.vertical.minor) s.line(ax, p, ax - mX / 16, p);

    for (const Tick& t : a.horizontal.major) {
        s.line(t.pos, ay, t.pos, B + mY * 4 / 5);
        if (gridOn) gridLine(t.pos, ay, t.pos, sc.top);
    }
    for (double p : a.horizontal.minor) s.line(p, ay, p, B + mY * 8 / 9);

    s.line(ax, sc.top, ax, sc.top + sc.height - sc.height / n);
    s.line(ax, ay, right, ay);

    // Labels and titles where they lie whole inside the picture.
    const QSize px = s.pictureSize();
    printTexts(s, placeAxesTexts(a, sc, {px.width(), px.height()}, textMeasure(s)));
}

}  // namespace diagram
