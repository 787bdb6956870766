#include "analysis/frm_tabchild.h"

#include "analysis/browser_link.h"
#include "analysis/coastfit_loader.h"
#include "analysis/core/calculation.h"
#include "analysis/core/ctd_reader.h"
#include "analysis/core/header_grid.h"
#include "analysis/series/series_window.h"
#include "datafile/header_lines.h"
#include "diagram/diagram_panel.h"
#include "numbers/numbers.h"
#include "platform/controls.h"
#include "platform/open_request.h"
#include "platform/services.h"
#include "resources/report_pictures.h"


#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <new>

namespace analysis {
namespace {

using platform::kTwipsPerPixel;
using platform::make;
using platform::px;

QString qs(const std::string& s) { return QString::fromStdString(s); }

// A picture box: its picture as it is, also while the window is disabled (a label would grey it,
// and the report fades its picture in while the frame is disabled).
class PictureBox final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawPixmap(0, 0, pixmap());
    }
};

// Keeps the main window disabled for the life of a read, whatever path the read ends on.
struct MainWindowDisabled {
    MainWindowDisabled() { browser::setMainWindowEnabled(false); }
    ~MainWindowDisabled() { browser::setMainWindowEnabled(true); }
};

const char* const kProtocolLabels[][2] = {
    {"1", "Project:"}, {"2", "Date:"}, {"3", "Time:"}, {"4", "Car:"}, {"5", "Tester:"},
    {"7", "Datapoints:"}, {"8", "Minimum, m/s :"}, {"9", "Maximum, m/s :"}, {"10", "Min location:"},
    {"11", "Max location:"}, {"13", "Sample rate, s :"}, {"15", "Vehicle mass, kg :"},
    {"16", "Dynamical mass, kg :"}, {"17", "Air pressure, bar :"}, {"18", "Air temperature, \u00B0C :"},
    {"19", "Vehicle frontal area, m\u00B2 :"}, {"21", "Car configuration :"}, {"22", "Weather :"},
    {"23", "Road conditions :"}, {"30", "Velocity data, m/s :"}};

const char* const kResultLabels[][2] = {
    {"1", "Project:"}, {"2", "Date:"}, {"3", "Time:"}, {"4", "Car:"}, {"5", "Tester:"},
    {"7", "Test parameters:"}, {"8", "Vehicle mass, kg :"}, {"9", "Dynamical mass, kg :"},
    {"10", "Air pressure, bar :"}, {"11", "Air temperature, \u00B0C :"}, {"12", "Vehicle frontal area, m\u00B2 :"},
    {"15", "Results:"}, {"16", "Drag coefficient cd:"}, {"17", "Rolling resistance fr 0:"}, {"18", "Fit quality:"}};

}  // namespace

FrmTabchild::FrmTabchild(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmTabchild"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(px(12000), px(9690));
    buildPages();

    // Form_Load
    averageRootNode = new QTreeWidgetItem(trvAverageData, QStringList{QStringLiteral("Mean value groups")});
    averageRootNode->setData(0, Qt::UserRole, QStringLiteral("Mean value groups"));
    trvAverageData->expandItem(averageRootNode);
    trvAverageData->scrollToItem(averageRootNode);

    for (const std::string& entry : lambdaEntries()) cmbLambda->addItem(qs(entry));
    cmbLambda->setCurrentIndex(-1);

    mfgAverageRes->setCols(5);
    mfgAverageRes->setRows(2);
    mfgAverageRes->setFixedRows(1);
    mfgAverageRes->setTextMatrix(0, 1, QStringLiteral("Dataset"));
    mfgAverageRes->setTextMatrix(0, 2, QStringLiteral("cd"));
    mfgAverageRes->setTextMatrix(0, 3, QStringLiteral("fr0"));
    mfgAverageRes->setTextMatrix(0, 4, QStringLiteral("Fit quality"));
    mfgAverageRes->setColWidth(0, 1430);
    mfgAverageRes->setColWidth(1, 1500);
    for (int c = 1; c <= 4; ++c) mfgAverageRes->setFixedAlignment(c, FlexGrid::CenterCenter);

    data.lastTabhorzValue = 5000;
    data.lastTabvertValue = 5000;
    clearDiagram();

    setupMeanValueGroups(*this);
}

