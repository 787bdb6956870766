#include "tests/app/frame_fixture.h"

#include <QRect>
#include <gtest/gtest.h>

#include <vector>

// ---- window arrangement -----------------------------------------------------------------------

TEST_F(Frame, HidingTheBrowserShiftsNormalWindows)
{
    start();
    main->resize(1000, 800);
    FakeAnalysisWindow* w1 = open(1);
    FakeAnalysisWindow* w2 = open(2);
    sub(w1)->move(250, 10);
    sub(w2)->move(400, 40);
    sub(w2)->showMinimized();
    const QPoint minimisedAt = sub(w2)->pos();
    const int width = browserWindow(main)->width();

    main->toggleDataBrowser();
    EXPECT_FALSE(browserWindow(main)->isVisible());
    EXPECT_FALSE(action(main, "mnuViewDataBrowser")->isChecked());
    EXPECT_EQ(sub(w1)->pos(), QPoint(250 - width, 10));
    EXPECT_EQ(sub(w2)->pos(), minimisedAt);
    EXPECT_EQ(main->activeAnalysisWindow(), w1);  // the oldest analysis window
    EXPECT_FALSE(action(main, "mnuFileSaveNotepad")->isEnabled());
    EXPECT_FALSE(main->tbMenuEntry(3, 2)->isEnabled());

    main->toggleDataBrowser();
    EXPECT_TRUE(browserWindow(main)->isVisible());
    EXPECT_EQ(sub(w1)->pos(), QPoint(250, 10));
    EXPECT_TRUE(action(main, "mnuFileSaveNotepad")->isEnabled());
    EXPECT_TRUE(main->tbMenuEntry(3, 2)->isEnabled());

    // Its close box hides it the same way.
    browserWindow(main)->close();
    EXPECT_FALSE(browserWindow(main)->isVisible());
    EXPECT_FALSE(action(main, "mnuViewDataBrowser")->isChecked());
    EXPECT_EQ(sub(w1)->pos(), QPoint(250 - width, 10));
}

TEST_F(Frame, ArrangementsTileAsNamedAndHideTheBrowser)
{
    start();
    main->resize(1000, 800);
    std::vector<QMdiSubWindow*> subs;
    for (int n = 1; n <= 3; ++n) subs.push_back(sub(open(n)));
    const QRect area = mdiArea(main)->viewport()->rect();

    action(main, "mnuWindowTileVertical")->trigger();  // one above another
    EXPECT_FALSE(browserWindow(main)->isVisible());
    EXPECT_FALSE(action(main, "mnuViewDataBrowser")->isChecked());
    EXPECT_TRUE(action(main, "mnuFileSaveNotepad")->isEnabled());
    int y = 0;
    for (QMdiSubWindow* s : subs) {
        EXPECT_EQ(s->x(), 0);
        EXPECT_EQ(s->width(), area.width());
        EXPECT_EQ(s->y(), y);
        y += s->height();
    }
    EXPECT_EQ(y, area.height());

    action(main, "mnuWindowTileHorizontal")->trigger();  // side by side
    int x = 0;
    for (QMdiSubWindow* s : subs) {
        EXPECT_EQ(s->y(), 0);
        EXPECT_EQ(s->height(), area.height());
        EXPECT_EQ(s->x(), x);
        x += s->width();
    }
    EXPECT_EQ(x, area.width());

    // Cascade after the tiling: each window at least as large as a newly opened one (12000 x 9690
    // twips), fully inside the area, one equal diagonal step further than the one before.
    main->toggleDataBrowser();
    action(main, "mnuWindowCascade")->trigger();
    EXPECT_FALSE(browserWindow(main)->isVisible());
    const QPoint step = subs[1]->pos() - subs[0]->pos();
    EXPECT_GT(step.x(), 0);
    EXPECT_EQ(step.x(), step.y());
    for (int i = 0; i < 3; ++i) {
        const QMdiSubWindow* s = subs[static_cast<std::size_t>(i)];
        SCOPED_TRACE(i);
        EXPECT_EQ(s->pos(), QPoint(0, 0) + i * step);
        EXPECT_GE(s->width(), 800);
        EXPECT_GE(s->height(), 646);
        EXPECT_TRUE(area.contains(s->geometry()));
    }
}
