// Editing the test parameters of a loaded data file: the form filled from the file, the file
// rewritten, the reload through the open dispatcher, and every way the edit can end.
#include "import/core/import_state.h"
#include "import/core/parameters.h"
#include "import/core/text_import.h"
#include "import/frmdatainput.h"
#include "import/import_commands.h"
#include "tests/app/open_windows.h"
#include "tests/report/xlsx_reader.h"
#include "tests/import/modal_script.h"
#include "tests/support/bad_input.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/special_targets.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using importer::FrmDataInput;

const QString kForm = QStringLiteral("frmdatainput");

std::vector<std::string> linesOf(const std::string& bytes) { return platform::splitLines(bytes); }

// Messages as the user sees them: the text and the title.
std::vector<std::pair<std::string, std::string>> shown(const platform::ScriptedMessages& m)
{
    std::vector<std::pair<std::string, std::string>> out;
    for (const platform::Message& msg : m.shown) out.emplace_back(msg.text.substr(0, msg.text.find('\n')), msg.title);
    return out;
}

const std::pair<std::string, std::string> kReload{"Do you want to reload the current file?", "Changed parameters in datafile"};
const std::pair<std::string, std::string> kWrongData{"The calculation might be based on wrong data!", "Changed parameters in datafile"};

class Editor : public OpenWindows {
protected:
    analysis::FrmTabchild* openSmall()
    {
        file = copy(testfiles::dataPath("small.ctd"), QStringLiteral("small.ctd"));
        before = bytesOf(file);
        return open(file);
    }
    // Edit with one step on the form; the step gets the form.
    void edit(std::function<void(FrmDataInput*)> step)
    {
        ModalScript script;
        script.on(kForm, [step](QWidget* w) { step(static_cast<FrmDataInput*>(w)); });
        browser->cmdEdit->click();
    }
    static void saveMass(FrmDataInput* f, const char* mass)
    {
        f->txtmass->setText(QLatin1String(mass));
        f->cmdFinish->click();
    }
    // The file as before, line 15 (the vehicle mass) excepted.
    void expectOnlyMassChanged(const QString& edited, const std::string& old, const std::string& mass)
    {
        const auto a = linesOf(old), b = linesOf(bytesOf(edited));
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(b[i], i == 14 ? mass : a[i]) << "line " << i + 1;
        EXPECT_EQ(bytesOf(edited).substr(bytesOf(edited).size() - 2), "\r\n");
    }
    void expectEditEnded()
    {
        EXPECT_FALSE(importer::state.editingLoadedFile);
        EXPECT_FALSE(importer::dataInputFormLoaded());
    }

    QString file;
    std::string before;
};

}  // namespace

TEST_F(Editor, SaveRewritesTheHeaderAndYesReopensTheFile)
{
    analysis::FrmTabchild* w = openSmall();
    ASSERT_NE(w, nullptr);
    const int n = w->windowNumber();
    edit([](FrmDataInput* f) {
        EXPECT_EQ(f->txtproject->text(), "Coast A");
        EXPECT_EQ(f->DTPicker1->date(), QDate(2005, 3, 9));
        EXPECT_EQ(f->txttime->text(), "10:15");
        EXPECT_EQ(f->txtcar->text(), "Sedan");
        EXPECT_EQ(f->txtdelta->text(), "0.5");
        EXPECT_EQ(f->txtmass->text(), "1500");
        EXPECT_EQ(f->txtdynmass->text(), "1545");
        EXPECT_EQ(f->txtroad->text(), "Dry asphalt");
        EXPECT_TRUE(f->txtdelta->isEnabled());
        EXPECT_FALSE(f->chbset->isEnabled());
        EXPECT_FALSE(f->cmdback->isEnabled());
        saveMass(f, "1520");
    });
    expectOnlyMassChanged(file, before, "1520");
    EXPECT_EQ(shown(fakes.messages), (std::vector{kReload}));
    EXPECT_EQ(fakes.messages.last().icon, platform::Icon::Question);
    EXPECT_EQ(fakes.messages.last().buttons, platform::Buttons::YesNo);

    // The old window is gone; the file opened again without a dialog in the next window.
    EXPECT_EQ(fakes.files.requests.size(), 1u);
    const QList<frame::AnalysisWindowApi*> open = main->analysisWindows();
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open.front()->windowNumber(), n + 1);
    analysis::FrmTabchild* reopened = app::lastOpenedWindow();
    EXPECT_EQ(reopened->data.testParameters(1, 1), 1520);
    EXPECT_EQ(reopened->mfgCTSres->textMatrix(8, 1), "1520");
    EXPECT_EQ(reopened->data.dataDirectory + reopened->data.windowFileName, file.toStdString());
    expectEditEnded();
}

