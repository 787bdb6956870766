#include "app/about_box.h"
#include "app/commands.h"
#include "app/frame.h"
#include "app/splash.h"
#include "platform/fakes.h"
#include "platform/plain_text_edit.h"
#include "tests/app/frame_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

// ---- splash -----------------------------------------------------------------------------------

TEST(Splash, EndsOnceByAnyTrigger)
{
    enum Trigger { Key, Click, Timer };
    for (Trigger first : {Key, Click, Timer}) {
        QWidget target;
        app::Frmstart splash(&target);
        splash.show();
        EXPECT_TRUE(splash.tmr1->isActive());
        EXPECT_TRUE(splash.tmr2->isActive());
        EXPECT_EQ(splash.tmr2->interval(), 3500);
        EXPECT_EQ(splash.tmr1->interval(), 10);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        auto fire = [&](Trigger t) {
            if (t == Key) QApplication::sendEvent(&splash, &key);
            else if (t == Click) QTest::mouseClick(splash.picDest, Qt::LeftButton);
            else splash.tmr2_Timer();
        };
        fire(first);
        EXPECT_TRUE(target.isVisible()) << first;
        EXPECT_FALSE(splash.isVisible()) << first;
        EXPECT_FALSE(splash.tmr1->isActive());
        EXPECT_FALSE(splash.tmr2->isActive());
        for (Trigger again : {Key, Click, Timer}) fire(again);
        EXPECT_EQ(splash.targetShows(), 1) << first;
    }
}

TEST(Splash, ClosedFromOutsideStillShowsTheMainWindowOnce)
{
    // The window manager's close (Alt+F4) must not leave a program without any window.
    QWidget target;
    app::Frmstart splash(&target);
    splash.show();
    splash.close();
    EXPECT_TRUE(target.isVisible());
    EXPECT_FALSE(splash.isVisible());
    EXPECT_FALSE(splash.tmr1->isActive());
    EXPECT_FALSE(splash.tmr2->isActive());
    splash.tmr2_Timer();
    EXPECT_EQ(splash.targetShows(), 1);
}

TEST(Splash, FadeReachesZeroAfterSeventeenSteps)
{
    app::Frmstart splash;
    EXPECT_EQ(splash.sldBlend->value(), 255);
    EXPECT_EQ(splash.picDest->alpha, 0);
    splash.tmr1_Timer();
    EXPECT_EQ(splash.picDest->alpha, 15);
    for (int i = 1; i < 17; ++i) splash.tmr1_Timer();
    EXPECT_EQ(splash.sldBlend->value(), 0);
    EXPECT_EQ(splash.picDest->alpha, 255);
    splash.tmr1_Timer();
    EXPECT_EQ(splash.sldBlend->value(), 0);
    // Fully faded, the picture is picture B.
    EXPECT_EQ(splash.picDest->rendered().pixel(300, 100), splash.picDest->source.pixel(300, 100));
    EXPECT_NE(splash.picDest->background.pixel(300, 100), splash.picDest->source.pixel(300, 100));
}

// ---- command states ---------------------------------------------------------------------------

TEST_F(Frame, CommandStatesFollowTheAnalysisWindows)
{
    start();
    expectAnalysisCommands(false);
    expectEditCommands(false, false, false);

    FakeAnalysisWindow* w1 = open(1);
    expectAnalysisCommands(true);
    mdiArea(main)->setActiveSubWindow(browserWindow(main));
    expectAnalysisCommands(false);
    mdiArea(main)->setActiveSubWindow(sub(w1));
    expectAnalysisCommands(true);

    FakeAnalysisWindow* w2 = open(2);
    closeWindow(w2);
    expectAnalysisCommands(true);  // one of two closed

    // Neither the About box nor a hidden form counts as an analysis window.
    main->showAbout();
    auto* form = new QWidget;
    main->addChildWindow(form)->hide();
    closeWindow(w1);
    expectAnalysisCommands(false);
    EXPECT_EQ(main->openAnalysisWindowCount(), 0);
    mdiArea(main)->setActiveSubWindow(browserWindow(main));
    mdiArea(main)->setActiveSubWindow(nullptr);  // the browser deactivated with no analysis window open
    expectAnalysisCommands(false);
}

