// Redraw of a series diagram: 30 runs with measured and fitted curves, the default view, into an
// offscreen 1200 x 800 picture. The large record (100,000 samples per run) is measured against
// the small one (1,000) in the same run; the ratio shows whether the cost follows the width. A
// redraw of the view drawn last fills the pixels its curves covered again. A scroll step shows
// another view at every redraw, so its curves are reduced and drawn anew: once in one run per
// pixel column, once segment by segment as the baseline of the runs. A pan step with the mouse
// in a zoomed view, and the overview picture in the data browser, are measured the same way.
#include "bench/ratio_reporter.h"
#include "diagram/core/defaults.h"
#include "diagram/diagram_panel.h"
#include "diagram/overview.h"

#include <QApplication>
#include <QPushButton>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

state::TabchildData makeSeries(int samples)
{
    state::TabchildData d;
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

diagram::DiagramPanel* seriesPanel(state::TabchildData& data)
{
    auto* panel = new diagram::DiagramPanel(data, nullptr);
    panel->setlegend();
    panel->enableFittedEntries();
    for (int i = 0; i < 60; ++i) panel->chk(i)->setChecked(true);
    panel->Resize();
    return panel;
}

void redraw(benchmark::State& state)
{
    state::TabchildData data = makeSeries(static_cast<int>(state.range(0)));
    std::unique_ptr<diagram::DiagramPanel> panel(seriesPanel(data));
    for (auto _ : state) {
        QImage img = panel->renderImage(QSize(1200, 800));
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(redraw)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// A scroll step: every redraw shows another view, so no curve can reuse its last points.
void scrollWith(benchmark::State& state, bool columnRuns)
{
    state::TabchildData data = makeSeries(static_cast<int>(state.range(0)));
    std::unique_ptr<diagram::DiagramPanel> panel(seriesPanel(data));
    panel->picdiagram()->setColumnSpans(columnRuns);
    const diagram::View v = panel->drawnView();
    int step = 0;
    for (auto _ : state) {
        panel->diastandard(v.left + (step++ % 2) * v.width / 500, v.width, v.top, v.height);
        QImage img = panel->renderImage(QSize(1200, 800));
        benchmark::DoNotOptimize(img.constBits());
    }
}

void scroll(benchmark::State& state) { scrollWith(state, true); }
BENCHMARK(scroll)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The same steps drawn segment by segment: the baseline the column runs are measured against.
void scroll_segments(benchmark::State& state) { scrollWith(state, false); }
BENCHMARK(scroll_segments)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// A pan step: the right button held, the pointer moved, in the view after one "Zoom in"; each
// step shows another view, then the picture is drawn once, as the next paint does.
void pan(benchmark::State& state)
{
    state::TabchildData data = makeSeries(static_cast<int>(state.range(0)));
    std::unique_ptr<diagram::DiagramPanel> panel(seriesPanel(data));
    panel->cmdallplus()->click();
    diagram::Navigation& nav = panel->navigation();
    const diagram::View v = panel->drawnView();
    const double x = (v.left + v.width / 2) * diagram::kXUnitsPerMs;
    const double y = (v.top - v.height / 2) * diagram::kYUnitsPerMps;
    const double dx = v.width * diagram::kXUnitsPerMs / 300;
    const double dy = v.height * diagram::kYUnitsPerMps / 200;
    nav.mousedown(0, 2, 0, x, y);
    int step = 0;
    for (auto _ : state) {
        const double k = (step++ % 2) ? 1 : -1;
        nav.mousemove(0, 2, 0, x + k * dx, y + k * dy);
        QImage img = panel->renderImage(QSize(1200, 800));
        benchmark::DoNotOptimize(img.constBits());
    }
    nav.mouseup(0, 2, 0, x, y);
}
BENCHMARK(pan)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The overview picture (175 x 111 pixels) of the whole record with all 60 curves, as an
// activation draws it: the curves' summaries stand (the diagram drew first), their points are
// reduced anew (the picture's width changes by a pixel at every step).
void overview(benchmark::State& state)
{
    state::TabchildData data = makeSeries(static_cast<int>(state.range(0)));
    diagram::OverviewSurface picover;
    picover.resize(175, 111);
    std::unique_ptr<diagram::DiagramPanel> panel(seriesPanel(data));
    panel->setOverviewPicture([&picover] { return &picover; });
    int step = 0;
    for (auto _ : state) {
        picover.resize(175 - (step++ % 2), 111);
        panel->diaoverview();
        QImage img = picover.picture();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(overview)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    diagram::initDiagramDefaults();
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto small = reporter.times.find("redraw/1000/min_time:1.000");
    const auto large = reporter.times.find("redraw/100000/min_time:1.000");
    if (small != reporter.times.end() && large != reporter.times.end() && small->second > 0) {
        std::printf("30 x 1,000 samples:   %.2f ms per redraw\n", small->second);
        std::printf("30 x 100,000 samples: %.2f ms per redraw\n", large->second);
        std::printf("ratio large / small:  %.2f (target below 2, and below 16 ms per redraw)\n",
                    large->second / small->second);
    }
    const auto smallSeg = reporter.times.find("scroll_segments/1000/min_time:1.000");
    const auto largeSeg = reporter.times.find("scroll_segments/100000/min_time:1.000");
    if (smallSeg != reporter.times.end() && largeSeg != reporter.times.end() && smallSeg->second > 0) {
        std::printf("scroll step segment by segment: %.2f ms and %.2f ms (ratio %.2f)\n", smallSeg->second,
                    largeSeg->second, largeSeg->second / smallSeg->second);
    }
    const auto smallStep = reporter.times.find("scroll/1000/min_time:1.000");
    const auto largeStep = reporter.times.find("scroll/100000/min_time:1.000");
    if (smallStep != reporter.times.end() && largeStep != reporter.times.end() && smallStep->second > 0) {
        std::printf("scroll step, 1,000 samples:   %.2f ms\n", smallStep->second);
        std::printf("scroll step, 100,000 samples: %.2f ms (ratio %.2f)\n", largeStep->second,
                    largeStep->second / smallStep->second);
    }
    const auto smallPan = reporter.times.find("pan/1000/min_time:1.000");
    const auto largePan = reporter.times.find("pan/100000/min_time:1.000");
    if (smallPan != reporter.times.end() && largePan != reporter.times.end() && smallPan->second > 0) {
        std::printf("pan step, 1,000 samples:   %.2f ms\n", smallPan->second);
        std::printf("pan step, 100,000 samples: %.2f ms (ratio %.2f to the 1,000-sample pan step", largePan->second,
                    largePan->second / smallPan->second);
        if (small != reporter.times.end() && small->second > 0)
            std::printf(", %.2f to the 1,000-sample redraw", largePan->second / small->second);
        std::printf("; target 2)\n");
    }
    const auto smallOver = reporter.times.find("overview/1000/min_time:1.000");
    const auto largeOver = reporter.times.find("overview/1000000/min_time:1.000");
    if (smallOver != reporter.times.end() && largeOver != reporter.times.end() && smallOver->second > 0) {
        std::printf("overview, 1,000 samples:     %.2f ms\n", smallOver->second);
        std::printf("overview, 1,000,000 samples: %.2f ms (ratio %.2f; target below 16 ms)\n", largeOver->second,
                    largeOver->second / smallOver->second);
    }
    benchmark::Shutdown();
    return 0;
}
