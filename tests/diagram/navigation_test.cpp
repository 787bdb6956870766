#include "diagram/core/defaults.h"
#include "diagram/diagram_panel.h"
#include "platform/fakes.h"
#include "tests/diagram/paint_counter.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace diagram {
namespace {

// A series of `sets` runs of n samples at dt, falling from 30 to 10 m/s.
state::TabchildData makeData(int sets, int n, double dt)
{
    state::TabchildData d;
    d.setCount = sets;
    d.sampleCount = n;
    d.sampleInterval = dt;
    d.velocitySamples.resize(n, sets);
    for (int s = 1; s <= sets; ++s) {
        d.dataFileNames[static_cast<std::size_t>(s)] = "run" + std::to_string(s) + ".ctd";
        for (int r = 0; r <= n; ++r) d.velocitySamples(r, s) = 30.0 - 20.0 * (r - 1.0) / (n - 1.0) - (s - 1);
    }
    d.headerValues.resize(25, sets);
    d.headerValues(9, 1) = "30";
    d.headerValues(8, 1) = "10";
    return d;
}

// Mouse events as the platform delivers them to the picture: pixel positions, the button that
// changed and the buttons held.
void send(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

bool anyRed(const QImage& img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == 0xFF0000u) return true;
    return false;
}

class MouseAndZoom : public ::testing::Test {
protected:
    void SetUp() override
    {
        initDiagramDefaults();
        p.setlegend();
        p.chk(0)->setChecked(true);
        p.Resize();
    }
    UnitView drawnUnits() const { return toUnits(p.drawnView()); }
    DrawingSurface* pic() const { return p.picdiagram(); }
    // Pixel position of a point in scale units, and the unit point a pixel position reports.
    QPointF pixel(double x, double y) const { return pic()->toPixel(x, y); }
    QPointF units(QPointF px) const { return pic()->toScale(px); }

