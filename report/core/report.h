#pragma once
// The spreadsheet report of one analysis window, built as a workbook: for a series the sheets
// "Input data" and "Results" (the workbook opens on "Results"), for a data file "Input data"
// alone. The widget side gathers what the window shows into a ReportInput; everything from there
// to the finished workbook is here. Standard library only.
#include "platform/workbook.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace report {

// A picture as PNG or JPEG bytes with its size in pixels; empty when there is none.
struct PictureData {
    std::string bytes;
    int width = 0;
    int height = 0;
    bool empty() const { return bytes.empty() || width <= 0 || height <= 0; }
};

// A ticked legend entry: its caption and its colour (blue * 65536 + green * 256 + red).
struct LegendLine {
    std::string caption;
    int colour = 0;
};

using Grid = std::vector<std::vector<std::string>>;  // rows of cell texts

struct ReportInput {
    int setCount = 1;
    int fixedCoeffOption = 0;          // 0: rolling resistance tied (cd varies), 1: aerodynamic drag tied
    int groupCount = 0;
    std::vector<int> groupSizes;       // 0..groupCount, entry 0 unused
    Grid averageGrid;                  // the listing of the mean value groups, all rows and columns
    std::string lambdaText;            // the coupling weight as the list shows it
    std::array<std::string, 6> labels; // the summary labels: project, "Filename: ...", four lines
    std::string comments;              // the comment, lines separated by line ends
    std::vector<LegendLine> legend;    // the ticked entries in index order
    PictureData diagram;               // the diagram as last drawn
    PictureData resultGrid;            // the result grid (data-file report)
    PictureData title;                 // the title picture; empty when it could not be read
    Grid protocolGrid;                 // rows 0..23 of the protocol grid, every column
    std::string caption;               // the analysis window's caption
};

// Called at each of the report's progress steps (1 to 7).
using ProgressStep = std::function<void(int step)>;

struct ReportBuild {
    platform::Workbook workbook;
    int meanTableLines = 0;  // lines of the mean-value table (series report)
};

ReportBuild buildReport(const ReportInput& input, const ProgressStep& progress = {});

// ---- the pasted texts and the progress step, for the sheet stages and for tests ------------------

// The listing as tab-separated text: every cell followed by a tab, every line by CR, with two
// further empty lines after the blank row that ends a group of two or more data sets. In columns
// 2 and up every "," becomes ".". `lines` counts the lines.
struct MeanTable {
    std::string text;
    int lines = 0;
};
MeanTable meanTableText(const Grid& averageGrid);

// The data table of the "Input data" sheet: blocks of five data sets, each 15 lines of a label
// and the values of rows 0, 2..5, 15..19, 21..23 followed by two empty lines; lines end with CR.
std::string dataTableText(const Grid& protocolGrid);

// The text of a label from its tenth character on (the blank and the file name after
// "Filename:"); empty for a shorter text.
std::string fromTenthCharacter(const std::string& utf8);

// The comment for its paste, one row per line: its line breaks (CR LF, LF) stay, every other
// control character (a tab, a CR alone) becomes a blank.
std::string commentText(const std::string& comment);

// The project line of both title blocks: the project, an empty cell, the file name.
std::string projectLine(const std::array<std::string, 6>& labels);

// The progress bar and the slider of the fade, moved by one step as the report moves them: the
// bar by 255/7 in single precision while it has room for a whole step, the slider down by 255/7,
// rounded to a whole number, halves to even, while it stays at or above 0.
struct Progress {
    float bar = 0;
    int slider = 255;
    void step();
};

}  // namespace report
