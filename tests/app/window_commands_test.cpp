// The Edit commands while menus open, the data browser following every activated window, the
// parameter editor on a series member found in another letter case, and the focus after a page
// leaf: real analysis windows, driven by mouse and key events on the real menu bar, toolbar,
// tree and controls.
#include "analysis/flex_grid.h"
#include "diagram/diagram_panel.h"
#include "import/frmdatainput.h"
#include "platform/plain_text_edit.h"
#include "tests/app/open_windows.h"
#include "tests/import/modal_script.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace {

struct EditStates {
    bool cut, copy, paste;
    bool operator==(const EditStates&) const = default;
};

std::ostream& operator<<(std::ostream& os, const EditStates& s)
{
    return os << "cut " << s.cut << ", copy " << s.copy << ", paste " << s.paste;
}

class Windows : public OpenWindows {
protected:
    void SetUp() override
    {
        OpenWindows::SetUp();
        main->resize(1300, 950);
        QApplication::setActiveWindow(main);
    }

    analysis::FrmTabchild* openDataFile() { return open(copy(testfiles::dataPath("small.ctd"), QStringLiteral("small.ctd"))); }
    analysis::FrmTabchild* openSeries()
    {
        for (const char* name : {"run1.ctd", "run2.ctd", "run3.ctd", "three.cts"})
            copy(QStringLiteral(TW_ANALYSIS_DATA "/../series/") + QLatin1String(name), QLatin1String(name));
        return open(path(QStringLiteral("three.cts")), 2);
    }
    QMdiSubWindow* sub(analysis::FrmTabchild* w) { return main->subWindowOf(w); }

    // The menu entries, and the toolbar buttons that must agree with them.
    EditStates menuStates() const
    {
        return {action(main, "mnuEditCut")->isEnabled(), action(main, "mnuEditCopy")->isEnabled(),
                action(main, "mnuEditPaste")->isEnabled()};
    }
    EditStates toolbarStates() const
    {
        return {main->tbButton(5)->isEnabled(), main->tbButton(6)->isEnabled(), main->tbButton(7)->isEnabled()};
    }

    void clickEditMenu() { openMenu(menu(main, "mnuEdit")); }
    void openMenu(QMenu* menu)
    {
        QMenuBar* bar = main->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        QApplication::processEvents();
    }
    // Opens a menu of the menu bar and clicks one of its entries.
    void chooseFromMenu(QMenu* menu, QAction* entry)
    {
        openMenu(menu);
        ASSERT_TRUE(menu->isVisible());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        QApplication::processEvents();
    }
    // The ticked entries of the Window menu's window list, as the open menu shows them.
    std::string tickedInWindowMenu()
    {
        QMenu* windowMenu = menu(main, "mnuWindow");
        openMenu(windowMenu);
        EXPECT_TRUE(windowMenu->isVisible());
        QStringList ticked;
        for (QAction* a : windowMenu->actions())
            if (a->isCheckable() && a->isChecked()) ticked << a->text();
        QTest::keyClick(windowMenu, Qt::Key_Escape);
        QTest::keyClick(main->menuBar(), Qt::Key_Escape);
        return ticked.join(QLatin1Char('|')).toStdString();
    }
    // Opens the drop-down of a toolbar button (it runs its own event loop), looks at the states
    // while it is open and closes it with Escape.
    EditStates statesInToolbarMenu(int position)
    {
        QToolButton* button = main->tbButton(position);
        EditStates seen{};
        bool opened = false;
        QTimer::singleShot(50, [&] {
            QWidget* popup = QApplication::activePopupWidget();
            opened = popup != nullptr;
            seen = toolbarStates();
            if (popup) QTest::keyClick(popup, Qt::Key_Escape);
        });
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->width() - 3, button->height() / 2));
        QApplication::processEvents();
        EXPECT_TRUE(opened);
        return seen;
    }
    // A click on a node of the browser's tree.
    void clickNode(const QString& key)
    {
        QTreeWidgetItem* node = browser->findNode(key);
        ASSERT_NE(node, nullptr) << key.toStdString();
        browser->TreeView1->scrollToItem(node);
        QTest::mouseClick(browser->TreeView1->viewport(), Qt::LeftButton, {},
                          browser->TreeView1->visualItemRect(node).center());
        QApplication::processEvents();
    }
    void expectBrowserShows(analysis::FrmTabchild* w, const QStringList& files, const QString& windowFile)
    {
        EXPECT_EQ(browser->lbleditExtratagTag, w->windowNumber());
        EXPECT_EQ(browser->picover->tag, w->windowNumber());
        EXPECT_EQ(browser->picover->owner(), w->framedia);
        EXPECT_EQ(browser->cmdEditTag, windowFile);
        QStringList listed;
        for (int i = 0; i < browser->cmbEditorFiles->count(); ++i) listed << browser->cmbEditorFiles->itemText(i);
        EXPECT_EQ(listed, files);
        EXPECT_TRUE(browser->cmdEdit->isEnabled());
        EXPECT_TRUE(browser->lblNaviballTop->isEnabled());
    }

    // A series (returned first) minimised and a data file worked in, as the browser's cases start.
    std::pair<analysis::FrmTabchild*, analysis::FrmTabchild*> seriesMinimisedFileInUse()
    {
        analysis::FrmTabchild* a = openSeries();
        analysis::FrmTabchild* b = openDataFile();
        if (!a || !b) return {nullptr, nullptr};
        sub(a)->showMinimized();
        QTest::mouseClick(b->picdiagram(), Qt::LeftButton, {}, b->picdiagram()->rect().center());
        return {a, b};
    }

    const QStringList seriesFiles{QStringLiteral("run1.ctd"), QStringLiteral("run2.ctd"), QStringLiteral("run3.ctd")};
};

}  // namespace

