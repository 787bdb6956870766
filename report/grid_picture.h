#pragma once
// The picture of a whole grid, every row and column, drawn from its cells: a grid that is not on
// screen, or only partly, gives the same picture as one shown in full.
#include <QImage>

namespace analysis {
class FlexGrid;
}

namespace report {

QImage wholeGridPicture(const analysis::FlexGrid& grid);

}  // namespace report