FrmTabchild::~FrmTabchild()
{
    // Destroyed without being closed: the frame around it is going away (program end), so
    // only the window's own resources are released.
    if (!unloaded_) unloadSteps(false);
}

void FrmTabchild::buildPages()
{
    buildPageScrollBars();
    SSTab2 = make<QTabWidget>(this, "SSTab2", {tabLeftTwips_, tabTopTwips_, 11295, 8775});
    SSTab2->lower();
    SSTab2->addTab(buildGraphPage(), QStringLiteral("Graph"));
    SSTab2->addTab(buildCalculationPage(), QStringLiteral("Calculation"));
    SSTab2->addTab(buildProtocolPage(), QStringLiteral("Protocol"));
    // A change of page, by the user or in code, runs the page-click handling.
    connect(SSTab2, &QTabWidget::currentChanged, this, [this](int) { SSTab2_Click(); });
    watchEditControls();
}

void FrmTabchild::buildPageScrollBars()
{
    fscTabhorz = make<QScrollBar>(this, "fscTabhorz", {300, 0, 11295, 255}, Qt::Horizontal);
    fscTabvert = make<QScrollBar>(this, "fscTabvert", {0, 240, 255, 8715}, Qt::Vertical);
    for (QScrollBar* bar : {fscTabhorz, fscTabvert}) {
        bar->setRange(0, 10000);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        bar->setValue(5000);
    }
    connect(fscTabhorz, &QScrollBar::valueChanged, this, &FrmTabchild::fscTabhorz_Change);
    connect(fscTabvert, &QScrollBar::valueChanged, this, &FrmTabchild::fscTabvert_Change);
}

QWidget* FrmTabchild::buildGraphPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    framedia = make<diagram::DiagramPanel>(page, "framedia", data);
    layout->addWidget(framedia);
    // After an overflow the browser must stop redrawing this window on its page changes.
    connect(framedia, &diagram::DiagramPanel::navigationSwitchedOff, this,
            [this] { browser::releaseOverview(*this); });
    framedia->setOverviewPicture([] { return qobject_cast<diagram::OverviewSurface*>(browser::overviewPicture()); });
    return page;
}

QWidget* FrmTabchild::buildCalculationPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    tabCalclist = make<QTabWidget>(page, "tabCalclist");
    frame::setControlTag(tabCalclist, QStringLiteral("Table"));
    layout->addWidget(tabCalclist);
    tabCalclist->addTab(buildResultsPage(), QStringLiteral("Results"));
    tabCalclist->addTab(buildDatamatrixPage(), QStringLiteral("Datamatrix"));
    return page;
}

QWidget* FrmTabchild::buildResultsPage()
{
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    mfgCTSres = make<FlexGrid>(page, "mfgCTSres");
    layout->addWidget(mfgCTSres, 3);
    auto* side = new QVBoxLayout;
    layout->addLayout(side, 2);
    side->addWidget(buildCalculationBox(page));
    side->addWidget(buildHeaderBox(page), 1);
    return page;
}

