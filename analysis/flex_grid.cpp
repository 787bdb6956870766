#include "analysis/flex_grid.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHash>
#include <QHeaderView>
#include <QPalette>
#include <QPixmap>

#include <vector>

namespace analysis {

namespace {

constexpr int kTwipsPerPixel = 15;

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

}  // namespace

class FlexGridModel : public QAbstractTableModel {
public:
    struct Source {
        int first = 0;
        int last = -1;
        FlexGrid::CellSource fn;
    };

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : cols; }

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

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid()) return {};
        const int r = index.row(), c = index.column();
        const bool fixed = r < fixedRows || c < fixedCols;
        switch (role) {
        case Qt::DisplayRole: return text(r, c);
        case Qt::TextAlignmentRole: {
            int code = valueAt(colAlign, c, FlexGrid::General);
            if (fixed && valueAt(fixedAlign, c, -1) >= 0) code = valueAt(fixedAlign, c, -1);
            return QVariant::fromValue(qtAlignment(code));
        }
        case Qt::BackgroundRole:
            if (fixed) return QApplication::palette().brush(QPalette::Button);
            return {};
        default: return {};
        }
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

    void changed(int row, int col) { emit dataChanged(index(row, col), index(row, col)); }
    void changedAll()
    {
        if (rows > 0 && cols > 0) emit dataChanged(index(0, 0), index(rows - 1, cols - 1));
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
    model_->setParent(this);
    setModel(model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // Every row the same height: the view then never measures a million rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultSectionSize(64);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
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
    model_->changedAll();
}
int FlexGrid::fixedRows() const { return model_->fixedRows; }

void FlexGrid::setFixedCols(int n)
{
    model_->fixedCols = n < 0 ? 0 : n;
    model_->changedAll();
}
int FlexGrid::fixedCols() const { return model_->fixedCols; }

void FlexGrid::setColWidth(int col, int twips)
{
    FlexGridModel::setAt(model_->widths, col, twips, -1);
    if (col >= 0 && col < model_->cols && twips >= 0) setColumnWidth(col, twips / kTwipsPerPixel);
}
int FlexGrid::colWidth(int col) const
{
    const int w = FlexGridModel::valueAt(model_->widths, col, -1);
    return w >= 0 ? w : columnWidth(col) * kTwipsPerPixel;
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
    applyColumnWidths();
}

QImage FlexGrid::picture() { return grab().toImage(); }

void FlexGrid::applyColumnWidths()
{
    for (int c = 0; c < model_->cols; ++c) {
        const int w = FlexGridModel::valueAt(model_->widths, c, -1);
        if (w >= 0) setColumnWidth(c, w / kTwipsPerPixel);
    }
}

}  // namespace analysis
