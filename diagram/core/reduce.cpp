#include "diagram/core/reduce.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace diagram {
namespace {

// The rule every way of finding a column's extremes follows: the first sample stands until a
// later one is strictly lower (higher). A sample that is no number compares neither way, so it
// is passed over, and a first sample that is no number stands.
void plainExtremes(const double* p, std::size_t count, std::size_t& iMin, std::size_t& iMax)
{
    std::size_t at0 = 0;
    std::size_t at1 = 0;
    if (count > 0) {
        double lo = p[0];
        double hi = p[0];
        for (std::size_t j = 1; j < count; ++j) {
            if (p[j] < lo) {
                lo = p[j];
                at0 = j;
            }
            if (p[j] > hi) {
                hi = p[j];
                at1 = j;
            }
        }
    }
    iMin = at0;
    iMax = at1;
}

// The same with blocks of sixteen compared as a whole, and only the winning block searched for
// the index; the running extremes improve rarely, so the comparisons are well predicted. (A
// running extreme per vector lane waits on its last comparison at every step: even with 256-bit
// vectors that ran at under half this speed.) The vector minimum and maximum pass a sample that
// is no number on or drop it by its place in the pair, so a column holding one is left to the
// plain rule.
void pairedExtremes(const double* p, std::size_t count, std::size_t& iMin, std::size_t& iMax)
{
#if defined(__SSE2__)
    constexpr std::size_t kBlock = 16;
    if (count < kBlock) {
        plainExtremes(p, count, iMin, iMax);
        return;
    }
    double lo = p[0];
    double hi = p[0];
    std::size_t blockLo = 0;
    std::size_t blockHi = 0;
    std::size_t j = 0;
    __m128d odd = _mm_setzero_pd();
    for (; j + kBlock <= count; j += kBlock) {
        const double* q = p + j;
        const __m128d a0 = _mm_loadu_pd(q), a1 = _mm_loadu_pd(q + 2), a2 = _mm_loadu_pd(q + 4),
                      a3 = _mm_loadu_pd(q + 6), a4 = _mm_loadu_pd(q + 8), a5 = _mm_loadu_pd(q + 10),
                      a6 = _mm_loadu_pd(q + 12), a7 = _mm_loadu_pd(q + 14);
        const __m128d mn = _mm_min_pd(_mm_min_pd(_mm_min_pd(a0, a1), _mm_min_pd(a2, a3)),
                                      _mm_min_pd(_mm_min_pd(a4, a5), _mm_min_pd(a6, a7)));
        const __m128d mx = _mm_max_pd(_mm_max_pd(_mm_max_pd(a0, a1), _mm_max_pd(a2, a3)),
                                      _mm_max_pd(_mm_max_pd(a4, a5), _mm_max_pd(a6, a7)));
        // Unordered where either of a pair is no number.
        odd = _mm_or_pd(odd, _mm_or_pd(_mm_or_pd(_mm_cmpunord_pd(a0, a1), _mm_cmpunord_pd(a2, a3)),
                                       _mm_or_pd(_mm_cmpunord_pd(a4, a5), _mm_cmpunord_pd(a6, a7))));
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
    if (_mm_movemask_pd(odd) != 0) {
        plainExtremes(p, count, iMin, iMax);
        return;
    }
    // The blocks held numbers only; in the rest the comparisons pass over any that is not one.
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
#else
    plainExtremes(p, count, iMin, iMax);
#endif
}

// The points as they are found.
struct PointList {
    std::vector<CurvePoint>& out;
    void begin(std::size_t most)
    {
        out.clear();
        out.reserve(most);
    }
    void add(double x, double y) { out.push_back({x, y}); }
    void end() {}
};

// The same as x, y pairs with y scaled, the form the drawing takes, written in place.
struct ScaledLine {
    std::vector<double>& out;
    double yScale;
    double* at = nullptr;
    void begin(std::size_t most)
    {
        out.resize(2 * most);
        at = out.data();
    }
    void add(double x, double y)
    {
        at[0] = x;
        at[1] = y * yScale;
        at += 2;
    }
    void end() { out.resize(static_cast<std::size_t>(at - out.data())); }
};

// The column loop shared by both reductions; `extremes(i, count, iMin, iMax)` finds the first
// minimum and maximum of v[i..i + count) as offsets from i.
template <class Out, class Extremes>
void reduceColumns(const double* v, std::size_t n, const ColumnEdges& g, bool reduce, Out& out, Extremes extremes)
{
    const double x0 = g.x0();
    const double dx = g.dx();
    if (n == 0 || v == nullptr) {
        out.begin(0);
        out.end();
        return;
    }
    if (!(dx > 0) || !std::isfinite(dx)) {
        // All samples at one time: the column's extremes are the whole picture.
        std::size_t iMin = 0;
        std::size_t iMax = 0;
        extremes(0, n, iMin, iMax);
        out.begin(4);
        out.add(x0, v[0]);
        out.add(x0, v[iMin]);
        out.add(x0, v[iMax]);
        out.add(x0, v[n - 1]);
        out.end();
        return;
    }
    const double last = static_cast<double>(n - 1);
    // The samples in view and one neighbour on each side, so the lines into the view are kept.
    double first = std::floor((g.viewLeft() - x0) / dx);
    double end = std::ceil((g.viewRight() - x0) / dx);
    if (!(first <= last) || !(end >= 0)) {
        out.begin(0);
        out.end();
        return;
    }
    first = std::max(0.0, first);
    end = std::min(last, end);
    const std::size_t i0 = static_cast<std::size_t>(first);
    const std::size_t i1 = static_cast<std::size_t>(end);

    const int columns = g.columns();
    const std::size_t inView = i1 - i0 + 1;
    if (!reduce || columns <= 0 || inView <= 4 * static_cast<std::size_t>(columns)) {
        out.begin(inView);
        for (std::size_t i = i0; i <= i1; ++i) out.add(x0 + static_cast<double>(i) * dx, v[i]);
        out.end();
        return;
    }

    out.begin(4 * (static_cast<std::size_t>(columns) + 2));
    std::size_t i = i0;
    // Column c covers [viewLeft + c * colWidth, viewLeft + (c + 1) * colWidth); the samples
    // before the view form column -1 and those after it column `columns`.
    for (int c = -1; c <= columns && i <= i1; ++c) {
        std::size_t stop;  // one past the column's last sample
        if (c == columns) {
            stop = i1 + 1;
        } else {
            const double k = g.edge(c + 1);
            // Compared as doubles first: with a tiny sample step k can be infinite.
            stop = !(k > static_cast<double>(i)) ? i : k >= static_cast<double>(i1 + 1) ? i1 + 1 : static_cast<std::size_t>(k);
        }
        if (stop <= i) continue;
        const double* p = v + i;
        const std::size_t count = stop - i;
        std::size_t iMin = 0;
        std::size_t iMax = 0;
        extremes(i, count, iMin, iMax);
        const auto point = [&](std::size_t j) { out.add(x0 + static_cast<double>(i + j) * dx, p[j]); };
        point(0);
        const std::size_t a = std::min(iMin, iMax);
        const std::size_t b = std::max(iMin, iMax);
        if (a != 0) point(a);
        if (b != 0 && b != a) point(b);
        if (count - 1 != b && count > 1) point(count - 1);
        i = stop;
    }
    out.end();
}

}  // namespace

void columnExtremes(const double* p, std::size_t count, std::size_t& iMin, std::size_t& iMax)
{
    pairedExtremes(p, count, iMin, iMax);
}

void columnExtremes(ExtremesPath path, const double* p, std::size_t count, std::size_t& iMin, std::size_t& iMax)
{
    if (path == ExtremesPath::Sse2)
        pairedExtremes(p, count, iMin, iMax);
    else
        plainExtremes(p, count, iMin, iMax);
}

void curvePoints(const double* v, std::size_t n, double x0, double dx, double viewLeft, double viewRight,
                 int columns, bool reduce, std::vector<CurvePoint>& out)
{
    PointList points{out};
    reduceColumns(v, n, ColumnEdges(x0, dx, viewLeft, viewRight, columns), reduce, points,
                  [v](std::size_t i, std::size_t count, std::size_t& iMin, std::size_t& iMax) {
                      columnExtremes(v + i, count, iMin, iMax);
                  });
}

namespace {

// Extremes of a column through the summary.
auto summaryExtremes(const CurveSummary& summary)
{
    // Below a few thousand samples per column the blocks' scattered reads cost more than one
    // streaming pass over the column, so the summary is consulted only for long columns.
    return [&summary](std::size_t i, std::size_t count, std::size_t& iMin, std::size_t& iMax) {
        if (count < CurveSummary::kWorthFrom) {
            columnExtremes(summary.samples() + i, count, iMin, iMax);
            return;
        }
        summary.extremes(i, i + count, iMin, iMax);
        iMin -= i;
        iMax -= i;
    };
}

}  // namespace

void curvePoints(const CurveSummary& summary, double x0, double dx, double viewLeft, double viewRight, int columns,
                 std::vector<CurvePoint>& out)
{
    PointList points{out};
    reduceColumns(summary.samples(), summary.size(), ColumnEdges(x0, dx, viewLeft, viewRight, columns), true, points,
                  summaryExtremes(summary));
}

void curvePolyline(const CurveSummary& summary, const ColumnEdges& edges, double yScale, std::vector<double>& xy)
{
    ScaledLine line{xy, yScale};
    reduceColumns(summary.samples(), summary.size(), edges, true, line, summaryExtremes(summary));
}

ColumnEdges::ColumnEdges(double x0, double dx, double viewLeft, double viewRight, int columns)
    : x0_(x0), dx_(dx), left_(std::min(viewLeft, viewRight)), right_(std::max(viewLeft, viewRight)), columns_(columns)
{
    if (!(dx > 0) || !std::isfinite(dx) || columns <= 0) return;
    const double colWidth = (right_ - left_) / columns;
    edges_.resize(static_cast<std::size_t>(columns) + 1);
    for (int m = 0; m <= columns; ++m) edges_[static_cast<std::size_t>(m)] = std::ceil((left_ + m * colWidth - x0) / dx);
}

namespace {

// The first minimum and maximum among the samples that are numbers (0, 0 where none is). Inside
// a range, unlike at its first sample, one that is no number must not stand for a block or run.
void numberExtremes(const double* p, std::size_t count, std::size_t& iMin, std::size_t& iMax)
{
    std::size_t s = 0;
    while (s < count && std::isnan(p[s])) ++s;
    if (s == count) {
        iMin = iMax = 0;
        return;
    }
    columnExtremes(p + s, count - s, iMin, iMax);
    iMin += s;
    iMax += s;
}

}  // namespace

void CurveSummary::clear()
{
    v_ = nullptr;
    n_ = 0;
    levels_.clear();
}

void CurveSummary::build(const double* v, std::size_t n)
{
    clear();
    if (v == nullptr || n == 0 || n > UINT32_MAX) return;
    v_ = v;
    n_ = n;
    // Finest level from the samples (a short last block covers what is left), then each level
    // pairs the blocks of the one below until a single block remains.
    const std::size_t blocks = (n + kLeaf - 1) / kLeaf;
    Level leaf(blocks);
    for (std::size_t j = 0; j < blocks; ++j) {
        const std::size_t a = j * kLeaf;
        const std::size_t count = std::min(kLeaf, n - a);
        std::size_t iMin = 0;
        std::size_t iMax = 0;
        numberExtremes(v + a, count, iMin, iMax);
        leaf[j] = {v[a + iMin], v[a + iMax], static_cast<std::uint32_t>(a + iMin), static_cast<std::uint32_t>(a + iMax)};
    }
    levels_.push_back(std::move(leaf));
    while (levels_.back().size() > 1) {
        const Level& b = levels_.back();
        const std::size_t size = b.size();
        const std::size_t m = (size + 1) / 2;
        Level up(m);
        for (std::size_t j = 0; j < m; ++j) {
            const Block& l = b[2 * j];
            const Block& r = b[std::min(2 * j + 1, size - 1)];
            // The left block wins ties: the first extreme is the one that counts. A block of
            // samples that are no number has no extremes.
            const Block& lo = r.minValue < l.minValue || std::isnan(l.minValue) ? r : l;
            const Block& hi = r.maxValue > l.maxValue || std::isnan(l.maxValue) ? r : l;
            up[j] = {lo.minValue, hi.maxValue, lo.minAt, hi.maxAt};
        }
        levels_.push_back(std::move(up));
    }
}

void CurveSummary::extremes(std::size_t a, std::size_t e, std::size_t& iMin, std::size_t& iMax) const
{
    const std::size_t firstBlock = (a + kLeaf - 1) / kLeaf;
    const std::size_t endBlock = e / kLeaf;
    if (levels_.empty() || endBlock <= firstBlock + 1) {
        // Too short for whole blocks to pay off: read the samples.
        columnExtremes(v_ + a, e - a, iMin, iMax);
        iMin += a;
        iMax += a;
        return;
    }
    // The range in order: loose samples up to the first whole block, whole blocks as the fewest
    // aligned blocks of the levels, loose samples after the last whole block. Each part only
    // replaces the running extreme when strictly better, which keeps the first.
    double lo = v_[a];
    double hi = v_[a];
    std::size_t loAt = a;
    std::size_t hiAt = a;
    const auto samples = [&](std::size_t from, std::size_t to) {
        if (from >= to) return;
        std::size_t jMin = 0;
        std::size_t jMax = 0;
        numberExtremes(v_ + from, to - from, jMin, jMax);
        if (v_[from + jMin] < lo) {
            lo = v_[from + jMin];
            loAt = from + jMin;
        }
        if (v_[from + jMax] > hi) {
            hi = v_[from + jMax];
            hiAt = from + jMax;
        }
    };
    const auto block = [&](std::size_t level, std::size_t j) {
        const Block& b = levels_[level][j];
        if (b.minValue < lo) {
            lo = b.minValue;
            loAt = b.minAt;
        }
        if (b.maxValue > hi) {
            hi = b.maxValue;
            hiAt = b.maxAt;
        }
    };
    samples(a + 1, firstBlock * kLeaf);
    std::size_t right[64][2];
    std::size_t rights = 0;
    std::size_t l = firstBlock;
    std::size_t r = endBlock;
    for (std::size_t level = 0; l < r; ++level) {
        if (l & 1) block(level, l++);
        if (r & 1) {
            --r;
            right[rights][0] = level;
            right[rights][1] = r;
            ++rights;
        }
        l >>= 1;
        r >>= 1;
    }
    while (rights > 0) {
        --rights;
        block(right[rights][0], right[rights][1]);
    }
    samples(endBlock * kLeaf, e);
    iMin = loAt;
    iMax = hiAt;
}

}  // namespace diagram
