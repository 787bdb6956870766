// The damaged velocity text files a user meets: a file that cannot be read gives its message
// before any dialog, a list that makes no coast-down gives "Error in data-list!", nothing
// crashes and no file is left open.
#include "import/core/import_state.h"
#include "import/frmlistview.h"
#include "import/import_commands.h"
#include "modal_script.h"
#include "platform/fakes.h"
#include "platform/textfile.h"
#include "tests/support/bad_input.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using importer::FrmListview;
using importer::state;

// Three header rows, then time and velocity separated by ";".
const std::string kSound = "Run 7\r\nA4 Avant\r\nt;v\r\n0.0;30.5\r\n0.1;28.25\r\n0.2;26\r\n0.3;24.0\r\n0.4;22.5\r\n";

class BadTextFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        importer::unloadListview();
        importer::unloadDataInputForm();
        state = importer::ImportState();
    }
    QString write(const std::string& bytes, const QString& name = QStringLiteral("run.txt"))
    {
        const QString p = dir.filePath(name);
        EXPECT_TRUE(platform::writeFileAtomic(QFile::encodeName(p).toStdString(), bytes).ok);
        return p;
    }
    // A file that cannot be read: its message, no dialog, nothing open.
    void expectUnreadable(const QString& path, const std::string& reason)
    {
        fakes.messages.clear();
        fakes.files.answer(path);
        const int before = bad_input::openFiles();
        importAsciiData();
        EXPECT_EQ(bad_input::openFiles(), before);
        EXPECT_FALSE(importer::listviewLoaded());
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last().title, "Warning");
        EXPECT_EQ(fakes.messages.last().icon, platform::Icon::Critical);
        EXPECT_EQ(fakes.messages.last().text, QFile::encodeName(path).toStdString() + " - file can not be opened!\n" + reason);
        EXPECT_EQ(state.importLineCount, 0);
    }
    // Reads the file through the structure dialog with three header rows, "t , v" and ";", and
    // returns the messages of its OK.
    std::vector<std::string> confirm(const QString& path)
    {
        fakes.messages.clear();
        fakes.files.answer(path);
        ModalScript script;
        script.on(QStringLiteral("frmlistview"), [&path](QWidget* w) {
            EXPECT_FALSE(bad_input::heldOpen(QFile::encodeName(path).toStdString()));
            auto* lv = static_cast<FrmListview*>(w);
            lv->txt1->setText(QStringLiteral("3"));
            lv->cmb3->setCurrentIndex(1);
            lv->cmb4->setCurrentIndex(1);
            lv->cmdok->click();
            lv->cmdCancel->click();
        });
        importAsciiData();
        EXPECT_FALSE(bad_input::heldOpen(QFile::encodeName(path).toStdString()));
        std::vector<std::string> texts;
        for (const auto& m : fakes.messages.shown) texts.push_back(m.text);
        return texts;
    }

    platform::ScopedFakes fakes;
    QTemporaryDir dir;
};

const std::vector<std::string> kRefused = {"Error in data-list!"};

}  // namespace

TEST_F(BadTextFile, FilesThatCannotBeRead)
{
    expectUnreadable(write(bad_input::utf16(kSound)), "The file is UTF-16 text; only 8-bit text (ANSI or UTF-8) can be read.");
    expectUnreadable(write(bad_input::replaceLine(kSound, 5, std::string("0.1;2\0" "8", 7))),
                     "Line 5 holds a NUL byte: this is no text file (UTF-16 text cannot be read).");
    expectUnreadable(write(bad_input::crOnly(kSound)), "The lines of the file end in CR alone; only CR LF and LF end a line.");
    const QString gone = write(kSound, QStringLiteral("gone.txt"));
    QFile::remove(gone);  // chosen in the dialog, deleted before the read
    expectUnreadable(gone, "No such file or directory");
    expectUnreadable(dir.path(), "Is a directory");
    const QString locked = write(kSound, QStringLiteral("locked.txt"));
    fakes.disk.unreadable[QFile::encodeName(locked).toStdString()] = EACCES;
    expectUnreadable(locked, "Permission denied");
}

TEST_F(BadTextFile, ListsThatMakeNoCoastDown)
{
    EXPECT_TRUE(confirm(write(kSound)).empty());  // the sound file passes
    for (int lines = 0; lines <= 3; ++lines) {     // cut within the header rows
        SCOPED_TRACE(lines);
        EXPECT_EQ(confirm(write(bad_input::firstLines(kSound, lines))), kRefused);
    }
    // Text reads as 0, which is no lowest velocity; a 10 MB number lies outside the double range.
    EXPECT_EQ(confirm(write(bad_input::replaceLine(kSound, 8, "0.4;stopped"))), kRefused);
    EXPECT_EQ(confirm(write(bad_input::replaceLine(kSound, 6, "0.2;" + bad_input::hugeLine()))), kRefused);
}

TEST_F(BadTextFile, AHugeHeaderLineIsShownAsRead)
{
    EXPECT_TRUE(confirm(write(bad_input::replaceLine(kSound, 1, bad_input::hugeLine('h')))).empty());
    EXPECT_EQ(state.importLineCount, 8);
    EXPECT_EQ(state.importLines[0].size(), 10u << 20);
}
