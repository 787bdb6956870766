#include "diagram/core/defaults.h"
#include "diagram/core/scroll_model.h"
#include "diagram/diagram_panel.h"
#include "platform/fakes.h"
#include "tests/diagram/paint_counter.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace diagram {
namespace {

// A window state as the readers leave it: `sets` runs of n samples at dt, falling linearly from
// 30 to 10 m/s (run s shifted down by s - 1 m/s); optionally with fitted curves.
state::TabchildData makeData(int sets, int n, double dt, bool fitted = false)
{
    state::TabchildData d;
    d.setCount = sets;
    d.sampleCount = n;
    d.sampleInterval = dt;
    d.velocitySamples.resize(n, sets);
    if (fitted) d.fittedVelocities.resize(n, sets);
    for (int s = 1; s <= sets; ++s) {
        d.dataFileNames[static_cast<std::size_t>(s)] = "run" + std::to_string(s) + ".ctd";
        for (int r = 0; r <= n; ++r) {
            const double t = n > 1 ? (r - 1.0) / (n - 1.0) : 0;
            d.velocitySamples(r, s) = 30.0 - 20.0 * t - (s - 1);
            if (fitted) d.fittedVelocities(r, s) = 30.0 - 20.0 * t * t - (s - 1);
        }
    }
    d.headerValues.resize(25, sets);
    d.headerValues(9, 1) = "30";
    d.headerValues(8, 1) = "10";
    return d;
}

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override { initDiagramDefaults(); }
    platform::ScopedFakes fakes;
};

int countColour(const QImage& img, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
    return n;
}

// True when a pixel of the colour lies within one pixel of (x, y).
bool colourNear(const QImage& img, QPointF at, QRgb colour)
{
    const int cx = static_cast<int>(std::floor(at.x()));
    const int cy = static_cast<int>(std::floor(at.y()));
    for (int y = cy - 1; y <= cy + 1; ++y)
        for (int x = cx - 1; x <= cx + 1; ++x)
            if (img.valid(x, y) && (img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) return true;
    return false;
}

TEST_F(PanelTest, LegendOfOneDataSet)
{
    state::TabchildData d = makeData(1, 100, 0.1);
    DiagramPanel p(d, nullptr);
    p.setlegend();
    EXPECT_FALSE(p.chk(0)->isHidden());
    EXPECT_EQ(p.chk(0)->text(), "run1.ctd");
    EXPECT_EQ(p.chk(0)->toolTip(), "run1.ctd");
    EXPECT_TRUE(p.chk(0)->isEnabled());
    EXPECT_EQ(p.chk(1)->text(), "Solution 1");
    EXPECT_EQ(p.chk(1)->toolTip(), "Solution of equation of motion");
    EXPECT_FALSE(p.chk(1)->isEnabled());
    EXPECT_FALSE(p.piclegend(1)->isEnabled());
    for (int i = 2; i <= 60; ++i) {
        EXPECT_TRUE(p.chk(i)->isHidden()) << i;
        EXPECT_EQ(p.chk(i)->text(), QString("Nr.%1").arg(i));
    }
    EXPECT_EQ(p.piclegend(0)->backColor(), 10485760);
    EXPECT_EQ(p.piclegend(1)->backColor(), 16744448);
    EXPECT_TRUE(p.scrupdown()->isHidden());
    EXPECT_EQ(p.findChildren<QCheckBox*>("chk").size(), 61);

    // A right click on the disabled fitted entry cannot reach the colour dialog.
    p.enableFittedEntries();
    EXPECT_TRUE(p.chk(1)->isEnabled());
    EXPECT_TRUE(p.piclegend(1)->isEnabled());
    EXPECT_TRUE(p.chk(2)->isHidden());
}

TEST_F(PanelTest, ALongNameEndsInAnEllipsisInsideTheLegendFrame)
{
    // Two runs whose names differ only at the end, far longer than the legend is wide.
    state::TabchildData d = makeData(2, 20, 0.1);
    const std::string stem = "A4_Avant_coastdown_2026-05-14_north_";
    d.dataFileNames[1] = stem + "run1.ctd";
    d.dataFileNames[2] = stem + "run2.ctd";
    DiagramPanel p(d, nullptr);
    p.setlegend();
    p.show();
    QApplication::processEvents();
    QWidget* frame = p.chk(0)->parentWidget();
    const QImage img = frame->grab().toImage();
    const auto inkColumns = [&](int row, int from, int to) {
        const QRect r = p.chk(row)->geometry();
        int dark = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = from; x <= to; ++x) dark += img.valid(x, y) && qGray(img.pixel(x, y)) < 100;
        return dark;
    };
    for (int i : {0, 2}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(inkColumns(i, frame->width() - 4, frame->width() - 1), 0);  // nothing cut by the frame
        EXPECT_GT(inkColumns(i, p.chk(i)->x() + 20, frame->width() - 5), 30);
        EXPECT_EQ(p.chk(i)->text().toStdString(), d.dataFileNames[static_cast<std::size_t>(i / 2 + 1)]);
        EXPECT_EQ(p.chk(i)->toolTip(), p.chk(i)->text());
    }
    // What is shown keeps the end that tells the two apart.
    const QRect a = p.chk(0)->geometry().intersected(frame->rect());
    const QRect b = p.chk(2)->geometry().intersected(frame->rect());
    EXPECT_FALSE(img.copy(a) == img.copy(b));
}

