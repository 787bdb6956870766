#include "import/frmlistview.h"

#include "import/core/import_state.h"
#include "import/core/text_import.h"
#include "platform/controls.h"
#include "platform/services.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QAbstractListModel>
#include <QListView>
#include <QPushButton>

#include <algorithm>
#include <climits>
#include <vector>

namespace importer {
namespace {

using platform::make;

// The result labels show their numbers whole. A row whose values fit the places given stays
// as given. Otherwise it is packed: captions as wide as their text, values as wide as their
// place or, where the row needs it, as their text; from the places given, inward from the
// frame's edges. A row that still cannot hold its numbers shows its values in a smaller size,
// down to 6 points; a value that even then finds no room is left out: it keeps its text but no
// width (so a new text still asks for a new fit), and its caption's tooltip holds the number.
// Every value's tooltip holds its text.
class ResultRows : public QObject {
public:
    // Each row: caption, value, and optionally a second caption and value.
    ResultRows(QWidget* frame, const std::vector<std::vector<QLabel*>>& rows) : QObject(frame), frame_(frame)
    {
        for (const auto& row : rows) {
            std::vector<Item> items;
            for (std::size_t i = 0; i < row.size(); ++i) items.push_back({row[i], row[i]->geometry(), i % 2 == 1});
            rows_.push_back(std::move(items));
        }
        font_ = rows.front().at(1)->font();
        probe_.setFrameShape(rows.front().at(1)->frameShape());
        probe_.setFrameShadow(rows.front().at(1)->frameShadow());
        frame->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        // A label's new text (or size) asks its frame for a new layout.
        if (watched == frame_ && (e->type() == QEvent::LayoutRequest || e->type() == QEvent::Show)) fit();
        return false;
    }

    void fit()
    {
        for (std::vector<Item>& row : rows_) fitRow(row);
    }

private:
    struct Item {
        QLabel* label;
        QRect given;
        bool value;
    };
    static constexpr int kGap = 3;               // between neighbours of a packed row
    static constexpr int kResultFrameInset = 5;  // the result frame's line and the space inside it
    static constexpr int kSmallestPoints = 6;

    // The width a value's text needs in a font, measured on a label of the same frame.
    int need(const QLabel* label, const QFont& font) const
    {
        probe_.setFont(font);
        probe_.setText(label->text());
        return probe_.sizeHint().width();
    }

    static int total(const std::vector<int>& width)
    {
        int sum = 0;
        for (int w : width)
            if (w > 0) sum += w + (sum > 0 ? kGap : 0);
        return sum;
    }

    void fitRow(std::vector<Item>& row)
    {
        bool asGiven = true;
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (!row[i].value) {
                row[i].label->setToolTip(QString());
                continue;
            }
            row[i].label->setToolTip(row[i].label->text());
            asGiven = asGiven && need(row[i].label, font_) <= row[i].given.width();
        }
        if (asGiven) {
            for (const Item& item : row) {
                item.label->setGeometry(item.given);
                if (item.value && item.label->font() != font_) item.label->setFont(font_);
            }
            return;
        }

        const int right = frame_->width() - kResultFrameInset;
        const int room = right - kResultFrameInset;
        std::vector<bool> shown(row.size(), true);
        std::vector<int> width(row.size());
        QFont font = font_;
        const auto widths = [&](bool keepPlaces) {
            for (std::size_t i = 0; i < row.size(); ++i) {
                if (!shown[i]) width[i] = 0;
                else if (!row[i].value) width[i] = row[i].label->sizeHint().width();
                else width[i] = keepPlaces ? std::max(need(row[i].label, font), row[i].given.width()) : need(row[i].label, font);
            }
            return total(width) <= room;
        };
        bool fits = widths(true) || widths(false);
        // Smaller values, then without the widest value, until the row holds the rest.
        while (!fits) {
            for (int points = font_.pointSize() - 1; !fits && points >= kSmallestPoints; --points) {
                font.setPointSize(points);
                fits = widths(false);
            }
            if (fits) break;
            std::size_t widest = row.size();
            for (std::size_t i = 1; i < row.size(); i += 2)
                if (shown[i] && (widest == row.size() || width[i] > width[widest])) widest = i;
            if (widest == row.size()) break;
            shown[widest] = false;
            row[widest - 1].label->setToolTip(row[widest].label->text());
            font = font_;
            fits = widths(false);
        }

