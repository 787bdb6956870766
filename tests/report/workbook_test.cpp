// The workbook layer, read back from the written .xlsx: cells, formulas with stored results,
// formats, borders, paste, rows and columns, pictures, charts, failing writes and the locale.
#include "platform/fakes.h"
#include "platform/workbook.h"
#include "tests/report/report_test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace platform;
using report_test::TempDir;

namespace {

TEST(Workbook, CellsKeepValuesFormulasAndStoredResults)
{
    TempDir dir;
    Workbook book;
    book.title = "Series 3";
    Worksheet& second = book.addSheet("Second");
    Worksheet& first = book.addSheet("First", 0);
    book.activeSheet = 1;
    first.setNumber(0, 0, 0.3512);
    first.setText(0, 1, "run1.ctd");
    first.setFormula(1, 0, "=AVERAGE(A1:A1)", CellValue::of(0.3512));
    first.setFormula(1, 1, "=1/0", CellValue::error("#DIV/0!"));
    first.setNumber(2, 0, std::nan(""));
    first.setFill({3, 3, 3, 3}, Colour::of(0xC0C0C0));  // an empty cell with a format
    first.setText(4, 0, std::string(40000, 'x') + "\u00e4");  // longer than a cell holds
    second.setText(4, 2, "x");

    const xlsx_test::Workbook x = report_test::writeAndRead(book, dir);
    ASSERT_TRUE(x.ok());
    EXPECT_EQ(x.sheetNames(), (std::vector<std::string>{"First", "Second"}));
    EXPECT_EQ(x.activeTab(), 1);
    EXPECT_NE(x.file("docProps/core.xml").find("<dc:title>Series 3</dc:title>"), std::string::npos);
    auto cells = x.cells("First");
    EXPECT_EQ(cells["A1"].type, "n");
    EXPECT_EQ(std::stod(cells["A1"].value), 0.3512);
    EXPECT_EQ(cells["B1"].value, "run1.ctd");
    EXPECT_EQ(cells["A2"].formula, "AVERAGE(A1:A1)");
    EXPECT_EQ(std::stod(cells["A2"].value), 0.3512);
    EXPECT_EQ(cells["B2"].formula, "1/0");
    EXPECT_EQ(cells["B2"].type, "str");
    EXPECT_EQ(cells["B2"].value, "#DIV/0!");
    // A number the file cannot hold is written as the error a spreadsheet shows, never as "nan".
    EXPECT_EQ(cells["A3"].value, "#NUM!");
    EXPECT_EQ(cells["D4"].style.fill, "FFC0C0C0");
    EXPECT_EQ(cells["A5"].value, std::string(32767, 'x'));  // cut to what a cell holds, not dropped
    EXPECT_EQ(x.cells("Second")["C5"].value, "x");
    EXPECT_EQ(x.file("xl/worksheets/sheet1.xml").find("nan"), std::string::npos);
}

TEST(Workbook, FontsFillsAlignmentFormatsAndCharacterFontsReachTheFile)
{
    TempDir dir;
    Workbook book;
    Worksheet& s = book.addSheet("S");
    s.setText(0, 0, "fr0             fixed");
    FontChange white;
    white.colour = Colour::of(0xFFFFFF);
    white.bold = true;
    s.setFont({0, 0, 0, 0}, white);
    FontChange sub;
    sub.name = "Arial";
    sub.size = 10;
    sub.subscript = true;
    s.setCharacterFont(0, 0, 3, 1, sub);
    s.setFill({0, 0, 0, 0}, Colour::of(0x808080));
    s.setAlignment({0, 0, 0, 0}, HAlign::Centre, VAlign::Centre, true);
    s.setNumber(1, 0, 7);
    s.setNumberFormat({1, 0, 1, 0}, "\"Nr \"##");
    // A later font change of the range reaches the characters that have fonts of their own.
    FontChange larger;
    larger.size = 12;
    s.setFont({0, 0, 0, 0}, larger);

    auto cells = report_test::writeAndRead(book, dir).cells("S");
    const auto& a1 = cells["A1"];
    EXPECT_EQ(a1.value, "fr0             fixed");
    ASSERT_EQ(a1.runs.size(), 3u);
    EXPECT_EQ(a1.runs[0].first, "fr");
    EXPECT_EQ(a1.runs[1].first, "0");
    EXPECT_EQ(a1.runs[2].first, "             fixed");
    EXPECT_TRUE(a1.runs[1].second.subscript);
    EXPECT_EQ(a1.runs[1].second.name, "Arial");
    EXPECT_EQ(a1.runs[1].second.size, 12);
    EXPECT_FALSE(a1.runs[0].second.subscript);
    EXPECT_EQ(a1.runs[0].second.colour, "FFFFFFFF");
    EXPECT_TRUE(a1.runs[0].second.bold);
    EXPECT_EQ(a1.style.fill, "FF808080");
    EXPECT_EQ(a1.style.hAlign, "center");
    EXPECT_EQ(a1.style.vAlign, "center");
    EXPECT_TRUE(a1.style.wrap);
    EXPECT_EQ(cells["A2"].style.numberFormat, "\"Nr \"##");
}

TEST(Workbook, AnEdgeIsSharedWithTheNeighbourAndTheLastStepDecidesIt)
{
    TempDir dir;
    Workbook book;
    Worksheet& s = book.addSheet("S");
    const CellRange b2c3{1, 1, 2, 2};
    for (Edge e : {Edge::Left, Edge::Top, Edge::Bottom, Edge::Right, Edge::InsideVertical, Edge::InsideHorizontal})
        s.setBorder(b2c3, e, {LineStyle::Thin, {}});
    s.setBorder({1, 2, 2, 2}, Edge::Left, {LineStyle::Medium, {}});      // C2:C3 left = B's right
    s.setBorder(b2c3, Edge::InsideHorizontal, {LineStyle::None, {}});   // cleared again
    s.setBorder({2, 1, 2, 2}, Edge::Bottom, {LineStyle::Double, {}});

    auto c = report_test::writeAndRead(book, dir).cells("S");
    EXPECT_EQ(c["B2"].style.left, "thin");
    EXPECT_EQ(c["B2"].style.right, "medium");
    EXPECT_EQ(c["C2"].style.left, "medium");
    EXPECT_EQ(c["B2"].style.bottom, "");
    EXPECT_EQ(c["B3"].style.top, "");
    EXPECT_EQ(c["C3"].style.bottom, "double");
    // Across the range's edges the neighbours carry the same lines.
    EXPECT_EQ(c["A2"].style.right, "thin");
    EXPECT_EQ(c["B4"].style.top, "double");
    EXPECT_EQ(c["B1"].style.bottom, "thin");
}

TEST(Workbook, PastedTextSplitsIntoCellsAndNumbersBecomeNumbers)
{
    Worksheet s("S");
    const auto range = s.pasteText(3, 1, "\tDataset\tcd\t\r\rGroup 1\t0.3512\t12.34%\t-1E-05\r\nrun,1\t1,5\t 2\t5%\n");
    ASSERT_TRUE(range);
    EXPECT_EQ(*range, (CellRange{3, 1, 6, 4}));
    struct Case {
        int row, col;
        CellValue value;
        const char* format;
    };
    const Case cases[] = {
        {3, 1, CellValue::empty(), ""},          {3, 2, CellValue::ofText("Dataset"), ""},
        {4, 1, CellValue::empty(), ""},          {5, 1, CellValue::ofText("Group 1"), ""},
        {5, 2, CellValue::of(0.3512), ""},       {5, 3, CellValue::of(0.1234), "0.00%"},
        {5, 4, CellValue::of(-1e-05), ""},       {6, 1, CellValue::ofText("run,1"), ""},
        {6, 2, CellValue::ofText("1,5"), ""},    {6, 3, CellValue::ofText(" 2"), ""},
        {6, 4, CellValue::of(0.05), "0%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.col));
        const CellValue v = s.value(c.row, c.col);
        EXPECT_EQ(v.kind, c.value.kind);
        if (c.value.isNumber()) {
            EXPECT_DOUBLE_EQ(v.number, c.value.number);
        }
        EXPECT_EQ(v.text, c.value.text);
        const Cell* cell = s.find(c.row, c.col);
        EXPECT_EQ(cell ? cell->style.numberFormat : "", c.format);
    }
    EXPECT_FALSE(s.find(7, 1));  // the final line end starts no row
    EXPECT_FALSE(s.pasteText(0, 0, ""));
}

TEST(Workbook, ColumnsRowsSelectionAndSheetSettings)
{
    TempDir dir;
    Workbook book;
    Worksheet& s = book.addSheet("S");
    s.setColumnWidth(0, 0, 17);
    s.setColumnWidth(1, 5, 12);
    s.setRowHeight(0, 47);
    s.hideGridlines = true;
    s.centreHorizontally = true;
    s.selection = {2, 0};
    EXPECT_EQ(s.columnPixels(0), 124);
    EXPECT_EQ(s.columnPixels(1), 89);
    EXPECT_EQ(s.columnPixels(6), 64);
    EXPECT_EQ(s.rowPixels(0), 62);
    EXPECT_EQ(s.columnLeft(6), 124 + 5 * 89);
    EXPECT_EQ(s.rowTop(2), 62 + 20);

    const xlsx_test::Element ws = report_test::writeAndRead(book, dir).sheetPart("S");
    const auto cols = ws.all("col");
    ASSERT_EQ(cols.size(), 6u);
    EXPECT_EQ(cols[0]->attr("customWidth"), "1");
    EXPECT_NEAR(std::stod(cols[0]->attr("width")), 17.71, 0.01);  // the file counts the padding
    EXPECT_EQ(ws.first("row")->attr("ht"), "47");
    EXPECT_EQ(ws.first("sheetView")->attr("showGridLines"), "0");
    EXPECT_EQ(ws.first("selection")->attr("activeCell"), "A3");
    EXPECT_EQ(ws.first("printOptions")->attr("horizontalCentered"), "1");
    EXPECT_EQ(ws.first("mergeCells"), nullptr);
}

TEST(Workbook, PicturesAndChartsStandWhereAndAsLargeAsPlaced)
{
    TempDir dir;
    Workbook book;
    Worksheet& s = book.addSheet("Results");
    s.setNumber(5, 0, 1);
    s.setNumber(5, 3, 0.35);
    Picture p;
    p.bytes = report_test::greyPng(480, 180);
    p.naturalWidth = 480;
    p.naturalHeight = 180;
    p.anchor = {0, 0};
    p.xOffset = 100;
    p.yOffset = 1;
    p.width = 160;
    p.height = 60;
    s.pictures.push_back(p);

    Chart c;
    c.title = ChartText{"Coefficients of rolling resistance", ChartFont{"Arial", 12, true}};
    c.xAxis.visible = false;
    c.yAxis.title = ChartText{"fR 0, 1 ", ChartFont{"Arial", 10.25, true}};
    c.yAxis.majorGridlines = ChartLine{false, Colour::of(0xC0C0C0), 0.25, true};
    c.legend = false;
    ChartSeries series;
    series.categories = "=Results!$A$6";
    series.values = "=Results!$D$6";
    series.nameRef = "=Results!$B$6";
    series.line.none = true;
    series.marker = ChartSeries::Marker::Square;
    series.markerSize = 5;
    series.markerColour = Colour::of(0xFF0000);
    series.categoryLabels = true;
    series.yErrorBars = ErrorBars{0.0125, {}, true};
    c.series.push_back(series);
    c.anchor = {19, 1};
    c.yOffset = 288;
    c.width = 430;
    s.charts.push_back(c);
    Chart bars;
    bars.type = Chart::Type::Column;
    ChartSeries b;
    b.values = "=Results!$G$5:$G$6";
    b.name = "Improvement, %";
    bars.series.push_back(b);
    bars.dataTable = true;
    bars.dataTableLegendKeys = false;
    s.charts.push_back(bars);

    const xlsx_test::Workbook x = report_test::writeAndRead(book, dir);
    const auto pictures = x.pictures("Results");
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].col, 1);  // 100 pixels from A1 lie in column B
    EXPECT_EQ(pictures[0].colOffset, (100 - 64) * xlsx_test::kEmuPerPixel);
    EXPECT_EQ(pictures[0].width, 160 * xlsx_test::kEmuPerPixel);
    EXPECT_EQ(pictures[0].height, 60 * xlsx_test::kEmuPerPixel);
    const auto charts = x.charts("Results");
    ASSERT_EQ(charts.size(), 2u);
    // 288 pixels below the top of row 20 (rows of 20 pixels), 430 pixels wide from column B
    // (columns of 64 pixels), 288 high.
    EXPECT_EQ(charts[0].col, 1);
    EXPECT_EQ(charts[0].colOffset, 0);
    EXPECT_EQ(charts[0].row, 19 + 14);
    EXPECT_EQ(charts[0].rowOffset, 8 * xlsx_test::kEmuPerPixel);
    EXPECT_EQ(charts[0].toCol, 1 + 6);
    EXPECT_EQ(charts[0].toColOffset, (430 - 6 * 64) * xlsx_test::kEmuPerPixel);
    EXPECT_EQ(charts[0].toRow, 19 + 14 + 14);
    EXPECT_EQ(charts[0].toRowOffset, (8 + 288 - 14 * 20) * xlsx_test::kEmuPerPixel);

