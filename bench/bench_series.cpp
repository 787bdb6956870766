// Opening a series of 30 data files of 100,000 samples each, and the coupled calculation over
// all 30 runs beside 30 single calculations of the same runs.
#include "analysis/series/core/series_load.h"
#include "bench/series_files.h"
#include "solver/coastfit.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kFiles = 30;
constexpr int kSamples = 100000;

// 30 noise-free coast-downs, slightly different per run, written once into a scratch folder.
struct Fixture {
    std::filesystem::path dir;
    std::string seriesPath;
    state::TabchildData data;

    Fixture()
    {
        dir = std::filesystem::temp_directory_path() / "tw-bench-series";
        seriesPath = bench::writeSeries(dir, kFiles, kSamples);
        auto load = series::loadSeries(seriesPath);
        if (!load.content) {
            std::fprintf(stderr, "bench series refused: %s\n", load.message ? load.message->text.c_str() : "");
            std::exit(1);
        }
        series::applySeries(std::move(*load.content), data);
    }
    ~Fixture()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

struct Outputs {
    std::vector<double> coefficients, residuals;
    state::ColMatrix fitted;
};

void coupled(const state::TabchildData& d, Outputs& o)
{
    const int n = d.setCount, N = d.velocitySamples.rows();
    o.coefficients.assign(static_cast<std::size_t>(4 * n + 1), 0);
    o.residuals.assign(static_cast<std::size_t>(n + 1), 0);
    o.fitted.resize(N, n);
    ccoeff(d.velocitySamples.data(), N, n, d.testParameters.data(), d.sampleInterval, 1e15, 0,
           o.coefficients.data(), o.residuals.data(), o.fitted.data());
}

void singles(const state::TabchildData& d, Outputs& o)
{
    const int n = d.setCount, N = d.velocitySamples.rows();
    o.coefficients.assign(5, 0);
    o.residuals.assign(2, 0);
    o.fitted.resize(N, 1);
    for (int j = 1; j <= n; ++j)
        ccoeff(d.velocitySamples.column(j), N, 1, d.testParameters.column(j), d.sampleInterval, 0, 0,
               o.coefficients.data(), o.residuals.data(), o.fitted.data());
}

void BM_OpenSeries(benchmark::State& state)
{
    const std::string path = fixture().seriesPath;
    for (auto _ : state) {
        auto load = series::loadSeries(path);
        state::TabchildData d;
        series::applySeries(std::move(*load.content), d);
        series::runReferenceFit(d, &ccoeff);
        benchmark::DoNotOptimize(d.fitReference.data());
    }
}
BENCHMARK(BM_OpenSeries)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CoupledCalculation(benchmark::State& state)
{
    Outputs o;
    for (auto _ : state) {
        coupled(fixture().data, o);
        benchmark::DoNotOptimize(o.coefficients.data());
    }
}
BENCHMARK(BM_CoupledCalculation)->Unit(benchmark::kMillisecond);

void BM_ThirtySingleCalculations(benchmark::State& state)
{
    Outputs o;
    for (auto _ : state) {
        singles(fixture().data, o);
        benchmark::DoNotOptimize(o.coefficients.data());
    }
}
BENCHMARK(BM_ThirtySingleCalculations)->Unit(benchmark::kMillisecond);

template <class F>
double medianSeconds(F f)
{
    std::vector<double> t;
    for (int i = 0; i < 5; ++i) {
        const auto a = std::chrono::steady_clock::now();
        f();
        t.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - a).count());
    }
    std::sort(t.begin(), t.end());
    return t[2];
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Outputs o;
    const double c = medianSeconds([&] { coupled(fixture().data, o); });
    const double s = medianSeconds([&] { singles(fixture().data, o); });
    std::printf("coupled calculation of %d runs x %d samples: %.1f ms; %d single calculations: %.1f ms; "
                "ratio coupled/single = %.2f\n", kFiles, kSamples, c * 1e3, kFiles, s * 1e3, c / s);
    return 0;
}
