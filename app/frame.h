#pragma once
// The one main window and the one data browser of the program. Making the main window installs
// the frame's side of what analysis windows ask of it (frame_api/frame_link.h).
#include "app/data_browser.h"
#include "app/main_window.h"
#include "frame_api/analysis_window_api.h"

namespace app {

// Created on first use (the main window's load handler runs then); never replaced while the
// program runs.
MainWindow* mainWindow();
DataBrowser* dataBrowser();
// True once the main window exists (for code that must not create it).
bool frameExists();
// Deletes the main window, the data browser and the About box, and uninstalls the frame's side
// (tests start afresh).
void resetFrame();

// Focus handlers of the grids, the diagram and the comment box: Copy only while focused,
// all three off when the focus leaves.
void editControlFocused(bool focused);

}  // namespace app
