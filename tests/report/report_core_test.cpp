// The report's sheets as the written workbook holds them: the mean-value table, the group
// statistics with formulas and stored results, the title block, the charts and the "Input data"
// sheet; and what they are built from (R1C1 references, pasted texts, the progress step).
#include "report/core/formulas.h"
#include "report/core/report.h"
#include "tests/report/report_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace report;
using platform::CellValue;
using report_test::TempDir;

namespace {

PictureData picture()
{
    static const std::string bytes = report_test::greyPng(480, 180);
    return {bytes, 480, 180};
}

using Row = std::vector<std::string>;

// The listing of Group 1 (three data sets), a single and Group 2 (two data sets).
Grid threeGroups()
{
    return {{"", "Dataset", "cd", "fr0", "Fit quality"},
            {"", "", "", "", ""},
            {"Group 1", "run1.ctd", "0.3512", "0.0101234", "12.34%"},
            {"", "run2.ctd", "0.3498", "0.0103", "11.00%"},
            {"", "run3.ctd", "0,3531", "0.0099876", "10.50%"},
            {"", "", "", "", ""},
            {"Single", "run4.ctd", "0.3601", "0.00998", "9.50%"},
            {"", "", "", "", ""},
            {"Group 2", "run5.ctd", "0.3455", "0.01012", "8.00%"},
            {"", "run6.ctd", "0.3467", "0.01044", "7.25%"},
            {"", "", "", "", ""}};
}

Grid protocol(int sets)
{
    Grid g(24, Row(static_cast<std::size_t>(sets + 1)));
    const char* labels[] = {"", "", "Date:", "Time:", "Car:", "Tester:"};
    for (int r = 0; r <= 5; ++r) g[static_cast<std::size_t>(r)][0] = labels[r];
    g[15][0] = "Vehicle mass, kg :";
    g[21][0] = "Car configuration :";
    for (int s = 1; s <= sets; ++s) {
        const auto c = static_cast<std::size_t>(s);
        g[0][c] = "run" + std::to_string(s) + ".ctd";
        g[2][c] = "14.5.2026";
        g[15][c] = "150" + std::to_string(s) + ",5";
        g[21][c] = "roof rails, no box";
    }
    return g;
}

ReportInput seriesInput(int option = 0)
{
    ReportInput in;
    in.setCount = 6;
    in.fixedCoeffOption = option;
    in.groupCount = 3;
    in.groupSizes = {0, 3, 1, 2};
    in.averageGrid = threeGroups();
    in.lambdaText = "1000";
    in.labels = {"A4 Avant 2.0", "Filename: series.cts", "Number of coupled .ctd-files: 6", "Comparable datapoints: 1513",
                 "Coupled start velocity: 33.6 m/s", "Coupled end velocity: 5.5 m/s"};
    in.comments = "Track Nord\nthree runs";
    in.legend = {{"run1.ctd", 0x0000FF}, {"Solution 1", 0xFF8000}, {"run3.ctd", 0x008000}};
    in.diagram = picture();
    in.title = picture();
    in.protocolGrid = protocol(6);
    in.caption = "Series 2";
    return in;
}

double number(const xlsx_test::Cell& c) { return std::stod(c.value); }

double mean(std::initializer_list<double> v)
{
    double s = 0;
    for (double x : v) s += x;
    return s / static_cast<double>(v.size());
}

double stdev(std::initializer_list<double> v)
{
    const double m = mean(v);
    double s = 0;
    for (double x : v) s += (x - m) * (x - m);
    return std::sqrt(s / static_cast<double>(v.size() - 1));
}

// ---- formulas, pasted texts and the progress step ------------------------------------------------

TEST(ReportFormulas, R1C1ReferencesBecomeA1)
{
    struct Case {
        const char* r1c1;
        int row, col;
        const char* a1;
    };
    const Case cases[] = {
        {"=AVERAGE(R[-3]C:R[-1]C)", 9, 4, "=AVERAGE(D6:D8)"},
        {"=STDEV(R[-4]C:R[-2]C)", 10, 5, "=STDEV(E6:E8)"},
        {"=100-(100/R4C2)*R9C4", 5, 7, "=100-(100/$B$4)*$D$9"},
        {"=MAX(R[5]C[2],R[8]C[2],R[12]C[2])", 4, 2, "=MAX(D9,D12,D16)"},
        {"=Results!R6C1", 1, 1, "=Results!$A$6"},
        {"=R5C[1]+R[1]C3", 2, 2, "=C$5+$C3"},
        {"=ROUND(R1C1,2)&\"R1C1\"", 1, 1, "=ROUND($A$1,2)&\"R1C1\""},
        {"=R[-5]C", 3, 1, "=#REF!"},
        {"Average", 9, 3, "Average"},
    };
    for (const Case& c : cases) EXPECT_EQ(r1c1ToA1(c.r1c1, c.row, c.col), c.a1) << c.r1c1;
}

TEST(ReportFormulas, ResultsFollowTheSpreadsheetsRules)
{
    platform::Worksheet s("S");
    s.pasteText(0, 0, "0.25\r0.5\rtext\r\r0.75\r");
    s.setFormula(6, 0, "=1/0", CellValue::error("#DIV/0!"));
    EXPECT_EQ(average(s, 0, 0, 4), CellValue::of(0.5));  // texts and empty cells are passed over
    EXPECT_DOUBLE_EQ(sampleStdev(s, 0, 0, 4).number, 0.25);
    EXPECT_EQ(average(s, 0, 2, 3), CellValue::error("#DIV/0!"));
    EXPECT_EQ(sampleStdev(s, 0, 0, 0), CellValue::error("#DIV/0!"));  // one value has no spread
    EXPECT_EQ(average(s, 0, 0, 6), CellValue::error("#DIV/0!"));      // the error in A7
    EXPECT_EQ(maximum(s, {{0, 0}, {4, 0}, {2, 0}}), CellValue::of(0.75));
    EXPECT_EQ(maximum(s, {{3, 0}}), CellValue::of(0));
    EXPECT_EQ(improvement(CellValue::of(0.3601), CellValue::of(0.3601)), CellValue::of(0));
    EXPECT_DOUBLE_EQ(improvement(CellValue::of(0.4), CellValue::of(0.3)).number, 25);
    EXPECT_EQ(improvement(CellValue::of(0), CellValue::of(0.3)), CellValue::error("#DIV/0!"));
    EXPECT_EQ(improvement(CellValue::ofText("x"), CellValue::of(0.3)), CellValue::error("#VALUE!"));
    EXPECT_EQ(improvement(CellValue::of(0.4), CellValue::empty()), CellValue::of(100));
}

TEST(ReportProgress, StepsMoveBarAndSliderBySevenths)
{
    const float bars[] = {36.42857f, 72.85714f, 109.28571f, 145.71428f, 182.14285f, 218.57143f, 255.0f, 255.0f};
    const int sliders[] = {219, 183, 147, 111, 75, 39, 3, 3};
    Progress p;
    for (int i = 0; i < 8; ++i) {
        p.step();
        EXPECT_NEAR(p.bar, bars[i], 1e-4) << "step " << i + 1;
        EXPECT_EQ(p.slider, sliders[i]) << "step " << i + 1;
    }
}

TEST(ReportTexts, MeanTableTextHasTheLinesOfTheListingAndTwoMoreAfterEachGroup)
{
    Grid g = {{"", "Dataset", "cd", "fr0", "Fit quality"}, {"", "", "", "", ""},
              {"Group 1", "run,1", "0,35", "0.01", "1,5%"}, {"", "b", "0.3", "0.02", "2%"}, {"", "c", "0.4", "0.03", "3%"},
              {"", "", "", "", ""}, {"Single", "d", "0.5", "0.04", "4%"}, {"", "", "", "", ""}};
    const MeanTable t = meanTableText(g);
    EXPECT_EQ(t.lines, 10);
    EXPECT_EQ(t.text,
              "\tDataset\tcd\tfr0\tFit quality\t\r\t\t\t\t\t\r"
              "Group 1\trun,1\t0.35\t0.01\t1.5%\t\r\tb\t0.3\t0.02\t2%\t\r\tc\t0.4\t0.03\t3%\t\r\t\t\t\t\t\r\r\r"
              "Single\td\t0.5\t0.04\t4%\t\r\t\t\t\t\t\r");
    EXPECT_EQ(meanTableText({g[0], g[1]}).lines, 2);
}

TEST(ReportTexts, DataTableTakesItsRowsInBlocksOfFiveDataSets)
{
    auto lines = [](const std::string& t) { return static_cast<int>(std::count(t.begin(), t.end(), '\r')); };
    for (const auto& [sets, blocks] : {std::pair{1, 1}, {5, 1}, {6, 2}, {30, 6}}) {
        const std::string t = dataTableText(protocol(sets));
        EXPECT_EQ(lines(t), 17 * blocks) << sets << " data sets";
    }
    const std::string six = dataTableText(protocol(6));
    EXPECT_EQ(six.substr(0, six.find('\r')), "\trun1.ctd\trun2.ctd\trun3.ctd\trun4.ctd\trun5.ctd\t");
    EXPECT_NE(six.find("Vehicle mass, kg :\t1501.5\t1502.5\t"), std::string::npos);  // commas of 15..19 become points
    EXPECT_NE(six.find("Car configuration :\troof rails, no box\t"), std::string::npos);
    EXPECT_NE(six.find("\r\r\r\trun6.ctd\t\r"), std::string::npos);  // block 2 after the two empty lines
}

TEST(ReportTexts, FromTheTenthCharacter)
{
    EXPECT_EQ(fromTenthCharacter("Filename: series.cts"), " series.cts");
    EXPECT_EQ(fromTenthCharacter("Filenäme: x"), " x");
    EXPECT_EQ(fromTenthCharacter("Filename:"), "");
    EXPECT_EQ(fromTenthCharacter(""), "");
}

// ---- the "Results" sheet ------------------------------------------------------------------------------

class ResultsSheet : public ::testing::Test {
protected:
    TempDir dir;
    xlsx_test::Workbook read(const ReportInput& in, int* lines = nullptr)
    {
        const ReportBuild b = buildReport(in);
        if (lines) *lines = b.meanTableLines;
        return report_test::writeAndRead(b.workbook, dir);
    }
};

TEST_F(ResultsSheet, GroupsGetTheirStatisticsAsFormulasWithTheirValues)
{
    int lines = 0;
    const xlsx_test::Workbook x = read(seriesInput(), &lines);
    EXPECT_EQ(lines, 15);
    auto c = x.cells("Results");
    // The table from B4; the decimal comma of a value is a point in the sheet.
    EXPECT_EQ(c["C6"].value, "run1.ctd");
    EXPECT_EQ(number(c["D8"]), 0.3531);
    EXPECT_EQ(number(c["F6"]), 0.1234);
    EXPECT_EQ(c["F6"].style.numberFormat, "0.00%");

    struct Formula {
        const char* cell;
        const char* formula;
        double value;
    };
    const double avg1 = mean({0.3512, 0.3498, 0.3531}), avg2 = mean({0.3455, 0.3467});
    const double largest = std::max({avg1, 0.3601, avg2});
    const Formula formulas[] = {
        {"D9", "AVERAGE(D6:D8)", avg1},
        {"E9", "AVERAGE(E6:E8)", mean({0.0101234, 0.0103, 0.0099876})},
        {"D10", "STDEV(D6:D8)", stdev({0.3512, 0.3498, 0.3531})},
        {"E10", "STDEV(E6:E8)", stdev({0.0101234, 0.0103, 0.0099876})},
        {"D16", "AVERAGE(D14:D15)", avg2},
        {"D17", "STDEV(D14:D15)", stdev({0.3455, 0.3467})},
        {"B4", "MAX(D9,D12,D16)", largest},
        {"G5", "100-(100/$B$4)*$D$9", 100 - 100 / largest * avg1},
        {"G6", "100-(100/$B$4)*$D$12", 0},
        {"G7", "100-(100/$B$4)*$D$16", 100 - 100 / largest * avg2},
    };
    for (const Formula& f : formulas) {
        SCOPED_TRACE(f.cell);
        EXPECT_EQ(c[f.cell].formula, f.formula);
        EXPECT_NEAR(number(c[f.cell]), f.value, 1e-12 * std::max(1.0, std::fabs(f.value)));
    }
    EXPECT_EQ(c["C9"].value, "Average");
    EXPECT_EQ(c["C10"].value, "Standard deviation");
    EXPECT_EQ(c["C16"].value, "Average");
    EXPECT_TRUE(c["C13"].value.empty());  // a single has no statistics rows
    EXPECT_EQ(c["E10"].style.numberFormat, "0.00000000");
    EXPECT_EQ(c["D10"].style.numberFormat, "");
    for (const auto& [cell, g] : {std::pair{"A6", "1"}, {"A12", "2"}, {"A14", "3"}}) {
        EXPECT_EQ(c[cell].value, g);
        EXPECT_EQ(c[cell].style.numberFormat, "\"Nr \"##");
        EXPECT_TRUE(c[cell].style.font.bold);
    }
    for (const char* hidden : {"B4", "G5", "G6", "G7"}) EXPECT_EQ(c[hidden].style.font.colour, "FFFFFFFF") << hidden;
    EXPECT_EQ(c["G5"].style.numberFormat, "0.00");
}

TEST_F(ResultsSheet, HeaderAndFramesAreFormattedAsTheTableShowsThem)
{
    const xlsx_test::Workbook x = read(seriesInput());
    auto c = x.cells("Results");
    const auto& c4 = c["C4"];
    EXPECT_EQ(c4.value, "Coupled datasets  l=1000");
    ASSERT_EQ(c4.runs.size(), 3u);
    EXPECT_EQ(c4.runs[1].first, "l");
    EXPECT_EQ(c4.runs[1].second.name, "Symbol");
    EXPECT_EQ(c4.runs[2].second.name, "Arial");
    EXPECT_EQ(c["E4"].value, "fr0             fixed");
    EXPECT_TRUE(c["E4"].runs.at(1).second.subscript);
    EXPECT_EQ(c["D4"].runs.at(1).first, "d");
    EXPECT_TRUE(c["D4"].runs.at(1).second.subscript);
    EXPECT_EQ(c["D4"].style.fill, "FF808080");
    EXPECT_TRUE(c["D4"].style.wrap);
    EXPECT_EQ(x.sheetPart("Results").all("row").at(3)->attr("ht"), "30");  // room for the wrapped titles

    // Group 1: medium outer frame B6:F10, grey labels, a double line under the last data set.
    EXPECT_EQ(c["B6"].style.left, "medium");
    EXPECT_EQ(c["B6"].style.top, "medium");
    EXPECT_EQ(c["F10"].style.right, "medium");
    EXPECT_EQ(c["D10"].style.bottom, "medium");
    EXPECT_EQ(c["B7"].style.fill, "FFC0C0C0");
    EXPECT_TRUE(c["B6"].style.font.bold);
    EXPECT_EQ(c["D8"].style.bottom, "double");
    EXPECT_EQ(c["D9"].style.top, "double");
    EXPECT_EQ(c["D6"].style.bottom, "thin");
    EXPECT_EQ(c["C6"].style.right, "thin");
    // The single: one row high, no inside horizontal line, no double line.
    EXPECT_EQ(c["D12"].style.top, "medium");
    EXPECT_EQ(c["D12"].style.bottom, "medium");
    EXPECT_EQ(c["D6"].style.hAlign, "center");
}

TEST_F(ResultsSheet, TitleBlockAndProjectLine)
{
    const xlsx_test::Workbook x = read(seriesInput());
    auto c = x.cells("Results");
    EXPECT_EQ(c["B1"].value, "    Tarnwell Results");
    EXPECT_EQ(c["B1"].style.font.name, "BankGothic Lt BT");
    EXPECT_EQ(c["B1"].style.font.size, 14);
    EXPECT_EQ(c["B1"].style.font.colour, "FFFFFFFF");
    EXPECT_EQ(c["E1"].style.fill, "FF000000");
    EXPECT_EQ(c["F1"].style.right, "medium");
    EXPECT_EQ(c["B2"].value, "Project:");
    EXPECT_EQ(c["B2"].style.fill, "FF808080");
    EXPECT_TRUE(c["B2"].style.font.bold);
    EXPECT_EQ(c["C2"].value, "A4 Avant 2.0");
    EXPECT_TRUE(c["D2"].value.empty());
    EXPECT_EQ(c["E2"].value, " series.cts");
    EXPECT_EQ(c["E2"].style.fill, "FFC0C0C0");
    EXPECT_EQ(c["D2"].style.right, "medium");  // the project name's own box C2:D2

    // The title picture: 1.8 columns E wide, ending where G begins (A 8, B 14, C 17.14 and D to
    // F 12 characters: 61, 103, 125 and 89 pixels).
    const auto pictures = x.pictures("Results");
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].width, 160 * xlsx_test::kEmuPerPixel);
    EXPECT_EQ(pictures[0].height, 61 * xlsx_test::kEmuPerPixel);
    EXPECT_EQ(pictures[0].col, 4);
    EXPECT_EQ(pictures[0].colOffset, (556 - 160 - (61 + 103 + 125 + 89)) * xlsx_test::kEmuPerPixel);
    EXPECT_EQ(pictures[0].rowOffset, 1 * xlsx_test::kEmuPerPixel);
    EXPECT_EQ(pictures[0].toCol, 6);
    EXPECT_EQ(pictures[0].toColOffset, 0);
    EXPECT_EQ(x.sheetPart("Results").first("row")->attr("ht"), "47");
}

