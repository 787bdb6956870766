#include "analysis/coastfit_loader.h"
#include "analysis/flex_grid.h"
#include "analysis/frm_tabchild.h"
#include "app/commands.h"
#include "app/connect_commands.h"
#include "app/dispatcher.h"
#include "app/frame.h"
#include "diagram/diagram_panel.h"
#include "diagram/core/view.h"
#include "tests/analysis/test_files.h"
#include "tests/app/main_window_parts.h"

#include "platform/fakes.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

class Dispatcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        app::resetFrame();
        main = app::mainWindow();
        browser = app::dataBrowser();
        main->show();
    }
    void TearDown() override
    {
        for (frame::AnalysisWindowApi* w : main->analysisWindows()) main->subWindowOf(w)->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app::commandHooks() = {};
        main->hide();  // hidden first: the main window must not see its MDI area change while it is destroyed
        app::resetFrame();
    }

    // The number of the window opened on the data file, 0 when it did not open.
    int open(const QString& path)
    {
        fakes.files.answer(path);
        return app::openAnalysisWindow(1);
    }
    // The window of a data file that has to open; one that does not fails the test with the
    // message it gave, before anything uses the window.
    analysis::FrmTabchild* opened(const QString& path)
    {
        const std::size_t messages = fakes.messages.shown.size();
        const int n = open(path);
        analysis::FrmTabchild* w = app::lastOpenedWindow();
        if (n != 0 && w && w->windowNumber() == n) return w;
        std::string why = path.toStdString() + " did not open";
        if (fakes.messages.shown.size() > messages) why += ": \"" + fakes.messages.last().text + "\"";
        throw std::runtime_error(why);
    }
    int subWindows() const { return static_cast<int>(mdiArea(main)->subWindowList().size()); }
    QStringList windowNodes() const
    {
        QStringList keys;
        for (int i = 0; i < browser->datafilesNode->childCount(); ++i)
            keys << browser->datafilesNode->child(i)->data(0, app::kNodeKeyRole).toString();
        return keys;
    }

    platform::ScopedFakes fakes;
    QTemporaryDir dir;
    app::MainWindow* main = nullptr;
    app::DataBrowser* browser = nullptr;
    const QString small = testfiles::dataPath("small.ctd");
};

}  // namespace

TEST_F(Dispatcher, NumbersPlacesAndRegistersWindows)
{
    const int base = app::windowCounter();
    const int n1 = open(small);
    ASSERT_EQ(n1, base + 1);
    analysis::FrmTabchild* w1 = app::lastOpenedWindow();
    ASSERT_NE(w1, nullptr);
    EXPECT_EQ(w1->Tag(), QString::number(n1));
    EXPECT_EQ(w1->windowTitle(), "CTData " + QString::number(n1));

    const QString n = QString::number(n1);
    struct Node {
        QString key, text, parent;
    };
    for (const Node& node : {Node{"CTData " + n, "CTData " + n, ""}, Node{"Info" + n, "", "CTData " + n},
                             Node{"Filename" + n, "Filename: small.ctd", "Info" + n},
                             Node{"Project" + n, "Project: Coast A", "Info" + n},
                             Node{"NR" + n + "0", "Graph", "CTData " + n}, Node{"NR" + n + "1", "Calculation", "CTData " + n},
                             Node{"NR" + n + "2", "Protocol", "CTData " + n}}) {
        SCOPED_TRACE(node.key.toStdString());
        QTreeWidgetItem* item = browser->findNode(node.key);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(0), node.text);
        if (node.parent.isEmpty()) EXPECT_EQ(item->parent(), browser->datafilesNode);
        else EXPECT_EQ(item->parent()->data(0, app::kNodeKeyRole).toString(), node.parent);
    }
    EXPECT_TRUE(action(main, "mnuFileSaveGraph")->isEnabled());
    EXPECT_TRUE(browser->cmdEdit->isEnabled());
    EXPECT_TRUE(browser->cmbEditorFiles->isEnabled());

    // Activation handed the browser this window's file.
    EXPECT_EQ(browser->lbleditExtratagTag, n1);
    EXPECT_EQ(browser->cmdEditTag, "small.ctd");
    ASSERT_EQ(browser->cmbEditorFiles->count(), 1);
    EXPECT_EQ(browser->cmbEditorFiles->itemText(0), "small.ctd");

    // The first window sits right of the browser at the top; the second 250 twips (17 px) further.
    QMdiSubWindow* s1 = main->subWindowOf(w1);
    ASSERT_NE(s1, nullptr);
    EXPECT_EQ(s1->size(), QSize(800, 646));
    EXPECT_EQ(s1->pos(), QPoint(browserWindow(main)->width(), 0));
    const int n2 = open(small);
    ASSERT_EQ(n2, n1 + 1);
    QMdiSubWindow* s2 = main->subWindowOf(app::lastOpenedWindow());
    ASSERT_NE(s2, nullptr);
    EXPECT_EQ(s2->pos(), s1->pos() + QPoint(17, 17));
    EXPECT_EQ(browser->lbleditExtratagTag, n2);

    // With the browser hidden the steps start at the left edge: the third 500 twips in.
    main->toggleDataBrowser();
    ASSERT_FALSE(browserWindow(main)->isVisible());
    analysis::FrmTabchild* w3 = opened(small);
    EXPECT_EQ(w3->windowNumber(), n2 + 1);
    EXPECT_EQ(main->subWindowOf(w3)->pos(), QPoint(33, 33));
}

