#include "diagram/curves.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace diagram {

const CurveSummary& CurveSummaries::get(int index, const state::TabchildData& data, const state::ColMatrix& m,
                                        int set, int rows, std::uint64_t& generation)
{
    Entry& c = entries_.at(static_cast<std::size_t>(index));
    const double* v = m.column(set) + 1;
    std::array<std::uint64_t, 17> probe{};
    for (std::size_t k = 0; k < probe.size(); ++k) {
        const std::size_t at = static_cast<std::size_t>(rows - 1) * k / (probe.size() - 1);
        std::memcpy(&probe[k], v + at, sizeof(double));  // bitwise, so NaN compares equal
    }
    if (!c.valid || c.version != data.dataVersion || c.array != m.data() || c.arrayRows != m.rows() ||
        c.arrayCols != m.cols() || c.rows != rows || c.probe != probe || c.summary.samples() != v) {
        c.summary.build(v, static_cast<std::size_t>(rows));
        c.valid = true;
        c.version = data.dataVersion;
        c.array = m.data();
        c.arrayRows = m.rows();
        c.arrayCols = m.cols();
        c.rows = rows;
        c.probe = probe;
        c.generation = ++builds_;
    }
    generation = c.generation;
    return c.summary;
}

void CurveLayer::draw(DrawingSurface& s, const state::TabchildData& data, bool fitted, bool reduce,
                      const CurveStyles& styles, const QRect& plot)
{
    const state::ColMatrix& m = fitted ? data.fittedVelocities : data.velocitySamples;
    if (m.empty() || plot.isEmpty()) return;
    const int rows = std::min(data.samples(), m.rows());
    if (rows < 1) return;
    const double dxUnits = data.sampleInterval * 1000.0 * kXUnitsPerMs;
    // The pixel columns of the plot area, where the curves are reduced and drawn.
    const QSize picture = s.pictureSize();
    const PixelMapping map{s.scale(), {picture.width(), picture.height()}};
    const double left = map.scaleX(plot.left());
    const double right = map.scaleX(plot.right() + 1);
    const int columns = plot.width();
    const int sets = std::min({data.setCount, m.cols(), 30});
    std::vector<CurvePoint> pts;
    std::vector<double> xy;
    const ColumnEdges edges(0.0, dxUnits, left, right, columns);
    s.setDrawWidth(1);
    s.setDotted(false);
    s.setClip(plot);
    for (int set = 1; set <= sets; ++set) {
        const int index = 2 * (set - 1) + (fitted ? 1 : 0);
        const CurveStyle& style = styles[static_cast<std::size_t>(index)];
        if (!style.shown) continue;
        s.setForeColor(style.colour);
        // Row 0 is never drawn: row r lies at time (r - 1) * dt.
        const double* v = m.column(set) + 1;
        if (reduce) {
            std::uint64_t generation = 0;
            const CurveSummary& summary = summaries_.get(index, data, m, set, rows, generation);
            Kept& c = kept_[static_cast<std::size_t>(index)];
            if (!c.valid || c.generation != generation || c.viewLeft != left || c.viewRight != right ||
                c.dx != dxUnits || c.columns != columns) {
                curvePolyline(summary, edges, kYUnitsPerMps, c.xy);
                c.valid = true;
                c.generation = generation;
                c.viewLeft = left;
                c.viewRight = right;
                c.dx = dxUnits;
                c.columns = columns;
                c.line = ++lines_;
            }
            s.polyline(c.xy.data(), c.xy.size() / 2, &c.pixels, c.line);
        } else {
            curvePoints(v, static_cast<std::size_t>(rows), 0.0, dxUnits, left, right, columns, false, pts);
            xy.resize(pts.size() * 2);
            for (std::size_t i = 0; i < pts.size(); ++i) {
                xy[2 * i] = pts[i].x;
                xy[2 * i + 1] = pts[i].y * kYUnitsPerMps;
            }
            s.polyline(xy.data(), xy.size() / 2);
        }
    }
    s.clipOff();
    s.setForeColor(QColor(0, 0, 0));
}

}  // namespace diagram
