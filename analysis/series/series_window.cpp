// Placeholder bodies until the series reader and the mean value groups are written.
#include "analysis/series/series_window.h"

namespace analysis {

bool ctsOpen(FrmTabchild&, const QString&) { return false; }
void setupMeanValueGroups(FrmTabchild&) {}
void fillAverageDataList(FrmTabchild&) {}
void cmdAverageShow_Click(FrmTabchild&) {}
QString resFinder(FrmTabchild&, int) { return {}; }

}  // namespace analysis
