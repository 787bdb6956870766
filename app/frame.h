#pragma once
// The one main window and the one data browser of the program, and the frame-side steps of an
// analysis window's activation, focus handling and unload.
#include "app/analysis_window_api.h"
#include "app/data_browser.h"
#include "app/main_window.h"

#include <QStringList>

namespace app {

// Created on first use (the main window's load handler runs then); never replaced while the
// program runs.
MainWindow* mainWindow();
DataBrowser* dataBrowser();
// True once the main window exists (for code that must not create it).
bool frameExists();
// Deletes the main window, the data browser and the About box (tests start afresh).
void resetFrame();

// The files an analysis window hands to the data browser when it is activated.
struct AnalysisWindowFiles {
    QStringList dataFileNames;  // without folder, in series order
    QString dataDirectory;      // ending in "/"
    QString windowFileName;     // the .ctd or .cts file the window was opened from
};

// Frame side of an analysis window's activation (after it drew its overview): enables the
// page commands and Save graph, fills the browser's editor controls and tags, sets the
// overview tag, enables the arrow labels.
void analysisWindowActivated(AnalysisWindowApi& window, const AnalysisWindowFiles& files);
// Frame side of an analysis window's unload: removes its tree nodes; when no other analysis
// window stays open, disables Save graph and the page commands; clears the browser's editor
// controls and tags, the overview picture and its tag; disables the arrow labels.
void analysisWindowUnloading(AnalysisWindowApi& window);
// Focus handlers of the grids, the diagram and the comment box: Copy only while focused,
// all three off when the focus leaves.
void editControlFocused(bool focused);

}  // namespace app
