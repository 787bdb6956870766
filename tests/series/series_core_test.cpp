// The series file checks, the data-file pass and the load-time fit.
#include "analysis/core/header_grid.h"
#include "analysis/series/core/series_load.h"
#include "numbers/numbers.h"
#include "tests/series/series_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using series_test::RunSpec;
using series_test::ScratchDir;

namespace {

const std::string kProblem = "There occured a problem with the CTS-file!";
const std::string kRate = "Datasets with different sample rate can NOT be compared!";

std::string missingText(const std::string& name)
{
    return "The .cts-file has to be in the same directory like all the .ctd-files it is pointing on!\n"
           "The file " + name + " could not be found in this directory.";
}

// A series file's text from its lines.
std::string seriesText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text;
}

struct ParseCase {
    const char* what;
    std::vector<std::string> lines;
    const char* detailPart;  // expected in the second line of the message
};

TEST(SeriesFileParse, RefusesMalformedSeriesSayingWhatAndWhere)
{
    const std::vector<ParseCase> cases = {
        {"one data file", {"1", "100", "a.ctd,31,131"}, "Line 1"},
        {"31 data files", {"31", "100", "a.ctd,31,131"}, "Line 1"},
        {"count not a number", {"two", "100", "a.ctd,31,131", "b.ctd,31,131"}, "Line 1"},
        {"empty file", {}, "Line 1"},
        {"two comparable samples", {"2", "2", "a.ctd,31,33", "b.ctd,31,33"}, "Line 2: the number of comparable samples is \"2\"; at least 3"},
        {"samples beyond int", {"2", "2147483648", "a.ctd,31,33", "b.ctd,31,33"},
         "Line 2: the number of comparable samples is \"2147483648\"; that is too large for the program."},
        {"samples beyond double", {"2", "1e999", "a.ctd,31,33", "b.ctd,31,33"}, "\"1e999\"; that is too large for the program."},
        {"samples far below", {"2", "-2147483648", "a.ctd,31,33", "b.ctd,31,33"}, "\"-2147483648\"; at least 3 are needed."},
        {"entry without numbers", {"2", "100", "a.ctd,31,131", "b.ctd"}, "Line 4"},
        {"entry with one number", {"2", "100", "a.ctd,31", "b.ctd,31,131"}, "Line 3"},
        {"entry with text for a number", {"2", "100", "a.ctd,31,131", "b.ctd,x,131"}, "Line 4"},
        {"entry with empty last number", {"2", "100", "a.ctd,31,", "b.ctd,31,131"}, "Line 3"},
        {"entry without a name", {"2", "100", ",31,131", "b.ctd,31,131"}, "Line 3"},
        {"first line in the header", {"2", "100", "a.ctd,30,130", "b.ctd,31,131"}, "Line 3"},
        {"window shorter than the samples", {"2", "100", "a.ctd,31,131", "b.ctd,31,130"}, "Line 4"},
        {"name with a folder", {"2", "100", "a.ctd,31,131", "sub/b.ctd,31,131"}, "Line 4"},
        {"name with a backslash", {"2", "100", "a.ctd,31,131", "sub\\b.ctd,31,131"}, "Line 4"},
        {"name ..", {"2", "100", "..,31,131", "b.ctd,31,131"}, "Line 3: the name \"..\" holds a path"},
        {"name .", {"2", "100", "a.ctd,31,131", ".,31,131"}, "Line 4: the name \".\" holds a path"},
        {"entries missing", {"3", "100", "a.ctd,31,131", "b.ctd,31,131"}, "line 5"},
        {"huge line number", {"2", "100", "a.ctd,31,1e300", "b.ctd,31,131"}, "Line 3"},
        {"name with a NUL", {"2", "100", std::string("a.ctd\0x", 7) + ",31,131", "b.ctd,31,131"}, "is no file name"},
        {"name longer than a file name", {"2", "100", std::string(256, 'a') + ",31,131", "b.ctd,31,131"}, "is no file name"},
        {"10 MB count line", {std::string(10 << 20, '7'), "100"}, "(10485760 characters)"},
    };
    for (const auto& c : cases) {
        series::SeriesFile f;
        const auto m = series::parseSeriesFile(seriesText(c.lines), f);
        ASSERT_TRUE(m.has_value()) << c.what;
        EXPECT_EQ(m->title, "CTS-Error") << c.what;
        EXPECT_EQ(m->buttons, platform::Buttons::Ok) << c.what;
        EXPECT_EQ(m->text.rfind(kProblem + "\n", 0), 0u) << c.what << ": " << m->text;
        EXPECT_NE(m->text.find(c.detailPart), std::string::npos) << c.what << ": " << m->text;
        EXPECT_LT(m->text.size(), 400u) << c.what;  // a message box shows it whole
    }
}

