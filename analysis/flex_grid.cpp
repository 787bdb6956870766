#include "analysis/flex_grid.h"

#include "numbers/numbers.h"
#include "platform/twips.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHash>
#include <QHeaderView>
#include <QImage>
#include <QStringList>
#include <QStyledItemDelegate>

#include <algorithm>
#include <climits>
#include <vector>

namespace analysis {

namespace {

using platform::kTwipsPerPixel;
using platform::px;

Qt::Alignment qtAlignment(int code)
{
    switch (code) {
    case FlexGrid::LeftTop: return Qt::AlignLeft | Qt::AlignTop;
    case FlexGrid::LeftCenter: return Qt::AlignLeft | Qt::AlignVCenter;
    case FlexGrid::LeftBottom: return Qt::AlignLeft | Qt::AlignBottom;
    case FlexGrid::CenterTop: return Qt::AlignHCenter | Qt::AlignTop;
    case FlexGrid::CenterCenter: return Qt::AlignCenter;
    case FlexGrid::CenterBottom: return Qt::AlignHCenter | Qt::AlignBottom;
    case FlexGrid::RightTop: return Qt::AlignRight | Qt::AlignTop;
    case FlexGrid::RightCenter: return Qt::AlignRight | Qt::AlignVCenter;
    case FlexGrid::RightBottom: return Qt::AlignRight | Qt::AlignBottom;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

quint64 cellKey(int row, int col) { return (static_cast<quint64>(static_cast<quint32>(row)) << 32) | static_cast<quint32>(col); }

// A number is shown whole or not at all (a fit quality carries its "%"); any other text ends in
// "…" where its column cuts it, and its tooltip holds the whole.
bool isNumberText(const QString& text)
{
    QString t = text.trimmed();
    if (t.endsWith(QLatin1Char('%'))) t.chop(1);
    return !t.isEmpty() && numbers::isNumeric(t.toStdString());
}

// The space the style leaves on each side of a cell's text.
int textMargin(const QStyle* style, const QWidget* w) { return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w) + 1; }

class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QWidget* w = opt.widget;
        QStyle* style = w ? w->style() : QApplication::style();
        if (isNumberText(opt.text)) {
            const QRect room = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, w);
            if (opt.fontMetrics.horizontalAdvance(opt.text) > room.width() - 2 * textMargin(style, w)) opt.text.clear();
        }
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
    }
};

// Column titles (file names: their start and their end stay) and row labels too long for their
// section end in "…"; the model gives the whole text as tooltip.
class TitleHeader : public QHeaderView {
public:
    TitleHeader(Qt::Orientation o, QWidget* parent) : QHeaderView(o, parent)
    {
        setSectionsClickable(true);
        setTextElideMode(o == Qt::Horizontal ? Qt::ElideMiddle : Qt::ElideRight);
    }

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* opt, int logicalIndex) const override
    {
        QHeaderView::initStyleOptionForIndex(opt, logicalIndex);
        QStyleOptionHeader section = *opt;
        section.rect = orientation() == Qt::Horizontal ? QRect(0, 0, sectionSize(logicalIndex), height())
                                                       : QRect(0, 0, width(), sectionSize(logicalIndex));
        const int room = style()->subElementRect(QStyle::SE_HeaderLabel, &section, this).width();
        QStringList lines = opt->text.split(QLatin1Char('\n'));
        for (QString& line : lines) line = opt->fontMetrics.elidedText(line, textElideMode(), room);
        opt->text = lines.join(QLatin1Char('\n'));
    }
};

}  // namespace

class FlexGridModel : public QAbstractTableModel {
public:
    struct Source {
        int first = 0;
        int last = -1;
        FlexGrid::CellSource fn;
    };