QGroupBox* FrmTabchild::buildCalculationBox(QWidget* page)
{
    frmCalc = make<QGroupBox>(page, "frmCalc");
    auto* grid = new QGridLayout(frmCalc);
    lblLambda = make<QLabel>(frmCalc, "lblLambda", QStringLiteral("Lambda:"));
    cmbLambda = make<QComboBox>(frmCalc, "cmbLambda");
    cmbLambda->setEditable(false);
    cmbLambda->setToolTip(QStringLiteral("Strength of coupling"));
    lblFixedCoeff = make<QLabel>(frmCalc, "lblFixedCoeff", QStringLiteral("Fixed Parameter:"));
    optFixedCoeff[0] = make<QRadioButton>(frmCalc, "optFixedCoeff_0", QStringLiteral("Rolling resistance"));
    optFixedCoeff[1] = make<QRadioButton>(frmCalc, "optFixedCoeff_1", QStringLiteral("Aerodynamic drag"));
    optFixedCoeff[0]->setChecked(true);
    lblCalculate = make<QLabel>(frmCalc, "lblCalculate", QStringLiteral("Calculate:"));
    cmdDLLNEW = make<QPushButton>(frmCalc, "cmdDLLNEW", QStringLiteral("Results"));
    cmdDLLNEW->setToolTip(QStringLiteral("Start calculation"));
    cmdDLLNEW->setAutoDefault(true);  // Enter runs the calculation while the button has the focus
    cmdDLLNEW->setEnabled(false);
    grid->addWidget(lblLambda, 0, 0);
    grid->addWidget(cmbLambda, 0, 1);
    grid->addWidget(lblFixedCoeff, 1, 0);
    grid->addWidget(optFixedCoeff[0], 1, 1);
    grid->addWidget(optFixedCoeff[1], 2, 1);
    grid->addWidget(lblCalculate, 3, 0);
    grid->addWidget(cmdDLLNEW, 3, 1);
    connect(cmbLambda, &QComboBox::activated, this, [this](int) { cmbLambda_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(optFixedCoeff[static_cast<std::size_t>(i)], &QRadioButton::clicked, this, [this, i] { optFixedCoeff_Click(i); });
    connect(cmdDLLNEW, &QPushButton::clicked, this, &FrmTabchild::cmdDLLNEW_Click);
    return frmCalc;
}

QGroupBox* FrmTabchild::buildHeaderBox(QWidget* page)
{
    fraCTheader = make<QGroupBox>(page, "fraCTheader");
    auto* layout = new QVBoxLayout(fraCTheader);
    for (std::size_t i = 0; i < lblCTDescrLabel.size(); ++i) {
        lblCTDescrLabel[i] = make<QLabel>(fraCTheader, QStringLiteral("lblCTDescrLabel_%1").arg(i));
        lblCTDescrLabel[i]->setTextFormat(Qt::PlainText);  // a project such as "<br>" is shown as typed
        layout->addWidget(lblCTDescrLabel[i]);
    }
    lblComments = make<QLabel>(fraCTheader, "lblComments", QStringLiteral("Comments:"));
    txtCTComments = make<QPlainTextEdit>(fraCTheader, "txtCTComments");
    frame::setControlTag(txtCTComments, QStringLiteral("Text"));
    // A comment holds no tab character; Tab and Shift+Tab are the keyboard's way out of the box.
    txtCTComments->setTabChangesFocus(true);
    layout->addWidget(lblComments);
    layout->addWidget(txtCTComments, 1);
    return fraCTheader;
}

QWidget* FrmTabchild::buildDatamatrixPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    mfgCTSdat = make<FlexGrid>(page, "mfgCTSdat");
    layout->addWidget(mfgCTSdat);
    return page;
}

QWidget* FrmTabchild::buildProtocolPage()
{
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);
    lstAverageData = make<QListWidget>(page, "lstAverageData");
    lstAverageData->setToolTip(QStringLiteral("Choose files to create groups"));
    trvAverageData = make<QTreeWidget>(page, "trvAverageData");
    trvAverageData->setToolTip(QStringLiteral("Mean value groups overview"));
    trvAverageData->setHeaderHidden(true);
    cmdAverageConnect = make<QPushButton>(page, "cmdAverageConnect", QStringLiteral("Create mean value group"));
    cmdAverageSingle = make<QPushButton>(page, "cmdAverageSingle", QStringLiteral("Analyse separately"));
    cmdAverageErase = make<QPushButton>(page, "cmdAverageErase", QStringLiteral("Delete"));
    cmdAverageShow = make<QPushButton>(page, "cmdAverageShow", QStringLiteral("Summary"));
    for (QPushButton* b : {cmdAverageConnect, cmdAverageSingle, cmdAverageErase, cmdAverageShow}) b->setEnabled(false);
    mfgAverageRes = make<FlexGrid>(page, "mfgAverageRes");
    QLayout* reportRow = buildReportRow(page);

    auto* groupButtons = new QVBoxLayout;
    for (QPushButton* b : {cmdAverageConnect, cmdAverageSingle, cmdAverageErase, cmdAverageShow}) groupButtons->addWidget(b);
    groupButtons->addStretch(1);
    layout->addWidget(lstAverageData, 0, 0);
    layout->addLayout(groupButtons, 0, 1);
    layout->addWidget(trvAverageData, 0, 2);
    layout->addWidget(mfgAverageRes, 1, 0, 1, 3);
    layout->addLayout(reportRow, 2, 0, 1, 3);
    layout->setRowStretch(1, 1);
    return page;
}

