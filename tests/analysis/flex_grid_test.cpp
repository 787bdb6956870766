#include "analysis/flex_grid.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QHeaderView>
#include <QImage>
#include <QStyleOptionHeader>

#include <gtest/gtest.h>

#include <climits>
#include <memory>

using analysis::FlexGrid;

TEST(FlexGrid, CellsSourcesAndShape)
{
    FlexGrid g;
    g.setRows(5);
    g.setCols(3);
    g.setTextMatrix(1, 1, "a");
    g.setTextMatrix(4, 2, "far");
    g.setTextMatrix(5, 0, "outside");  // ignored
    EXPECT_EQ(g.textMatrix(1, 1), "a");
    EXPECT_EQ(g.textMatrix(5, 0), "");
    EXPECT_EQ(g.textMatrix(-1, 0), "");

    g.setColumnSource(1, 2, 3, [](int row) { return QString::number(row * 10); });
    EXPECT_EQ(g.textMatrix(2, 1), "20");
    EXPECT_EQ(g.textMatrix(3, 1), "30");
    EXPECT_EQ(g.textMatrix(4, 1), "");  // outside the source's rows
    g.setTextMatrix(2, 1, "set");
    EXPECT_EQ(g.textMatrix(2, 1), "set");  // a cell set explicitly wins

    g.setRows(3);  // shrinking drops what lies outside, growing brings empty cells
    g.setRows(5);
    EXPECT_EQ(g.textMatrix(4, 2), "");
    EXPECT_EQ(g.textMatrix(1, 1), "a");

    g.clearCells();
    EXPECT_EQ(g.textMatrix(1, 1), "");
    EXPECT_EQ(g.textMatrix(3, 1), "");
    EXPECT_EQ(g.rows(), 5);
}

