// A series the composer writes opens again: every name it accepts, and its comment, read back
// through the series reader from the disk.
#include "analysis/series/core/series_load.h"
#include "import/core/series.h"
#include "platform/textfile.h"
#include "tests/series/series_test_support.h"

#include <gtest/gtest.h>

TEST(SeriesRoundTrip, EveryNameTheComposerAcceptsReadsBack)
{
    struct Case {
        std::string name;  // as the file system gives it (UTF-8)
        bool accepted;
    };
    const Case cases[] = {
        {"run..1.ctd", true},
        {"..ctd", true},
        {"...", true},
        {"run.ctd.", true},
        {".hidden.ctd", true},
        {"run 1 .ctd", true},
        {" leading blank.ctd", true},
        {"\"quoted\" 'run'.ctd", true},
        {"100% dry; 5%d.ctd", true},
        {"M\xC3\xBCller 20 \xC2\xB0" "C \xE2\x82\xAC.ctd", true},  // letters Windows-1252 holds
        {"\xC3\x83\xC2\xBC.ctd", false},  // its Windows-1252 bytes would read back as UTF-8 "ü"
        {"\xC5\x81\xC3\xB3" "d\xC5\xBA.ctd", false},  // letters only UTF-8 holds
        {"a,b.ctd", false},
        {"a\\b.ctd", false},  // the reader takes a backslash for a folder
    };
    const std::string comment = "Track A, 20 \xC2\xB0" "C\nsecond line";
    series_test::ScratchDir dir;
    series_test::RunSpec run;
    run.samples = 250;  // down to 5.1 m/s, below the header's minimum of 10.5
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> names = {c.name, "plain.ctd", c.name};
        EXPECT_EQ(!importer::checkSeriesNames(names).has_value(), c.accepted);
        if (!c.accepted) continue;
        dir.write(c.name, series_test::dataFileLines(run));
        dir.write("plain.ctd", series_test::dataFileLines(run));
        const importer::SeriesPlan plan = importer::planSeries(names, [&](const std::string& name, std::string& bytes) {
            std::string error;
            return platform::readFileBytes(dir.file(name), bytes, error);
        });
        ASSERT_FALSE(plan.failure) << plan.failure->text;
        ASSERT_TRUE(platform::writeFileAtomic(dir.file("s.cts"), platform::encodeWindows1252(importer::seriesFileText(plan, comment))).ok);

        const series::SeriesLoad load = series::loadSeries(dir.file("s.cts"));
        ASSERT_TRUE(load.content) << load.message->text;
        const series::SeriesFile& f = load.content->file;
        ASSERT_EQ(f.entries.size(), names.size());
        EXPECT_EQ(f.samples, plan.windowLength);
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(f.entries[i].name, names[i]);
            EXPECT_EQ(f.entries[i].firstLine, plan.entries[i].firstLine);
            EXPECT_EQ(f.entries[i].lastLine, plan.entries[i].lastLine);
            EXPECT_EQ(load.content->dataPaths[i], dir.file(names[i]));
        }
        EXPECT_EQ(f.comment, "Track A, 20 \xC2\xB0" "C\r\nsecond line");
    }
}
