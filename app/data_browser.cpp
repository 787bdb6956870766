#include "app/data_browser.h"

#include "app/commands.h"
#include "app/main_window.h"
#include "frame_api/analysis_window_api.h"
#include "platform/controls.h"
#include "platform/plain_text_edit.h"
#include "resources/artwork.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace app {

namespace {

using platform::make;
using platform::px;

enum Look { Normal = 0, Up = 1, Down = 2, Left = 3, Right = 4 };

MainWindow* ownerOf(const QWidget* w) { return qobject_cast<MainWindow*>(w->window()); }

class NarrowTabStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_TabBarTabHSpace) return 8;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

// ---- the browser ------------------------------------------------------------------------------

DataBrowser::DataBrowser(QWidget* parent) : QWidget(parent)
{
    platform::fixedWindow(this, QStringLiteral("frmTreeviewchild"), QStringLiteral("Datafiles"), 3060, 9345);
    // The narrow window uses the small dialog font, so the three page tabs fit side by side.
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);

    auto* frame = make<QGroupBox>(this, "frmtreeview", {0, 0, 3045, 9330}, QStringLiteral("Input Data Browser"));

    toolbTreeview = make<QToolBar>(frame, "toolbTreeview", {120, 240, 2835, 360});
    toolbTreeview->setIconSize(QSize(16, 16));
    struct Def {
        int index;
        const char* key;
        const char* tip;
    };
    static const Def defs[] = {{1, "createctd", "Create CTD-file"}, {2, "creatects", "Create CTS-file"},
                               {4, "openctd", "Open CTD-file"},   {5, "opencts", "Open CTS-file"}};
    int index = 1;
    for (const Def& d : defs) {
        while (index < d.index) {
            toolbTreeview->addSeparator();
            ++index;
        }
        auto* b = make<QToolButton>(toolbTreeview, QStringLiteral("toolbTreeview_") + QLatin1String(d.key));
        b->setProperty("key", QLatin1String(d.key));
        b->setToolTip(QLatin1String(d.tip));
        b->setIcon(artwork::browserIcon(QLatin1String(d.key)));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        const int i = d.index;
        connect(b, &QToolButton::clicked, this, [this, i] { toolbTreeview_ButtonClick(i); });
        toolbTreeview->addWidget(b);
        toolButtons_[static_cast<size_t>(d.index)] = b;
        ++index;
    }
    toolbTreeview->addSeparator();

    TreeView1 = make<QTreeWidget>(frame, "TreeView1", {120, 660, 2820, 4665});
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setIconSize(QSize(16, 16));
    TreeView1->setIndentation(14);
    connect(TreeView1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { TreeView1_NodeClick(item); });

    SSTab1 = make<QTabWidget>(frame, "SSTab1", {120, 5400, 2850, 3705});
    SSTab1->setUsesScrollButtons(false);
    SSTab1->setDocumentMode(false);
    // Narrow tab padding, so the three captions fit the browser's width.
    auto* tabStyle = new NarrowTabStyle;
    tabStyle->setParent(SSTab1);
    SSTab1->tabBar()->setStyle(tabStyle);
    auto* page0 = new QWidget;
    auto* page1 = new QWidget;
    auto* page2 = new QWidget;
    SSTab1->addTab(page0, QStringLiteral(" Editor  "));
    SSTab1->addTab(page1, QStringLiteral(" Notepad  "));
    SSTab1->addTab(page2, QStringLiteral("Graph view "));
    buildEditorPage(page0);
    buildNotesPage(page1);
    buildGraphPage(page2);
    // A page change by the program or a click on any tab, the current one included.
    connect(SSTab1, &QTabWidget::currentChanged, this, [this](int) { SSTab1_Click(); });
    connect(SSTab1, &QTabWidget::tabBarClicked, this, [this](int i) {
        if (i == SSTab1->currentIndex()) SSTab1_Click();
    });
    SSTab1->setMouseTracking(true);
    SSTab1->installEventFilter(this);

    // Load: the root node, the editor controls off.
    datafilesNode = new QTreeWidgetItem(TreeView1, QStringList{QStringLiteral("Datafiles")});
    datafilesNode->setIcon(0, artwork::treeIcon(1));
    datafilesNode->setData(0, kNodeWindowRole, 0);
    datafilesNode->setData(0, kNodePageRole, -1);
    TreeView1->scrollToItem(datafilesNode);
    cmdEdit->setEnabled(false);
    cmbEditorFiles->setEnabled(false);
    setNavigationEnabled(false);
}

