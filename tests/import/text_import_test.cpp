#include "import/core/text_import.h"

#include <gtest/gtest.h>

namespace {

using importer::importStatistics;
using importer::velocityNumber;
using importer::velocityText;

double rowVelocity(std::string_view row, int timeColumn, int separatorCode)
{
    return velocityNumber(velocityText(row, timeColumn, separatorCode));
}

TEST(VelocityField, LayoutsAndSeparators)
{
    struct Case {
        const char* row;
        int timeColumn, separatorCode;
        double v;
    };
    const Case cases[] = {
        {"25,3", 0, 0, 25},            // the comma ends the number
        {"25.3", 0, 1, 25.3},
        {"25 3", 0, 2, 25},            // a blank after digits ends it
        {"  25.3", 0, 2, 25.3},        // leading blanks are skipped
        {"0.5;12.25", 1, 1, 12.25},
        {"12.5", 1, 1, 12.5},          // no separator: the whole row
        {"0.1  25.3", 1, 2, 25.3},     // field starts with a blank
        {"0.1 25.3 7", 1, 2, 25.3},    // a third column never joins
        {"0.1\t25.3\t7", 1, 3, 25.3},
        {"0.1,25.3,7", 1, 0, 25.3},
        {"25.3;0.1", 2, 1, 25.3},
        {"25.3", 2, 1, 25.3},          // "v , t" without separator: the whole row
        {"- 4 2", 0, 2, -4},           // blanks between sign and digits still skipped
        {"x", 0, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rowVelocity(c.row, c.timeColumn, c.separatorCode), c.v) << c.row << " layout " << c.timeColumn;
    EXPECT_EQ(velocityText("0.1;2;3", 1, 1), "2;3");
    EXPECT_EQ(velocityText("7;0.1", 2, 1), "7");
}

TEST(DecimalComma, RewritesDataRowsOnly)
{
    importer::ImportLines lines{"a,b", "0,5;12,25", "12,5"};
    const importer::ImportLines asRead = lines;
    importer::applyDecimalComma(lines, 3, 1);
    EXPECT_EQ(lines.strings(), (std::vector<std::string>{"a,b", "0.5;12.25", "12.5"}));
    EXPECT_EQ(asRead.strings(), (std::vector<std::string>{"a,b", "0,5;12,25", "12,5"}));  // a copy keeps them as read
    EXPECT_EQ(rowVelocity(lines[1], 1, 1), 12.25);
    EXPECT_EQ(rowVelocity(lines[2], 1, 1), 12.5);
}

TEST(NonEmptyLines, DropsOnlyExactlyEmptyLines)
{
    EXPECT_EQ(importer::nonEmptyLines("\r\n1\n \r\n\n2").strings(), (std::vector<std::string>{"1", " ", "2"}));
    EXPECT_EQ(importer::nonEmptyLines("a\r\n\r\n").strings(), std::vector<std::string>{"a"});
    EXPECT_TRUE(importer::nonEmptyLines("").empty());
}

TEST(ImportStatistics, PointNumbersByLayout)
{
    const std::vector<std::string> plain{"head", "head", "30", "25", "20", "15", "10"};
    auto s = importStatistics(plain, 7, 2, 0, 0);
    EXPECT_EQ(s.dataRows, 5);
    EXPECT_EQ(s.maxVelocity, 30);
    EXPECT_EQ(s.maxVelocityRow, 1);
    EXPECT_EQ(s.minVelocity, 10);
    EXPECT_EQ(s.minVelocityRow, 5);
    EXPECT_TRUE(importer::dataListPlausible(s));

    const std::vector<std::string> timed{"head", "head", "0;30", "1;25", "2;20", "3;15", "4;10"};
    s = importStatistics(timed, 7, 2, 1, 1);
    EXPECT_EQ(s.maxVelocityRow, 3);
    EXPECT_EQ(s.minVelocityRow, 7);
    EXPECT_TRUE(importer::dataListPlausible(s));
}

TEST(ImportStatistics, ComparisonChain)
{
    // Equal first rows: the second becomes the minimum candidate; equal lows keep the first.
    auto s = importStatistics({"30", "30", "20", "10", "10"}, 5, 0, 0, 0);
    EXPECT_EQ(s.maxVelocityRow, 1);
    EXPECT_EQ(s.minVelocity, 10);
    EXPECT_EQ(s.minVelocityRow, 4);
    s = importStatistics({"30", "30"}, 2, 0, 0, 0);
    EXPECT_EQ(s.minVelocity, 30);
    EXPECT_EQ(s.minVelocityRow, 2);
}

TEST(ImportStatistics, ImplausibleLists)
{
    struct Case {
        std::vector<std::string> lines;
        int headerRows;
    };
    const Case cases[] = {
        {{}, 0},                            // empty file
        {{"1", "2"}, 2},                    // header rows only
        {{"1", "2"}, 5},                    // more header rows than lines
        {{"10", "20", "30"}, 0},            // rising record
        {{"30", "20", "0.0"}, 0},           // ends at 0
        {{"3000", "2000", "1500"}, 0},      // all above the start minimum
        {{"30", "1e400", "20"}, 0},         // outside the double range
    };
    for (const Case& c : cases) {
        const auto s = importStatistics(c.lines, static_cast<int>(c.lines.size()), c.headerRows, 0, 0);
        EXPECT_FALSE(importer::dataListPlausible(s)) << (c.lines.empty() ? "" : c.lines.back());
    }
    const auto m = importer::dataListError();
    EXPECT_EQ(m.text, "Error in data-list!");
    EXPECT_EQ(m.title, "Warning");
    EXPECT_EQ(m.icon, platform::Icon::Critical);
}

TEST(ImportStatistics, HeaderRowsAreNeverEvaluated)
{
    const auto s = importStatistics({"999", "-5", "30", "20"}, 4, 2, 0, 0);
    EXPECT_EQ(s.maxVelocity, 30);
    EXPECT_EQ(s.minVelocity, 20);
}

TEST(ImportStatistics, ANegativeHeaderRowCountReadsNothingBeforeTheFirstLine)
{
    for (const int headerRows : {-1, -25536}) {  // -25536: 40000 through a 16-bit count
        const auto s = importStatistics({"30", "20"}, 2, headerRows, 0, 0);
        EXPECT_EQ(s.dataRows, 2) << headerRows;
        EXPECT_EQ(s.maxVelocityRow, 1) << headerRows;
        EXPECT_EQ(s.minVelocityRow, 2) << headerRows;
    }
}

TEST(HeaderRows, Check)
{
    struct Case {
        const char* text;
        bool accepted, notNumeric;
        int rows;
    };
    const Case cases[] = {
        {"0", true, false, 0}, {"30", true, false, 30}, {"2", true, false, 2}, {" 5", true, false, 5},
        {"31", false, false, 0}, {"-1", false, false, 0}, {"ab", false, true, 0}, {"", false, true, 0},
        {"2.5", true, false, 2}, {"3.5", true, false, 4},
    };
    for (const Case& c : cases) {
        const auto r = importer::checkHeaderRows(c.text);
        EXPECT_EQ(r.accepted, c.accepted) << c.text;
        EXPECT_EQ(r.notNumeric, c.notNumeric) << c.text;
        if (c.accepted) EXPECT_EQ(r.headerRows, c.rows) << c.text;
        else ASSERT_TRUE(r.message.has_value());
    }
    const auto range = importer::checkHeaderRows("31").message.value();
    EXPECT_EQ(range.text, "Please insert value between 0 and 30 !");
    EXPECT_EQ(range.title, "Number of headerrows");
    EXPECT_EQ(range.icon, platform::Icon::Information);
    const auto letters = importer::checkHeaderRows("ab").message.value();
    EXPECT_EQ(letters.text, "Please insert numerical value!");
    EXPECT_EQ(letters.icon, platform::Icon::Critical);
}

TEST(ResultLabels, ThreeDecimalsWithAPoint)
{
    EXPECT_EQ(importer::resultNumber(12.5), "12.500");
    EXPECT_EQ(importer::resultNumber(0.0625), "0.063");
}

}  // namespace
