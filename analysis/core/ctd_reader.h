#pragma once
// A data file (30 header lines, then one velocity per line) into the window state, by the one
// rule of datafile::parseDataFile. Standard library only: the caller reads the bytes.
#include "datafile/data_file.h"
#include "platform/message.h"
#include "state/tabchild_data.h"

#include <string>
#include <string_view>

namespace analysis {

struct DataFileRead {
    bool ok = false;
    std::string refusal;  // why the file was refused, for the second line of the message
    long long minRow = 0; // line 10: location of the minimum velocity
    long long maxRow = 0; // line 11: location of the maximum velocity
    long long firstSample = 0;  // the maximum's sample number: row 1 of the window
};

// Parses the bytes of a data file into `data` as one data set: header values (lines 1..9, 12,
// 15..22), sample interval, test parameters, and the N = line 10 - line 11 + 1 samples from the
// maximum to the minimum as rows 1..N, row 0 left 0. A refused file leaves `data` untouched.
DataFileRead parseDataFile(std::string_view bytes, state::TabchildData& data);

// Sets windowFileName, dataFileNames(1) and dataDirectory from the path read ('/' separated).
void setDataFilePath(state::TabchildData& data, std::string_view path);

// "File reading ERROR!", the file on its second line and the reason on its third (title
// "CTD-Error", critical).
platform::Message dataFileError(std::string_view path, std::string_view reason);

}  // namespace analysis
