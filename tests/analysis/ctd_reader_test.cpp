#include "analysis/core/ctd_reader.h"

#include "numbers/numbers.h"

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
        {"fewer samples than announced", CtdText().samples({"1", "2", "3", "4"}).bytes(), "4 sample lines; lines 10 and 11 announce 5"},
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

TEST(CtdReader, StoresFromTheFirstSampleLineAndIgnoresWhatFollows)
{
    // N = 250 - 20 + 1 = 231: rows 1..231 hold lines 31..261, not lines 50..280.
    std::vector<std::string> s;
    for (int k = 1; k <= 260; ++k) s.push_back(numbers::integerToText(k));
    TabchildData d;
    const DataFileRead r = analysis::parseDataFile(CtdText().set(10, "250").set(11, "20").samples(s).bytes(), d);
    ASSERT_TRUE(r.ok) << r.refusal;
    EXPECT_EQ(r.minRow, 250);
    EXPECT_EQ(r.maxRow, 20);
    EXPECT_EQ(d.sampleCount, 231.0);
    EXPECT_EQ(d.velocitySamples(1, 1), 1.0);
    EXPECT_EQ(d.velocitySamples(231, 1), 231.0);
    EXPECT_EQ(d.velocitySamples.rows(), 231);
}

TEST(CtdReader, HeaderFieldsParametersAndEncodings)
{
    CtdText t;
    t.set(10, " 4.5").set(11, "0.5");  // halves to even: 4 and 0, so 5 samples
    t.set(15, "1250.5 kg").set(19, "2,1").set(13, "1D-1");
    t.set(21, "sunny, 20 \xB0" "C");  // Windows-1252 degree sign
    t.samples({"1", " 2", "x", "&H10", "1e2"});
    TabchildData d;
    const DataFileRead r = analysis::parseDataFile(t.bytes(), d);
    ASSERT_TRUE(r.ok) << r.refusal;
    EXPECT_EQ(r.minRow, 4);
    EXPECT_EQ(r.maxRow, 0);
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
        const double a = analysis::sampleValue(text), b = numbers::leadingNumber(text);
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

    const platform::Message m = analysis::dataFileError("The file is empty.");
    EXPECT_EQ(m.title, "CTD-Error");
    EXPECT_EQ(m.text, "File reading ERROR!\nThe file is empty.");
    EXPECT_EQ(m.icon, platform::Icon::Critical);
    EXPECT_EQ(m.buttons, platform::Buttons::Ok);
}
