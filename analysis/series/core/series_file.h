#pragma once
// The series file: number of data files, number of comparable samples, one entry per data file
// (name, first line, last line) and a free comment. Standard library only.
#include "platform/message.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace series {

struct SeriesEntry {
    std::string name;    // file name of the data file, no folder
    int firstLine = 0;   // data-file line of the first sample of the window (31 or more)
    int lastLine = 0;    // data-file line of the last sample of the window
    int sourceLine = 0;  // line of the series file holding this entry
};

struct SeriesFile {
    int count = 0;            // n, 2..30
    double sampleCount = 0;   // line 2 as read (shown as read)
    int samples = 0;          // L: line 2 rounded, each data set holds L + 1 samples
    std::vector<SeriesEntry> entries;
    std::string comment;      // the remaining lines, each one line (datafile::singleLine), joined with CR LF
};

// Reads and checks the text of a series file (decoded; lines end in CR LF or LF). On a refusal
// returns the message to show ("There occured a problem with the CTS-file!" and a line saying
// what and where) and leaves `out` unspecified.
std::optional<platform::Message> parseSeriesFile(std::string_view text, SeriesFile& out);

// A text of the file for a message: quoted, and cut when it is too long to show.
std::string quoted(std::string_view text);

// The refusal of a malformed series: the fixed first line, then what is wrong and where.
platform::Message seriesProblem(const std::string& detail);

}  // namespace series
