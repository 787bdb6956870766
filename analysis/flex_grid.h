#pragma once
// A grid of text cells in the manner of the classic flex grid: rows and columns counted from 0,
// fixed (title) rows and columns drawn as headers, column widths in twips, alignment codes per
// column. Cells are held sparsely; long columns (a million samples) are served by a source
// function that formats a cell only when the view asks for it.
#include <QImage>
#include <QString>
#include <QTableView>

#include <functional>
#include <vector>

namespace analysis {

class FlexGridModel;

class FlexGrid : public QTableView {
    Q_OBJECT
public:
    // Alignment codes as the classic grid numbers them.
    enum Alignment { LeftTop = 0, LeftCenter = 1, LeftBottom = 2, CenterTop = 3, CenterCenter = 4,
                     CenterBottom = 5, RightTop = 6, RightCenter = 7, RightBottom = 8, General = 9 };

    using CellSource = std::function<QString(int row)>;

    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    // Shape. Shrinking drops the cells outside; growing adds empty ones.
    void setRows(int rows);
    int rows() const;
    void setCols(int cols);
    int cols() const;
    void setFixedRows(int n);
    int fixedRows() const;
    void setFixedCols(int n);
    int fixedCols() const;

    // Width of a column in twips (15 twips per pixel).
    void setColWidth(int col, int twips);
    int colWidth(int col) const;
    // Alignment of the (non-fixed) cells of a column, and of its fixed cells.
    void setColAlignment(int col, int code);
    int colAlignment(int col) const;
    void setFixedAlignment(int col, int code);
    int fixedAlignment(int col) const;

    void setTextMatrix(int row, int col, const QString& text);  // outside the grid: ignored
    QString textMatrix(int row, int col) const;                 // outside the grid: ""

    // Cells row = firstRow..lastRow of column col come from source(row) unless set explicitly.
    // One source per column; a new one replaces the old.
    void setColumnSource(int col, int firstRow, int lastRow, CellSource source);

    // Empties every cell and drops the sources; the shape stays.
    void clearCells();

    // The picture of the whole grid, every row and column whatever part is on screen, for the
    // clipboard's "Table" copy and the report. A grid too large for one picture (the protocol
    // grid can hold a million rows) gives its first rows, as many as kMaxPictureHeight pixels
    // and kMaxPicturePixels hold.
    static constexpr int kMaxPictureHeight = 32767;
    static constexpr qint64 kMaxPicturePixels = 16 * 1024 * 1024;
    QImage picture() const;

    FlexGridModel* gridModel() const { return model_; }

private:
    void applyColumnWidths();
    FlexGridModel* model_;
    std::vector<int> numberWidths_;  // pixels the numbers set into each column need
};

}  // namespace analysis
