#pragma once
// Where the header values of a data set stand in the protocol grid (mfgCTSdat, header rows
// 0..30) and the result grid (mfgCTSres): one mapping for data-file and series windows.
// Standard library only.
#include "state/tabchild_data.h"

#include <string>

namespace analysis {

constexpr int kProtocolHeaderRows = 31;  // rows 0..30; the samples follow
constexpr int kResultGridRows = 20;

// The cell of data set `set` (column `set`); "" where the row holds nothing for it. Texts are
// one line each (datafile::singleLine), as a grid cell shows them. Rows 10 and
// 11 show the header texts of the locations; a data-file window writes its rounded locations
// there itself, as it keeps no texts for them.
std::string protocolHeaderCell(const state::TabchildData& data, int row, int set);
std::string resultHeaderCell(const state::TabchildData& data, int row, int set);

}  // namespace analysis
