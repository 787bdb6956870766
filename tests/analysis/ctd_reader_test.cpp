#include "analysis/core/ctd_reader.h"

#include "numbers/numbers.h"
#include "platform/textfile.h"
#include "tests/support/bad_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using analysis::DataFileRead;
using state::TabchildData;

namespace {

// A data file: 30 header lines (overridable by line number), then the samples.
struct CtdText {
    std::vector<std::string> lines;
    CtdText()
    {
        lines = {"Proj", "9.3.2005", "10:15", "Car A", "Tester B", "0", "12", "3.2", "27.5", "5", "1",
                 "0", "0.1", "0", "1500", "1545", "1.013", "20.5", "2.1", "Config", "Weather", "Road",
                 "0", "0", "0", "0", "0", "0", "0", "0"};
    }
    CtdText& set(int line, std::string text)
    {
        lines[static_cast<std::size_t>(line - 1)] = std::move(text);
        return *this;
    }
    CtdText& samples(std::vector<std::string> s)
    {
        lines.resize(30);
        lines.insert(lines.end(), s.begin(), s.end());
        return *this;
    }
    std::string bytes(const std::string& eol = "\r\n", bool finalEol = true) const
    {
        std::string out;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            out += lines[i];
            if (i + 1 < lines.size() || finalEol) out += eol;
        }
        return out;
    }
};

std::vector<std::string> five() { return {"27.5", "20.25", "12", "7.125", "3.2"}; }

}  // namespace

TEST(CtdReader, LineEndVariantsReadAlike)
{
    const CtdText file = CtdText().samples(five());
    for (const auto& [eol, finalEol] : std::vector<std::pair<std::string, bool>>{
             {"\r\n", true}, {"\n", true}, {"\r\n", false}, {"\n", false}}) {
        SCOPED_TRACE(::testing::Message() << "eol size " << eol.size() << " final " << finalEol);
        TabchildData d;
        const DataFileRead r = analysis::parseDataFile(file.bytes(eol, finalEol), d);
        ASSERT_TRUE(r.ok) << r.refusal;
        EXPECT_EQ(d.setCount, 1);
        EXPECT_EQ(d.sampleCount, 5.0);
        ASSERT_EQ(d.velocitySamples.rows(), 5);
        EXPECT_EQ(d.velocitySamples(0, 1), 0.0);
        EXPECT_EQ(d.velocitySamples(1, 1), 27.5);
        EXPECT_EQ(d.velocitySamples(5, 1), 3.2);  // the last line, with or without its line end
        EXPECT_EQ(d.headerValues(1, 1), "Proj");  // no CR left on texts
        EXPECT_EQ(d.headerValues(22, 1), "Road");
    }
}

TEST(CtdReader, RefusedFilesSayWhyAndLeaveTheStateAlone)
{
    struct Case {
        const char* name;
        std::string bytes;
        const char* reasonPart;
    };
    const std::vector<Case> cases = {
        {"empty", "", "empty"},
        {"29 header lines", [] { CtdText t; t.lines.resize(29); return t.bytes(); }(), "29 of its 30 header lines"},
        {"only line ends", "\r\n\r\n\r\n", "3 of its 30"},
        {"fewer samples than announced", CtdText().samples({"1", "2", "3", "4"}).bytes(), "The file holds 4 sample lines; line 10 puts the minimum at sample 5 (line 35)."},
        {"the stretch runs past the last sample", CtdText().set(10, "7").set(11, "3").samples(five()).bytes(), "The file holds 5 sample lines; line 10 puts the minimum at sample 7 (line 37)."},
        {"maximum before the first sample", CtdText().set(10, "4").set(11, "0").samples(five()).bytes(), "Line 11 puts the maximum at sample 0; the samples count from 1."},
        {"header only", CtdText().samples({}).bytes(), "0 sample lines"},
        {"line 10 below line 11", CtdText().set(10, "3").set(11, "4").samples(five()).bytes(), "line 10"},
        {"interval zero", CtdText().set(13, "0").samples(five()).bytes(), "sample interval"},
        {"interval negative", CtdText().set(13, "-0.1").samples(five()).bytes(), "sample interval"},
        {"interval not a number", CtdText().set(13, "fast").samples(five()).bytes(), "sample interval"},
        {"huge announced count", CtdText().set(10, "1E+12").samples(five()).bytes(), "announce 1000000000000"},
        {"locations beyond 64 bits", CtdText().set(10, "1E+300").set(11, "-1E+300").samples(five()).bytes(), "announce"},
        // The protocol grid's 31 rows above the samples must still fit its int row count.
        {"more samples than a window holds", CtdText().set(10, "2147483617").set(11, "1").samples(five()).bytes(), "holds at most 2147483616"},
        {"location at the 64-bit limit", CtdText().set(10, "1E+19").set(11, "0").samples(five()).bytes(), "announce"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TabchildData d;
        d.sampleInterval = 7;
        const DataFileRead r = analysis::parseDataFile(c.bytes, d);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.refusal.find(c.reasonPart), std::string::npos) << r.refusal;
        EXPECT_EQ(d.setCount, 0);
        EXPECT_EQ(d.sampleInterval, 7);
        EXPECT_TRUE(d.velocitySamples.empty());
    }
}

