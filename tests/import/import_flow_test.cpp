// The New CTD flow through both dialogs, with scripted file dialogs and message boxes.
#include "import/core/import_state.h"
#include "import/core/parameters.h"
#include "import/frmdatainput.h"
#include "import/frmlistview.h"
#include "import/import_commands.h"
#include "modal_script.h"
#include "platform/fakes.h"
#include "platform/textfile.h"
#include "tests/support/scripted_opener.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using importer::FrmDataInput;
using importer::FrmListview;
using importer::state;

const QString kData = QStringLiteral(TW_IMPORT_DATA);

std::string bytesOf(const QString& path)
{
    std::string bytes, error;
    EXPECT_TRUE(platform::readFileBytes(path.toStdString(), bytes, error)) << error;
    return bytes;
}

void writeBytes(const QString& path, const std::string& bytes)
{
    ASSERT_TRUE(platform::writeFileAtomic(path.toStdString(), bytes).ok);
}

class ImportFlow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        importer::unloadListview();
        importer::unloadDataInputForm();
        state = importer::ImportState();
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    platform::ScopedFakes fakes;
    QTemporaryDir dir;
};

// The structure of the golden fixture: 2 header rows, "t , v" with ";", decimal comma, km/h.
void confirmKmhStructure(FrmListview* lv)
{
    lv->txt1->setText(QStringLiteral("2"));
    lv->cmb3->setCurrentIndex(1);
    lv->cmb5->setCurrentIndex(1);
    lv->cmb6->setCurrentIndex(1);
    lv->cmdok->click();
}

void confirmKmhAndGoOn(QWidget* w)
{
    auto* lv = static_cast<FrmListview*>(w);
    confirmKmhStructure(lv);
    lv->cmdnext->click();
}

void fillGoldenParameters(FrmDataInput* f)
{
    f->txtproject->setText(QStringLiteral("A4 coast-down"));
    f->DTPicker1->setDate(QDate(2005, 3, 9));
    f->txttime->setText(QStringLiteral("10:15"));
    f->txtcar->setText(QStringLiteral("A4 Avant"));
    f->txttester->setText(QStringLiteral("Kim Weber"));
    f->txtdelta->setText(QStringLiteral("0,1"));
    f->txtmass->setText(QStringLiteral("1500"));
    f->txtdynmass->clear();
    f->txtpressure->setText(QStringLiteral("1,013"));
    f->txttemperature->setText(QStringLiteral("18,5"));
    f->txtarea->setText(QStringLiteral("2,2"));
    f->txtconfiguration->setText(QStringLiteral("Roof box"));
    f->txtweather->setText(QStringLiteral("dry, 3 m/s wind"));
    f->txtroad->setText(QStringLiteral("asphalt"));
}