        // From the places given rightward, then back inside the frame.
        std::vector<int> left(row.size());
        int end = kResultFrameInset - kGap;
        for (std::size_t i = 0; i < row.size(); ++i) {
            left[i] = std::max(row[i].given.left(), end + kGap);
            if (width[i] > 0) end = left[i] + width[i];
        }
        int limit = right;
        for (std::size_t i = row.size(); i-- > 0;) {
            if (width[i] == 0) continue;
            left[i] = std::max(std::min(left[i], limit - width[i]), kResultFrameInset);
            limit = left[i] - kGap;
        }
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (row[i].value && row[i].label->font() != font) row[i].label->setFont(font);
            row[i].label->setGeometry(left[i], row[i].given.top(), width[i], row[i].given.height());
        }
    }

    QWidget* frame_;
    std::vector<std::vector<Item>> rows_;
    QFont font_;             // the values' own font
    mutable QLabel probe_;  // measures a text as a value label shows it
};

}  // namespace

// The preview's rows, made when the view shows them: no item per line.
class FrmListview::LinesModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;
    void show(const ImportLines& lines)
    {
        beginResetModel();
        lines_ = lines;
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(std::min<std::size_t>(lines_.size(), INT_MAX));
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || index.row() < 0 || static_cast<std::size_t>(index.row()) >= lines_.size()) return {};
        const std::string_view line = lines_[static_cast<std::size_t>(index.row())];
        return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    }

private:
    ImportLines lines_;
};