TEST(FlexGrid, FixedRowAndColumnStayAsHeaders)
{
    FlexGrid g;
    g.setRows(1000001);
    g.setCols(2);
    g.setFixedRows(1);
    g.setFixedCols(1);
    g.setColWidth(0, 1800);
    g.setColWidth(1, 1500);
    g.setFixedAlignment(0, FlexGrid::LeftCenter);
    g.setColAlignment(1, FlexGrid::CenterCenter);
    g.setTextMatrix(0, 1, "title");
    g.setColumnSource(0, 1, 1000000, [](int row) { return QString::number(row); });
    g.setColumnSource(1, 1, 1000000, [](int row) { return QString::number(row * 2); });

    const QAbstractItemModel* m = g.model();
    EXPECT_EQ(m->rowCount(), 1000000);
    EXPECT_EQ(m->columnCount(), 1);
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "title");
    EXPECT_EQ(m->headerData(999999, Qt::Vertical).toString(), "1000000");
    EXPECT_EQ(m->data(m->index(999999, 0)).toString(), "2000000");
    EXPECT_EQ(m->data(m->index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    EXPECT_EQ(m->headerData(0, Qt::Vertical, Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(g.verticalHeader()->width(), 120);  // 1800 twips
    EXPECT_EQ(g.columnWidth(0), 100);            // 1500 twips
    EXPECT_EQ(g.colWidth(1), 1500);
    g.resize(300, 200);
    // Too many rows for one picture: the first ones, as many as fit in whole.
    const QImage img = g.picture();
    ASSERT_FALSE(img.isNull());
    EXPECT_LE(img.height(), FlexGrid::kMaxPictureHeight);
    EXPECT_LE(qint64{img.width()} * img.height(), FlexGrid::kMaxPicturePixels);
    EXPECT_GT(img.height(), FlexGrid::kMaxPictureHeight - 2 * g.verticalHeader()->defaultSectionSize());
}

TEST(FlexGrid, PictureHoldsTheWholeGridNotThePartOnScreen)
{
    FlexGrid g;
    g.setRows(61);
    g.setCols(3);
    for (int c = 0; c < 3; ++c) g.setColWidth(c, 1500);
    g.setTextMatrix(0, 1, "title");
    g.setTextMatrix(60, 2, "WWWWWWWW");
    g.resize(150, 80);
    g.show();

    const QImage img = g.picture();
    const int rowHeight = g.verticalHeader()->defaultSectionSize();
    const int top = 2 * g.frameWidth() + g.horizontalHeader()->height();
    EXPECT_EQ(img.width(), 2 * g.frameWidth() + g.verticalHeader()->width() + 2 * 100);
    EXPECT_EQ(img.height(), top + 60 * rowHeight);
    // The text of the last row, far below what the grid shows, is in the picture.
    int dark = 0;
    for (int y = img.height() - rowHeight; y < img.height(); ++y)
        for (int x = img.width() - 100; x < img.width(); ++x) dark += qGray(img.pixel(x, y)) < 100;
    EXPECT_GT(dark, 20);
}

// Rows whose heights would add up beyond an int hung the view: it lays out what it can and
// keeps the rest.
TEST(FlexGrid, MoreRowsThanTheViewCanLayOut)
{
    FlexGrid g;
    g.resize(400, 300);
    g.setRows(200000000);
    g.setCols(2);
    g.setFixedRows(1);
    g.setColumnSource(1, 31, 199999999, [](int row) { return QString::number(row); });
    g.show();
    g.scrollToBottom();
    QCoreApplication::processEvents();
    const qint64 shown = g.model()->rowCount();
    EXPECT_GT(shown, 100000000);
    EXPECT_LE(shown * g.verticalHeader()->defaultSectionSize(), INT_MAX);
    EXPECT_EQ(g.rows(), 200000000);
    EXPECT_EQ(g.textMatrix(199999999, 1), "199999999");
}

namespace {

// Dark pixels of a part of a widget's picture.
int inkIn(const QImage& img, const QRect& r)
{
    int dark = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) dark += img.valid(x, y) && qGray(img.pixel(x, y)) < 100;
    return dark;
}

}  // namespace

TEST(FlexGrid, NumbersWholeOrNotAtAll)
{
    FlexGrid g;
    g.setRows(4);
    g.setCols(3);
    g.setColWidth(0, 1800);
    g.setColWidth(1, 1500);
    g.setColWidth(2, 1500);
    // A number set into a cell widens its column to show it whole; a text keeps the width.
    const QString number = QStringLiteral("1.01234567890123E+100");
    g.setTextMatrix(1, 1, number);
    g.setTextMatrix(2, 1, QStringLiteral("12.5%"));
    g.setTextMatrix(1, 2, QStringLiteral("roof rails, no box, winter tyres"));
    const int need = g.fontMetrics().horizontalAdvance(number) + 4;
    EXPECT_GE(g.columnWidth(0), need);
    EXPECT_EQ(g.columnWidth(1), 100);
    g.setRows(5);  // a new shape keeps the width the numbers need
    EXPECT_GE(g.columnWidth(0), need);
    EXPECT_EQ(g.colWidth(1), 1500);

    // Narrowed by the user below what a number needs: the number is left out, a text is cut
    // with an ellipsis; both keep the whole as tooltip.
    g.setColumnSource(2, 3, 3, [](int) { return QStringLiteral("123456789.125"); });
    g.setColumnWidth(1, 40);
    g.resize(400, 200);
    g.show();
    QCoreApplication::processEvents();
    const QImage cells = g.viewport()->grab().toImage();
    const auto cell = [&](int row, int col) { return g.visualRect(g.model()->index(row, col)).adjusted(1, 1, -1, -1); };
    EXPECT_EQ(inkIn(cells, cell(2, 1)), 0);   // "123456789.125" in 40 px
    EXPECT_GT(inkIn(cells, cell(0, 1)), 10);  // the text, elided
    EXPECT_GT(inkIn(cells, cell(0, 0)), 10);  // the wide number, whole
    EXPECT_GT(inkIn(cells, cell(1, 0)), 10);  // "12.5%"
    EXPECT_EQ(g.model()->data(g.model()->index(2, 1), Qt::ToolTipRole).toString(), "123456789.125");
}

// A column title or row label too long for its section is shown elided: the same picture as
// the elided text itself (file names keep their start and their end).
TEST(FlexGrid, TitlesTooLongForTheirSectionEndInAnEllipsis)
{
    const QString name = QStringLiteral("A4_Avant_coastdown_2026-05-14_north_run1.ctd");
    const QString label = QStringLiteral("Vehicle frontal area, m\u00b2 : and more");
    const auto grid = [](const QString& title, const QString& rowLabel) {
        auto g = std::make_unique<FlexGrid>();
        g->setRows(3);
        g->setCols(2);
        g->setColWidth(0, 1200);
        g->setColWidth(1, 1500);
        g->setColAlignment(1, FlexGrid::CenterCenter);
        g->setFixedAlignment(0, FlexGrid::LeftCenter);
        g->setTextMatrix(0, 1, title);
        g->setTextMatrix(1, 0, rowLabel);
        g->resize(300, 150);
        g->show();
        QCoreApplication::processEvents();
        return g;
    };
    const auto room = [](const QHeaderView* h, int section) {
        QStyleOptionHeader opt;
        opt.initFrom(h);
        opt.rect = h->orientation() == Qt::Horizontal ? QRect(0, 0, h->sectionSize(section), h->height())
                                                      : QRect(0, 0, h->width(), h->sectionSize(section));
        return h->style()->subElementRect(QStyle::SE_HeaderLabel, &opt, h).width();
    };
    const auto whole = grid(name, label);
    QHeaderView* top = whole->horizontalHeader();
    QHeaderView* side = whole->verticalHeader();
    const QString shortName = top->fontMetrics().elidedText(name, Qt::ElideMiddle, room(top, 0));
    const QString shortLabel = side->fontMetrics().elidedText(label, Qt::ElideRight, room(side, 0));
    ASSERT_NE(shortName, name);
    ASSERT_NE(shortLabel, label);
    ASSERT_TRUE(shortName.startsWith(QStringLiteral("A4_")) && shortName.endsWith(QStringLiteral(".ctd")));
    const auto elided = grid(shortName, shortLabel);
    EXPECT_TRUE(top->grab().toImage() == elided->horizontalHeader()->grab().toImage());
    EXPECT_TRUE(side->grab().toImage() == elided->verticalHeader()->grab().toImage());
    EXPECT_EQ(whole->model()->headerData(0, Qt::Horizontal, Qt::ToolTipRole).toString(), name);
    EXPECT_EQ(whole->model()->headerData(0, Qt::Vertical, Qt::ToolTipRole).toString(), label);
}
