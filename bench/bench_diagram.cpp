// Redraw of a series diagram: 30 runs with measured and fitted curves, the default view, into an
// offscreen 1200 x 800 picture. The large record (100,000 samples per run) is measured against
// the small one (1,000) in the same run; the ratio shows whether the cost follows the width. A
// redraw of the view drawn last fills the pixels its curves covered again. A scroll step shows
// another view at every redraw, so its curves are reduced and drawn anew: once in one run per
// pixel column, once segment by segment as the baseline of the runs. A pan step with the mouse
// in a zoomed view, and the overview picture in the data browser, are measured the same way.
// The search for each column's extremes is measured alone, through each of its paths, against
// the plain loop.
#include "bench/ratio_reporter.h"
#include "diagram/core/defaults.h"
#include "diagram/core/reduce.h"
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
#include <vector>

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

// One measured curve of the large record cut into columns of the given width: 16 as the
// summary's blocks, 91 as about 1,100 pixel columns of the whole record, 2047 the longest
// column read sample by sample.
void extremes(benchmark::State& state)
{
    const auto path = static_cast<diagram::ExtremesPath>(state.range(0));
    const auto width = static_cast<std::size_t>(state.range(1));
    std::vector<double> v(100000);
    for (std::size_t r = 1; r <= v.size(); ++r) {
        const double t = (r - 1.0) / static_cast<double>(v.size());
        v[r - 1] = 30.0 - 22.0 * t + 4.0 * t * t + 0.15 * std::sin(r * 0.7) + 0.05 * std::sin(r * 0.031);
    }
    for (auto _ : state) {
        std::size_t sum = 0;
        for (std::size_t a = 0; a + width <= v.size(); a += width) {
            std::size_t iMin = 0;
            std::size_t iMax = 0;
            diagram::columnExtremes(path, v.data() + a, width, iMin, iMax);
            sum += iMin + iMax;
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(extremes)
    ->ArgsProduct({{static_cast<int>(diagram::ExtremesPath::Plain), static_cast<int>(diagram::ExtremesPath::Sse2)},
                   {16, 91, 2047}})
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(0.5);

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
    for (const int width : {16, 91, 2047}) {
        const auto name = [width](diagram::ExtremesPath path) {
            return "extremes/" + std::to_string(static_cast<int>(path)) + "/" + std::to_string(width) + "/min_time:0.500";
        };
        const auto plain = reporter.times.find(name(diagram::ExtremesPath::Plain));
        const auto sse2 = reporter.times.find(name(diagram::ExtremesPath::Sse2));
        if (plain != reporter.times.end() && sse2 != reporter.times.end() && plain->second > 0) {
            std::printf("column extremes, 100,000 samples in columns of %d: plain loop %.0f us, SSE2 blocks %.0f us "
                        "(ratio %.2f)\n",
                        width, plain->second, sse2->second, sse2->second / plain->second);
        }
    }
    benchmark::Shutdown();
    return 0;
}