TEST_F(ImportFlow, NewDataFileThroughBothDialogsMatchesTheGoldenFile)
{
    const QString out = path(QStringLiteral("A4.ctd"));
    fakes.files.answer(kData + QStringLiteral("/run_kmh.txt"));
    fakes.files.answer(out);
    ModalScript script;
    script
        .on(QStringLiteral("frmlistview"),
            [&](QWidget* w) {
                auto* lv = static_cast<FrmListview*>(w);
                EXPECT_EQ(lv->lstview->model()->rowCount(), 10);  // the empty line is dropped
                EXPECT_TRUE(lv->lstview->model()->index(0, 0).data().toString().endsWith(QStringLiteral("\u00B0C 18")));  // Windows-1252 read
                EXPECT_EQ(lv->txtpath->text(), kData + QStringLiteral("/run_kmh.txt"));
                EXPECT_FALSE(lv->cmdnext->isEnabled());
                EXPECT_FALSE(lv->cmb4->isEnabled());
                confirmKmhStructure(lv);
                EXPECT_EQ(lv->cmb4->currentText(), QStringLiteral("Semicolon"));
                EXPECT_EQ(lv->lblCount->text(), QStringLiteral("8"));
                EXPECT_EQ(lv->lblMax->text(), QStringLiteral("72.000"));
                EXPECT_EQ(lv->lblmaxwhere->text(), QStringLiteral("3"));
                EXPECT_EQ(lv->lblMin->text(), QStringLiteral("36.000"));
                EXPECT_EQ(lv->lblminwhere->text(), QStringLiteral("10"));
                EXPECT_TRUE(lv->cmdnext->isEnabled());
                lv->cmdnext->click();
            })
        .on(QStringLiteral("frmdatainput"), [&](QWidget* w) {
            auto* f = static_cast<FrmDataInput*>(w);
            fillGoldenParameters(f);
            f->cmdFinish->click();
        });
    importAsciiData();
    EXPECT_TRUE(script.finished());
    EXPECT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
    ASSERT_EQ(fakes.files.requests.size(), 2u);
    EXPECT_EQ(fakes.files.requests[0].dialogName, QStringLiteral("cdltxtinput"));
    EXPECT_EQ(fakes.files.requests[0].title, QStringLiteral("Open Ascii-file"));
    EXPECT_EQ(fakes.files.requests[1].dialogName, QStringLiteral("dlgCreatectd"));
    EXPECT_EQ(fakes.files.requests[1].title, QStringLiteral("Save CTD-file"));
    EXPECT_EQ(fakes.files.requests[1].fileName, QStringLiteral("A4 coast-down"));
    EXPECT_EQ(bytesOf(out), bytesOf(kData + QStringLiteral("/run_kmh.ctd")));
    EXPECT_EQ(state.importLineCount, 0);
    EXPECT_EQ(state.importLines, importer::ImportLines{""});
    EXPECT_FALSE(importer::listviewLoaded());
    EXPECT_FALSE(importer::dataInputFormLoaded());
}

// The dialog proposes the project name; saved as proposed it becomes a data file the open
// dialogs list, and a data file of that name is replaced only after the question.
TEST_F(ImportFlow, TheProposedNameIsSavedAsADataFile)
{
    const QString proposed = path(QStringLiteral("A4 coast-down"));
    writeBytes(proposed + QStringLiteral(".ctd"), "an older run\r\n");
    fakes.files.answer(kData + QStringLiteral("/run_kmh.txt"));
    fakes.files.answer(proposed);  // replacing declined: the dialog asks again
    fakes.files.answer(proposed);
    fakes.messages.answers = {platform::Answer::No, platform::Answer::Yes};
    ModalScript script;
    script.on(QStringLiteral("frmlistview"), confirmKmhAndGoOn).on(QStringLiteral("frmdatainput"), [](QWidget* w) {
        auto* f = static_cast<FrmDataInput*>(w);
        fillGoldenParameters(f);
        f->cmdFinish->click();
    });
    importAsciiData();
    EXPECT_TRUE(script.finished());
    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    for (const platform::Message& m : fakes.messages.shown) {
        EXPECT_EQ(m.text, "A4 coast-down.ctd already exists.\nDo you want to replace it?");
        EXPECT_EQ(m.title, "Save CTD-file");
        EXPECT_EQ(m.buttons, platform::Buttons::YesNo);
    }
    EXPECT_EQ(fakes.files.requests.back().fileName, QStringLiteral("A4 coast-down"));
    EXPECT_EQ(bytesOf(proposed + QStringLiteral(".ctd")), bytesOf(kData + QStringLiteral("/run_kmh.ctd")));
    EXPECT_FALSE(QFileInfo::exists(proposed));
}