TEST_F(Editor, NoKeepsTheWindowAndCancelWritesNothing)
{
    analysis::FrmTabchild* w = openSmall();
    ASSERT_NE(w, nullptr);
    edit([](FrmDataInput* f) {
        f->txtmass->setText(QStringLiteral("1"));
        f->cmdCancel->click();
    });
    EXPECT_EQ(bytesOf(file), before);
    EXPECT_TRUE(fakes.messages.shown.empty());
    expectEditEnded();

    fakes.messages.answers = {platform::Answer::No};
    edit([](FrmDataInput* f) { saveMass(f, "1510"); });
    expectOnlyMassChanged(file, before, "1510");
    EXPECT_EQ(shown(fakes.messages), (std::vector{kReload, kWrongData}));
    EXPECT_EQ(fakes.messages.last().icon, platform::Icon::Information);
    ASSERT_EQ(main->analysisWindows().size(), 1);
    EXPECT_EQ(main->analysisWindows().front(), w);
    EXPECT_EQ(w->data.testParameters(1, 1), 1500);  // the window keeps what it read
    expectEditEnded();
}

TEST_F(Editor, SeriesMemberIsRewrittenAndTheSeriesReopened)
{
    for (const char* name : {"run1.ctd", "run2.ctd", "run3.ctd", "three.cts"})
        copy(QStringLiteral(TW_ANALYSIS_DATA "/../series/") + QLatin1String(name), QLatin1String(name));
    const std::string run1 = bytesOf(path("run1.ctd")), run2 = bytesOf(path("run2.ctd"));
    ASSERT_NE(open(path("three.cts"), 2), nullptr);
    browser->cmbEditorFiles->setCurrentIndex(1);
    edit([](FrmDataInput* f) {
        EXPECT_FALSE(f->txtdelta->isEnabled());  // the series shares one sample interval
        EXPECT_EQ(f->txtpressure->text(), "1.010");
        saveMass(f, "1490");
    });
    expectOnlyMassChanged(path("run2.ctd"), run2, "1490");
    EXPECT_EQ(bytesOf(path("run1.ctd")), run1);
    analysis::FrmTabchild* reopened = app::lastOpenedWindow();
    ASSERT_EQ(main->analysisWindows().size(), 1);
    EXPECT_EQ(reopened->windowTitle().left(7), "Series ");
    EXPECT_EQ(reopened->data.windowFileName, "three.cts");
    EXPECT_EQ(reopened->data.testParameters(1, 2), 1490);
    expectEditEnded();
}

// A file this user may not write is named on a line of its own, nothing is written and, as
// nothing was, no reload is offered: a file without a write bit, and a file of root's that has
// one, saved by an ordinary user in a folder of their own.
// Clear settings (Alt+L) in the editor of a series member empties what can be typed again and
// keeps the locked sample rate, so the form can still be saved.
TEST_F(Editor, ClearSettingsKeepsTheLockedSampleRate)
{
    for (const char* name : {"run1.ctd", "run2.ctd", "run3.ctd", "three.cts"})
        copy(QStringLiteral(TW_ANALYSIS_DATA "/../series/") + QLatin1String(name), QLatin1String(name));
    const std::string run2 = bytesOf(path("run2.ctd"));
    ASSERT_NE(open(path("three.cts"), 2), nullptr);
    browser->cmbEditorFiles->setCurrentIndex(1);
    fakes.messages.answers = {platform::Answer::No};  // no reload
    edit([](FrmDataInput* f) {
        const QString interval = f->txtdelta->text();
        ASSERT_FALSE(interval.isEmpty());
        QApplication::setActiveWindow(f);  // an access key works in the active window
        QTest::keyClick(f, Qt::Key_L, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([f] { return f->txtmass->text().isEmpty(); }));  // the button's click is animated
        EXPECT_EQ(f->txtdelta->text(), interval);
        EXPECT_TRUE(f->txtproject->text().isEmpty());
        EXPECT_TRUE(f->txtmass->text().isEmpty());
        for (auto [field, text] : {std::pair{f->txtproject, "Coast B"}, std::pair{f->txtpressure, "1.01"},
                                   std::pair{f->txttemperature, "18"}, std::pair{f->txtmass, "1490"}, std::pair{f->txtarea, "2.2"}})
            field->setText(QLatin1String(text));
        f->cmdFinish->click();
    });
    ASSERT_FALSE(fakes.messages.shown.empty());
    EXPECT_EQ(fakes.messages.shown.front().text, "Do you want to reload the current file?");
    const auto lines = linesOf(bytesOf(path("run2.ctd")));
    EXPECT_EQ(lines[0], "Coast B");
    EXPECT_EQ(lines[12], linesOf(run2)[12]);  // the sample rate as it was
    EXPECT_EQ(lines[14], "1490");
}