TEST_F(Dispatcher, CancelledAndFailedOpensLeaveNoTrace)
{
    const int n1 = open(small);
    const int n2 = open(small);
    ASSERT_EQ(n2, n1 + 1);
    const QStringList nodes = windowNodes();
    const int subs = subWindows();

    fakes.files.cancel();
    EXPECT_EQ(app::openAnalysisWindow(1), 0);
    EXPECT_TRUE(fakes.messages.shown.empty());

    EXPECT_EQ(open(testfiles::writeFile(dir, "empty.ctd", "")), 0);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last().title, "CTD-Error");

    EXPECT_EQ(app::openAnalysisWindow(7), 0);  // no such kind

    EXPECT_EQ(app::windowCounter(), n2);
    EXPECT_EQ(windowNodes(), nodes);
    EXPECT_EQ(subWindows(), subs);
    // The browser still shows window n2, and Save graph stays as it was.
    EXPECT_EQ(browser->lbleditExtratagTag, n2);
    EXPECT_EQ(browser->picover->tag, n2);
    EXPECT_TRUE(browser->cmdEdit->isEnabled());
    EXPECT_TRUE(action(main, "mnuFileSaveGraph")->isEnabled());
    EXPECT_TRUE(main->isEnabled());

    EXPECT_EQ(open(small), n2 + 1);
}

TEST_F(Dispatcher, ClosingClearsTheBrowserOnlyForTheWindowItShows)
{
    analysis::FrmTabchild* w1 = opened(small);
    const int n1 = w1->windowNumber();
    analysis::FrmTabchild* w2 = opened(small);
    const int n2 = w2->windowNumber();
    ASSERT_EQ(browser->lbleditExtratagTag, n2);

    main->subWindowOf(w1)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(browser->findNode("CTData " + QString::number(n1)), nullptr);
    EXPECT_NE(browser->findNode("CTData " + QString::number(n2)), nullptr);
    EXPECT_EQ(browser->lbleditExtratagTag, n2);
    EXPECT_EQ(browser->cmbEditorFiles->count(), 1);
    EXPECT_TRUE(action(main, "mnuViewGraph")->isEnabled());  // one window is still open

    main->subWindowOf(w2)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(windowNodes().isEmpty());
    EXPECT_EQ(browser->lbleditExtratagTag, 0);
    EXPECT_EQ(browser->picover->tag, 0);
    EXPECT_FALSE(browser->cmdEdit->isEnabled());
    EXPECT_FALSE(action(main, "mnuFileSaveGraph")->isEnabled());
    EXPECT_FALSE(action(main, "mnuViewGraph")->isEnabled());
    EXPECT_EQ(subWindows(), 1);  // the data browser
}

