#include "import/core/series.h"
#include "tests/support/data_files.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using data_files::dataFile;

struct Disk {
    std::map<std::string, std::string> files;
    std::vector<std::string> reads;
    importer::DataFileReader reader()
    {
        return [this](const std::string& name) {
            reads.push_back(name);
            datafile::DataFileBytes read;
            auto it = files.find(name);
            read.ok = it != files.end();
            if (!read.ok) read.reason = "The file does not exist.";
            else
                read.bytes = it->second;
            return read;
        };
    }
};

const std::vector<std::string> kFall{"30", "28", "26", "24", "22", "20", "18", "16", "14", "12", "10"};

TEST(SeriesPlan, WindowsCoverTheCommonRange)
{
    Disk d;
    d.files["a.ctd"] = dataFile(10, 30, "0.1", kFall);                                       // lines 31..41
    d.files["b.ctd"] = dataFile(14, 26, "0.1", {"26", "25", "23", "21", "19", "17", "15", "14"});  // lines 31..38
    d.files["c.ctd"] = dataFile(12, 28, "0.1", {"29", "28", "27", "25", "22", "19", "16", "13", "12"});
    const auto plan = importer::planSeries({"a.ctd", "b.ctd", "c.ctd"}, d.reader());
    ASSERT_FALSE(plan.failure) << plan.failure->text;
    // Range 14..26: a: first <= 26 at line 33, last > 14 at line 39 -> 6; b: 31..37 -> 6;
    // c: first <= 26 at line 34, last > 14 at 37 -> 3. L = 3.
    EXPECT_EQ(plan.windowLength, 3);
    ASSERT_EQ(plan.entries.size(), 3u);
    EXPECT_EQ(plan.entries[0].firstLine, 33);
    EXPECT_EQ(plan.entries[1].firstLine, 31);
    EXPECT_EQ(plan.entries[2].firstLine, 34);
    for (const auto& e : plan.entries) EXPECT_EQ(e.lastLine, e.firstLine + 3);

    const std::string text = importer::seriesFileText(plan, "Track A, dry\nsecond line");
    EXPECT_EQ(text, "3\r\n3\r\na.ctd,33,36\r\nb.ctd,31,34\r\nc.ctd,34,37\r\nTrack A, dry\r\nsecond line");
    EXPECT_EQ(importer::seriesFileText(plan, ""), "3\r\n3\r\na.ctd,33,36\r\nb.ctd,31,34\r\nc.ctd,34,37\r\n");
    // A NUL pasted into the comment would make the file one the reader refuses as no text.
    EXPECT_EQ(importer::seriesFileText(plan, std::string("a\0b\rc", 5)), "3\r\n3\r\na.ctd,33,36\r\nb.ctd,31,34\r\nc.ctd,34,37\r\na b\r\nc");
}

TEST(SeriesPlan, SameFileTwice)
{
    Disk d;
    d.files["a.ctd"] = dataFile(10, 30, "0.1", kFall);
    auto plan = importer::planSeries({"a.ctd", "a.ctd"}, d.reader());
    ASSERT_FALSE(plan.failure);
    EXPECT_EQ(plan.entries[0].firstLine, plan.entries[1].firstLine);
    EXPECT_EQ(plan.windowLength, 9);  // lines 31..40 lie above the lower bound 10
}