    // The view shows the fixed rows and columns as its headers, so they stay in place while
    // the cells scroll; the model's own rows and columns are the scrolling cells.
    int fixedRowsShown() const { return std::min(fixedRows, rows); }
    int fixedColsShown() const { return std::min(fixedCols, cols); }
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : std::min(rows - fixedRowsShown(), rowLimit);
    }
    // The rows the view can lay out: their heights must add up within an int, or the view
    // hangs. Rows beyond are kept but not shown.
    int rowLimit = INT_MAX;
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : cols - fixedColsShown(); }

    QString text(int row, int col) const
    {
        if (row < 0 || col < 0 || row >= rows || col >= cols) return {};
        auto it = cells.constFind(cellKey(row, col));
        if (it != cells.constEnd()) return *it;
        if (col < static_cast<int>(sources.size())) {
            const Source& s = sources[static_cast<std::size_t>(col)];
            if (s.fn && row >= s.first && row <= s.last) return s.fn(row);
        }
        return {};
    }

    int alignmentOf(int row, int col) const
    {
        const bool fixed = row < fixedRows || col < fixedCols;
        int code = valueAt(colAlign, col, FlexGrid::General);
        if (fixed && valueAt(fixedAlign, col, -1) >= 0) code = valueAt(fixedAlign, col, -1);
        return code;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid()) return {};
        const int r = index.row() + fixedRowsShown(), c = index.column() + fixedColsShown();
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole: return text(r, c);  // the whole text where the column cuts it
        case Qt::TextAlignmentRole: return QVariant::fromValue(qtAlignment(alignmentOf(r, c)));
        default: return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal) {
            // Column titles: the fixed rows of a scrolling column, one line each.
            const int c = section + fixedColsShown();
            if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
                QStringList lines;
                for (int r = 0; r < fixedRowsShown(); ++r) lines << text(r, c);
                return lines.join(QLatin1Char('\n'));
            }
            if (role == Qt::TextAlignmentRole) return QVariant::fromValue(qtAlignment(alignmentOf(0, c)));
            return {};
        }
        // Row labels: the fixed columns of a scrolling row, separated by blanks.
        const int r = section + fixedRowsShown();
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
            QStringList parts;
            for (int c = 0; c < fixedColsShown(); ++c) parts << text(r, c);
            return parts.join(QLatin1Char(' '));
        }
        if (role == Qt::TextAlignmentRole) return QVariant::fromValue(qtAlignment(alignmentOf(r, 0)));
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid()) return Qt::NoItemFlags;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }

    static int valueAt(const std::vector<int>& v, int i, int fallback)
    {
        return i >= 0 && i < static_cast<int>(v.size()) ? v[static_cast<std::size_t>(i)] : fallback;
    }
    static void setAt(std::vector<int>& v, int i, int value, int fill)
    {
        if (i < 0) return;
        if (i >= static_cast<int>(v.size())) v.resize(static_cast<std::size_t>(i) + 1, fill);
        v[static_cast<std::size_t>(i)] = value;
    }

    void reshape(int newRows, int newCols)
    {
        beginResetModel();
        rows = newRows < 0 ? 0 : newRows;
        cols = newCols < 0 ? 0 : newCols;
        for (auto it = cells.begin(); it != cells.end();) {
            const int r = static_cast<int>(it.key() >> 32), c = static_cast<int>(it.key() & 0xFFFFFFFFu);
            if (r >= rows || c >= cols) it = cells.erase(it);
            else ++it;
        }
        endResetModel();
    }

    void clearAll()
    {
        beginResetModel();
        cells.clear();
        sources.clear();
        endResetModel();
    }

    void changed(int row, int col)
    {
        const int vr = row - fixedRowsShown(), vc = col - fixedColsShown();
        if (vr >= 0 && vc >= 0) emit dataChanged(index(vr, vc), index(vr, vc));
        if (vr < 0 && vc >= 0) emit headerDataChanged(Qt::Horizontal, vc, vc);
        if (vc < 0 && vr >= 0) emit headerDataChanged(Qt::Vertical, vr, vr);
    }
    void changedAll()
    {
        const int r = rowCount(), c = columnCount();
        if (r > 0 && c > 0) emit dataChanged(index(0, 0), index(r - 1, c - 1));
        if (c > 0) emit headerDataChanged(Qt::Horizontal, 0, c - 1);
        if (r > 0) emit headerDataChanged(Qt::Vertical, 0, r - 1);
    }
    // Fixed rows or columns moved between header and cells.
    void restructured()
    {
        beginResetModel();
        endResetModel();
    }

    int rows = 2;
    int cols = 2;
    int fixedRows = 1;
    int fixedCols = 1;
    QHash<quint64, QString> cells;
    std::vector<Source> sources;
    std::vector<int> colAlign;
    std::vector<int> fixedAlign;
    std::vector<int> widths;  // twips, -1 default
};

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), model_(new FlexGridModel)
{
    setHorizontalHeader(new TitleHeader(Qt::Horizontal, this));
    setVerticalHeader(new TitleHeader(Qt::Vertical, this));
    model_->setParent(this);
    setModel(model_);
    // Every row the same height: the view then never measures a million rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    model_->rowLimit = INT_MAX / verticalHeader()->defaultSectionSize() - 1;
    verticalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultSectionSize(64);
    horizontalHeader()->setHighlightSections(false);
    applyColumnWidths();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setItemDelegate(new CellDelegate(this));
    setSelectionMode(QAbstractItemView::ContiguousSelection);
}

