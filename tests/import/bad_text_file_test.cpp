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

#include <algorithm>
#include <functional>

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
    // Reads the file through the structure dialog with three header rows, "t , v" and the
    // separator (1 ";", 0 ","), and returns the messages of its OK; `atMessage` runs on the
    // dialog right after it.
    std::vector<std::string> confirm(const QString& path, int separator = 1,
                                     const std::function<void(FrmListview*)>& atMessage = {})
    {
        fakes.messages.clear();
        fakes.files.answer(path);
        ModalScript script;
        script.on(QStringLiteral("frmlistview"), [&](QWidget* w) {
            EXPECT_FALSE(bad_input::heldOpen(QFile::encodeName(path).toStdString()));
            auto* lv = static_cast<FrmListview*>(w);
            lv->txt1->setText(QStringLiteral("3"));
            lv->cmb3->setCurrentIndex(1);
            lv->cmb4->setCurrentIndex(separator);
            lv->cmdok->click();
            if (atMessage) atMessage(lv);
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

std::string commaSeparated(std::string text)
{
    std::replace(text.begin(), text.end(), ';', ',');
    return text;
}

std::vector<std::string> refused(const std::string& reason) { return {"Error in data-list!\n" + reason}; }

// Records, for each message, whether the dialog it is shown over has Next enabled then.
class NextAtMessage final : public platform::MessageService {
public:
    platform::Answer show(const platform::Message& message, QWidget* parent) override
    {
        const auto* next = parent ? parent->findChild<QPushButton*>(QStringLiteral("cmdnext")) : nullptr;
        nextEnabled.push_back(next && next->isEnabled());
        return inner->show(message, parent);
    }
    platform::MessageService* inner = nullptr;
    std::vector<bool> nextEnabled;
};

}  // namespace

TEST_F(BadTextFile, FilesThatCannotBeRead)
{
    expectUnreadable(write(bad_input::utf16(kSound)), "The file is UTF-16 text; only 8-bit text (ANSI or UTF-8) can be read.");
    expectUnreadable(write(bad_input::replaceLine(kSound, 5, std::string("0.1;2\0" "8", 7))),
                     "Line 5 holds a NUL byte: this is no text file.");
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
    // Cut within the header rows.
    EXPECT_EQ(confirm(write(bad_input::firstLines(kSound, 0))), refused("The file holds no line with text."));
    EXPECT_EQ(confirm(write(bad_input::firstLines(kSound, 1))),
              refused("The one line of the file that holds text is a header row: no data line follows it."));
    for (int lines = 2; lines <= 3; ++lines)
        EXPECT_EQ(confirm(write(bad_input::firstLines(kSound, lines))),
                  refused("All " + std::to_string(lines) + " lines of the file that hold text are header rows: no data line follows them."));
    // Text reads as 0, which is no lowest velocity; a 10 MB number lies outside the double range.
    EXPECT_EQ(confirm(write(bad_input::replaceLine(kSound, 8, "0.4;stopped"))),
              refused("Line 8 of the file holds \"0.4;stopped\", which reads as 0: the velocity must stay above 0 up to the "
                      "last line; delete the lines from line 8 on."));
    EXPECT_EQ(confirm(write(bad_input::replaceLine(kSound, 6, "0.2;" + bad_input::hugeLine()))),
              refused("Line 6 of the file holds \"0.2;77777777777777777777...\", a number too large for a velocity; correct that line."));
}

// The lists measured files were refused for. The line named is the file's own, as an editor
// counts them: header rows and empty lines included.
TEST_F(BadTextFile, TheRefusalNamesTheLineAndWhatToDo)
{
    const std::string delete9 = "the velocity must stay above 0 up to the last line; delete the lines from line 9 on.";
    std::string separators;  // 16,000 lines holding only the separator, read as velocity 0
    for (int i = 0; i < 16000; ++i) separators += ",\r\n";
    struct Case {
        const char* name;
        std::string bytes;
        int separator;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"a standstill 0 at the end", kSound + "0.5;0\r\n", 1,
         "Line 9 of the file holds \"0.5;0\", which reads as 0: " + delete9},
        {"two standstill 0 lines at the end", kSound + "0.5;0\r\n0.6;0\r\n", 1,
         "Line 9 of the file holds \"0.5;0\", which reads as 0, and so does the line after it: " + delete9},
        {"a second 0 four lines before the end", kSound + "0.5;0\r\n0.6;21.5\r\n0.7;21\r\n0.8;20.5\r\n0.9;0\r\n", 1,
         "Line 9 of the file holds \"0.5;0\", which reads as 0, though the velocity after it is above 0 again (a gap "
         "in the record): correct that line, or delete the lines from line 9 on."},
        {"a 0 inside the run", bad_input::replaceLine(kSound, 6, "0.2;0"), 1,
         "Line 6 of the file holds \"0.2;0\", which reads as 0, though the velocity after it is above 0 again (a gap "
         "in the record): correct that line, or delete the lines from line 6 on."},
        {"lines of only separators", commaSeparated(kSound) + separators, 0,
         "Line 9 of the file holds \",\", which reads as 0, and so do the 15999 lines after it: " + delete9},
        // The empty line after line 5 is not read, but it is a line of the file.
        {"a line of blanks after an empty line", bad_input::replaceLine(kSound, 6, "\r\n   "), 1,
         "Line 7 of the file holds only blanks, which reads as 0, though the velocity after it is above 0 again (a gap "
         "in the record): correct that line, or delete the lines from line 7 on."},
        {"a 0 before the highest velocity", bad_input::replaceLine(kSound, 4, "0.0;v in m/s"), 1,
         "Line 4 of the file holds \"0.0;v in m/s\", which reads as 0, before the highest velocity (line 5): count it "
         "among the header rows if it is one, or correct it."},
        {"a rise after the lowest velocity", kSound + "0.5;35\r\n", 1,
         "The lowest velocity (22.500, line 8) comes before the highest (35.000, line 9): a coast-down runs from its "
         "highest velocity down to its lowest; keep the lines from the highest to the lowest velocity of the run and "
         "delete the others."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(confirm(write(c.bytes), c.separator), refused(c.reason));
    }
}

// A time and a velocity in every line, read as one number (no time value chosen, or another
// separator): the refusal says so and names the two lists that split them.
TEST_F(BadTextFile, TwoColumnsReadAsOneNameTheTimeValueAndTheSeparator)
{
    const std::string measured = "0,27.27\r\n0.1,27.25\r\n0.2,27.2\r\n0.3,27.1\r\n0.4,26.9\r\n";
    const auto hint = [](int line, const char* holds, const char* joint, const char* entry) {
        return "Line " + std::to_string(line) + " of the file holds \"" + holds + "\": two numbers joined by " + joint +
               ", as a time and a velocity are. Under \"Time value\" choose which of them is the time, and under "
               "\"Time/velocity hyphen\" choose " + entry + "; then press Ok again.";
    };
    struct Case {
        const char* name;
        std::string bytes;
        const char* headerRows;
        int timeValue, separator;  // list indexes as shown
        std::string reason;
    };
    const Case cases[] = {
        {"time and velocity, no time value", measured, "0", 0, 0, hint(1, "0,27.27", "a comma", "Comma")},
        {"the same with a header row counted", "t,v\r\n" + measured, "1", 0, 0, hint(2, "0,27.27", "a comma", "Comma")},
        {"separated by blanks", "0.0 30.5\r\n0.1 28\r\n0.2 26\r\n", "0", 0, 0, hint(1, "0.0 30.5", "a blank", "Space")},
        {"a time value with another separator", kSound, "3", 1, 0, hint(4, "0.0;30.5", "a semicolon", "Semicolon")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes.messages.clear();
        fakes.files.answer(write(c.bytes));
        ModalScript script;
        script.on(QStringLiteral("frmlistview"), [&](QWidget* w) {
            auto* lv = static_cast<FrmListview*>(w);
            lv->txt1->setText(QString::fromLatin1(c.headerRows));
            lv->cmb3->setCurrentIndex(c.timeValue);
            lv->cmb4->setCurrentIndex(c.separator);
            lv->cmdok->click();
            lv->cmdCancel->click();
        });
        importAsciiData();
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last().text, refused(c.reason).front());
    }
}

// With the refusal, "Data information" shows what was read, and Next is disabled before the
// message comes up.
TEST_F(BadTextFile, TheRefusalKeepsWhatWasReadAndNextIsDisabledFirst)
{
    NextAtMessage recorder;
    recorder.inner = &fakes.messages;
    platform::setMessageService(&recorder);
    const auto labels = [](FrmListview* lv) {
        return std::vector<QString>{lv->lblCount->text(), lv->lblMax->text(), lv->lblmaxwhere->text(), lv->lblMin->text(),
                                    lv->lblminwhere->text()};
    };
    std::vector<QString> shown;
    const auto read = [&](FrmListview* lv) {
        shown = labels(lv);
        EXPECT_FALSE(lv->cmdnext->isEnabled());
    };
    EXPECT_EQ(confirm(write(kSound + "0.5;0\r\n"), 1, read).size(), 1u);
    EXPECT_EQ(shown, (std::vector<QString>{"6", "30.500", "4", "0.000", "9"}));
    EXPECT_EQ(recorder.nextEnabled, std::vector<bool>{false});

    // The sound file enables Next, after the run.
    recorder.nextEnabled.clear();
    EXPECT_TRUE(confirm(write(kSound), 1, [](FrmListview* lv) { EXPECT_TRUE(lv->cmdnext->isEnabled()); }).empty());
    EXPECT_TRUE(recorder.nextEnabled.empty());
    platform::setMessageService(&fakes.messages);
}

TEST_F(BadTextFile, AHugeHeaderLineIsShownAsRead)
{
    EXPECT_TRUE(confirm(write(bad_input::replaceLine(kSound, 1, bad_input::hugeLine('h')))).empty());
    EXPECT_EQ(state.importLineCount, 8);
    EXPECT_EQ(state.importLines[0].size(), 10u << 20);
}
