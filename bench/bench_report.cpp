// The spreadsheet report of a series of 30 data files of 100,000 samples each, end to end (what
// the window shows, the sheets, the charts, the pictures, the .xlsx written atomically), beside
// the time to write the same cells' numbers and texts as plain text lines.
#include "bench/ratio_reporter.h"
#include "analysis/coastfit_loader.h"
#include "analysis/frm_tabchild.h"
#include "analysis/series/series_window.h"
#include "bench/series_files.h"
#include "diagram/diagram_panel.h"
#include "numbers/numbers.h"
#include "platform/fakes.h"
#include "platform/textfile.h"
#include "report/report_command.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>

namespace {

constexpr int kFiles = 30;
constexpr int kSamples = 100000;

// The window of the series, calculated, in ten groups of three, every curve ticked.
struct Fixture {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "tw-bench-report";
    platform::ScopedFakes fakes;
    analysis::FrmTabchild window;

    Fixture()
    {
        analysis::setCoastfitPath(QCoreApplication::applicationDirPath() + "/libCoastfit.so");
        analysis::setReportCommand(report::cmdExcel_Click);
        const std::string series = bench::writeSeries(dir, kFiles, kSamples);
        window.resize(800, 646);
        window.show();
        if (!analysis::ctsOpen(window, QString::fromStdString(series))) std::exit(1);
        window.cmbLambda->setCurrentIndex(4);
        window.cmbLambda_Click();
        window.cmdDLLNEW_Click();
        for (int g = 0; g < kFiles / 3; ++g) {
            for (int i = 0; i < 3; ++i) window.lstAverageData->item(3 * g + i)->setCheckState(Qt::Checked);
            window.cmdAverageConnect->click();
        }
        for (int i = 0; i < 2 * kFiles; ++i) window.framedia->chk(i)->setChecked(true);
        QApplication::processEvents();
        if (!fakes.messages.shown.empty()) {
            std::fprintf(stderr, "bench window: %s\n", fakes.messages.last().text.c_str());
            std::exit(1);
        }
    }
    ~Fixture()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

// Made at the first benchmark and gone before the application is.
std::unique_ptr<Fixture> theFixture;
Fixture& fixture()
{
    if (!theFixture) theFixture = std::make_unique<Fixture>();
    return *theFixture;
}

void BM_ReportEndToEnd(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString path = QString::fromStdString((f.dir / "report.xlsx").string());
    for (auto _ : state) {
        f.fakes.files.answer(path);
        f.window.cmdExcel->click();
        if (!f.fakes.messages.shown.empty()) state.SkipWithError(f.fakes.messages.last().text.c_str());
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(f.dir / "report.xlsx"));
}
BENCHMARK(BM_ReportEndToEnd)->Unit(benchmark::kMillisecond)->MinTime(2);

// The cells of the same report, each as "cell<TAB>value" on a line of text.
void BM_SameCellsAsPlainText(benchmark::State& state)
{
    Fixture& f = fixture();
    const report::ReportBuild build = report::buildReport(report::reportInput(f.window));
    const std::string path = (f.dir / "report.txt").string();
    for (auto _ : state) {
        std::vector<std::string> lines;
        for (int s = 0; s < build.workbook.sheetCount(); ++s) {
            const platform::Worksheet& sheet = build.workbook.sheetAt(s);
            lines.push_back(sheet.name());
            for (const auto& [at, cell] : sheet.cells()) {
                const platform::CellValue v = cell.value();
                if (v.kind == platform::CellValue::Kind::Empty) continue;
                lines.push_back(platform::cellName(at.row, at.col) + '\t' + (v.isNumber() ? numbers::numberToText(v.number) : v.text));
            }
        }
        if (!platform::writeTextLines(path, lines).ok) state.SkipWithError("text not written");
    }
}
BENCHMARK(BM_SameCellsAsPlainText)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto full = reporter.times.find("BM_ReportEndToEnd/min_time:2.000");
    const auto text = reporter.times.find("BM_SameCellsAsPlainText");
    if (full != reporter.times.end() && text != reporter.times.end() && text->second > 0)
        std::fputs(("report " + numbers::formatNumber(full->second, "0.0") + " ms (target under 2000 ms), plain text of its cells " +
                    numbers::formatNumber(text->second, "0.00") + " ms: " + numbers::formatNumber(full->second / text->second, "0") +
                    "x\n").c_str(), stdout);
    theFixture.reset();
    analysis::setReportCommand({});
    benchmark::Shutdown();
    return 0;
}
