#include "diagram/core/defaults.h"
#include "diagram/diagram_panel.h"
#include "diagram/overview.h"
#include "platform/fakes.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace diagram {
namespace {

state::TabchildData makeData(int n, double dt, double vmax)
{
    state::TabchildData d;
    d.setCount = 1;
    d.sampleCount = n;
    d.sampleInterval = dt;
    d.velocitySamples.resize(n, 1);
    d.dataFileNames[1] = "run1.ctd";
    for (int r = 0; r <= n; ++r) d.velocitySamples(r, 1) = vmax - (vmax - 10.0) * (r - 1.0) / (n - 1.0);
    d.headerValues.resize(25, 1);
    d.headerValues(9, 1) = std::to_string(vmax);
    d.headerValues(8, 1) = "10";
    return d;
}

// The pixels of one colour: their bounding box, empty when there are none.
QRect boundsOf(const QImage& img, QRgb colour)
{
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) r |= QRect(x, y, 1, 1);
    return r;
}

constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kDarkBlue = qRgb(0, 0, 160);

class Overview : public ::testing::Test {
protected:
    void SetUp() override
    {
        initDiagramDefaults();
        picover.resize(175, 111);  // 2630 x 1665 twips
        for (DiagramPanel* p : {&a, &b}) {
            p->setOverviewPicture([this] { return &picover; });
            p->setlegend();
            p->chk(0)->setChecked(true);
            p->Resize();
        }
    }
    // The rectangle shown on the screen, against the one a view (internal units) should give.
    void expectRectangle(const UnitView& v, const char* what)
    {
        SCOPED_TRACE(what);
        const QRect shown = boundsOf(picover.grab().toImage(), kRed);
        ASSERT_FALSE(shown.isEmpty());
        const UnitView r = overviewRectangle(v, picover.scale(), {picover.width(), picover.height()});
        const QPointF tl = picover.toPixel(r.left, r.top);
        const QPointF br = picover.toPixel(r.left + r.width, r.top - r.height);
        EXPECT_NEAR(shown.left(), tl.x(), 1.5);
        EXPECT_NEAR(shown.top(), tl.y(), 1.5);
        EXPECT_NEAR(shown.right(), br.x(), 1.5);
        EXPECT_NEAR(shown.bottom(), br.y(), 1.5);
    }
    UnitView drawn(const DiagramPanel& p) const { return toUnits(p.drawnView()); }

    platform::ScopedFakes fakes;
    OverviewSurface picover;
    state::TabchildData da = makeData(1000, 0.1, 30);  // 100 s
    state::TabchildData db = makeData(400, 0.05, 40);  // 20 s, faster
    DiagramPanel a{da, nullptr};
    DiagramPanel b{db, nullptr};
};

TEST_F(Overview, MiniatureOfTheWholeRecordAndARectangleThatFollowsTheView)
{
    a.diaoverview();
    a.activate_drawinoverview();
    EXPECT_EQ(picover.owner(), &a);
    EXPECT_EQ(picover.scale(), overviewScale(recordExtent(da)));
    // The curve in its legend colour, from time 0 to the end of the record; the rectangle on the
    // screen only.
    const QImage mini = picover.picture();
    const QRect curve = boundsOf(mini, kDarkBlue);
    ASSERT_FALSE(curve.isEmpty());
    EXPECT_NEAR(curve.left(), picover.toPixel(0, 0).x(), 1.5);
    EXPECT_NEAR(curve.right(), picover.toPixel(999 * 100 * kXUnitsPerMs, 0).x(), 1.5);
    EXPECT_NEAR(curve.top(), picover.toPixel(0, 30 * kYUnitsPerMps).y(), 1.5);
    EXPECT_TRUE(boundsOf(mini, kRed).isEmpty());
    expectRectangle(drawn(a), "default view");

    a.cmdallplus()->click();
    expectRectangle(drawn(a), "zoomed in");
    a.scrleft()->setNavValue(a.scrleft()->navValue() + 3000);
    expectRectangle(drawn(a), "scrolled");
    QWidget* pic = a.picdiagram();
    const QPointF at = pic->rect().center();
    for (auto [type, button, held] : {std::tuple{QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton},
                                      std::tuple{QEvent::MouseMove, Qt::NoButton, Qt::RightButton},
                                      std::tuple{QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton}}) {
        QMouseEvent e(type, type == QEvent::MouseButtonPress ? at : at + QPointF(-50, -20), pic->mapToGlobal(at), button,
                      Qt::MouseButtons(held), Qt::NoModifier);
        QApplication::sendEvent(pic, &e);
    }
    expectRectangle(drawn(a), "panned");
    // A view far smaller than the overview is drawn at its smallest size.
    a.startzoom(30000, 20, 20, 0.1);
    const QRect tiny = boundsOf(picover.grab().toImage(), kRed);
    EXPECT_NEAR(tiny.width(), picover.width() / 100.0, 1.5);
    EXPECT_NEAR(tiny.height(), picover.height() / 20.0, 1.5);

    // A new colour repaints the miniature and keeps the rectangle.
    fakes.colors.answers.push_back(QColor(250, 120, 0));
    emit a.piclegend(0)->pressed(1);
    EXPECT_FALSE(boundsOf(picover.picture(), qRgb(250, 120, 0)).isEmpty());
    EXPECT_FALSE(boundsOf(picover.grab().toImage(), kRed).isEmpty());

    // With no box ticked only the frame is left.
    a.chk(0)->setChecked(false);
    EXPECT_TRUE(boundsOf(picover.picture(), kDarkBlue).isEmpty());
    EXPECT_TRUE(boundsOf(picover.picture(), qRgb(250, 120, 0)).isEmpty());
    EXPECT_FALSE(boundsOf(picover.picture(), qRgb(0, 0, 0)).isEmpty());
}