QLayout* FrmTabchild::buildReportRow(QWidget* page)
{
    cmdExcel = make<QPushButton>(page, "cmdExcel", QStringLiteral("Report ..."));
    cmdExcel->setEnabled(false);
    connect(cmdExcel, &QPushButton::clicked, this, &FrmTabchild::cmdExcel_Click);
    pgrExcel = make<QProgressBar>(page, "pgrExcel");
    pgrExcel->setRange(0, 255);
    pgrExcel->setValue(0);
    pgrExcel->setTextVisible(false);
    sldBlendExcel = make<QSlider>(page, "sldBlendExcel", Qt::Horizontal);
    sldBlendExcel->setRange(0, 255);
    sldBlendExcel->setValue(255);
    // The report fades picSrcExcel's picture in on picDestExcel while it runs.
    picDestExcel = make<PictureBox>(page, "picDestExcel");
    picSrcExcel = make<PictureBox>(page, "picSrcExcel");
    for (QLabel* pic : {picDestExcel, picSrcExcel}) pic->setFixedSize(kReportPictureSize);
    picSrcExcel->setPixmap(QPixmap::fromImage(artwork::reportFade(kReportPictureSize)));
    sldBlendExcel->hide();
    picSrcExcel->hide();

    auto* row = new QHBoxLayout;
    row->addWidget(cmdExcel);
    row->addWidget(pgrExcel, 1);
    row->addWidget(sldBlendExcel);
    row->addWidget(picDestExcel);
    row->addWidget(picSrcExcel);
    return row;
}

// The controls the Edit menu copies from: their tags, and the focus watch that offers Copy while
// one of them has the focus.
void FrmTabchild::watchEditControls()
{
    for (FlexGrid* g : {mfgCTSres, mfgCTSdat, mfgAverageRes}) frame::setControlTag(g, QStringLiteral("Table"));
    for (QWidget* w : {static_cast<QWidget*>(mfgCTSdat), static_cast<QWidget*>(mfgCTSres),
                       static_cast<QWidget*>(mfgAverageRes), static_cast<QWidget*>(txtCTComments)})
        w->installEventFilter(this);
    if (QWidget* pic = picdiagram()) {
        frame::setControlTag(pic, QStringLiteral("Picture"));
        if (pic->focusPolicy() == Qt::NoFocus) pic->setFocusPolicy(Qt::ClickFocus);
        pic->installEventFilter(this);
    }
}

// ---- readers --------------------------------------------------------------------------------

bool FrmTabchild::ctdOpen(const QString& reloadPath)
{
    QString path = reloadPath;
    if (path.isEmpty()) {
        const auto chosen = platform::askFileToOpen(platform::OpenFiles::DataFile, browser::dialogParent(this));
        if (!chosen) {
            mfgCTSdat->hide();
            frmCalc->setEnabled(false);
            return false;
        }
        path = *chosen;
    }
    return ctdOpenPath(path);
}

bool FrmTabchild::ctdOpenPath(const QString& path)
{
    MainWindowDisabled busy;
    try {
        return ctdOpenRead(path);
    } catch (const std::bad_alloc&) {
        // Nothing half-open: the window is discarded with whatever it had taken.
        data = state::TabchildData();
        platform::showMessage(dataFileError(QDir::toNativeSeparators(path).toStdString(), "There is not enough memory to open the file."),
                              browser::dialogParent(this));
        mfgCTSdat->hide();
        frmCalc->setEnabled(false);
        return false;
    }
}

bool FrmTabchild::ctdOpenRead(const QString& path)
{
    DataFileRead read;
    {
        // Only as far as the header says the samples go: a huge file is judged by its first
        // bytes, and what lies after the samples is not read.
        const datafile::DataFileBytes file = datafile::readDataFileBytes(QFile::encodeName(path).toStdString());
        if (file.ok) read = parseDataFile(file.bytes, data);
        else read.refusal = file.reason;
    }
    if (!read.ok) {
        platform::showMessage(dataFileError(QDir::toNativeSeparators(path).toStdString(), read.refusal), browser::dialogParent(this));
        mfgCTSdat->hide();
        frmCalc->setEnabled(false);
        return false;
    }
    setDataFilePath(data, QDir::fromNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdString());
    showLoadedDataFile(read.minRow, read.maxRow);
    return true;
}