DataBrowser::~DataBrowser() = default;

void DataBrowser::buildEditorPage(QWidget* page)
{
    const int tabs = 360;  // the tab strip above the page
    lblEditorFile = make<QLabel>(page, "lblEditorFile", {240, 600 - tabs, 2400, 255}, QStringLiteral("Choose datafile to edit:"));
    cmbEditorFiles = make<QComboBox>(page, "cmbEditorFiles", {240, 840 - tabs, 2295, 315});
    cmdEdit = make<QPushButton>(page, "cmdEdit", {240, 1320 - tabs, 2295, 375}, QStringLiteral("&Edit"));
    cmdEdit->setToolTip(QStringLiteral("Edit file"));
    connect(cmdEdit, &QPushButton::clicked, this, &DataBrowser::cmdEdit_Click);
    lbleditExtratag = make<QLabel>(page, "lbleditExtratag", {360, 1920 - tabs, 2115, 255});
}

void DataBrowser::buildNotesPage(QWidget* page)
{
    lblNotes = make<QLabel>(page, "lblNotes", {120, 90, 2500, 255}, QStringLiteral("Write your notes here:"));
    txtNotes = make<platform::PlainTextEdit>(page, "txtNotes", {120, 390, 2560, 2800});
    frame::setControlTag(txtNotes, QStringLiteral("Text"));
    txtNotes->installEventFilter(this);
}

void DataBrowser::buildGraphPage(QWidget* page)
{
    fraGraphview = make<QFrame>(page, "fraGraphview", {60, 60, 2655, 1770});
    fraGraphview->setFrameShape(QFrame::StyledPanel);
    picover = make<OverviewPicture>(fraGraphview, "picover", {0, 60, 2630, 1665});
    picover->clear();

    fraNaviAround = make<QFrame>(page, "fraNaviAround", {780, 1860, 1260, 1440});
    fraNaviAround->setMouseTracking(true);
    fraNaviAround->installEventFilter(this);

    fraNaviball = make<QFrame>(fraNaviAround, "fraNaviball", {60, 60, 1140, 1320});
    fraNaviball->setMouseTracking(true);
    fraNaviball->installEventFilter(this);

    for (int look = 0; look < 5; ++look) naviballLooks[static_cast<size_t>(look)] = artwork::naviball(look, QSize(px(960), px(960)));
    imgNaviball = make<QLabel>(fraNaviball, "imgNaviball", {120, 180, 960, 960});
    imgNaviball->setMouseTracking(true);
    imgNaviball->installEventFilter(this);
    showLook(Normal);

    auto arrow = [this](const char* name, const platform::TwipsRect& at) {
        auto* label = make<QLabel>(fraNaviball, name, at);
        label->setAttribute(Qt::WA_TranslucentBackground);
        label->setCursor(Qt::PointingHandCursor);
        label->setMouseTracking(true);
        label->installEventFilter(this);
        return label;
    };
    lblNaviballTop = arrow("lblNaviballTop", {375, 120, 315, 375});
    lblNaviballDown = arrow("lblNaviballDown", {360, 720, 315, 495});
    lblNaviballLeft = arrow("lblNaviballLeft", {120, 480, 315, 315});
    lblNaviballRight = arrow("lblNaviballRight", {720, 480, 315, 315});
}

void DataBrowser::showLook(int look)
{
    imgNaviball->setPixmap(QPixmap::fromImage(naviballLooks[static_cast<size_t>(look)]));
}

// ---- tree -------------------------------------------------------------------------------------

namespace {

QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& key, const QString& text, int image, int window,
                         int page)
{
    auto* item = new QTreeWidgetItem(parent, QStringList{text});
    item->setData(0, kNodeKeyRole, key);
    item->setData(0, kNodeWindowRole, window);
    item->setData(0, kNodePageRole, page);
    item->setIcon(0, artwork::treeIcon(image));
    return item;
}

}  // namespace