TEST_F(PanelTest, AnAmpersandInANameIsShownAndIsNoAccessKey)
{
    state::TabchildData d = makeData(2, 20, 0.1);
    d.dataFileNames[1] = "a&b.ctd";
    d.dataFileNames[2] = "ab.ctd";
    DiagramPanel p(d, nullptr);
    p.setlegend();
    p.show();
    QApplication::processEvents();
    const QImage img = p.chk(0)->parentWidget()->grab().toImage();
    const auto ink = [&](int row) {
        const QRect r = p.chk(row)->geometry();
        int dark = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left() + 20; x <= r.right(); ++x) dark += img.valid(x, y) && qGray(img.pixel(x, y)) < 100;
        return dark;
    };
    EXPECT_GT(ink(0), ink(2) + 10);  // the "&" is drawn, not taken for an underline
    EXPECT_TRUE(p.chk(0)->shortcut().isEmpty());
    EXPECT_EQ(p.chk(0)->text(), QStringLiteral("a&b.ctd"));
}

TEST_F(PanelTest, LegendRowsAndScrollBarFollowTheNumberOfDataSets)
{
    struct Case {
        int sets;
        int rowTwips;
        int scrollMax;  // -1: hidden
    };
    for (const Case& c : {Case{6, 433, -1}, Case{7, 325, -1}, Case{8, 325, -1}, Case{9, 325, 975}, Case{30, 325, 14625}}) {
        SCOPED_TRACE(c.sets);
        state::TabchildData d = makeData(c.sets, 20, 0.1);
        DiagramPanel p(d, nullptr);
        p.setlegend();
        const int dy = p.chk(2)->y() - p.chk(0)->y();
        EXPECT_NEAR(dy * 15, 2 * c.rowTwips, 15);
        // Each colour box is centred on its check box; measured entries sit 50 twips lower.
        EXPECT_NEAR(p.piclegend(0)->geometry().center().y(), p.chk(0)->geometry().center().y(), 1);
        EXPECT_NEAR((p.chk(1)->y() - p.chk(0)->y()) * 15, c.rowTwips - 50, 15);
        if (c.scrollMax < 0) {
            EXPECT_TRUE(p.scrupdown()->isHidden());
        } else {
            EXPECT_FALSE(p.scrupdown()->isHidden());
            EXPECT_EQ(p.scrupdown()->maximum(), c.scrollMax);
        }
        EXPECT_FALSE(p.chk(2 * c.sets - 1)->isHidden());
        EXPECT_TRUE(p.chk(2 * c.sets)->isHidden());
        EXPECT_EQ(p.chk(2 * c.sets - 2)->text(), QString("run%1.ctd").arg(c.sets));
        EXPECT_EQ(p.piclegend(2 * c.sets - 2)->backColor(), curveColourNumber(2 * c.sets - 2));
    }
    // Thirty sets: the legend scrolls its inner panel.
    state::TabchildData d = makeData(30, 20, 0.1);
    DiagramPanel p(d, nullptr);
    p.setlegend();
    const int before = p.chk(0)->mapTo(&p, QPoint(0, 0)).y();
    p.scrupdown()->setValue(1500);
    EXPECT_EQ(before - p.chk(0)->mapTo(&p, QPoint(0, 0)).y(), 100);
    EXPECT_TRUE(p.chk(60)->isHidden());
}