FrmListview::FrmListview(QWidget* parent) : QDialog(parent)
{
    platform::fixedDialog(this, QStringLiteral("frmlistview"), QStringLiteral("Data for CTD-file (1)"), 3960, 8070);

    Frame4 = make<QGroupBox>(this, "Frame4", {96, 120, 3708, 735}, QStringLiteral("Chosen file:"));
    txtpath = make<QLineEdit>(Frame4, "txtpath", {120, 240, 3495, 396});
    txtpath->setReadOnly(true);  // it shows the file chosen; another one is chosen with Different file

    Frame2 = make<QGroupBox>(this, "Frame2", {96, 960, 3708, 2028}, QStringLiteral("File data:"));
    lstview = make<QListView>(Frame2, "lstview", {144, 288, 3420, 1620});
    lstview->setUniformItemSizes(true);
    lstview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lines_ = new LinesModel(lstview);
    lstview->setModel(lines_);

    Frame1 = make<QGroupBox>(this, "Frame1", {96, 3072, 3708, 2508}, QStringLiteral("Structure of input-data:"));
    Label6 = make<QLabel>(Frame1, "Label6", {192, 432, 2000, 252}, QStringLiteral("Number of header rows:"));
    txt1 = make<QLineEdit>(Frame1, "txt1", {2928, 384, 300, 288});
    txt1->setMaxLength(2);
    cmdok = make<QPushButton>(Frame1, "cmdok", {3264, 384, 348, 1980}, QStringLiteral("&Ok"));
    Label11 = make<QLabel>(Frame1, "Label11", {192, 768, 1740, 252}, QStringLiteral("Velocity unit:"));
    cmb5 = make<QComboBox>(Frame1, "cmb5", {2112, 720, 1116, 315});
    cmb5->addItems({QStringLiteral("m/s"), QStringLiteral("km/h"), QStringLiteral("mph")});
    Label12 = make<QLabel>(Frame1, "Label12", {192, 1104, 1740, 252}, QStringLiteral("Decimal hyphen:"));
    cmb6 = make<QComboBox>(Frame1, "cmb6", {2112, 1056, 1116, 315});
    cmb6->addItems({QStringLiteral("Point"), QStringLiteral("Comma")});
    Label9 = make<QLabel>(Frame1, "Label9", {192, 1440, 1740, 252}, QStringLiteral("Data order:"));
    cmb2 = make<QComboBox>(Frame1, "cmb2", {2112, 1392, 1116, 315});
    cmb2->addItems({QStringLiteral("Column")});
    Label8 = make<QLabel>(Frame1, "Label8", {192, 1776, 1740, 252}, QStringLiteral("Time value:"));
    cmb3 = make<QComboBox>(Frame1, "cmb3", {2112, 1728, 1116, 315});
    cmb3->addItems({QStringLiteral("None"), QStringLiteral("t , v"), QStringLiteral("v , t")});
    Label7 = make<QLabel>(Frame1, "Label7", {192, 2112, 1740, 252}, QStringLiteral("Time/velocity hyphen:"));
    cmb4 = make<QComboBox>(Frame1, "cmb4", {2112, 2064, 1116, 288});
    cmb4->addItems({QStringLiteral("Comma"), QStringLiteral("Semicolon"), QStringLiteral("Space"), QStringLiteral("Tabulator")});
    txtnone = make<QLineEdit>(Frame1, "txtnone", {2112, 2064, 840, 310}, QStringLiteral("None"));
    txtnone->setEnabled(false);
    txtnone->raise();

    Frame3 = make<QGroupBox>(this, "Frame3", {96, 5616, 3708, 1836}, QStringLiteral("Data information:"));
    Label1 = make<QLabel>(Frame3, "Label1", {144, 288, 1740, 255}, QStringLiteral("Number of data-points:"));
    lblCount = make<QLabel>(Frame3, "lblCount", {1920, 285, 690, 255});
    Label2 = make<QLabel>(Frame3, "Label2", {144, 624, 900, 255}, QStringLiteral("Max-value:"));
    lblMax = make<QLabel>(Frame3, "lblMax", {1080, 630, 780, 255});
    Label4 = make<QLabel>(Frame3, "Label4", {1920, 624, 1000, 255}, QStringLiteral("Point number:"));
    lblmaxwhere = make<QLabel>(Frame3, "lblmaxwhere", {2950, 624, 650, 252});
    Label3 = make<QLabel>(Frame3, "Label3", {144, 1008, 900, 255}, QStringLiteral("Min-value:"));
    lblMin = make<QLabel>(Frame3, "lblMin", {1080, 1005, 780, 255});
    Label5 = make<QLabel>(Frame3, "Label5", {1920, 1008, 1000, 255}, QStringLiteral("Point number:"));
    lblminwhere = make<QLabel>(Frame3, "lblminwhere", {2950, 1008, 650, 252});
    for (QLabel* value : {lblCount, lblMax, lblmaxwhere, lblMin, lblminwhere}) {
        value->setFrameShape(QFrame::Panel);
        value->setFrameShadow(QFrame::Sunken);
    }
    new ResultRows(Frame3, {{Label1, lblCount}, {Label2, lblMax, Label4, lblmaxwhere}, {Label3, lblMin, Label5, lblminwhere}});
    cmdchange = make<QPushButton>(Frame3, "cmdchange", {96, 1392, 1692, 348}, QStringLiteral("&Edit file"));
    cmdReload = make<QPushButton>(Frame3, "cmdReload", {1920, 1392, 1692, 348}, QStringLiteral("&Different file"));

    cmdCancel = make<QPushButton>(this, "cmdCancel", {120, 7584, 1644, 396}, QStringLiteral(" &Cancel"));
    cmdnext = make<QPushButton>(this, "cmdnext", {2160, 7584, 1644, 396}, QStringLiteral(" &Next"));

    // A list's Click only calls its Change handler; a program selection goes through select().
    connect(cmb2, &QComboBox::currentIndexChanged, this, [this] { if (!loading_) cmb2_Change(); });
    connect(cmb3, &QComboBox::currentIndexChanged, this, [this] { if (!loading_) cmb3_Change(); });
    connect(cmb4, &QComboBox::currentIndexChanged, this, [this] { if (!loading_) cmb4_Change(); });
    connect(cmb5, &QComboBox::currentIndexChanged, this, [this] { if (!loading_) cmb5_Change(); });
    connect(cmb6, &QComboBox::currentIndexChanged, this, [this] { if (!loading_) cmb6_Change(); });
    connect(txt1, &QLineEdit::textChanged, this, [this] { if (!loading_) txt1_Change(); });
    connect(cmdok, &QPushButton::clicked, this, &FrmListview::cmdok_Click);
    connect(cmdReload, &QPushButton::clicked, this, &FrmListview::cmdReload_Click);
    connect(cmdchange, &QPushButton::clicked, this, &FrmListview::cmdchange_Click);
    connect(cmdnext, &QPushButton::clicked, this, &FrmListview::cmdnext_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FrmListview::cmdCancel_Click);

    load();
}

