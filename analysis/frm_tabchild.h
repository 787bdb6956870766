#pragma once
// The analysis window: one per opened data file or series. It holds the window state
// (state::TabchildData) and shows it on the pages "Graph", "Calculation" (inner pages "Results" and
// "Datamatrix") and "Protocol". Controls are public and carry their names as objectName, so the
// series reader, the mean value groups, the report and the tests reach them directly.
#include "analysis/flex_grid.h"
#include "analysis/series/series_window.h"
#include "frame_api/analysis_window_api.h"
#include "state/tabchild_data.h"

#include <QSize>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSlider;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace diagram {
class DiagramPanel;
}

namespace analysis {

class FrmTabchild;

// The spreadsheet report behind "Report ...". The report sits above the analysis window, so the
// frame installs it; without one the button does nothing.
using ReportCommand = std::function<void(FrmTabchild&)>;
void setReportCommand(ReportCommand command);

class FrmTabchild : public QWidget, public frame::AnalysisWindowApi {
    Q_OBJECT
public:
    // Form_Load runs here: the average tree's root, the 17 lambda entries, the average grid's
    // titles, the page-shift values, a clear diagram.
    explicit FrmTabchild(QWidget* parent = nullptr);
    ~FrmTabchild() override;

    // ---- identity ------------------------------------------------------------------------
    // The window number as decimal text; set by the dispatcher before the reader runs.
    QString Tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }
    int windowNumber() const override { return tag_.toInt(); }
    bool isSeriesWindow() const { return data.setCount > 1; }

    // ---- state ----------------------------------------------------------------------------
    state::TabchildData data;
    SeriesState seriesState;  // the series side's groups and sample windows

    // ---- readers ----------------------------------------------------------------------------
    // Reads a data file (the open dialog unless reloadPath is given) into the window and shows
    // it. False after a cancel or a refusal (whose message has been shown).
    bool ctdOpen(const QString& reloadPath = {});
    // The reading part without the dialog, for a known path.
    bool ctdOpenPath(const QString& path);

    // Shapes both grids for `setCount` data sets, the protocol grid with `protocolRows` rows,
    // and writes the row labels of column 0 (shared by the data-file and the series reader).
    void prepareGrids(int protocolRows, int setCount);
    // Writes the header cells of data set `set` into column `set` of both grids.
    void fillHeaderCells(int set);

    // After a successful load: legend, default view, then page 2 and page 0 (each runs the
    // page-click handling, so the data browser ends on its graph-view page).
    void finishLoad();

    // ---- calculation --------------------------------------------------------------------------
    void cmbLambda_Click();
    void optFixedCoeff_Click(int index);
    void cmdDLLNEW_Click();
    // lambda of the selected cmbLambda entry (0 when none is selected).
    double selectedLambda() const;

    // ---- report --------------------------------------------------------------------------------
    // "Report ...": runs the report command the frame installed (setReportCommand).
    void cmdExcel_Click();
    static constexpr QSize kReportPictureSize{150, 40};  // picDestExcel and picSrcExcel

    // ---- life cycle ---------------------------------------------------------------------------
    void Form_Activate() override;
    // Closing: removes the tree nodes and clears what the data browser shows of this window.
    // Runs once; later calls do nothing.
    void Form_Unload();
    // Discards a window whose open failed: nothing of the data browser is touched.
    void discardFailedOpen();
    bool isUnloaded() const { return unloaded_; }

    // Selects a page of SSTab2 and runs its click handling (as a click by the user does).
    void selectPage(int page) override;
    void SSTab2_Click();
    void fscTabhorz_Change(int value);
    void fscTabvert_Change(int value);

    // ---- diagram (forwarded to the panel) -----------------------------------------------------
    void setlegend();
    void Resize(int index) override;
    void startscr(int index) override;
    void diaoverview();
    void activate_drawinoverview();
    void clearDiagram();
    QWidget* picdiagram() const;  // the diagram's picture (element 0), tag "Picture"
    QString txtnTag() const;      // "" normally, "1" after the diagram overflowed