TEST_F(Dispatcher, SwitchedOffNavigationReleasesTheOverviewOnlyForItsWindow)
{
    analysis::FrmTabchild* w1 = opened(small);
    analysis::FrmTabchild* w2 = opened(small);
    const int n2 = w2->windowNumber();
    ASSERT_EQ(browser->picover->tag, n2);

    emit w1->framedia->navigationSwitchedOff();  // not the window the overview shows
    EXPECT_EQ(browser->picover->tag, n2);
    emit w2->framedia->navigationSwitchedOff();
    EXPECT_EQ(browser->picover->tag, 0);
    EXPECT_FALSE(browser->lblNaviballTop->isEnabled());  // the arrows would act on no window
}

// The red rectangle shown on the overview, in its pixels.
QRect overviewRectangle(app::OverviewPicture* picover)
{
    const QImage img = picover->grab().toImage();
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == 0xFF0000u) r |= QRect(x, y, 1, 1);
    return r;
}

// Where the overview should show a window's view.
QRect expectedRectangle(app::OverviewPicture* picover, const analysis::FrmTabchild* w)
{
    const QSize px = picover->pictureSize();
    const diagram::UnitView v = diagram::overviewRectangle(diagram::toUnits(w->framedia->drawnView()), picover->scale(),
                                                           {px.width(), px.height()});
    const QPointF tl = picover->toPixel(v.left, v.top);
    const QPointF br = picover->toPixel(v.left + v.width, v.top - v.height);
    return QRect(QPoint(static_cast<int>(tl.x()), static_cast<int>(tl.y())),
                 QPoint(static_cast<int>(br.x()), static_cast<int>(br.y())));
}

TEST_F(Dispatcher, OverviewFollowsTheActiveWindow)
{
    analysis::FrmTabchild* w1 = opened(small);
    analysis::FrmTabchild* w2 = opened(small);
    app::OverviewPicture* picover = browser->picover;
    ASSERT_EQ(picover->owner(), w2->framedia);
    const auto near = [](const QRect& a, const QRect& b) {
        return std::abs(a.left() - b.left()) <= 1 && std::abs(a.top() - b.top()) <= 1 &&
               std::abs(a.right() - b.right()) <= 1 && std::abs(a.bottom() - b.bottom()) <= 1;
    };
    EXPECT_TRUE(near(overviewRectangle(picover), expectedRectangle(picover, w2)));

    // A window in the background zooms: the overview stays with the active one.
    w1->framedia->cmdallplus()->click();
    EXPECT_EQ(picover->owner(), w2->framedia);
    EXPECT_TRUE(near(overviewRectangle(picover), expectedRectangle(picover, w2)));

    main->activateAnalysisWindow(w1);
    EXPECT_EQ(picover->tag, w1->windowNumber());
    EXPECT_EQ(picover->owner(), w1->framedia);
    EXPECT_TRUE(near(overviewRectangle(picover), expectedRectangle(picover, w1)));
    // The browser's arrows move the view the overview shows.
    browser->naviballClick(app::Arrow::Right);
    EXPECT_TRUE(near(overviewRectangle(picover), expectedRectangle(picover, w1)));

    main->activateAnalysisWindow(w2);
    EXPECT_EQ(picover->owner(), w2->framedia);
    EXPECT_TRUE(near(overviewRectangle(picover), expectedRectangle(picover, w2)));

    for (frame::AnalysisWindowApi* w : main->analysisWindows()) main->subWindowOf(w)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(picover->owner(), nullptr);
    EXPECT_TRUE(overviewRectangle(picover).isEmpty());
}

