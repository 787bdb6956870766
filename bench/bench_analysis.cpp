// Parsing a data file of 1,000,000 samples into the window state, beside a baseline that only
// converts the same sample lines to doubles with std::from_chars; and opening that file in an
// offscreen analysis window end to end.
#include "bench/ratio_reporter.h"
#include "analysis/core/ctd_reader.h"
#include "analysis/frm_tabchild.h"
#include "numbers/numbers.h"
#include "platform/fakes.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kSamples = 1000000;

const std::string& fileBytes()
{
    static const std::string bytes = [] {
        std::string out;
        const char* header[30] = {"Bench", "1.1.2020", "10:00", "Car", "Tester", "0", "1000030", "1.5", "40",
                                  "1000000", "1", "0", "0.001", "0", "1500", "1545", "1.013", "20", "2.1",
                                  "cfg", "wx", "road", "0", "0", "0", "0", "0", "0", "0", "0"};
        for (const char* h : header) {
            out += h;
            out += "\r\n";
        }
        for (int j = 0; j < kSamples; ++j) {
            out += numbers::numberToText(40.0 * std::exp(-j * 1e-6) + 0.123456 * (j % 7));
            out += "\r\n";
        }
        return out;
    }();
    return bytes;
}

void BM_ParseDataFile(benchmark::State& state)
{
    const std::string& bytes = fileBytes();
    for (auto _ : state) {
        state::TabchildData data;
        const analysis::DataFileRead r = analysis::parseDataFile(bytes, data);
        if (!r.ok) state.SkipWithError("refused");
        benchmark::DoNotOptimize(data.velocitySamples.data());
    }
}
BENCHMARK(BM_ParseDataFile)->Unit(benchmark::kMillisecond);

void BM_FromCharsBaseline(benchmark::State& state)
{
    const std::string& bytes = fileBytes();
    for (auto _ : state) {
        std::vector<double> values(kSamples + 1);
        const char* p = bytes.data();
        const char* end = p + bytes.size();
        int line = 0, k = 0;
        while (p < end) {
            const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            const char* stop = nl ? nl : end;
            const char* last = stop > p && stop[-1] == '\r' ? stop - 1 : stop;
            if (++line > 30 && k < kSamples) std::from_chars(p, last, values[static_cast<std::size_t>(++k)]);
            p = nl ? nl + 1 : end;
        }
        benchmark::DoNotOptimize(values.data());
    }
}
BENCHMARK(BM_FromCharsBaseline)->Unit(benchmark::kMillisecond);

void BM_OpenWindowEndToEnd(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("million.ctd"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return state.SkipWithError("cannot write");
        f.write(fileBytes().data(), static_cast<qint64>(fileBytes().size()));
    }
    platform::ScopedFakes fakes;
    for (auto _ : state) {
        analysis::FrmTabchild window;
        window.resize(800, 646);
        window.show();
        if (!window.ctdOpen(path)) state.SkipWithError("open failed");
        QApplication::processEvents();  // the first paint of the grids and the diagram
        benchmark::DoNotOptimize(window.data.velocitySamples.data());
    }
}
BENCHMARK(BM_OpenWindowEndToEnd)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto parse = reporter.times.find("BM_ParseDataFile");
    const auto base = reporter.times.find("BM_FromCharsBaseline");
    if (parse != reporter.times.end() && base != reporter.times.end() && base->second > 0)
        std::fputs(("parse / from_chars baseline: " + numbers::formatNumber(parse->second / base->second, "0.00") +
                    "x (target within 1.5x)\n").c_str(), stdout);
    benchmark::Shutdown();
    return 0;
}
