// The New CTS flow: picking data files, the composition dialog and the series file.
#include "import/frmctsinput.h"
#include "import/import_commands.h"
#include "modal_script.h"
#include "platform/fakes.h"
#include "platform/textfile.h"
#include "tests/support/data_files.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using importer::FrmCTSinput;

using data_files::dataFile;

std::string bytesOf(const QString& path)
{
    std::string bytes, error;
    platform::readFileBytes(path.toStdString(), bytes, error);
    return bytes;
}

class SeriesFlow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        put("a.ctd", dataFile(10, 30, "0.1", {"30", "28", "26", "24", "22", "20", "18", "16", "14", "12", "10"}));
        put("b.ctd", dataFile(14, 26, "0.1", {"26", "25", "23", "21", "19", "17", "15", "14"}));
        put("c.ctd", dataFile(12, 28, "0.1", {"29", "28", "27", "25", "22", "19", "16", "13", "12"}));
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    void put(const char* name, const std::string& bytes)
    {
        ASSERT_TRUE(platform::writeFileAtomic(path(QString::fromLatin1(name)).toStdString(), bytes).ok);
    }
    // Runs the command with a dialog step that saves the listed names as they are.
    void runSaving()
    {
        ModalScript script;
        script.on(QStringLiteral("frmCTSinput"), [](QWidget* w) { static_cast<FrmCTSinput*>(w)->cmdCTSok->click(); });
        createSeriesFile();
    }

    platform::ScopedFakes fakes;
    QTemporaryDir dir;
};

TEST_F(SeriesFlow, ComposesAndWritesTheSeriesFile)
{
    fakes.files.answer(path(QStringLiteral("b.ctd")));
    fakes.files.answerMany({path(QStringLiteral("a.ctd")), path(QStringLiteral("c.ctd"))});  // Add more...
    fakes.files.answer(path(QStringLiteral("series.cts")));
    ModalScript script;
    script.on(QStringLiteral("frmCTSinput"), [&](QWidget* w) {
        auto* d = static_cast<FrmCTSinput*>(w);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("CTD-files for series"));
        EXPECT_EQ(d->txtCTSdir->text(), QDir::toNativeSeparators(dir.path()));
        EXPECT_FALSE(d->cmdCTSok->isEnabled());  // one file is no series
        d->cmdCTDtoList->click();
        EXPECT_EQ(d->names(), (QStringList{"b.ctd", "a.ctd", "c.ctd"}));
        EXPECT_TRUE(d->cmdCTSok->isEnabled());

        // Arrows without a selection tell the user; with one they move it.
        d->cmdSortUp->click();
        EXPECT_EQ(fakes.messages.last().text, "Choose a datafile from the list!");
        EXPECT_EQ(fakes.messages.last().title, "");
        d->cmdSortDown->click();
        EXPECT_EQ(fakes.messages.last().title, "Move entry");
        d->lstCTDtoCTS->setCurrentRow(0);
        d->cmdSortDown->click();
        EXPECT_EQ(d->names(), (QStringList{"a.ctd", "b.ctd", "c.ctd"}));
        EXPECT_EQ(d->lstCTDtoCTS->currentRow(), 1);
        d->lstCTDtoCTS->setCurrentRow(0);
        d->cmdSortUp->click();  // the first entry stays
        EXPECT_EQ(d->names(), (QStringList{"a.ctd", "b.ctd", "c.ctd"}));
        EXPECT_EQ(fakes.messages.shown.size(), 2u);

        d->txtCTSComments->setPlainText(QStringLiteral("Track A, dry\nwind 2 m/s"));
        d->cmdCTSok->click();
    });
    createSeriesFile();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(fakes.messages.shown.size(), 2u);
    ASSERT_EQ(fakes.files.requests.size(), 3u);
    EXPECT_EQ(fakes.files.requests[0].title, QStringLiteral("Choose CTD-files for series"));
    EXPECT_EQ(fakes.files.requests[0].kind, platform::FileDialogKind::OpenMany);
    EXPECT_EQ(fakes.files.requests[1].initialDir, QDir::toNativeSeparators(dir.path()));
    EXPECT_EQ(fakes.files.requests[2].title, QStringLiteral("Save series as..."));
    EXPECT_EQ(fakes.files.requests[2].initialDir, dir.path());
    EXPECT_EQ(bytesOf(path(QStringLiteral("series.cts"))),
              "3\r\n3\r\na.ctd,33,36\r\nb.ctd,31,34\r\nc.ctd,34,37\r\nTrack A, dry\r\nwind 2 m/s");
}

