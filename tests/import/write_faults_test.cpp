// The writers of the import on a disk that fails mid-write or is full: the old file stays byte
// for byte, no temporary is left, the message names the file and the reason, and what was to be
// written is still there for another try.
#include "import/core/ctd_writer.h"
#include "import/core/import_state.h"
#include "import/core/parameters.h"
#include "import/core/text_import.h"
#include "import/frmctsinput.h"
#include "import/import_commands.h"
#include "modal_script.h"
#include "platform/fakes.h"
#include "platform/textfile.h"
#include "tests/support/data_files.h"
#include "tests/support/special_targets.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

namespace {

using importer::state;

std::string bytesOf(const QString& path)
{
    std::string bytes, error;
    platform::readFileBytes(QFile::encodeName(path).toStdString(), bytes, error);
    return bytes;
}

class WriteFaults : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void put(const char* name, const std::string& bytes)
    {
        ASSERT_TRUE(platform::writeFileAtomic(QFile::encodeName(path(name)).toStdString(), bytes).ok);
    }
    // Only the file itself: no temporary beside it.
    QStringList folder() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot); }

    // Every place a write can break: each byte of a short file, or every `step` bytes.
    static std::vector<std::size_t> breakPoints(std::size_t size, std::size_t step)
    {
        std::vector<std::size_t> at;
        for (std::size_t n = 0; n < size; n += step) at.push_back(n);
        at.push_back(size - 1);
        return at;
    }

    platform::ScopedFakes fakes;
    QTemporaryDir dir;
};

// The import of five samples in km/h as the parameter form's Save leaves it.
void prepareImport(const char* project = "Run")
{
    state = importer::ImportState();
    state.importLines = {"t;v", "0;108", "0.1;100.8", "0.2;93.6", "0.3;86.4", "0.4;79.2"};
    state.importLineCount = 6;
    state.headerRows = 1;
    state.timeColumn = 1;
    state.separatorCode = 1;
    state.velocityUnit = 1;
    const auto stats = importer::importStatistics(state.importLines, 6, 1, 1, 1);
    importer::keepStatistics(stats, state);
    importer::ParameterFields f;
    f.project = project;
    f.delta = "0.1";
    f.pressure = "1";
    f.temperature = "20";
    f.mass = "1500";
    f.area = "2";
    state.fileHeader = importer::collectTestParameters(f, state);
    importer::validateTestParameters(state.fileHeader, state.fieldValid, f.time);
}

}  // namespace

// A project only UTF-8 holds: the file is written as the readers read it.
constexpr const char* kGreek = "Run \u0394\u03BF\u03BA\u03B9\u03BC\u03AE";

TEST_F(WriteFaults, DataFile)
{
    const std::string old = "an older run\r\n";
    put("run.ctd", old);
    prepareImport(kGreek);
    auto header = state.fileHeader;
    const std::string expected = platform::encodeForReaders(importer::ctdFileText(header, state));
    ASSERT_NE(expected, platform::encodeWindows1252(importer::ctdFileText(header, state)));

    for (const int error : {EIO, ENOSPC}) {
        for (const std::size_t n : breakPoints(expected.size(), 1)) {
            SCOPED_TRACE(std::string(std::strerror(error)) + " after " + std::to_string(n) + " bytes");
            prepareImport(kGreek);
            fakes.messages.clear();
            fakes.disk.heal();
            fakes.disk.failWritesAfter(n, error);
            fakes.files.answer(path("run.ctd"));
            importer::writeCtdFile();
            ASSERT_EQ(fakes.messages.shown.size(), 1u);
            EXPECT_EQ(fakes.messages.last().title, "CTD-Error");
            EXPECT_EQ(fakes.messages.last().icon, platform::Icon::Critical);
            EXPECT_EQ(fakes.messages.last().text,
                      QFile::encodeName(path("run.ctd")).toStdString() + " - file can not be written!\n" + std::strerror(error));
            EXPECT_EQ(bytesOf(path("run.ctd")), old);
            EXPECT_EQ(folder(), QStringList{"run.ctd"});
            EXPECT_EQ(state.importLineCount, 6);  // the import stays for another try
        }
    }
    // The disk that takes the whole file.
    prepareImport(kGreek);
    fakes.messages.clear();
    fakes.disk.heal();
    fakes.disk.failWritesAfter(expected.size());
    fakes.files.answer(path("run.ctd"));
    importer::writeCtdFile();
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(bytesOf(path("run.ctd")), expected);
    EXPECT_EQ(state.importLineCount, 0);
    importer::unloadDataInputForm();
}

TEST_F(WriteFaults, SeriesFile)
{
    const std::string ctd = data_files::dataFile(10, 30, "0.1", {"30", "26", "22", "18", "14", "10"});
    put("a.ctd", ctd);
    put("b.ctd", ctd);
    const std::string old = "2\r\n3\r\nold.ctd,31,34\r\nold.ctd,31,34\r\n";
    put("s.cts", old);
    const auto save = [&] {
        fakes.messages.clear();
        fakes.files.answerMany({path("a.ctd"), path("b.ctd")});
        fakes.files.answer(path("s.cts"));
        ModalScript script;
        script.on(QStringLiteral("frmCTSinput"), [](QWidget* w) { static_cast<importer::FrmCTSinput*>(w)->cmdCTSok->click(); });
        createSeriesFile();
    };
    const std::string expected = "2\r\n4\r\na.ctd,31,35\r\nb.ctd,31,35\r\n";
    for (const int error : {EIO, ENOSPC}) {
        for (const std::size_t n : breakPoints(expected.size(), 3)) {
            SCOPED_TRACE(std::string(std::strerror(error)) + " after " + std::to_string(n) + " bytes");
            fakes.disk.heal();
            fakes.disk.failWritesAfter(n, error);
            save();
            ASSERT_EQ(fakes.messages.shown.size(), 1u);
            EXPECT_EQ(fakes.messages.last().title, "CTS-Error");
            EXPECT_EQ(fakes.messages.last().text,
                      QFile::encodeName(path("s.cts")).toStdString() + " - file can not be written!\n" + std::strerror(error));
            EXPECT_EQ(bytesOf(path("s.cts")), old);
            EXPECT_EQ(folder(), (QStringList{"a.ctd", "b.ctd", "s.cts"}));
        }
    }
    fakes.disk.heal();
    save();
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(bytesOf(path("s.cts")), expected);
}