void FrmTabchild::prepareGrids(int protocolRows, int setCount)
{
    for (FlexGrid* g : {mfgCTSdat, mfgCTSres}) {
        g->clearCells();
        g->setRows(g == mfgCTSdat ? protocolRows : kResultGridRows);
        g->setCols(setCount + 1);
        g->setFixedRows(1);
        g->setFixedCols(1);
        g->setColWidth(0, 1800);
        for (int c = 1; c <= setCount; ++c) g->setColWidth(c, 1500);
        for (int c = 0; c <= setCount; ++c) g->setColAlignment(c, FlexGrid::CenterCenter);
        g->setFixedAlignment(0, FlexGrid::LeftCenter);
    }
    for (const auto& l : kProtocolLabels) mfgCTSdat->setTextMatrix(QString::fromLatin1(l[0]).toInt(), 0, QString::fromUtf8(l[1]));
    for (const auto& l : kResultLabels) mfgCTSres->setTextMatrix(QString::fromLatin1(l[0]).toInt(), 0, QString::fromUtf8(l[1]));
}

void FrmTabchild::fillHeaderCells(int set)
{
    for (int r = 0; r < kProtocolHeaderRows; ++r) {
        const std::string cell = protocolHeaderCell(data, r, set);
        if (!cell.empty()) mfgCTSdat->setTextMatrix(r, set, qs(cell));
    }
    for (int r = 0; r < kResultGridRows; ++r) {
        const std::string cell = resultHeaderCell(data, r, set);
        if (!cell.empty()) mfgCTSres->setTextMatrix(r, set, qs(cell));
    }
}

void FrmTabchild::showLoadedDataFile(long long minRow, long long maxRow)
{
    const int n = data.samples();
    const QString title = qs(datafile::singleLine(data.windowFileName));
    auto header = [this](int row) { return qs(datafile::singleLine(data.headerValues(row, 1))); };
    data.setCount = 1;

    txtCTComments->setPlainText(QStringLiteral("Car configuration : ") + header(datafile::kConfiguration) +
                                QStringLiteral("\nWeather : ") + header(datafile::kWeather) +
                                QStringLiteral("\nRoad conditions : ") + header(datafile::kRoad));

    lblCTDescrLabel[0]->setText(header(datafile::kProject));
    lblCTDescrLabel[1]->setText(QStringLiteral("Filename: ") + title);
    lblCTDescrLabel[2]->setText(QStringLiteral("Number of datapoints between "));
    lblCTDescrLabel[3]->setText(QStringLiteral("max. and min. value: ") + qs(numbers::numberToText(data.sampleCount)));
    lblCTDescrLabel[4]->setText(QStringLiteral("Start velocity: ") + qs(numbers::formatNumber(data.velocitySamples(1, 1), "#0.0")) +
                                QStringLiteral(" m/s"));
    lblCTDescrLabel[5]->setText(QStringLiteral("End velocity: ") + qs(numbers::formatNumber(data.velocitySamples(n, 1), "#0.0")) +
                                QStringLiteral(" m/s"));

    prepareGrids(n + kProtocolHeaderRows, 1);
    fillHeaderCells(1);
    mfgCTSdat->setTextMatrix(datafile::kMinVelocityRow, 1, qs(numbers::integerToText(minRow)));
    mfgCTSdat->setTextMatrix(datafile::kMaxVelocityRow, 1, qs(numbers::integerToText(maxRow)));
    // The samples are formatted when the view shows them: a million rows cost no text up front.
    constexpr int head = datafile::kHeaderLineCount;
    // Each row is labelled with the file's own number of its sample, as a series window does.
    mfgCTSdat->setColumnSource(0, head + 1, n + head, [this](int row) { return qs(numbers::integerToText(data.sampleNumber(row - head, 1))); });
    mfgCTSdat->setColumnSource(1, head + 1, n + head, [this](int row) {
        const int r = row - head;
        return r <= data.velocitySamples.rows() ? qs(numbers::formatNumber(data.velocitySamples(r, 1), "0.000")) : QString();
    });

    mfgCTSdat->show();
    frmCalc->setEnabled(true);
    cmdDLLNEW->setEnabled(true);
    optFixedCoeff[0]->setEnabled(false);
    optFixedCoeff[1]->setEnabled(false);
    cmbLambda->setEnabled(false);
    lstAverageData->setEnabled(false);
    lstAverageData->hide();  // one data set makes no groups
    trvAverageData->hide();
    for (QPushButton* b : {cmdAverageConnect, cmdAverageErase, cmdAverageShow, cmdAverageSingle}) b->setEnabled(false);
    mfgAverageRes->hide();

    clearDiagram();
    finishLoad();
}

