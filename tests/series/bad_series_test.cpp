// The damaged series and data files a user meets: each gives the series reader's message,
// nothing crashes, nothing is loaded and no file is left open.
#include "analysis/coastfit_loader.h"
#include "analysis/frm_tabchild.h"
#include "analysis/series/series_window.h"
#include "platform/fakes.h"
#include "tests/support/bad_input.h"
#include "tests/support/peak_memory.h"

#include <QGroupBox>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using analysis::FrmTabchild;

const std::string kProblem = "There occured a problem with the CTS-file!\n";

std::string slurp(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class BadSeries : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        analysis::setCoastfitPath(QString::fromLocal8Bit(qgetenv("TW_BIN_DIR")) + "/libCoastfit.so");
    }
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("tw-bad-series-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        for (const char* name : {"three.cts", "run1.ctd", "run2.ctd", "run3.ctd"})
            write(name, slurp(fs::path(TW_SERIES_DATA) / name));
    }
    void TearDown() override { fs::remove_all(folder); }

    void write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(folder / name, std::ios::binary) << bytes;
    }
    std::string path(const std::string& name) const { return (folder / name).string(); }
    std::string sound(const std::string& name) const { return slurp(fs::path(TW_SERIES_DATA) / name); }

    // Opens the series into a fresh window; the message shown, "" for none.
    std::string open(FrmTabchild& w, bool& loaded, const std::string& name = "three.cts")
    {
        fakes.messages.clear();
        const int before = bad_input::openFiles();
        loaded = analysis::ctsOpen(w, QString::fromStdString(path(name)));
        EXPECT_EQ(bad_input::openFiles(), before);
        EXPECT_LE(fakes.messages.shown.size(), 1u);
        return fakes.messages.shown.empty() ? std::string() : fakes.messages.last().text;
    }
    void expectRefused(const std::string& text, const std::string& name = "three.cts")
    {
        FrmTabchild w;
        bool loaded = true;
        EXPECT_EQ(open(w, loaded, name), text);
        EXPECT_FALSE(loaded);
        ASSERT_FALSE(fakes.messages.shown.empty());
        EXPECT_EQ(fakes.messages.last().title, "CTS-Error");
        EXPECT_EQ(w.data.setCount, 0);
        EXPECT_TRUE(w.data.velocitySamples.empty());
        EXPECT_FALSE(w.frmCalc->isEnabled());
    }

    platform::ScopedFakes fakes;
    fs::path folder;
};

std::string missing(const std::string& name)
{
    return "The .cts-file has to be in the same directory like all the .ctd-files it is pointing on!\n"
           "The file " + name + " could not be found in this directory.";
}

}  // namespace

TEST_F(BadSeries, SeriesFileTruncatedAtEveryLine)
{
    const std::string cts = sound("three.cts");
    const std::string texts[] = {
        kProblem + "Line 1: the number of data files is \"\"; a series holds 2 to 30.",
        kProblem + "Line 2: the number of comparable samples is \"\"; at least 3 are needed.",
        kProblem + "The file ends before the entry of data file 1 (line 3).",
        kProblem + "The file ends before the entry of data file 2 (line 4).",
        kProblem + "The file ends before the entry of data file 3 (line 5).",
    };
    for (int lines = 0; lines < 5; ++lines) {
        SCOPED_TRACE(lines);
        write("three.cts", bad_input::firstLines(cts, lines));
        expectRefused(texts[lines]);
    }
    // The entries whole and no comment: a sound series.
    write("three.cts", bad_input::firstLines(cts, 5));
    FrmTabchild w;
    bool loaded = false;
    EXPECT_EQ(open(w, loaded), "");
    EXPECT_TRUE(loaded);
    EXPECT_EQ(w.txtCTComments->toPlainText(), "");
}

