#include "app/main_window.h"

#include "app/about_box.h"
#include "app/clipboard_commands.h"
#include "app/commands.h"
#include "app/data_browser.h"
#include "app/placement_store.h"
#include "app/window_arrangement.h"
#include "diagram/core/defaults.h"
#include "frame_api/analysis_window_api.h"
#include "platform/controls.h"
#include "platform/plain_text_edit.h"
#include "platform/services.h"
#include "platform/twips.h"
#include "resources/artwork.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace app {

namespace {

using platform::px;

QAction* addEntry(QMenu* menu, const char* name, const QString& text, const QKeySequence& key = {})
{
    QAction* a = menu->addAction(text);
    a->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) a->setShortcut(key);
    return a;
}

void addBar(QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(QLatin1String(name)); }

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMDI"));
    setWindowTitle(QStringLiteral("Tarnwell"));
    setWindowIcon(artwork::applicationIcon());
    setContextMenuPolicy(Qt::NoContextMenu);

    mdiArea = platform::make<QMdiArea>(this, QStringLiteral("mdiArea"));
    mdiArea->setBackground(palette().brush(QPalette::Dark));
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Closing a window brings back the one that was active before it.
    mdiArea->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(mdiArea);
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::onSubWindowActivated);

    buildMenus();
    buildToolbar();
    buildStatusBar();
    menuBar()->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (now && now == menuBar()) focusBeforeMenuBar_ = old;
    });

    // Load handler: diagram defaults first, then the placement, then the data browser.
    diagram::initDiagramDefaults();
    loadPlacement(this);

    browser = new DataBrowser;
    browserWindow = mdiArea->addSubWindow(browser, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                       Qt::WindowCloseButtonHint);
    browserWindow->setObjectName(QStringLiteral("frmTreeviewchildWindow"));
    browserWindow->setWindowTitle(QStringLiteral("Datafiles"));
    browserWindow->setWindowIcon(artwork::treeIcon(1));
    browserWindow->installEventFilter(this);
    browserWindow->adjustSize();
    browserWindow->move(0, 0);
    browserWindow->show();

    // Nothing needs an analysis window yet.
    setAnalysisCommandsEnabled(false);
}

MainWindow::~MainWindow()
{
    // No activation may reach this object while its children go.
    mdiArea->disconnect(this);
    QObject::disconnect(qApp, nullptr, this, nullptr);
    browserWindow->removeEventFilter(this);
    menuBar()->removeEventFilter(this);
    // The analysis windows go first, while the main window and the browser they talk to are
    // still whole.
    const QList<QMdiSubWindow*> subs = mdiArea->subWindowList();
    for (QMdiSubWindow* sub : subs)
        if (sub != browserWindow) delete sub;
    delete about_;
}

Frmabout* MainWindow::aboutBox() const { return about_; }

// ---- building -------------------------------------------------------------------------------

