#include "app/frame.h"

#include "frame_api/frame_link.h"

#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

namespace app {

namespace {
QPointer<MainWindow>& mainSlot()
{
    static QPointer<MainWindow> instance;
    return instance;
}

// The frame's side of what analysis windows ask of it. A window may still be torn down after the
// main window went, so every step checks that there is one.
class FrameSide final : public frame::FrameLink {
public:
    QWidget* mainWidget() override { return frameExists() ? mainWindow() : nullptr; }

    void setMainWindowEnabled(bool enabled) override
    {
        if (frameExists()) mainWindow()->setFrameEnabled(enabled);
    }

    void setEditCommands(bool cut, bool copy, bool paste) override
    {
        if (frameExists()) mainWindow()->setEditCommands(cut, copy, paste);
    }

    void windowActivated(frame::AnalysisWindowApi& window, const frame::AnalysisWindowFiles& files) override
    {
        if (!frameExists()) return;
        MainWindow* main = mainWindow();
        // While the browser is the active child the window commands stay off (a window shown in
        // the browser after another closed is not activated).
        if (!main->isBrowserActive()) main->setAnalysisCommandsEnabled(true);
        main->dataBrowser()->showWindowFiles(window.windowNumber(), files.dataFileNames, files.dataDirectory,
                                             files.windowFileName, files.namesOnDisk);
    }

    void windowUnloading(frame::AnalysisWindowApi& window) override
    {
        if (!frameExists()) return;
        MainWindow* main = mainWindow();
        DataBrowser* b = main->dataBrowser();
        const int n = window.windowNumber();
        b->removeWindowNodes(n);
        if (main->openAnalysisWindowCount(&window) == 0) main->setAnalysisCommandsEnabled(false);
        // Another window activated later owns what the browser shows; leave that alone.
        const bool shown = b->lbleditExtratagTag == n;
        if (shown) b->clearWindowFiles();
        if (b->picover && b->picover->tag == n) b->clearOverview();
        // The browser shows the window activated before this one. Activating it would do so,
        // but while the browser itself is active (or stays it) no window is activated.
        if (shown)
            if (frame::AnalysisWindowApi* next = main->lastActivatedAnalysisWindow(&window)) next->Form_Activate();
    }

    void releaseOverview(frame::AnalysisWindowApi& window) override
    {
        if (!frameExists()) return;
        DataBrowser* b = dataBrowser();
        if (b->picover && b->picover->tag == window.windowNumber()) {
            b->picover->tag = 0;
            // The arrows would act on no window now.
            b->setNavigationEnabled(false);
        }
    }

    void showGraphViewPage() override
    {
        if (frameExists() && dataBrowser()->SSTab1) dataBrowser()->SSTab1->setCurrentIndex(2);
    }

    QWidget* overviewPicture() override { return frameExists() ? dataBrowser()->picover : nullptr; }
};

FrameSide frameSide;
}  // namespace

MainWindow* mainWindow()
{
    QPointer<MainWindow>& slot = mainSlot();
    if (!slot) {
        slot = new MainWindow;
        frame::setFrameLink(&frameSide);
    }
    return slot;
}

DataBrowser* dataBrowser() { return mainWindow()->dataBrowser(); }

bool frameExists() { return !mainSlot().isNull(); }

void resetFrame()
{
    frame::setFrameLink(nullptr);
    delete mainSlot().data();
    mainSlot() = nullptr;
}

void editControlFocused(bool focused)
{
    mainWindow()->setEditCommands(false, focused, false);
}

}  // namespace app
