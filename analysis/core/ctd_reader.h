#pragma once
// Reading a data file (30 header lines, then one velocity per line) into the window state.
// Standard library only: the caller reads the bytes, this parses them.
#include "datafile/header_lines.h"
#include "platform/message.h"
#include "state/tabchild_data.h"

#include <array>
#include <limits>
#include <string>
#include <string_view>

namespace analysis {

// The most samples a data set can hold: the protocol grid stands 31 rows above them and counts
// its rows in an int.
constexpr int kMaxSamples = std::numeric_limits<int>::max() - datafile::kFirstSampleLine;

// The header lines at the start of a data file's bytes (a UTF-8 byte-order mark skipped):
// raw[1..count], at most 30; `rest` holds what follows them.
struct DataFileHeader {
    std::array<std::string_view, datafile::kHeaderLineCount + 1> raw{};
    int count = 0;
    bool mark = false;  // a UTF-8 byte-order mark stood before line 1
    std::string_view rest;
    // The header texts in the file's encoding (headerIsUtf8): line k at index k, "" for lines
    // the file does not have.
    std::array<std::string, datafile::kHeaderLineCount + 1> texts() const;
};
DataFileHeader splitHeader(std::string_view bytes);

// The one rule for the encoding of a data file's texts, which the readers and the parameter
// editor all ask over the same bytes: its header lines alone decide (the samples are numbers,
// and a stray byte after them must not change how a name reads). UTF-8 when those lines are
// valid UTF-8 and begin with a byte-order mark or hold a byte above 127; else Windows-1252.
// Plain ASCII reads alike either way.
bool headerIsUtf8(const DataFileHeader& header);

// The last line of a data file a reader looks at, as its header announces it: the samples up to
// the location of the minimum (line 10), and up to line 30 + N for N = line 10 - line 11 + 1.
// Lines after it are not read at all. At least the 30 header lines.
long long lastLineNeeded(const DataFileHeader& header);

struct DataFileRead {
    bool ok = false;
    std::string refusal;  // why the file was refused, for the second line of the message
    long long minRow = 0; // line 10: location of the minimum velocity
    long long maxRow = 0; // line 11: location of the maximum velocity
    long long firstSample = 0;  // the maximum's sample number: row 1 of the window
};

// Parses the bytes of a data file into `data` as one data set: header values (lines 1..9, 12,
// 15..22), sample interval, test parameters, and the N = line 10 - line 11 + 1 samples from the
// maximum to the minimum as rows 1..N, row 0 left 0. The locations are sample numbers, or, for a
// file imported with a time column, the text file's line numbers with its header rows. A refused
// file leaves `data` untouched. Line ends CR LF or LF; a last line without a line end counts.
DataFileRead parseDataFile(std::string_view bytes, state::TabchildData& data);

// Sets windowFileName, dataFileNames(1) and dataDirectory from the path read ('/' separated).
void setDataFilePath(state::TabchildData& data, std::string_view path);

// "File reading ERROR!" with the reason on its second line (title "CTD-Error", critical).
platform::Message dataFileError(std::string_view reason);

// Reasons for a file that could not be read at all.
std::string missingFileReason();
std::string folderReason();
std::string unreadableFileReason(std::string_view detail);

// Reads one number line as the data-file format prescribes (the leading number, 0 for none),
// with a fast path for plain decimals.
double sampleValue(std::string_view line);

}  // namespace analysis