WindowNodes DataBrowser::addWindowNodes(int n, bool series, const QString& filenameText, const QString& projectText)
{
    const QString num = QString::number(n);
    const QString p = (series ? QStringLiteral("Series ") : QStringLiteral("CTData ")) + num;
    WindowNodes nodes;
    nodes.window = addNode(datafilesNode, p, p, series ? 3 : 2, n, -1);
    nodes.info = addNode(nodes.window, QStringLiteral("Info") + num, QString(), 7, n, -1);
    nodes.filename = addNode(nodes.info, QStringLiteral("Filename") + num, filenameText, 8, n, -1);
    nodes.project = addNode(nodes.info, QStringLiteral("Project") + num, QStringLiteral("Project: ") + projectText, 8, n, -1);
    nodes.graph = addNode(nodes.window, QStringLiteral("NR") + num + QLatin1Char('0'), QStringLiteral("Graph"), 4, n, 0);
    nodes.calculation = addNode(nodes.window, QStringLiteral("NR") + num + QLatin1Char('1'), QStringLiteral("Calculation"), 5, n, 1);
    nodes.protocol = addNode(nodes.window, QStringLiteral("NR") + num + QLatin1Char('2'), QStringLiteral("Protocol"), 6, n, 2);
    datafilesNode->setExpanded(true);
    nodes.window->setExpanded(true);
    TreeView1->scrollToItem(nodes.protocol);
    return nodes;
}

bool DataBrowser::removeWindowNodes(int n)
{
    const QString num = QString::number(n);
    const QString a = QStringLiteral("CTData ") + num, b = QStringLiteral("Series ") + num;
    for (int i = 0; i < datafilesNode->childCount(); ++i) {
        QTreeWidgetItem* item = datafilesNode->child(i);
        if (item->text(0) == a || item->text(0) == b) {
            delete item;
            return true;
        }
    }
    return false;
}

QTreeWidgetItem* DataBrowser::findNode(const QString& key) const
{
    QTreeWidgetItemIterator it(TreeView1);
    for (; *it; ++it)
        if ((*it)->data(0, kNodeKeyRole).toString() == key && (*it) != datafilesNode) return *it;
    return nullptr;
}

// ---- what the analysis windows switch ---------------------------------------------------------

void DataBrowser::showWindowFiles(int windowNumber, const QStringList& dataFileNames, const QString& folder,
                                  const QString& fileName, const QStringList& namesOnDisk)
{
    cmbEditorFiles->setEnabled(true);
    cmdEdit->setEnabled(true);
    picover->tag = windowNumber;
    cmbEditorFiles->clear();
    const bool onDisk = namesOnDisk.size() == dataFileNames.size();
    for (int i = 0; i < dataFileNames.size(); ++i)
        cmbEditorFiles->addItem(dataFileNames.at(i), onDisk ? namesOnDisk.at(i) : dataFileNames.at(i));
    if (cmbEditorFiles->count() > 0) cmbEditorFiles->setCurrentIndex(0);
    cmbEditorFilesTag = folder;
    cmdEditTag = fileName;
    lbleditExtratagTag = windowNumber;
    setNavigationEnabled(true);
}

QString DataBrowser::chosenFileOnDisk() const
{
    const int i = cmbEditorFiles->currentIndex();
    return i < 0 ? QString() : cmbEditorFiles->itemData(i).toString();
}

void DataBrowser::clearWindowFiles()
{
    cmbEditorFiles->clear();
    cmbEditorFiles->setEnabled(false);
    lbleditExtratagTag = 0;
    cmdEditTag.clear();
    cmdEdit->setEnabled(false);
}

void DataBrowser::clearOverview()
{
    picover->tag = 0;
    picover->clear();
    setNavigationEnabled(false);
}

void DataBrowser::setNavigationEnabled(bool enabled)
{
    for (QLabel* l : {lblNaviballTop, lblNaviballDown, lblNaviballLeft, lblNaviballRight}) l->setEnabled(enabled);
}

// ---- handlers ---------------------------------------------------------------------------------

