#pragma once
// What an analysis window asks of the frame (the main window and the data browser). The frame
// installs its side when it makes the main window; with none installed, as for a window alone
// in a test, every step does nothing.
#include <QString>
#include <QStringList>

class QWidget;

namespace frame {

class AnalysisWindowApi;

// The files an analysis window hands to the data browser when it is activated.
struct AnalysisWindowFiles {
    QStringList dataFileNames;  // without folder, in series order
    QString dataDirectory;      // ending in "/"
    QString windowFileName;     // the .ctd or .cts file the window was opened from
    // Per data file, its name in dataDirectory as the window's load found it (a series may
    // spell a name in another letter case than the file has); empty: the names as listed.
    QStringList namesOnDisk;
};

class FrameLink {
public:
    virtual ~FrameLink() = default;

    // The main window, parent of the analysis windows' dialogs and messages; null without one.
    virtual QWidget* mainWidget() = 0;
    virtual void setMainWindowEnabled(bool enabled) = 0;
    // Toolbar buttons 5, 6, 7 and Edit > Cut, Copy, Paste, in that order.
    virtual void setEditCommands(bool cut, bool copy, bool paste) = 0;
    // Activation (after the window drew its overview): page commands and Save graph, the
    // browser's file list and tags, the overview tag, the navigation labels.
    virtual void windowActivated(AnalysisWindowApi& window, const AnalysisWindowFiles& files) = 0;
    // Unload: removes the window's tree nodes; disables the window commands when no other
    // analysis window stays open; clears the editor controls and the overview only where they
    // show this window.
    virtual void windowUnloading(AnalysisWindowApi& window) = 0;
    // Navigation of the window's diagram was switched off: the browser's overview no longer
    // names it, so its page changes stop redrawing it.
    virtual void releaseOverview(AnalysisWindowApi& window) = 0;
    // The browser's page "Graph view".
    virtual void showGraphViewPage() = 0;
    // The browser's overview picture, on which the analysis windows draw; null without one.
    virtual QWidget* overviewPicture() { return nullptr; }
};

// The installed frame side, or null.
FrameLink* frameLink();
void setFrameLink(FrameLink* link);

}  // namespace frame
