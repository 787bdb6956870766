#pragma once
// What a data file is, the one rule for every command that reads one: Open CTD, the series
// composition, Open CTS and the parameter editor. A file is read from its start only as far as
// its header says the samples go; those bytes must be 8-bit text, and its header must name a
// stretch from the maximum to the minimum that the lines hold. Standard library only.
#include "datafile/header_lines.h"

#include <array>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace datafile {

// The most samples a data set can hold: the protocol grid stands 31 rows above them and counts
// its rows in an int.
constexpr int kMaxSamples = std::numeric_limits<int>::max() - kFirstSampleLine;

// The header lines at the start of a data file's bytes (a UTF-8 byte-order mark skipped):
// raw[1..count], at most 30; `rest` holds what follows them.
struct Header {
    std::array<std::string_view, kHeaderLineCount + 1> raw{};
    int count = 0;
    bool mark = false;  // a UTF-8 byte-order mark stood before line 1
    std::string_view rest;
    // The header texts in the file's encoding (headerIsUtf8): line k at index k, "" for lines
    // the file does not have.
    std::array<std::string, kHeaderLineCount + 1> texts() const;
};
Header splitHeader(std::string_view bytes);

// The one rule for the encoding of a data file's texts: its header lines alone decide (the
// samples are numbers, and a stray byte after them must not change how a name reads). UTF-8
// when those lines are valid UTF-8 and begin with a byte-order mark or hold a byte above 127;
// else Windows-1252. Plain ASCII reads alike either way.
bool headerIsUtf8(const Header& header);

// The last line of a data file a reader looks at, as its header announces it: the samples up to
// the location of the minimum (line 10), and up to line 30 + N for N = line 10 - line 11 + 1.
// Lines after it are not read at all. At least the 30 header lines.
long long lastLineNeeded(const Header& header);

// Reads one number line as the data-file format prescribes (the leading number, 0 for none),
// with a fast path for plain decimals.
double sampleValue(std::string_view line);

// A data file as its readers take it.
struct DataFile {
    std::string refusal;        // why it is no data file, for the user; "" when it is one
    Header header;              // views into the bytes parsed
    double interval = 0;        // line 13, s
    long long minRow = 0;       // line 10: location of the minimum velocity
    long long maxRow = 0;       // line 11: location of the maximum velocity
    long long firstSample = 0;  // the maximum's sample number: the first of the stretch
    int count = 0;              // N = line 10 - line 11 + 1, the samples of the stretch
    // The stretch as values[1..N] (values[0] is 0), when asked for.
    std::vector<double> values;
    bool ok() const { return refusal.empty(); }
};

// The data file in `bytes`: its header, and the N samples from the maximum to the minimum. The
// locations are sample numbers, or, for a file imported with a time column, the text file's line
// numbers with its header rows, which the samples tell apart. Line ends CR LF or LF; a last line
// without a line end counts. Without `keepValues` the stretch is only checked, not stored.
DataFile parseDataFile(std::string_view bytes, bool keepValues = true);

// The lines of a data file from its start, as far as `parseDataFile` needs them and at least
// `atLeastLines`; `reason` says why there are none to give (a missing file, a folder, a
// socket, bytes that are no text). Bytes after those lines are neither read nor judged.
struct DataFileBytes {
    bool ok = false;
    std::string bytes;
    std::string reason;
};
DataFileBytes readDataFileBytes(const std::string& path, long long atLeastLines = 0);

}  // namespace datafile