TEST_F(Frame, EditCommandStatesFollowTheFocusHandlers)
{
    start();
    mdiArea(main)->setActiveSubWindow(browserWindow(main));
    browser->SSTab1->setCurrentIndex(1);
    QFocusEvent in(QEvent::FocusIn), out(QEvent::FocusOut);
    QApplication::sendEvent(browser->txtNotes, &in);
    expectEditCommands(true, true, true);
    QApplication::sendEvent(browser->txtNotes, &out);
    expectEditCommands(false, false, false);
    app::editControlFocused(true);
    expectEditCommands(false, true, false);
    app::editControlFocused(false);
    expectEditCommands(false, false, false);
}

TEST_F(Frame, UnloadClearsTheBrowser)
{
    start();
    FakeAnalysisWindow* w = open(4);
    EXPECT_EQ(browser->picover->tag, 4);
    EXPECT_EQ(browser->lbleditExtratagTag, 4);
    EXPECT_EQ(browser->cmbEditorFilesTag, QStringLiteral("/data/"));
    EXPECT_EQ(browser->cmdEditTag, QStringLiteral("run1.ctd"));
    EXPECT_EQ(browser->cmbEditorFiles->currentText(), QStringLiteral("run1.ctd"));
    EXPECT_TRUE(browser->cmdEdit->isEnabled());
    EXPECT_TRUE(browser->lblNaviballTop->isEnabled());
    closeWindow(w);
    EXPECT_EQ(browser->datafilesNode->childCount(), 0);
    EXPECT_EQ(browser->picover->tag, 0);
    EXPECT_EQ(browser->lbleditExtratagTag, 0);
    EXPECT_TRUE(browser->cmdEditTag.isEmpty());
    EXPECT_EQ(browser->cmbEditorFiles->count(), 0);
    EXPECT_FALSE(browser->cmdEdit->isEnabled());
    EXPECT_FALSE(browser->cmbEditorFiles->isEnabled());
    EXPECT_FALSE(browser->lblNaviballTop->isEnabled());
}

// ---- tree -------------------------------------------------------------------------------------

TEST_F(Frame, WindowNodesCarryKeysTextsAndNumbers)
{
    start();
    open(5);
    const QTreeWidgetItem* node = browser->datafilesNode->child(0);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->text(0), QStringLiteral("CTData 5"));
    ASSERT_EQ(node->childCount(), 4);
    const QTreeWidgetItem* info = node->child(0);
    EXPECT_EQ(info->data(0, app::kNodeKeyRole).toString(), QStringLiteral("Info5"));
    EXPECT_TRUE(info->text(0).isEmpty());
    EXPECT_EQ(info->child(0)->text(0), QStringLiteral("Filename: run5.ctd"));
    EXPECT_EQ(info->child(1)->text(0), QStringLiteral("Project: Test 5"));
    const char* pages[] = {"Graph", "Calculation", "Protocol"};
    for (int p = 0; p < 3; ++p) {
        const QTreeWidgetItem* leaf = node->child(p + 1);
        EXPECT_EQ(leaf->text(0), QLatin1String(pages[p]));
        EXPECT_EQ(leaf->data(0, app::kNodeKeyRole).toString(), QStringLiteral("NR5%1").arg(p));
        EXPECT_EQ(leaf->data(0, app::kNodeWindowRole).toInt(), 5);
        EXPECT_EQ(leaf->data(0, app::kNodePageRole).toInt(), p);
    }
    open(12, true);
    EXPECT_EQ(browser->datafilesNode->child(1)->text(0), QStringLiteral("Series 12"));
}