TEST_F(Editor, WriteProtectedFileIsNamedAndNoReloadIsOffered)
{
    ASSERT_NE(openSmall(), nullptr);
    const std::string refused = "The datafile is write protected, it can not be edited!\n" + QDir::toNativeSeparators(file).toStdString();
    struct Case {
        const char* what;
        bool ordinaryUser;
        mode_t mode;
    };
    for (const Case& c : {Case{"no write bit", false, 0444}, Case{"root's file, saved by an ordinary user", true, 0644}}) {
        SCOPED_TRACE(c.what);
        if (c.ordinaryUser) {
            if (!special_targets::OwnedTargets::available()) continue;
            special_targets::letOthersPass(dir.path().toStdString());
            ASSERT_EQ(::chown(QFile::encodeName(dir.path()).constData(), AsOrdinaryUser::kUser, AsOrdinaryUser::kGroup), 0);
        }
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), c.mode), 0);
        fakes.messages.clear();
        edit([&](FrmDataInput* f) {
            if (!c.ordinaryUser) return saveMass(f, "1520");
            AsOrdinaryUser user;
            saveMass(f, "1520");
        });
        EXPECT_EQ(bytesOf(file), before);
        special_targets::OwnedTargets::expectOwned(file.toStdString(), ::getuid(), ::getgid(), c.mode);
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last().text, refused);
        EXPECT_EQ(fakes.messages.last().title, "Editor-Error");
        EXPECT_EQ(fakes.messages.last().icon, platform::Icon::Critical);
        EXPECT_EQ(main->analysisWindows().size(), 1);
        expectEditEnded();
    }
}

// Root's save of a user's data file leaves it the user's, with its group and mode, so that the
// user may edit it again.
TEST_F(Editor, RootsSaveKeepsTheFileTheUsers)
{
    if (!special_targets::OwnedTargets::available()) GTEST_SKIP() << "needs root";
    ASSERT_NE(openSmall(), nullptr);
    const QByteArray disk = QFile::encodeName(file);
    ASSERT_EQ(::chown(disk.constData(), AsOrdinaryUser::kUser, AsOrdinaryUser::kGroup), 0);
    ASSERT_EQ(::chmod(disk.constData(), 0644), 0);
    fakes.messages.answers = {platform::Answer::No};
    edit([](FrmDataInput* f) { saveMass(f, "1520"); });
    expectOnlyMassChanged(file, before, "1520");
    special_targets::OwnedTargets::expectOwned(file.toStdString(), AsOrdinaryUser::kUser, AsOrdinaryUser::kGroup, 0644);
}

TEST_F(Editor, FailedWriteKeepsTheFileAndTheForm)
{
    ASSERT_NE(openSmall(), nullptr);
    QFile::setPermissions(file, QFile::Permissions(0x6666));  // the file may be written, its folder takes no new one
    QFile::setPermissions(dir.path(), QFile::Permissions(0x5555));
    edit([](FrmDataInput* f) {
        {
            AsOrdinaryUser user;
            saveMass(f, "1520");
        }
        EXPECT_TRUE(f->isVisible());
        EXPECT_EQ(f->txtmass->text(), "1520");
        EXPECT_TRUE(importer::state.editingLoadedFile);
        f->cmdCancel->click();
    });
    QFile::setPermissions(dir.path(), QFile::Permissions(0x7700));
    EXPECT_EQ(bytesOf(file), before);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    const platform::Message& m = fakes.messages.last();
    EXPECT_EQ(m.icon, platform::Icon::Critical);
    EXPECT_EQ(m.title, "Editor-Error");
    EXPECT_EQ(m.text, QDir::toNativeSeparators(file).toStdString() + " - file can not be written!\nA temporary file can not be written in " +
                          QDir::toNativeSeparators(dir.path()).toStdString() + ": Permission denied");
    EXPECT_EQ(main->analysisWindows().size(), 1);
    expectEditEnded();
}

