#include "diagram/core/zoom.h"

#include <algorithm>
#include <cmath>

namespace diagram {
namespace {

// The view in internal units handed on in ms and m/s, each as a single-precision number.
View singleView(double l, double w, double t, double h)
{
    return {static_cast<float>(l / kXUnitsPerMs), static_cast<float>(w / kXUnitsPerMs),
            static_cast<float>(t / kYUnitsPerMps), static_cast<float>(h / kYUnitsPerMps)};
}

}  // namespace

View zoomStep(ZoomStep step, NavBars& b, const RecordExtent& e)
{
    double l = b.left.value();
    double w = b.width.value();
    double t = b.top.value();
    double h = b.height.value();
    const auto write = [&] { scrbarsettings(b, singleView(l, w, t, h), e, false); };

    switch (step) {
    case ZoomStep::HalveWidth:
        w = b.width.value() / 2.0;
        if (w > 4) {
            write();
            l = b.left.value() + b.width.value() / 2.0;
            write();
        } else {
            w = 4;
        }
        break;
    case ZoomStep::HalveHeight:
        h = b.height.value() / 2.0;
        if (h > 4) {
            write();
            t = b.top.value() - b.height.value() / 2.0;
            write();
        } else {
            h = 4;
        }
        break;
    case ZoomStep::DoubleWidth:
        // Formed without the bars' limits: a double beyond them takes the full width.
        w = 2.0 * b.width.value();
        if (w < b.width.max()) {
            write();
            l = b.left.value() - b.width.value() / 4.0;
            // A view that would nearly reach the right end is moved onto it.
            if (b.width.value() * 1.3 + l >= b.width.max() - 10) l = b.width.max() - b.width.value();
            if (l < b.left.min()) l = b.left.min();
            write();
        } else {
            w = b.width.max();
            write();
            l = b.left.value() - b.width.value() / 4.0;
            if (l < b.left.min()) l = b.left.min();
            write();
        }
        break;
    case ZoomStep::DoubleHeight: {
        const double readTop = t;
        h = 2.0 * b.height.value();
        if (h < b.height.max()) {
            write();
            t = readTop + b.height.value() / 4.0;
            if (t > b.top.min()) t = b.top.min();  // not above the default view's top
            if (t < b.top.max()) t = b.top.max();  // nor below its bottom
            write();
        } else {
            h = b.height.max();
            write();
            t = b.top.value() + b.height.value() / 4.0;
            if (t > b.top.max()) t = b.top.max();
            write();
        }
        break;
    }
    }
    return singleView(l, w, t, h);
}

bool atSmallestView(const NavBars& b) { return b.width.value() < 9 && b.height.value() < 9; }

bool atFullExtent(const NavBars& b, const RecordExtent& e)
{
    const double fw = std::floor(e.lengthMs * 1.1) * 0.5;
    const double fh = std::floor((e.vmax * 1.1 - e.vmin) * 1.2 * 1.05 * kYUnitsPerMps);
    const double w = b.width.value();
    const double h = b.height.value();
    return fw - 1 < w && w < fw + 1 && fh - 1 < h && h < fh + 1;
}

std::optional<RubberZoom> rubberBandZoom(RubberBand r, const Scale& s, double marginDivisor, const NavBars& bars)
{
    const double right = s.left + s.width;
    if (r.endX > right) r.endX = right;
    if (r.startX < 0) r.startX = 0;
    if (r.endY < 0) r.endY = 0;
    // The view's lower edge: the bottom of the picture raised by the time-label margin.
    const double absH = std::fabs(s.height);
    const double bottom = (s.top - absH) + std::fabs(s.height / marginDivisor);
    if (bottom > r.endY) r.endY = bottom;

    // More than 4 units to the right and 3 down, from more than 3 units above the lower edge.
    if (!(static_cast<float>(r.endY + 2) < r.startY && static_cast<float>(r.startX + 4) < r.endX)) return std::nullopt;
    if (!(static_cast<float>(bottom + 3) < r.startY && r.endX - r.startX > 3 && r.startY - r.endY > 3))
        return std::nullopt;

    double top = r.startY;
    double height = r.startY - r.endY;
    if (height > bars.height.max()) {
        height = bars.height.max();
        top = bars.top.min();
    }
    const double width = r.endX - r.startX;
    RubberZoom z;
    z.zoomOutUseful = height < bars.height.max() || width < bars.width.max();
    z.view = singleView(r.startX, static_cast<float>(width), top, height);
    return z;
}

int panPosition(const ScrollModel& bar, double pointer, double start, bool vertical)
{
    const float t = static_cast<float>(bar.value() - pointer);
    const float n = static_cast<float>(t + start);
    if (!vertical) {
        if (n > bar.max()) return bar.max();
        if (n < bar.min()) return bar.min();
    } else {
        if (n > bar.min()) return bar.min();
        if (n < bar.max()) return bar.max();
    }
    return roundToBar(n);
}

}  // namespace diagram