    const xlsx_test::Element scatter = x.part(charts[0].target);
    ASSERT_TRUE(scatter.first("c:scatterChart"));
    EXPECT_EQ(scatter.first("c:legend"), nullptr);
    EXPECT_EQ(scatter.first("c:title")->allText(), "Coefficients of rolling resistance");
    const xlsx_test::Element* ser = scatter.first("c:ser");
    EXPECT_EQ(ser->first("c:tx")->first("c:f")->text, "Results!$B$6");
    EXPECT_EQ(ser->first("c:xVal")->first("c:f")->text, "Results!$A$6");
    EXPECT_EQ(ser->first("c:yVal")->first("c:f")->text, "Results!$D$6");
    EXPECT_EQ(ser->first("c:symbol")->attr("val"), "square");
    EXPECT_EQ(ser->first("c:showCatName")->attr("val"), "1");
    const xlsx_test::Element* err = ser->first("c:errBars");
    ASSERT_TRUE(err);
    EXPECT_EQ(err->child("c:errBarType")->attr("val"), "both");
    EXPECT_EQ(std::stod(err->child("c:val")->attr("val")), 0.0125);
    const auto axes = scatter.all("c:valAx");
    ASSERT_EQ(axes.size(), 2u);
    EXPECT_EQ(axes[0]->child("c:delete")->attr("val"), "1");
    EXPECT_EQ(axes[1]->first("c:title")->allText(), "fR 0, 1 ");
    EXPECT_EQ(axes[1]->first("c:majorGridlines")->first("a:prstDash")->attr("val"), "sysDot");
    EXPECT_NE(x.file(charts[0].target).find("sz=\"1025\""), std::string::npos);