// A FIFO or a write-protected file, or a link to one, is refused before anything is written, as
// root too; through a link, a chain of links or a dangling link the file the last link names is
// written and the links stay. A series lands only in its data files' folder: a link there that
// leads elsewhere is refused, one that stays in the folder is written through. A file of root's is
// write-protected for an ordinary user; root's save of a user's file keeps its owner, group and mode.
TEST_F(WriteFaults, DataFileAndSeriesFileOntoSpecialFilesAndLinks)
{
    const special_targets::Targets t(dir.path().toStdString(), ".ctd");
    const special_targets::Targets series(dir.filePath("series").toStdString(), ".cts");
    const std::string ctd = data_files::dataFile(10, 30, "0.1", {"30", "26", "22", "18", "14", "10"});
    QDir(dir.path()).mkpath(QStringLiteral("series"));
    for (const char* name : {"series/a.ctd", "series/b.ctd"}) put(name, ctd);

    const auto saveData = [&](const std::string& target) {
        prepareImport();
        fakes.messages.clear();
        fakes.files.answer(QString::fromStdString(target));
        importer::writeCtdFile();
        importer::unloadDataInputForm();
    };
    const auto saveSeries = [&](const std::string& target) {
        fakes.messages.clear();
        fakes.files.answerMany({path("series/a.ctd"), path("series/b.ctd")});
        fakes.files.answer(QString::fromStdString(target));
        ModalScript script;
        script.on(QStringLiteral("frmCTSinput"), [](QWidget* w) { static_cast<importer::FrmCTSinput*>(w)->cmdCTSok->click(); });
        createSeriesFile();
    };
    struct Writer {
        const char* title;
        const special_targets::Targets& targets;
        std::function<void(const std::string&)> save;
        std::string folder, extension;
    };
    for (const Writer& w : {Writer{"CTD-Error", t, saveData, dir.path().toStdString(), ".ctd"},
                            Writer{"CTS-Error", series, saveSeries, dir.filePath("series").toStdString(), ".cts"}}) {
        SCOPED_TRACE(w.title);
        for (const auto& [target, reason] : w.targets.refused()) {
            w.save(target);
            ASSERT_EQ(fakes.messages.shown.size(), 1u) << target;
            EXPECT_EQ(fakes.messages.last().title, w.title);
            EXPECT_EQ(fakes.messages.last().text, target + " - file can not be written!\n" + reason);
        }
        w.targets.expectSpecialFilesKept();
        if (!special_targets::OwnedTargets::available()) continue;
        // Root's file saved by an ordinary user in a folder of their own is refused; the user's
        // file saved by root stays the user's.
        const special_targets::OwnedTargets owned(w.folder, w.extension);
        {
            AsOrdinaryUser user;
            w.save(owned.roots);
        }
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last().text, owned.roots + " - file can not be written!\n" + special_targets::OwnedTargets::kRefused);
        owned.expectRootsKept();
        w.save(owned.users);
        EXPECT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
        owned.expectUsersReplaced();
    }
    for (const std::string* through : {&t.link, &t.chain, &t.dangling}) {
        saveData(*through);
        EXPECT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
        t.expectWrittenThrough(*through, through == &t.dangling ? t.danglingTarget : t.linked);
    }
    EXPECT_EQ(special_targets::slurp(t.linked).substr(0, 5), "Run\r\n");

    // The series' links lead out of its folder: refused, and the file there is left alone.
    for (const std::string* through : {&series.link, &series.chain, &series.dangling}) {
        saveSeries(*through);
        ASSERT_EQ(fakes.messages.shown.size(), 1u) << *through;
        const std::string real = through == &series.dangling ? series.danglingTarget : series.linked;
        EXPECT_EQ(fakes.messages.last().text,
                  "The .cts-Series file has to be in the same directory like all the .ctd-Coastdown data files it is pointing on!\n" +
                      *through + " is a link to " + real + ".");
        EXPECT_TRUE(std::filesystem::is_symlink(*through));
    }
    EXPECT_EQ(special_targets::slurp(series.linked), special_targets::Targets::kOld);
    EXPECT_FALSE(std::filesystem::exists(series.danglingTarget));
    // A link that stays in the folder: the file it names is written.
    put("series/here.cts", "old");
    std::filesystem::create_symlink("here.cts", path("series/alias.cts").toStdString());
    saveSeries(path("series/alias.cts").toStdString());
    EXPECT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
    EXPECT_EQ(bytesOf(path("series/here.cts")).substr(0, 3), "2\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink(path("series/alias.cts").toStdString()));
    special_targets::Targets::expectNoTemporary(dir.path().toStdString());
}