// A run that rises to its maximum at sample 4 is windowed from its maximum, not from line 31.
TEST_F(SeriesFlow, ARunRisingToItsMaximumIsWindowedFromItsMaximum)
{
    QStringList picked;
    for (const auto& [name, bytes] : data_files::risingRunSeries()) {
        put(name.c_str(), bytes);
        picked << path(QString::fromStdString(name));
    }
    fakes.files.answerMany(picked);
    fakes.files.answer(path(QStringLiteral("rising.cts")));
    runSaving();
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(bytesOf(path(QStringLiteral("rising.cts"))), data_files::kRisingRunEntries);
}

// A folder named through a link is the folder it names: files picked there, added from the
// folder itself and saved into either are one folder's files.
TEST_F(SeriesFlow, AFolderThroughALinkIsTheSameFolder)
{
    ASSERT_TRUE(QFile::link(dir.path(), path(QStringLiteral("../")) + QFileInfo(dir.path()).fileName() + QStringLiteral("-link")));
    const QString linked = dir.path() + QStringLiteral("-link");
    fakes.files.answerMany({linked + QStringLiteral("/a.ctd"), linked + QStringLiteral("/b.ctd")});
    fakes.files.answer(path(QStringLiteral("c.ctd")));  // Add more..., from the folder itself
    fakes.files.answer(path(QStringLiteral("s.cts")));
    ModalScript script;
    script.on(QStringLiteral("frmCTSinput"), [&](QWidget* w) {
        auto* d = static_cast<FrmCTSinput*>(w);
        d->cmdCTDtoList->click();
        EXPECT_EQ(d->names(), (QStringList{"a.ctd", "b.ctd", "c.ctd"}));
        d->cmdCTSok->click();
    });
    createSeriesFile();
    QFile::remove(linked);
    EXPECT_TRUE(script.finished());
    EXPECT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
    EXPECT_EQ(bytesOf(path(QStringLiteral("s.cts"))), "3\r\n3\r\na.ctd,33,36\r\nb.ctd,31,34\r\nc.ctd,34,37\r\n");
}

TEST_F(SeriesFlow, ListButtons)
{
    QTemporaryDir other;
    fakes.files.answerMany({path(QStringLiteral("a.ctd")), path(QStringLiteral("b.ctd"))});
    fakes.files.answer(other.filePath(QStringLiteral("x.ctd")));
    fakes.files.cancel();
    ModalScript script;
    script.on(QStringLiteral("frmCTSinput"), [&](QWidget* w) {
        auto* d = static_cast<FrmCTSinput*>(w);
        EXPECT_TRUE(d->cmdCTSok->isEnabled());
        d->cmdCTDtoList->click();  // from another folder
        EXPECT_EQ(fakes.messages.last().text, "All datafiles have to be chosen in the same directory!");
        EXPECT_EQ(fakes.messages.last().icon, platform::Icon::Information);
        EXPECT_EQ(d->names().size(), 2);
        d->cmdCTDDelList->click();
        EXPECT_EQ(fakes.messages.last().title, "Delete entry");
        d->lstCTDtoCTS->setCurrentRow(1);
        d->cmdCTDDelList->click();
        EXPECT_EQ(d->names(), QStringList{"a.ctd"});
        EXPECT_FALSE(d->cmdCTSok->isEnabled());
        EXPECT_TRUE(d->cmdCTDDelList->isEnabled());
        d->cmdClearCTSList->click();
        EXPECT_TRUE(d->names().isEmpty());
        EXPECT_FALSE(d->cmdCTDDelList->isEnabled());
        EXPECT_FALSE(d->cmdClearCTSList->isEnabled());
        EXPECT_FALSE(d->cmdSortUp->isEnabled());
        d->cmdCTDtoList->click();  // cancelled
        EXPECT_FALSE(d->cmdCTDDelList->isEnabled());
        d->cmdCancel->click();
    });
    createSeriesFile();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(fakes.files.requests.size(), 3u);  // no save dialog after Cancel
}

