#include "diagram/core/view.h"

#include "datafile/header_lines.h"
#include "numbers/numbers.h"

#include <algorithm>
#include <cmath>

namespace diagram {

UnitView toUnits(const View& v)
{
    return {v.left * kXUnitsPerMs, v.width * kXUnitsPerMs, v.top * kYUnitsPerMps, v.height * kYUnitsPerMps};
}

View fromUnits(const UnitView& u)
{
    return {u.left / kXUnitsPerMs, u.width / kXUnitsPerMs, u.top / kYUnitsPerMps, u.height / kYUnitsPerMps};
}

namespace {

bool usableRange(double vmax, double vmin)
{
    return std::isfinite(vmax) && std::isfinite(vmin) && vmax > vmin;
}

double defaultHeightUnits(double vmax, double vmin) { return (vmax * 1.1 - vmin) * 1.2 * kYUnitsPerMps * 1.05; }

}  // namespace

RecordExtent recordExtent(const state::TabchildData& data)
{
    RecordExtent e;
    e.lengthMs = data.sampleInterval * 1000.0 * data.sampleCount;
    // The default width in units is 1.1 * L * 0.5; below the minimum extent the record is
    // shown as if it were that long.
    const double minLength = kMinDefaultExtentUnits / (1.1 * kXUnitsPerMs);
    if (!std::isfinite(e.lengthMs) || e.lengthMs < minLength) e.lengthMs = minLength;

    const state::TextMatrix& hv = data.headerValues;
    double vmax = 0;
    double vmin = 0;
    if (hv.rows() >= datafile::kMaxVelocity && hv.cols() >= 1) {
        vmax = numbers::leadingNumber(hv(datafile::kMaxVelocity, 1));
        vmin = numbers::leadingNumber(hv(datafile::kMinVelocity, 1));
    }
    if (!usableRange(vmax, vmin)) {
        // The samples' own range (data set 1, the drawn rows 1..N).
        const state::ColMatrix& vs = data.velocitySamples;
        const int last = std::min(data.samples(), vs.rows());
        bool any = false;
        double lo = 0;
        double hi = 0;
        if (vs.cols() >= 1) {
            for (int r = 1; r <= last; ++r) {
                const double v = vs(r, 1);
                if (!std::isfinite(v)) continue;
                if (!any) lo = hi = v;
                lo = std::min(lo, v);
                hi = std::max(hi, v);
                any = true;
            }
        }
        if (any && hi > lo) {
            vmax = hi;
            vmin = lo;
        } else {
            const double centre = any ? lo : (std::isfinite(vmax) ? vmax : 0.0);
            vmax = centre + 0.5;
            vmin = centre - 0.5;
        }
    }
    if (!(defaultHeightUnits(vmax, vmin) >= kMinDefaultExtentUnits)) {
        vmin = vmax * 1.1 - kMinDefaultExtentUnits / (1.2 * kYUnitsPerMps * 1.05);
    }
    e.vmax = vmax;
    e.vmin = vmin;
    return e;
}

View defaultView(const RecordExtent& e)
{
    View v;
    v.left = 0;
    v.width = e.lengthMs * 1.1;
    v.top = e.vmax * 1.1 * 1.02;
    v.height = (e.vmax * 1.1 - e.vmin) * 1.2 * 1.05;
    return v;
}

bool exceedsLimits(double stretchedWidth, double stretchedHeight, double top)
{
    bool over = false;
    if (stretchedWidth > kMaxStretchedWidth) over = true;
    if (stretchedHeight > kMaxStretchedHeight) over = true;
    if (top > kMaxAbsTop || top < -kMaxAbsTop) over = true;
    return over;
}

ScaleResult diascale(const UnitView& view, bool overflowed, double marginDivisor, double stretch)
{
    ScaleResult r;
    double w = stretch * view.width;
    double h = stretch * view.height;
    if (!overflowed && exceedsLimits(w, h, view.top)) {
        r.overflowNow = true;
        r.message = platform::information("Overflow diagram border", "Diagram warning");
    }
    // A scale without extent cannot be drawn on; such a view gets one unit.
    if (!(std::isfinite(w) && w > 0)) w = 1.0;
    if (!(std::isfinite(h) && h > 0)) h = 1.0;
    const double n = marginDivisor > 1 ? marginDivisor : 9.0;
    r.scale.left = view.left - w / n;
    r.scale.width = w;
    r.scale.top = std::isfinite(view.top) ? view.top : 0.0;
    r.scale.height = -h;
    return r;
}

UnitView viewFromScale(const Scale& s, double marginDivisor, double stretch)
{
    UnitView u;
    u.left = s.left + s.width / marginDivisor;
    u.width = s.width / stretch;
    u.top = s.top;
    u.height = -s.height / stretch;
    return u;
}

Scale overviewScale(const RecordExtent& e)
{
    const float w0 = static_cast<float>(e.lengthMs * 1.1 * kXUnitsPerMs);
    const float t0 = static_cast<float>(e.vmax * 1.1 * kYUnitsPerMps * 1.02);
    const float h0 = static_cast<float>((e.vmax * 1.1 - e.vmin) * 1.2 * kYUnitsPerMps * 1.05);
    const double sw = w0 * (4.0 / 3.0);
    const double sh = h0 * (4.0 / 3.0);
    return {-sw / 4, t0, sw, -sh};
}

UnitView overviewRectangle(UnitView v, const Scale& s, PixelSize picture)
{
    if (s.width / 100 > v.width) v.width = s.width / 100;
    if (std::fabs(s.height) / 20 > v.height) v.height = std::fabs(s.height) / 20;
    const bool finite = std::isfinite(v.left) && std::isfinite(v.width) && std::isfinite(v.top) && std::isfinite(v.height);
    if (picture.width < 2 || picture.height < 2 || !finite) return v;
    // A side is drawn in the pixel it lies in: the last column and row begin a pixel in from the
    // right and the lower edge.
    const double left = s.left;
    const double right = s.left + s.width - s.width / picture.width;
    const double top = s.top;
    const double bottom = s.top - std::fabs(s.height) + std::fabs(s.height) / picture.height;
    v.width = std::min(v.width, right - left);
    v.height = std::min(v.height, top - bottom);
    v.left = std::clamp(v.left, left, right - v.width);
    v.top = std::clamp(v.top, bottom + v.height, top);
    return v;
}

}  // namespace diagram