    const xlsx_test::Element column = x.part(charts[1].target);
    ASSERT_TRUE(column.first("c:barChart"));
    EXPECT_EQ(column.first("c:barDir")->attr("val"), "col");
    EXPECT_EQ(column.first("c:ser")->first("c:val")->first("c:f")->text, "Results!$G$5:$G$6");
    EXPECT_EQ(column.first("c:ser")->first("c:tx")->allText(), "Improvement, %");
    ASSERT_TRUE(column.first("c:dTable"));
    const std::string table = x.file(charts[1].target);
    EXPECT_NE(table.find("<c:dTable>"), std::string::npos);
    EXPECT_EQ(table.find("<c:showKeys val=\"1\"/>"), std::string::npos);
}

TEST(Workbook, AFailedWriteSaysWhyAndLeavesTheOldFile)
{
    TempDir dir;
    Workbook book;
    book.addSheet("S").setText(0, 0, "new");
    const std::string path = dir.file("report.xlsx");
    std::ofstream(path, std::ios::binary) << "the old workbook";

    FaultyDisk disk;
    setDisk(&disk);
    disk.failWritesAfter(100, ENOSPC);
    const WriteResult full = writeXlsx(book, path);
    setDisk(nullptr);
    EXPECT_FALSE(full.ok);
    EXPECT_EQ(full.error, std::strerror(ENOSPC));
    EXPECT_EQ(report_test::slurp(path), "the old workbook");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);

    const WriteResult missing = writeXlsx(book, dir.file("no/such/folder/report.xlsx"));
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, "A temporary file can not be written in " + dir.file("no/such/folder") + ": " + std::strerror(ENOENT));

    Workbook badName;
    badName.addSheet("a/b");
    EXPECT_FALSE(writeXlsx(badName, path).ok);
    EXPECT_EQ(report_test::slurp(path), "the old workbook");
}

