#include "report/grid_picture.h"

#include "analysis/flex_grid.h"
#include "platform/twips.h"

#include <QHeaderView>
#include <QPainter>

#include <vector>

namespace report {

namespace {

Qt::Alignment alignment(int code)
{
    using G = analysis::FlexGrid;
    switch (code) {
    case G::LeftTop: return Qt::AlignLeft | Qt::AlignTop;
    case G::LeftBottom: return Qt::AlignLeft | Qt::AlignBottom;
    case G::CenterTop: return Qt::AlignHCenter | Qt::AlignTop;
    case G::CenterCenter: return Qt::AlignCenter;
    case G::CenterBottom: return Qt::AlignHCenter | Qt::AlignBottom;
    case G::RightTop: return Qt::AlignRight | Qt::AlignTop;
    case G::RightCenter: return Qt::AlignRight | Qt::AlignVCenter;
    case G::RightBottom: return Qt::AlignRight | Qt::AlignBottom;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

constexpr int kDefaultColumn = 64;  // pixels of a column without a width of its own

}  // namespace

QImage wholeGridPicture(const analysis::FlexGrid& grid)
{
    const int rows = grid.rows(), cols = grid.cols();
    if (rows <= 0 || cols <= 0) return {};
    const int rowHeight = grid.verticalHeader()->defaultSectionSize();
    std::vector<int> left{0};
    for (int c = 0; c < cols; ++c) {
        const int twips = grid.colWidth(c);
        left.push_back(left.back() + (twips >= 0 ? platform::px(twips) : kDefaultColumn));
    }
    // The grid as it shows when it takes input, whatever the state of its window.
    const QPalette palette = grid.palette();
    const auto colour = [&palette](QPalette::ColorRole role) { return palette.color(QPalette::Active, role); };

    QImage image(left.back() + 1, rows * rowHeight + 1, QImage::Format_RGB32);
    image.fill(colour(QPalette::Base));
    QPainter p(&image);
    p.setFont(grid.font());
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const QRect cell(left[static_cast<std::size_t>(c)], r * rowHeight,
                             left[static_cast<std::size_t>(c) + 1] - left[static_cast<std::size_t>(c)], rowHeight);
            const bool fixed = r < grid.fixedRows() || c < grid.fixedCols();
            if (fixed) p.fillRect(cell, colour(QPalette::Button));
            p.setPen(colour(QPalette::Mid));
            p.drawRect(cell);
            p.setPen(colour(fixed ? QPalette::ButtonText : QPalette::Text));
            p.drawText(cell.adjusted(3, 0, -3, 0), alignment(fixed ? grid.fixedAlignment(c) : grid.colAlignment(c)),
                       grid.textMatrix(r, c));
        }
    }
    p.end();
    return image;
}

}  // namespace report