void MainWindow::buildMenus()
{
    QMenuBar* bar = menuBar();
    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileNewCTD = addEntry(mnuFile, "mnuFileNewCTD", QStringLiteral("&New CTD..."), Qt::Key_F2);
    mnuFileNewCTS = addEntry(mnuFile, "mnuFileNewCTS", QStringLiteral("Ne&w CTS..."), Qt::Key_F3);
    addBar(mnuFile, "mnuFileBar0");
    mnuFileOpenCTD = addEntry(mnuFile, "mnuFileOpenCTD", QStringLiteral("Open CT&D..."), Qt::Key_F4);
    mnuFileOpenCTS = addEntry(mnuFile, "mnuFileOpenCTS", QStringLiteral("Open CT&S..."), Qt::Key_F5);
    addBar(mnuFile, "mnuFileBar1");
    mnuFileSave = mnuFile->addMenu(QStringLiteral("Sa&ve"));
    mnuFileSave->setObjectName(QStringLiteral("mnuFileSave"));
    mnuFileSave->setIcon(artwork::toolIcon(artwork::Tool::Save));
    mnuFileSaveGraph = addEntry(mnuFileSave, "mnuFileSaveGraph", QStringLiteral("Save graph..."));
    mnuFileSaveNotepad = addEntry(mnuFileSave, "mnuFileSaveNotepad", QStringLiteral("Save notepad..."));
    addBar(mnuFile, "mnuFileBar2");
    mnuFileExit = addEntry(mnuFile, "mnuFileExit", QStringLiteral("&Exit"));
    mnuFileNewCTD->setIcon(artwork::toolIcon(artwork::Tool::New));
    mnuFileOpenCTD->setIcon(artwork::toolIcon(artwork::Tool::Open));
    mnuFileSaveGraph->setEnabled(false);

    mnuEdit = bar->addMenu(QStringLiteral("E&dit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEditCut = addEntry(mnuEdit, "mnuEditCut", QStringLiteral("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X));
    mnuEditCopy = addEntry(mnuEdit, "mnuEditCopy", QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuEditPaste = addEntry(mnuEdit, "mnuEditPaste", QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V));
    mnuEditCut->setIcon(artwork::toolIcon(artwork::Tool::Cut));
    mnuEditCopy->setIcon(artwork::toolIcon(artwork::Tool::Copy));
    mnuEditPaste->setIcon(artwork::toolIcon(artwork::Tool::Paste));
    // Text fields handle these keys themselves while they have the focus.
    for (QAction* a : {mnuEditCut, mnuEditCopy, mnuEditPaste}) a->setEnabled(false);

    mnuView = bar->addMenu(QStringLiteral("&View"));
    mnuView->setObjectName(QStringLiteral("mnuView"));
    mnuViewGraph = addEntry(mnuView, "mnuViewGraph", QStringLiteral("Graph sheet"));
    mnuViewCalculation = addEntry(mnuView, "mnuViewCalculation", QStringLiteral("Calculation sheet"));
    mnuViewProtocol = addEntry(mnuView, "mnuViewProtocol", QStringLiteral("Protocol sheet"));
    mnuViewGraph->setIcon(artwork::toolIcon(artwork::Tool::Graph));
    mnuViewCalculation->setIcon(artwork::toolIcon(artwork::Tool::Calculation));
    mnuViewProtocol->setIcon(artwork::toolIcon(artwork::Tool::Protocol));
    addBar(mnuView, "mnuViewBar0");
    mnuViewToolbar = addEntry(mnuView, "mnuViewToolbar", QStringLiteral("&Toolbar"));
    mnuViewStatusBar = addEntry(mnuView, "mnuViewStatusBar", QStringLiteral("&Statusbar"));
    mnuViewDataBrowser = addEntry(mnuView, "mnuViewDataBrowser", QStringLiteral("&Databrowser"));
    for (QAction* a : {mnuViewToolbar, mnuViewStatusBar, mnuViewDataBrowser}) {
        a->setCheckable(true);
        a->setChecked(true);
    }

    mnuWindow = bar->addMenu(QStringLiteral("&Window"));
    mnuWindow->setObjectName(QStringLiteral("mnuWindow"));
    mnuWindowCascade = addEntry(mnuWindow, "mnuWindowCascade", QStringLiteral("&Cascade"));
    mnuWindowTileHorizontal = addEntry(mnuWindow, "mnuWindowTileHorizontal", QStringLiteral("Tile &horizontal"));
    mnuWindowTileVertical = addEntry(mnuWindow, "mnuWindowTileVertical", QStringLiteral("Tile &vertical"));
    connect(mnuWindow, &QMenu::aboutToShow, this, &MainWindow::fillWindowMenu);

    mnuHelp = bar->addMenu(QStringLiteral("&?"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpContents = addEntry(mnuHelp, "mnuHelpContents", QStringLiteral("&Help"), Qt::Key_F1);
    mnuHelpAbout = addEntry(mnuHelp, "mnuHelpAbout", QStringLiteral("&About"));
    mnuHelpContents->setIcon(artwork::toolIcon(artwork::Tool::Help));

    connect(mnuFileNewCTD, &QAction::triggered, this, &MainWindow::newDataFile);
    connect(mnuFileNewCTS, &QAction::triggered, this, &MainWindow::newSeries);
    connect(mnuFileOpenCTD, &QAction::triggered, this, &MainWindow::openDataFile);
    connect(mnuFileOpenCTS, &QAction::triggered, this, &MainWindow::openSeries);
    connect(mnuFileSaveGraph, &QAction::triggered, this, &MainWindow::saveGraph);
    connect(mnuFileSaveNotepad, &QAction::triggered, this, &MainWindow::saveNotes);
    connect(mnuFileExit, &QAction::triggered, this, &MainWindow::exitProgram);
    connect(mnuEditCut, &QAction::triggered, this, &MainWindow::editCut);
    connect(mnuEditCopy, &QAction::triggered, this, &MainWindow::editCopy);
    connect(mnuEditPaste, &QAction::triggered, this, &MainWindow::editPaste);
    connect(mnuViewGraph, &QAction::triggered, this, [this] { showPage(0); });
    connect(mnuViewCalculation, &QAction::triggered, this, [this] { showPage(1); });
    connect(mnuViewProtocol, &QAction::triggered, this, [this] { showPage(2); });
    connect(mnuViewToolbar, &QAction::triggered, this, [this](bool on) { tbToolBar->setVisible(on); });
    connect(mnuViewStatusBar, &QAction::triggered, this, [this](bool on) { sbStatusBar->setVisible(on); });
    connect(mnuViewDataBrowser, &QAction::triggered, this, [this](bool on) { setBrowserVisible(on, true); });
    connect(mnuWindowCascade, &QAction::triggered, this, &MainWindow::cascade);
    connect(mnuWindowTileHorizontal, &QAction::triggered, this, &MainWindow::tileHorizontal);
    connect(mnuWindowTileVertical, &QAction::triggered, this, &MainWindow::tileVertical);
    connect(mnuHelpContents, &QAction::triggered, this, &MainWindow::showHelp);
    connect(mnuHelpAbout, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::buildToolbar()
{
    tbToolBar = addToolBar(QStringLiteral("Toolbar"));
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    tbToolBar->setIconSize(QSize(16, 16));
    tbToolBar->toggleViewAction()->setVisible(false);

    struct Def {
        int position;
        const char* key;
        const char* tip;
        artwork::Tool tool;
    };
    static const Def defs[] = {
        {1, "New", "New...", artwork::Tool::New},
        {2, "Open", "Open...", artwork::Tool::Open},
        {3, "Save", "Save...", artwork::Tool::Save},
        {5, "Cut", "Cut", artwork::Tool::Cut},
        {6, "Copy", "Copy", artwork::Tool::Copy},
        {7, "Paste", "Paste", artwork::Tool::Paste},
        {9, "Graph", "Graph view", artwork::Tool::Graph},
        {10, "Calculation", "Calculation view", artwork::Tool::Calculation},
        {11, "Protocol", "Protocol view", artwork::Tool::Protocol},
        {13, "Help", "Help", artwork::Tool::Help},
    };
    struct MenuDef {
        int position;
        const char* text;
        const char* key;
    };
    static const MenuDef menuDefs[] = {
        {1, "New CTD...", "New CTD"},   {1, "New CTS...", "New CTS"},
        {2, "Open CTD...", "Open CTD"}, {2, "Open CTS...", "Open CTS"},
        {3, "Save graph as picture...", "Save graph"}, {3, "Save notepad...", "Save notes"},
    };

    int position = 1;
    for (const Def& d : defs) {
        while (position < d.position) {  // separators fill the gaps (positions 4, 8, 12)
            tbToolBar->addSeparator();
            ++position;
        }
        const QString key = QLatin1String(d.key);
        auto* b = platform::make<QToolButton>(tbToolBar, QStringLiteral("tbToolBar_") + key);
        b->setProperty("key", key);
        b->setToolTip(QLatin1String(d.tip));
        b->setIcon(artwork::toolIcon(d.tool));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        if (d.position <= 3) {
            auto* menu = platform::make<QMenu>(b, QStringLiteral("tbToolBarMenu_") + key);
            for (const MenuDef& m : menuDefs) {
                if (m.position != d.position) continue;
                QAction* a = menu->addAction(QLatin1String(m.text));
                const QString entryKey = QLatin1String(m.key);
                a->setObjectName(QStringLiteral("tbToolBarMenu_") + QString(entryKey).replace(QLatin1Char(' '), QLatin1Char('_')));
                a->setData(entryKey);
                connect(a, &QAction::triggered, this, [this, entryKey] { tbToolBar_ButtonMenuClick(entryKey); });
            }
            b->setMenu(menu);
            b->setPopupMode(QToolButton::MenuButtonPopup);
            buttonMenus_[static_cast<size_t>(d.position)] = menu;
            // The button's body opens the same menu as its arrow: its commands sit in the menu,
            // and a click that did nothing would leave the user guessing.
            connect(b, &QToolButton::clicked, b, &QToolButton::showMenu);
        } else {
            connect(b, &QToolButton::clicked, this, [this, key] { tbToolBar_ButtonClick(key); });
        }
        tbToolBar->addWidget(b);
        buttons_[static_cast<size_t>(d.position)] = b;
        ++position;
    }
    tbMenuEntry(3, 1)->setEnabled(false);
    for (int p : {5, 6, 7}) tbButton(p)->setEnabled(false);
}

void MainWindow::buildStatusBar()
{
    sbStatusBar = statusBar();
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    sbStatusBar->setSizeGripEnabled(true);
    const int minWidth = px(1440);
    for (size_t i = 0; i < sbPanels.size(); ++i) {
        auto* panel = platform::make<QLabel>(sbStatusBar, QStringLiteral("sbStatusBarPanel%1").arg(i + 1));
        panel->setMinimumWidth(minWidth);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
        sbPanels[i] = panel;
    }
    sbPanels[0]->setText(QStringLiteral("Coast-down test evaluation"));
    sbPanels[0]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    sbPanels[0]->setMinimumWidth(minWidth);
    sbPanels[1]->setAlignment(Qt::AlignCenter);
    sbPanels[2]->setAlignment(Qt::AlignCenter);
    sbStatusBar->addWidget(sbPanels[0], 1);
    sbStatusBar->addPermanentWidget(sbPanels[1]);
    sbStatusBar->addPermanentWidget(sbPanels[2]);
    clock_ = new QTimer(this);
    clock_->setInterval(1000);
    connect(clock_, &QTimer::timeout, this, &MainWindow::updateClock);
    clock_->start();
    updateClock();
}

void MainWindow::updateClock()
{
    const QLocale locale;
    sbPanels[1]->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    sbPanels[2]->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
}

// ---- toolbar --------------------------------------------------------------------------------

QToolButton* MainWindow::tbButton(int position) const
{
    if (position < 1 || position >= static_cast<int>(buttons_.size())) return nullptr;
    return buttons_[static_cast<size_t>(position)];
}

QAction* MainWindow::tbMenuEntry(int position, int entry) const
{
    if (position < 1 || position > 3) return nullptr;
    const QMenu* menu = buttonMenus_[static_cast<size_t>(position)];
    const QList<QAction*> actions = menu ? menu->actions() : QList<QAction*>();
    if (entry < 1 || entry > actions.size()) return nullptr;
    return actions.at(entry - 1);
}

void MainWindow::tbToolBar_ButtonClick(const QString& key)
{
    if (key == QLatin1String("Cut")) editCut();
    else if (key == QLatin1String("Copy")) editCopy();
    else if (key == QLatin1String("Paste")) editPaste();
    else if (key == QLatin1String("Graph")) showPage(0, true);
    else if (key == QLatin1String("Calculation")) showPage(1);
    else if (key == QLatin1String("Protocol")) showPage(2);
    else if (key == QLatin1String("Help")) showHelp();
}

void MainWindow::tbToolBar_ButtonMenuClick(const QString& key)
{
    if (key == QLatin1String("New CTD")) newDataFile();
    else if (key == QLatin1String("New CTS")) newSeries();
    else if (key == QLatin1String("Open CTD")) openDataFile();
    else if (key == QLatin1String("Open CTS")) openSeries();
    else if (key == QLatin1String("Save graph")) saveGraph();
    else if (key == QLatin1String("Save notes")) saveNotes();
}

// ---- command switching ----------------------------------------------------------------------

void MainWindow::setEditCommands(bool cut, bool copy, bool paste)
{
    tbButton(5)->setEnabled(cut);
    tbButton(6)->setEnabled(copy);
    tbButton(7)->setEnabled(paste);
    mnuEditCut->setEnabled(cut);
    mnuEditCopy->setEnabled(copy);
    mnuEditPaste->setEnabled(paste);
}

void MainWindow::setSaveGraphEnabled(bool enabled)
{
    mnuFileSaveGraph->setEnabled(enabled);
    tbMenuEntry(3, 1)->setEnabled(enabled);
}

void MainWindow::setAnalysisCommandsEnabled(bool enabled)
{
    setSaveGraphEnabled(enabled);
    mnuViewGraph->setEnabled(enabled);
    mnuViewCalculation->setEnabled(enabled);
    mnuViewProtocol->setEnabled(enabled);
    for (int p : {9, 10, 11}) tbButton(p)->setEnabled(enabled);
}

// ---- child windows --------------------------------------------------------------------------

bool MainWindow::isBrowserActive() const { return mdiArea->activeSubWindow() == browserWindow; }

int MainWindow::visibleBrowserWidth() const { return browserWindow->isVisible() ? browserWindow->width() : 0; }

QMdiSubWindow* MainWindow::addChildWindow(QWidget* widget)
{
    QMdiSubWindow* sub = mdiArea->addSubWindow(widget);
    return sub;
}

void MainWindow::addAnalysisWindow(frame::AnalysisWindowApi* window, const QRect& geometry)
{
    QWidget* widget = window->windowWidget();
    QMdiSubWindow* sub = addChildWindow(widget);
    sub->setGeometry(geometry);
    connect(mdiArea, &QMdiArea::subWindowActivated, widget, [window, sub](QMdiSubWindow* active) {
        if (active == sub) window->Form_Activate();
    });
    sub->show();
    mdiArea->setActiveSubWindow(sub);
}

QList<frame::AnalysisWindowApi*> MainWindow::analysisWindows(const frame::AnalysisWindowApi* excluding) const
{
    QList<frame::AnalysisWindowApi*> list;
    for (QMdiSubWindow* sub : mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        auto* w = dynamic_cast<frame::AnalysisWindowApi*>(sub->widget());
        if (w && w != excluding && w->isOpen()) list << w;
    }
    return list;
}

int MainWindow::openAnalysisWindowCount(const frame::AnalysisWindowApi* excluding) const
{
    return static_cast<int>(analysisWindows(excluding).size());
}

frame::AnalysisWindowApi* MainWindow::findAnalysisWindow(int windowNumber) const
{
    for (frame::AnalysisWindowApi* w : analysisWindows())
        if (w->windowNumber() == windowNumber) return w;
    return nullptr;
}

frame::AnalysisWindowApi* MainWindow::activeAnalysisWindow() const
{
    QMdiSubWindow* sub = mdiArea->activeSubWindow();
    if (!sub) return nullptr;
    auto* w = dynamic_cast<frame::AnalysisWindowApi*>(sub->widget());
    return w && w->isOpen() ? w : nullptr;
}

frame::AnalysisWindowApi* MainWindow::lastActivatedAnalysisWindow(const frame::AnalysisWindowApi* excluding) const
{
    const QList<QMdiSubWindow*> history = mdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = history.crbegin(); it != history.crend(); ++it) {
        auto* w = dynamic_cast<frame::AnalysisWindowApi*>((*it)->widget());
        if (w && w != excluding && w->isOpen()) return w;
    }
    return nullptr;
}

QMdiSubWindow* MainWindow::subWindowOf(const frame::AnalysisWindowApi* window) const
{
    if (!window) return nullptr;
    for (QMdiSubWindow* sub : mdiArea->subWindowList())
        if (dynamic_cast<frame::AnalysisWindowApi*>(sub->widget()) == window) return sub;
    return nullptr;
}

void MainWindow::activateAnalysisWindow(frame::AnalysisWindowApi* window, bool restoreMinimised)
{
    QMdiSubWindow* sub = subWindowOf(window);
    if (!sub) return;
    if (!sub->isVisible()) sub->show();
    // A page asked for is shown: a minimised window would keep it, and the focus, out of reach.
    if (restoreMinimised && sub->isMinimized()) sub->showNormal();
    mdiArea->setActiveSubWindow(sub);
    // The control that had the focus in the window last takes it again (a page just chosen
    // has put it on the page's control).
    QWidget* widget = window->windowWidget();
    QWidget* control = widget->focusWidget();
    if (control && widget->isAncestorOf(control) && control->isVisible()) control->setFocus(Qt::OtherFocusReason);
    else widget->setFocus(Qt::OtherFocusReason);
}

void MainWindow::setFrameEnabled(bool enabled)
{
    if (!enabled) {
        if (isEnabled()) {
            activeWhileDisabled_ = mdiArea->activeSubWindow();
            focusWhileDisabled_ = QApplication::focusWidget();
        }
        setEnabled(false);
        return;
    }
    setEnabled(true);
    const QPointer<QMdiSubWindow> active = activeWhileDisabled_;
    const QPointer<QWidget> focus = focusWhileDisabled_;
    activeWhileDisabled_ = nullptr;
    focusWhileDisabled_ = nullptr;
    if (!active || !mdiArea->subWindowList().contains(active.data())) return;
    if (mdiArea->activeSubWindow() != active) mdiArea->setActiveSubWindow(active);
    // The focus must come back inside that child, or the next activation of the main window
    // (after a program the operation opened, say) hands it to the data browser again.
    if (focus && active->isAncestorOf(focus) && focus->isEnabled()) focus->setFocus();
    else if (!active->isAncestorOf(QApplication::focusWidget())) active->setFocus();
}

void MainWindow::onSubWindowActivated(QMdiSubWindow* window)
{
    if (window == lastActive_) return;
    const bool wasBrowser = lastActive_ != nullptr && lastActive_ == browserWindow;
    lastActive_ = window;
    if (!browser) return;
    if (window != nullptr && window == browserWindow) browser->browserActivation(true);
    else if (wasBrowser) browser->browserActivation(false);
}

void MainWindow::fillWindowMenu()
{
    for (QAction* a : mnuWindow->actions())
        if (a->property("windowListEntry").toBool()) {
            mnuWindow->removeAction(a);
            a->deleteLater();
        }
    const QList<QMdiSubWindow*> subs = mdiArea->subWindowList(QMdiArea::CreationOrder);
    int n = 0;
    for (QMdiSubWindow* sub : subs) {
        if (!sub->isVisible()) continue;
        if (n == 0) {
            QAction* sep = mnuWindow->addSeparator();
            sep->setProperty("windowListEntry", true);
        }
        ++n;
        const QString text = (n < 10 ? QStringLiteral("&%1 ").arg(n) : QStringLiteral("%1 ").arg(n)) + sub->windowTitle();
        QAction* a = mnuWindow->addAction(text);
        a->setProperty("windowListEntry", true);
        a->setCheckable(true);
        a->setChecked(sub == mdiArea->activeSubWindow());
        QPointer<QMdiSubWindow> target(sub);
        connect(a, &QAction::triggered, this, [this, target] {
            if (!target) return;
            if (target->isMinimized()) target->showNormal();
            mdiArea->setActiveSubWindow(target);
        });
    }
}

// ---- commands -------------------------------------------------------------------------------

void MainWindow::newDataFile()
{
    if (commandHooks().importAsciiData) commandHooks().importAsciiData();
}

void MainWindow::newSeries()
{
    if (commandHooks().createSeriesFile) commandHooks().createSeriesFile();
}

void MainWindow::openDataFile()
{
    if (commandHooks().openAnalysisWindow) commandHooks().openAnalysisWindow(1);
}

void MainWindow::openSeries()
{
    if (commandHooks().openAnalysisWindow) commandHooks().openAnalysisWindow(2);
}

void MainWindow::saveGraph()
{
    if (commandHooks().saveGraph) commandHooks().saveGraph();
}

bool MainWindow::saveNotes()
{
    if (!commandHooks().saveNotes) return false;
    const QString text = browser->txtNotes->toPlainText();
    if (!commandHooks().saveNotes()) return false;
    notesSaved_ = text;
    return true;
}

bool MainWindow::notesMayBeLeft()
{
    const QString text = browser->txtNotes->toPlainText();
    if (text.isEmpty() || text == notesSaved_) return true;
    switch (platform::showMessage(platform::question("The notepad holds text that is not saved. Save it?", {}, platform::Buttons::YesNoCancel), this)) {
    case platform::Answer::Yes: return saveNotes();
    case platform::Answer::No: return true;
    default: return false;
    }
}

void MainWindow::exitProgram() { close(); }

void MainWindow::editCopy() { copyFromFocusedControl(mdiArea); }

void MainWindow::editCut() { cutFromFocusedControl(mdiArea); }

void MainWindow::editPaste() { pasteIntoFocusedControl(mdiArea); }

void MainWindow::showPage(int page, bool fromToolbarGraph)
{
    frame::AnalysisWindowApi* active = activeAnalysisWindow();
    if (!active) return;
    active->selectPage(page);
    if (fromToolbarGraph && browser) browser->SSTab1->setCurrentIndex(2);
}

void MainWindow::toggleToolbar() { mnuViewToolbar->trigger(); }
void MainWindow::toggleStatusBar() { mnuViewStatusBar->trigger(); }
void MainWindow::toggleDataBrowser() { mnuViewDataBrowser->trigger(); }

void MainWindow::setBrowserVisible(bool visible, bool shiftWindows)
{
    mnuViewDataBrowser->setChecked(visible);
    browserWindow->setVisible(visible);
    // The arrangements hide the browser but leave Save notepad as it is.
    if (!shiftWindows) return;
    mnuFileSaveNotepad->setEnabled(visible);
    tbMenuEntry(3, 2)->setEnabled(visible);
    shiftNormalSubWindows(mdiArea, browserWindow, visible ? browserWindow->width() : -browserWindow->width());
    if (!visible) {
        const QList<frame::AnalysisWindowApi*> open = analysisWindows();
        if (!open.isEmpty()) activateAnalysisWindow(open.front());
    }
}

void MainWindow::cascade()
{
    // The data browser leaves the arrangement: hidden first, so no hole is left where it stood.
    setBrowserVisible(false, false);
    activateFront(cascadeSubWindows(mdiArea));
}

void MainWindow::tileHorizontal()
{
    setBrowserVisible(false, false);
    activateFront(tileSubWindows(mdiArea, Qt::Horizontal));
}

void MainWindow::tileVertical()
{
    setBrowserVisible(false, false);
    activateFront(tileSubWindows(mdiArea, Qt::Vertical));
}

void MainWindow::activateFront(QMdiSubWindow* front)
{
    // What the user sees in front is what the commands act on. The active window may be one
    // the arrangement left out (a minimised one, now under the others, or the hidden browser).
    if (!front) return;
    if (auto* w = dynamic_cast<frame::AnalysisWindowApi*>(front->widget())) activateAnalysisWindow(w);
    else mdiArea->setActiveSubWindow(front);
}

void MainWindow::showHelp()
{
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("readme.pdf"));
    const int code = platform::openDocument(path);
    const std::string message = platform::openDocumentErrorText(code, path.toStdString());
    if (!message.empty()) platform::showMessage(platform::critical(message), this);
}

void MainWindow::showAbout()
{
    if (!about_) about_ = new Frmabout;
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (closing_) {
        event->accept();
        return;
    }
    if (!notesMayBeLeft()) {
        event->ignore();
        return;
    }
    closing_ = true;
    // The children go first: each analysis window runs its own unload.
    for (QMdiSubWindow* sub : mdiArea->subWindowList(QMdiArea::CreationOrder))
        if (sub != browserWindow) sub->close();
    savePlacement(this);
    if (about_) about_->close();
    event->accept();
    emit closed();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The controls keep their Edit commands while the menu bar has the focus (frame::menuTookFocus).
    // When it hands the focus on to another control than the one it took it from, that one
    // has lost it; the new one's own focus handler runs after this.
    if (watched == menuBar() && event->type() == QEvent::FocusOut) {
        if (QApplication::focusWidget() != focusBeforeMenuBar_) setEditCommands(false, false, false);
        focusBeforeMenuBar_ = nullptr;
    }
    // The browser stays loaded for the whole run: its close box hides it like View > Databrowser.
    if (watched == browserWindow && event->type() == QEvent::Close && !closing_) {
        event->ignore();
        if (mnuViewDataBrowser->isChecked()) mnuViewDataBrowser->trigger();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace app