TEST_F(SeriesFlow, ThirtyNamesPerPick)
{
    auto names = [&](int from, int count) {
        QStringList out;
        for (int i = from; i < from + count; ++i) out << path(QStringLiteral("r%1.ctd").arg(i));
        return out;
    };
    fakes.files.answerMany(names(0, 35));
    fakes.files.answerMany(names(100, 10));
    ModalScript script;
    script.on(QStringLiteral("frmCTSinput"), [&](QWidget* w) {
        auto* d = static_cast<FrmCTSinput*>(w);
        ASSERT_EQ(d->names().size(), 30);
        EXPECT_EQ(d->names().back(), QStringLiteral("r29.ctd"));
        EXPECT_TRUE(d->cmdCTSok->isEnabled());
        d->cmdCTDtoList->click();
        EXPECT_EQ(d->names().size(), 40);
        EXPECT_FALSE(d->cmdCTSok->isEnabled());
        for (int i = 0; i < 10; ++i) {
            d->lstCTDtoCTS->setCurrentRow(0);
            d->cmdCTDDelList->click();
        }
        EXPECT_TRUE(d->cmdCTSok->isEnabled());
        d->cmdCancel->click();
    });
    createSeriesFile();
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(SeriesFlow, FailuresShowOneMessageAndWriteNothing)
{
    put("slow.ctd", dataFile(10, 30, "0.2", {"30", "20", "10"}));
    put("bad,name.ctd", dataFile(10, 30, "0.1", {"30", "20", "10"}));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.cts")));  // a folder cannot be replaced by the file
    ASSERT_TRUE(QFile::link(path("b.ctd"), path("link.cts")));  // another name of a data file
    ASSERT_EQ(::link(QFile::encodeName(path("b.ctd")).constData(), QFile::encodeName(path("hard.cts")).constData()), 0);  // and one more
    QTemporaryDir other;
    struct Case {
        QStringList picked;
        QString saveAs;  // empty: no save dialog expected
        std::string text;
    };
    const Case cases[] = {
        {{path("a.ctd"), path("missing.ctd")}, {}, "missing.ctd - file can not be opened!"},
        {{path("a.ctd"), path("slow.ctd")}, {}, "The sample rate of the datasets has to be the same!"},
        {{path("a.ctd"), path("bad,name.ctd")}, {}, "comma or a line break"},
        {{path("a.ctd"), path("b.ctd")}, other.filePath("s.cts"), "has to be in the same directory"},
        {{path("a.ctd"), path("b.ctd")}, other.filePath("s"), "has to be in the same directory"},
        {{path("a.ctd"), path("b.ctd")}, path("b.ctd"), "its own data file b.ctd"},
        {{path("a.ctd"), path("b.ctd")}, path("link.cts"), "its own data file b.ctd"},
        {{path("a.ctd"), path("b.ctd")}, path("hard.cts"), "its own data file b.ctd"},
        {{path("a.ctd"), path("b.ctd")}, path("taken.cts"), path("taken.cts").toStdString() + " - file can not be written!"},
    };
    for (const Case& c : cases) {
        fakes.messages.clear();
        fakes.files.answers.clear();
        fakes.files.answerMany(c.picked);
        if (!c.saveAs.isEmpty()) fakes.files.answer(c.saveAs);
        const std::string before = bytesOf(path("b.ctd"));
        {
            // A refused series brings the composition back; a refused target the save dialog.
            ModalScript script;
            script.on(QStringLiteral("frmCTSinput"), [](QWidget* w) { static_cast<FrmCTSinput*>(w)->cmdCTSok->click(); });
            if (c.saveAs.isEmpty())
                script.on(QStringLiteral("frmCTSinput"), [](QWidget* w) { static_cast<FrmCTSinput*>(w)->cmdCancel->click(); });
            createSeriesFile();
            EXPECT_TRUE(script.finished()) << c.text;
        }
        ASSERT_EQ(fakes.messages.shown.size(), 1u) << c.text;
        EXPECT_NE(fakes.messages.last().text.find(c.text), std::string::npos) << fakes.messages.last().text;
        EXPECT_EQ(fakes.messages.last().title, "CTS-Error");
        EXPECT_TRUE(fakes.files.answers.empty()) << c.text;
        EXPECT_EQ(bytesOf(path("b.ctd")), before);
        EXPECT_FALSE(QFileInfo::exists(other.filePath("s.cts")));
    }
    EXPECT_EQ(QDir(dir.path()).entryList({"*.cts"}, QDir::Files | QDir::NoSymLinks), QStringList{"hard.cts"});  // b.ctd's other name
    EXPECT_TRUE(QFileInfo(path("taken.cts")).isDir());
    EXPECT_TRUE(QDir(dir.path()).entryList({".*"}, QDir::Files | QDir::Hidden).isEmpty());  // no temporary left
}

// A refused save (another folder than the data files', one of its own data files) keeps what
// was put together: after the message the save dialog comes back, and the list and the comment
// are written when a good name is given. Cancel in the dialog that comes back ends silently.
TEST_F(SeriesFlow, ARefusedSaveBringsTheSaveDialogBack)
{
    QTemporaryDir other;
    const auto compose = [&] {
        ModalScript script;
        script.on(QStringLiteral("frmCTSinput"), [](QWidget* w) {
            auto* d = static_cast<FrmCTSinput*>(w);
            d->lstCTDtoCTS->setCurrentRow(1);
            d->cmdSortUp->click();  // b.ctd first
            d->txtCTSComments->setPlainText(QStringLiteral("Track dry\nsecond day"));
            d->cmdCTSok->click();
        });
        createSeriesFile();
    };
    fakes.files.answerMany({path("a.ctd"), path("b.ctd")});
    fakes.files.answer(other.filePath("s.cts"));
    fakes.files.answer(path("b.ctd"));
    fakes.files.answer(path("s.cts"));
    compose();
    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_EQ(fakes.messages.shown[0].text,
              "The .cts-Series file has to be in the same directory like all the .ctd-Coastdown data files it is pointing on!");
    EXPECT_EQ(fakes.messages.shown[1].text, "The series file can not be saved over its own data file b.ctd!");
    ASSERT_EQ(fakes.files.requests.size(), 4u);
    for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(fakes.files.requests[i].title, "Save series as...");
    EXPECT_EQ(bytesOf(path("s.cts")), "2\r\n5\r\nb.ctd,31,36\r\na.ctd,33,38\r\nTrack dry\r\nsecond day");
    EXPECT_FALSE(QFileInfo::exists(other.filePath("s.cts")));

    fakes.messages.clear();
    fakes.files.answerMany({path("a.ctd"), path("b.ctd")});
    fakes.files.answer(other.filePath("t.cts"));
    fakes.files.cancel();
    compose();
    EXPECT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.files.answers.empty());
    EXPECT_FALSE(QFileInfo::exists(other.filePath("t.cts")));
    EXPECT_FALSE(QFileInfo::exists(path("t.cts")));
}

