// ccoeff on 30 runs x 100,000 samples beside the least work any fit with fitted curves must do:
// read every sample once and evaluate one tan per sample. Prints the ratio of the two.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "solver/coastfit.h"

namespace {

constexpr int32_t kRuns = 30;
constexpr int32_t kSamples = 100000;
constexpr double kDt = 0.001;

struct Data {
    std::vector<double> velocities, parameters, results, residuals, fitted;
    Data()
        : velocities(static_cast<size_t>(kRuns) * (kSamples + 1)), parameters(kRuns * 6),
          results(4 * kRuns + 1), residuals(kRuns + 1), fitted(velocities.size()) {
        for (int i = 0; i < kRuns; ++i) {
            const double F0 = 130 + 2 * i, k = 0.36 + 0.003 * i, M = 1500, v0 = 30;
            for (int j = 1; j <= kSamples; ++j)
                velocities[static_cast<size_t>(i) * (kSamples + 1) + j] =
                    std::sqrt(F0 / k) * std::tan(std::atan(std::sqrt(k / F0) * v0) - std::sqrt(F0 * k) * (j - 1) * kDt / M) +
                    0.005 * std::sin(0.37 * j + i);
            double* p = &parameters[static_cast<size_t>(i) * 6];
            p[1] = 1400, p[2] = M, p[3] = 1.0, p[4] = 20, p[5] = 2.2;
        }
    }
};

Data& data() {
    static Data d;
    return d;
}

void BM_ccoeff(benchmark::State& state) {
    Data& d = data();
    for (auto _ : state) {
        ccoeff(d.velocities.data(), kSamples, kRuns, d.parameters.data(), kDt, 1e3, 0, d.results.data(),
               d.residuals.data(), d.fitted.data());
        benchmark::DoNotOptimize(d.results.data());
        benchmark::ClobberMemory();
    }
}

void BM_baseline_read_and_tan(benchmark::State& state) {
    Data& d = data();
    for (auto _ : state) {
        double acc = 0;
        for (int i = 0; i < kRuns; ++i) {
            const double* v = &d.velocities[static_cast<size_t>(i) * (kSamples + 1)];
            const double theta0 = 0.9 + 0.001 * i, rate = 0.004;
            for (int j = 1; j <= kSamples; ++j) acc += v[j] - std::tan(theta0 - rate * ((j - 1) * kDt));
        }
        benchmark::DoNotOptimize(acc);
    }
}

BENCHMARK(BM_ccoeff)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_baseline_read_and_tan)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    data();
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto fit = reporter.times.find("BM_ccoeff"), base = reporter.times.find("BM_baseline_read_and_tan");
    if (fit != reporter.times.end() && base != reporter.times.end() && base->second > 0) {
        char ratio[32];
        const auto end = std::to_chars(ratio, ratio + sizeof ratio, fit->second / base->second,
                                       std::chars_format::fixed, 2).ptr;
        std::fputs("ccoeff / baseline (read + one tan per sample): ", stdout);
        std::fwrite(ratio, 1, static_cast<size_t>(end - ratio), stdout);
        std::fputs(" (target <= 1.5)\n", stdout);
        std::fflush(stdout);
    }
    benchmark::Shutdown();
    return 0;
}
