#pragma once
// What the analysis window does to the main window and the data browser, in one place, so the
// window's own code reads as its steps and the frame's interface is met here. Every step does
// nothing while there is no main window (tests of the window alone).
#include <QString>
#include <QStringList>

class QWidget;

namespace frame {
class AnalysisWindowApi;
}

namespace analysis::browser {

void setMainWindowEnabled(bool enabled);
// Parent of the window's dialogs and messages: the main window (the analysis window is still
// hidden while it reads its file).
QWidget* dialogParent(QWidget* fallback);

// Toolbar buttons 5, 6, 7 and Edit > Cut, Copy, Paste, in that order.
void setEditCommands(bool cut, bool copy, bool paste);

// Activation: page commands, the browser's file list, its tags, the overview tag and the
// navigation labels.
void showWindow(frame::AnalysisWindowApi& window, const QStringList& dataFiles, const QString& directory,
                const QString& fileName, const QStringList& namesOnDisk);
// Unload: removes the window's tree nodes; disables the window commands when no other analysis
// window stays open; clears the editor controls and the overview only where they show this
// window.
void windowUnloading(frame::AnalysisWindowApi& window);
// Navigation of the window's diagram was switched off: the browser's overview no longer names
// it, so its page changes stop redrawing it.
void releaseOverview(frame::AnalysisWindowApi& window);
// The browser's page "Graph view".
void showGraphViewPage();
// The browser's overview picture; null without a frame.
QWidget* overviewPicture();

}  // namespace analysis::browser
