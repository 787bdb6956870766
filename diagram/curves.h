#pragma once
// The measured and fitted curves of a window's data sets, drawn one pixel wide in the colours of
// their legend entries, with what can be kept between redraws: per legend entry the summary of
// its samples (shared by every picture of the window) and, per picture, the points of the view
// drawn last.
#include "diagram/core/reduce.h"
#include "diagram/surface.h"
#include "state/tabchild_data.h"

#include <QColor>

#include <array>
#include <cstdint>
#include <vector>

namespace diagram {

inline constexpr int kCurveEntries = 2 * 30;  // legend entries 0..59 can have a curve

// Per legend entry: whether its curve is drawn and in which colour.
struct CurveStyle {
    bool shown = false;
    QColor colour;
};
using CurveStyles = std::array<CurveStyle, kCurveEntries>;

// The summaries of a window's curves, rebuilt when the samples behind them change.
class CurveSummaries {
public:
    // The summary of entry `index`, the curve of column `set` of `m` over `rows` samples, and a
    // count that changes whenever that summary is rebuilt.
    const CurveSummary& get(int index, const state::TabchildData& data, const state::ColMatrix& m, int set,
                            int rows, std::uint64_t& generation);

private:
    // What a summary was built from: the data version, the array (where it lies and its shape)
    // and a few sample values, so that a refill of the arrays is noticed even when nobody bumped
    // the version.
    struct Entry {
        bool valid = false;
        std::uint64_t version = 0;
        const double* array = nullptr;
        int arrayRows = 0;
        int arrayCols = 0;
        int rows = 0;
        std::array<std::uint64_t, 17> probe{};
        CurveSummary summary;
        std::uint64_t generation = 0;
    };
    std::array<Entry, kCurveEntries> entries_{};
    std::uint64_t builds_ = 0;
};

// The curves of one picture.
class CurveLayer {
public:
    explicit CurveLayer(CurveSummaries& summaries) : summaries_(summaries) {}

    // Draws the shown measured (or fitted) curves of every data set in ascending order, the
    // samples at their own times, inside the plot area (pixels of the picture) and nowhere else.
    // `reduce` false draws every sample in view (the comparison rendering).
    void draw(DrawingSurface& s, const state::TabchildData& data, bool fitted, bool reduce,
              const CurveStyles& styles, const QRect& plot);

private:
    // The polyline (x, y in internal units) of the view last drawn, reused while the view and
    // the summary stay, and the pixels it covered, filled again while the scale stays too.
    struct Kept {
        bool valid = false;
        std::uint64_t generation = 0;
        double viewLeft = 0, viewRight = 0, dx = 0;
        int columns = 0;
        std::vector<double> xy;
        std::uint64_t line = 0;  // changes with xy
        PolylinePixels pixels;
    };
    CurveSummaries& summaries_;
    std::array<Kept, kCurveEntries> kept_{};
    std::uint64_t lines_ = 0;
};

}  // namespace diagram
