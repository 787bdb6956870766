#pragma once
// Formulas of the report: the references the report builds in R1C1 notation turned into the
// A1 notation the workbook file holds, and the results the program stores with each formula so
// that a reader that does not recalculate shows the right figure. Standard library only.
#include "platform/workbook.h"

#include <string>
#include <string_view>
#include <vector>

namespace report {

// The formula `r1c1` as it stands in the cell at `row`, `col` (counted from 1), in A1 notation:
// R4C2 becomes $B$4, R[-3]C D6 for a cell in D9, R[5]C[2] D9 for a cell in B4. Texts in double
// quotes and everything that is not a reference stay as they are; a reference outside the sheet
// becomes #REF!.
std::string r1c1ToA1(std::string_view r1c1, int row, int col);

// What a spreadsheet computes for the report's formulas, from the cells of `sheet`; rows and
// columns count from 0 as in the workbook. Numbers count; texts and empty cells are passed over
// in ranges and references; an error in a cell is the result.
platform::CellValue average(const platform::Worksheet& sheet, int col, int row1, int row2);
platform::CellValue sampleStdev(const platform::Worksheet& sheet, int col, int row1, int row2);
platform::CellValue maximum(const platform::Worksheet& sheet, const std::vector<platform::CellRef>& cells);
// 100 - (100 / reference) * value, the improvement of a group against the largest value; 0 where
// the two sides of the subtraction agree to within rounding, as spreadsheets compute it.
platform::CellValue improvement(const platform::CellValue& reference, const platform::CellValue& value);

}  // namespace report
