#pragma once
// The points of one curve that a plot of a given pixel width needs. Standard library only.
#include <cstddef>
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

}  // namespace diagram