void FrmListview::load()
{
    loading_ = true;
    txtpath->clear();
    showLines({});
    emptyResultLabels();
    for (QWidget* w : std::initializer_list<QWidget*>{cmb2, cmb3, cmb4, cmb5, cmb6, txt1, cmdok, cmdchange, cmdReload, cmdCancel})
        w->setEnabled(true);
    cmdReload->setText(QStringLiteral("&Different file"));
    if (cmb4->count() == 3) cmb4->insertItem(0, QStringLiteral("Comma"));
    cmb2->setCurrentIndex(0);
    txt1->setText(QStringLiteral("0"));
    loading_ = false;

    // The defaults of the dialog's load.
    select(cmb3, 0);
    select(cmb4, 0);
    select(cmb5, 0);
    select(cmb6, 0);
    cmb2_Change();
    cmdnext->setEnabled(false);
    state.headerRows = 0;
    txt1->setText(QStringLiteral("0"));
    txt1->selectAll();
    state.structureConfirmed = false;
}

void FrmListview::select(QComboBox* list, int index)
{
    if (list->currentIndex() != index) {
        list->setCurrentIndex(index);  // the signal runs the handler
        return;
    }
    if (list == cmb2) cmb2_Change();
    else if (list == cmb3) cmb3_Change();
    else if (list == cmb4) cmb4_Change();
    else if (list == cmb5) cmb5_Change();
    else if (list == cmb6) cmb6_Change();
}

void FrmListview::emptyResultLabels()
{
    for (QLabel* l : {lblCount, lblMax, lblMin, lblminwhere, lblmaxwhere}) l->clear();
}

void FrmListview::clearResult()
{
    emptyResultLabels();
    cmdnext->setEnabled(false);
}

void FrmListview::cmb2_Change()
{
    if (cmb2->currentIndex() == 0 && cmb3->currentIndex() == 0) {
        txtnone->show();
        txtnone->raise();
        txtnone->setEnabled(false);
        cmb4->setEnabled(false);
    } else {
        cmb4->setEnabled(true);
    }
}

void FrmListview::cmb3_Change()
{
    state.timeColumn = static_cast<std::int16_t>(cmb3->currentIndex());
    cmb2_Change();
    if (!(cmb2->currentIndex() == 0 && cmb3->currentIndex() == 0)) txtnone->hide();
    clearResult();
}

void FrmListview::cmb4_Change()
{
    const int index = cmb4->currentIndex();
    state.separatorCode = static_cast<std::int16_t>(cmb4->count() == 4 ? index : index + 1);
    clearResult();
}

void FrmListview::cmb5_Change()
{
    state.velocityUnit = static_cast<std::int16_t>(cmb5->currentIndex());
    clearResult();
}