TEST_F(Frame, NodeClicksRouteByWindowNumber)
{
    start();
    FakeAnalysisWindow* w3 = open(3);
    FakeAnalysisWindow* w5 = open(5);
    FakeAnalysisWindow* w12 = open(12, true);
    FakeAnalysisWindow* w105 = open(105);

    browser->TreeView1_NodeClick(browser->findNode(QStringLiteral("NR121")));
    EXPECT_EQ(w12->pages, std::vector<int>{1});
    EXPECT_EQ(main->activeAnalysisWindow(), w12);

    browser->TreeView1_NodeClick(browser->findNode(QStringLiteral("NR32")));
    EXPECT_EQ(w3->pages, std::vector<int>{2});
    EXPECT_EQ(main->activeAnalysisWindow(), w3);

    browser->TreeView1_NodeClick(browser->findNode(QStringLiteral("NR1050")));
    EXPECT_EQ(w105->pages, std::vector<int>{0});
    EXPECT_TRUE(w5->pages.empty());  // window 105 never acts on window 5
    EXPECT_EQ(main->activeAnalysisWindow(), w105);

    // Nodes with children, and the info leaves, select no page.
    for (const QString& key : {QStringLiteral("CTData 3"), QStringLiteral("Info3"), QStringLiteral("Filename3")})
        browser->TreeView1_NodeClick(browser->findNode(key));
    browser->TreeView1_NodeClick(browser->datafilesNode);
    EXPECT_EQ(w3->pages, std::vector<int>{2});

    // A real click on a leaf.
    QTreeWidgetItem* leaf = browser->findNode(QStringLiteral("NR50"));
    browser->TreeView1->scrollToItem(leaf);
    const QRect r = browser->TreeView1->visualItemRect(leaf);
    QTest::mouseClick(browser->TreeView1->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(w5->pages, std::vector<int>{0});

    closeWindow(w12);
    EXPECT_EQ(browser->findNode(QStringLiteral("NR121")), nullptr);
    EXPECT_NE(browser->findNode(QStringLiteral("NR1050")), nullptr);
}

// ---- graph view page --------------------------------------------------------------------------

TEST_F(Frame, ArrowsAndPageTabsActOnTheOverviewWindowOnly)
{
    start();
    FakeAnalysisWindow* w17 = open(17);
    FakeAnalysisWindow* w7 = open(7);
    ASSERT_EQ(browser->picover->tag, 7);

    browser->naviballClick(app::Arrow::Down);
    EXPECT_EQ(w7->bars[frame::NavBar::Top].value, 950);
    browser->naviballClick(app::Arrow::Up);
    EXPECT_EQ(w7->bars[frame::NavBar::Top].value, 1000);
    browser->SSTab1->setCurrentIndex(2);
    QTest::mouseClick(browser->lblNaviballRight, Qt::LeftButton);
    EXPECT_EQ(w7->bars[frame::NavBar::Left].value, 300);
    w7->bars[frame::NavBar::Left].value = 50;
    browser->naviballClick(app::Arrow::Left);
    EXPECT_EQ(w7->bars[frame::NavBar::Left].value, 0);
    EXPECT_TRUE(w17->navWrites.empty());

    w7->startscrCalls.clear();
    browser->SSTab1_Click();
    EXPECT_EQ(w7->startscrCalls, std::vector<int>{0});
    w7->overflow = QStringLiteral("1");
    browser->SSTab1_Click();
    EXPECT_EQ(w7->resizeCalls, std::vector<int>{0});
    EXPECT_TRUE(w17->startscrCalls.empty() && w17->resizeCalls.empty());

    // Closing 7 activates 17, which takes over the overview; with none left the arrows rest.
    closeWindow(w7);
    EXPECT_EQ(browser->picover->tag, 17);
    closeWindow(w17);
    EXPECT_EQ(browser->picover->tag, 0);
    browser->naviballClick(app::Arrow::Down);
    browser->SSTab1_Click();
    EXPECT_TRUE(w17->navWrites.empty());
    EXPECT_TRUE(w17->startscrCalls.empty());
}

TEST_F(Frame, BrowserToolbarAndEditButtonCallTheHooks)
{
    start();
    std::vector<int> opened;
    int imports = 0, series = 0, edits = 0;
    app::commandHooks().openAnalysisWindow = [&](int kind) { opened.push_back(kind); };
    app::commandHooks().importAsciiData = [&] { ++imports; };
    app::commandHooks().createSeriesFile = [&] { ++series; };
    app::commandHooks().editParameters = [&] { ++edits; };
    for (int i = 1; i <= 6; ++i) browser->toolbTreeview_ButtonClick(i);
    EXPECT_EQ(imports, 1);
    EXPECT_EQ(series, 1);
    EXPECT_EQ(opened, (std::vector<int>{1, 2}));

    open(2);
    browser->cmdEdit->click();
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(browser->editorPath, QStringLiteral("/data/"));
    EXPECT_EQ(browser->editorFile, QStringLiteral("run1.ctd"));
}

// ---- main window commands ---------------------------------------------------------------------

TEST_F(Frame, MenusCarryTheirCaptionsAndShortcuts)
{
    start();
    struct Entry {
        const char* name;
        const char* text;
        QKeySequence key;
    };
    const Entry entries[] = {
        {"mnuFileNewCTD", "&New CTD...", QKeySequence(Qt::Key_F2)},
        {"mnuFileNewCTS", "Ne&w CTS...", QKeySequence(Qt::Key_F3)},
        {"mnuFileOpenCTD", "Open CT&D...", QKeySequence(Qt::Key_F4)},
        {"mnuFileOpenCTS", "Open CT&S...", QKeySequence(Qt::Key_F5)},
        {"mnuHelpContents", "&Help", QKeySequence(Qt::Key_F1)},
        {"mnuEditCut", "Cut", QKeySequence(Qt::CTRL | Qt::Key_X)},
        {"mnuEditCopy", "Copy", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {"mnuEditPaste", "Paste", QKeySequence(Qt::CTRL | Qt::Key_V)},
        {"mnuFileSaveGraph", "Save graph...", {}},
        {"mnuWindowTileHorizontal", "Tile &horizontal", {}},
    };
    for (const Entry& e : entries) {
        EXPECT_EQ(action(main, e.name)->text(), QString::fromUtf8(e.text));
        EXPECT_EQ(action(main, e.name)->shortcut(), e.key) << e.text;
    }
    const char* tips[] = {nullptr, "New...", "Open...", "Save...", nullptr, "Cut", "Copy", "Paste", nullptr,
                          "Graph view", "Calculation view", "Protocol view", nullptr, "Help"};
    for (int p = 1; p <= 13; ++p) {
        if (!tips[p]) {
            EXPECT_EQ(main->tbButton(p), nullptr) << p;
            continue;
        }
        ASSERT_NE(main->tbButton(p), nullptr) << p;
        EXPECT_EQ(main->tbButton(p)->toolTip(), QLatin1String(tips[p]));
    }
    EXPECT_EQ(main->tbMenuEntry(3, 1)->text(), QStringLiteral("Save graph as picture..."));
    EXPECT_EQ(main->tbMenuEntry(3, 2)->text(), QStringLiteral("Save notepad..."));
    EXPECT_EQ(part<QStatusBar>(main, "sbStatusBar")->findChildren<QLabel*>().size(), 3);
}

TEST_F(Frame, FileCommandsReachTheHooks)
{
    start();
    std::vector<int> opened;
    int imports = 0, series = 0, graphs = 0, notes = 0;
    app::commandHooks().openAnalysisWindow = [&](int kind) { opened.push_back(kind); };
    app::commandHooks().importAsciiData = [&] { ++imports; };
    app::commandHooks().createSeriesFile = [&] { ++series; };
    app::commandHooks().saveGraph = [&] { ++graphs; };
    app::commandHooks().saveNotes = [&] {
        ++notes;
        return true;
    };
    action(main, "mnuFileNewCTD")->trigger();
    main->tbMenuEntry(1, 1)->trigger();
    action(main, "mnuFileNewCTS")->trigger();
    main->tbMenuEntry(1, 2)->trigger();
    action(main, "mnuFileOpenCTD")->trigger();
    main->tbMenuEntry(2, 2)->trigger();
    action(main, "mnuFileSaveNotepad")->trigger();
    main->tbMenuEntry(3, 2)->trigger();
    open(1);
    main->tbMenuEntry(3, 1)->trigger();
    EXPECT_EQ(imports, 2);
    EXPECT_EQ(series, 2);
    EXPECT_EQ(opened, (std::vector<int>{1, 2}));
    EXPECT_EQ(notes, 2);
    EXPECT_EQ(graphs, 1);
}

TEST_F(Frame, NewOpenAndSaveOpenTheirMenusFromTheButtonsBody)
{
    start();
    int imports = 0, opens = 0, notes = 0;
    app::commandHooks().importAsciiData = [&] { ++imports; };
    app::commandHooks().openAnalysisWindow = [&](int) { ++opens; };
    app::commandHooks().saveNotes = [&] {
        ++notes;
        return true;
    };
    for (int position : {1, 2, 3}) {
        QToolButton* b = main->tbButton(position);
        QMenu* shown = nullptr;
        // The menu runs its own event loop: wait for it there, then choose its first enabled entry.
        QTimer poll;
        int ticks = 0;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!shown && ++ticks < 200) return;
            poll.stop();
            if (!shown) return;
            QTest::keyClick(shown, Qt::Key_Down);
            QTest::keyClick(shown, Qt::Key_Return);
        });
        poll.start(10);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(4, b->height() / 2));  // left of the arrow
        while (poll.isActive()) QApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_EQ(shown, b->menu()) << "button " << position;
    }
    EXPECT_EQ(imports, 1);  // New CTD...
    EXPECT_EQ(opens, 1);    // Open CTD...
    EXPECT_EQ(notes, 1);    // Save notepad... (Save graph is off without an analysis window)
}

