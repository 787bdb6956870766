#include "app/dispatcher.h"

#include "analysis/frm_tabchild.h"
#include "analysis/series/series_window.h"
#include "app/core/cascade.h"
#include "app/frame.h"
#include "platform/twips.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRect>

namespace app {
namespace {

using platform::px;
constexpr int kCascadeTwips = 250;

int counter = 0;
bool opening = false;
QPointer<analysis::FrmTabchild> lastWindow;

}  // namespace

int windowCounter() { return counter; }
analysis::FrmTabchild* lastOpenedWindow() { return lastWindow.data(); }

int openAnalysisWindow(int kind, const QString& reloadPath)
{
    if (opening) return 0;  // an open in progress is not re-entered
    opening = true;
    struct Reset {
        ~Reset() { opening = false; }
    } reset;

    MainWindow* main = mainWindow();
    DataBrowser* browser = dataBrowser();
    if (counter >= 32767) return 0;  // window numbers are 16-bit
    ++counter;
    const int n = counter;

    auto* window = new analysis::FrmTabchild;
    window->setTag(QString::number(n));
    const int older = main->openAnalysisWindowCount();

    bool loaded = false;
    if (kind == 1) loaded = window->ctdOpen(reloadPath);
    else if (kind == 2) loaded = analysis::ctsOpen(*window, reloadPath);

    if (!loaded) {
        --counter;
        window->discardFailedOpen();
        delete window;
        return 0;
    }

    const bool series = kind == 2;
    window->setWindowTitle((series ? QStringLiteral("Series ") : QStringLiteral("CTData ")) + QString::number(n));
    browser->addWindowNodes(n, series, window->lblCTDescrLabel[1]->text(), window->lblCTDescrLabel[0]->text());
    main->setSaveGraphEnabled(true);
    browser->cmdEdit->setEnabled(true);
    browser->cmbEditorFiles->setEnabled(true);

    const int left = older * kCascadeTwips + main->visibleBrowserWidth() * platform::kTwipsPerPixel;
    lastWindow = window;
    main->addAnalysisWindow(window, QRect(px(left), px(older * kCascadeTwips), px(kAnalysisWindowWidthTwips),
                                          px(kAnalysisWindowHeightTwips)));
    return n;
}

void setEditCommandsEnabled(bool enabled) { mainWindow()->setEditCommandsEnabled(enabled); }

}  // namespace app
