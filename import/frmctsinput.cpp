#include "import/frmctsinput.h"

#include "import/core/series.h"
#include "platform/controls.h"
#include "platform/open_request.h"
#include "platform/services.h"

#include <QApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

namespace importer {

using platform::make;
using platform::px;

FrmCTSinput::FrmCTSinput(QWidget* parent) : QDialog(parent)
{
    platform::fixedDialog(this, QStringLiteral("frmCTSinput"), QStringLiteral("CTD-files for series"), 6030, 3480);

    fraCTSList = make<QGroupBox>(this, "fraCTSList", {120, 120, 3375, 3255}, QStringLiteral("Datafiles"));
    lblCtspicdir = make<QLabel>(fraCTSList, "lblCtspicdir", {120, 240, 375, 315}, QStringLiteral("        "));
    lblCtspicdir->setAutoFillBackground(true);
    {
        QPalette p = lblCtspicdir->palette();
        p.setColor(QPalette::Window, Qt::white);
        lblCtspicdir->setPalette(p);
    }
    imgCTSDir = make<QLabel>(fraCTSList, "imgCTSDir", {180, 285, 240, 240});
    imgCTSDir->setPixmap(style()->standardIcon(QStyle::SP_DirIcon).pixmap(px(240), px(240)));
    txtCTSdir = make<QLineEdit>(fraCTSList, "txtCTSdir", {540, 240, 2715, 315});
    txtCTSdir->setReadOnly(true);
    lstCTDtoCTS = make<QListWidget>(fraCTSList, "lstCTDtoCTS", {120, 660, 2175, 2400});
    lstCTDtoCTS->setSelectionMode(QAbstractItemView::SingleSelection);
    cmdCTDtoList = make<QPushButton>(fraCTSList, "cmdCTDtoList", {2400, 660, 855, 495}, QStringLiteral("Add more..."));
    cmdCTDDelList = make<QPushButton>(fraCTSList, "cmdCTDDelList", {2400, 1200, 855, 435}, QStringLiteral("Delete"));
    cmdSortUp = make<QPushButton>(fraCTSList, "cmdSortUp", {2400, 1680, 855, 435});
    cmdSortUp->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    cmdSortDown = make<QPushButton>(fraCTSList, "cmdSortDown", {2400, 2160, 855, 435});
    cmdSortDown->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    cmdClearCTSList = make<QPushButton>(fraCTSList, "cmdClearCTSList", {2400, 2640, 855, 435}, QStringLiteral("Clear list"));

    fraCTSComments = make<QGroupBox>(this, "fraCTSComments", {3600, 120, 2295, 2775}, QStringLiteral("Comments"));
    txtCTSComments = make<QPlainTextEdit>(fraCTSComments, "txtCTSComments", {120, 240, 2055, 2415});
    txtCTSComments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    cmdCTSok = make<QPushButton>(this, "cmdCTSok", {3600, 3000, 1095, 375}, QStringLiteral("&Save"));
    cmdCancel = make<QPushButton>(this, "cmdCancel", {4800, 3000, 1095, 375}, QStringLiteral("&Cancel"));

    connect(cmdCTDtoList, &QPushButton::clicked, this, &FrmCTSinput::cmdCTDtoList_Click);
    connect(cmdCTDDelList, &QPushButton::clicked, this, &FrmCTSinput::cmdCTDDelList_Click);
    connect(cmdSortUp, &QPushButton::clicked, this, &FrmCTSinput::cmdSortUp_Click);
    connect(cmdSortDown, &QPushButton::clicked, this, &FrmCTSinput::cmdSortDown_Click);
    connect(cmdClearCTSList, &QPushButton::clicked, this, &FrmCTSinput::cmdClearCTSList_Click);
    connect(cmdCTSok, &QPushButton::clicked, this, &FrmCTSinput::cmdCTSok_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FrmCTSinput::cmdCancel_Click);
}

QStringList FrmCTSinput::names() const
{
    QStringList out;
    for (int i = 0; i < lstCTDtoCTS->count(); ++i) out << lstCTDtoCTS->item(i)->text();
    return out;
}

void FrmCTSinput::countRule()
{
    const int n = lstCTDtoCTS->count();
    const bool fits = n >= 2 && n <= 30;
    cmdCTSok->setEnabled(fits);
    cmdSortUp->setEnabled(fits);
    cmdSortDown->setEnabled(fits);
}

void FrmCTSinput::cmdCTDtoList_Click()
{
    const std::optional<QStringList> picked =
        platform::fileDialogs().ask(platform::openRequest(platform::OpenFiles::SeriesDataFiles, txtCTSdir->text()), this);
    if (!picked) {
        if (lstCTDtoCTS->count() == 0) cmdCTDDelList->setEnabled(false);
        return;
    }
    if (picked->isEmpty()) return;
    const QString folder = QFileInfo(picked->front()).absolutePath();
    if (!sameDirectory(folder.toStdString(), txtCTSdir->text().toStdString())) {
        platform::showMessage(platform::information("All datafiles have to be chosen in the same directory!", "CTS-Error"), this);
        return;
    }
    for (int i = 0; i < picked->size() && i < 30; ++i) lstCTDtoCTS->addItem(QFileInfo(picked->at(i)).fileName());
    countRule();
    cmdCTDDelList->setEnabled(true);
    cmdClearCTSList->setEnabled(true);
}

void FrmCTSinput::cmdCTDDelList_Click()
{
    const int row = lstCTDtoCTS->currentRow();
    if (row < 0 || !lstCTDtoCTS->currentItem()->isSelected()) {
        platform::showMessage(platform::information("Choose a datafile from the list!", "Delete entry"), this);
        return;
    }
    delete lstCTDtoCTS->takeItem(row);
    lstCTDtoCTS->clearSelection();
    lstCTDtoCTS->setCurrentRow(-1);
    countRule();
    const bool any = lstCTDtoCTS->count() > 0;
    cmdCTDDelList->setEnabled(any);
    cmdClearCTSList->setEnabled(any);
}

void FrmCTSinput::move(int by, const char* title)
{
    const int n = lstCTDtoCTS->count();
    if (n < 2) return;
    const int row = lstCTDtoCTS->currentRow();
    if (row < 0 || !lstCTDtoCTS->currentItem()->isSelected()) {
        platform::showMessage(platform::information("Choose a datafile from the list!", title), this);
        return;
    }
    const int to = row + by;
    if (to < 0 || to >= n) return;
    QListWidgetItem* item = lstCTDtoCTS->takeItem(row);
    lstCTDtoCTS->insertItem(to, item);
    lstCTDtoCTS->setCurrentRow(to);
}

void FrmCTSinput::cmdSortUp_Click() { move(-1, ""); }
void FrmCTSinput::cmdSortDown_Click() { move(1, "Move entry"); }

void FrmCTSinput::cmdClearCTSList_Click()
{
    lstCTDtoCTS->clear();
    cmdCTSok->setEnabled(false);
    cmdSortUp->setEnabled(false);
    cmdSortDown->setEnabled(false);
    cmdCTDDelList->setEnabled(false);
    cmdClearCTSList->setEnabled(false);
}

void FrmCTSinput::cmdCTSok_Click()
{
    okPressed = true;
    hide();
}

void FrmCTSinput::cmdCancel_Click()
{
    okPressed = false;
    hide();
}

void FrmCTSinput::reject() { cmdCancel_Click(); }

}  // namespace importer