void DataBrowser::TreeView1_NodeClick(QTreeWidgetItem* node)
{
    if (!node || node == datafilesNode || node->childCount() > 0) return;
    MainWindow* main = ownerOf(this);
    if (!main) return;
    frame::AnalysisWindowApi* w = main->findAnalysisWindow(node->data(0, kNodeWindowRole).toInt());
    if (!w) return;
    const int page = node->data(0, kNodePageRole).toInt();
    // The info leaves bring their window forward and leave its page as it is.
    if (page >= 0 && page <= 2) w->selectPage(page);
    main->activateAnalysisWindow(w, true);
}

void DataBrowser::toolbTreeview_ButtonClick(int index)
{
    CommandHooks& hooks = commandHooks();
    switch (index) {
    case 1:
        if (hooks.importAsciiData) hooks.importAsciiData();
        break;
    case 2:
        if (hooks.createSeriesFile) hooks.createSeriesFile();
        break;
    case 4:
        if (hooks.openAnalysisWindow) hooks.openAnalysisWindow(1);
        break;
    case 5:
        if (hooks.openAnalysisWindow) hooks.openAnalysisWindow(2);
        break;
    default: break;  // separators
    }
}

void DataBrowser::SSTab1_Click()
{
    if (picover->tag == 0) return;
    MainWindow* main = ownerOf(this);
    frame::AnalysisWindowApi* w = main ? main->findAnalysisWindow(picover->tag) : nullptr;
    if (!w) return;
    if (w->overflowTag().isEmpty()) w->startscr(0);
    else w->Resize(0);
}

void DataBrowser::naviballClick(Arrow arrow)
{
    if (picover->tag == 0) return;
    MainWindow* main = ownerOf(this);
    frame::AnalysisWindowApi* w = main ? main->findAnalysisWindow(picover->tag) : nullptr;
    if (!w) return;
    const bool vertical = arrow == Arrow::Up || arrow == Arrow::Down;
    const frame::NavBar posBar = vertical ? frame::NavBar::Top : frame::NavBar::Left;
    const frame::NavRange pos = w->navBar(posBar);
    const frame::NavRange size = w->navBar(vertical ? frame::NavBar::Height : frame::NavBar::Width);
    w->setNavValue(posBar, navigationStep(arrow, pos.value, size.value, pos.min, pos.max));
}

void DataBrowser::cmdEdit_Click()
{
    editorPath = cmbEditorFilesTag;
    editorFile = cmdEditTag;
    if (commandHooks().editParameters) commandHooks().editParameters();
}

void DataBrowser::saveEditor()
{
    if (commandHooks().saveEditor) commandHooks().saveEditor();
}

void DataBrowser::browserActivation(bool activated)
{
    MainWindow* main = ownerOf(this);
    if (!main) return;
    if (activated) main->setAnalysisCommandsEnabled(false);
    else if (main->openAnalysisWindowCount() > 0) main->setAnalysisCommandsEnabled(true);
}

bool DataBrowser::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == txtNotes) {
        MainWindow* main = ownerOf(this);
        if (main && type == QEvent::FocusIn) main->setEditCommandsEnabled(true);
        else if (main && type == QEvent::FocusOut && !frame::menuTookFocus(event)) main->setEditCommandsEnabled(false);
        return false;
    }
    struct ArrowLabel {
        QLabel* label;
        Arrow arrow;
        int look;
    };
    const ArrowLabel arrows[] = {{lblNaviballTop, Arrow::Up, Up},
                                 {lblNaviballDown, Arrow::Down, Down},
                                 {lblNaviballLeft, Arrow::Left, Left},
                                 {lblNaviballRight, Arrow::Right, Right}};
    for (const ArrowLabel& a : arrows) {
        if (watched != a.label) continue;
        if (type == QEvent::Enter || type == QEvent::MouseMove) showLook(a.look);
        if (type == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton && a.label->rect().contains(me->position().toPoint()) && a.label->isEnabled())
                naviballClick(a.arrow);
            return true;
        }
        return false;
    }
    if ((watched == imgNaviball || watched == fraNaviAround || watched == fraNaviball || watched == SSTab1) &&
        (type == QEvent::MouseMove || type == QEvent::Enter)) {
        showLook(Normal);
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace app
