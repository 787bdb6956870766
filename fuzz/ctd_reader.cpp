// The data-file reader, and what opening a data file does with what it read: the grids'
// header cells and labels, the diagram's default view, scale, axes, scroll bars and curve
// points, and the calculation through the solver. The window reads a file only as far as its
// header says the samples go; what it reads so gives what the whole file gives.
#include "analysis/core/calculation.h"
#include "analysis/core/ctd_reader.h"
#include "analysis/core/header_grid.h"
#include "diagram/core/defaults.h"
#include "diagram/core/reduce.h"
#include "diagram/core/scroll_model.h"
#include "diagram/core/ticks.h"
#include "diagram/core/view.h"
#include "fuzz/fuzz_input.h"
#include "numbers/numbers.h"
#include "platform/textfile.h"
#include "solver/coastfit.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Every kind of view the diagram builds from a record, drawn over `columns` pixel columns.
void drawDiagram(const state::TabchildData& d, int set, int columns)
{
    const diagram::DiagramSettings st;
    const diagram::RecordExtent extent = diagram::recordExtent(d);
    const diagram::View view = diagram::defaultView(extent);
    const diagram::UnitView units = diagram::toUnits(view);
    const diagram::ScaleResult scaled = diagram::diascale(units, false, st.marginDivisor, st.diagramStretch);
    diagram::viewFromScale(scaled.scale, st.marginDivisor, st.diagramStretch);
    const diagram::AxesLayout axes = diagram::layoutAxes(scaled.scale, st.marginDivisor);
    FUZZ_CHECK(axes.vertical.major.size() < 100000 && axes.horizontal.major.size() < 100000);
    diagram::NavBars bars;
    diagram::scrbarsettings(bars, view, extent, false);
    diagram::viewFromBars(bars);

    const int rows = d.velocitySamples.rows();
    if (rows < 1) return;
    const double dx = d.sampleInterval * 1000.0 * diagram::kXUnitsPerMs;
    const double* v = d.velocitySamples.column(set) + 1;
    std::vector<diagram::CurvePoint> points;
    diagram::curvePoints(v, static_cast<std::size_t>(rows), 0.0, dx, scaled.scale.left,
                         scaled.scale.left + scaled.scale.width, columns, true, points);
    diagram::CurveSummary summary;
    summary.build(v, static_cast<std::size_t>(rows));
    diagram::curvePoints(summary, 0.0, dx, scaled.scale.left, scaled.scale.left + scaled.scale.width, columns, points);
}

// The first `lines` lines of the bytes, each with its line end.
std::string_view firstLines(std::string_view bytes, long long lines)
{
    std::string_view rest = bytes;
    for (long long k = 0; k < lines && !rest.empty(); ++k) platform::takeLine(rest);
    return bytes.substr(0, bytes.size() - rest.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    state::TabchildData d;
    const analysis::DataFileRead read = analysis::parseDataFile(bytes, d);

    const std::string_view prefix = firstLines(bytes, datafile::lastLineNeeded(datafile::splitHeader(bytes)));
    state::TabchildData p;
    const analysis::DataFileRead prefixRead = analysis::parseDataFile(prefix, p);
    if (prefixRead.ok != read.ok) {
        // Only the rules over the whole file (a NUL byte, CR alone) see bytes the window does not read.
        FUZZ_CHECK(!read.ok && platform::notTextReason(prefix).empty() && !platform::notTextReason(bytes).empty());
    } else if (read.ok) {
        FUZZ_CHECK(p.samples() == d.samples() && p.headerValues(1, 1) == d.headerValues(1, 1));
        for (int r = 1; r <= d.samples(); ++r) FUZZ_CHECK(std::memcmp(&p.velocitySamples(r, 1), &d.velocitySamples(r, 1), sizeof(double)) == 0);
    }

    if (!read.ok) {
        // A refused file leaves the window as it was and says why.
        FUZZ_CHECK(!read.refusal.empty());
        FUZZ_CHECK(d.setCount == 0 && d.velocitySamples.empty() && d.dataVersion == 0);
        return 0;
    }
    const int n = d.samples();
    FUZZ_CHECK(n >= 1 && n <= datafile::kMaxSamples && d.velocitySamples.rows() == n);
    // No line of the file can stand for more than one sample.
    FUZZ_CHECK(static_cast<std::size_t>(n) <= size);
    FUZZ_CHECK(d.sampleInterval > 0 && std::isfinite(d.sampleInterval));

    analysis::setDataFilePath(d, "/fuzz/run.ctd");
    // Every cell one line, whatever separator the file's texts hold.
    for (int row = 0; row < analysis::kProtocolHeaderRows; ++row) {
        const std::string cell = analysis::protocolHeaderCell(d, row, 1);
        FUZZ_CHECK(fuzz::isOneLine(cell));
    }
    for (int row = 0; row < analysis::kResultGridRows; ++row) {
        const std::string cell = analysis::resultHeaderCell(d, row, 1);
        FUZZ_CHECK(fuzz::isOneLine(cell));
    }
    numbers::integerToText(read.minRow);
    numbers::numberToText(d.sampleCount);
    numbers::formatNumber(d.velocitySamples(1, 1), "#0.0");
    numbers::formatNumber(d.velocitySamples(n, 1), "#0.0");
    numbers::formatNumber(d.velocitySamples(n / 2 + 1, 1), "0.000");

    drawDiagram(d, 1, 16);
    drawDiagram(d, 1, 1 + static_cast<int>(size % 3000));

    // The solver's work grows with the samples; a long record adds nothing a short one misses.
    if (n <= 20000) {
        const auto outcome = analysis::runCalculation(d, ccoeff, analysis::CalculationRequest{});
        if (outcome.computed) {
            analysis::cdText(d.coefficients[4]);
            analysis::fr0Text(d.coefficients[3]);
            analysis::fitQualityText(d.fitQuality[1]);
            drawDiagram(d, 1, 640);
        } else {
            FUZZ_CHECK(!outcome.messages.empty());
        }
    }
    return 0;
}
