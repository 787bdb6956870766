#include "diagram/core/reduce.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace diagram {
namespace {

// Index of the first minimum and of the first maximum of p[0..count), count >= 1. Blocks of
// sixteen are compared as a whole, and only the winning block is searched for the index; the
// running extremes improve rarely, so the comparisons are well predicted.
void columnExtremes(const double* p, std::size_t count, std::size_t& iMin, std::size_t& iMax)
{
    double lo = p[0];
    double hi = p[0];
    std::size_t blockLo = 0;
    std::size_t blockHi = 0;
    std::size_t j = 0;
    constexpr std::size_t kBlock = 16;
#if defined(__SSE2__)
    for (; j + kBlock <= count; j += kBlock) {
        const double* q = p + j;
        __m128d mn = _mm_min_pd(_mm_min_pd(_mm_loadu_pd(q), _mm_loadu_pd(q + 2)),
                                _mm_min_pd(_mm_loadu_pd(q + 4), _mm_loadu_pd(q + 6)));
        __m128d mx = _mm_max_pd(_mm_max_pd(_mm_loadu_pd(q), _mm_loadu_pd(q + 2)),
                                _mm_max_pd(_mm_loadu_pd(q + 4), _mm_loadu_pd(q + 6)));
        const __m128d mn2 = _mm_min_pd(_mm_min_pd(_mm_loadu_pd(q + 8), _mm_loadu_pd(q + 10)),
                                       _mm_min_pd(_mm_loadu_pd(q + 12), _mm_loadu_pd(q + 14)));
        const __m128d mx2 = _mm_max_pd(_mm_max_pd(_mm_loadu_pd(q + 8), _mm_loadu_pd(q + 10)),
                                       _mm_max_pd(_mm_loadu_pd(q + 12), _mm_loadu_pd(q + 14)));
        mn = _mm_min_pd(mn, mn2);
        mx = _mm_max_pd(mx, mx2);
        const double bmin = std::min(_mm_cvtsd_f64(mn), _mm_cvtsd_f64(_mm_unpackhi_pd(mn, mn)));
        const double bmax = std::max(_mm_cvtsd_f64(mx), _mm_cvtsd_f64(_mm_unpackhi_pd(mx, mx)));
        if (bmin < lo) {
            lo = bmin;
            blockLo = j;
        }
        if (bmax > hi) {
            hi = bmax;
            blockHi = j;
        }
    }
#endif
    std::size_t tailLo = count;
    std::size_t tailHi = count;
    for (; j < count; ++j) {
        if (p[j] < lo) {
            lo = p[j];
            tailLo = j;
        }
        if (p[j] > hi) {
            hi = p[j];
            tailHi = j;
        }
    }
    const auto find = [&](std::size_t from, double value) {
        for (std::size_t k = from; k < count; ++k)
            if (p[k] == value) return k;
        return from;
    };
    iMin = tailLo != count ? tailLo : find(blockLo, lo);
    iMax = tailHi != count ? tailHi : find(blockHi, hi);
}

}  // namespace

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
        columnExtremes(p, count, iMin, iMax);
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
