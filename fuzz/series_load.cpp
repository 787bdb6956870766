// The series reader over a series file and the data files it names, all in one input (see
// splitFiles; a file may be a link to another, see memoryFolder): the load, the window state,
// the load-time fit, the labels and grid cells, and a calculation with a coupling chosen by the
// input.
#include "analysis/core/calculation.h"
#include "analysis/core/header_grid.h"
#include "analysis/series/core/series_load.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/memory_folder.h"
#include "solver/coastfit.h"

#include <algorithm>
#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const int lambdaIndex = in.pick(17);
    const int mode = in.pick(3);
    const auto files = fuzz::splitFiles(in.rest(), "s.cts");
    series::SeriesLoad load = series::loadSeries(fuzz::kFolder + "s.cts", fuzz::memoryFolder(files));
    if (!load.content) {
        FUZZ_CHECK(load.message.has_value());
        FUZZ_CHECK(load.message->text.size() < 1500);
        return 0;
    }
    const series::SeriesContent& c = *load.content;
    const int n = c.file.count;
    const int L = c.file.samples;
    // The samples take no more doubles than the input has bytes, whatever names a file has, but
    // for the small allowance every series gets.
    constexpr unsigned long long kAllowance = 1ull << 20;
    FUZZ_CHECK(static_cast<unsigned long long>(n) * (static_cast<unsigned long long>(L) + 1) <= size + kAllowance);
    FUZZ_CHECK(c.velocitySamples.rows() == L && c.velocitySamples.cols() == n);
    FUZZ_CHECK(c.sampleInterval > 0 && std::isfinite(c.sampleInterval));
    std::vector<int> firstLines;
    for (const auto& e : c.file.entries) firstLines.push_back(e.firstLine);
    const int rows = series::protocolRows(c);

    state::TabchildData d;
    series::applySeries(std::move(*load.content), d);
    const bool small = static_cast<long long>(n) * L <= 50000;
    if (small) series::runReferenceFit(d, ccoeff);
    series::summaryLabels(d);
    for (int j = 1; j <= n; ++j) {
        for (int row = 0; row < analysis::kProtocolHeaderRows; ++row) analysis::protocolHeaderCell(d, row, j);
        for (int row = 0; row < analysis::kResultGridRows; ++row) analysis::resultHeaderCell(d, row, j);
        const int first = firstLines[static_cast<std::size_t>(j - 1)];
        for (int row : {first - 1, first, first + L / 2, first + L, rows - 1})
            series::protocolSampleCell(d, j, first, row);
    }
    if (small) {
        const auto outcome = analysis::runCalculation(d, ccoeff, analysis::CalculationRequest{true, lambdaIndex, mode});
        if (outcome.computed)
            for (int i = 1; i <= n; ++i) analysis::fitQualityText(d.fitQuality[static_cast<std::size_t>(i)]);
    }
    return 0;
}