TEST_F(ResultsSheet, ChartsShowOnePointPerGroupAndTheImprovement)
{
    const xlsx_test::Workbook x = read(seriesInput());
    const auto charts = x.charts("Results");
    ASSERT_EQ(charts.size(), 3u);
    // The last table row is 18, so the charts start at row 20, each as wide as B to F.
    for (const auto& a : charts) {
        EXPECT_EQ(a.col, 1);
        EXPECT_EQ(a.toCol, 6);
        EXPECT_EQ(a.toColOffset, 0);
    }
    EXPECT_EQ(charts[0].row, 19);
    EXPECT_EQ(charts[0].rowOffset, 0);
    EXPECT_EQ(charts[1].row, 21 + 288 / 20);  // two rows below, plus the height of chart 1
    EXPECT_EQ(charts[2].row, 23 + 2 * 288 / 20);

    const xlsx_test::Element drag = x.part(charts[0].target);
    EXPECT_EQ(drag.first("c:title")->allText(), "Coefficients of aerodynamic drag");
    const auto series = drag.all("c:ser");
    ASSERT_EQ(series.size(), 3u);
    const char* values[] = {"Results!$D$9", "Results!$D$12", "Results!$D$16"};
    const char* names[] = {"Results!$B$6", "Results!$B$12", "Results!$B$14"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(series[i]->first("c:yVal")->first("c:f")->text, values[i]);
        EXPECT_EQ(series[i]->first("c:tx")->first("c:f")->text, names[i]);
        EXPECT_EQ(series[i]->first("c:marker")->first("a:srgbClr")->attr("val"), "333399");
    }
    EXPECT_EQ(series[0]->first("c:xVal")->first("c:f")->text, "Results!$A$6");
    // The chart's own copy of a point's value is the Average formula's result, not 0.
    const auto dragCache = series[0]->first("c:yVal")->all("c:v");
    ASSERT_EQ(dragCache.size(), 1u);
    EXPECT_NEAR(std::stod(dragCache[0]->text), mean({0.3512, 0.3498, 0.3531}), 1e-15);
    EXPECT_NEAR(std::stod(series[0]->first("c:errBars")->child("c:val")->attr("val")), stdev({0.3512, 0.3498, 0.3531}), 1e-15);
    EXPECT_EQ(series[1]->first("c:errBars"), nullptr);
    EXPECT_EQ(drag.all("c:valAx")[1]->first("c:title")->allText(), "Cd, 1 ");
    EXPECT_EQ(drag.first("c:legend"), nullptr);

    const xlsx_test::Element rolling = x.part(charts[1].target);
    EXPECT_EQ(rolling.first("c:title")->allText(), "Coefficients of rolling resistance");
    EXPECT_EQ(rolling.all("c:valAx")[1]->first("c:title")->allText(), "fR 0, 1 ");
    EXPECT_EQ(rolling.all("c:ser")[2]->first("c:yVal")->first("c:f")->text, "Results!$E$16");
    EXPECT_EQ(rolling.all("c:ser")[0]->first("c:marker")->first("a:srgbClr")->attr("val"), "FF0000");
    EXPECT_NEAR(std::stod(rolling.all("c:ser")[2]->first("c:errBars")->child("c:val")->attr("val")), stdev({0.01012, 0.01044}), 1e-15);

    const xlsx_test::Element gain = x.part(charts[2].target);
    EXPECT_EQ(gain.first("c:title")->allText(), "Aerodynamic drag improvement");
    EXPECT_EQ(gain.first("c:ser")->first("c:val")->first("c:f")->text, "Results!$G$5:$G$7");
    const auto gainCache = gain.first("c:ser")->first("c:val")->all("c:v");
    ASSERT_EQ(gainCache.size(), 3u);
    const auto results = x.cells("Results");
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(std::stod(gainCache[i]->text), number(results.at("G" + std::to_string(5 + i)))) << "G" << 5 + i;
    EXPECT_GT(std::stod(gainCache[0]->text), 0);
    EXPECT_EQ(gain.first("c:ser")->first("c:spPr")->first("a:srgbClr")->attr("val"), "333399");
    EXPECT_TRUE(gain.first("c:dTable"));
}