TEST_F(Frame, PageCommandsNeedAnActiveAnalysisWindow)
{
    start();
    main->showPage(1);
    main->tbToolBar_ButtonClick(QStringLiteral("Graph"));  // nothing open: nothing happens
    EXPECT_EQ(browser->SSTab1->currentIndex(), 0);

    FakeAnalysisWindow* w = open(1);
    action(main, "mnuViewCalculation")->trigger();
    action(main, "mnuViewGraph")->trigger();
    EXPECT_EQ(browser->SSTab1->currentIndex(), 0);  // the menu's Graph sheet leaves the browser alone
    main->tbButton(11)->click();
    main->tbButton(9)->click();
    EXPECT_EQ(w->pages, (std::vector<int>{1, 0, 2, 0}));
    EXPECT_EQ(browser->SSTab1->currentIndex(), 2);

    mdiArea(main)->setActiveSubWindow(browserWindow(main));
    main->showPage(2);
    EXPECT_EQ(w->pages.size(), 4u);
}

TEST_F(Frame, HelpReportsTheShellsResultCodes)
{
    start();
    const std::string pdf = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("readme.pdf")).toStdString();
    struct Case {
        int code;
        std::string message;  // empty: none
    };
    const Case cases[] = {{2, "File not found: " + pdf},
                          {3, "Path not found\n" + pdf},
                          {5, "Access denied\n" + pdf},
                          {31, "No association for file extension \".pdf\"\n" + pdf},
                          {platform::kOpenerMissing, "The desktop's opener xdg-open is missing, so " + pdf +
                                                         " cannot be opened.\nInstall it with: sudo apt-get install xdg-utils"},
                          {12, "Unknown error\n" + pdf},
                          {42, ""}};
    for (const Case& c : cases) {
        fakes.messages.clear();
        fakes.shell.result = c.code;
        action(main, "mnuHelpContents")->trigger();
        if (c.message.empty()) {
            EXPECT_TRUE(fakes.messages.shown.empty());
            continue;
        }
        ASSERT_EQ(fakes.messages.shown.size(), 1u) << c.code;
        const platform::Message& m = fakes.messages.shown[0];
        EXPECT_EQ(m.text, c.message);
        EXPECT_EQ(m.icon, platform::Icon::Critical);
        EXPECT_EQ(m.buttons, platform::Buttons::Ok);
        EXPECT_TRUE(m.title.empty());  // the application title
    }
    main->tbButton(13)->click();
    EXPECT_EQ(fakes.shell.opened.last(), QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("readme.pdf")));
}