// ---- Edit commands while a menu is open -------------------------------------------------------

TEST_F(Windows, MenusAndToolbarMenusLeaveTheEditCommandsAsTheFocusedControlSetThem)
{
    analysis::FrmTabchild* w = openDataFile();
    ASSERT_NE(w, nullptr);
    struct Case {
        const char* what;
        std::function<QWidget*()> click;  // focuses the control by a click; returns it
        EditStates expected;
    };
    const Case cases[] = {
        {"result grid",
         [&] {
             w->selectPage(1);
             QTest::mouseClick(w->mfgCTSres->viewport(), Qt::LeftButton, {}, QPoint(40, 30));
             return static_cast<QWidget*>(w->mfgCTSres);
         },
         {false, true, false}},
        {"diagram",
         [&] {
             w->selectPage(0);
             QTest::mouseClick(w->picdiagram(), Qt::LeftButton, {}, w->picdiagram()->rect().center());
             return w->picdiagram();
         },
         {false, true, false}},
        {"comment box",
         [&] {
             w->selectPage(1);
             QTest::mouseClick(w->txtCTComments->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
             return static_cast<QWidget*>(w->txtCTComments);
         },
         {false, true, false}},
        {"browser notes",
         [&] {
             browser->SSTab1->setCurrentIndex(1);
             QTest::mouseClick(browser->txtNotes->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
             return static_cast<QWidget*>(browser->txtNotes);
         },
         {true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        main->setEditCommands(false, false, false);
        QWidget* control = c.click();
        ASSERT_EQ(QApplication::focusWidget(), control);
        EXPECT_EQ(toolbarStates(), c.expected);

        clickEditMenu();
        QMenu* editMenu = menu(main, "mnuEdit");
        ASSERT_TRUE(editMenu->isVisible());
        EXPECT_EQ(menuStates(), c.expected);
        EXPECT_EQ(toolbarStates(), c.expected);
        QTest::keyClick(editMenu, Qt::Key_Escape);  // back to the menu bar, which keeps the focus
        EXPECT_FALSE(editMenu->isVisible());
        EXPECT_EQ(toolbarStates(), c.expected);
        QTest::keyClick(main->menuBar(), Qt::Key_Escape);  // and back to the control
        EXPECT_EQ(QApplication::focusWidget(), control);
        EXPECT_EQ(toolbarStates(), c.expected);

        EXPECT_EQ(statesInToolbarMenu(3), c.expected);
        EXPECT_EQ(toolbarStates(), c.expected);
        EXPECT_EQ(QApplication::focusWidget(), control);
    }
}

TEST_F(Windows, MenuCopyCopiesWhatTheToolbarCopies)
{
    analysis::FrmTabchild* w = openDataFile();
    ASSERT_NE(w, nullptr);
    w->selectPage(1);
    QTest::mouseClick(w->mfgCTSres->viewport(), Qt::LeftButton, {}, QPoint(40, 30));

    clickEditMenu();
    QMenu* editMenu = menu(main, "mnuEdit");
    QTest::mouseClick(editMenu, Qt::LeftButton, {}, editMenu->actionGeometry(action(main, "mnuEditCopy")).center());
    const QImage fromMenu = fakes.clipboard.image();
    fakes.clipboard.clear();
    QTest::mouseClick(main->tbButton(6), Qt::LeftButton);
    const QImage fromToolbar = fakes.clipboard.image();
    ASSERT_FALSE(fromMenu.isNull());
    EXPECT_EQ(fromMenu, fromToolbar);
    EXPECT_EQ(fromMenu, w->mfgCTSres->picture());
}

TEST_F(Windows, TheMenuBarHandingTheFocusToAnotherControlSwitchesTheCommandsOff)
{
    analysis::FrmTabchild* w = openDataFile();
    ASSERT_NE(w, nullptr);
    w->selectPage(1);
    QTest::mouseClick(w->mfgCTSres->viewport(), Qt::LeftButton, {}, QPoint(40, 30));
    clickEditMenu();
    QTest::keyClick(menu(main, "mnuEdit"), Qt::Key_Escape);
    ASSERT_EQ(QApplication::focusWidget(), main->menuBar());
    EXPECT_EQ(toolbarStates(), (EditStates{false, true, false}));
    clickNode(QStringLiteral("Info") + w->Tag());  // the tree takes the focus; it copies nothing
    EXPECT_EQ(QApplication::focusWidget(), browser->TreeView1);
    EXPECT_EQ(toolbarStates(), (EditStates{false, false, false}));
    EXPECT_EQ(menuStates(), (EditStates{false, false, false}));
}

// ---- the data browser follows every activation ------------------------------------------------

TEST_F(Windows, ARestoredMinimisedWindowHandsTheBrowserItsData)
{
    const auto [a, b] = seriesMinimisedFileInUse();
    ASSERT_TRUE(a && b);
    ASSERT_EQ(main->activeAnalysisWindow(), b);
    expectBrowserShows(b, {QStringLiteral("small.ctd")}, QStringLiteral("small.ctd"));

    // A click on the minimised title bar activates A while it is still minimised; its restore
    // button then shows it again.
    const QPoint title(sub(a)->width() / 3, sub(a)->height() / 2);
    QTest::mouseMove(sub(a), title);
    QTest::mouseClick(sub(a), Qt::LeftButton, {}, title);
    ASSERT_TRUE(sub(a)->isMinimized());
    ASSERT_EQ(main->activeAnalysisWindow(), a);
    expectBrowserShows(a, seriesFiles, QStringLiteral("three.cts"));
    sub(a)->showNormal();
    EXPECT_EQ(main->activeAnalysisWindow(), a);
    expectBrowserShows(a, seriesFiles, QStringLiteral("three.cts"));
    // The arrows move A's diagram now.
    a->framedia->cmdallplus()->click();
    const int before = a->navBar(frame::NavBar::Left).value;
    browser->SSTab1->setCurrentIndex(2);
    QTest::mouseClick(browser->lblNaviballRight, Qt::LeftButton);
    EXPECT_GT(a->navBar(frame::NavBar::Left).value, before);
}

TEST_F(Windows, ClosingTheShownWindowWithTheNextMinimisedLeavesTheBrowserOnTheNext)
{
    analysis::FrmTabchild* a = openSeries();
    analysis::FrmTabchild* b = openDataFile();
    ASSERT_TRUE(a && b);
    sub(a)->showMinimized();
    mdiArea(main)->setActiveSubWindow(sub(b));
    expectBrowserShows(b, {QStringLiteral("small.ctd")}, QStringLiteral("small.ctd"));

    sub(b)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(main->activeAnalysisWindow(), a);
    expectBrowserShows(a, seriesFiles, QStringLiteral("three.cts"));
    EXPECT_TRUE(action(main, "mnuViewGraph")->isEnabled());
}

// ---- the parameter editor opens the member the series load found --------------------------------

TEST_F(Windows, EditOpensTheSeriesMemberFoundInAnotherLetterCase)
{
    for (const char* name : {"run1.ctd", "run3.ctd", "three.cts"})
        copy(QStringLiteral(TW_ANALYSIS_DATA "/../series/") + QLatin1String(name), QLatin1String(name));
    const QString onDisk = copy(QStringLiteral(TW_ANALYSIS_DATA "/../series/run2.ctd"), QStringLiteral("RUN2.CTD"));
    const std::string before = bytesOf(onDisk);
    analysis::FrmTabchild* w = open(path(QStringLiteral("three.cts")), 2);
    ASSERT_NE(w, nullptr);
    // The browser lists the series' spelling.
    ASSERT_EQ(browser->cmbEditorFiles->itemText(1), QStringLiteral("run2.ctd"));
    browser->cmbEditorFiles->setCurrentIndex(1);

    ModalScript script;
    bool formShown = false;
    script.on(QStringLiteral("frmdatainput"), [&](QWidget* form) {
        formShown = true;
        auto* f = static_cast<importer::FrmDataInput*>(form);
        EXPECT_EQ(f->txtpressure->text(), "1.010");  // run2's own value
        f->txtmass->setText(QStringLiteral("1490"));
        f->cmdFinish->click();
    });
    fakes.messages.answers = {platform::Answer::No, platform::Answer::Ok};  // no reload
    browser->cmdEdit->click();
    EXPECT_TRUE(formShown);
    ASSERT_FALSE(fakes.messages.shown.empty());
    EXPECT_EQ(fakes.messages.shown.front().text, "Do you want to reload the current file?");
    const std::vector<std::string> a = platform::splitLines(before), b = platform::splitLines(bytesOf(onDisk));
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(b[14], "1490");
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("run2.ctd"))));  // no second file beside it
}

// ---- the focus after a page leaf --------------------------------------------------------------

TEST_F(Windows, ACalculationLeafPutsTheFocusOnThePagesControl)
{
    analysis::FrmTabchild* file = openDataFile();
    analysis::FrmTabchild* series = openSeries();
    ASSERT_TRUE(file && series);

    clickNode(QStringLiteral("NR") + file->Tag() + QLatin1Char('1'));
    EXPECT_EQ(main->activeAnalysisWindow(), file);
    EXPECT_EQ(file->SSTab2->currentIndex(), 1);
    ASSERT_EQ(QApplication::focusWidget(), file->cmdDLLNEW);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // runs Results
    EXPECT_FALSE(file->mfgCTSres->textMatrix(16, 1).isEmpty());

    clickNode(QStringLiteral("NR") + series->Tag() + QLatin1Char('1'));
    EXPECT_EQ(main->activeAnalysisWindow(), series);
    ASSERT_EQ(QApplication::focusWidget(), series->cmbLambda);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(series->cmbLambda->currentIndex(), 1);  // lambda 1
    EXPECT_TRUE(series->cmdDLLNEW->isEnabled());

    // A minimised window comes back to show the page asked for.
    sub(file)->showMinimized();
    clickNode(QStringLiteral("NR") + file->Tag() + QLatin1Char('2'));
    EXPECT_FALSE(sub(file)->isMinimized());
    EXPECT_EQ(main->activeAnalysisWindow(), file);
    EXPECT_EQ(file->SSTab2->currentIndex(), 2);
    EXPECT_TRUE(file->SSTab2->isVisible());
}

// ---- after an arrangement the window in front is the active one -------------------------------

TEST_F(Windows, TileAndCascadeMakeTheWindowInFrontTheTargetNotAMinimisedOne)
{
    std::vector<analysis::FrmTabchild*> runs;
    for (const char* name : {"one.ctd", "two.ctd", "three.ctd"})
        runs.push_back(open(copy(testfiles::dataPath("small.ctd"), QLatin1String(name))));
    analysis::FrmTabchild* series = openSeries();
    ASSERT_TRUE(runs[0] && runs[1] && runs[2] && series);
    QTest::mouseClick(series->picdiagram(), Qt::LeftButton, {}, series->picdiagram()->rect().center());
    // Window 2 is worked in, then minimised: it stays the active window.
    analysis::FrmTabchild* minimised = runs[1];
    minimised->selectPage(1);
    QTest::mouseClick(minimised->mfgCTSres->viewport(), Qt::LeftButton, {}, QPoint(40, 30));
    sub(minimised)->showMinimized();

    struct Step {
        const char* what;
        QAction* entry;
    };
    for (const Step& step : {Step{"tile horizontal", action(main, "mnuWindowTileHorizontal")},
                             Step{"cascade", action(main, "mnuWindowCascade")},
                             Step{"tile vertical", action(main, "mnuWindowTileVertical")}}) {
        SCOPED_TRACE(step.what);
        mdiArea(main)->setActiveSubWindow(sub(minimised));
        ASSERT_EQ(main->activeAnalysisWindow(), minimised);
        ASSERT_TRUE(sub(minimised)->isMinimized());
        chooseFromMenu(menu(main, "mnuWindow"), step.entry);
        ASSERT_TRUE(sub(minimised)->isMinimized());
        QList<QMdiSubWindow*> stack = mdiArea(main)->subWindowList(QMdiArea::StackingOrder);
        stack.removeIf([](QMdiSubWindow* s) { return !s->isVisible() || s->isMinimized(); });
        ASSERT_EQ(stack.back(), sub(series));  // the series is in front

        EXPECT_EQ(main->activeAnalysisWindow(), series);
        EXPECT_EQ(tickedInWindowMenu(), "&4 " + sub(series)->windowTitle().toStdString());
        expectBrowserShows(series, seriesFiles, QStringLiteral("three.cts"));
        // The focus is back on the series' diagram, so Edit offers Copy, and copies that diagram.
        EXPECT_EQ(QApplication::focusWidget(), series->picdiagram());
        EXPECT_EQ(menuStates(), (EditStates{false, true, false}));
        fakes.clipboard.clear();
        action(main, "mnuEditCopy")->trigger();
        EXPECT_EQ(fakes.clipboard.image(), series->framedia->picture());
        // Save graph writes the diagram in front.
        const QString graph = path(QStringLiteral("graph %1.bmp").arg(step.what));
        fakes.files.answerWithFilter(graph, 1);
        action(main, "mnuFileSaveGraph")->trigger();
        EXPECT_EQ(QImage(graph).convertToFormat(QImage::Format_RGB32),
                  series->framedia->picture().convertToFormat(QImage::Format_RGB32));
    }
}

TEST_F(Windows, ClosingTheShownWindowWhileTheBrowserIsActiveShowsTheOneLeft)
{
    const auto [a, b] = seriesMinimisedFileInUse();
    ASSERT_TRUE(a && b);
    clickNode(QStringLiteral("Info") + b->Tag());  // then work in the browser
    ASSERT_EQ(mdiArea(main)->activeSubWindow(), browserWindow(main));
    expectBrowserShows(b, {QStringLiteral("small.ctd")}, QStringLiteral("small.ctd"));

    sub(b)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(mdiArea(main)->activeSubWindow(), browserWindow(main));
    expectBrowserShows(a, seriesFiles, QStringLiteral("three.cts"));
    // The browser is the active window: the window commands stay off until A is activated.
    EXPECT_FALSE(action(main, "mnuFileSaveGraph")->isEnabled());
    EXPECT_FALSE(action(main, "mnuViewGraph")->isEnabled());
    mdiArea(main)->setActiveSubWindow(sub(a));
    EXPECT_TRUE(action(main, "mnuFileSaveGraph")->isEnabled());
}

// ---- keyboard ways out ---------------------------------------------------------------------------

TEST_F(Windows, TabAndShiftTabMoveTheFocusOutOfTheCommentBox)
{
    analysis::FrmTabchild* w = openDataFile();
    ASSERT_NE(w, nullptr);
    w->selectPage(1);
    const QString comment = w->txtCTComments->toPlainText();
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        SCOPED_TRACE(key == Qt::Key_Tab ? "Tab" : "Shift+Tab");
        QTest::mouseClick(w->txtCTComments->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        ASSERT_EQ(QApplication::focusWidget(), w->txtCTComments);
        QTest::keyClick(w->txtCTComments, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        EXPECT_NE(QApplication::focusWidget(), w->txtCTComments);
        EXPECT_EQ(w->txtCTComments->toPlainText(), comment);
    }
}
