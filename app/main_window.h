#pragma once
// The main window frmMDI: MDI area, menus, toolbar tbToolBar and status bar sbStatusBar, and
// every command behind them. Menu entries are QActions named as their menu items. What
// the window arrangement, the placement and the clipboard commands do is in
// window_arrangement.h, placement_store.h and clipboard_commands.h.
#include <QList>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPointer>

#include <array>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QRect;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;

namespace frame {
class AnalysisWindowApi;
}

namespace app {

class DataBrowser;
class Frmabout;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Runs the load handler: diagram defaults, placement from the settings store, the data
    // browser at the top left of the client area.
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // ---- toolbar ----------------------------------------------------------------------------
    // Button at 1-based position 1..13; nullptr for the separators 4, 8, 12 and out of range.
    QToolButton* tbButton(int position) const;
    // Entry (1-based) of the drop-down menu of button 1 (New), 2 (Open) or 3 (Save); nullptr
    // otherwise. Entry 1 of button 3 is "Save graph as picture...", entry 2 "Save notepad...".
    QAction* tbMenuEntry(int position, int entry) const;
    // Toolbar events by key, as the buttons and their menus raise them.
    void tbToolBar_ButtonClick(const QString& key);
    void tbToolBar_ButtonMenuClick(const QString& key);

    // ---- command switching ------------------------------------------------------------------
    // Toolbar buttons 5, 6, 7, then Edit > Cut, Copy, Paste.
    void setEditCommands(bool cut, bool copy, bool paste);
    void setEditCommandsEnabled(bool enabled) { setEditCommands(enabled, enabled, enabled); }
    // Save graph (menu and toolbar entry) and the three page commands (menu and buttons 9-11).
    void setAnalysisCommandsEnabled(bool enabled);
    // Save graph only (menu and the first entry of the Save button menu).
    void setSaveGraphEnabled(bool enabled);

    // ---- child windows ----------------------------------------------------------------------
    // The data browser (frmTreeviewchild), there for the whole run.
    DataBrowser* dataBrowser() const { return browser; }
    // True while the data browser is the active child.
    bool isBrowserActive() const;
    // The data browser's width in pixels while it is shown, 0 while it is hidden.
    int visibleBrowserWidth() const;
    QMdiSubWindow* addChildWindow(QWidget* widget);
    // Adds an analysis window as a child at `geometry` (pixels), shows it and makes it the active
    // child. The window's activation handler runs each time its child becomes the active one.
    void addAnalysisWindow(frame::AnalysisWindowApi* window, const QRect& geometry);
    // Open analysis windows in load order (MDI children implementing frame::AnalysisWindowApi whose
    // isOpen() holds); `excluding` is left out (a window that is closing).
    QList<frame::AnalysisWindowApi*> analysisWindows(const frame::AnalysisWindowApi* excluding = nullptr) const;
    int openAnalysisWindowCount(const frame::AnalysisWindowApi* excluding = nullptr) const;
    frame::AnalysisWindowApi* findAnalysisWindow(int windowNumber) const;
    // The active MDI child when it is an analysis window, else nullptr.
    frame::AnalysisWindowApi* activeAnalysisWindow() const;
    // The open analysis window activated last, `excluding` left out; nullptr when none.
    frame::AnalysisWindowApi* lastActivatedAnalysisWindow(const frame::AnalysisWindowApi* excluding) const;
    QMdiSubWindow* subWindowOf(const frame::AnalysisWindowApi* window) const;
    // Makes the window the active child and gives it the focus (its activation runs); a page
    // asked for from the tree brings a minimised window back first.
    void activateAnalysisWindow(frame::AnalysisWindowApi* window, bool restoreMinimised = false);
    // Disables or enables the whole frame around a long operation. The child that was active
    // stays active: enabling again would otherwise hand the focus to the first child that takes
    // it (the data browser), which the MDI area then activates and maximises over a maximised one.
    void setFrameEnabled(bool enabled);

    // ---- commands ---------------------------------------------------------------------------
    void newDataFile();
    void newSeries();
    void openDataFile();
    void openSeries();
    void saveGraph();
    // True when the notes were written.
    bool saveNotes();
    void exitProgram();
    void editCut();
    void editCopy();
    void editPaste();
    // Page 0, 1 or 2 of the active analysis window; the toolbar's Graph button also shows the
    // data browser's graph-view page.
    void showPage(int page, bool fromToolbarGraph = false);
    void toggleToolbar();
    void toggleStatusBar();
    void toggleDataBrowser();
    void cascade();
    void tileHorizontal();  // side by side, each as tall as the client area
    void tileVertical();    // one above another, each as wide as the client area
    void showHelp();
    void showAbout();
    Frmabout* aboutBox() const;

signals:
    // The window has closed (after its children and the placement); the program ends here.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void updateClock();
    void fillWindowMenu();
    void onSubWindowActivated(QMdiSubWindow* window);
    void setBrowserVisible(bool visible, bool shiftWindows);
    // Before the program ends: notes typed since they were last saved (or emptied) are saved,
    // kept or given up as the user answers. False: the program stays.
    bool notesMayBeLeft();
    // After an arrangement: the window it left in front becomes the active one.
    void activateFront(QMdiSubWindow* front);

    // Each control carries its given name as its object name; the tests find it by that.
    QMdiArea* mdiArea = nullptr;
    DataBrowser* browser = nullptr;          // frmTreeviewchild
    QMdiSubWindow* browserWindow = nullptr;  // its MDI frame
    QStatusBar* sbStatusBar = nullptr;
    std::array<QLabel*, 3> sbPanels{};       // fixed text, date, time
    QToolBar* tbToolBar = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuFileNewCTD = nullptr;
    QAction* mnuFileNewCTS = nullptr;
    QAction* mnuFileOpenCTD = nullptr;
    QAction* mnuFileOpenCTS = nullptr;
    QMenu* mnuFileSave = nullptr;
    QAction* mnuFileSaveGraph = nullptr;
    QAction* mnuFileSaveNotepad = nullptr;
    QAction* mnuFileExit = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuEditCut = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPaste = nullptr;
    QMenu* mnuView = nullptr;
    QAction* mnuViewGraph = nullptr;
    QAction* mnuViewCalculation = nullptr;
    QAction* mnuViewProtocol = nullptr;
    QAction* mnuViewToolbar = nullptr;
    QAction* mnuViewStatusBar = nullptr;
    QAction* mnuViewDataBrowser = nullptr;
    QMenu* mnuWindow = nullptr;
    QAction* mnuWindowCascade = nullptr;
    QAction* mnuWindowTileHorizontal = nullptr;
    QAction* mnuWindowTileVertical = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpContents = nullptr;
    QAction* mnuHelpAbout = nullptr;

    std::array<QToolButton*, 14> buttons_{};  // index = position
    std::array<QMenu*, 4> buttonMenus_{};     // index = position 1..3
    QTimer* clock_ = nullptr;
    QPointer<Frmabout> about_;  // made at the first Help > About, kept until the main window goes
    QPointer<QMdiSubWindow> lastActive_;
    QPointer<QMdiSubWindow> activeWhileDisabled_;
    QPointer<QWidget> focusWhileDisabled_;
    QPointer<QWidget> focusBeforeMenuBar_;  // the control the menu bar took the focus from
    bool closing_ = false;
    QString notesSaved_;  // the notes as last written by Save notepad
};

}  // namespace app