TEST_F(Editor, AFileChangedOnDiskIsOverwrittenOnlyOnYes)
{
    ASSERT_NE(openSmall(), nullptr);
    const std::string outside = before + "99\r\n";
    fakes.messages.answers = {platform::Answer::No, platform::Answer::Yes, platform::Answer::No};
    edit([&](FrmDataInput* f) {
        testfiles::writeFile(dir, QStringLiteral("small.ctd"), outside);
        saveMass(f, "1520");
        EXPECT_EQ(bytesOf(file), outside);  // No: left alone, the form stays
        ASSERT_TRUE(f->isVisible());
        f->cmdFinish->click();  // Yes: written from what the edit read
    });
    expectOnlyMassChanged(file, before, "1520");
    ASSERT_EQ(fakes.messages.shown.size(), 4u);
    EXPECT_EQ(fakes.messages.shown[0].text, "small.ctd has changed on disk since it was read for editing.\nDo you want to overwrite it?");
    EXPECT_EQ(fakes.messages.shown[0].defaultButton, 2);
    EXPECT_EQ(fakes.messages.shown[1], fakes.messages.shown[0]);
    EXPECT_EQ(shown(fakes.messages)[2], kReload);
    expectEditEnded();
}

TEST_F(Editor, AFileThatCannotBeReadShowsNoForm)
{
    ASSERT_NE(openSmall(), nullptr);
    QFile::remove(file);
    browser->cmdEdit->click();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last().text, "small.ctd - file can not be opened!\nThe file does not exist.");
    EXPECT_EQ(fakes.messages.last().icon, platform::Icon::Critical);
    EXPECT_EQ(fakes.messages.last().title, "");
    expectEditEnded();
}

// Bytes the readers refuse, written over the file after its window read it: the edit refuses
// them the same way and leaves them as they are.
TEST_F(Editor, AFileThatIsNoLongerTextShowsNoForm)
{
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"UTF-16", std::string("\xFF\xFE" "1\0\r\0\n\0", 8)},
        {"NUL byte", std::string("Project\r\n\0\r\n", 12)},
        {"CR alone", "Project\r14.05.2026\r09:10\r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fakes.messages.shown.clear();
        ASSERT_NE(openSmall(), nullptr);
        {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(c.bytes.data(), static_cast<qint64>(c.bytes.size()));
        }
        ModalScript noForm;  // a form that comes up fails the test and is closed
        browser->cmdEdit->click();
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last().text.substr(0, 36), "small.ctd - file can not be opened!\n");
        EXPECT_GT(fakes.messages.last().text.size(), 36u);
        expectEditEnded();
        EXPECT_EQ(bytesOf(file), c.bytes);
    }
}

// A file a text editor saved in UTF-8 stays UTF-8, so its other texts read back as they were; a
// tab or a line break pasted into a text field becomes a blank, so each line keeps one value.
TEST_F(Editor, AUtf8FileStaysUtf8AndPastedTabsBecomeBlanks)
{
    std::string utf8 = bad_input::replaceLine(bytesOf(copy(testfiles::dataPath("small.ctd"), QStringLiteral("small.ctd"))), 1,
                                              "Coast M\xC3\xBCller");
    utf8 = bad_input::replaceLine(utf8, 21, "20 \xC2\xB0" "C, sunny");
    file = testfiles::writeFile(dir, "small.ctd", utf8);
    ASSERT_NE(open(file), nullptr);
    edit([](FrmDataInput* f) {
        EXPECT_EQ(f->txtproject->text(), QStringLiteral("Coast M\u00FCller"));
        f->txtcar->clear();
        f->txtcar->setFocus();
        QGuiApplication::clipboard()->setText(QStringLiteral("Kombi \u00E9\tB\r\nC"));
        QTest::keyClick(f->txtcar, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(f->txtcar->text(), QStringLiteral("Kombi \u00E9 B  C"));
        f->cmdFinish->click();
    });
    const std::vector<std::string> lines = linesOf(bytesOf(file));
    ASSERT_GE(lines.size(), 22u);
    EXPECT_EQ(lines[0], "Coast M\xC3\xBCller");
    EXPECT_EQ(lines[3], "Kombi \xC3\xA9 B  C");
    EXPECT_EQ(lines[20], "20 \xC2\xB0" "C, sunny");
    // Reopened on Yes: every text as it was typed.
    analysis::FrmTabchild* reopened = app::lastOpenedWindow();
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->lblCTDescrLabel[0]->text(), QStringLiteral("Coast M\u00FCller"));
    EXPECT_EQ(QString::fromStdString(reopened->data.headerValues(4, 1)), QStringLiteral("Kombi \u00E9 B  C"));
    EXPECT_NE(reopened->txtCTComments->toPlainText().indexOf(QStringLiteral("20 \u00B0C, sunny")), -1);
}

