#include "diagram/core/reduce.h"

#include <algorithm>
#include <cmath>

namespace diagram {

void curvePoints(const double* v, std::size_t n, double x0, double dx, double viewLeft, double viewRight,
                 int columns, bool reduce, std::vector<CurvePoint>& out)
{
    out.clear();
    if (n == 0 || v == nullptr) return;
    if (!(dx > 0) || !std::isfinite(dx)) {
        // All samples at one time: the column's extremes are the whole picture.
        const auto [lo, hi] = std::minmax_element(v, v + n);
        out.push_back({x0, v[0]});
        out.push_back({x0, *lo});
        out.push_back({x0, *hi});
        out.push_back({x0, v[n - 1]});
        return;
    }
    if (viewRight < viewLeft) std::swap(viewLeft, viewRight);
    const double last = static_cast<double>(n - 1);
    // The samples in view and one neighbour on each side, so the lines into the view are kept.
    double first = std::floor((viewLeft - x0) / dx);
    double end = std::ceil((viewRight - x0) / dx);
    if (!(first <= last) || !(end >= 0)) return;
    first = std::max(0.0, first);
    end = std::min(last, end);
    const std::size_t i0 = static_cast<std::size_t>(first);
    const std::size_t i1 = static_cast<std::size_t>(end);

    const std::size_t inView = i1 - i0 + 1;
    if (!reduce || columns <= 0 || inView <= 4 * static_cast<std::size_t>(columns)) {
        out.reserve(inView);
        for (std::size_t i = i0; i <= i1; ++i) out.push_back({x0 + static_cast<double>(i) * dx, v[i]});
        return;
    }

    out.reserve(4 * static_cast<std::size_t>(columns) + 8);
    const double colWidth = (viewRight - viewLeft) / columns;
    std::size_t i = i0;
    // Column c covers [viewLeft + c * colWidth, viewLeft + (c + 1) * colWidth); the samples
    // before the view form column -1 and those after it column `columns`.
    for (int c = -1; c <= columns && i <= i1; ++c) {
        std::size_t stop;  // one past the column's last sample
        if (c == columns) {
            stop = i1 + 1;
        } else {
            const double edge = viewLeft + (c + 1) * colWidth;
            const double k = std::ceil((edge - x0) / dx);
            stop = k <= static_cast<double>(i) ? i : std::min(i1 + 1, static_cast<std::size_t>(k));
        }
        if (stop <= i) continue;
        const double* p = v + i;
        const std::size_t count = stop - i;
        std::size_t iMin = 0;
        std::size_t iMax = 0;
        double lo = p[0];
        double hi = p[0];
        for (std::size_t j = 1; j < count; ++j) {
            const double y = p[j];
            if (y < lo) {
                lo = y;
                iMin = j;
            }
            if (y > hi) {
                hi = y;
                iMax = j;
            }
        }
        const auto point = [&](std::size_t j) { out.push_back({x0 + static_cast<double>(i + j) * dx, p[j]}); };
        point(0);
        const std::size_t a = std::min(iMin, iMax);
        const std::size_t b = std::max(iMin, iMax);
        if (a != 0) point(a);
        if (b != 0 && b != a) point(b);
        if (count - 1 != b && count > 1) point(count - 1);
        i = stop;
    }
}

}  // namespace diagram
