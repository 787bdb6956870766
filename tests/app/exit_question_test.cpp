// File > Exit and the main window's close box with notes in the notepad: the question, and what
// each answer does, through real clicks and keys and the scripted message and file dialogs.
#include "platform/plain_text_edit.h"
#include "tests/app/open_windows.h"

#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace {

const std::string kQuestion = "The notepad holds text that is not saved. Save it?";

class ExitQuestion : public OpenWindows {
protected:
    void SetUp() override
    {
        OpenWindows::SetUp();
        startAfresh();
    }
    // A main window of its own for each case: a program that ended does not start again.
    void startAfresh()
    {
        app::resetFrame();
        main = app::mainWindow();
        browser = app::dataBrowser();
        main->resize(900, 700);
        main->show();
        QApplication::setActiveWindow(main);
        closed = std::make_unique<QSignalSpy>(main, &app::MainWindow::closed);
        fakes.messages.clear();
    }
    void type(const QString& text)
    {
        browser->SSTab1->setCurrentIndex(1);
        QTest::mouseClick(browser->txtNotes->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QTest::keyClicks(browser->txtNotes, text);
    }
    // Types the text into the notes and saves them with File > Save > Save notepad... to `file`.
    void typeAndSave(const QString& text, const QString& file)
    {
        type(text);
        fakes.files.answer(path(file));
        QMenu* save = menu(main, "mnuFileSave");
        save->popup(QPoint(0, 0));  // the submenu, as the File menu opens it
        QTest::mouseClick(save, Qt::LeftButton, {}, save->actionGeometry(action(main, "mnuFileSaveNotepad")).center());
        ASSERT_EQ(bytesOf(path(file)), text.toStdString());
    }
    void exitByMenu()
    {
        QMenuBar* bar = main->menuBar();
        QMenu* fileMenu = menu(main, "mnuFile");
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(fileMenu->menuAction()).center());
        ASSERT_TRUE(fileMenu->isVisible());
        QTest::mouseClick(fileMenu, Qt::LeftButton, {}, fileMenu->actionGeometry(action(main, "mnuFileExit")).center());
        QApplication::processEvents();
    }
    int questionsAsked() const
    {
        int n = 0;
        for (const platform::Message& m : fakes.messages.shown) n += m.text == kQuestion;
        return n;
    }
    bool ended() const { return closed->count() == 1 && !main->isVisible(); }

    std::unique_ptr<QSignalSpy> closed;
};

}  // namespace

TEST_F(ExitQuestion, UnsavedNotesAreSavedKeptOrGivenUpAsAnswered)
{
    struct Case {
        const char* what;
        std::vector<platform::Answer> answers;  // the question's, then the save's messages
        bool saveChosen;                        // the save dialog picks a file
        const char* saveFolder;                 // the folder it picks, in the test's own folder
        bool ends;
        bool written;
    };
    const Case cases[] = {
        {"Yes saves, then ends", {platform::Answer::Yes}, true, "", true, true},
        {"No ends without saving", {platform::Answer::No}, false, "", true, false},
        {"Cancel stays", {platform::Answer::Cancel}, false, "", false, false},
        {"Yes, save dialog cancelled: stays", {platform::Answer::Yes, platform::Answer::Ok}, false, "", false, false},
        {"Yes, save fails: stays", {platform::Answer::Yes, platform::Answer::Ok}, true, "no such folder/", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        startAfresh();
        type(QStringLiteral("Run 2: gusts at the far end"));
        const QString target = path(QLatin1String(c.saveFolder) + QStringLiteral("notes %1.txt").arg(&c - cases));
        fakes.messages.answers.assign(c.answers.begin(), c.answers.end());
        if (c.saveChosen) fakes.files.answer(target);
        else fakes.files.cancel();
        exitByMenu();
        ASSERT_GE(fakes.messages.shown.size(), 1u);
        const platform::Message& question = fakes.messages.shown.front();
        EXPECT_EQ(question.text, kQuestion);
        EXPECT_EQ(question.buttons, platform::Buttons::YesNoCancel);
        EXPECT_EQ(question.icon, platform::Icon::Question);
        EXPECT_EQ(ended(), c.ends);
        EXPECT_EQ(QFileInfo::exists(target), c.written);
        if (c.written) {
            EXPECT_EQ(bytesOf(target), "Run 2: gusts at the far end");
        }
        if (!c.ends) {
            EXPECT_EQ(browser->txtNotes->toPlainText(), QStringLiteral("Run 2: gusts at the far end"));
        }
        fakes.files.answers.clear();
    }
}

// Only text changed since the last save, or since the notepad was emptied, is asked about; the
// close box asks as File > Exit does.
TEST_F(ExitQuestion, OnlyTextChangedSinceItWasSavedOrEmptiedIsAskedAbout)
{
    exitByMenu();  // nothing typed
    EXPECT_EQ(questionsAsked(), 0);
    EXPECT_TRUE(ended());

    startAfresh();
    type(QStringLiteral("abc"));
    for (int i = 0; i < 3; ++i) QTest::keyClick(browser->txtNotes, Qt::Key_Backspace);  // emptied again
    exitByMenu();
    EXPECT_EQ(questionsAsked(), 0);
    EXPECT_TRUE(ended());

    startAfresh();
    typeAndSave(QStringLiteral("abc"), QStringLiteral("saved.txt"));
    exitByMenu();  // saved as it stands
    EXPECT_EQ(questionsAsked(), 0);
    EXPECT_TRUE(ended());

    startAfresh();
    typeAndSave(QStringLiteral("abc"), QStringLiteral("saved1.txt"));
    QTest::keyClick(browser->txtNotes, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(browser->txtNotes, Qt::Key_Delete);  // emptied after the save
    ASSERT_TRUE(browser->txtNotes->toPlainText().isEmpty());
    exitByMenu();
    EXPECT_EQ(questionsAsked(), 0);
    EXPECT_TRUE(ended());

    startAfresh();
    typeAndSave(QStringLiteral("abc"), QStringLiteral("saved2.txt"));
    type(QStringLiteral("d"));  // changed after the save
    fakes.messages.answers = {platform::Answer::Cancel};
    main->close();  // the close box
    EXPECT_EQ(questionsAsked(), 1);
    EXPECT_FALSE(ended());
    fakes.messages.answers = {platform::Answer::No};
    exitByMenu();
    EXPECT_EQ(questionsAsked(), 2);
    EXPECT_TRUE(ended());
    EXPECT_EQ(bytesOf(path(QStringLiteral("saved2.txt"))), "abc");
}