TEST(SeriesFileParse, ReadsEntriesCountsAndComment)
{
    series::SeriesFile f;
    ASSERT_FALSE(series::parseSeriesFile(seriesText({"2", "100.4", "run 1.ctd,57,157", "run2.ctd,31.5,140", "Track A, dry",
                                                      "", "third"}), f));
    EXPECT_EQ(f.count, 2);
    EXPECT_EQ(f.sampleCount, 100.4);  // kept as read; the window length is rounded
    EXPECT_EQ(f.samples, 100);
    ASSERT_EQ(f.entries.size(), 2u);
    EXPECT_EQ(f.entries[0].name, "run 1.ctd");
    EXPECT_EQ(f.entries[0].firstLine, 57);
    EXPECT_EQ(f.entries[0].lastLine, 157);
    EXPECT_EQ(f.entries[1].firstLine, 32);  // halves to the even neighbour
    EXPECT_EQ(f.comment, "Track A, dry\r\n\r\nthird");

    std::vector<std::string> thirty = {"30", "3"};
    for (int i = 0; i < 30; ++i) thirty.push_back("r.ctd,31,34");
    ASSERT_FALSE(series::parseSeriesFile(seriesText(thirty), f));
    EXPECT_EQ(f.entries.size(), 30u);
    EXPECT_EQ(f.comment, "");
}

class SeriesLoadTest : public ::testing::Test {
protected:
    ScratchDir dir;
    std::vector<std::vector<std::string>> written;

    void data(const std::string& name, const RunSpec& run)
    {
        written.push_back(series_test::dataFileLines(run));
        dir.write(name, written.back());
    }
    series::SeriesLoad load(const std::vector<std::string>& cts, const std::string& name = "s.cts")
    {
        dir.write(name, cts, false);
        return series::loadSeries(dir.file(name));
    }
};

TEST_F(SeriesLoadTest, ExampleWindowsFillSamplesHeaderAndParameters)
{
    RunSpec a;
    RunSpec b;
    b.project = "Other";
    b.mass = "1800";
    b.temperature = "-5.5";
    data("a.ctd", a);
    data("b.ctd", b);
    const auto r = load({"2", "100", "a.ctd,31,131", "b.ctd,40,140", "first", "second"});
    ASSERT_TRUE(r.content) << (r.message ? r.message->text : "");
    const auto& c = *r.content;
    EXPECT_EQ(c.directory, dir.dir());
    EXPECT_EQ(c.fileTitle, "s.cts");
    EXPECT_EQ(c.sampleInterval, 0.1);
    ASSERT_EQ(c.velocitySamples.rows(), 100);
    ASSERT_EQ(c.velocitySamples.cols(), 2);
    const int firstLines[] = {31, 40};
    for (int j = 1; j <= 2; ++j)
        for (int r0 : {0, 1, 50, 100})
            EXPECT_EQ(c.velocitySamples(r0, j),
                      numbers::leadingNumber(written[j - 1][static_cast<std::size_t>(firstLines[j - 1] + r0 - 1)]))
                << "set " << j << " row " << r0;
    EXPECT_DOUBLE_EQ(c.velocitySamples(0, 2), 30.0 - 9 * 0.1);  // line 40 = sample 10
    EXPECT_EQ(c.headerValues(1, 2), "Other");
    EXPECT_EQ(c.headerValues(11, 1), "1");
    EXPECT_EQ(c.headerValues(20, 1), "config");
    EXPECT_EQ(c.headerValues(13, 1), "");  // not a header row of a series window
    EXPECT_EQ(c.testParameters(1, 2), 1800);
    EXPECT_EQ(c.testParameters(4, 2), -5.5);
    EXPECT_EQ(c.testParameters(5, 1), 2.2);
    EXPECT_EQ(c.testParameters(0, 1), 0);
    EXPECT_EQ(series::protocolRows(c), 140);
    EXPECT_EQ(c.file.comment, "first\r\nsecond");
}

TEST_F(SeriesLoadTest, MissingMemberInTheMiddleIsNamedAndNothingIsLoaded)
{
    data("a.ctd", RunSpec{});
    data("c.ctd", RunSpec{});
    const auto r = load({"3", "100", "a.ctd,31,131", "b.ctd,31,131", "c.ctd,31,131"});
    EXPECT_FALSE(r.content);
    ASSERT_TRUE(r.message);
    EXPECT_EQ(r.message->text, missingText("b.ctd"));
    EXPECT_EQ(r.message->title, "CTS-Error");
    EXPECT_EQ(r.message->icon, platform::Icon::Critical);

    dir.write("empty.ctd", {}, false);
    const auto e = load({"2", "100", "a.ctd,31,131", "empty.ctd,31,131"});
    ASSERT_TRUE(e.message);
    EXPECT_EQ(e.message->text, kProblem + "\nThe data file empty.ctd can not be read. The file is empty.");
}

