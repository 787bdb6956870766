#pragma once
// The stages of the report, each working on its sheet. Internal to the report core.
#include "report/core/report.h"

namespace report::stages {

// "Results": the mean-value table pasted at B4 and formatted.
void meanValueTable(platform::Worksheet& ws, const ReportInput& in, const MeanTable& table);
// "Results": Average and Standard deviation rows, improvement cells, group frames, B4.
void groupStatistics(platform::Worksheet& ws, const ReportInput& in);
// "Results": the black title bar of row 1 and the project line of row 2.
void resultsTitleBlock(platform::Worksheet& ws, const ReportInput& in);
// "Results": the drag, rolling-resistance and improvement charts (two or more groups).
void resultsCharts(platform::Worksheet& ws, const ReportInput& in);
// "Input data", from its name on; `progress` is called with steps 2 to 7.
void inputDataSheet(platform::Worksheet& ws, const ReportInput& in, const ProgressStep& progress);

// The title picture at the right end of row 1, ending where column G begins.
void titlePicture(platform::Worksheet& ws, const PictureData& picture);
// The black title bar of row 1 and the grey project row 2 of both sheets, from column `first`
// ("A" or "B") to F: the title text in the bar's first cell, "Project:" under it, and the
// framed project box `projectBox` beside it. The project line is pasted by the caller.
void titleRows(platform::Worksheet& ws, const char* first, const std::string& title, const char* projectBox,
               const PictureData& picture);

// The first row of each group (from 1) and the row after the last group's table rows: a group
// of n >= 2 data sets takes n + 3 rows, a group of one 2 rows, the first starting at row 6.
struct GroupRows {
    std::vector<int> first;  // index g - 1
    int last = 5;            // L, the table's last row
};
GroupRows groupRows(const ReportInput& in);
int groupSize(const ReportInput& in, int g);

}  // namespace report::stages