TEST_F(PanelTest, RebuildingTheLegendRestoresColoursKeepsTicksAndDisablesFittedEntries)
{
    state::TabchildData d = makeData(2, 50, 0.1, true);
    DiagramPanel p(d, nullptr);
    p.setlegend();
    p.Resize();
    p.enableFittedEntries();
    p.chk(3)->setChecked(true);
    fakes.colors.answers.push_back(QColor(255, 0, 0));
    ASSERT_TRUE(p.changelegendcolour(2));
    EXPECT_EQ(p.piclegend(2)->colour(), QColor(255, 0, 0));
    p.setlegend();
    EXPECT_EQ(p.piclegend(2)->backColor(), 1381785);
    EXPECT_TRUE(p.chk(3)->isChecked());
    EXPECT_FALSE(p.chk(3)->isEnabled());
}

TEST_F(PanelTest, PixelsShowBackgroundCurvesInTheirColoursAndTheGrid)
{
    state::TabchildData d = makeData(2, 40, 0.5, true);
    DiagramPanel p(d, nullptr);
    p.setlegend();
    p.Resize();
    const QRgb darkBlue = qRgb(0, 0, 160);
    const QRgb darkRed = qRgb(153, 21, 21);
    const QRgb grey = qRgb(0x80, 0x80, 0x80);
    QImage img = p.picture();
    EXPECT_EQ(img.size(), p.picdiagram()->size());
    EXPECT_EQ(img.pixel(img.width() - 2, 2) & 0xFFFFFF, 0xFFFFFFu);  // background
    EXPECT_EQ(countColour(img, darkBlue), 0);                         // nothing ticked yet
    const int greyWithoutGrid = countColour(img, grey);  // the odd anti-aliased label pixel

    p.chk(0)->setChecked(true);
    EXPECT_TRUE(p.pictest()->isHidden());
    img = p.picture();
    const DrawingSurface& s = *p.picdiagram();
    for (int r : {1, 10, 25, 40}) {
        const double x = (r - 1) * 500.0 * kXUnitsPerMs;
        const double y = d.velocitySamples(r, 1) * kYUnitsPerMps;
        EXPECT_TRUE(colourNear(img, s.toPixel(x, y), darkBlue)) << r;
    }
    EXPECT_EQ(countColour(img, darkRed), 0);  // set 2 unticked
    p.chk(2)->setChecked(true);
    EXPECT_GT(countColour(p.picture(), darkRed), 0);
    p.chk(0)->setChecked(false);
    EXPECT_EQ(countColour(p.picture(), darkBlue), 0);

    // Fitted curve of set 1 in the colour of box 1, over the measured curves.
    p.enableFittedEntries();
    p.chk(1)->setChecked(true);
    img = p.picture();
    const int r = 20;
    EXPECT_TRUE(colourNear(img, s.toPixel((r - 1) * 250.0, d.fittedVelocities(r, 1) * kYUnitsPerMps), qRgb(0, 128, 255)));

    p.chkgrid()->setChecked(true);
    EXPECT_GT(countColour(p.picture(), grey), greyWithoutGrid + 100);
    // Another scale colour draws the grid in that colour.
    fakes.colors.answers.push_back(QColor(0, 160, 0));
    QMetaObject::invokeMethod(p.lblscale(), "clicked");
    img = p.picture();
    EXPECT_LE(countColour(img, grey), greyWithoutGrid);
    EXPECT_GT(countColour(img, qRgb(0, 160, 0)), 50);
}

