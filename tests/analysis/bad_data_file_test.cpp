// The damaged data files a user meets: each gives the reader's message, nothing crashes, nothing
// is loaded and no file is left open.
#include "analysis/coastfit_loader.h"
#include "analysis/frm_tabchild.h"
#include "test_files.h"
#include "tests/support/bad_input.h"
#include "tests/support/peak_memory.h"

#include "platform/fakes.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QFile>
#include <QGroupBox>
#include <QLabel>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using analysis::FrmTabchild;

namespace {

class BadDataFile : public ::testing::Test {
protected:
    void SetUp() override { analysis::setCoastfitPath(testfiles::libraryPath()); }
    platform::ScopedFakes fakes;
    QTemporaryDir dir;
    const std::string sound = testfiles::ctdText(testfiles::coastDown(150, 0.45, 30, 50));

    // Opens the path as the reload of an edit does (no dialog); the message shown, "" for none.
    std::string open(FrmTabchild& w, const QString& path, bool& loaded)
    {
        fakes.messages.clear();
        const int before = bad_input::openFiles();
        loaded = w.ctdOpen(path);
        EXPECT_EQ(bad_input::openFiles(), before);
        EXPECT_LE(fakes.messages.shown.size(), 1u);
        return fakes.messages.shown.empty() ? std::string() : fakes.messages.last().text;
    }
    void expectRefused(const QString& path, const std::string& reason)
    {
        FrmTabchild w;
        bool loaded = true;
        const std::string text = open(w, path, loaded);
        EXPECT_FALSE(loaded);
        EXPECT_EQ(text, "File reading ERROR!\n" + path.toStdString() + "\n" + reason);
        ASSERT_FALSE(fakes.messages.shown.empty());
        EXPECT_EQ(fakes.messages.last().title, "CTD-Error");
        EXPECT_EQ(w.data.setCount, 0);
        EXPECT_TRUE(w.data.velocitySamples.empty());
        EXPECT_FALSE(w.frmCalc->isEnabled());
    }
};

}  // namespace

TEST_F(BadDataFile, TruncatedAtEveryLineOfTheHeader)
{
    for (int lines = 0; lines <= 30; ++lines) {
        SCOPED_TRACE(lines);
        const QString path = testfiles::writeFile(dir, "cut.ctd", bad_input::firstLines(sound, lines));
        expectRefused(path, lines == 0    ? "The file is empty."
                            : lines < 30 ? "The file has " + std::to_string(lines) + " of its 30 header lines."
                                         : "The file holds 0 sample lines; line 10 puts the minimum at sample 50 (line 80).");
    }
    expectRefused(testfiles::writeFile(dir, "cut.ctd", bad_input::firstLines(sound, 60)),
                  "The file holds 30 sample lines; line 10 puts the minimum at sample 50 (line 80).");
}

TEST_F(BadDataFile, DamagedContent)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::string reason;
    };
    const std::string nul = bad_input::replaceLine(sound, 33, std::string("12\0.5", 5));
    for (const Case& c : {Case{"NUL byte in a sample", nul, "Line 33 holds a NUL byte: this is no text file."},
                          Case{"UTF-16", bad_input::utf16(sound), "The file is UTF-16 text; only 8-bit text (ANSI or UTF-8) can be read."},
                          // Without its byte-order mark UTF-16 is told by its NULs between the letters.
                          Case{"UTF-16 without a mark", bad_input::utf16(sound).substr(2),
                               "Line 1 holds NUL bytes between its letters: this is UTF-16 text; only 8-bit text (ANSI or UTF-8) can be read."},
                          Case{"a run of NUL bytes in a sample", bad_input::replaceLine(sound, 40, std::string(12, '\0')),
                               "Line 40 holds a NUL byte: this is no text file."},
                          Case{"CR-only line ends", bad_input::crOnly(sound), "The lines of the file end in CR alone; only CR LF and LF end a line."}}) {
        SCOPED_TRACE(c.name);
        expectRefused(testfiles::writeFile(dir, "bad.ctd", c.bytes), c.reason);
    }
}

