#pragma once
// The points of one curve that a plot of a given pixel width needs. Standard library only.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace diagram {

struct CurvePoint {
    double x = 0;  // sample time in internal units
    double y = 0;  // the sample value (m/s)
};

// Samples v[0..n) lie at x = x0 + i * dx (internal units). Only the samples inside
// [viewLeft, viewRight] and their neighbours are kept. Where more than one sample falls into a
// pixel column (columns `columns` wide across the view), the column keeps its first, minimum,
// maximum and last sample in their order, so one-pixel lines look the same as through every
// sample. `reduce` false keeps every sample in view (the comparison rendering).
void curvePoints(const double* v, std::size_t n, double x0, double dx, double viewLeft, double viewRight,
                 int columns, bool reduce, std::vector<CurvePoint>& out);

// Index of the first minimum and of the first maximum of p[0..count) (0 and 0 for no samples):
// the first sample stands until a later one is strictly lower (higher). A sample that is no
// number is passed over, and a first sample that is no number stands. Takes the vector path
// where the build has it.
void columnExtremes(const double* p, std::size_t count, std::size_t& iMin, std::size_t& iMax);

// Each way of finding them on its own, so that every one is checked; all give the same indices.
// A path that this build lacks runs the plain loop.
enum class ExtremesPath { Plain, Sse2 };
void columnExtremes(ExtremesPath path, const double* p, std::size_t count, std::size_t& iMin, std::size_t& iMax);

// Minima and maxima of a curve over aligned blocks of 16, 32, 64, ... samples, built once for
// a set of samples, so that the extremes of any range are found without reading all of it.
// Holds the sample pointer: valid while the samples stay where and as they were.
class CurveSummary {
public:
    static constexpr std::size_t kLeaf = 16;  // samples per block of the finest level
    static constexpr std::size_t kWorthFrom = 2048;  // column length from which blocks are read

    CurveSummary() = default;
    void build(const double* v, std::size_t n);
    void clear();
    const double* samples() const { return v_; }
    std::size_t size() const { return n_; }

    // First index of the minimum and of the maximum of v[a..e) as columnExtremes finds them,
    // a < e <= size(). Records of 2^32 samples or more are not summarised (build leaves the
    // summary empty).
    void extremes(std::size_t a, std::size_t e, std::size_t& iMin, std::size_t& iMax) const;

private:
    // Per block its first minimum and first maximum, value and sample index. The index is kept
    // with the value so a look-up never walks back down to the samples.
    struct Block {
        double minValue, maxValue;
        std::uint32_t minAt, maxAt;
    };
    using Level = std::vector<Block>;

    const double* v_ = nullptr;
    std::size_t n_ = 0;
    std::vector<Level> levels_;  // levels_[k]: blocks of kLeaf << k samples
};

// As above over the summary's samples: the same points, but each reduced column costs a few
// block look-ups instead of a pass over its samples.
void curvePoints(const CurveSummary& summary, double x0, double dx, double viewLeft, double viewRight, int columns,
                 std::vector<CurvePoint>& out);
// Where the pixel columns of a view begin among samples at x = x0 + i * dx: the index of the
// first sample at or after each column's left edge. The same for every curve with that spacing,
// so worked out once for all of them.
class ColumnEdges {
public:
    ColumnEdges(double x0, double dx, double viewLeft, double viewRight, int columns);
    double x0() const { return x0_; }
    double dx() const { return dx_; }
    double viewLeft() const { return left_; }
    double viewRight() const { return right_; }
    int columns() const { return columns_; }
    // Left edge of column m (0..columns), as a sample index (not rounded into the record).
    double edge(int m) const { return edges_[static_cast<std::size_t>(m)]; }

private:
    double x0_, dx_, left_, right_;
    int columns_;
    std::vector<double> edges_;
};

// The same points as x, y pairs, each y multiplied by `yScale` (the polyline the surface draws).
void curvePolyline(const CurveSummary& summary, const ColumnEdges& edges, double yScale, std::vector<double>& xy);

}  // namespace diagram