TEST(SeriesPlan, EachFailureGivesExactlyOneMessage)
{
    struct Case {
        const char* what;
        std::map<std::string, std::string> files;
        std::string message;
        std::size_t reads;  // files read before the failure ended the run; the window pass reads them again
    };
    const std::vector<std::string> noLow{"30", "28", "26", "24", "22", "21"};
    const Case cases[] = {
        {"missing second file", {{"a.ctd", dataFile(10, 30, "0.1", kFall)}}, "b.ctd - file can not be opened!\nThe file does not exist.", 2},
        {"empty file", {{"a.ctd", {}}, {"b.ctd", dataFile(10, 30, "0.1", kFall)}}, "a.ctd - file can not be opened!\nThe file is empty.", 1},
        {"short header", {{"a.ctd", dataFile(10, 30, "0.1", kFall)}, {"b.ctd", "1\r\n2\r\n3\r\n"}},
         "b.ctd - file can not be opened!\nThe file has 3 of its 30 header lines.", 2},
        {"ranges apart", {{"a.ctd", dataFile(10, 20, "0.1", kFall)}, {"b.ctd", dataFile(21, 30, "0.1", kFall)}}, "Velocity ranges of the coastdowns don't fit together!", 2},
        {"intervals differ", {{"a.ctd", dataFile(10, 30, "0.1", kFall)}, {"b.ctd", dataFile(10, 30, "0.10000001", kFall)}}, "The sample rate of the datasets has to be the same!", 2},
        {"never reaches the lower bound", {{"a.ctd", dataFile(20, 30, "0.1", kFall)}, {"b.ctd", dataFile(20.5, 30, "0.1", noLow)}}, "There occured a problem with data in b.ctd", 4},
        {"equal bounds leave no window", {{"a.ctd", dataFile(20, 30, "0.1", kFall)}, {"b.ctd", dataFile(10, 20, "0.1", kFall)}}, "Velocity ranges of the coastdowns don't fit together!", 4},
        {"window too short", {{"a.ctd", dataFile(10, 30, "0.1", kFall)}, {"b.ctd", dataFile(10, 12, "0.1", kFall)}}, "Velocity ranges of the coastdowns don't fit together!", 4},
    };
    for (const Case& c : cases) {
        Disk d;
        d.files = c.files;
        const auto plan = importer::planSeries({"a.ctd", "b.ctd"}, d.reader());
        ASSERT_TRUE(plan.failure) << c.what;
        EXPECT_EQ(plan.failure->text, c.message) << c.what;
        EXPECT_EQ(plan.failure->title, "CTS-Error") << c.what;
        EXPECT_EQ(plan.failure->icon, platform::Icon::Critical) << c.what;
        EXPECT_EQ(d.reads.size(), c.reads) << c.what;
        EXPECT_TRUE(plan.entries.empty()) << c.what;
    }
}

TEST(SeriesPlan, SampleWithoutNumberReadsAsZero)
{
    Disk d;
    d.files["a.ctd"] = dataFile(10, 30, "0.1", kFall);
    d.files["b.ctd"] = dataFile(10, 30, "0.1", {"30", "28", "26", "24", "n/a", "20"});
    const auto plan = importer::planSeries({"a.ctd", "b.ctd"}, d.reader());
    ASSERT_FALSE(plan.failure);
    EXPECT_EQ(plan.entries[1].firstLine, 31);
    EXPECT_EQ(plan.windowLength, 3);  // "n/a" on line 35 lies below the lower bound
}

TEST(SeriesNames, CommaOrLineBreakRefused)
{
    // Every letter a series file holds, in UTF-8 where Windows-1252 lacks it; bytes that are no
    // text at all it cannot give back.
    EXPECT_FALSE(importer::checkSeriesNames({"run 1.ctd", "run-2.ctd", "L\u00e4ufe.ctd", "\u0142\u00f3d\u017a.ctd", "\u0394\u03bf\u03ba.ctd", "\u8f66.ctd"}));
    const auto latin1 = importer::checkSeriesNames({"L\xE4ufe.ctd"});
    ASSERT_TRUE(latin1);
    EXPECT_NE(latin1->text.find("characters"), std::string::npos);
    for (const char* bad : {"run,1.ctd", "run\n1.ctd", "run\r1.ctd"}) {
        const auto m = importer::checkSeriesNames({"a.ctd", bad});
        ASSERT_TRUE(m) << bad;
        EXPECT_EQ(m->title, "CTS-Error");
        EXPECT_NE(m->text.find("comma or a line break"), std::string::npos);
    }
}

TEST(SeriesDirectory, CleanedAbsolutePaths)
{
    EXPECT_TRUE(importer::sameDirectory("/data/runs", "/data/runs/"));
    EXPECT_TRUE(importer::sameDirectory("/data/./runs", "/data/x/../runs"));
    EXPECT_FALSE(importer::sameDirectory("/data/runs", "/data/Runs"));
    EXPECT_FALSE(importer::sameDirectory("/data/runs", "/data/runs/sub"));
}

}  // namespace
