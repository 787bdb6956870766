// The series side of the analysis window: ctsOpen and the mean value groups of the "Protocol"
// page. The rules live in the Qt-free cores beside this file; here they meet the controls.
#include "analysis/series/series_window.h"

#include "analysis/browser_link.h"
#include "analysis/coastfit_loader.h"
#include "analysis/frm_tabchild.h"
#include "analysis/series/core/mean_groups.h"
#include "analysis/series/core/series_load.h"
#include "datafile/header_lines.h"
#include "numbers/numbers.h"
#include "platform/open_request.h"
#include "platform/services.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>
#include <new>
#include <vector>

namespace analysis {
namespace {

constexpr int kNodeIdRole = Qt::UserRole + 1;

QString qs(const std::string& s) { return QString::fromStdString(s); }

platform::Answer ask(FrmTabchild& w, const platform::Message& m)
{
    return platform::showMessage(m, browser::dialogParent(&w));
}

// The check list and the buttons as the group model has them.
void syncChecksAndButtons(FrmTabchild& w)
{
    const auto& g = w.seriesState.groups;
    w.data.checkedIndex = g.checkedIndex();
    w.data.groupCounter = g.groupCounter();
    w.data.singleCounter = g.singleCounter();
    if (w.lstAverageData) {
        const QSignalBlocker block(w.lstAverageData);
        for (int i = 0; i < w.lstAverageData->count(); ++i)
            w.lstAverageData->item(i)->setCheckState(g.isChecked(i) ? Qt::Checked : Qt::Unchecked);
    }
    if (w.cmdAverageConnect) w.cmdAverageConnect->setEnabled(g.connectEnabled());
    if (w.cmdAverageSingle) w.cmdAverageSingle->setEnabled(g.singleEnabled());
    if (w.cmdAverageErase) w.cmdAverageErase->setEnabled(g.eraseEnabled());
}

QTreeWidgetItem* ensureRoot(FrmTabchild& w)
{
    if (!w.averageRootNode) {
        w.averageRootNode = new QTreeWidgetItem(w.trvAverageData, QStringList(QString::fromUtf8(series::MeanValueGroups::kRootText)));
        w.averageRootNode->setData(0, kNodeIdRole, series::MeanValueGroups::kRootId);
    }
    return w.averageRootNode;
}

// Rebuilds the nodes below the root from the model; the node added last is scrolled into view.
void syncTree(FrmTabchild& w)
{
    if (!w.trvAverageData) return;
    QTreeWidgetItem* root = ensureRoot(w);
    root->setData(0, kNodeIdRole, series::MeanValueGroups::kRootId);
    const auto& g = w.seriesState.groups;
    qDeleteAll(root->takeChildren());
    const QIcon groupIcon = w.style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon setIcon = w.style()->standardIcon(QStyle::SP_FileIcon);
    QTreeWidgetItem* last = nullptr;
    for (const auto& node : g.nodes()) {
        auto* item = new QTreeWidgetItem(root, QStringList(qs(node.text)));
        item->setData(0, kNodeIdRole, node.id);
        item->setIcon(0, node.single ? setIcon : groupIcon);
        if (node.id == g.lastAddedId()) last = item;
        for (const auto& m : node.members) {
            auto* child = new QTreeWidgetItem(item, QStringList(qs(m.text)));
            child->setData(0, kNodeIdRole, m.id);
            child->setIcon(0, setIcon);
            if (m.id == g.lastAddedId()) last = child;
        }
    }
    w.trvAverageData->expandAll();
    if (last) w.trvAverageData->scrollToItem(last);
}

void afterTreeEdit(FrmTabchild& w)
{
    syncChecksAndButtons(w);
    syncTree(w);
    if (w.cmdAverageShow && w.cmdAverageShow->isEnabled()) cmdAverageShow_Click(w);
}

void lstAverageData_ItemCheck(FrmTabchild& w, QListWidgetItem* item)
{
    const int index = w.lstAverageData->row(item);
    w.seriesState.groups.setChecked(index, item->checkState() == Qt::Checked);
    syncChecksAndButtons(w);
}

void cmdAverageConnect_Click(FrmTabchild& w)
{
    auto& g = w.seriesState.groups;
    // The duplicate scan lets pending events run once per entry.
    for (int i = 0; i < static_cast<int>(g.names().size()); ++i)
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const bool added = g.connect([&w](const platform::Message& m) { return ask(w, m); });
    syncChecksAndButtons(w);
    if (added) afterTreeEdit(w);
}

void cmdAverageSingle_Click(FrmTabchild& w)
{
    const bool added = w.seriesState.groups.single([&w](const platform::Message& m) { return ask(w, m); });
    syncChecksAndButtons(w);
    if (added) afterTreeEdit(w);
}

void cmdAverageErase_Click(FrmTabchild& w)
{
    if (!w.trvAverageData) return;
    QTreeWidgetItem* selected = nullptr;
    const auto items = w.trvAverageData->selectedItems();
    if (!items.isEmpty()) selected = items.first();
    // The root carries an id no group node has, so selecting it removes nothing.
    const int id = selected ? selected->data(0, kNodeIdRole).toInt() : -1;
    if (auto refusal = w.seriesState.groups.erase(id)) platform::showMessage(*refusal, browser::dialogParent(&w));
    afterTreeEdit(w);
}

void failLoad(FrmTabchild& w)
{
    if (w.mfgCTSdat && w.mfgCTSdat->isVisible()) w.mfgCTSdat->setVisible(false);
    if (w.frmCalc && w.frmCalc->isEnabled()) w.frmCalc->setEnabled(false);
}

void fillGrids(FrmTabchild& w)
{
    const state::TabchildData& d = w.data;
    const int n = d.setCount;
    SeriesState& s = w.seriesState;
    const int minFirst = *std::min_element(s.firstLines.begin(), s.firstLines.end());
    const int maxLast = *std::max_element(s.lastLines.begin(), s.lastLines.end());
    w.prepareGrids(series::protocolRows(maxLast), n);
    for (int j = 1; j <= n; ++j) w.fillHeaderCells(j);
    // Samples stand at the row of their data-file line, formatted when the view asks for them.
    for (int j = 1; j <= n; ++j) {
        const int first = s.firstLines[static_cast<std::size_t>(j - 1)];
        const int last = s.lastLines[static_cast<std::size_t>(j - 1)];
        w.mfgCTSdat->setColumnSource(j, first, last - 1, [&w, j, first](int row) {
            return qs(series::protocolSampleCell(w.data, j, first, row));
        });
    }
    w.mfgCTSdat->setColumnSource(0, minFirst, maxLast - 1, [&w](int row) {
        const SeriesState& st = w.seriesState;
        for (std::size_t i = 0; i < st.firstLines.size(); ++i)
            if (st.firstLines[i] <= row && row <= st.lastLines[i] - 1) return qs(numbers::integerToText(row - datafile::kHeaderLineCount));
        return QString();
    });
}

}  // namespace

bool ctsOpen(FrmTabchild& w, const QString& reloadPath)
{
    QString path = reloadPath;
    if (path.isEmpty()) {
        const auto chosen = platform::askFileToOpen(platform::OpenFiles::SeriesFile, browser::dialogParent(&w));
        if (!chosen) {
            failLoad(w);
            return false;
        }
        path = *chosen;
    }

    browser::setMainWindowEnabled(false);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    series::SeriesLoad load = series::loadSeries(QFile::encodeName(path).toStdString());
    if (!load.content) {
        if (load.message) platform::showMessage(*load.message, browser::dialogParent(&w));
        failLoad(w);
        browser::setMainWindowEnabled(true);
        return false;
    }

    try {
        series::SeriesContent& content = *load.content;
        SeriesState& s = w.seriesState;
        s.firstLines.clear();
        s.lastLines.clear();
        s.namesOnDisk.clear();
        for (std::size_t i = 0; i < content.file.entries.size(); ++i) {
            const auto& e = content.file.entries[i];
            s.firstLines.push_back(e.firstLine);
            s.lastLines.push_back(e.lastLine);
            // The load may have found the file under another letter case than the entry's.
            std::string onDisk = e.name;
            if (i < content.dataPaths.size() && content.dataPaths[i].starts_with(content.directory))
                onDisk = content.dataPaths[i].substr(content.directory.size());
            s.namesOnDisk.push_back(onDisk);
        }
        const std::string comment = content.file.comment;
        series::applySeries(std::move(content), w.data);
        series::runReferenceFit(w.data, coastfit());

        if (w.txtCTComments) w.txtCTComments->setPlainText(qs(comment).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        const auto labels = series::summaryLabels(w.data);
        for (std::size_t i = 0; i < labels.size(); ++i)
            if (w.lblCTDescrLabel[i]) w.lblCTDescrLabel[i]->setText(qs(labels[i]));
        fillGrids(w);
        fillAverageDataList(w);
        if (w.mfgCTSdat) w.mfgCTSdat->setVisible(true);
        if (w.frmCalc) w.frmCalc->setEnabled(true);
        w.finishLoad();
    } catch (const std::bad_alloc&) {
        // Nothing half-open: the window is discarded with whatever it had taken.
        w.data = state::TabchildData();
        platform::showMessage(series::notEnoughMemory(QFile::encodeName(path).toStdString()), browser::dialogParent(&w));
        failLoad(w);
        browser::setMainWindowEnabled(true);
        return false;
    }
    browser::setMainWindowEnabled(true);
    return true;
}

void setupMeanValueGroups(FrmTabchild& w)
{
    ensureRoot(w);
    for (QPushButton* b : {w.cmdAverageConnect, w.cmdAverageSingle, w.cmdAverageErase, w.cmdAverageShow})
        if (b) b->setEnabled(false);
    if (w.lstAverageData)
        QObject::connect(w.lstAverageData, &QListWidget::itemChanged, &w,
                         [&w](QListWidgetItem* item) { lstAverageData_ItemCheck(w, item); });
    if (w.cmdAverageConnect)
        QObject::connect(w.cmdAverageConnect, &QPushButton::clicked, &w, [&w] { cmdAverageConnect_Click(w); });
    if (w.cmdAverageSingle)
        QObject::connect(w.cmdAverageSingle, &QPushButton::clicked, &w, [&w] { cmdAverageSingle_Click(w); });
    if (w.cmdAverageErase)
        QObject::connect(w.cmdAverageErase, &QPushButton::clicked, &w, [&w] { cmdAverageErase_Click(w); });
    if (w.cmdAverageShow)
        QObject::connect(w.cmdAverageShow, &QPushButton::clicked, &w, [&w] { cmdAverageShow_Click(w); });
}

void fillAverageDataList(FrmTabchild& w)
{
    std::vector<std::string> names;
    for (int j = 1; j <= w.data.setCount; ++j) names.push_back(w.data.dataFileNames[static_cast<std::size_t>(j)]);
    w.seriesState.groups.setDataSets(names);
    if (!w.lstAverageData) return;
    {
        const QSignalBlocker block(w.lstAverageData);
        w.lstAverageData->clear();
        for (const auto& name : names) {
            auto* item = new QListWidgetItem(qs(name), w.lstAverageData);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
    }
    w.lstAverageData->setVisible(true);
    syncChecksAndButtons(w);
}

void cmdAverageShow_Click(FrmTabchild& w)
{
    const auto summary = w.seriesState.groups.summary([&w](int set) {
        const QStringList parts = resFinder(w, set).split(QLatin1Char('\t'));
        std::array<std::string, 3> r;
        for (int i = 0; i < 3 && i < parts.size(); ++i) r[static_cast<std::size_t>(i)] = parts[i].toStdString();
        return r;
    });
    if (FlexGrid* g = w.mfgAverageRes) {
        g->clearCells();
        g->setFixedRows(1);
        g->setCols(5);
        const char* titles[] = {"Dataset", "cd", "fr0", "Fit quality"};
        for (int c = 1; c <= 4; ++c) g->setTextMatrix(0, c, QString::fromLatin1(titles[c - 1]));
        g->setColWidth(0, 1430);
        g->setColWidth(1, 1500);
        for (int c = 2; c <= 4; ++c) g->setColWidth(c, 1200);  // room for fr0's eight decimals
        for (int c = 1; c <= 4; ++c) g->setColAlignment(c, FlexGrid::CenterCenter);
        g->setRows(2 + static_cast<int>(summary.rows.size()));
        for (std::size_t i = 0; i < summary.rows.size(); ++i)
            for (int c = 0; c < 5; ++c)
                g->setTextMatrix(2 + static_cast<int>(i), c, qs(summary.rows[i][static_cast<std::size_t>(c)]));
    }
    w.data.groupSizes = summary.groupSizes;
    w.data.groupCount = summary.groupCount;
}

QString resFinder(FrmTabchild& w, int dataSet)
{
    const FlexGrid* g = w.mfgCTSres;
    if (!g || dataSet < 1 || dataSet >= g->cols()) return {};
    return g->textMatrix(16, dataSet) + QLatin1Char('\t') + g->textMatrix(17, dataSet) + QLatin1Char('\t') +
           g->textMatrix(18, dataSet);
}

}  // namespace analysis