TEST_F(Frame, ViewSwitchesShowAndHide)
{
    start();
    main->toggleToolbar();
    EXPECT_FALSE(action(main, "mnuViewToolbar")->isChecked());
    EXPECT_TRUE(part<QToolBar>(main, "tbToolBar")->isHidden());
    main->toggleToolbar();
    EXPECT_FALSE(part<QToolBar>(main, "tbToolBar")->isHidden());
    main->toggleStatusBar();
    EXPECT_FALSE(action(main, "mnuViewStatusBar")->isChecked());
    EXPECT_TRUE(part<QStatusBar>(main, "sbStatusBar")->isHidden());
    main->toggleStatusBar();
    EXPECT_FALSE(part<QStatusBar>(main, "sbStatusBar")->isHidden());
}

TEST_F(Frame, WindowMenuListsTheOpenWindows)
{
    start();
    open(1);
    open(2, true);
    emit menu(main, "mnuWindow")->aboutToShow();
    QStringList titles;
    for (QAction* a : menu(main, "mnuWindow")->actions())
        if (a->property("windowListEntry").toBool() && !a->isSeparator()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("&1 Datafiles"), QStringLiteral("&2 CTData 1"), QStringLiteral("&3 Series 2")}));
    emit menu(main, "mnuWindow")->aboutToShow();  // refilled, not appended
    int entries = 0;
    for (QAction* a : menu(main, "mnuWindow")->actions())
        if (a->property("windowListEntry").toBool() && !a->isSeparator()) ++entries;
    EXPECT_EQ(entries, 3);
}

