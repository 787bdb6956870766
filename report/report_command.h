#pragma once
// The report command of an analysis window ("Report ..."): asks where the workbook goes, builds
// it from what the window shows, writes it as an .xlsx file and opens it with the desktop's
// program for it.
#include "report/core/report.h"

#include <QString>

namespace analysis {
class FrmTabchild;
}

namespace report {

// The whole command. A series window without mean value groups gets "Create mean value groups
// first!"; a cancelled dialog ends it with nothing written; a failed write names the file and
// the reason and leaves the old file as it was.
void cmdExcel_Click(analysis::FrmTabchild& window);

// What the window shows that goes into its report. With no legend entry ticked it ticks the
// first, which redraws the diagram with that curve, as the report lists it.
ReportInput reportInput(analysis::FrmTabchild& window);

// The proposed file name: the window's file name with ".xlsx" in place of its extension.
QString workbookFileName(const QString& windowFileName);

}  // namespace report