TEST_F(BadSeries, DamagedSeriesFile)
{
    const std::string cts = sound("three.cts");
    struct Case {
        const char* name;
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"text for a line number", bad_input::replaceLine(cts, 4, "run2.ctd,thirty-one,247"),
         kProblem + "Line 4: the entry \"run2.ctd,thirty-one,247\" lacks its first and last line numbers."},
        {"NUL byte", bad_input::replaceLine(cts, 2, std::string("21\0" "6", 4)),
         kProblem + "Line 2 holds a NUL byte: this is no text file."},
        {"UTF-16", bad_input::utf16(cts), kProblem + "The file is UTF-16 text; only 8-bit text (ANSI or UTF-8) can be read."},
        {"CR-only line ends", bad_input::crOnly(cts), kProblem + "The lines of the file end in CR alone; only CR LF and LF end a line."},
        {"10 MB count line", bad_input::replaceLine(cts, 1, bad_input::hugeLine()),
         kProblem + "Line 1: the number of data files is \"" + std::string(60, '7') + "...\" (10485760 characters); a series holds 2 to 30."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write("three.cts", c.bytes);
        expectRefused(c.text);
    }
    // A 10 MB comment is a comment.
    write("three.cts", cts + "\r\n" + bad_input::hugeLine('c'));
    FrmTabchild w;
    bool loaded = false;
    EXPECT_EQ(open(w, loaded), "");
    EXPECT_TRUE(loaded);
    EXPECT_GT(w.txtCTComments->toPlainText().size(), 10 << 20);
}