TEST_F(Overview, TheRectangleStaysWholeInsideAtTheRecordsEnd)
{
    a.diaoverview();
    a.activate_drawinoverview();
    // Every side of the rectangle: its columns and rows of red over nearly all its extent.
    const auto expectFourSides = [this](const char* what) {
        SCOPED_TRACE(what);
        const QImage img = picover.grab().toImage();
        const QRect r = boundsOf(img, kRed);
        ASSERT_FALSE(r.isEmpty());
        EXPECT_TRUE(img.rect().contains(r));
        const auto reds = [&](QPoint from, QPoint step, int n) {
            int k = 0;
            for (int i = 0; i < n; ++i, from += step) k += (img.pixel(from) & 0xFFFFFF) == (kRed & 0xFFFFFF);
            return k;
        };
        EXPECT_GE(reds(r.topLeft(), {0, 1}, r.height()), r.height() - 2) << "left";
        EXPECT_GE(reds(r.topRight(), {0, 1}, r.height()), r.height() - 2) << "right";
        EXPECT_GE(reds(r.topLeft(), {1, 0}, r.width()), r.width() - 2) << "top";
        EXPECT_GE(reds(r.bottomLeft(), {1, 0}, r.width()), r.width() - 2) << "bottom";
    };
    expectFourSides("default view");
    a.cmdallplus()->click();
    a.cmdallplus()->click();
    a.scrleft()->setNavValue(a.scrleft()->navMax());
    expectFourSides("zoomed twice, at the record's end");
    a.scrtop()->setNavValue(a.scrtop()->navMax());
    expectFourSides("at the record's end and at the bottom");
    a.startzoom(drawn(a).left / kXUnitsPerMs + drawn(a).width / kXUnitsPerMs - 20, 20, 20, 0.1);
    expectFourSides("a view far smaller than the overview at the record's end");
}

TEST_F(Overview, FollowsTheWindowActivatedLast)
{
    a.diaoverview();
    a.activate_drawinoverview();
    b.startzoom(2000, 8000, 35, 10);  // another window's redraw leaves this miniature alone
    EXPECT_EQ(picover.owner(), &a);
    expectRectangle(drawn(a), "a's view");

    b.diaoverview();
    b.activate_drawinoverview();
    EXPECT_EQ(picover.owner(), &b);
    EXPECT_EQ(picover.scale(), overviewScale(recordExtent(db)));
    expectRectangle(drawn(b), "b's view");
    a.cmdallplus()->click();
    expectRectangle(drawn(b), "still b's view");

    // The window closes without clearing the picture: nothing of it is drawn any more.
    auto c = std::make_unique<DiagramPanel>(da, nullptr);
    c->setOverviewPicture([this] { return &picover; });
    c->setlegend();
    c->chk(0)->setChecked(true);
    c->Resize();
    c->diaoverview();
    c->activate_drawinoverview();
    ASSERT_FALSE(boundsOf(picover.picture(), kDarkBlue).isEmpty());
    c.reset();
    EXPECT_EQ(picover.owner(), nullptr);
    EXPECT_TRUE(boundsOf(picover.picture(), kDarkBlue).isEmpty());
    EXPECT_TRUE(boundsOf(picover.grab().toImage(), kRed).isEmpty());

    b.diaoverview();
    picover.clear();
    EXPECT_EQ(picover.owner(), nullptr);
    EXPECT_TRUE(boundsOf(picover.grab().toImage(), kRed).isEmpty());
    EXPECT_TRUE(boundsOf(picover.picture(), kDarkBlue).isEmpty());
}

}  // namespace
}  // namespace diagram
