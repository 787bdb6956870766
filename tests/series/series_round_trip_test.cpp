// A series the composer writes opens again: every name it accepts, and its comment, read back
// through the series reader from the disk.
#include "analysis/series/core/series_load.h"
#include "import/core/series.h"
#include "platform/textfile.h"
#include "tests/series/series_test_support.h"
#include "tests/support/data_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <optional>

namespace {

// The composer's hooks of a save to `path`, given once; asked again, the save is cancelled.
importer::SeriesHooks savingOnceAs(const std::string& path)
{
    importer::SeriesHooks hooks;
    hooks.target = [path, asked = false]() mutable -> std::optional<std::string> {
        if (asked) return std::nullopt;
        asked = true;
        return path;
    };
    return hooks;
}

}  // namespace

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
        {"\xC3\x83\xC2\xBC.ctd", true},  // its Windows-1252 bytes would read back as UTF-8 "ü": written UTF-8
        {"\xC5\x81\xC3\xB3" "d\xC5\xBA.ctd", true},  // letters only UTF-8 holds
        {"\xCE\x94\xCE\xBF\xCE\xBA\xCE\xB9\xCE\xBC\xCE\xAE.ctd", true},  // Greek
        {"\xE8\xBD\xA6\xE8\xBE\x86 1.ctd", true},  // CJK
        {"M\xFCller.ctd", false},  // bytes that are no UTF-8 text: no series file gives them back
        {"a,b.ctd", false},
        {"a\\b.ctd", false},  // the reader takes a backslash for a folder
    };
    const std::string comment = "Track A, 20 \xC2\xB0" "C\nsecond line";
    const std::string greekComment = "\xCE\x94\xCE\xBF\xCE\xBA\xCE\xB9\xCE\xBC\xCE\xAE\n\xE8\xBD\xA6";
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
        const importer::SeriesPlan plan = importer::planSeries(names, importer::dataFilesIn(dir.dir()));
        ASSERT_FALSE(plan.failure) << plan.failure->text;
        // Written as the composer writes it, the name's letters decide the file's encoding.
        const importer::ComposedSeries composed =
            importer::composeSeries({dir.file("."), names, comment}, importer::dataFilesIn(dir.dir()), savingOnceAs(dir.file("s.cts")));
        ASSERT_EQ(composed.outcome, importer::SeriesOutcome::Written) << (composed.message ? composed.message->text : "");

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

    // A comment of letters Windows-1252 lacks, with plain names, comes back as typed.
    dir.write("plain.ctd", series_test::dataFileLines(run));
    ASSERT_EQ(importer::composeSeries({dir.file("."), {"plain.ctd", "plain.ctd"}, greekComment}, importer::dataFilesIn(dir.dir()),
                                      savingOnceAs(dir.file("greek.cts")))
                  .outcome,
              importer::SeriesOutcome::Written);
    const series::SeriesLoad load = series::loadSeries(dir.file("greek.cts"));
    ASSERT_TRUE(load.content);
    EXPECT_EQ(load.content->file.comment, "\xCE\x94\xCE\xBF\xCE\xBA\xCE\xB9\xCE\xBC\xCE\xAE\r\n\xE8\xBD\xA6");
}

// A run that rises before its maximum is fitted from its maximum on: the series window holds the
// samples from the maximum, and its uncoupled fit is the fit of exactly those samples alone.
TEST(SeriesRoundTrip, ARunRisingToItsMaximumIsFittedFromItsMaximum)
{
    series_test::ScratchDir dir;
    std::vector<std::string> names;
    for (const auto& [name, bytes] : data_files::risingRunSeries()) {
        std::ofstream(dir.file(name), std::ios::binary) << bytes;
        names.push_back(name);
    }
    ASSERT_EQ(importer::composeSeries({dir.file("."), names, ""}, importer::dataFilesIn(dir.dir()), savingOnceAs(dir.file("s.cts"))).outcome,
              importer::SeriesOutcome::Written);
    series::SeriesLoad load = series::loadSeries(dir.file("s.cts"));
    ASSERT_TRUE(load.content) << load.message->text;
    state::TabchildData d;
    series::applySeries(std::move(*load.content), d);
    series::runReferenceFit(d, &ccoeff);
    const std::vector<double> fromMaximum = {21, 20, 19, 18, 17, 16, 15};  // c.ctd samples 4..10
    ASSERT_EQ(d.velocitySamples.rows() + 1, static_cast<int>(fromMaximum.size()));
    for (int r = 0; r <= d.velocitySamples.rows(); ++r) EXPECT_EQ(d.velocitySamples(r, 3), fromMaximum[static_cast<std::size_t>(r)]) << r;

    // The same samples fitted alone.
    state::ColMatrix v(6, 1), p(5, 1), fitted(6, 1);
    for (int r = 0; r <= 6; ++r) v(r, 1) = fromMaximum[static_cast<std::size_t>(r)];
    for (int r = 1; r <= 5; ++r) p(r, 1) = d.testParameters(r, 3);
    std::vector<double> coefficients(5), residual(2);
    ccoeff(v.data(), 6, 1, p.data(), 0.1, 0.0, 0, coefficients.data(), residual.data(), fitted.data());
    for (int k = 1; k <= 4; ++k) EXPECT_NEAR(d.coefficients[static_cast<std::size_t>(8 + k)], coefficients[static_cast<std::size_t>(k)],
                                             1e-12 * std::fabs(coefficients[static_cast<std::size_t>(k)])) << "coefficient " << k;
}