    // ---- what the frame asks of an analysis window ----------------------------------------
    QWidget* windowWidget() override { return this; }
    bool isOpen() const override { return !unloaded_; }
    QString overflowTag() const override { return txtnTag(); }
    frame::NavRange navBar(frame::NavBar bar) const override;
    void setNavValue(frame::NavBar bar, int value) override;
    QImage editPicture(QWidget* control) override;

    // ---- controls -----------------------------------------------------------------------------
    QScrollBar* fscTabhorz = nullptr;
    QScrollBar* fscTabvert = nullptr;
    QTabWidget* SSTab2 = nullptr;

    // "Graph"
    diagram::DiagramPanel* framedia = nullptr;

    // "Calculation"
    QTabWidget* tabCalclist = nullptr;        // "Results", "Datamatrix"; tag "Table"
    FlexGrid* mfgCTSres = nullptr;            // tag "Table"
    QGroupBox* frmCalc = nullptr;
    QLabel* lblLambda = nullptr;              // "Lambda:"
    QComboBox* cmbLambda = nullptr;           // not editable; tooltip "Strength of coupling"
    QLabel* lblFixedCoeff = nullptr;          // "Fixed Parameter:"
    std::array<QRadioButton*, 2> optFixedCoeff{};  // "Rolling resistance", "Aerodynamic drag"
    QLabel* lblCalculate = nullptr;           // "Calculate:"
    QPushButton* cmdDLLNEW = nullptr;         // "Results", tooltip "Start calculation"
    QGroupBox* fraCTheader = nullptr;
    QLabel* lblComments = nullptr;            // "Comments:"
    QPlainTextEdit* txtCTComments = nullptr;  // tag "Text"
    std::array<QLabel*, 6> lblCTDescrLabel{};
    FlexGrid* mfgCTSdat = nullptr;            // tag "Table"

    // "Protocol"
    QListWidget* lstAverageData = nullptr;    // check list, tooltip "Choose files to create groups"
    QTreeWidget* trvAverageData = nullptr;    // tooltip "Mean value groups overview"
    QTreeWidgetItem* averageRootNode = nullptr;  // "Mean value groups"
    QPushButton* cmdAverageConnect = nullptr; // "Create mean value group"
    QPushButton* cmdAverageSingle = nullptr;  // "Analyse separately"
    QPushButton* cmdAverageErase = nullptr;   // "Delete"
    QPushButton* cmdAverageShow = nullptr;    // "Summary"
    FlexGrid* mfgAverageRes = nullptr;        // tag "Table"
    QPushButton* cmdExcel = nullptr;          // "Report ...", disabled until a calculation
    QProgressBar* pgrExcel = nullptr;         // the report's progress, 0..255
    QSlider* sldBlendExcel = nullptr;         // 0..255: the transparency of the fading picture
    QLabel* picDestExcel = nullptr;           // where the picture fades in
    QLabel* picSrcExcel = nullptr;            // the picture, hidden

signals:
    void activated();   // Form_Activate ran
    void unloading();   // Form_Unload is about to run its steps

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // The controls, page by page: buildPages lists the pages, each page builds its own.
    void buildPages();
    void buildPageScrollBars();  // fscTabhorz, fscTabvert
    QWidget* buildGraphPage();
    QWidget* buildCalculationPage();  // tabCalclist with "Results" and "Datamatrix"
    QWidget* buildResultsPage();
    QGroupBox* buildCalculationBox(QWidget* page);  // frmCalc
    QGroupBox* buildHeaderBox(QWidget* page);       // fraCTheader
    QWidget* buildDatamatrixPage();
    QWidget* buildProtocolPage();
    QLayout* buildReportRow(QWidget* page);  // "Report ..." with its progress and fading picture
    void watchEditControls();
    bool ctdOpenRead(const QString& path);  // ctdOpenPath without its guard against a failed allocation
    void showLoadedDataFile(long long minRow, long long maxRow);
    void unloadSteps(bool browserSteps);

    QString tag_;
    bool unloaded_ = false;
    bool closing_ = false;
    int tabLeftTwips_ = 360;  // SSTab2's place, shifted by the two page scroll bars
    int tabTopTwips_ = 300;
};

}  // namespace analysis
