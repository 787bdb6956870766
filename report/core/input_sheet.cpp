// The "Input data" sheet of every report: title rows, project line, summary and comments, the
// legend beside the diagram picture, then the data table (series) or the result-grid picture
// (data file).
#include "datafile/header_lines.h"
#include "report/core/sheet_blocks.h"
#include "report/core/sheets.h"

#include <algorithm>
#include <cmath>

namespace report::stages {

using namespace blocks;
using platform::HAlign;
using platform::VAlign;

namespace {

constexpr int kLegendIndent = 17;  // blanks that keep a legend line clear of the diagram

void step(const ProgressStep& progress, int n)
{
    if (progress) progress(n);
}

// A pasted picture at a cell; the thin outline the sheet gives it is drawn into the picture by
// the window side.
platform::Picture picture(const PictureData& data, int row, int col, double width, double height, std::string description)
{
    platform::Picture p;
    p.bytes = data.bytes;
    p.naturalWidth = data.width;
    p.naturalHeight = data.height;
    p.anchor = {row, col};
    p.width = std::round(width);  // the file places pictures in whole pixels
    p.height = std::round(height);
    p.description = std::move(description);
    return p;
}

// The rows the diagram and everything below it move down by, so that no comment line lies
// under the picture or beside the legend: the diagram starts in row 9, or below the last
// comment line when the comment reaches row 9.
int rowsBelowComment(const std::string& comment)
{
    constexpr int kDiagramRow = 9;
    constexpr int kFirstCommentRow = 5;  // under "Comments:" in C4
    int line = 0, last = 0;
    for (std::size_t start = 0;; ++line) {
        const std::size_t end = comment.find("\r\n", start);
        if (comment.find_first_not_of(' ', start) < std::min(end, comment.size())) last = line + 1;
        if (end == std::string::npos) break;
        start = end + 2;
    }
    if (last == 0) return 0;
    return std::max(0, kFirstCommentRow + last - kDiagramRow);
}

void dataTable(Worksheet& ws, const ReportInput& in, int shift)
{
    const std::string text = dataTableText(in.protocolGrid);
    if (const auto pasted = ws.pasteText(31 + shift, 0, text)) ws.setFont(*pasted, fontBlock("Arial", "", 8, kAutomatic));
    const int columns = in.protocolGrid.empty() ? 0 : static_cast<int>(in.protocolGrid.front().size());
    const int d = std::max(0, columns - 1);
    const int blocks = d % 5 == 0 ? d / 5 : d / 5 + 1;
    for (int k = 1; k <= blocks; ++k) {
        const int first = 17 * (k - 1) + 32 + shift, last = 17 * k + 29 + shift;
        thinGrid(ws, range("A", first, "F", last));
        interior(ws, range("A", first, "F", first), 15);
        interior(ws, range("A", first, "A", last), 15);
        alignment(ws, range("B", first + 1, "F", last), HAlign::Centre, VAlign::Bottom);
    }
}

}  // namespace

void inputDataSheet(Worksheet& ws, const ReportInput& in, const ProgressStep& progress)
{
    const bool series = in.setCount > 1;
    ws.hideGridlines = true;
    ws.centreHorizontally = true;
    ws.setColumnWidth(0, 0, 17);
    ws.setColumnWidth(1, 5, 12);
    step(progress, 2);

    // Title rows, as on "Results" but over A to F.
    titleRows(ws, "A", series ? "    TarnwellSeries Report" : "    TarnwellData Report", "B2:C2", in.title);
    step(progress, 3);

    ws.pasteText(1, 1, projectLine(in.labels));

    std::string summary;
    for (int i = 2; i <= 5; ++i) summary += datafile::singleLine(in.labels[static_cast<std::size_t>(i)]) + "\r\n";
    ws.pasteText(3, 0, summary);
    const std::string comment = commentText(in.comments);
    ws.pasteText(3, 2, "Comments:\r\n" + comment);
    step(progress, 4);
    thinBox(ws, "A4:B7");
    interior(ws, "A4:B7", 15);
    thinBox(ws, "C4:F7");
    step(progress, 5);

    // From here on rows are those of a comment of at most four lines, moved down by `shift`.
    const int shift = rowsBelowComment(comment);

    // The ticked legend entries from E9 down, each in its curve's colour.
    int listed = 0;
    for (const LegendLine& line : in.legend) {
        ++listed;
        const int r = listed + 8 - 1 + shift;
        platform::FontChange colour;
        colour.colour = platform::colourFromNumber(line.colour);
        ws.setFont({r, 4, r, 4}, colour);
        ws.setText(r, 4, std::string(kLegendIndent, ' ') + line.caption);
    }

    // The diagram over A9 to the middle of E, down to row 29.
    if (!in.diagram.empty()) {
        const double width = ws.columnLeft(4) + ws.columnPixels(3) / 2;
        const double height = ws.rowTop(29 + shift) - ws.rowTop(8 + shift);
        ws.pictures.push_back(picture(in.diagram, 8 + shift, 0, width, height, "Diagram"));
    }
    const std::string legendBox = range("E", 9 + shift, "F", 29 + shift);
    ws.setFont(at(legendBox), fontBlock("", "", 8, std::nullopt));
    interior(ws, legendBox, 0);
    thinBox(ws, legendBox);
    ws.selection = {28 + shift, 0};
    step(progress, 6);

    if (series) {
        dataTable(ws, in, shift);
        ws.selection = {2, 0};
        step(progress, 7);
    } else {
        if (!in.resultGrid.empty())
            ws.pictures.push_back(picture(in.resultGrid, 30 + shift, 0, in.resultGrid.width, in.resultGrid.height, "Results"));
        ws.selection = {2, 0};
    }
}

}  // namespace report::stages