FlexGrid::~FlexGrid() = default;

void FlexGrid::setRows(int rows)
{
    model_->reshape(rows, model_->cols);
    applyColumnWidths();
}
int FlexGrid::rows() const { return model_->rows; }

void FlexGrid::setCols(int cols)
{
    model_->reshape(model_->rows, cols);
    applyColumnWidths();
}
int FlexGrid::cols() const { return model_->cols; }

void FlexGrid::setFixedRows(int n)
{
    model_->fixedRows = n < 0 ? 0 : n;
    model_->restructured();
    applyColumnWidths();
}
int FlexGrid::fixedRows() const { return model_->fixedRows; }

void FlexGrid::setFixedCols(int n)
{
    model_->fixedCols = n < 0 ? 0 : n;
    model_->restructured();
    applyColumnWidths();
}
int FlexGrid::fixedCols() const { return model_->fixedCols; }

void FlexGrid::setColWidth(int col, int twips)
{
    FlexGridModel::setAt(model_->widths, col, twips, -1);
    applyColumnWidths();
}
int FlexGrid::colWidth(int col) const
{
    const int w = FlexGridModel::valueAt(model_->widths, col, -1);
    if (w >= 0) return w;
    const int fc = model_->fixedColsShown();
    return (col < fc ? 64 : columnWidth(col - fc)) * kTwipsPerPixel;
}

void FlexGrid::setColAlignment(int col, int code)
{
    FlexGridModel::setAt(model_->colAlign, col, code, General);
    model_->changedAll();
}
int FlexGrid::colAlignment(int col) const { return FlexGridModel::valueAt(model_->colAlign, col, General); }

void FlexGrid::setFixedAlignment(int col, int code)
{
    FlexGridModel::setAt(model_->fixedAlign, col, code, -1);
    model_->changedAll();
}
int FlexGrid::fixedAlignment(int col) const
{
    const int a = FlexGridModel::valueAt(model_->fixedAlign, col, -1);
    return a >= 0 ? a : colAlignment(col);
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    if (row < 0 || col < 0 || row >= model_->rows || col >= model_->cols) return;
    model_->cells.insert(cellKey(row, col), text);
    model_->changed(row, col);
    // A number set into a cell widens its column as far as it needs to be shown whole.
    const int fc = model_->fixedColsShown();
    if (row < model_->fixedRowsShown() || col < fc || !isNumberText(text)) return;
    const int need = fontMetrics().horizontalAdvance(text) + 2 * textMargin(style(), this) + 1;
    if (need <= FlexGridModel::valueAt(numberWidths_, col, 0)) return;
    FlexGridModel::setAt(numberWidths_, col, need, 0);
    if (columnWidth(col - fc) < need) setColumnWidth(col - fc, need);
}

QString FlexGrid::textMatrix(int row, int col) const { return model_->text(row, col); }

