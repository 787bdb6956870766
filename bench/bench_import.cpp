// The import of a 200,000-row velocity text file ("t;v", decimal comma, km/h): the decimal-comma
// rewrite, the statistics and the data-file text, beside a baseline that converts the same
// velocities with std::from_chars and writes them with std::to_chars. The ratio of the two is
// what to watch.
#include "bench/ratio_reporter.h"
#include "import/core/ctd_writer.h"
#include "import/core/text_import.h"
#include "numbers/numbers.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 200000;

const std::vector<std::string>& rows()
{
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> out{"Bench run", "t [s];v [km/h]"};
        for (int i = 0; i < kRows; ++i) {
            std::string t = numbers::formatNumber(i * 0.001, "0.000");
            std::string v = numbers::formatNumber(120.0 * std::exp(-i * 5e-6) + 0.01 * (i % 5), "0.00");
            for (char& c : t) if (c == '.') c = ',';
            for (char& c : v) if (c == '.') c = ',';
            out.push_back(t + ";" + v);
        }
        return out;
    }();
    return lines;
}

void BM_ImportAndWrite(benchmark::State& state)
{
    for (auto _ : state) {
        importer::ImportState s;
        static const importer::ImportLines lines = rows();  // as the import holds them once read
        s.importLines = lines;
        s.importLineCount = static_cast<std::int32_t>(s.importLines.size());
        s.headerRows = 2;
        s.timeColumn = 1;
        s.separatorCode = 1;
        s.velocityUnit = 1;
        importer::applyDecimalComma(s.importLines, s.importLineCount, s.headerRows);
        const auto stats = importer::importStatistics(s.importLines, s.importLineCount, s.headerRows, s.timeColumn, s.separatorCode);
        s.minVelocity = stats.minVelocity;
        s.maxVelocity = stats.maxVelocity;
        std::array<std::string, 30> header;
        header.fill("0");
        const std::string text = importer::ctdFileText(header, s);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_ImportAndWrite)->Unit(benchmark::kMillisecond);

void BM_FromCharsBaseline(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<std::string> lines = rows();
        std::string out;
        double lo = 1e9, hi = 0;
        for (std::size_t i = 2; i < lines.size(); ++i) {
            std::string& row = lines[i];
            for (char& c : row) if (c == ',') c = '.';
            const std::size_t p = row.find(';');
            double v = 0;
            std::from_chars(row.data() + p + 1, row.data() + row.size(), v);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
            char buf[32];
            auto r = std::to_chars(buf, buf + sizeof buf, v / 3.6, std::chars_format::general, 15);
            out.append(buf, r.ptr);
            out += "\r\n";
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::DoNotOptimize(lo + hi);
    }
}
BENCHMARK(BM_FromCharsBaseline)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto import = reporter.times.find("BM_ImportAndWrite");
    const auto base = reporter.times.find("BM_FromCharsBaseline");
    if (import != reporter.times.end() && base != reporter.times.end() && base->second > 0)
        std::printf("import and write / from_chars baseline: %.2fx\n", import->second / base->second);
    benchmark::Shutdown();
    return 0;
}