void FrmTabchild::finishLoad()
{
    setlegend();
    Resize(0);
    selectPage(2);
    selectPage(0);
}

// ---- report ---------------------------------------------------------------------------------

namespace {
ReportCommand& reportCommand()
{
    static ReportCommand command;
    return command;
}
}  // namespace

void setReportCommand(ReportCommand command) { reportCommand() = std::move(command); }

void FrmTabchild::cmdExcel_Click()
{
    if (reportCommand()) reportCommand()(*this);
}

// ---- calculation ----------------------------------------------------------------------------

void FrmTabchild::cmbLambda_Click() { cmdDLLNEW->setEnabled(true); }

void FrmTabchild::optFixedCoeff_Click(int index) { data.fixedCoeffOption = static_cast<int16_t>(index); }

double FrmTabchild::selectedLambda() const { return lambdaValue(cmbLambda->currentIndex()); }

void FrmTabchild::cmdDLLNEW_Click()
{
    QString libraryError;
    const CcoeffFunction ccoeff = coastfit(&libraryError);
    CalculationRequest request;
    request.seriesWindow = cmbLambda->isEnabled();
    request.lambdaIndex = cmbLambda->currentIndex() < 0 ? 0 : cmbLambda->currentIndex();
    request.couplingMode = data.fixedCoeffOption;
    const CalculationOutcome outcome = runCalculation(data, ccoeff, request, libraryError.toStdString());
    for (const platform::Message& m : outcome.messages) platform::showMessage(m, browser::dialogParent(this));
    if (!outcome.computed) return;

    const int n = data.setCount;
    if (n > 1) cmdAverageShow->setEnabled(true);
    for (int i = 1; i <= n; ++i) {
        const auto at = [this](std::size_t k) { return data.coefficients[k]; };
        mfgCTSres->setTextMatrix(16, i, qs(cdText(at(4 * static_cast<std::size_t>(i)))));
        mfgCTSres->setTextMatrix(17, i, qs(fr0Text(at(4 * static_cast<std::size_t>(i) - 1))));
        mfgCTSres->setTextMatrix(18, i, qs(fitQualityText(data.fitQuality[static_cast<std::size_t>(i)])));
    }
    cmdExcel->setEnabled(true);
    framedia->enableFittedEntries();
}

// ---- life cycle -----------------------------------------------------------------------------

void FrmTabchild::Form_Activate()
{
    // Torn down with a main window that is gone from the screen. A minimised window is hidden
    // too, but it is activated like any other.
    if (unloaded_ || !window()->isVisible()) return;
    diaoverview();
    activate_drawinoverview();
    QStringList files, onDisk;
    for (int i = 1; i <= data.setCount && i < static_cast<int>(data.dataFileNames.size()); ++i)
        files << qs(data.dataFileNames[static_cast<std::size_t>(i)]);
    for (const std::string& name : seriesState.namesOnDisk) onDisk << qs(name);
    browser::showWindow(*this, files, qs(data.dataDirectory), qs(data.windowFileName), onDisk);
    emit activated();
}

void FrmTabchild::Form_Unload() { unloadSteps(true); }

void FrmTabchild::discardFailedOpen() { unloadSteps(false); }

void FrmTabchild::unloadSteps(bool browserSteps)
{
    if (unloaded_) return;
    emit unloading();
    unloaded_ = true;
    if (browserSteps) browser::windowUnloading(*this);
    data.reportWorkbook.reset();
}

void FrmTabchild::selectPage(int page)
{
    if (page < 0 || page >= SSTab2->count()) return;
    if (SSTab2->currentIndex() == page) SSTab2_Click();
    else SSTab2->setCurrentIndex(page);
}

