#include "analysis/browser_link.h"

#include "frame_api/frame_link.h"

#include <QWidget>

namespace analysis::browser {

void setMainWindowEnabled(bool enabled)
{
    if (app::FrameLink* frame = app::frameLink()) frame->setMainWindowEnabled(enabled);
}

QWidget* dialogParent(QWidget* fallback)
{
    if (app::FrameLink* frame = app::frameLink())
        if (QWidget* main = frame->mainWidget()) return main;
    return fallback && fallback->isVisible() ? fallback : nullptr;
}

void setEditCommands(bool cut, bool copy, bool paste)
{
    if (app::FrameLink* frame = app::frameLink()) frame->setEditCommands(cut, copy, paste);
}

void showWindow(app::AnalysisWindowApi& window, const QStringList& dataFiles, const QString& directory,
                const QString& fileName, const QStringList& namesOnDisk)
{
    if (app::FrameLink* frame = app::frameLink())
        frame->windowActivated(window, app::AnalysisWindowFiles{dataFiles, directory, fileName, namesOnDisk});
}

void windowUnloading(app::AnalysisWindowApi& window)
{
    if (app::FrameLink* frame = app::frameLink()) frame->windowUnloading(window);
}

void releaseOverview(app::AnalysisWindowApi& window)
{
    if (app::FrameLink* frame = app::frameLink()) frame->releaseOverview(window);
}

void showGraphViewPage()
{
    if (app::FrameLink* frame = app::frameLink()) frame->showGraphViewPage();
}

QWidget* overviewPicture()
{
    app::FrameLink* frame = app::frameLink();
    return frame ? frame->overviewPicture() : nullptr;
}

}  // namespace analysis::browser
