#include "diagram/core/defaults.h"
#include "tests/app/frame_fixture.h"

#include <QDate>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QScreen>
#include <QSignalSpy>
#include <gtest/gtest.h>

// ---- placement --------------------------------------------------------------------------------

TEST_F(Frame, FirstRunUsesDefaultPlacementAndShowsTheBrowserTopLeft)
{
    diagram::settings().marginDivisor = 3;  // left over from anything before the load
    diagram::settings().zoomPending = true;
    start();
    EXPECT_EQ(diagram::settings().marginDivisor, 9.0f);  // the load set the diagram defaults
    EXPECT_FALSE(diagram::settings().zoomPending);
    EXPECT_EQ(part<QLabel>(main, "sbStatusBarPanel2")->text(), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    EXPECT_EQ(main->pos(), QPoint(67, 67));  // 1000 twips
    EXPECT_EQ(main->size(), QSize(433, 433));  // 6500 twips
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Tarnwell"));
    EXPECT_TRUE(browserWindow(main)->isVisible());
    EXPECT_EQ(browserWindow(main)->pos(), QPoint(0, 0));
    EXPECT_EQ(browserWindow(main)->windowTitle(), QStringLiteral("Datafiles"));
}

TEST_F(Frame, PlacementRoundTrip)
{
    start();
    main->move(100, 80);
    main->resize(900, 700);
    QSignalSpy closed(main, &MainWindow::closed);
    action(main, "mnuFileExit")->trigger();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(stored("MainLeft"), QStringLiteral("1500"));
    EXPECT_EQ(stored("MainTop"), QStringLiteral("1200"));
    EXPECT_EQ(stored("MainWidth"), QStringLiteral("13500"));
    EXPECT_EQ(stored("MainHeight"), QStringLiteral("10500"));
    app::resetFrame();
    start();
    EXPECT_EQ(main->pos(), QPoint(100, 80));
    EXPECT_EQ(main->size(), QSize(900, 700));
}

TEST_F(Frame, MinimisedCloseKeepsThePreviousPlacement)
{
    storePlacement("1500", "1500", "9000", "7500");
    start();
    // Moved away from the stored placement first: only the minimised state keeps it.
    main->move(200, 160);
    main->resize(800, 600);
    main->showMinimized();
    main->close();
    EXPECT_EQ(stored("MainLeft"), QStringLiteral("1500"));
    EXPECT_EQ(stored("MainTop"), QStringLiteral("1500"));
    EXPECT_EQ(stored("MainWidth"), QStringLiteral("9000"));
    EXPECT_EQ(stored("MainHeight"), QStringLiteral("7500"));
}

TEST_F(Frame, BadStoredValuesFallBackOneByOne)
{
    storePlacement("abc", "1500", "", "9000");
    start();
    EXPECT_EQ(main->pos(), QPoint(67, 100));
    EXPECT_EQ(main->size(), QSize(433, 600));
}

TEST_F(Frame, PositionOutsideEveryScreenIsMovedOntoTheScreen)
{
    storePlacement("300000", "300000", "6000", "4500");
    start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(main->pos())) << main->pos().x() << "," << main->pos().y();
    EXPECT_EQ(main->size(), QSize(400, 300));
}
