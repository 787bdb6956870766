#pragma once
// Reading a series and the data files it names into the state of an analysis window, and the
// load-time uncoupled fit. Standard library only.
#include "analysis/series/core/series_file.h"
#include "platform/message.h"
#include "platform/textfile.h"
#include "solver/coastfit.h"
#include "state/tabchild_data.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace series {

// A file as its reader needs it.
struct FileRead {
    bool ok = false;
    std::string bytes;
    std::string error;    // why it could not be read ("No such file or directory")
    std::string refusal;  // why its first bytes show it is no text file a reader takes
};

// The most a series file may hold: its counts, 30 entries and a comment of free text.
inline constexpr std::size_t kMaxSeriesFileBytes = std::size_t{64} << 20;

// Where a series and its data files come from: the disk, or memory (tests, fuzzing).
struct FileSource {
    // The bytes of a file: a data file's first lines, at least `lines` of them and as many as the
    // data-file rule needs, or for lines < 0 the whole file as a series file may hold it (at most
    // kMaxSeriesFileBytes). A source may give more than asked for.
    std::function<FileRead(const std::string& path, long long lines)> read;
    // The path of data file `name` in `directory`; "" when there is none.
    std::function<std::string(const std::string& directory, const std::string& name)> find;
    // What a path is as a file, the same for every name of it (links, hard links); without it,
    // or when it gives "", the path itself.
    std::function<std::string(const std::string& path)> identity;
};

// Everything a series brings into a window; nothing reaches the window unless all of it was read.
struct SeriesContent {
    SeriesFile file;
    std::string directory;   // the series file's folder, ending in '/'
    std::string fileTitle;   // the series file's name
    std::vector<std::string> dataPaths;  // 1..n at 0..n-1: the data files as found
    double sampleInterval = 0;
    state::ColMatrix velocitySamples;  // (0..L, 1..n): row r = line firstLine + r
    state::ColMatrix testParameters;   // (0..5, 1..n)
    state::TextMatrix headerValues;    // (0..25, 1..n): lines 1..11, 15..22

    int smallestFirstLine() const;
    int largestLastLine() const;
};

struct SeriesLoad {
    std::optional<SeriesContent> content;     // set on success
    std::optional<platform::Message> message; // the refusal, when there is one to show
};

// The data file `name` in `directory` (ending in '/'): the exact name when anything stands there
// (its read tells a pipe or a folder from a file), otherwise the only regular file of the folder
// whose name matches it ignoring letter case (series made on desktops whose file names ignore
// case). Empty when there is none or more than one.
std::string findDataFile(const std::string& directory, const std::string& name);

// "There is not enough memory to open <path>." (title "CTS-Error", critical).
platform::Message notEnoughMemory(const std::string& path);

// The files on the disk: datafile::readDataFileBytes, findDataFile and platform::fileIdentity.
FileSource diskFiles();

// Reads the series file at `path` and every data file it names, checking all of them before
// the samples are dimensioned. A failed allocation is a refusal like any other.
SeriesLoad loadSeries(const std::string& path, const FileSource& files = diskFiles());

// Moves the content into the window state, dimensioning the solver outputs (all zero).
void applySeries(SeriesContent&& content, state::TabchildData& data);

// The load-time fit: ccoeff once with coupling weight 0 and mode 0; its residuals become the
// reference of the fit quality. Without a solver the outputs stay 0.
void runReferenceFit(state::TabchildData& data, CcoeffFunction ccoeff);

// The texts of the summary labels lblCTDescrLabel(0..5).
std::array<std::string, 6> summaryLabels(const state::TabchildData& data);

// Number of rows of the protocol grid: every sample sits at the row of its data-file line.
int protocolRows(const SeriesContent& content);
int protocolRows(int largestLastLine);

// A sample of the protocol grid: row = data-file line, shown for lines firstLine..lastLine - 1.
std::string protocolSampleCell(const state::TabchildData& data, int set, int firstLine, int row);

}  // namespace series