// A series refused for one of its files (it can not be read) says why, and the composition dialog
// comes back with the list and the comment as they were: deleting the file and saving again
// writes the rest.
TEST_F(SeriesFlow, ARefusedSeriesBringsTheCompositionBackWithItsListAndComment)
{
    put("y.ctd", bytesOf(path("b.ctd")));
    fakes.disk.unreadable[path("y.ctd").toStdString()] = EACCES;
    fakes.files.answerMany({path("a.ctd"), path("y.ctd"), path("b.ctd")});
    fakes.files.answer(path("s.cts"));
    ModalScript script;
    script
        .on(QStringLiteral("frmCTSinput"),
            [](QWidget* w) {
                auto* d = static_cast<FrmCTSinput*>(w);
                d->txtCTSComments->setPlainText(QStringLiteral("Track dry\nsecond day"));
                d->cmdCTSok->click();
            })
        .on(QStringLiteral("frmCTSinput"), [&](QWidget* w) {
            auto* d = static_cast<FrmCTSinput*>(w);
            ASSERT_EQ(fakes.messages.shown.size(), 1u);
            EXPECT_EQ(fakes.messages.last().text, "y.ctd - file can not be opened!\nThe file could not be read (Permission denied).");
            EXPECT_EQ(fakes.messages.last().title, "CTS-Error");
            EXPECT_EQ(d->names(), (QStringList{"a.ctd", "y.ctd", "b.ctd"}));
            EXPECT_EQ(d->txtCTSComments->toPlainText(), QStringLiteral("Track dry\nsecond day"));
            EXPECT_EQ(d->txtCTSdir->text(), QDir::toNativeSeparators(dir.path()));
            EXPECT_TRUE(d->cmdCTSok->isEnabled());
            d->lstCTDtoCTS->setCurrentRow(1);
            d->cmdCTDDelList->click();
            d->cmdCTSok->click();
        });
    createSeriesFile();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(bytesOf(path("s.cts")), "2\r\n5\r\na.ctd,33,38\r\nb.ctd,31,36\r\nTrack dry\r\nsecond day");
}