TEST(CtdReader, HoldsTheRunFromItsMaximumToItsMinimum)
{
    // N = 250 - 20 + 1 = 231: rows 1..231 hold samples 20..250 (lines 50..280); what follows
    // the minimum is not read.
    std::vector<std::string> s;
    for (int k = 1; k <= 260; ++k) s.push_back(numbers::integerToText(k));
    TabchildData d;
    const DataFileRead r = analysis::parseDataFile(CtdText().set(10, "250").set(11, "20").samples(s).bytes(), d);
    ASSERT_TRUE(r.ok) << r.refusal;
    EXPECT_EQ(r.minRow, 250);
    EXPECT_EQ(r.maxRow, 20);
    EXPECT_EQ(r.firstSample, 20);
    EXPECT_EQ(d.sampleCount, 231.0);
    EXPECT_EQ(d.velocitySamples.rows(), 231);
    EXPECT_EQ(d.velocitySamples(0, 1), 0.0);
    EXPECT_EQ(d.velocitySamples(1, 1), 20.0);
    EXPECT_EQ(d.velocitySamples(231, 1), 250.0);
    EXPECT_EQ(d.sampleNumber(1, 1), 20);
    EXPECT_EQ(d.sampleNumber(231, 1), 250);
}

// With a time column the import counts the text file's header rows into both locations (line 7
// less the sample lines); the samples tell which count the file was written with.
TEST(CtdReader, LocationsThatCountTheTextFilesHeaderRows)
{
    struct Case {
        const char* name;
        const char* importLines;  // line 7
        const char* minRow;       // line 10
        const char* maxRow;       // line 11
        std::vector<std::string> samples;
        int first, last;          // the samples the window holds
    };
    const std::vector<Case> cases = {
        {"time column, maximum first", "7", "7", "3", {"30", "25", "20", "15", "10"}, 1, 5},
        {"time column, maximum third", "8", "8", "5", {"29", "30", "31", "25", "20", "15"}, 3, 6},
        // Samples 2 and 6 hold the highest and the lowest value too, but the import puts the
        // maximum at the first of equal values and the minimum at the first of the lowest.
        {"time column, plateaus at both ends", "7", "6", "2", {"31", "31", "25", "20", "18", "18"}, 1, 5},
        {"no time column, maximum third", "8", "6", "3", {"29", "30", "31", "25", "20", "15"}, 3, 6},
        // Counting line 7's one header row would put the extremes at samples 1 and 4, where
        // the import did not find them.
        {"no time column, maximum second", "7", "5", "2", {"29", "31", "25", "20", "15", "16"}, 2, 5},
        {"line 7 holds more than 30 header rows", "50", "6", "3", {"29", "30", "31", "25", "20", "15"}, 3, 6},
        {"a file that matches neither count", "8", "6", "3", {"1", "2", "3", "4", "5", "6"}, 3, 6},
        // The run ends on its lowest value for longer than the header rows: the samples after the
        // minimum's location must still be read to count the header rows.
        {"time column, the minimum held to the end", "10", "7", "5", {"29", "30", "31", "25", "20", "20", "20", "20"}, 3, 5},
        // The text file's numbers differed beyond the 15 digits the data file keeps, so the import
        // found its maximum at the second of two values that tie here.
        {"time column, a maximum that ties in the file", "8", "8", "6", {"30.5", "31", "25", "31", "20", "15"}, 4, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = CtdText().set(7, c.importLines).set(10, c.minRow).set(11, c.maxRow).samples(c.samples).bytes();
        // The window reads only as far as the header says it needs; that must read alike.
        const std::string read = bad_input::firstLines(bytes, static_cast<int>(datafile::lastLineNeeded(datafile::splitHeader(bytes))));
        for (const std::string* text : {&bytes, &read}) {
            TabchildData d;
            const DataFileRead r = analysis::parseDataFile(*text, d);
            ASSERT_TRUE(r.ok) << r.refusal;
            EXPECT_EQ(r.firstSample, c.first);
            ASSERT_EQ(d.samples(), c.last - c.first + 1);
            for (int row = 1; row <= d.samples(); ++row) {
                EXPECT_EQ(d.sampleNumber(row, 1), c.first + row - 1);
                EXPECT_EQ(d.velocitySamples(row, 1), numbers::leadingNumber(c.samples[static_cast<std::size_t>(c.first + row - 2)])) << row;
            }
        }
    }
}

// The shipped data files have their maximum at sample 1 (two of them with a time column and
// header rows): the window holds the first N samples, as it always did.
TEST(CtdReader, RunsWhoseMaximumIsTheFirstSampleKeepTheirSamples)
{
    for (const char* name : {"run1.ctd", "run2.ctd", "run3.ctd"}) {
        SCOPED_TRACE(name);
        std::string bytes, error;
        ASSERT_TRUE(platform::readFileBytes(std::string(TW_EXAMPLES) + "/" + name, bytes, error)) << error;
        std::vector<std::string> lines;
        for (std::string_view rest = bytes; !rest.empty();) lines.emplace_back(platform::takeLine(rest));
        const long long n = std::stoll(lines[9]) - std::stoll(lines[10]) + 1;
        TabchildData d;
        const DataFileRead r = analysis::parseDataFile(bytes, d);
        ASSERT_TRUE(r.ok) << r.refusal;
        EXPECT_EQ(r.firstSample, 1);
        ASSERT_EQ(d.samples(), n);
        for (int row = 1; row <= n; ++row)
            ASSERT_EQ(d.velocitySamples(row, 1), numbers::leadingNumber(lines[static_cast<std::size_t>(29 + row)])) << row;
    }
}

TEST(CtdReader, HeaderFieldsParametersAndEncodings)
{
    CtdText t;
    t.set(10, " 6.5").set(11, "1.5");  // halves to even: 6 and 2, so samples 2..6
    t.set(15, "1250.5 kg").set(19, "2,1").set(13, "1D-1");
    t.set(21, "sunny, 20 \xB0" "C");  // Windows-1252 degree sign
    t.samples({"9", "1", " 2", "x", "&H10", "1e2"});
    TabchildData d;
    const DataFileRead r = analysis::parseDataFile(t.bytes(), d);
    ASSERT_TRUE(r.ok) << r.refusal;
    EXPECT_EQ(r.minRow, 6);
    EXPECT_EQ(r.maxRow, 2);
    EXPECT_EQ(d.sampleCount, 5.0);
    EXPECT_DOUBLE_EQ(d.sampleInterval, 0.1);
    EXPECT_EQ(d.testParameters(1, 1), 1250.5);
    EXPECT_EQ(d.testParameters(2, 1), 1545.0);
    EXPECT_EQ(d.testParameters(3, 1), 1.013);
    EXPECT_EQ(d.testParameters(4, 1), 20.5);
    EXPECT_EQ(d.testParameters(5, 1), 2.0);  // "," ends the number
    EXPECT_EQ(d.headerValues(21, 1), "sunny, 20 \u00B0C");
    EXPECT_EQ(d.headerValues(12, 1), "0");
    EXPECT_EQ(d.headerValues(13, 1), "");  // not a text field of a data-file window
    const std::vector<double> expected = {1, 2, 0, 16, 100};
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(d.velocitySamples(i, 1), expected[static_cast<std::size_t>(i - 1)]) << i;
}

TEST(CtdReader, SampleValueAgreesWithTheGeneralNumberRule)
{
    for (const char* text : {"12.5", "-3.25", ".5", "-.5", "5.", "1e5", "1E-3", "007", "0.1", "12.3456789012345",
                             "  12.5", "+3", "1D2", "&H1F", "inf", "nan", "-", "12,5", "abc", "1e", "1e400",
                             "-1e400", "1e-400", "", "3 4", "2.5.1"}) {
        SCOPED_TRACE(text);
        const double a = datafile::sampleValue(text), b = numbers::leadingNumber(text);
        if (std::isnan(b)) EXPECT_TRUE(std::isnan(a));
        else EXPECT_EQ(a, b);
    }
}

TEST(CtdReader, PathAndErrorMessage)
{
    TabchildData d;
    analysis::setDataFilePath(d, "/home/t/runs/a b.ctd");
    EXPECT_EQ(d.dataDirectory, "/home/t/runs/");
    EXPECT_EQ(d.windowFileName, "a b.ctd");
    EXPECT_EQ(d.dataFileNames[1], "a b.ctd");

    const platform::Message m = analysis::dataFileError("/home/t/runs/a b.ctd", "The file is empty.");
    EXPECT_EQ(m.title, "CTD-Error");
    EXPECT_EQ(m.text, "File reading ERROR!\n/home/t/runs/a b.ctd\nThe file is empty.");
    EXPECT_EQ(m.icon, platform::Icon::Critical);
    EXPECT_EQ(m.buttons, platform::Buttons::Ok);
}
