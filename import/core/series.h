#pragma once
// Composing a series of data files: the header pass, the common velocity range, equal sample
// intervals, the window of every run and the series file. Standard library only.
#include "datafile/data_file.h"
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

// The bytes of the data file of that name as the data-file rule reads them, or why there are
// none. Each pass reads the files again, one at a time, so no more than one is held at once.
using DataFileReader = std::function<datafile::DataFileBytes(const std::string& name)>;

// A name that cannot stand in a series file (it holds ",", a line break, a backslash, or bytes the
// series file cannot hold as the writer encodes it, such as a name that is no UTF-8 text);
// nullopt when all fit.
std::optional<platform::Message> checkSeriesNames(const std::vector<std::string>& names);

// Runs the checks in order and finds the windows; stops at the first failure.
SeriesPlan planSeries(const std::vector<std::string>& names, const DataFileReader& read);

// The series file: n, L, one "name,first,last" line per entry, then the comment without a line
// end of its own; every line end is CR LF (line breaks of the comment included), a NUL of the
// comment a blank.
std::string seriesFileText(const SeriesPlan& plan, const std::string& comment);

// A series to compose: the folder of its data files, their names in list order, the comment.
struct SeriesRequest {
    std::string folder;
    std::vector<std::string> names;
    std::string comment;
};

// What composing asks of its caller (the dialog, or the command-line tool).
struct SeriesHooks {
    std::function<void(bool running)> checking;  // around the reading of the data files
    // Where to save; nullopt when the user cancels.
    std::function<std::optional<std::string>()> target;
    // A target refused (another folder, one of the series' own data files, a write that failed):
    // told with this message, then `target` is asked again.
    std::function<void(const platform::Message&)> refused;
};

// Refused: the request itself (its files, names or runs), with the message to show.
enum class SeriesOutcome { Written, Cancelled, Refused };

struct ComposedSeries {
    SeriesOutcome outcome = SeriesOutcome::Refused;
    std::optional<platform::Message> message;  // why the request was refused
};

// The data files of the folder on the disk, read as every command reads a data file.
DataFileReader dataFilesIn(const std::string& folder);

// The one composition of a series, for the dialog and the tool alike: 2 to 30 data files, their
// names, the common range, the intervals and every run's window (planSeries); then the target,
// asked until it is one the series may be written to: in the data files' folder where the file
// really is written (through links), and none of its own data files; then the file, written as
// the readers take it back (encodeForReaders).
ComposedSeries composeSeries(const SeriesRequest& request, const DataFileReader& read, const SeriesHooks& hooks);

// Why the series may not be saved at `path`; nullopt when it may.
std::optional<platform::Message> seriesTargetRefusal(const std::string& path, const std::string& folder,
                                                     const std::vector<std::string>& names);

// True when both paths name one folder: the same folder on the disk, through whatever links;
// for folders that are not there, the same path once made absolute and cleaned.
bool sameDirectory(const std::string& a, const std::string& b);

// The cleaned absolute form of a path, without a final separator.
std::string cleanAbsolute(const std::string& path);

}  // namespace importer