TEST_F(Frame, ExitClosesEverythingEvenWithTheAboutBoxOpen)
{
    start();
    FakeAnalysisWindow* w = open(1);
    main->showAbout();
    QPointer<app::Frmabout> about = main->aboutBox();
    ASSERT_TRUE(about);
    EXPECT_TRUE(about->isVisible());
    auto* hidden = new QWidget;
    main->addChildWindow(hidden)->hide();
    QSignalSpy closed(main, &MainWindow::closed);
    action(main, "mnuFileExit")->trigger();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(w->isOpen());
    EXPECT_EQ(browser->datafilesNode->childCount(), 0);
    EXPECT_TRUE(!about || !about->isVisible());
    EXPECT_FALSE(stored("MainWidth").isEmpty());
}

// ---- About box --------------------------------------------------------------------------------

TEST_F(Frame, AboutBoxIsKeptAndTurnsOnFromWhereItStopped)
{
    start();
    main->showAbout();
    QPointer<app::Frmabout> about = main->aboutBox();
    ASSERT_TRUE(about);
    EXPECT_TRUE(about->tmrdreh->isActive());
    for (int i = 0; i < 10; ++i) about->tmrdreh_Timer();
    about->close();
    EXPECT_FALSE(about->tmrdreh->isActive());
    const float stopped = about->carousel.angle;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(about);  // closed, not deleted
    main->showAbout();
    EXPECT_EQ(main->aboutBox(), about.data());
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(about->tmrdreh->isActive());
    EXPECT_EQ(about->carousel.angle, stopped);
}

TEST(AboutBox, CarouselAfterNinetyTicks)
{
    app::Frmabout about;
    about.tmrdreh->stop();  // ticks driven by hand
    EXPECT_EQ(about.tmrdreh->interval(), 20);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Tarnwell - About"));
    for (int i = 0; i < 90; ++i) about.tmrdreh_Timer();
    const QPointF c = about.memberCentre(0);
    EXPECT_NEAR(c.x(), 0.0, 0.01);
    EXPECT_NEAR(c.y(), -0.18, 0.01);
    EXPECT_TRUE(about.lblmember[0]->isVisibleTo(&about));
    // Labels 2 and 3 are 120 and 240 degrees ahead: to the right and to the left, higher up.
    EXPECT_GT(about.memberCentre(1).x(), 0.7);
    EXPECT_LT(about.memberCentre(2).x(), -0.7);
    EXPECT_GT(about.memberCentre(1).y(), 0.05);
    for (QLabel* hidden : about.hiddenImages) EXPECT_FALSE(hidden->isVisibleTo(&about));
}

TEST_F(Frame, NaviballShowsTheLookOfTheHoveredArrow)
{
    start();
    browser->SSTab1->setCurrentIndex(2);
    auto shown = [&] { return browser->imgNaviball->pixmap().toImage(); };
    struct Case {
        QWidget* target;
        int look;
    };
    const Case cases[] = {{browser->lblNaviballTop, 1},  {browser->lblNaviballDown, 2},
                          {browser->lblNaviballLeft, 3}, {browser->lblNaviballRight, 4},
                          {browser->fraNaviAround, 0},   {browser->lblNaviballLeft, 3},
                          {browser->imgNaviball, 0}};
    for (const Case& c : cases) {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(c.target, &enter);
        EXPECT_EQ(shown(), browser->naviballLooks[static_cast<size_t>(c.look)].convertToFormat(shown().format()))
            << c.target->objectName().toStdString();
    }
    // The five looks differ from one another.
    for (size_t i = 1; i < 5; ++i) EXPECT_NE(browser->naviballLooks[0], browser->naviballLooks[i]);
}

TEST_F(Frame, ABusySpellKeepsTheActiveWindowAndItsFocus)
{
    start();
    open(1);
    FakeAnalysisWindow* w = open(2, true);
    sub(w)->showMaximized();
    QApplication::setActiveWindow(main);
    w->grid->setFocus();
    ASSERT_EQ(mdiArea(main)->activeSubWindow(), sub(w));

    // A report or a read: the frame is disabled, the window's own button goes grey meanwhile.
    main->setFrameEnabled(false);
    w->grid->setEnabled(false);
    QApplication::processEvents();
    w->grid->setEnabled(true);
    main->setFrameEnabled(true);
    // Another program had the screen in between; the main window is activated again.
    QApplication::setActiveWindow(nullptr);
    QApplication::processEvents();
    QApplication::setActiveWindow(main);
    QApplication::processEvents();

    EXPECT_EQ(mdiArea(main)->activeSubWindow(), sub(w));
    EXPECT_TRUE(sub(w)->isMaximized());
    EXPECT_FALSE(browserWindow(main)->isMaximized());
    EXPECT_TRUE(sub(w)->isAncestorOf(QApplication::focusWidget()));
}