// A time column whose steps are not the sample rate entered is asked about before the file is
// written: No goes back to the form, Yes writes the file with the rate entered. The line named
// is the file's own (the fixture has an empty line among its rows).
TEST_F(ImportFlow, ATimeColumnThatDisagreesIsAskedAboutFirst)
{
    const QString out = path(QStringLiteral("A4.ctd"));
    fakes.files.answer(kData + QStringLiteral("/run_kmh.txt"));
    fakes.files.answer(out);
    fakes.messages.answers = {platform::Answer::No, platform::Answer::Yes};
    ModalScript script;
    script.on(QStringLiteral("frmlistview"), confirmKmhAndGoOn).on(QStringLiteral("frmdatainput"), [&](QWidget* w) {
        auto* f = static_cast<FrmDataInput*>(w);
        fillGoldenParameters(f);
        f->txtdelta->setText(QStringLiteral("0,2"));
        f->cmdFinish->click();
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last().text,
                  "The time column does not step by the sample rate entered, 0.2 s: 7 of 7 steps differ, the first at "
                  "line 4 of the file (a step of 0.1 s).\nThe time column is not read: the data file places every "
                  "sample 0.2 s after the one before.\nSave it with the sample rate of 0.2 s? No goes back to the form.");
        EXPECT_EQ(fakes.files.requests.size(), 1u);  // no save dialog after No
        EXPECT_TRUE(f->isVisible());
        EXPECT_TRUE(importer::listviewLoaded());
        f->cmdFinish->click();
    });
    importAsciiData();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(fakes.messages.shown.size(), 2u);
    ASSERT_EQ(fakes.files.requests.size(), 2u);
    const auto lines = platform::readTextFile(out.toStdString());
    ASSERT_TRUE(lines.ok) << lines.error;
    EXPECT_EQ(lines.lines.at(12), "0.2");
    EXPECT_EQ(lines.lines.size(), 38u);
}

// Blank-separated time column, m/s, point: back and forth between the dialogs, a cancelled
// save dialog, a failed write, then a good one; the samples stay the same throughout.
TEST_F(ImportFlow, BackNextCancelAndFailedWriteKeepTheImport)
{
    const QString txt = path(QStringLiteral("run.txt"));
    writeBytes(txt, "t v\n0.0 30.5 x\n0.1 28.25\n0.2  26\n0.3 24.0\n");
    // An old file on a disk that is full for the first try: the write fails.
    const QString old = path(QStringLiteral("old.ctd"));
    {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old data\r\n");
    }
    const QString out = path(QStringLiteral("run.ctd"));
    fakes.files.answer(txt);
    fakes.files.cancel();
    fakes.files.answer(old);
    fakes.files.answer(out);

    ModalScript script;
    auto confirm = [](QWidget* w) {
        auto* lv = static_cast<FrmListview*>(w);
        lv->txt1->setText(QStringLiteral("1"));
        lv->cmb3->setCurrentIndex(1);
        lv->cmb4->setCurrentIndex(2);  // Space
        lv->cmdok->click();
        EXPECT_EQ(lv->lblMax->text(), QStringLiteral("30.500"));
        EXPECT_EQ(lv->lblMin->text(), QStringLiteral("24.000"));
        lv->cmdnext->click();
    };
    script.on(QStringLiteral("frmlistview"), confirm)
        .on(QStringLiteral("frmdatainput"),
            [](QWidget* w) {
                auto* f = static_cast<FrmDataInput*>(w);
                f->txtproject->setText(QStringLiteral("Run"));
                f->cmdback->click();
            })
        .on(QStringLiteral("frmlistview"),
            [](QWidget* w) {
                auto* lv = static_cast<FrmListview*>(w);
                EXPECT_EQ(lv->lblCount->text(), QStringLiteral("4"));  // as it was left
                lv->cmdnext->click();
            })
        .on(QStringLiteral("frmdatainput"), [&](QWidget* w) {
            auto* f = static_cast<FrmDataInput*>(w);
            EXPECT_EQ(f->txtproject->text(), QStringLiteral("Run"));
            f->txtdelta->setText(QStringLiteral("0.1"));
            f->txtpressure->setText(QStringLiteral("1"));
            f->txttemperature->setText(QStringLiteral("20"));
            f->txtmass->setText(QStringLiteral("1400"));
            f->txtarea->setText(QStringLiteral("2"));
            f->txtdynmass->setText(QStringLiteral("1450"));
            f->cmdFinish->click();  // save dialog cancelled
            EXPECT_TRUE(f->isVisible());
            EXPECT_FALSE(f->cmdback->isEnabled());
            EXPECT_TRUE(fakes.messages.shown.empty());
            fakes.disk.failWritesAfter(0, ENOSPC);
            f->cmdFinish->click();  // the write fails
            fakes.disk.heal();
            ASSERT_EQ(fakes.messages.shown.size(), 1u);
            EXPECT_EQ(fakes.messages.last().title, "CTD-Error");
            EXPECT_EQ(fakes.messages.last().icon, platform::Icon::Critical);
            EXPECT_NE(fakes.messages.last().text.find(old.toStdString()), std::string::npos);
            EXPECT_TRUE(f->isVisible());
            EXPECT_EQ(state.importLineCount, 5);
            f->cmdFinish->click();  // now it is written
        });
    importAsciiData();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(bytesOf(old), "old data\r\n");
    const auto lines = platform::readTextFile(out.toStdString());
    ASSERT_TRUE(lines.ok);
    ASSERT_EQ(lines.lines.size(), 34u);
    EXPECT_EQ(lines.lines[6], "5");
    EXPECT_EQ(lines.lines[7], "24");
    EXPECT_EQ(lines.lines[8], "30.5");
    EXPECT_EQ(lines.lines[9], "5");   // point numbers count the header row with a time column
    EXPECT_EQ(lines.lines[10], "2");
    EXPECT_EQ(lines.lines[15], "1450");
    EXPECT_EQ(std::vector<std::string>(lines.lines.begin() + 30, lines.lines.end()),
              (std::vector<std::string>{"30.5", "28.25", "26", "24"}));
}

