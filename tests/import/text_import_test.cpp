#include "import/core/text_import.h"
#include "numbers/numbers.h"

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

namespace {

// A text file of one header row and time/velocity rows "t;v" at the given times.
importer::ImportLines timedRun(const std::vector<std::string>& times)
{
    std::string text = "t;v\r\n";
    double v = 30;
    for (const std::string& t : times) {
        text += t + ";" + std::to_string(v) + "\r\n";
        v -= 0.1;
    }
    return importer::nonEmptyLines(text);
}

importer::TimeSteps steps(const importer::ImportLines& lines, double interval, int layout = 1)
{
    return importer::timeSteps(lines, static_cast<std::int32_t>(lines.size()), 1, layout, 1, interval);
}

}  // namespace

TEST(TimeColumn, StepsAgainstTheIntervalEntered)
{
    std::vector<std::string> tenth;
    for (int i = 0; i < 40; ++i) tenth.push_back(numbers::formatNumber(i * 0.1, "0.0"));
    // Uniform at the column's own precision: 0.1 s written with one decimal.
    EXPECT_EQ(steps(timedRun(tenth), 0.1).differing, 0);
    EXPECT_EQ(steps(timedRun(tenth), 0.1).steps, 39);
    // An interval finer than the column writes (0.05 s shows as steps of 0.0 and 0.1) agrees.
    std::vector<std::string> twentieth;
    for (int i = 0; i < 40; ++i) twentieth.push_back(numbers::formatNumber(i * 0.05, "0.0"));
    EXPECT_EQ(steps(timedRun(twentieth), 0.05).differing, 0);
    // Binary noise in the last places is no step of its own.
    EXPECT_EQ(steps(timedRun({"0", "0.1", "0.30000000000000004", "0.3999999999999999", "0.5"}), 0.1).differing, 1);
    EXPECT_EQ(steps(timedRun({"0", "0.1", "0.20000000000000004", "0.2999999999999999", "0.4"}), 0.1).differing, 0);

    // A column of another step: every step differs, the first one ends on line 3.
    const importer::TimeSteps other = steps(timedRun(tenth), 0.2);
    EXPECT_EQ(other.differing, 39);
    EXPECT_EQ(other.firstLine, 3u);
    EXPECT_DOUBLE_EQ(other.firstStep, 0.1);

    // A measured column: steps from 0.0001 s to 0.99 s in its first 26 rows, then 1 s, against
    // the 1 s entered; an empty line before the data counts as a line of the file.
    std::vector<std::string> measured = {"0"};
    double t = 0;
    for (int i = 1; i < 26; ++i) {
        t += i == 1 ? 0.0001 : 0.99 * i / 25.0;
        measured.push_back(numbers::formatNumber(t, "0.0000"));
    }
    for (int i = 0; i < 200; ++i) measured.push_back(numbers::formatNumber(t += 1, "0.0000"));
    std::string text = "t;v\r\n\r\n";
    for (std::size_t i = 0; i < measured.size(); ++i) text += measured[i] + ";" + std::to_string(30 - 0.1 * i) + "\r\n";
    const importer::ImportLines lines = importer::nonEmptyLines(text);
    const importer::TimeSteps m = steps(lines, 1.0);
    EXPECT_EQ(m.steps, 225);
    EXPECT_EQ(m.differing, 25);  // 0.99 s is 100 units of the fourth decimal short of 1 s
    EXPECT_EQ(m.firstLine, 4u);
    EXPECT_DOUBLE_EQ(m.firstStep, 0.0001);

    // "v , t" reads the time after the separator; a row without it breaks the steps.
    EXPECT_EQ(steps(importer::ImportLines{"v;t", "30;0.0", "29;0.1", "28", "27;0.7", "26;0.8"}, 0.1, 2).steps, 2);
    // No time column, no steps.
    EXPECT_EQ(steps(timedRun(tenth), 0.2, 0).steps, 0);
}

TEST(TimeColumn, TheQuestionSaysWhatDiffersAndWhatIsUsed)
{
    EXPECT_FALSE(importer::timeColumnQuestion(importer::TimeSteps{39, 0, 0, 0}, "0.1"));
    const auto q = importer::timeColumnQuestion(importer::TimeSteps{225, 25, 4, 0.0001}, "1");
    ASSERT_TRUE(q);
    EXPECT_EQ(q->title, "Warning");
    EXPECT_EQ(q->buttons, platform::Buttons::YesNo);
    EXPECT_EQ(q->icon, platform::Icon::Question);
    EXPECT_EQ(q->text,
              "The time column does not step by the sample rate entered, 1 s: 25 of 225 steps differ, the first at line 4 "
              "of the file (a step of 0.0001 s).\nThe time column is not read: the data file places every sample 1 s "
              "after the one before.\nSave it with the sample rate of 1 s? No goes back to the form.");
}