void FrmListview::cmb6_Change()
{
    state.decimalSeparator = static_cast<std::int16_t>(cmb6->currentIndex());
    if (state.decimalSeparator == 1 && cmb4->count() == 4) {
        const bool was = cmb4->blockSignals(true);
        cmb4->removeItem(0);
        cmb4->setCurrentIndex(-1);
        cmb4->blockSignals(was);
        select(cmb4, 0);
    } else if (cmb4->count() == 3 && state.decimalSeparator == 0) {
        const bool was = cmb4->blockSignals(true);
        cmb4->insertItem(0, QStringLiteral("Comma"));
        cmb4->blockSignals(was);
    }
    clearResult();
}

void FrmListview::txt1_Change() { clearResult(); }

void FrmListview::cmdok_Click()
{
    const HeaderRowCheck check = checkHeaderRows(txt1->text().toStdString());
    if (!check.accepted) {
        emptyResultLabels();
        platform::showMessage(*check.message, this);
        txt1->setFocus();
        txt1->setSelection(0, 2);
        if (check.notNumeric)
            for (QWidget* w : std::initializer_list<QWidget*>{cmb2, cmb3, cmb4}) w->setEnabled(false);
        state.structureConfirmed = false;
        return;
    }
    state.headerRows = check.headerRows;
    state.structureConfirmed = true;
    cmb2->setEnabled(true);
    cmb3->setEnabled(true);
    cmb4->setEnabled(!(cmb2->currentIndex() == 0 && cmb3->currentIndex() == 0));
    // Next stays disabled until the list read passes: it is never drawn enabled behind a
    // message of the run.
    emit importRequested();
    if (state.structureConfirmed && state.dataListValid) {
        cmdnext->setEnabled(true);
        cmdnext->setFocus();
    }
}

void FrmListview::enterChoosingState()
{
    cmdReload->setText(QStringLiteral("&Different file"));
    for (QWidget* w : std::initializer_list<QWidget*>{cmb2, cmb3, cmb4, cmb5, cmb6, txt1, cmdok, cmdchange}) w->setEnabled(true);
    select(cmb3, 0);
    select(cmb4, 0);
    select(cmb5, 0);
    select(cmb6, 0);
    cmdnext->setEnabled(false);
    state.structureConfirmed = false;
    emptyResultLabels();
    txt1->setText(QStringLiteral("0"));
}

void FrmListview::returnToChoosing()
{
    cmdReload->setText(QStringLiteral("&Different file"));
    for (QWidget* w : std::initializer_list<QWidget*>{cmb2, cmb3, cmb5, cmb6, txt1, cmdok, cmdchange}) w->setEnabled(true);
    cmb2_Change();
    clearResult();
    state.structureConfirmed = false;
}

void FrmListview::cmdReload_Click()
{
    enterChoosingState();
    emit importRequested();
}

void FrmListview::cmdchange_Click()
{
    if (editFile && !editFile()) return;
    clearResult();
    txtpath->clear();
    showLines({});
    for (QWidget* w : std::initializer_list<QWidget*>{cmb2, cmb3, cmb4, cmb5, cmb6, txt1, cmdok, cmdchange}) w->setEnabled(false);
    cmdReload->setText(QStringLiteral("&Reload file"));
    cmdReload->setFocus();
}

void FrmListview::cmdnext_Click() { done(Next); }

void FrmListview::showLines(const ImportLines& lines) { lines_->show(lines); }

void FrmListview::cmdCancel_Click()
{
    emit cancelled();
    state.structureConfirmed = false;
}

void FrmListview::reject() { cmdCancel_Click(); }

void FrmListview::checkDataList(const std::string& refusal)
{
    ImportStatistics s;
    s.minVelocity = state.minVelocity;
    s.maxVelocity = state.maxVelocity;
    s.minVelocityRow = state.minVelocityRow;
    s.maxVelocityRow = state.maxVelocityRow;
    s.allFinite = numbersInRange;
    if (dataListPlausible(s)) {
        state.dataListValid = true;
        return;
    }
    // What was read stays in the result labels beside the message.
    cmdnext->setEnabled(false);
    state.dataListValid = false;
    platform::showMessage(dataListError(refusal), this);
    cmdchange->setFocus();
}

}  // namespace importer