// The other structures a tester meets, each through both dialogs to the file on disk.
TEST_F(ImportFlow, SeparatorsLayoutsAndUnitsThroughBothDialogs)
{
    struct Case {
        const char* what;
        std::string text;
        const char* headerRows;
        int timeValue, decimal, separator, unit;  // list indexes as shown
        std::vector<std::string> extremes;       // lines 8 to 11
        std::vector<std::string> samples;
    };
    const Case cases[] = {
        {"velocity alone, m/s", "v [m/s]\r\n30.5\r\n28\r\n25.25\r\n", "1", 0, 0, 0, 0,
         {"25.25", "30.5", "3", "1"}, {"30.5", "28", "25.25"}},
        {"t , v with comma, mph", "0,20\n0.1,15\n0.2,10\n", "0", 1, 0, 0, 2,
         {"4.4704", "8.9408", "3", "1"}, {"8.9408", "6.7056", "4.4704"}},
        {"v , t with tab, decimal comma, km/h", "v\tt\n36,0\t0,0\n18,0\t0,1\n", "1", 2, 1, 2, 1,
         {"5", "10", "3", "2"}, {"10", "5"}},
        {"t , v with tab and a third column, m/s", "0.0\t12.5\t9\n0.1\t11\t9\n", "0", 1, 0, 3, 0,
         {"11", "12.5", "2", "1"}, {"12.5", "11"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString txt = path(QStringLiteral("in%1.txt").arg(n));
        const QString out = path(QStringLiteral("out%1.ctd").arg(n++));
        writeBytes(txt, c.text);
        fakes.files.answer(txt);
        fakes.files.answer(out);
        ModalScript script;
        script
            .on(QStringLiteral("frmlistview"),
                [&](QWidget* w) {
                    auto* lv = static_cast<FrmListview*>(w);
                    lv->txt1->setText(QString::fromLatin1(c.headerRows));
                    lv->cmb3->setCurrentIndex(c.timeValue);
                    lv->cmb6->setCurrentIndex(c.decimal);
                    lv->cmb4->setCurrentIndex(c.separator);
                    lv->cmb5->setCurrentIndex(c.unit);
                    lv->cmdok->click();
                    EXPECT_TRUE(lv->cmdnext->isEnabled());
                    lv->cmdnext->click();
                })
            .on(QStringLiteral("frmdatainput"), [&](QWidget* w) {
                auto* f = static_cast<FrmDataInput*>(w);
                f->txtproject->setText(QStringLiteral("Run"));
                f->txtdelta->setText(QStringLiteral("0.1"));
                f->txtpressure->setText(QStringLiteral("1"));
                f->txttemperature->setText(QStringLiteral("20"));
                f->txtmass->setText(QStringLiteral("1400"));
                f->txtarea->setText(QStringLiteral("2"));
                f->cmdFinish->click();
            });
        state.structureConfirmed = false;  // as the New command starts it
        importAsciiData();
        EXPECT_TRUE(script.finished());
        EXPECT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
        const auto file = platform::readTextFile(out.toStdString());
        ASSERT_TRUE(file.ok);
        ASSERT_EQ(file.lines.size(), 30 + c.samples.size());
        EXPECT_EQ(std::vector<std::string>(file.lines.begin() + 7, file.lines.begin() + 11), c.extremes);
        EXPECT_EQ(std::vector<std::string>(file.lines.begin() + 30, file.lines.end()), c.samples);
    }
}

TEST_F(ImportFlow, EscapeInTheParameterFormUnloadsBothAndWritesNothing)
{
    const QString txt = path(QStringLiteral("run.txt"));
    writeBytes(txt, "30\n20\n");
    fakes.files.answer(txt);
    ModalScript script;
    script
        .on(QStringLiteral("frmlistview"),
            [](QWidget* w) {
                auto* lv = static_cast<FrmListview*>(w);
                lv->cmdok->click();
                lv->cmdnext->click();
            })
        .on(QStringLiteral("frmdatainput"), [](QWidget* w) {
            QTest::keyClick(w, Qt::Key_Escape);
        });
    importAsciiData();
    EXPECT_TRUE(script.finished());
    EXPECT_FALSE(importer::listviewLoaded());
    EXPECT_FALSE(importer::dataInputFormLoaded());
    EXPECT_EQ(fakes.files.requests.size(), 1u);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.ctd")}, QDir::Files).size(), 0);
}

TEST_F(ImportFlow, StructureDialogStates)
{
    const QString txt = path(QStringLiteral("rise.txt"));
    writeBytes(txt, "10\r\n20\r\n30\r\n");
    const QString fall = path(QStringLiteral("fall.txt"));
    writeBytes(fall, "30\r\n20\r\n10\r\n");
    fakes.files.answer(txt);
    fakes.files.answer(fall);
    fakes.shell.results.push_back(31);

    ModalScript script;
    script.on(QStringLiteral("frmlistview"), [&](QWidget* w) {
        auto* lv = static_cast<FrmListview*>(w);
        // Decimal comma drops "Comma" from the separators and picks "Semicolon"; Point brings
        // it back without changing the separator in force.
        lv->cmb3->setCurrentIndex(1);
        lv->cmb6->setCurrentIndex(1);
        EXPECT_EQ(lv->cmb4->count(), 3);
        EXPECT_EQ(lv->cmb4->currentText(), QStringLiteral("Semicolon"));
        EXPECT_EQ(state.separatorCode, 1);
        lv->cmb4->setCurrentIndex(2);  // Tabulator
        EXPECT_EQ(state.separatorCode, 3);
        lv->cmb6->setCurrentIndex(0);
        EXPECT_EQ(lv->cmb4->count(), 4);
        EXPECT_EQ(lv->cmb4->itemText(0), QStringLiteral("Comma"));
        EXPECT_EQ(lv->cmb4->currentText(), QStringLiteral("Tabulator"));
        EXPECT_EQ(state.separatorCode, 3);
        lv->cmb3->setCurrentIndex(0);
        EXPECT_FALSE(lv->cmb4->isEnabled());

        // Header-row counts.
        lv->txt1->setText(QStringLiteral("ab"));
        lv->cmdok->click();
        EXPECT_EQ(fakes.messages.last().text, "Please insert numerical value!");
        EXPECT_FALSE(lv->cmb3->isEnabled());
        EXPECT_FALSE(state.structureConfirmed);
        lv->txt1->setText(QStringLiteral("31"));
        lv->cmdok->click();
        EXPECT_EQ(fakes.messages.last().text, "Please insert value between 0 and 30 !");

        // A rising record is refused.
        lv->txt1->setText(QStringLiteral("0"));
        lv->cmdok->click();
        EXPECT_TRUE(lv->cmb3->isEnabled());
        EXPECT_EQ(fakes.messages.last().text, "Error in data-list!\nThe velocity rises from every data line to the next, up "
                                              "to the last (line 3): a coast-down runs from its highest velocity down to its lowest.");
        EXPECT_EQ(fakes.messages.last().title, "Warning");
        EXPECT_FALSE(lv->cmdnext->isEnabled());
        EXPECT_EQ(lv->lblMax->text(), QStringLiteral("30.000"));  // what was read stays shown
        EXPECT_TRUE(lv->lblMin->text().isEmpty());
        EXPECT_TRUE(state.structureConfirmed);

        // Edit file that cannot open the file: the shell's error, naming the file, and the
        // dialog keeps the file and its choices.
        const std::size_t before = fakes.messages.shown.size();
        lv->cmdchange->click();
        ASSERT_EQ(fakes.messages.shown.size(), before + 1);
        EXPECT_EQ(fakes.messages.last().text, "No association for file extension \".txt\"\n" + txt.toStdString());
        EXPECT_EQ(fakes.messages.last().icon, platform::Icon::Critical);
        EXPECT_EQ(fakes.shell.opened, QStringList{txt});
        EXPECT_EQ(lv->cmdReload->text(), QStringLiteral("&Different file"));
        EXPECT_TRUE(lv->cmdok->isEnabled());
        EXPECT_TRUE(lv->cmb5->isEnabled());
        EXPECT_EQ(lv->lstview->model()->rowCount(), 3);
        EXPECT_EQ(lv->txtpath->text(), txt);

        // The chosen file is shown, not typed: the field takes no keys.
        EXPECT_TRUE(lv->txtpath->isReadOnly());
        QTest::keyClicks(lv->txtpath, QStringLiteral("other.txt"));
        EXPECT_EQ(lv->txtpath->text(), txt);

        // Edit file that opens it: then only Reload file and Cancel remain.
        lv->cmdchange->click();
        EXPECT_EQ(fakes.messages.shown.size(), before + 1);
        EXPECT_EQ(fakes.shell.opened, (QStringList{txt, txt}));
        EXPECT_EQ(lv->cmdReload->text(), QStringLiteral("&Reload file"));
        EXPECT_FALSE(lv->cmdok->isEnabled());
        EXPECT_FALSE(lv->cmb5->isEnabled());
        EXPECT_EQ(lv->lstview->model()->rowCount(), 0);
        EXPECT_TRUE(lv->txtpath->text().isEmpty());

        // Reload file picks another file; a plausible OK enables Next, any change disables it.
        lv->cmdReload->click();
        EXPECT_EQ(lv->cmdReload->text(), QStringLiteral("&Different file"));
        EXPECT_EQ(lv->lstview->model()->rowCount(), 3);
        EXPECT_EQ(lv->txtpath->text(), fall);
        lv->cmdok->click();
        EXPECT_TRUE(lv->cmdnext->isEnabled());
        EXPECT_EQ(lv->lblminwhere->text(), QStringLiteral("3"));
        lv->cmb5->setCurrentIndex(2);
        EXPECT_FALSE(lv->cmdnext->isEnabled());
        EXPECT_TRUE(lv->lblCount->text().isEmpty());
        lv->cmdok->click();
        EXPECT_TRUE(lv->cmdnext->isEnabled());
        lv->txt1->setText(QStringLiteral("1"));
        EXPECT_FALSE(lv->cmdnext->isEnabled());
        lv->cmdCancel->click();
    });
    importAsciiData();
    EXPECT_TRUE(script.finished());
    EXPECT_FALSE(state.structureConfirmed);
    EXPECT_FALSE(importer::listviewLoaded());
}

// Edit file hands the text file to the desktop's opener. The dialog goes on to its editing
// state at once; when the opener then finds no program for the file, the user hears it.
TEST_F(ImportFlow, EditFileSaysWhenNothingOpensTheFile)
{
    const QString txt = path(QStringLiteral("fall.txt"));
    writeBytes(txt, "30\r\n20\r\n10\r\n");
    fakes.files.answer(txt);
    ScriptedOpener opener("exit 3");
    ModalScript script;
    script.on(QStringLiteral("frmlistview"), [&](QWidget* w) {
        auto* lv = static_cast<FrmListview*>(w);
        lv->cmdchange->click();
        EXPECT_EQ(lv->cmdReload->text(), QStringLiteral("&Reload file"));
        EXPECT_FALSE(lv->cmdok->isEnabled());
        ASSERT_TRUE(opener.waitUntilDone());
        EXPECT_EQ(opener.args(), txt.toLocal8Bit() + "\n");
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last(), platform::critical("No association for file extension \".txt\"\n" + txt.toStdString()));
        lv->cmdCancel->click();
    });
    importAsciiData();
    EXPECT_TRUE(script.finished());
}

TEST_F(ImportFlow, UnreadableFileEndsTheRunWithAMessage)
{
    const QString gone = path(QStringLiteral("gone.txt"));
    fakes.files.answer(gone);
    importAsciiData();  // no dialog comes up
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last().title, "Warning");
    EXPECT_EQ(fakes.messages.last().icon, platform::Icon::Critical);
    EXPECT_NE(fakes.messages.last().text.find(gone.toStdString()), std::string::npos);
    EXPECT_FALSE(importer::listviewLoaded());

    // Different file cancelled, then OK: the empty file name is reported, the dialog goes on.
    const QString txt = path(QStringLiteral("ok.txt"));
    writeBytes(txt, "30\n20\n");
    fakes.files.answer(txt);
    fakes.files.cancel();
    fakes.messages.clear();
    ModalScript script;
    script.on(QStringLiteral("frmlistview"), [&](QWidget* w) {
        auto* lv = static_cast<FrmListview*>(w);
        lv->cmdReload->click();
        lv->cmdok->click();
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last().title, "Warning");
        EXPECT_FALSE(state.structureConfirmed);
        EXPECT_FALSE(lv->cmdnext->isEnabled());
        EXPECT_TRUE(lv->cmdok->isEnabled());
        lv->cmdCancel->click();
    });
    importAsciiData();
}