// Greek and CJK texts and a Greek file name keep their letters through the data-file writer, the
// window, the parameter editor and the report: the file is written in UTF-8 as soon as
// Windows-1252 cannot hold a text, and every reader takes it so.
TEST_F(Editor, GreekAndCjkTextsKeepTheirLetters)
{
    const std::string project = "\xCE\x94\xCE\xBF\xCE\xBA\xCE\xB9\xCE\xBC\xCE\xAE 1";  // Δοκιμή 1
    const std::string car = "\xE8\xBD\xA6\xE8\xBE\x86 A";                                  // 车辆 A
    const std::string rain = "\xE9\x9B\xA8 \xCE\xA8";                                       // 雨 Ψ
    const QString name = QString::fromUtf8("\xCE\x94\xCE\xBF\xCE\xBA\xCE\xB9\xCE\xBC\xCE\xAE.ctd");

    // The data-file writer, as the parameter form's Save calls it.
    importer::state = importer::ImportState();
    importer::state.importLines = {"30", "27", "24", "21", "18", "15"};
    importer::state.importLineCount = 6;
    importer::keepStatistics(importer::importStatistics(importer::state.importLines, 6, 0, 0, 0), importer::state);
    importer::ParameterFields f;
    f.project = project;
    f.car = car;
    f.weather = "\xE6\x99\xB4";  // 晴
    f.delta = "0.5";
    f.pressure = "1";
    f.temperature = "20";
    f.mass = "1500";
    f.area = "2";
    importer::state.fileHeader = importer::collectTestParameters(f, importer::state);
    fakes.files.answer(path(name));
    importer::writeCtdFile();
    importer::unloadDataInputForm();
    ASSERT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
    file = path(name);
    const auto written = linesOf(bytesOf(file));
    ASSERT_GE(written.size(), 30u);
    EXPECT_EQ(written[0], project);  // UTF-8, not "??????"
    EXPECT_EQ(written[3], car);

    // The window.
    analysis::FrmTabchild* w = open(file);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->lblCTDescrLabel[0]->text().toStdString(), project);
    EXPECT_EQ(w->lblCTDescrLabel[1]->text(), QStringLiteral("Filename: ") + name);
    EXPECT_EQ(w->mfgCTSres->textMatrix(4, 1).toStdString(), car);

    // The editor shows them and keeps them; a new CJK and Greek text is written as typed.
    fakes.messages.answers.push_back(platform::Answer::No);  // no reload
    edit([&](FrmDataInput* form) {
        EXPECT_EQ(form->txtproject->text().toStdString(), project);
        EXPECT_EQ(form->txtcar->text().toStdString(), car);
        form->txtweather->setText(QString::fromStdString(rain));
        form->cmdFinish->click();
    });
    const auto edited = linesOf(bytesOf(file));
    EXPECT_EQ(edited[0], project);
    EXPECT_EQ(edited[3], car);
    EXPECT_EQ(edited[20], rain);

    // The report of the file reopened.
    for (frame::AnalysisWindowApi* a : main->analysisWindows()) main->subWindowOf(a)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    w = open(file);
    ASSERT_NE(w, nullptr);
    w->cmdDLLNEW_Click();
    fakes.messages.clear();
    fakes.files.answer(path("greek.xlsx"));
    w->cmdExcel->click();
    ASSERT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
    auto cells = xlsx_test::Workbook(path("greek.xlsx").toStdString()).cells("Input data");
    EXPECT_EQ(cells["B2"].value, project);
    EXPECT_EQ(cells["D2"].value, " " + name.toStdString());
    EXPECT_EQ(cells["C6"].value, "Weather : " + rain);
}