TEST_F(ResultsSheet, TheTiedCoefficientDecidesColumnTitleAndColour)
{
    const xlsx_test::Workbook x = read(seriesInput(1));
    auto c = x.cells("Results");
    EXPECT_EQ(c["D4"].value, "cd             fixed");
    EXPECT_EQ(c["E4"].value, "fr0");
    EXPECT_EQ(c["G5"].formula, "100-(100/$B$4)*$E$9");
    EXPECT_EQ(c["B4"].formula, "MAX(E9,E12,E16)");
    const xlsx_test::Element gain = x.part(x.charts("Results")[2].target);
    EXPECT_EQ(gain.first("c:title")->allText(), "Rolling resistance improvement");
    EXPECT_EQ(gain.first("c:ser")->first("c:spPr")->first("a:srgbClr")->attr("val"), "FF0000");
}

TEST_F(ResultsSheet, OneGroupAloneGetsNoCharts)
{
    ReportInput in = seriesInput();
    in.groupCount = 1;
    in.groupSizes = {0, 1};
    in.averageGrid = {threeGroups()[0], threeGroups()[1], threeGroups()[6], threeGroups()[7]};
    const xlsx_test::Workbook x = read(in);
    auto c = x.cells("Results");
    EXPECT_EQ(c["B4"].formula, "MAX(D6)");
    EXPECT_EQ(c["G5"].formula, "100-(100/$B$4)*$D$6");
    EXPECT_EQ(number(c["G5"]), 0);
    EXPECT_TRUE(x.charts("Results").empty());
}