TEST_F(ImportFlow, AdoptCurrentSettingsKeepsTheFormForTheNextImport)
{
    const QString txt = path(QStringLiteral("run.txt"));
    writeBytes(txt, "30\n20\n");
    for (int i = 0; i < 2; ++i) {
        fakes.files.answer(txt);
        fakes.files.answer(path(QStringLiteral("r%1.ctd").arg(i)));
    }
    auto confirm = [](QWidget* w) {
        auto* lv = static_cast<FrmListview*>(w);
        lv->cmdok->click();
        lv->cmdnext->click();
    };
    {
        ModalScript script;
        script.on(QStringLiteral("frmlistview"), confirm).on(QStringLiteral("frmdatainput"), [](QWidget* w) {
            auto* f = static_cast<FrmDataInput*>(w);
            f->txtproject->setText(QStringLiteral("Pr\u00FCfung"));
            f->txttime->clear();
            f->txtdelta->setText(QStringLiteral("0.5"));
            f->txtpressure->setText(QStringLiteral("1"));
            f->txttemperature->setText(QStringLiteral("10"));
            f->txtmass->setText(QStringLiteral("1000"));
            f->txtarea->setText(QStringLiteral("2"));
            f->chbset->setChecked(true);
            f->cmdFinish->click();
        });
        importAsciiData();
    }
    EXPECT_TRUE(importer::dataInputFormLoaded());
    {
        ModalScript script;
        script.on(QStringLiteral("frmlistview"), confirm).on(QStringLiteral("frmdatainput"), [](QWidget* w) {
            auto* f = static_cast<FrmDataInput*>(w);
            EXPECT_EQ(f->txtmass->text(), QStringLiteral("1000"));
            EXPECT_TRUE(importer::allFieldsValid(state.fieldValid));
            f->cmdFinish->click();
        });
        state.structureConfirmed = false;
        importAsciiData();
    }
    const auto second = platform::readTextFile(path(QStringLiteral("r1.ctd")).toStdString());
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.lines[0], "Pr\u00FCfung");
    EXPECT_EQ(bytesOf(path(QStringLiteral("r1.ctd"))).substr(0, 9), "Pr\xFC" "fung\r\n");  // written in Windows-1252
    EXPECT_EQ(second.lines[15], "1030");
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(ImportFlow, ParameterFormDefaultsAndClear)
{
    FrmDataInput* f = importer::dataInputForm();
    EXPECT_TRUE(QTime::fromString(f->txttime->text(), QStringLiteral("HH:mm")).isValid()) << f->txttime->text().toStdString();
    EXPECT_EQ(f->txttime->maxLength(), 5);
    EXPECT_EQ(f->txtdelta->maxLength(), 10);
    EXPECT_EQ(f->DTPicker1->date(), QDate::currentDate());
    EXPECT_EQ(f->Label1[5]->text(), QStringLiteral("Air temperature,\u00B0C"));
    f->txtproject->setText(QStringLiteral("x"));
    f->DTPicker1->setDate(QDate(2001, 2, 3));
    f->chbset->setChecked(true);
    f->cmdclear->click();
    EXPECT_TRUE(f->txtproject->text().isEmpty());
    EXPECT_TRUE(f->txttime->text().isEmpty());
    EXPECT_FALSE(f->chbset->isChecked());
    EXPECT_EQ(f->DTPicker1->date(), QDate(2001, 2, 3));

    // A wrong start time is replaced and selected; the message names the check.
    f->txtproject->setText(QStringLiteral("x"));
    f->txttime->setText(QStringLiteral("9:05"));
    f->cmdFinish->click();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last().text, "Test start-time is not correct!");
    EXPECT_EQ(f->txttime->text(), QStringLiteral("00:00"));
    EXPECT_EQ(f->txttime->selectedText(), QStringLiteral("00:00"));

    // While a loaded file is edited, Save hands over to the editor and writes nothing itself.
    int handed = 0;
    importer::editSaveHook = [&] { ++handed; };
    state.editingLoadedFile = true;
    f->txtdelta->setText(QStringLiteral("0.1"));
    f->txtpressure->setText(QStringLiteral("1"));
    f->txttemperature->setText(QStringLiteral("10"));
    f->txtmass->setText(QStringLiteral("1000"));
    f->txtarea->setText(QStringLiteral("2"));
    f->cmdFinish->click();
    EXPECT_EQ(handed, 1);
    EXPECT_TRUE(fakes.files.requests.empty());
    f->cmdCancel->click();
    EXPECT_FALSE(state.editingLoadedFile);
    EXPECT_FALSE(importer::dataInputFormLoaded());
    importer::editSaveHook = nullptr;
}

}  // namespace