TEST_F(SeriesLoadTest, DataFileShorterThanItsWindowIsRefused)
{
    RunSpec shortRun;
    shortRun.samples = 100;  // lines 31..130
    data("a.ctd", RunSpec{});
    data("b.ctd", shortRun);
    const auto r = load({"2", "100", "a.ctd,31,131", "b.ctd,31,131"});
    EXPECT_FALSE(r.content);
    ASSERT_TRUE(r.message);
    EXPECT_EQ(r.message->text.rfind(kProblem + "\n", 0), 0u);
    EXPECT_NE(r.message->text.find("b.ctd has 130 lines"), std::string::npos) << r.message->text;
    EXPECT_NE(r.message->text.find("line 4"), std::string::npos) << r.message->text;
}

TEST_F(SeriesLoadTest, HugeSampleCountIsRefusedByTheDataFilesBeforeAnythingIsReserved)
{
    // 30 sets of 900 million samples would ask for more memory than any machine has.
    data("a.ctd", RunSpec{});
    std::vector<std::string> cts = {"30", "900000000"};
    for (int i = 0; i < 30; ++i) cts.push_back("a.ctd,31,900000031");
    const auto r = load(cts);
    EXPECT_FALSE(r.content);
    ASSERT_TRUE(r.message);
    EXPECT_NE(r.message->text.find("a.ctd has 180 lines"), std::string::npos) << r.message->text;
}

TEST_F(SeriesLoadTest, SampleIntervalsMustBeEqualAndPositive)
{
    // What Open CTD says of such a file.
    const auto notPositive = [](const std::string& name) {
        return kProblem + "\nThe data file " + name + " can not be read. The sample interval (line 13) is not a positive number.";
    };
    struct Case {
        const char* first;
        const char* second;
        std::string text;
    };
    const Case cases[] = {
        {"0.1", "0.10000001", kRate},
        {"0.1", "0", notPositive("b.ctd")},
        {"0.1", "-0.1", notPositive("b.ctd")},
        {"0.1", "abc", notPositive("b.ctd")},
        {"0.1", "1e999", notPositive("b.ctd")},
        {"0", "0.1", notPositive("a.ctd")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " " + c.second);
        RunSpec a, b;
        a.interval = c.first;
        b.interval = c.second;
        data("a.ctd", a);
        data("b.ctd", b);
        const auto r = load({"2", "100", "a.ctd,31,131", "b.ctd,31,131"});
        EXPECT_FALSE(r.content);
        ASSERT_TRUE(r.message);
        EXPECT_EQ(r.message->text, c.text);
        EXPECT_EQ(r.message->title, "CTS-Error");
    }
}

TEST_F(SeriesLoadTest, DataFileNameExactFirstThenOneCaseInsensitiveMatch)
{
    RunSpec upper, lower;
    upper.project = "upper";
    lower.project = "lower";
    data("RUN.CTD", upper);
    data("other.ctd", RunSpec{});
    auto r = load({"2", "100", "run.ctd,31,131", "Other.Ctd,31,131"});
    ASSERT_TRUE(r.content) << (r.message ? r.message->text : "");
    EXPECT_EQ(r.content->headerValues(1, 1), "upper");
    EXPECT_EQ(r.content->file.entries[0].name, "run.ctd");  // the series' own spelling is shown

    data("run.ctd", lower);  // now an exact match exists and wins
    r = load({"2", "100", "run.ctd,31,131", "other.ctd,31,131"});
    ASSERT_TRUE(r.content);
    EXPECT_EQ(r.content->headerValues(1, 1), "lower");

    r = load({"2", "100", "RunSpec.ctd,31,131", "other.ctd,31,131"});  // two case-insensitive matches
    EXPECT_FALSE(r.content);
    ASSERT_TRUE(r.message);
    EXPECT_EQ(r.message->text, missingText("RunSpec.ctd"));
}

TEST_F(SeriesLoadTest, UnreadableSeriesFileIsRefused)
{
    const auto r = series::loadSeries(dir.file("none.cts"));
    EXPECT_FALSE(r.content);
    ASSERT_TRUE(r.message);
    EXPECT_EQ(r.message->text.rfind(kProblem, 0), 0u);
}

struct Recorded {
    int calls = 0;
    const double* velocities = nullptr;
    int N = -1, m = -1;
    const double* parameters = nullptr;
    double dt = -1, lambda = -1;
    int mode = -1;
};
Recorded recorded;

