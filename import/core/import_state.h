#pragma once
// Program-wide state of the import and of the data file being created or edited. One instance,
// `importer::state`, lives for the whole run; the text import, the parameter form, the data-file
// writer, the parameter editor and the file readers share it. Standard library only.
#include "datafile/header_lines.h"

#include "import/core/import_lines.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace importer {

struct ImportState {
    // The non-empty lines of the chosen text file, index 0 first; one empty entry when idle.
    ImportLines importLines{""};
    std::int32_t importLineCount = 0;  // header rows included
    std::int16_t headerRows = 0;       // 0..30, index of the first data row
    std::int16_t timeColumn = 0;       // 0 none, 1 "t , v", 2 "v , t"
    std::int16_t separatorCode = 0;    // 0 comma, 1 semicolon, 2 blank, 3 tab
    std::int16_t velocityUnit = 0;     // 0 m/s, 1 km/h, 2 mph
    std::int16_t decimalSeparator = 0; // 0 point, 1 comma
    bool structureConfirmed = false;   // the next import run re-reads the same file
    double minVelocity = 1000.0;       // in the unit of the text file
    double maxVelocity = 0.0;
    std::int32_t minVelocityRow = 0;
    std::int32_t maxVelocityRow = 1000;
    bool dataListValid = false;

    // The 30 header lines of the data file being created or edited (entry k = line k + 1).
    datafile::HeaderTexts fileHeader;
    // Validity of project, start time, sample interval, pressure, temperature, vehicle mass,
    // frontal area and dynamic mass.
    std::array<bool, 8> fieldValid{};
    // True while the parameter form edits a data file that is open in an analysis window.
    bool editingLoadedFile = false;
};

inline ImportState state;

}  // namespace importer