TEST_F(PanelTest, CurvesJoinRowsOneToNOnly)
{
    // Row 0 (a series' coupled start velocity) lies far below the curve and is never drawn.
    state::TabchildData d = makeData(1, 40, 0.5);
    d.velocitySamples(0, 1) = 11.0;
    DiagramPanel p(d, nullptr);
    p.setlegend();
    p.Resize();
    p.chk(0)->setChecked(true);
    const QImage img = p.picture();
    const QRgb darkBlue = qRgb(0, 0, 160);
    const QPointF row0 = p.picdiagram()->toPixel(0, 11.0 * kYUnitsPerMps);
    EXPECT_FALSE(colourNear(img, row0, darkBlue));
    EXPECT_TRUE(colourNear(img, p.picdiagram()->toPixel(0, 30.0 * kYUnitsPerMps), darkBlue));

    // A record of one sample has no segment to draw.
    state::TabchildData one = makeData(1, 1, 0.5);
    DiagramPanel q(one, nullptr);
    q.setlegend();
    q.Resize();
    q.chk(0)->setChecked(true);
    EXPECT_EQ(countColour(q.picture(), darkBlue), 0);
}

TEST_F(PanelTest, ColourDialogRecoloursAndCancelChangesNothing)
{
    state::TabchildData d = makeData(1, 40, 0.5);
    DiagramPanel p(d, nullptr);
    p.setlegend();
    p.Resize();
    p.chk(0)->setChecked(true);
    QSignalSpy drawn(&p, &DiagramPanel::viewDrawn);

    fakes.colors.answers.push_back(std::nullopt);
    emit p.piclegend(0)->pressed(1);
    EXPECT_EQ(p.piclegend(0)->backColor(), 10485760);
    EXPECT_EQ(drawn.count(), 0);

    fakes.colors.answers.push_back(QColor(255, 0, 255));
    emit p.chk(0)->rightPressed();
    EXPECT_EQ(p.piclegend(0)->colour(), QColor(255, 0, 255));
    EXPECT_EQ(drawn.count(), 1);
    EXPECT_GT(countColour(p.picture(), qRgb(255, 0, 255)), 0);
    EXPECT_EQ(countColour(p.picture(), qRgb(0, 0, 160)), 0);
    // The dialog starts at the colour last chosen in this window.
    fakes.colors.answers.push_back(std::nullopt);
    emit p.piclegend(0)->pressed(2);
    ASSERT_EQ(fakes.colors.requests.size(), 3u);
    EXPECT_EQ(fakes.colors.requests.back(), QColor(255, 0, 255));

    // Background colour of the picture.
    fakes.colors.answers.push_back(QColor(255, 255, 200));
    QMetaObject::invokeMethod(p.lblbackground(), "clicked");
    const QImage img = p.picture();
    EXPECT_EQ(img.pixel(img.width() - 2, 2) & 0xFFFFFF, qRgb(255, 255, 200) & 0xFFFFFF);
}