    platform::ScopedFakes fakes;
    state::TabchildData d = makeData(2, 1000, 0.1);  // 100 s: full width 55000 units
    DiagramPanel p{d, nullptr};
};

TEST_F(MouseAndZoom, ZoomButtonsHalveAndDoubleAboutTheCentreWithinTheDefaultView)
{
    const UnitView def = drawnUnits();
    ASSERT_TRUE(p.cmdallplus()->isEnabled());
    ASSERT_FALSE(p.cmdallminus()->isEnabled());
    QSignalSpy drawn(&p, &DiagramPanel::viewDrawn);

    p.cmdallplus()->click();
    EXPECT_EQ(drawn.count(), 2);  // one redraw per axis, none from the bar writes
    const UnitView half = drawnUnits();
    EXPECT_NEAR(half.width, def.width / 2, 1);
    EXPECT_NEAR(half.height, def.height / 2, 1);
    EXPECT_NEAR(half.left + half.width / 2, def.left + def.width / 2, 1);
    EXPECT_NEAR(half.top - half.height / 2, def.top - def.height / 2, 1);
    EXPECT_TRUE(p.cmdallminus()->isEnabled());
    // The bars hold the view drawn.
    EXPECT_EQ(p.scrwidth()->navValue(), std::lround(half.width));
    EXPECT_EQ(p.scrleft()->navValue(), std::lround(half.left));

    // Zoom in until the button gives up: both sizes below 9 units.
    int presses = 1;
    while (p.cmdallplus()->isEnabled() && presses < 40) {
        p.cmdallplus()->click();
        ++presses;
    }
    EXPECT_LT(p.scrwidth()->navValue(), 9);
    EXPECT_LT(p.scrheight()->navValue(), 9);
    EXPECT_GE(drawnUnits().width, 4);
    EXPECT_GE(drawnUnits().height, 4);

    // Zoom out until back at the full extent.
    presses = 0;
    while (p.cmdallminus()->isEnabled() && presses < 40) {
        p.cmdallminus()->click();
        ++presses;
    }
    EXPECT_TRUE(p.cmdallplus()->isEnabled());
    EXPECT_NEAR(drawnUnits().width, def.width, 1);
    EXPECT_NEAR(drawnUnits().height, def.height, 1);
    EXPECT_NEAR(drawnUnits().left, 0, 1e-9);
    EXPECT_NEAR(drawnUnits().top, def.top, 1);

    // "1:1" after zooming in to the smallest view offers "Zoom in" again, "Zoom out" not.
    while (p.cmdallplus()->isEnabled()) p.cmdallplus()->click();
    p.cmdresize()->click();
    EXPECT_TRUE(p.cmdallplus()->isEnabled());
    EXPECT_FALSE(p.cmdallminus()->isEnabled());
}

TEST_F(MouseAndZoom, DraggedRectangleBecomesExactlyTheViewAndTheBandGoes)
{
    const QPointF press = pixel(10000.4, 4000.7);
    const QPointF release = pixel(30000.2, 2500.3);
    const QPointF pu = units(press);
    const QPointF ru = units(release);
    send(pic(), QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    for (int k = 1; k <= 4; ++k)
        send(pic(), QEvent::MouseMove, press + (release - press) * (k / 4.0), Qt::NoButton, Qt::LeftButton);
    // The band is on the screen only, never in the picture itself.
    EXPECT_TRUE(anyRed(pic()->grab().toImage()));
    EXPECT_FALSE(anyRed(p.picture()));
    QSignalSpy drawn(&p, &DiagramPanel::viewDrawn);
    send(pic(), QEvent::MouseButtonRelease, release, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(drawn.count(), 1);
    EXPECT_FALSE(anyRed(pic()->grab().toImage()));

    const UnitView v = drawnUnits();
    EXPECT_NEAR(v.left, std::floor(pu.x()), 1e-3);
    EXPECT_NEAR(v.width, std::floor(ru.x()) - std::floor(pu.x()), 1e-3);
    EXPECT_NEAR(v.top, std::floor(pu.y()), 1e-2);
    EXPECT_NEAR(v.height, std::floor(pu.y()) - std::floor(ru.y()), 1e-2);
    EXPECT_TRUE(p.cmdallminus()->isEnabled());
    EXPECT_EQ(p.scrleft()->navValue(), static_cast<int>(std::floor(pu.x())));
    EXPECT_EQ(p.scrwidth()->navValue(), static_cast<int>(v.width));
}

TEST_F(MouseAndZoom, BandLeavingThePictureIsClippedAndAClickZoomsNothing)
{
    p.startzoom(20000, 40000, 25, 10);  // lower edge 15 m/s, right edge 60 s
    const UnitView before = drawnUnits();
    QSignalSpy drawn(&p, &DiagramPanel::viewDrawn);

    // A click, and a drag that ends up and to the left: nothing zoomed, the band gone.
    const QPointF at = pixel(before.left + 2000, before.top - 200);
    send(pic(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    send(pic(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    send(pic(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    send(pic(), QEvent::MouseMove, at - QPointF(30, 30), Qt::NoButton, Qt::LeftButton);
    send(pic(), QEvent::MouseButtonRelease, at - QPointF(30, 30), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(drawn.count(), 0);
    EXPECT_EQ(drawnUnits(), before);
    EXPECT_FALSE(anyRed(pic()->grab().toImage()));

    // Released far beyond the lower right corner: exactly the view's own right and lower
    // edges, also where the right edge lies between whole units.
    p.startzoom(20000, 40001, 25, 10);
    const UnitView wide = drawnUnits();
    ASSERT_NE(wide.left + wide.width, std::floor(wide.left + wide.width));
    drawn.clear();
    send(pic(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    const QPointF outside(pic()->width() + 400, pic()->height() + 300);
    send(pic(), QEvent::MouseMove, outside, Qt::NoButton, Qt::LeftButton);
    send(pic(), QEvent::MouseButtonRelease, outside, Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(drawn.count(), 1);
    const UnitView v = drawnUnits();
    EXPECT_NEAR(v.left + v.width, wide.left + wide.width, 1e-2);
    EXPECT_NEAR(v.top - v.height, wide.top - wide.height, 1e-2);
}

TEST_F(MouseAndZoom, RightDragPansWithThePointerWithinTheBars)
{
    p.startzoom(20000, 40000, 25, 10);
    const QPointF press = pixel(30000, 3500);
    const QPointF grabbed = units(press);
    send(pic(), QEvent::MouseButtonPress, press, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(pic()->cursor().shape(), Qt::ClosedHandCursor);
    const QPointF to = press + QPointF(-60, 35);
    send(pic(), QEvent::MouseMove, to, Qt::NoButton, Qt::RightButton);
    // The point pressed stays under the pointer, up to the whole units of the bars.
    EXPECT_NEAR(units(to).x(), grabbed.x(), 1.0);
    EXPECT_NEAR(units(to).y(), grabbed.y(), 1.0);
    EXPECT_GT(drawnUnits().left, 10000);
    send(pic(), QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(pic()->cursor().shape(), Qt::ArrowCursor);

    // Far beyond the ends: the view stops at the end of the record and the top of the default view.
    send(pic(), QEvent::MouseButtonPress, press, Qt::RightButton, Qt::RightButton);
    send(pic(), QEvent::MouseMove, press + QPointF(-5000, 5000), Qt::NoButton, Qt::RightButton);
    send(pic(), QEvent::MouseButtonRelease, press, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(p.scrleft()->navValue(), p.scrleft()->navMax());
    EXPECT_EQ(p.scrtop()->navValue(), p.scrtop()->navMin());
    EXPECT_NEAR(drawnUnits().left + drawnUnits().width, 55000, 1);

    // Both buttons held: neither pan nor band.
    const UnitView before = drawnUnits();
    send(pic(), QEvent::MouseButtonPress, press, Qt::RightButton, Qt::RightButton);
    send(pic(), QEvent::MouseMove, press + QPointF(80, -40), Qt::NoButton, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(drawnUnits(), before);
    send(pic(), QEvent::MouseButtonRelease, press, Qt::RightButton, Qt::NoButton);
}

TEST_F(MouseAndZoom, PanRedrawsOncePerFrame)
{
    p.startzoom(20000, 40000, 25, 10);
    p.show();
    QApplication::processEvents();
    PaintCounter counter;
    pic()->installEventFilter(&counter);
    const QPointF press = pixel(30000, 3500);
    send(pic(), QEvent::MouseButtonPress, press, Qt::RightButton, Qt::RightButton);
    for (int k = 1; k <= 25; ++k) send(pic(), QEvent::MouseMove, press + QPointF(-2 * k, k), Qt::NoButton, Qt::RightButton);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    send(pic(), QEvent::MouseButtonRelease, press, Qt::RightButton, Qt::NoButton);
}

TEST_F(MouseAndZoom, NothingMovesWithoutANumberOrOnAnOverflowedDiagram)
{
    p.startzoom(20000, 40000, 25, 10);
    const UnitView before = drawnUnits();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    Navigation& nav = p.navigation();
    nav.mousedown(0, 2, 0, 30000, 3500);
    nav.mousemove(0, 2, 0, nan, 3500);
    nav.mousemove(0, 2, 0, 30000, inf);
    nav.mouseup(0, 2, 0, 30000, 3500);
    nav.mousedown(0, 1, 0, 25000, 4000);
    nav.mouseup(0, 1, 0, inf, -inf);
    EXPECT_EQ(drawnUnits(), before);
    EXPECT_TRUE(pic()->autoRedraw());

    state::TabchildData big = makeData(1, 100, 0.1);
    big.headerValues(9, 1) = "9e6";
    DiagramPanel o(big, nullptr);
    o.setlegend();
    o.Resize();
    ASSERT_EQ(o.txtnTag(), "1");
    const View def = o.drawnView();
    o.navigation().cmdallplus_Click();
    o.navigation().cmdallminus_Click();
    const QPointF a = o.picdiagram()->toPixel(1000, 1000);
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
        send(o.picdiagram(), QEvent::MouseButtonPress, a, b, b);
        send(o.picdiagram(), QEvent::MouseMove, a + QPointF(80, 60), Qt::NoButton, b);
        send(o.picdiagram(), QEvent::MouseButtonRelease, a + QPointF(80, 60), b, Qt::NoButton);
    }
    o.navigation().mousedown(0, 1, 0, 1000, 1000);
    o.navigation().mouseup(0, 1, 0, 9000, 100);
    EXPECT_EQ(o.drawnView(), def);
}

}  // namespace
}  // namespace diagram
