#include "diagram/axes.h"

#include "diagram/core/ticks.h"
#include "diagram/legend.h"

namespace diagram {

void drawaxes(DrawingSurface& s, const AxesStyle& style)
{
    const Scale sc = s.scale();
    const double n = style.marginDivisor;
    const AxesLayout a = layoutAxes(sc, n);
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
        const QString label = QString::fromStdString(t.label);
        s.setCurrent(ax - s.textWidth(label) - mX / 6, t.pos - s.textHeight(label) / 2);
        s.print(label);
        if (gridOn) gridLine(ax, t.pos, right, t.pos);
    }
    for (double p : a.vertical.minor) s.line(ax, p, ax - mX / 16, p);

    // Vertical title, one letter per line in the left margin, the unit below it.
    const double d = mY / 4;
    const double y0 = B + mY * 3 / 4 * 7;
    const QString title = QStringLiteral("Velocity");
    for (int k = 0; k < title.size(); ++k) {
        const QString letter = title.mid(k, 1);
        double x = ax - s.textWidth(letter) - mX / 2 - mX / 3;
        if (letter == "l" || letter == "i") x -= mX / 27;
        if (letter == "t") x -= mX / 60;
        s.setCurrent(x, y0 - k * d);
        s.print(letter);
    }
    const QString unit = QStringLiteral("m/s");
    s.setCurrent(ax - s.textWidth(unit) - mX / 2 - mX / 3 + mX / 7.5, y0 - 9 * d);
    s.print(unit);

    for (const Tick& t : a.horizontal.major) {
        const QString label = QString::fromStdString(t.label);
        s.setCurrent(t.pos - s.textWidth(label) / 2, B + mY * 3 / 4);
        s.print(label);
        s.line(t.pos, ay, t.pos, B + mY * 4 / 5);
        if (gridOn) gridLine(t.pos, ay, t.pos, sc.top);
    }
    for (double p : a.horizontal.minor) s.line(p, ay, p, B + mY * 8 / 9);

    s.line(ax, sc.top, ax, sc.top + sc.height - sc.height / n);
    s.line(ax, ay, right, ay);

    const QString xTitle = QStringLiteral("Duration of measurement, s");
    s.setCurrent(sc.left + 0.55 * sc.width - s.textWidth(xTitle) / 2, B + mY * 1.2 / 3);
    s.print(xTitle);
}

}  // namespace diagram
