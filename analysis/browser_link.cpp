#include "analysis/browser_link.h"

#include "app/frame.h"

#include <QTabWidget>

namespace analysis::browser {

void setMainWindowEnabled(bool enabled)
{
    if (app::frameExists()) app::mainWindow()->setEnabled(enabled);
}

QWidget* dialogParent(QWidget* fallback)
{
    if (app::frameExists()) return app::mainWindow();
    return fallback && fallback->isVisible() ? fallback : nullptr;
}

void setEditCommands(bool cut, bool copy, bool paste)
{
    if (app::frameExists()) app::mainWindow()->setEditCommands(cut, copy, paste);
}

void showWindow(app::AnalysisWindowApi& window, const QStringList& dataFiles, const QString& directory,
                const QString& fileName)
{
    if (!app::frameExists()) return;
    app::analysisWindowActivated(window, app::AnalysisWindowFiles{dataFiles, directory, fileName});
}

void windowUnloading(app::AnalysisWindowApi& window)
{
    if (!app::frameExists()) return;
    app::MainWindow* main = app::mainWindow();
    app::DataBrowser* b = app::dataBrowser();
    const int n = window.windowNumber();
    b->removeWindowNodes(n);
    if (main->openAnalysisWindowCount(&window) == 0) main->setAnalysisCommandsEnabled(false);
    // Another window activated later owns what the browser shows; leave that alone.
    if (b->lbleditExtratagTag == n) b->clearWindowFiles();
    if (b->picover && b->picover->tag == n) b->clearOverview();
}

void releaseOverview(app::AnalysisWindowApi& window)
{
    if (!app::frameExists()) return;
    app::DataBrowser* b = app::dataBrowser();
    if (b->picover && b->picover->tag == window.windowNumber()) b->picover->tag = 0;
}

void showGraphViewPage()
{
    if (app::frameExists() && app::dataBrowser()->SSTab1) app::dataBrowser()->SSTab1->setCurrentIndex(2);
}

}  // namespace analysis::browser