void fakeCcoeff(const double* v, int32_t N, int32_t m, const double* p, double dt, double lambda, int32_t mode,
                double* results, double* residuals, double* fitted)
{
    ++recorded.calls;
    recorded = {recorded.calls, v, N, m, p, dt, lambda, mode};
    for (int i = 1; i <= m; ++i) {
        residuals[i] = 0.5 * i;
        results[4 * i] = 0.3;
        for (int r = 1; r <= N; ++r) fitted[(i - 1) * (N + 1) + r] = v[(i - 1) * (N + 1) + r] + 1;
    }
}

TEST_F(SeriesLoadTest, ReferenceFitRunsUncoupledIntoFitReference)
{
    data("a.ctd", RunSpec{});
    data("b.ctd", RunSpec{});
    data("c.ctd", RunSpec{});
    auto r = load({"3", "100", "a.ctd,31,131", "b.ctd,40,140", "c.ctd,35,150"});
    ASSERT_TRUE(r.content);
    state::TabchildData d;
    series::applySeries(std::move(*r.content), d);
    recorded = {};
    series::runReferenceFit(d, &fakeCcoeff);
    EXPECT_EQ(recorded.calls, 1);
    EXPECT_EQ(recorded.lambda, 0.0);
    EXPECT_EQ(recorded.mode, 0);
    EXPECT_EQ(recorded.N, 100);
    EXPECT_EQ(recorded.m, 3);
    EXPECT_EQ(recorded.dt, 0.1);
    EXPECT_EQ(recorded.velocities, d.velocitySamples.data());
    EXPECT_EQ(recorded.parameters, d.testParameters.data());
    ASSERT_EQ(d.fitReference.size(), 4u);
    EXPECT_EQ(d.fitReference[2], 1.0);
    EXPECT_EQ(d.fitReference[3], 1.5);
    EXPECT_EQ(d.coefficients.size(), 13u);
    EXPECT_EQ(d.coefficients[8], 0.3);
    EXPECT_EQ(d.fittedVelocities(7, 2), d.velocitySamples(7, 2) + 1);
    EXPECT_EQ(d.residuals, std::vector<double>(4, 0.0));  // left for the calculation

    // Without a solver the window still opens, its fit outputs zero.
    series::runReferenceFit(d, nullptr);
    EXPECT_EQ(d.fitReference, std::vector<double>(4, 0.0));
}

TEST_F(SeriesLoadTest, LabelsAndGridCells)
{
    RunSpec a;
    a.project = "Alpha";
    data("a.ctd", a);
    data("b.ctd", RunSpec{});
    auto r = load({"2", "100", "a.ctd,31,131", "b.ctd,40,140"});
    ASSERT_TRUE(r.content);
    state::TabchildData d;
    series::applySeries(std::move(*r.content), d);
    const auto labels = series::summaryLabels(d);
    EXPECT_EQ(labels[0], "Alpha");
    EXPECT_EQ(labels[1], "Filename: s.cts");
    EXPECT_EQ(labels[2], "Number of coupled .ctd-files: 2");
    EXPECT_EQ(labels[3], "Comparable datapoints: 100");
    EXPECT_EQ(labels[4], "Coupled start velocity: 30.0 m/s");
    EXPECT_EQ(labels[5], "Coupled end velocity: 20.0 m/s");

    EXPECT_EQ(analysis::protocolHeaderCell(d, 0, 2), "b.ctd");
    EXPECT_EQ(analysis::protocolHeaderCell(d, 8, 1), "10.5");
    EXPECT_EQ(analysis::protocolHeaderCell(d, 9, 1), "30.0");
    EXPECT_EQ(analysis::protocolHeaderCell(d, 13, 1), "0.1");
    EXPECT_EQ(analysis::protocolHeaderCell(d, 16, 1), "1545");
    EXPECT_EQ(analysis::protocolHeaderCell(d, 21, 1), "config");  // line 20 one row down
    EXPECT_EQ(analysis::protocolHeaderCell(d, 23, 1), "dry");
    EXPECT_EQ(analysis::protocolHeaderCell(d, 20, 1), "");
    EXPECT_EQ(analysis::resultHeaderCell(d, 8, 1), "1500");
    EXPECT_EQ(analysis::resultHeaderCell(d, 12, 2), "2.2");
    EXPECT_EQ(analysis::resultHeaderCell(d, 1, 1), "Alpha");
    // Line 40 of b is its sample 10; shown at grid row 40.
    EXPECT_EQ(series::protocolSampleCell(d, 2, 40, 40), "29.100");
    EXPECT_EQ(series::protocolSampleCell(d, 2, 40, 39), "");
    EXPECT_EQ(series::protocolSampleCell(d, 2, 40, 141), "");
}

}  // namespace