TEST_F(PanelTest, ScrollBarsMoveTheViewAndResetReturnsToTheDefault)
{
    state::TabchildData d = makeData(1, 1000, 0.1);  // 100 s, 30 / 10 m/s
    DiagramPanel p(d, nullptr);
    p.setlegend();
    QSignalSpy drawn(&p, &DiagramPanel::viewDrawn);
    p.Resize();
    EXPECT_EQ(drawn.count(), 1);  // the bar writes do not redraw again
    EXPECT_FALSE(p.cmdallminus()->isEnabled());
    EXPECT_EQ(p.txtnTag(), "");
    EXPECT_EQ(p.scrleft()->navValue(), 0);
    EXPECT_EQ(p.scrleft()->navMax(), 0);
    EXPECT_EQ(p.scrwidth()->navValue(), p.scrwidth()->navMax());
    EXPECT_EQ(p.scrtop()->navValue(), p.scrtop()->navMin());
    const View def = p.drawnView();

    // A zoomed view (as the zoom writes it), then the data browser's arrows move the bars.
    settings().zoomPending = true;
    p.startzoom(20000, 50000, 25, 10);
    EXPECT_EQ(drawn.count(), 2);
    EXPECT_EQ(p.scrleft()->navValue(), 10000);
    EXPECT_EQ(p.scrleft()->navMax(), 55000 - 25000);
    EXPECT_EQ(p.scrwidth()->navValue(), 25000);
    p.scrleft()->setNavValue(10010);
    EXPECT_EQ(drawn.count(), 3);
    EXPECT_DOUBLE_EQ(p.drawnView().left, 20020);
    EXPECT_DOUBLE_EQ(p.drawnView().width, 50000);
    EXPECT_EQ(p.scrtop()->navValue(), 4167);  // 25 m/s in units, rounded
    p.scrtop()->setNavValue(4162);
    EXPECT_EQ(drawn.count(), 4);
    EXPECT_NEAR(p.drawnView().top, 4162 / kYUnitsPerMps, 1e-9);
    // The user's drag on the Qt bar: the vertical bar's upper end is its Min.
    QScrollBar* top = p.scrtop();
    top->setValue(0);
    EXPECT_EQ(p.scrtop()->navValue(), p.scrtop()->navMin());
    EXPECT_NEAR(p.drawnView().top, def.top, 0.006);

    p.chkgrid()->setChecked(true);  // the grid box redraws the current view
    EXPECT_DOUBLE_EQ(p.drawnView().width, 50000);
    p.cmdresize()->click();
    EXPECT_EQ(p.drawnView(), def);
    EXPECT_FALSE(p.cmdallminus()->isEnabled());
}

TEST_F(PanelTest, OverflowWarnsOnceAndKeepsThePictureCopyable)
{
    state::TabchildData d = makeData(1, 100, 0.1);
    d.headerValues(9, 1) = "9e6";  // far beyond anything a scroll bar holds
    DiagramPanel p(d, nullptr);
    p.setlegend();
    QSignalSpy off(&p, &DiagramPanel::navigationSwitchedOff);
    p.Resize();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last().title, "Diagram warning");
    EXPECT_EQ(fakes.messages.last().text, "Overflow diagram border");
    EXPECT_EQ(fakes.messages.last().icon, platform::Icon::Information);
    EXPECT_EQ(p.txtnTag(), "1");
    EXPECT_EQ(off.count(), 1);
    EXPECT_FALSE(p.scrleft()->isEnabled());
    EXPECT_FALSE(p.scrtop()->isEnabled());
    EXPECT_FALSE(p.cmdresize()->isEnabled());
    EXPECT_FALSE(p.cmdallplus()->isEnabled());
    EXPECT_FALSE(p.picdiagram()->mouseNavigation());
    EXPECT_TRUE(p.picdiagram()->isEnabled());
    EXPECT_NE(p.picdiagram()->focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(p.picture().isNull());

    // Later redraws show the default view and warn no more.
    const View def = p.drawnView();
    p.chk(0)->setChecked(true);
    p.chkgrid()->setChecked(true);
    EXPECT_EQ(p.drawnView(), def);
    EXPECT_EQ(fakes.messages.shown.size(), 1u);

    // Panning stays blocked even when a bar is moved from outside (the data browser's arrows
    // act again once the window is activated anew).
    p.scrleft()->setNavValue(p.scrleft()->navValue() + 7);
    p.scrtop()->setNavValue(p.scrtop()->navValue() - 7);
    EXPECT_EQ(p.drawnView(), def);
}

TEST_F(PanelTest, SeveralChangesInOneEventGiveOnePaint)
{
    state::TabchildData d = makeData(1, 200, 0.1);
    DiagramPanel p(d, nullptr);
    p.setlegend();
    p.Resize();
    p.show();
    QApplication::processEvents();
    PaintCounter counter;
    p.picdiagram()->installEventFilter(&counter);
    p.chk(0)->setChecked(true);
    p.chkgrid()->setChecked(true);
    p.startscr();
    EXPECT_TRUE(p.picdiagram()->renderPending());
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    EXPECT_FALSE(p.picdiagram()->renderPending());
}

