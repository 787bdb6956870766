#pragma once
// The data browser frmTreeviewchild: toolbar, the tree of open analysis windows with their
// pages, and the pages Editor, Notepad and Graph view (overview picture and arrow navigation).
// It lives in the main window's MDI area for the whole run.
#include "app/core/navigation.h"
#include "diagram/overview.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QTabWidget;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace platform {
class PlainTextEdit;
}

namespace app {

// Item data of the tree nodes: key text, window number (int, 0 for the root) and page
// (0 Graph, 1 Calculation, 2 Protocol; -1 for nodes that are not pages).
inline constexpr int kNodeKeyRole = 0x0100;     // Qt::UserRole
inline constexpr int kNodeWindowRole = 0x0101;  // Qt::UserRole + 1
inline constexpr int kNodePageRole = 0x0102;    // Qt::UserRole + 2

// The overview picture picover(0): the analysis windows draw their miniature and view on it;
// the browser itself never draws on it and ignores the mouse over it.
class OverviewPicture : public diagram::OverviewSurface {
    Q_OBJECT
public:
    using diagram::OverviewSurface::OverviewSurface;
    // Window number of the analysis window whose overview is shown; 0 when none.
    int tag = 0;
};

struct WindowNodes {
    QTreeWidgetItem* window = nullptr;
    QTreeWidgetItem* info = nullptr;
    QTreeWidgetItem* filename = nullptr;
    QTreeWidgetItem* project = nullptr;
    QTreeWidgetItem* graph = nullptr;
    QTreeWidgetItem* calculation = nullptr;
    QTreeWidgetItem* protocol = nullptr;
};

class DataBrowser : public QWidget {
    Q_OBJECT
public:
    explicit DataBrowser(QWidget* parent = nullptr);
    ~DataBrowser() override;

    // ---- public members -----------------------------------------------------------------------
    QString editorFile;  // file name of the active analysis window's file (set by the edit command)
    QString editorPath;  // its folder, ending in "/"
    // Writes the edited parameters back into the data file (carried out by the parameter
    // editing through commandHooks().saveEditor).
    void saveEditor();

    // ---- controls -----------------------------------------------------------------------------
    QToolBar* toolbTreeview = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QTreeWidgetItem* datafilesNode = nullptr;  // the root "Datafiles"
    QTabWidget* SSTab1 = nullptr;              // 0 Editor, 1 Notepad, 2 Graph view
    // Editor page
    QLabel* lblEditorFile = nullptr;
    QComboBox* cmbEditorFiles = nullptr;
    QPushButton* cmdEdit = nullptr;
    QLabel* lbleditExtratag = nullptr;
    // Notepad page
    QLabel* lblNotes = nullptr;
    platform::PlainTextEdit* txtNotes = nullptr;  // tag "Text"
    // Graph view page
    QFrame* fraGraphview = nullptr;
    OverviewPicture* picover = nullptr;  // element 0
    QFrame* fraNaviball = nullptr;
    QFrame* fraNaviAround = nullptr;
    QLabel* imgNaviball = nullptr;
    QLabel* lblNaviballTop = nullptr;
    QLabel* lblNaviballDown = nullptr;
    QLabel* lblNaviballLeft = nullptr;
    QLabel* lblNaviballRight = nullptr;
    // The ball's five looks: normal, up, down, left, right.
    std::array<QImage, 5> naviballLooks;

    // ---- tags -----------------------------------------------------------------------------------
    QString cmbEditorFilesTag;   // folder of the active analysis window's file, ending in "/"
    QString cmdEditTag;          // file name the active analysis window was opened from
    int lbleditExtratagTag = 0;  // window number whose files cmbEditorFiles lists; 0 when none

    // ---- tree -----------------------------------------------------------------------------------
    // Adds the seven nodes of window n below the root, in order: "CTData n" or "Series n", the
    // untitled info node with `filenameText` (the file-name line "Filename: ...") and
    // "Project: " + `projectText`, then "Graph", "Calculation", "Protocol"; makes the last one
    // visible.
    WindowNodes addWindowNodes(int windowNumber, bool series, const QString& filenameText,
                               const QString& projectText);
    // Removes the first window node of window n with its children; false when there is none.
    bool removeWindowNodes(int windowNumber);
    QTreeWidgetItem* findNode(const QString& key) const;

    // ---- what the analysis window's activation and unload switch --------------------------------
    // Lists the window's data files (item 0 selected), sets the three tags and the overview
    // tag, enables the editor controls and the arrow labels. `namesOnDisk` (one per data file,
    // or none when they are the names listed) are the names the files have in `folder`.
    void showWindowFiles(int windowNumber, const QStringList& dataFileNames, const QString& folder,
                         const QString& fileName, const QStringList& namesOnDisk = {});
    // The data file chosen in cmbEditorFiles by the name it has on disk; "" when none is chosen.
    QString chosenFileOnDisk() const;
    // Empties the file list and tags, disables the editor controls.
    void clearWindowFiles();
    // Overview tag "" (0) and a cleared picture; arrow labels disabled.
    void clearOverview();
    void setNavigationEnabled(bool enabled);

    // ---- handlers -------------------------------------------------------------------------------
    void TreeView1_NodeClick(QTreeWidgetItem* node);
    void toolbTreeview_ButtonClick(int index);  // 1..6
    void SSTab1_Click();
    void naviballClick(Arrow arrow);
    void cmdEdit_Click();
    // The browser became the active child (true) or stopped being it (false).
    void browserActivation(bool activated);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildEditorPage(QWidget* page);
    void buildNotesPage(QWidget* page);
    void buildGraphPage(QWidget* page);
    void showLook(int look);
    std::array<QToolButton*, 7> toolButtons_{};  // index 1..6
};

}  // namespace app
