#pragma once
// The series side of the analysis window: reading a series file into the window and the mean
// value groups on its "Protocol" page. The window calls these; they work on its public controls
// and its state::TabchildData.
#include "analysis/series/core/mean_groups.h"

#include <QString>

#include <string>
#include <vector>

namespace analysis {

class FrmTabchild;

// What the series side keeps beside the window state: the groups and the sample windows of the
// data sets (the protocol grid shows each sample at the row of its data-file line).
struct SeriesState {
    series::MeanValueGroups groups;
    std::vector<int> firstLines;  // per data set, 0-based index = set - 1
    std::vector<int> lastLines;
    // Per data set, the name of its file as the load found it in the series' folder: the
    // series' own spelling, or the one file that matches it in another letter case.
    std::vector<std::string> namesOnDisk;
};

// Fills a freshly created window from a series file and its data files (file dialog unless
// reloadPath is given), runs the load-time fit and builds legend and default view. False when
// nothing was loaded (the window is then discarded by the dispatcher).
bool ctsOpen(FrmTabchild& window, const QString& reloadPath);

// Connects the mean-value-group controls of the "Protocol" page (check list, Connect, Single,
// Delete, Summary) to their handlers. Called once when the window is created.
void setupMeanValueGroups(FrmTabchild& window);

// Fills lstAverageData with the window's data sets (after a series is read).
void fillAverageDataList(FrmTabchild& window);

// The listing of the mean value groups into mfgAverageRes; sets groupCount and groupSizes.
void cmdAverageShow_Click(FrmTabchild& window);

// cd, fr0 and fit quality of data set `dataSet` (1-based) as the result grid shows them,
// separated by tabs; empty when there is none.
QString resFinder(FrmTabchild& window, int dataSet);

}  // namespace analysis