// A locale whose decimal mark is a comma, made in the scratch folder; empty when this machine
// cannot make one.
std::string commaLocale(const TempDir& dir)
{
    const std::string command = "localedef -i de_DE -f UTF-8 " + dir.file("de_DE.UTF-8") + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return {};
    ::setenv("LOCPATH", dir.path().c_str(), 1);
    return "de_DE.UTF-8";
}

TEST(Workbook, NumbersAreWrittenWithAPointWhateverTheLocale)
{
    TempDir dir;
    const std::string locale = commaLocale(dir);
    if (locale.empty() || !std::setlocale(LC_NUMERIC, locale.c_str()))
        GTEST_SKIP() << "no locale with a decimal comma can be made here (localedef and the locales package)";
    char shown[32];
    std::snprintf(shown, sizeof shown, "%.1f", 0.5);
    const bool comma = std::string(shown) == "0,5";

    Workbook book;
    Worksheet& s = book.addSheet("S");
    s.setNumber(0, 0, 0.5);
    s.setFormula(1, 0, "=A1*2", CellValue::of(1.25));
    Chart c;
    c.type = Chart::Type::Column;
    ChartSeries series;
    series.values = "=S!$A$1";
    series.yErrorBars = ErrorBars{0.25, {}, true};
    c.series.push_back(series);
    s.charts.push_back(c);
    const xlsx_test::Workbook x = report_test::writeAndRead(book, dir);
    std::setlocale(LC_NUMERIC, "C");
    ::unsetenv("LOCPATH");
    ASSERT_TRUE(comma) << "the locale did not give a decimal comma";

    auto cells = x.cells("S");
    EXPECT_EQ(cells["A1"].value, "0.5");
    EXPECT_EQ(cells["A2"].value, "1.25");
    EXPECT_EQ(x.part(x.charts("S")[0].target).first("c:errBars")->child("c:val")->attr("val"), "0.25");
}

}  // namespace

// A disk that breaks or fills anywhere in the workbook: the old file stays, nothing is left
// beside it, and the reason is the disk's.
TEST(Workbook, AWriteThatFailsAnywhereInTheFileKeepsTheOldOne)
{
    TempDir dir;
    Workbook book;
    Worksheet& sheet = book.addSheet("Results");
    for (int r = 0; r < 40; ++r) sheet.setText(r, 0, "row " + std::to_string(r));
    const std::string path = dir.file("report.xlsx");
    ASSERT_TRUE(writeXlsx(book, path).ok);
    const std::size_t size = report_test::slurp(path).size();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "the old workbook";
    for (const int error : {EIO, ENOSPC}) {
        for (std::size_t n = 0; n < size; n += size / 16 + 1) {
            SCOPED_TRACE(std::string(std::strerror(error)) + " after " + std::to_string(n) + " of " + std::to_string(size));
            FaultyDisk disk;
            setDisk(&disk);
            disk.failWritesAfter(n, error);
            const WriteResult r = writeXlsx(book, path);
            setDisk(nullptr);
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.error, std::strerror(error));
            EXPECT_EQ(report_test::slurp(path), "the old workbook");
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
        }
    }
}
