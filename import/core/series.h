#pragma once
// Composing a series of data files: the header pass, the common velocity range, equal sample
// intervals, the window of every run and the series file. Standard library only.
#include "platform/message.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace importer {

struct SeriesEntry {
    std::string name;
    std::int32_t firstLine = 0;
    std::int32_t lastLine = 0;  // firstLine + L
};

struct SeriesPlan {
    std::optional<platform::Message> failure;  // the one message of the first failed check
    std::int32_t windowLength = 0;             // L
    std::vector<SeriesEntry> entries;
};

// Reads the bytes of the data file of that name; false when it cannot be opened or read.
// Each pass reads the files again, one at a time, so no more than one is held at once.
using DataFileReader = std::function<bool(const std::string& name, std::string& bytes)>;

// A name that cannot stand in a series file (it holds ",", a line break, a backslash or a
// character that Windows-1252 has not); nullopt when all fit.
std::optional<platform::Message> checkSeriesNames(const std::vector<std::string>& names);

// Runs the checks in order and finds the windows; stops at the first failure.
SeriesPlan planSeries(const std::vector<std::string>& names, const DataFileReader& read);

// The series file: n, L, one "name,first,last" line per entry, then the comment without a line
// end of its own; every line end is CR LF (line breaks of the comment included), a NUL of the
// comment a blank.
std::string seriesFileText(const SeriesPlan& plan, const std::string& comment);

// True when both folders name the same place once made absolute and cleaned.
bool sameDirectory(const std::string& a, const std::string& b);

// The cleaned absolute form of a path, without a final separator.
std::string cleanAbsolute(const std::string& path);

}  // namespace importer
