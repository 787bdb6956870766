#include "app/frame.h"

#include <QComboBox>
#include <QPointer>
#include <QPushButton>

namespace app {

namespace {
QPointer<MainWindow>& mainSlot()
{
    static QPointer<MainWindow> instance;
    return instance;
}
}  // namespace

MainWindow* mainWindow()
{
    QPointer<MainWindow>& slot = mainSlot();
    if (!slot) slot = new MainWindow;
    return slot;
}

DataBrowser* dataBrowser() { return mainWindow()->browser; }

bool frameExists() { return !mainSlot().isNull(); }

void resetFrame()
{
    delete mainSlot().data();
    mainSlot() = nullptr;
}

void analysisWindowActivated(AnalysisWindowApi& window, const AnalysisWindowFiles& files)
{
    MainWindow* main = mainWindow();
    main->setAnalysisCommandsEnabled(true);
    main->browser->showWindowFiles(window.windowNumber(), files.dataFileNames, files.dataDirectory,
                                   files.windowFileName);
}

void analysisWindowUnloading(AnalysisWindowApi& window)
{
    MainWindow* main = mainWindow();
    DataBrowser* browser = main->browser;
    browser->removeWindowNodes(window.windowNumber());
    if (main->openAnalysisWindowCount(&window) == 0) main->setAnalysisCommandsEnabled(false);
    browser->clearWindowFiles();
    browser->clearOverview();
}

void editControlFocused(bool focused)
{
    mainWindow()->setEditCommands(false, focused, false);
}

}  // namespace app
