#pragma once
// The coast-down data file: 30 header lines, then one velocity in m/s per line, CR LF after
// every line. Standard library only.
#include "datafile/header_lines.h"
#include "import/core/import_state.h"

#include <array>
#include <string>

namespace importer {

// The single-precision factor the velocities of a unit are divided by: 1 for m/s, 3.6 for km/h,
// 3.6 x 1.609 for mph (any other code counts as mph).
float unitFactor(int velocityUnit);

// The whole data file as bytes (UTF-8 text; the caller encodes it for the disk). Replaces
// header entries 7 and 8 with the extremes in m/s; the import lines are only read.
std::string ctdFileText(datafile::HeaderTexts& fileHeader, const ImportState& import);

}  // namespace importer
