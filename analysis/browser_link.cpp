#include "analysis/browser_link.h"

#include "frame_api/frame_link.h"

#include <QWidget>

namespace analysis::browser {

void setMainWindowEnabled(bool enabled)
{
    if (frame::FrameLink* link = frame::frameLink()) link->setMainWindowEnabled(enabled);
}

QWidget* dialogParent(QWidget* fallback)
{
    if (frame::FrameLink* link = frame::frameLink())
        if (QWidget* main = link->mainWidget()) return main;
    return fallback && fallback->isVisible() ? fallback : nullptr;
}

void setEditCommands(bool cut, bool copy, bool paste)
{
    if (frame::FrameLink* link = frame::frameLink()) link->setEditCommands(cut, copy, paste);
}

void showWindow(frame::AnalysisWindowApi& window, const QStringList& dataFiles, const QString& directory,
                const QString& fileName, const QStringList& namesOnDisk)
{
    if (frame::FrameLink* link = frame::frameLink())
        link->windowActivated(window, frame::AnalysisWindowFiles{dataFiles, directory, fileName, namesOnDisk});
}

void windowUnloading(frame::AnalysisWindowApi& window)
{
    if (frame::FrameLink* link = frame::frameLink()) link->windowUnloading(window);
}

void releaseOverview(frame::AnalysisWindowApi& window)
{
    if (frame::FrameLink* link = frame::frameLink()) link->releaseOverview(window);
}

void showGraphViewPage()
{
    if (frame::FrameLink* link = frame::frameLink()) link->showGraphViewPage();
}

QWidget* overviewPicture()
{
    frame::FrameLink* link = frame::frameLink();
    return link ? link->overviewPicture() : nullptr;
}

}  // namespace analysis::browser