TEST_F(PanelTest, ReducedRenderingAgreesWithEverySample)
{
    const int n = 60000;
    state::TabchildData d = makeData(3, n, 0.01, true);
    for (int s = 1; s <= 3; ++s)
        for (int r = 1; r <= n; ++r) d.velocitySamples(r, s) += 0.8 * std::sin(r * 0.37 * s) + 0.3 * std::sin(r * 0.011);
    DiagramPanel p(d, nullptr);
    p.setlegend();
    p.enableFittedEntries();
    for (int i = 0; i < 6; ++i) p.chk(i)->setChecked(true);
    const auto compare = [&](const char* what) {
        SCOPED_TRACE(what);
        const QImage reduced = p.renderImage(QSize(600, 400), true);
        const QImage full = p.renderImage(QSize(600, 400), false);
        int differ = 0;
        int unmatched = 0;
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 600; ++x) {
                const QRgb a = reduced.pixel(x, y) & 0xFFFFFF;
                const QRgb b = full.pixel(x, y) & 0xFFFFFF;
                if (a == b) continue;
                ++differ;
                if (!colourNear(full, QPointF(x + 0.5, y + 0.5), a) || !colourNear(reduced, QPointF(x + 0.5, y + 0.5), b))
                    ++unmatched;
            }
        EXPECT_EQ(unmatched, 0);
        EXPECT_LT(differ, 600 * 400 / 200);
        EXPECT_GT(countColour(reduced, qRgb(0, 0, 160)), 100);
    };
    p.Resize();
    compare("default view");
    p.startzoom(100000, 200000, 28, 6);  // a quarter of the record, still many samples per pixel
    compare("zoomed");
    p.startzoom(100000, 1000, 28, 6);    // fewer samples than pixels: no reduction at all
    EXPECT_EQ(p.renderImage(QSize(600, 400), true), p.renderImage(QSize(600, 400), false));
}

TEST_F(PanelTest, CurvesFilledByColumnGiveTheSamePixelsAsSegmentBySegment)
{
    const int n = 60000;
    state::TabchildData d = makeData(3, n, 0.01, true);
    for (int s = 1; s <= 3; ++s)
        for (int r = 1; r <= n; ++r) d.velocitySamples(r, s) += 0.8 * std::sin(r * 0.37 * s) + 0.3 * std::sin(r * 0.011);
    DiagramPanel p(d, nullptr);
    p.setlegend();
    p.enableFittedEntries();
    for (int i = 0; i < 6; ++i) p.chk(i)->setChecked(true);
    p.piclegend(2)->setColour(QColor(250, 120, 0));
    const auto compare = [&](const char* what, QSize size) {
        SCOPED_TRACE(what);
        p.picdiagram()->setColumnSpans(false);
        const QImage segments = p.renderImage(size);
        p.picdiagram()->setColumnSpans(true);
        const QImage runs = p.renderImage(size);
        EXPECT_TRUE(runs == segments);
        EXPECT_GT(countColour(runs, qRgb(250, 120, 0)), 50);
    };
    p.Resize();
    compare("default view", QSize(600, 400));
    compare("another picture size", QSize(1013, 377));
    p.startzoom(100000, 200000, 28, 6);  // a quarter of the record, curves leave at the top and bottom
    compare("zoomed", QSize(600, 400));
    p.startzoom(100000, 3000, 28, 6);  // fewer samples than pixel columns
    compare("every sample", QSize(600, 400));
}


