// The series reader over a series file and the data files it names, all in one input (see
// splitFiles): the load, the window state, the load-time fit, the labels and grid cells, and a
// calculation with a coupling chosen by the input.
#include "analysis/core/calculation.h"
#include "analysis/core/header_grid.h"
#include "analysis/series/core/series_load.h"
#include "fuzz/fuzz_input.h"
#include "solver/coastfit.h"

#include <algorithm>
#include <cmath>

namespace {

const std::string kFolder = "/fuzz/";

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The files of the input as a folder: an exact name first, else the only one that matches it
// ignoring letter case, as on the disk.
series::FileSource memoryFolder(const std::map<std::string, std::string>& files)
{
    series::FileSource s;
    s.read = [&files](const std::string& path, std::string& bytes, std::string& error) {
        const auto it = path.rfind(kFolder, 0) == 0 ? files.find(path.substr(kFolder.size())) : files.end();
        if (it == files.end()) {
            error = "No such file or directory";
            return false;
        }
        bytes = it->second;
        return true;
    };
    s.find = [&files](const std::string& directory, const std::string& name) -> std::string {
        FUZZ_CHECK(directory == kFolder);
        if (files.count(name)) return directory + name;
        std::string found;
        int matches = 0;
        for (const auto& [candidate, bytes] : files) {
            if (candidate.size() != name.size()) continue;
            if (std::equal(candidate.begin(), candidate.end(), name.begin(), [](char a, char b) { return fold(a) == fold(b); })) {
                ++matches;
                found = directory + candidate;
            }
        }
        return matches == 1 ? found : std::string();
    };
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const int lambdaIndex = in.pick(17);
    const int mode = in.pick(3);
    const auto files = fuzz::splitFiles(in.rest(), "s.cts");
    series::SeriesLoad load = series::loadSeries(kFolder + "s.cts", memoryFolder(files));
    if (!load.content) {
        FUZZ_CHECK(load.message.has_value());
        FUZZ_CHECK(load.message->text.size() < 1500);
        return 0;
    }
    const series::SeriesContent& c = *load.content;
    const int n = c.file.count;
    const int L = c.file.samples;
    // The samples take no more doubles than the input has bytes.
    FUZZ_CHECK(static_cast<unsigned long long>(n) * (static_cast<unsigned long long>(L) + 1) <= size);
    FUZZ_CHECK(c.velocitySamples.rows() == L && c.velocitySamples.cols() == n);
    FUZZ_CHECK(c.sampleInterval > 0 && std::isfinite(c.sampleInterval));
    std::vector<int> firstLines;
    for (const auto& e : c.file.entries) firstLines.push_back(e.firstLine);
    const int rows = series::protocolRows(c);

    analysis::TabchildData d;
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