// A 2.5 GB series file, or data file, is judged by its first bytes; of a data file only the lines
// up to its window are read. The memory taken stays small, whatever the files' size.
TEST_F(BadSeries, HugeFilesAreReadOnlyAsFarAsTheSeriesNeeds)
{
    constexpr std::uintmax_t kHuge = 2500ull << 20;
    constexpr long long kMoreMemory = 100ll << 20;
    struct Case {
        const char* name;
        std::string file, start;  // the file made huge: its first bytes, then NUL bytes (sparse)
        std::string text;         // "" for a series that opens
    };
    const std::string run2 = sound("run2.ctd");
    const Case cases[] = {
        {"a series file of NUL bytes", "three.cts", "", kProblem + "Line 1 holds a NUL byte: this is no text file."},
        {"a data file of NUL bytes", "run2.ctd", "",
         kProblem + "The data file run2.ctd can not be read. Line 1 holds a NUL byte: this is no text file."},
        {"NUL bytes after a data file's window", "run2.ctd", run2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write(c.file, c.start);
        fs::resize_file(folder / c.file, kHuge);
        const peak_memory::Measure measure;
        FrmTabchild w;
        bool loaded = false;
        const std::string text = open(w, loaded);
        const long long grown = measure.growth();
        std::printf("[ measured ] %s: %.3f s, %lld MB more at the peak\n", c.name, measure.seconds(), grown >> 20);
        EXPECT_LT(grown, kMoreMemory);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(loaded, c.text.empty());
        write(c.file, sound(c.file));
    }
    // A series file larger than any series holds, though it is text: refused by its size.
    write("three.cts", sound("three.cts") + "\r\n" + std::string(65u << 20, 'c') + "\r\n");
    expectRefused(kProblem + "The file is larger than 64 MB, more than a series file holds.");
}

TEST_F(BadSeries, SeriesFilesThatCannotBeRead)
{
    fs::remove(folder / "three.cts");  // chosen in the dialog, deleted before the read
    expectRefused(kProblem + "The file " + path("three.cts") + " could not be read: No such file or directory");
    fs::create_directory(folder / "three.cts");
    expectRefused(kProblem + "The file " + path("three.cts") + " could not be read: Is a directory");
    fs::remove(folder / "three.cts");
    write("three.cts", sound("three.cts"));
    fakes.disk.unreadable[path("three.cts")] = EACCES;
    expectRefused(kProblem + "The file " + path("three.cts") + " could not be read: Permission denied");
}

TEST_F(BadSeries, DataFileTruncatedAtEveryLineOfTheHeader)
{
    const std::string run2 = sound("run2.ctd");
    for (int lines = 0; lines <= 30; ++lines) {
        SCOPED_TRACE(lines);
        write("run2.ctd", bad_input::firstLines(run2, lines));
        // As Open CTD refuses each of them.
        expectRefused(kProblem + "The data file run2.ctd can not be read. " +
                      (lines == 0   ? std::string("The file is empty.")
                       : lines < 30 ? "The file has " + std::to_string(lines) + " of its 30 header lines."
                                    : "The file holds 0 sample lines; line 10 puts the minimum at sample 218 (line 248)."));
    }
}

TEST_F(BadSeries, DamagedOrUnreadableDataFile)
{
    const std::string run2 = sound("run2.ctd");
    const std::string cannot = kProblem + "The data file run2.ctd can not be read. ";
    struct Case {
        const char* name;
        std::string bytes;
        std::string text;
    };
    for (const Case& c : {Case{"NUL byte", bad_input::replaceLine(run2, 40, std::string("2\0" "7", 3)),
                               cannot + "Line 40 holds a NUL byte: this is no text file."},
                          Case{"UTF-16", bad_input::utf16(run2), cannot + "The file is UTF-16 text; only 8-bit text (ANSI or UTF-8) can be read."},
                          Case{"CR-only line ends", bad_input::crOnly(run2), cannot + "The lines of the file end in CR alone; only CR LF and LF end a line."}}) {
        SCOPED_TRACE(c.name);
        write("run2.ctd", c.bytes);
        expectRefused(c.text);
    }
    fs::remove(folder / "run2.ctd");
    expectRefused(missing("run2.ctd"));
    // A name that is there as something else is named for what it is, not as missing.
    fs::create_directory(folder / "run2.ctd");
    expectRefused(cannot + "The path names a folder, not a file.");
    fs::remove(folder / "run2.ctd");
    ASSERT_EQ(::mkfifo(path("run2.ctd").c_str(), 0600), 0);
    expectRefused(cannot + "It is a named pipe (FIFO), not a regular file.");
    fs::remove(folder / "run2.ctd");
    fs::create_symlink("loop.ctd", folder / "run2.ctd");
    fs::create_symlink("run2.ctd", folder / "loop.ctd");
    expectRefused(cannot + "It is a link that leads round in a circle, not a regular file.");
    fs::remove(folder / "run2.ctd");
    fs::remove(folder / "loop.ctd");
    {
        const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(path("run2.ctd").size(), sizeof address.sun_path);
        std::strcpy(address.sun_path, path("run2.ctd").c_str());
        ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        expectRefused(cannot + "It is a socket, not a regular file.");
        ::close(s);
        fs::remove(folder / "run2.ctd");
    }
    write("run2.ctd", run2);
    fakes.disk.unreadable[path("run2.ctd")] = EACCES;
    expectRefused(cannot + "The file could not be read (Permission denied).");
}

TEST_F(BadSeries, DataFileWithTextOrAHugeSampleOpensAndTheCalculationNamesIt)
{
    const std::string run2 = sound("run2.ctd");
    struct Case {
        const char* name;
        std::string bytes;
        std::string calculation;
    };
    // Run 2's window starts at line 31: row r is line 31 + r; the message names the file's own
    // sample (line 30 + sample).
    for (const Case& c : {Case{"a sample line with text", bad_input::replaceLine(run2, 41, "n/a"), "run2.ctd: sample 11 is 0.\nThe velocity drops to 0 before the run has stopped, a gap in the record"},
                          Case{"a 10 MB sample line", bad_input::replaceLine(run2, 51, bad_input::hugeLine()), "run2.ctd: sample 21 is Infinity."},
                          Case{"a mass that is no number", bad_input::replaceLine(run2, 15, "n/a"), "run2.ctd: the vehicle mass reads \"n/a\", that is 0."}}) {
        SCOPED_TRACE(c.name);
        write("run2.ctd", c.bytes);
        FrmTabchild w;
        bool loaded = false;
        EXPECT_EQ(open(w, loaded), "");
        ASSERT_TRUE(loaded);
        w.cmbLambda_Click();
        w.cmdDLLNEW_Click();
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last().text.substr(0, c.calculation.size()), c.calculation);
        EXPECT_EQ(w.data.fitReference[2], 0.0);  // no load-time fit either
    }
}
