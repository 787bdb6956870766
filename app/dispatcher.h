#pragma once
// The open dispatcher: one numbered analysis window per opened data file or series.
#include <QString>

namespace analysis {
class FrmTabchild;
}

namespace app {

// Creates analysis window n = windowCounter + 1, cascades it, lets it read its file (kind 1 a
// data file, 2 a series; the open dialog unless reloadPath names the file to reopen) and on
// success captions it, adds its seven tree nodes, enables Save graph and the browser's editor
// controls and shows it. Returns n, or 0 when nothing was opened: then the counter, the tree,
// the commands and the window list are as before.
int openAnalysisWindow(int kind, const QString& reloadPath = {});

// Cut, Copy and Paste of the main window together (toolbar buttons 5, 6, 7, then the menu).
void setEditCommandsEnabled(bool enabled);

// The number of the most recent analysis window (0 before the first).
int windowCounter();
// The window opened last by openAnalysisWindow, while it is open.
analysis::FrmTabchild* lastOpenedWindow();

}  // namespace app
