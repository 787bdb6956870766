#pragma once
// The coast-down data file: 30 header lines, then one velocity in m/s per line, CR LF after
// every line. Standard library only.
#include "datafile/header_lines.h"
#include "import/core/import_state.h"

#include <array>
#include <string>

namespace importer {

// A velocity of the text file's unit in m/s: km/h divided by 3.6, mph multiplied by 0.44704
// (a mile of 1609.344 m per 3600 s), both in double precision; any code but 0 and 1 counts as mph.
double toMetresPerSecond(double velocity, int velocityUnit);

// The whole data file as bytes (UTF-8 text; the caller encodes it for the disk). Replaces
// header entries 7 and 8 with the extremes in m/s; the import lines are only read.
std::string ctdFileText(datafile::HeaderTexts& fileHeader, const ImportState& import);

}  // namespace importer