void FrmTabchild::SSTab2_Click()
{
    switch (SSTab2->currentIndex()) {
    case 0: browser::showGraphViewPage(); break;
    case 1:
        if (data.setCount == 1) cmdDLLNEW->setFocus();
        else cmbLambda->setFocus();
        break;
    default: break;
    }
}

void FrmTabchild::fscTabhorz_Change(int value)
{
    const int v = static_cast<int16_t>(value);
    tabLeftTwips_ += v - data.lastTabhorzValue;
    data.lastTabhorzValue = v;
    SSTab2->move(px(tabLeftTwips_), px(tabTopTwips_));
}

void FrmTabchild::fscTabvert_Change(int value)
{
    const int v = static_cast<int16_t>(value);
    tabTopTwips_ += v - data.lastTabvertValue;
    data.lastTabvertValue = v;
    SSTab2->move(px(tabLeftTwips_), px(tabTopTwips_));
}

void FrmTabchild::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (isMinimized()) return;
    // The outer size of the window is its frame's when it sits in the main window.
    const QWidget* outer = parentWidget() ? parentWidget() : this;
    const int outerW = outer->width() * kTwipsPerPixel, outerH = outer->height() * kTwipsPerPixel;
    fscTabhorz->resize(std::max(1, px(outerW - 500)), fscTabhorz->height());
    fscTabvert->resize(fscTabvert->width(), std::max(1, px(outerH - 700)));
    // The page control grows with the window so that a larger window shows more of the pages.
    SSTab2->resize(std::max(px(11295), width() - px(360) - 8), std::max(px(8775), height() - px(300) - 8));
}

void FrmTabchild::closeEvent(QCloseEvent* event)
{
    Form_Unload();  // never cancelled
    event->accept();
}


void FrmTabchild::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    Form_Activate();
}

bool FrmTabchild::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) browser::setEditCommands(false, true, false);
    else if (event->type() == QEvent::FocusOut && !frame::menuTookFocus(event))
        browser::setEditCommands(false, false, false);
    else if (event->type() == QEvent::MouseButtonPress && watched == picdiagram()) picdiagram()->setFocus();
    return QWidget::eventFilter(watched, event);
}

// ---- diagram --------------------------------------------------------------------------------

void FrmTabchild::setlegend() { framedia->setlegend(); }
// A window holds one diagram: the frame's diagram index is always 0.
void FrmTabchild::Resize(int) { framedia->Resize(); }
void FrmTabchild::startscr(int) { framedia->startscr(); }
void FrmTabchild::diaoverview() { framedia->diaoverview(); }
void FrmTabchild::activate_drawinoverview() { framedia->activate_drawinoverview(); }
void FrmTabchild::clearDiagram() { framedia->clearDiagram(); }
QWidget* FrmTabchild::picdiagram() const { return framedia ? framedia->picdiagram() : nullptr; }
QString FrmTabchild::txtnTag() const { return framedia->txtnTag(); }
namespace {
diagram::NavScrollBar* navScrollBar(const diagram::DiagramPanel* panel, frame::NavBar bar)
{
    switch (bar) {
    case frame::NavBar::Top: return panel->scrtop();
    case frame::NavBar::Height: return panel->scrheight();
    case frame::NavBar::Left: return panel->scrleft();
    case frame::NavBar::Width: return panel->scrwidth();
    }
    return nullptr;
}
}  // namespace
frame::NavRange FrmTabchild::navBar(frame::NavBar bar) const
{
    const diagram::NavScrollBar* b = navScrollBar(framedia, bar);
    return b ? frame::NavRange{b->navValue(), b->navMin(), b->navMax()} : frame::NavRange{};
}
void FrmTabchild::setNavValue(frame::NavBar bar, int value)
{
    if (diagram::NavScrollBar* b = navScrollBar(framedia, bar)) b->setNavValue(value);
}
QImage FrmTabchild::editPicture(QWidget* control)
{
    if (control && control == picdiagram()) return framedia->picture();
    if (auto* grid = qobject_cast<FlexGrid*>(control)) return grid->picture();
    return control ? control->grab().toImage() : QImage();
}

}  // namespace analysis
