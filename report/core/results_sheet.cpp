// The "Results" sheet of a series report: the mean-value table, the group statistics, the title
// block and the charts.
#include "report/core/formulas.h"
#include "report/core/sheet_blocks.h"
#include "report/core/sheets.h"

#include <cmath>

namespace report::stages {

using namespace blocks;
using platform::CellRef;
using platform::CellValue;
using platform::FontChange;
using platform::HAlign;
using platform::VAlign;

namespace {

constexpr const char* kSheet = "Results";

// Cells by row (from 1) and column (1 = A), as the formulas count them.
void put(Worksheet& ws, int row, int col, const std::string& text) { ws.setText(row - 1, col - 1, text); }

void putFormula(Worksheet& ws, int row, int col, const std::string& r1c1, CellValue result)
{
    ws.setFormula(row - 1, col - 1, r1c1ToA1(r1c1, row, col), std::move(result));
}

std::string reference(const std::string& r1c1, int row, int col) { return r1c1ToA1(r1c1, row, col); }

// The chart references "=Results!R6C1" as the sheet holds them.
std::string sheetRef(int row, int col)
{
    return reference("=" + std::string(kSheet) + "!R" + std::to_string(row) + "C" + std::to_string(col), 1, 1);
}

}  // namespace

int groupSize(const ReportInput& in, int g)
{
    return g >= 0 && g < static_cast<int>(in.groupSizes.size()) ? in.groupSizes[static_cast<std::size_t>(g)] : 0;
}

GroupRows groupRows(const ReportInput& in)
{
    GroupRows rows;
    int r = 5;
    for (int g = 1; g <= in.groupCount; ++g) {
        const int n = groupSize(in, g);
        rows.first.push_back(r + 1);
        r += n >= 2 ? n + 3 : n + 1;
    }
    rows.last = r;
    return rows;
}

// ---- mean-value table -----------------------------------------------------------------------------

void meanValueTable(Worksheet& ws, const ReportInput& in, const MeanTable& table)
{
    const int n = table.lines;
    const int bottom = n + 2;
    ws.pasteText(3, 1, table.text);

    ws.setColumnWidth(0, 0, 8);
    ws.setColumnWidth(1, 1, 14);
    ws.setColumnWidth(2, 2, 20);
    ws.setColumnWidth(3, 5, 12);

    ws.setCharacterFont(3, 3, 2, 1, fontBlock("Arial", "Fett", 10, 2, true));  // the d of "cd"
    ws.setCharacterFont(3, 4, 3, 1, fontBlock("Arial", "Fett", 10, 2, true));  // the 0 of "fr0"

    auto frame = [&](const std::string& a1) {
        edges(ws, a1, kOuterEdges, LineStyle::Thin);
        edges(ws, a1, {Edge::InsideHorizontal}, LineStyle::None);
    };
    frame(range("C", 4, "C", bottom));
    for (const char* col : {"D", "E", "F"}) {
        frame(range(col, 4, col, bottom));
        alignment(ws, range(col, 4, col, bottom), HAlign::Centre, VAlign::Bottom);
    }

    interior(ws, "C4:F4", 16);
    fontColour(ws, "C4:F4", 2);
    bold(ws, "C4:F4");
    alignment(ws, "C4:F4", HAlign::Centre, VAlign::Bottom);

    const std::string whole = range("C", 4, "F", bottom);
    edges(ws, whole, kOuterEdges, LineStyle::Medium);
    edges(ws, whole, {Edge::InsideVertical}, LineStyle::Thin);
    edges(ws, whole, {Edge::InsideHorizontal}, LineStyle::None);

    ws.setColumnWidth(2, 2, 17.14);
    alignment(ws, "C4:F4", HAlign::Centre, VAlign::Centre, true);
    // A spreadsheet grows the row to the two lines of the wrapped titles as it wraps them; the
    // file holds the height itself.
    ws.setRowHeight(3, 2 * Worksheet::kDefaultRowHeight);

    // "Coupled datasets  l=" and the weight; the l shows as the Greek lambda in the Symbol font.
    ws.setText(3, 2, "Coupled datasets  l=" + in.lambdaText);
    ws.setCharacterFont(3, 2, 1, 18, fontBlock("Arial", "Fett", 10, 2));
    ws.setCharacterFont(3, 2, 19, 1, fontBlock("Symbol", "Fett", 10, 2));
    ws.setCharacterFont(3, 2, 20, 9, fontBlock("Arial", "Fett", 10, 2));

    if (in.fixedCoeffOption == 1) {
        ws.setText(3, 3, "cd             fixed");
        ws.setCharacterFont(3, 3, 2, 1, fontBlock("Arial", "Fett", 10, 2, true));
    } else if (in.fixedCoeffOption == 0) {
        ws.setText(3, 4, "fr0             fixed");
        ws.setCharacterFont(3, 4, 3, 1, fontBlock("Arial", "Fett", 10, 2, true));
    }
    ws.selection = {4, 1};
}

// ---- group statistics -----------------------------------------------------------------------------

void groupStatistics(Worksheet& ws, const ReportInput& in)
{
    const int groups = in.groupCount;
    if (groups <= 0) return;
    // Column D holds cd, E fr0; the improvement is about the coefficient that varied.
    const bool aboutFr0 = in.fixedCoeffOption == 1;
    const std::string valueColumn = aboutFr0 ? "C5" : "C4";
    const std::string referenceColumn = aboutFr0 ? "]C[3]" : "]C[2]";

    std::string references;
    std::vector<CellRef> valueCells;   // the cells B4 takes its largest value from
    std::vector<CellRef> improvements; // G5.., one per group; their results follow once B4 is known

    auto improvementCell = [&](int g, int valueRow) {
        const std::string r1c1 = "=100-(100/R4C2)*R" + std::to_string(valueRow) + valueColumn;
        putFormula(ws, g + 4, 7, r1c1, CellValue::empty());
        fontColour(ws, row("G", g + 4), 2);
        improvements.push_back({g + 3, 6});
        references += "R[" + std::to_string(valueRow - 4) + referenceColumn;
        if (g != groups) references += ",";
        valueCells.push_back({valueRow - 1, aboutFr0 ? 4 : 3});
    };

    int r = 5;
    for (int g = 1; g <= groups; ++g) {
        const int n = groupSize(in, g);
        const int f = r + 1;
        if (n >= 2) {
            const int avg = f + n;
            put(ws, avg, 3, "Average");
            for (int col : {4, 5})
                putFormula(ws, avg, col, "=AVERAGE(R[-" + std::to_string(n) + "]C:R[-1]C)", average(ws, col - 1, f - 1, avg - 2));
            improvementCell(g, avg);
            put(ws, avg + 1, 3, "Standard deviation");
            for (int col : {4, 5})
                putFormula(ws, avg + 1, col, "=STDEV(R[-" + std::to_string(n + 1) + "]C:R[-2]C)",
                           sampleStdev(ws, col - 1, f - 1, avg - 2));
            ws.setNumberFormat(at(row("E", avg + 1)), "0.00000000");
        } else if (n == 1) {
            improvementCell(g, f);
        }

        ws.setNumber(f - 1, 0, g);
        alignment(ws, row("A", f), HAlign::Centre, VAlign::Bottom);
        ws.setNumberFormat(at(row("A", f)), "\"Nr \"##");
        bold(ws, row("A", f));

        const int t = n >= 2 ? f + n + 1 : f;
        const std::string rows = range("C", f, "F", t);
        edges(ws, rows, kOuterEdges, LineStyle::Thin);
        edges(ws, rows, {Edge::InsideVertical}, LineStyle::Thin);
        if (n >= 2) {
            edges(ws, rows, {Edge::InsideHorizontal}, LineStyle::Thin);
            // A double line between the data sets and the Average row.
            const std::string lastSet = range("C", f + n - 1, "F", f + n - 1);
            edges(ws, lastSet, {Edge::Left, Edge::Top, Edge::Right, Edge::InsideVertical}, LineStyle::Thin);
            edges(ws, lastSet, {Edge::Bottom}, LineStyle::Double);
        }
        bold(ws, row("B", f));
        const std::string block = range("B", f, "F", t);
        edges(ws, block, kOuterEdges, LineStyle::Medium);
        edges(ws, block, {Edge::InsideVertical}, LineStyle::Thin);
        interior(ws, range("B", f, "B", t), 15);
        alignment(ws, range("B", f, "B", t), HAlign::Centre, VAlign::Bottom);

        r += n >= 2 ? n + 3 : n + 1;
    }

    putFormula(ws, 4, 2, "=MAX(" + references + ")", maximum(ws, valueCells));
    fontColour(ws, "B4", 2);

    const CellValue largest = ws.value(3, 1);
    for (std::size_t i = 0; i < improvements.size(); ++i) {
        const CellValue value = ws.value(valueCells[i].row, valueCells[i].col);
        ws.cell(improvements[i].row, improvements[i].col).result = improvement(largest, value);
    }
}

// ---- title block ------------------------------------------------------------------------------------

void titlePicture(Worksheet& ws, const PictureData& picture)
{
    if (picture.empty()) return;
    // One point is 4/3 pixels; the file places pictures in whole pixels.
    constexpr double kPoint = 4.0 / 3.0;
    platform::Picture p;
    p.bytes = picture.bytes;
    p.naturalWidth = picture.width;
    p.naturalHeight = picture.height;
    p.width = std::round(ws.columnPixels(4) * 1.8);
    p.height = std::round(ws.rowPixels(0) - kPoint);
    p.anchor = {0, 0};
    p.xOffset = ws.columnLeft(6) - p.width;
    p.yOffset = std::round(ws.rowTop(0) + kPoint);
    p.description = "title-invert.jpg";
    ws.pictures.push_back(std::move(p));
}

void titleRows(Worksheet& ws, const char* first, const std::string& title, const char* projectBox,
               const PictureData& picture)
{
    const std::string bar = row(first, 1) + ":F1", projectRow = row(first, 2) + ":F2";
    const std::string head = row(first, 1), label = row(first, 2);
    ws.setRowHeight(0, 47);
    fontColour(ws, bar, 2);
    interior(ws, bar, 1);
    titlePicture(ws, picture);

    alignment(ws, head, HAlign::General, VAlign::Centre);
    ws.setFont(at(head), fontBlock("BankGothic Lt BT", "Light", 14, 2));
    ws.setText(0, at(head).col1, title);
    mediumBox(ws, bar);

    mediumBox(ws, projectRow);
    alignment(ws, projectBox, HAlign::Left, VAlign::Centre);
    edges(ws, projectBox, kOuterEdges, LineStyle::Medium);
    edges(ws, projectBox, {Edge::InsideVertical}, LineStyle::None);
    interior(ws, projectRow, 15);
    interior(ws, label, 16);
    alignment(ws, label, HAlign::Centre, VAlign::Centre);
    ws.setFont(at(label), fontBlock("BankGothic Lt BT", "", 12, kAutomatic));
    bold(ws, label);
    fontColour(ws, label, 2);
    ws.setText(1, at(label).col1, "Project:");
    fontColour(ws, "C2:F2", 0);
    alignment(ws, "C2:F2", HAlign::Left, VAlign::Centre);
}

void resultsTitleBlock(Worksheet& ws, const ReportInput& in)
{
    titleRows(ws, "B", "    Tarnwell Results", "C2:D2", in.title);
    ws.pasteText(1, 2, projectLine(in.labels));
    ws.selection = {1, 2};
}

// ---- charts -------------------------------------------------------------------------------------------

namespace {

platform::ChartText chartText(std::string text, double size = 0)
{
    platform::ChartText t;
    t.text = std::move(text);
    if (size > 0) t.font = platform::ChartFont{"Arial", size, true};
    return t;
}

platform::Colour palette(int index) { return colourIndex(index).value_or(platform::Colour::automaticColour()); }

// Points: a hairline is a quarter point, a thin line three quarters.
constexpr double kHairline = 0.25;
constexpr double kThin = 0.75;

// One point per group at its number: the value of a single data set or the group's average,
// with the group's standard deviation as error bars.
platform::Chart coefficientChart(const Worksheet& ws, const ReportInput& in, const GroupRows& rows, int valueCol,
                                 int markerColour)
{
    platform::Chart c;
    c.type = platform::Chart::Type::Scatter;
    c.xAxis.title = chartText("Coastdown data");
    c.xAxis.visible = false;
    c.legend = false;
    c.plotBorder = platform::ChartLine{false, palette(16), kThin, false};
    c.plotFill = palette(2);
    c.yAxis.majorGridlines = platform::ChartLine{false, palette(15), kHairline, true};
    for (int g = 1; g <= in.groupCount; ++g) {
        const int f = rows.first[static_cast<std::size_t>(g - 1)];
        const int n = groupSize(in, g);
        platform::ChartSeries s;
        s.categories = sheetRef(f, 1);
        s.values = sheetRef(n >= 2 ? f + n : f, valueCol);
        s.nameRef = sheetRef(f, 2);
        s.categoryLabels = true;
        s.line.none = true;
        s.marker = platform::ChartSeries::Marker::Square;
        s.markerSize = 5;
        s.markerColour = palette(markerColour);
        if (n >= 2) {
            const CellValue sd = ws.value(f + n, valueCol - 1);
            if (sd.isNumber()) s.yErrorBars = platform::ErrorBars{sd.number, {}, true};
        }
        c.series.push_back(std::move(s));
    }
    return c;
}

}  // namespace

void resultsCharts(Worksheet& ws, const ReportInput& in)
{
    const int groups = in.groupCount;
    if (groups <= 1) return;
    const GroupRows rows = groupRows(in);
    const int anchor = rows.last + 2;  // A, counted from 1
    const double width = ws.columnLeft(6) - ws.columnLeft(1);  // columns B to F

    platform::Chart drag = coefficientChart(ws, in, rows, 4, 55);
    drag.title = chartText("Coefficients of aerodynamic drag");
    drag.yAxis.title = chartText("Cd, 1 ");
    drag.anchor = {anchor - 1, 1};
    drag.width = width;

    // The rolling-resistance chart is the drag chart made over again for column E.
    platform::Chart rolling = coefficientChart(ws, in, rows, 5, 3);
    rolling.title = chartText("Coefficients of rolling resistance", 12);
    rolling.yAxis.title = chartText("fR 0, 1 ", 10.25);
    for (auto& s : rolling.series)
        if (s.yErrorBars) s.yErrorBars->line = {false, colourIndex(57).value_or(platform::Colour::automaticColour()), kThin, false};
    rolling.anchor = {anchor + 1, 1};
    rolling.yOffset = drag.height;
    rolling.width = width;

    ws.setNumberFormat(at(range("G", 5, "G", groups + 4)), "0.00");
    platform::Chart gain;
    gain.type = platform::Chart::Type::Column;
    platform::ChartSeries bars;
    bars.values = reference("=" + std::string(kSheet) + "!R5C7:R" + std::to_string(groups + 4) + "C7", 1, 1);
    bars.name = "Improvement, %";
    bars.line = {false, platform::Colour::automaticColour(), kThin, false};
    bars.fill = palette(in.fixedCoeffOption == 1 ? 3 : 55);
    gain.series.push_back(std::move(bars));
    gain.title = chartText(in.fixedCoeffOption == 1 ? "Rolling resistance improvement" : "Aerodynamic drag improvement", 12);
    gain.xAxis.visible = false;
    gain.yAxis.title = chartText("Improvement, %");
    gain.legend = false;
    gain.dataTable = true;
    gain.dataTableLegendKeys = false;
    gain.anchor = {anchor + 3, 1};
    gain.yOffset = drag.height + rolling.height;
    gain.width = width;

    ws.charts.push_back(std::move(drag));
    ws.charts.push_back(std::move(rolling));
    ws.charts.push_back(std::move(gain));
    ws.selection = {5, 1};
}

}  // namespace report::stages
