#include "analysis/browser_link.h"

#include "frame_api/frame_link.h"

#include <QWidget>

namespace analysis::browser {

void setMainWindowEnabled(bool enabled)
{
    if (frame::FrameLink* frame = frame::frameLink()) frame->setMainWindowEnabled(enabled);
}

QWidget* dialogParent(QWidget* fallback)
{
    if (frame::FrameLink* frame = frame::frameLink())
        if (QWidget* main = frame->mainWidget()) return main;
    return fallback && fallback->isVisible() ? fallback : nullptr;
}

void setEditCommands(bool cut, bool copy, bool paste)
{
    if (frame::FrameLink* frame = frame::frameLink()) frame->setEditCommands(cut, copy, paste);
}

void showWindow(frame::AnalysisWindowApi& window, const QStringList& dataFiles, const QString& directory,
                const QString& fileName, const QStringList& namesOnDisk)
{
    if (frame::FrameLink* frame = frame::frameLink())
        frame->windowActivated(window, frame::AnalysisWindowFiles{dataFiles, directory, fileName, namesOnDisk});
}

void windowUnloading(frame::AnalysisWindowApi& window)
{
    if (frame::FrameLink* frame = frame::frameLink()) frame->windowUnloading(window);
}

void releaseOverview(frame::AnalysisWindowApi& window)
{
    if (frame::FrameLink* frame = frame::frameLink()) frame->releaseOverview(window);
}

void showGraphViewPage()
{
    if (frame::FrameLink* frame = frame::frameLink()) frame->showGraphViewPage();
}

QWidget* overviewPicture()
{
    frame::FrameLink* frame = frame::frameLink();
    return frame ? frame->overviewPicture() : nullptr;
}

}  // namespace analysis::browser