TEST_F(PanelTest, ARecalculationOrRefillIsDrawnNotTheCurveBefore)
{
    const int n = 40000;
    state::TabchildData d = makeData(2, n, 0.01, true);
    DiagramPanel p(d, nullptr);
    p.setlegend();
    p.enableFittedEntries();
    for (int i = 0; i < 4; ++i) p.chk(i)->setChecked(true);
    p.startzoom(50000, 150000, 30, 14);  // zoomed, still many samples per pixel
    QImage before = p.renderImage(QSize(600, 400), true);
    ASSERT_EQ(p.renderImage(QSize(600, 400), true), before);  // the kept points draw the same

    const auto expectCurrent = [&](const char* what) {
        SCOPED_TRACE(what);
        const QImage reduced = p.renderImage(QSize(600, 400), true);
        EXPECT_NE(reduced, before);
        before = reduced;
        int unmatched = 0;
        const QImage full = p.renderImage(QSize(600, 400), false);
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 600; ++x) {
                const QRgb a = reduced.pixel(x, y) & 0xFFFFFF;
                if (a != (full.pixel(x, y) & 0xFFFFFF) && !colourNear(full, QPointF(x + 0.5, y + 0.5), a)) ++unmatched;
            }
        EXPECT_EQ(unmatched, 0);
    };
    // A calculation writes new fitted values into the same array and bumps the version.
    for (int r = 1; r <= n; ++r) d.fittedVelocities(r, 1) -= 3.0;
    ++d.dataVersion;
    expectCurrent("new version");
    // One changed sample between the few the cache looks at: only the version tells.
    d.fittedVelocities(12345, 2) += 4.0;
    ++d.dataVersion;
    expectCurrent("one sample");
    // A refill of the same array that nobody announced is noticed too.
    const QImage second = p.renderImage(QSize(600, 400), true);
    for (int r = 1; r <= n; ++r) d.velocitySamples(r, 2) += 2.5 + 0.5 * std::sin(r * 0.05);
    EXPECT_NE(p.renderImage(QSize(600, 400), true), second);
    // New arrays of another length (a new record read).
    d = makeData(2, n / 2, 0.02, true);
    ++d.dataVersion;
    expectCurrent("new record");
}

TEST_F(PanelTest, RedrawsOfTheSameViewGiveThePicturesOfAFreshDrawing)
{
    const int n = 50000;
    state::TabchildData d = makeData(3, n, 0.01, true);
    for (int s = 1; s <= 3; ++s)
        for (int r = 1; r <= n; ++r) d.velocitySamples(r, s) += 0.6 * std::sin(r * 0.41 * s);
    const auto panel = [&d] {
        auto p = std::make_unique<DiagramPanel>(d, nullptr);
        p->setlegend();
        p->enableFittedEntries();
        for (int i : {0, 1, 3, 4}) p->chk(i)->setChecked(true);
        return p;
    };
    const std::unique_ptr<DiagramPanel> p = panel();
    struct Case {
        View view;
        QSize size;
    };
    const Case cases[] = {{defaultView(d), QSize(600, 400)},
                          {{100000, 200000, 28, 6}, QSize(600, 400)},
                          {{100000, 200000, 28, 6}, QSize(731, 389)},
                          {{120000, 3000, 27, 4}, QSize(600, 400)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size.width());
        p->startzoom(c.view.left, c.view.width, c.view.top, c.view.height);
        const std::unique_ptr<DiagramPanel> fresh = panel();
        fresh->startzoom(c.view.left, c.view.width, c.view.top, c.view.height);
        const QImage want = fresh->renderImage(c.size);
        for (int k = 0; k < 3; ++k) EXPECT_TRUE(p->renderImage(c.size) == want) << k;
    }
    // Another curve shown (which redraws the view the bars hold) and one recoloured: the others
    // are filled again, these drawn.
    p->chk(2)->setChecked(true);
    p->piclegend(0)->setColour(QColor(250, 120, 0));
    const std::unique_ptr<DiagramPanel> fresh = panel();
    fresh->chk(2)->setChecked(true);
    fresh->piclegend(0)->setColour(QColor(250, 120, 0));
    fresh->startzoom(120000, 3000, 27, 4);
    fresh->startscr();
    ASSERT_EQ(fresh->drawnView(), p->drawnView());
    EXPECT_TRUE(p->renderImage(QSize(600, 400)) == fresh->renderImage(QSize(600, 400)));
    EXPECT_TRUE(p->renderImage(QSize(600, 400)) == fresh->renderImage(QSize(600, 400)));
}

}  // namespace
}  // namespace diagram