TEST_F(Dispatcher, GridsDiagramAndCommentsOfferCopyOnly)
{
    analysis::FrmTabchild* w = opened(small);
    ASSERT_NE(w->picdiagram(), nullptr);
    for (QWidget* control : {static_cast<QWidget*>(w->mfgCTSdat), static_cast<QWidget*>(w->mfgCTSres),
                             static_cast<QWidget*>(w->mfgAverageRes), w->picdiagram(),
                             static_cast<QWidget*>(w->txtCTComments)}) {
        SCOPED_TRACE(control->objectName().toStdString());
        main->setEditCommands(true, false, true);
        QFocusEvent in(QEvent::FocusIn);
        QCoreApplication::sendEvent(control, &in);
        EXPECT_FALSE(action(main, "mnuEditCut")->isEnabled());
        EXPECT_TRUE(action(main, "mnuEditCopy")->isEnabled());
        EXPECT_FALSE(action(main, "mnuEditPaste")->isEnabled());
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(control, &out);
        EXPECT_FALSE(action(main, "mnuEditCut")->isEnabled());
        EXPECT_FALSE(action(main, "mnuEditCopy")->isEnabled());
        EXPECT_FALSE(action(main, "mnuEditPaste")->isEnabled());
    }
}

TEST_F(Dispatcher, CopyOfAGridPutsTheWholeGridOnTheClipboard)
{
    analysis::FrmTabchild* w = opened(small);
    main->subWindowOf(w)->resize(400, 300);
    w->selectPage(1);
    w->tabCalclist->setCurrentIndex(1);  // "Datamatrix"
    analysis::FlexGrid* grid = w->mfgCTSdat;
    ASSERT_TRUE(grid->isVisible());
    grid->setFocus();
    main->editCopy();
    const QImage copied = fakes.clipboard.image();
    EXPECT_EQ(copied, grid->picture());
    // All 37 rows of the small file, not the few the cut-down window shows.
    EXPECT_GT(copied.height(), 36 * grid->verticalHeader()->defaultSectionSize());
    EXPECT_GT(copied.height(), grid->height());
}

TEST_F(Dispatcher, GraphPageShowsTheBrowsersGraphView)
{
    analysis::FrmTabchild* w = opened(small);
    EXPECT_EQ(browser->SSTab1->currentIndex(), 2);  // the load ends on page 0
    browser->SSTab1->setCurrentIndex(0);
    w->selectPage(1);
    EXPECT_EQ(browser->SSTab1->currentIndex(), 0);
    w->SSTab2->setCurrentIndex(0);  // as a click on the tab does
    EXPECT_EQ(browser->SSTab1->currentIndex(), 2);
}

TEST_F(Dispatcher, PageScrollBarsFollowTheWindowSize)
{
    analysis::FrmTabchild* w = opened(small);
    QMdiSubWindow* sub = main->subWindowOf(w);
    sub->resize(700, 500);
    EXPECT_EQ(w->fscTabhorz->width(), 667);   // 10000 twips
    EXPECT_EQ(w->fscTabvert->height(), 453);  // 6800 twips
}

TEST_F(Dispatcher, FileCommandsReachTheirSubsystems)
{
    app::connectCommands();
    const int subs = subWindows();
    for (const char* entry : {"mnuFileNewCTD", "mnuFileNewCTS", "mnuFileOpenCTD", "mnuFileOpenCTS"})
        action(main, entry)->trigger();  // each file dialog is cancelled
    QStringList titles;
    for (const platform::FileDialogRequest& r : fakes.files.requests) titles << r.title;
    EXPECT_EQ(titles, QStringList({"Open Ascii-file", "Choose CTD-files for series", "Choose CTD-file to open...",
                                   "Choose CTS-file to open..."}));
    EXPECT_EQ(subWindows(), subs);
}