void FlexGrid::setColumnSource(int col, int firstRow, int lastRow, CellSource source)
{
    if (col < 0) return;
    if (col >= static_cast<int>(model_->sources.size())) model_->sources.resize(static_cast<std::size_t>(col) + 1);
    model_->sources[static_cast<std::size_t>(col)] = {firstRow, lastRow, std::move(source)};
    model_->changedAll();
}

void FlexGrid::clearCells()
{
    model_->clearAll();
    numberWidths_.clear();
    applyColumnWidths();
}

QImage FlexGrid::picture() const
{
    // A second view over the same cells, shaped like this one but as large as the whole grid,
    // drawn off screen; the grid on screen keeps its size and scroll position.
    QTableView whole;
    whole.setAttribute(Qt::WA_DontShowOnScreen);
    whole.setFont(font());
    whole.setPalette(palette());
    whole.setFrameShape(frameShape());
    whole.setShowGrid(showGrid());
    whole.setGridStyle(gridStyle());
    whole.setWordWrap(wordWrap());
    whole.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    whole.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    whole.setHorizontalHeader(new TitleHeader(Qt::Horizontal, &whole));
    whole.setVerticalHeader(new TitleHeader(Qt::Vertical, &whole));
    whole.setItemDelegate(new CellDelegate(&whole));
    whole.setModel(model_);
    QHeaderView* rowsHeader = whole.verticalHeader();
    QHeaderView* colsHeader = whole.horizontalHeader();
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    rowsHeader->setVisible(verticalHeader()->isVisibleTo(this));
    rowsHeader->setFixedWidth(verticalHeader()->width());
    colsHeader->setVisible(horizontalHeader()->isVisibleTo(this));
    colsHeader->setFixedHeight(horizontalHeader()->height());

    const int frame = 2 * frameWidth();
    qint64 width = frame + (rowsHeader->isVisibleTo(&whole) ? rowsHeader->width() : 0);
    for (int c = 0; c < model_->columnCount(); ++c) {
        whole.setColumnWidth(c, columnWidth(c));
        width += columnWidth(c);
    }
    const int head = frame + (colsHeader->isVisibleTo(&whole) ? colsHeader->height() : 0);
    const int rowHeight = std::max(1, rowsHeader->defaultSectionSize());
    const qint64 heightLimit = std::min<qint64>(kMaxPictureHeight, kMaxPicturePixels / std::max<qint64>(width, 1));
    const qint64 rowsShown = std::clamp<qint64>((heightLimit - head) / rowHeight, 0, model_->rowCount());
    const qint64 height = head + rowsShown * rowHeight;
    if (width <= 0 || width > kMaxPicturePixels || height <= 0) return {};

    whole.resize(static_cast<int>(width), static_cast<int>(height));
    whole.show();
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Base));
    whole.render(&image);
    return image;
}

void FlexGrid::applyColumnWidths()
{
    const int fr = model_->fixedRowsShown(), fc = model_->fixedColsShown();
    horizontalHeader()->setVisible(fr > 0);
    verticalHeader()->setVisible(fc > 0);
    if (fr > 0) horizontalHeader()->setFixedHeight(fr * verticalHeader()->defaultSectionSize() + 2);
    // The fixed columns share the row-label header; it is as wide as they are together.
    int fixedWidth = 0;
    for (int c = 0; c < fc; ++c) {
        const int w = FlexGridModel::valueAt(model_->widths, c, -1);
        fixedWidth += w >= 0 ? px(w) : 64;
    }
    if (fc > 0) verticalHeader()->setFixedWidth(fixedWidth);
    for (int c = fc; c < model_->cols; ++c) {
        const int w = FlexGridModel::valueAt(model_->widths, c, -1);
        const int numberWidth = FlexGridModel::valueAt(numberWidths_, c, 0);
        if (w >= 0) setColumnWidth(c - fc, std::max(px(w), numberWidth));
        else if (columnWidth(c - fc) < numberWidth) setColumnWidth(c - fc, numberWidth);
    }
}

}  // namespace analysis