// A name typed without extension becomes a series file in the data files' folder; a series
// file of that name is replaced only after the question.
TEST_F(SeriesFlow, ANameTypedWithoutExtensionIsSavedAsASeriesFile)
{
    put("series.cts", "an older series");
    fakes.files.answerMany({path("a.ctd"), path("b.ctd")});
    fakes.files.answer(path("series"));  // replacing declined: the dialog asks again
    fakes.files.answer(path("series"));
    fakes.messages.answers = {platform::Answer::No, platform::Answer::Yes};
    runSaving();
    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    for (const platform::Message& m : fakes.messages.shown) {
        EXPECT_EQ(m.text, "series.cts already exists.\nDo you want to replace it?");
        EXPECT_EQ(m.title, "Save series as...");
    }
    EXPECT_EQ(bytesOf(path("series.cts")), "2\r\n5\r\na.ctd,33,38\r\nb.ctd,31,36\r\n");
    EXPECT_FALSE(QFileInfo::exists(path("series")));
}

TEST_F(SeriesFlow, CancelEndsSilently)
{
    createSeriesFile();  // first pick cancelled
    fakes.files.answerMany({path("a.ctd"), path("b.ctd")});
    fakes.files.cancel();  // save dialog cancelled
    runSaving();
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(QDir(dir.path()).entryList({"*.cts"}, QDir::Files | QDir::NoSymLinks).size(), 0);
}

// One named dialog serves the pick, the save and the next command: each starts in the folder
// left last but never with a name picked for another command.
TEST_F(SeriesFlow, DialogsKeepTheFolderButNotTheName)
{
    fakes.files.answerMany({path(QStringLiteral("a.ctd")), path(QStringLiteral("b.ctd"))});
    fakes.files.answer(path(QStringLiteral("series.cts")));
    runSaving();
    fakes.files.cancel();
    createSeriesFile();

    ASSERT_EQ(fakes.files.starts.size(), 3u);
    const QString folder = QFileInfo(dir.path()).absoluteFilePath();
    for (const platform::FileDialogStart& s : fakes.files.starts) EXPECT_TRUE(s.fileName.isEmpty()) << s.fileName.toStdString();
    EXPECT_EQ(fakes.files.starts[1].folder, folder);  // "Save series as..." in the series folder
    EXPECT_EQ(fakes.files.starts[2].folder, folder);  // the next pick where the last one was left
}

}  // namespace
