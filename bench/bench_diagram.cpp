// Redraw of a series diagram: 30 runs with measured and fitted curves, the default view, into an
// offscreen 1200 x 800 picture. The large record (100,000 samples per run) is measured against
// the small one (1,000) in the same run; the ratio shows whether the cost follows the width. A
// second pair moves the view at every redraw, as a scroll step does; a third draws the curves
// segment by segment instead of one run per pixel column.
#include "diagram/core/defaults.h"
#include "diagram/diagram_panel.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

analysis::TabchildData makeSeries(int samples)
{
    analysis::TabchildData d;
    const int sets = 30;
    d.setCount = sets;
    d.sampleCount = samples;
    d.sampleInterval = 100.0 / samples;  // every record 100 s long
    d.velocitySamples.resize(samples, sets);
    d.fittedVelocities.resize(samples, sets);
    for (int s = 1; s <= sets; ++s) {
        d.dataFileNames[static_cast<std::size_t>(s)] = "run" + std::to_string(s) + ".ctd";
        for (int r = 1; r <= samples; ++r) {
            const double t = (r - 1.0) / samples;
            const double fit = 30.0 - 22.0 * t + 4.0 * t * t - 0.2 * s;
            d.fittedVelocities(r, s) = fit;
            d.velocitySamples(r, s) = fit + 0.15 * std::sin(r * 0.7 + s) + 0.05 * std::sin(r * 0.031);
        }
    }
    d.headerValues.resize(25, sets);
    d.headerValues(9, 1) = "30";
    d.headerValues(8, 1) = "8";
    return d;
}

void redrawWith(benchmark::State& state, bool columnRuns)
{
    analysis::TabchildData data = makeSeries(static_cast<int>(state.range(0)));
    diagram::DiagramPanel panel(data, nullptr);
    panel.setlegend();
    panel.enableFittedEntries();
    for (int i = 0; i < 60; ++i) panel.chk(i)->setChecked(true);
    panel.Resize(0);
    panel.picdiagram()->setColumnSpans(columnRuns);
    for (auto _ : state) {
        QImage img = panel.renderImage(QSize(1200, 800));
        benchmark::DoNotOptimize(img.constBits());
    }
}

void redraw(benchmark::State& state) { redrawWith(state, true); }
BENCHMARK(redraw)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The same picture drawn segment by segment: the baseline the column runs are measured against.
void redraw_segments(benchmark::State& state) { redrawWith(state, false); }
BENCHMARK(redraw_segments)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// A scroll step: every redraw shows another view, so no curve can reuse its last points.
void scroll(benchmark::State& state)
{
    analysis::TabchildData data = makeSeries(static_cast<int>(state.range(0)));
    diagram::DiagramPanel panel(data, nullptr);
    panel.setlegend();
    panel.enableFittedEntries();
    for (int i = 0; i < 60; ++i) panel.chk(i)->setChecked(true);
    panel.Resize(0);
    const diagram::View v = panel.drawnView();
    int step = 0;
    for (auto _ : state) {
        panel.diastandard(v.left + (step++ % 2) * v.width / 500, v.width, v.top, v.height);
        QImage img = panel.renderImage(QSize(1200, 800));
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(scroll)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration) times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    diagram::initDiagramDefaults();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto small = reporter.times.find("redraw/1000/min_time:1.000");
    const auto large = reporter.times.find("redraw/100000/min_time:1.000");
    if (small != reporter.times.end() && large != reporter.times.end() && small->second > 0) {
        std::printf("30 x 1,000 samples:   %.2f ms per redraw\n", small->second);
        std::printf("30 x 100,000 samples: %.2f ms per redraw\n", large->second);
        std::printf("ratio large / small:  %.2f (target below 2, and below 16 ms per redraw)\n",
                    large->second / small->second);
    }
    const auto smallSeg = reporter.times.find("redraw_segments/1000/min_time:1.000");
    const auto largeSeg = reporter.times.find("redraw_segments/100000/min_time:1.000");
    if (smallSeg != reporter.times.end() && largeSeg != reporter.times.end() && smallSeg->second > 0) {
        std::printf("segment by segment:   %.2f ms and %.2f ms (ratio %.2f)\n", smallSeg->second, largeSeg->second,
                    largeSeg->second / smallSeg->second);
    }
    const auto smallStep = reporter.times.find("scroll/1000/min_time:1.000");
    const auto largeStep = reporter.times.find("scroll/100000/min_time:1.000");
    if (smallStep != reporter.times.end() && largeStep != reporter.times.end() && smallStep->second > 0) {
        std::printf("scroll step, 1,000 samples:   %.2f ms\n", smallStep->second);
        std::printf("scroll step, 100,000 samples: %.2f ms (ratio %.2f)\n", largeStep->second,
                    largeStep->second / smallStep->second);
    }
    benchmark::Shutdown();
    return 0;
}
