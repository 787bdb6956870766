// One reading of a data file: Open CTD, the series composition, Open CTS and the parameter
// editor take the same bytes as a data file or refuse them for the same reason.
#include "analysis/series/core/series_load.h"
#include "import/core/series.h"
#include "import/frmdatainput.h"
#include "tests/app/open_windows.h"
#include "tests/import/modal_script.h"
#include "tests/support/bad_input.h"

#include <QPushButton>

#include <optional>
#include <string>

namespace {

// The reason a refusal of the file gives, after the command's own words; "" for a message that
// is no such refusal (the file was taken, and something else was wrong).
std::string reasonIn(const std::string& text, const std::string& before)
{
    const std::size_t at = text.rfind(before);
    return at == std::string::npos ? std::string() : text.substr(at + before.size());
}

class DataFileRule : public OpenWindows {
protected:
    // What each command says of `bytes` as data file x.ctd: "" where it takes them.
    struct Verdicts {
        std::string openCtd, composition, openCts, editor;
    };
    Verdicts judge(const std::string& bytes)
    {
        Verdicts v;
        const QString file = path(QStringLiteral("x.ctd"));
        const auto put = [&](const std::string& b) { ASSERT_TRUE(platform::writeFileAtomic(file.toStdString(), b).ok); };
        put(bytes);

        fakes.messages.clear();
        {
            analysis::FrmTabchild w;
            if (!w.ctdOpen(file)) v.openCtd = reasonIn(fakes.messages.last().text, "File reading ERROR!\n" + file.toStdString() + "\n");
        }
        const importer::SeriesPlan plan = importer::planSeries({"x.ctd", "x.ctd"}, importer::dataFilesIn(dir.path().toStdString()));
        if (plan.failure) v.composition = reasonIn(plan.failure->text, "x.ctd - file can not be opened!\n");

        EXPECT_TRUE(platform::writeFileAtomic(path(QStringLiteral("x.cts")).toStdString(), "2\r\n5\r\nx.ctd,31,36\r\nx.ctd,31,36\r\n").ok);
        const series::SeriesLoad load = series::loadSeries(path(QStringLiteral("x.cts")).toStdString());
        if (load.message) v.openCts = reasonIn(load.message->text, "The data file x.ctd can not be read. ");

        // The editor of a window that read a sound file before the bytes took its place.
        put(sound);
        if (open(file) == nullptr) {
            ADD_FAILURE() << "the sound file did not open";
            return v;
        }
        put(bytes);
        fakes.messages.clear();
        ModalScript script;
        bool formShown = false;
        if (v.openCtd.empty())
            script.on(QStringLiteral("frmdatainput"), [&](QWidget* w) {
                formShown = true;
                static_cast<importer::FrmDataInput*>(w)->cmdCancel->click();
            });
        browser->cmdEdit->click();
        if (!formShown) v.editor = fakes.messages.shown.empty() ? "(no form, no message)"
                                                                : reasonIn(fakes.messages.last().text, "x.ctd - file can not be opened!\n");
        EXPECT_TRUE(script.finished());
        for (frame::AnalysisWindowApi* w : main->analysisWindows()) main->subWindowOf(w)->close();
        return v;
    }
    void expectAll(const std::string& bytes, const std::string& reason)
    {
        const Verdicts v = judge(bytes);
        EXPECT_EQ(v.openCtd, reason) << "Open CTD";
        EXPECT_EQ(v.composition, reason) << "composition";
        EXPECT_EQ(v.openCts, reason) << "Open CTS";
        EXPECT_EQ(v.editor, reason) << "editor";
    }

    const std::string sound = testfiles::ctdText(testfiles::coastDown(150, 0.45, 30, 50));
};

}  // namespace

TEST_F(DataFileRule, EveryCommandReadsADataFileAlike)
{
    std::string run1, run3, error;
    ASSERT_TRUE(platform::readFileBytes(TW_EXAMPLES "/run1.ctd", run1, error)) << error;
    ASSERT_TRUE(platform::readFileBytes(TW_EXAMPLES "/run3.ctd", run3, error)) << error;
    const struct {
        const char* what;
        std::string bytes;
        std::string reason;  // "" where every command takes the file
    } cases[] = {
        // run1 was imported with a time column: telling its header rows apart takes every sample
        // line and the three lines line 7 counts beyond them, so a NUL right after its samples
        // lies within what a reader reads.
        {"run1 and NUL bytes", run1 + std::string(64, '\0'), "Line 1570 holds a NUL byte: this is no text file."},
        // run3's minimum stands two lines before its end, and nothing after it is read.
        {"run3 and NUL bytes", run3 + std::string(64, '\0'), ""},
        {"locations apart from the samples", bad_input::replaceLine(sound, 11, "60"),
         "The location of the minimum (line 10) lies before the location of the maximum (line 11)."},
        {"sound", sound, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        expectAll(c.bytes, c.reason);
    }
}