// ---- the "Input data" sheet -----------------------------------------------------------------------------

TEST(InputDataSheet, SeriesReportHasTitleSummaryLegendDiagramAndDataTable)
{
    TempDir dir;
    std::vector<int> steps;
    const ReportBuild b = buildReport(seriesInput(), [&steps](int s) { steps.push_back(s); });
    EXPECT_EQ(steps, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    const xlsx_test::Workbook x = report_test::writeAndRead(b.workbook, dir);
    EXPECT_EQ(x.sheetNames(), (std::vector<std::string>{"Input data", "Results"}));
    EXPECT_EQ(x.activeTab(), 1);
    EXPECT_NE(x.file("docProps/core.xml").find("Series 2"), std::string::npos);
    auto c = x.cells("Input data");
    EXPECT_EQ(c["A1"].value, "    TarnwellSeries Report");
    EXPECT_EQ(c["A2"].value, "Project:");
    EXPECT_EQ(c["B2"].value, "A4 Avant 2.0");
    EXPECT_EQ(c["D2"].value, " series.cts");
    EXPECT_EQ(c["C2"].style.right, "medium");
    EXPECT_EQ(c["A4"].value, "Number of coupled .ctd-files: 6");
    EXPECT_EQ(c["A7"].value, "Coupled end velocity: 5.5 m/s");
    EXPECT_EQ(c["B7"].style.fill, "FFC0C0C0");
    EXPECT_EQ(c["C4"].value, "Comments:");
    EXPECT_EQ(c["C5"].value, "Track Nord");
    EXPECT_EQ(c["C6"].value, "three runs");
    // Legend lines from E9, each in its curve's colour (the program's colours are blue-green-red).
    EXPECT_EQ(c["E9"].value, std::string(17, ' ') + "run1.ctd");
    EXPECT_EQ(c["E9"].style.font.colour, "FFFF0000");
    EXPECT_EQ(c["E10"].style.font.colour, "FF0080FF");
    EXPECT_EQ(c["E11"].value, std::string(17, ' ') + "run3.ctd");
    EXPECT_EQ(c["E11"].style.font.size, 8);
    EXPECT_EQ(c["F29"].style.bottom, "thin");

    // Two blocks of the data table, framed from A to F.
    EXPECT_EQ(c["B32"].value, "run1.ctd");
    EXPECT_EQ(c["F32"].value, "run5.ctd");
    EXPECT_EQ(c["B49"].value, "run6.ctd");
    EXPECT_EQ(c["A38"].value, "Vehicle mass, kg :");  // after the tester line and an empty line
    EXPECT_EQ(c["B38"].type, "n");
    EXPECT_EQ(number(c["B38"]), 1501.5);
    EXPECT_EQ(c["B44"].value, "roof rails, no box");
    EXPECT_EQ(c["B49"].style.font.name, "Arial");
    EXPECT_EQ(c["B49"].style.font.size, 8);
    EXPECT_EQ(c["F63"].style.right, "thin");
    EXPECT_EQ(c["F63"].style.bottom, "thin");
    EXPECT_EQ(c["C49"].style.fill, "FFC0C0C0");
    EXPECT_EQ(c["A55"].style.fill, "FFC0C0C0");
    EXPECT_EQ(c["B50"].style.hAlign, "center");
    EXPECT_EQ(x.sheetPart("Input data").first("selection")->attr("activeCell"), "A3");

    // The title picture and the diagram over A9 to the middle of E, rows 9 to 29.
    const auto pictures = x.pictures("Input data");
    ASSERT_EQ(pictures.size(), 2u);
    const auto& diagram = pictures[1];
    EXPECT_EQ(diagram.col, 0);
    EXPECT_EQ(diagram.row, 8);
    EXPECT_EQ(diagram.width, 436 * xlsx_test::kEmuPerPixel);  // A 124, B to D 89 pixels, half of D
    EXPECT_EQ(diagram.height, 21 * 20 * xlsx_test::kEmuPerPixel);
}

// Texts from data files with a tab, a CR or another control character each fill exactly their
// own cell: nothing spreads into the next column or starts a row of its own.
TEST(InputDataSheet, ControlCharactersInTextsStayInTheirCell)
{
    TempDir dir;
    ReportInput in = seriesInput();
    in.labels[0] = "A\tB";
    in.protocolGrid[4][1] = "A\rB";  // the car of run1
    in.protocolGrid[5][2] = "T\tT";  // the tester of run2
    in.averageGrid[3][1] = "run\t2.ctd";
    in.comments = "Track\tNord\r\nthree\x01runs\rX\nlast";
    const xlsx_test::Workbook x = report_test::writeAndRead(buildReport(in).workbook, dir);

    auto c = x.cells("Input data");
    EXPECT_EQ(c["B2"].value, "A B");
    EXPECT_FALSE(c.count("C2") && !c["C2"].value.empty());
    EXPECT_EQ(c["D2"].value, " series.cts");
    EXPECT_EQ(c["C5"].value, "Track Nord");
    EXPECT_EQ(c["C6"].value, "three runs X");
    EXPECT_EQ(c["C7"].value, "last");
    EXPECT_EQ(c["B35"].value, "A B");
    EXPECT_EQ(c["C36"].value, "T T");
    EXPECT_EQ(c["A38"].value, "Vehicle mass, kg :");
    EXPECT_EQ(number(c["B38"]), 1501.5);
    EXPECT_EQ(number(c["F38"]), 1505.5);
    EXPECT_EQ(c["B44"].value, "roof rails, no box");
    EXPECT_EQ(c["B49"].value, "run6.ctd");

    auto r = x.cells("Results");
    EXPECT_EQ(r["C2"].value, "A B");
    EXPECT_EQ(r["E2"].value, " series.cts");
    EXPECT_EQ(r["C7"].value, "run 2.ctd");
    EXPECT_EQ(number(r["D7"]), 0.3498);
    EXPECT_EQ(number(r["E7"]), 0.0103);
    EXPECT_EQ(r["D9"].formula, "AVERAGE(D6:D8)");
    EXPECT_NEAR(number(r["D9"]), mean({0.3512, 0.3498, 0.3531}), 1e-12);
}

// A comment of up to four lines ends above the diagram in row 9. A longer one pushes the
// diagram, its legend and what follows below its last line, so no line lies under the picture.
TEST(InputDataSheet, TheDiagramStartsBelowTheLastCommentLine)
{
    struct Case {
        const char* comment;
        const char* lastCell;  // the last comment line
        int diagramRow;        // from 1
    };
    const Case cases[] = {{"", "C4", 9},
                          {"1\n2\n3\n4", "C8", 9},
                          {"1\n2\n3\n4\n5", "C9", 10},
                          {"1\n2\n3\n4\n5\n6\nseventh line of the comment", "C11", 12},
                          {"1\n2\n3\n4\n\n \n", "C8", 9}};  // lines holding nothing hide nothing
    for (const Case& c : cases) {
        for (const bool series : {true, false}) {
            SCOPED_TRACE(std::string(c.comment) + (series ? " (series)" : " (data file)"));
            TempDir dir;
            ReportInput in = seriesInput();
            if (!series) {
                in.setCount = 1;
                in.resultGrid = picture();
            }
            in.comments = c.comment;
            const xlsx_test::Workbook x = report_test::writeAndRead(buildReport(in).workbook, dir);
            auto cells = x.cells("Input data");
            const int last = std::stoi(std::string(c.lastCell).substr(1));
            EXPECT_FALSE(cells[c.lastCell].value.empty());
            for (int r = last + 1; r < c.diagramRow + 21; ++r)
                EXPECT_EQ(cells["C" + std::to_string(r)].value.find_first_not_of(' '), std::string::npos) << r;

            const auto pictures = x.pictures("Input data");
            ASSERT_EQ(pictures.size(), series ? 2u : 3u);
            const int shift = c.diagramRow - 9;
            EXPECT_EQ(pictures[1].row, c.diagramRow - 1);
            EXPECT_EQ(pictures[1].col, 0);
            EXPECT_EQ(pictures[1].height, 21 * 20 * xlsx_test::kEmuPerPixel);
            // The legend beside it, its box, and below them the data table or the result grid.
            EXPECT_EQ(cells["E" + std::to_string(9 + shift)].value, std::string(17, ' ') + "run1.ctd");
            EXPECT_EQ(cells["F" + std::to_string(29 + shift)].style.bottom, "thin");
            if (series) {
                EXPECT_EQ(cells["B" + std::to_string(32 + shift)].value, "run1.ctd");
                EXPECT_EQ(cells["B" + std::to_string(49 + shift)].value, "run6.ctd");
                EXPECT_EQ(cells["F" + std::to_string(63 + shift)].style.bottom, "thin");
            } else {
                EXPECT_EQ(pictures[2].row, 30 + shift);
            }
        }
    }
}

TEST(InputDataSheet, DataFileReportIsOneSheetWithTheResultGridPicture)
{
    TempDir dir;
    ReportInput in;
    in.setCount = 1;
    in.labels = {"Proj", "Filename: run1.ctd", "Number of datapoints between ", "max. and min. value: 1513",
                 "Start velocity: 33.6 m/s", "End velocity: 5.5 m/s"};
    in.legend = {{"run1.ctd", 0}};
    in.diagram = picture();
    in.resultGrid = picture();
    std::vector<int> steps;
    const ReportBuild b = buildReport(in, [&steps](int s) { steps.push_back(s); });
    EXPECT_EQ(steps, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    const xlsx_test::Workbook x = report_test::writeAndRead(b.workbook, dir);
    EXPECT_EQ(x.sheetNames(), (std::vector<std::string>{"Input data"}));
    auto c = x.cells("Input data");
    EXPECT_EQ(c["A1"].value, "    TarnwellData Report");
    EXPECT_EQ(c["D2"].value, " run1.ctd");
    EXPECT_EQ(c["C4"].value, "Comments:");
    EXPECT_FALSE(c.count("A32"));
    const auto pictures = x.pictures("Input data");
    ASSERT_EQ(pictures.size(), 2u);  // no title picture given: the diagram and the result grid
    EXPECT_EQ(pictures[1].row, 30);
    EXPECT_EQ(pictures[1].col, 0);
    EXPECT_EQ(pictures[1].width, 480 * xlsx_test::kEmuPerPixel);  // as large as the grid is drawn
    EXPECT_EQ(pictures[1].height, 180 * xlsx_test::kEmuPerPixel);
}

}  // namespace