// A 2.5 GB file is judged by its first bytes, and only as much of a file is read as its header
// says the samples take: the memory taken stays small, whatever the file's size.
TEST_F(BadDataFile, AHugeFileIsReadOnlyAsFarAsItsHeaderSays)
{
    constexpr std::uintmax_t kHuge = 2500ull << 20;
    constexpr long long kMoreMemory = 100ll << 20;
    struct Case {
        const char* name;
        std::string start;  // the file's first bytes; the rest up to 2.5 GB are NUL bytes (sparse)
        std::string reason; // "" for a file that opens
    };
    const Case cases[] = {
        {"nothing but NUL bytes", "", "Line 1 holds a NUL byte: this is no text file."},
        {"a header, then NUL bytes", bad_input::firstLines(sound, 30), "Line 31 holds a NUL byte: this is no text file."},
        {"the whole run, then NUL bytes", sound, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = testfiles::writeFile(dir, "huge.ctd", c.start);
        std::filesystem::resize_file(path.toStdString(), kHuge);
        const peak_memory::Measure measure;
        FrmTabchild w;
        bool loaded = false;
        const std::string text = open(w, path, loaded);
        const long long grown = measure.growth();
        std::printf("[ measured ] %s: %.3f s, %lld MB more at the peak\n", c.name, measure.seconds(), grown >> 20);
        EXPECT_LT(grown, kMoreMemory);
        EXPECT_EQ(loaded, c.reason.empty());
        EXPECT_EQ(text, c.reason.empty() ? std::string() : "File reading ERROR!\n" + path.toStdString() + "\n" + c.reason);
        if (loaded) {
            EXPECT_EQ(w.data.samples(), 50);
        }
        QFile::remove(path);
    }
    // A line no data file holds, not NUL bytes: refused after its first 16 MB.
    expectRefused(testfiles::writeFile(dir, "long.ctd", bad_input::replaceLine(sound, 4, std::string(20u << 20, 'c'))),
                  "Line 4 is longer than 16 MB, longer than any line of a data file or series.");
}

TEST_F(BadDataFile, FilesThatCannotBeRead)
{
    const QString gone = testfiles::writeFile(dir, "gone.ctd", sound);
    QFile::remove(gone);  // chosen in the dialog, deleted before the read
    expectRefused(gone, "The file does not exist.");
    expectRefused(dir.path(), "The path names a folder, not a file.");
    const QString locked = testfiles::writeFile(dir, "locked.ctd", sound);
    fakes.disk.unreadable[QFile::encodeName(locked).toStdString()] = EACCES;
    expectRefused(locked, "The file could not be read (Permission denied).");
    // Names that are there as something else say what they are.
    const QString fifo = dir.filePath(QStringLiteral("fifo.ctd"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    expectRefused(fifo, "It is a named pipe (FIFO), not a regular file.");
    const QString socketPath = dir.filePath(QStringLiteral("socket.ctd"));
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(socketPath);
    ASSERT_LT(static_cast<std::size_t>(name.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    expectRefused(socketPath, "It is a socket, not a regular file.");
    ::close(s);
    const QString loop = dir.filePath(QStringLiteral("loop.ctd"));
    ASSERT_TRUE(QFile::link(loop, loop));
    expectRefused(loop, "It is a link that leads round in a circle, not a regular file.");
}

// Damage the reader cannot see: the file opens as the format says, and the calculation names
// the value it cannot take.
TEST_F(BadDataFile, TextAndHugeLinesOpenAndTheCalculationNamesThem)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::string calculation;
    };
    for (const Case& c : {Case{"a sample line with text", bad_input::replaceLine(sound, 33, "twelve"), "bad.ctd: sample 3 is 0.\nThe velocity drops to 0 before the run has stopped, a gap in the record"},
                          Case{"a 10 MB sample line", bad_input::replaceLine(sound, 40, bad_input::hugeLine()), "bad.ctd: sample 10 is Infinity."},
                          Case{"a 10 MB mass line", bad_input::replaceLine(sound, 15, bad_input::hugeLine()), "bad.ctd: the vehicle mass is Infinity."}}) {
        SCOPED_TRACE(c.name);
        FrmTabchild w;
        bool loaded = false;
        EXPECT_EQ(open(w, testfiles::writeFile(dir, "bad.ctd", c.bytes), loaded), "");
        EXPECT_TRUE(loaded);
        w.cmdDLLNEW_Click();
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last().text.substr(0, c.calculation.size()), c.calculation);
        EXPECT_FALSE(w.data.hasFit());
    }
    // A 10 MB project line is shown as read, on the summary and on the protocol page.
    FrmTabchild w;
    bool loaded = false;
    EXPECT_EQ(open(w, testfiles::writeFile(dir, "long.ctd", bad_input::replaceLine(sound, 1, bad_input::hugeLine('P'))), loaded), "");
    EXPECT_TRUE(loaded);
    EXPECT_EQ(w.lblCTDescrLabel[0]->text().size(), 10 << 20);
    w.show();
    QApplication::processEvents();
    w.SSTab2->setCurrentIndex(2);
    QApplication::processEvents();
    EXPECT_EQ(w.mfgCTSdat->textMatrix(1, 1).size(), 10 << 20);
}

// Parameters no vehicle has open as the file holds them; the calculation names the file and
// the value and computes nothing. A dynamic mass below the mass is unusual, not impossible.
TEST_F(BadDataFile, ImpossibleParametersAreNotCalculated)
{
    struct Case {
        int line;
        const char* value;
        std::string message;  // "" when the run is calculated
    };
    const std::string positive = "The calculation needs a value greater than 0 here; nothing was calculated.";
    const Case cases[] = {
        {15, "-1500", "bad.ctd: the vehicle mass is -1500.\n" + positive},
        {16, "-1545", "bad.ctd: the dynamic mass is -1545.\n" + positive},
        {17, "-1.012", "bad.ctd: the air pressure is -1.012.\n" + positive},
        {19, "-2.2", "bad.ctd: the frontal area is -2.2.\n" + positive},
        {19, "0", "bad.ctd: the frontal area is 0.\n" + positive},
        {18, "-273.15", "bad.ctd: the air temperature is -273.15.\nThe calculation needs a temperature above -273.15 \xC2\xB0" "C here; nothing was calculated."},
        // A line that is no number reads as the number it begins with, and the message says so.
        {15, "abc", "bad.ctd: the vehicle mass reads \"abc\", that is 0.\n" + positive},
        {17, "-1 bar", "bad.ctd: the air pressure reads \"-1 bar\", that is -1.\n" + positive},
        {19, "", "bad.ctd: the frontal area is 0.\n" + positive},
        {18, "-40", ""},
        {16, "1400", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.line) + ": " + c.value);
        FrmTabchild w;
        bool loaded = false;
        EXPECT_EQ(open(w, testfiles::writeFile(dir, "bad.ctd", bad_input::replaceLine(sound, c.line, c.value)), loaded), "");
        ASSERT_TRUE(loaded);
        w.cmdDLLNEW_Click();
        if (c.message.empty()) {
            EXPECT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
            EXPECT_TRUE(w.data.hasFit());
            EXPECT_FALSE(w.mfgCTSres->textMatrix(16, 1).isEmpty());
            continue;
        }
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last().text, c.message);
        EXPECT_EQ(fakes.messages.last().title, "Calculation Warning");
        EXPECT_FALSE(w.data.hasFit());
        EXPECT_TRUE(w.mfgCTSres->textMatrix(16, 1).isEmpty());  // no cd shown
    }
}
