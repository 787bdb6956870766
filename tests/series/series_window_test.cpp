// The series window end to end: ctsOpen with its dialog and messages, the grids and labels, the
// calculation with the real solver, and the mean value groups driven through the controls.
#include "analysis/coastfit_loader.h"
#include "analysis/flex_grid.h"
#include "analysis/frm_tabchild.h"
#include "analysis/series/series_window.h"
#include "numbers/numbers.h"
#include "platform/fakes.h"
#include "tests/series/series_test_support.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using analysis::FrmTabchild;

QString fixture(const char* name) { return QStringLiteral(TW_SERIES_DATA "/") + name; }

class SeriesWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        analysis::setCoastfitPath(QString::fromLocal8Bit(qgetenv("TW_BIN_DIR")) + "/libCoastfit.so");
    }
    platform::ScopedFakes fakes;
    FrmTabchild w;

    void calculate(int lambdaIndex, int mode)
    {
        w.cmbLambda->setCurrentIndex(lambdaIndex);
        w.cmbLambda_Click();
        w.optFixedCoeff[static_cast<std::size_t>(mode)]->setChecked(true);
        w.optFixedCoeff_Click(mode);
        ASSERT_TRUE(w.cmdDLLNEW->isEnabled());
        w.cmdDLLNEW_Click();
    }
    void check(int index, bool on = true)
    {
        w.lstAverageData->item(index)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    QTreeWidgetItem* node(const QString& text, int occurrence = 0)
    {
        const auto found = w.trvAverageData->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return occurrence < found.size() ? found[occurrence] : nullptr;
    }
    QString treeText()
    {
        QString s;
        QTreeWidgetItem* root = w.averageRootNode;
        for (int i = 0; i < root->childCount(); ++i) {
            QTreeWidgetItem* n = root->child(i);
            s += (i ? " " : "") + n->text(0);
            if (n->childCount()) {
                s += "[";
                for (int k = 0; k < n->childCount(); ++k) s += (k ? "," : "") + n->child(k)->text(0);
                s += "]";
            }
        }
        return s;
    }
};

TEST_F(SeriesWindowTest, OpensSeriesThroughTheDialogAndFillsThePages)
{
    fakes.files.answer(fixture("three.cts"));
    ASSERT_TRUE(analysis::ctsOpen(w, {})) << (fakes.messages.shown.empty() ? "" : fakes.messages.last().text);
    ASSERT_EQ(fakes.files.requests.size(), 1u);
    const auto& req = fakes.files.requests[0];
    EXPECT_EQ(req.dialogName, "cdlDataimport");
    EXPECT_EQ(req.title, "Choose CTS-file to open...");
    EXPECT_EQ(req.filter, "TarnwellSeries(*.cts)|*.cts|");
    EXPECT_TRUE(fakes.messages.shown.empty());

    const auto& d = w.data;
    EXPECT_EQ(d.setCount, 3);
    EXPECT_EQ(d.sampleCount, 216);
    EXPECT_EQ(d.sampleInterval, 0.5);
    EXPECT_EQ(d.windowFileName, "three.cts");
    EXPECT_EQ(d.dataFileNames[2], "run2.ctd");
    // The load-time fit ran: a positive residual for every run.
    for (int j = 1; j <= 3; ++j) EXPECT_GT(d.fitReference[static_cast<std::size_t>(j)], 0.0) << j;

    // Protocol grid: every sample at the row of its line (run3's window is lines 45..261).
    EXPECT_EQ(w.mfgCTSdat->rows(), 261);
    EXPECT_EQ(w.mfgCTSdat->cols(), 4);
    EXPECT_EQ(w.mfgCTSdat->textMatrix(0, 3), "run3.ctd");
    EXPECT_EQ(w.mfgCTSdat->textMatrix(44, 3), "");
    EXPECT_EQ(w.mfgCTSdat->textMatrix(45, 3), QString::fromStdString(numbers::formatNumber(d.velocitySamples(0, 3), "0.000")));
    EXPECT_EQ(w.mfgCTSdat->textMatrix(260, 3), QString::fromStdString(numbers::formatNumber(d.velocitySamples(215, 3), "0.000")));
    EXPECT_EQ(w.mfgCTSdat->textMatrix(260, 0), "230");
    EXPECT_EQ(w.mfgCTSdat->textMatrix(246, 2).isEmpty(), false);
    EXPECT_EQ(w.mfgCTSdat->textMatrix(247, 2), "");  // run2 ends at line 247
    EXPECT_EQ(w.mfgCTSdat->textMatrix(13, 1), "0.5");
    EXPECT_EQ(w.mfgCTSdat->textMatrix(18, 2), "22");
    EXPECT_EQ(w.mfgCTSres->rows(), 20);
    EXPECT_EQ(w.mfgCTSres->textMatrix(10, 3), "1.015");
    EXPECT_EQ(w.mfgCTSres->textMatrix(1, 1), "Coastfix");

    EXPECT_EQ(w.lblCTDescrLabel[1]->text(), "Filename: three.cts");
    EXPECT_EQ(w.lblCTDescrLabel[2]->text(), "Number of coupled .ctd-files: 3");
    EXPECT_EQ(w.lblCTDescrLabel[3]->text(), "Comparable datapoints: 216");
    EXPECT_EQ(w.txtCTComments->toPlainText(), "Track A, dry\nsecond line");
    ASSERT_EQ(w.lstAverageData->count(), 3);
    EXPECT_EQ(w.lstAverageData->item(2)->text(), "run3.ctd");
    EXPECT_TRUE(w.frmCalc->isEnabled());
    for (QPushButton* b : {w.cmdAverageConnect, w.cmdAverageSingle, w.cmdAverageErase, w.cmdAverageShow})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
}

TEST_F(SeriesWindowTest, CancelledDialogLoadsNothingSilently)
{
    fakes.files.cancel();
    EXPECT_FALSE(analysis::ctsOpen(w, {}));
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(w.data.setCount, 0);
    EXPECT_FALSE(w.frmCalc->isEnabled());
}

TEST_F(SeriesWindowTest, MissingMemberIsNamedAndNothingIsHalfLoaded)
{
    series_test::ScratchDir dir;
    dir.write("a.ctd", series_test::dataFileLines({}));
    dir.write("c.ctd", series_test::dataFileLines({}));
    dir.write("s.cts", {"3", "100", "a.ctd,31,131", "b.ctd,31,131", "c.ctd,31,131"});
    EXPECT_FALSE(analysis::ctsOpen(w, QString::fromStdString(dir.file("s.cts"))));
    EXPECT_TRUE(fakes.files.requests.empty());  // a given path is opened without asking
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last().text,
              "The .cts-file has to be in the same directory like all the .ctd-files it is pointing on!\n"
              "The file b.ctd could not be found in this directory.");
    EXPECT_EQ(fakes.messages.last().icon, platform::Icon::Critical);
    EXPECT_EQ(w.data.setCount, 0);
    EXPECT_TRUE(w.data.velocitySamples.empty());
    EXPECT_EQ(w.lstAverageData->count(), 0);
    EXPECT_FALSE(w.frmCalc->isEnabled());
}

TEST_F(SeriesWindowTest, ProtocolGridShowsEachSampleAtItsLine)
{
    series_test::ScratchDir dir;
    dir.write("a.ctd", series_test::dataFileLines({}));
    dir.write("b.ctd", series_test::dataFileLines({}));
    dir.write("s.cts", {"2", "100", "a.ctd,31,131", "b.ctd,40,140"});
    ASSERT_TRUE(analysis::ctsOpen(w, QString::fromStdString(dir.file("s.cts"))));
    const analysis::FlexGrid* g = w.mfgCTSdat;
    EXPECT_EQ(g->rows(), 140);
    EXPECT_EQ(w.data.velocitySamples.rows(), 100);
    // Set 1: lines 31..130 at rows 31..130; set 2: lines 40..139 at rows 40..139.
    EXPECT_EQ(g->textMatrix(31, 1), "30.000");
    EXPECT_EQ(g->textMatrix(130, 1), "20.100");
    EXPECT_EQ(g->textMatrix(131, 1), "");
    EXPECT_EQ(g->textMatrix(39, 2), "");
    EXPECT_EQ(g->textMatrix(40, 2), "29.100");
    EXPECT_EQ(g->textMatrix(139, 2), "19.200");
    EXPECT_EQ(g->textMatrix(31, 0), "1");
    EXPECT_EQ(g->textMatrix(139, 0), "109");
    EXPECT_EQ(w.lblCTDescrLabel[4]->text(), "Coupled start velocity: 30.0 m/s");
    EXPECT_EQ(w.lblCTDescrLabel[5]->text(), "Coupled end velocity: 20.0 m/s");
}

TEST_F(SeriesWindowTest, CalculationUncoupledAndCoupledAgainstTheReference)
{
    ASSERT_TRUE(analysis::ctsOpen(w, fixture("three.cts")));
    const auto& d = w.data;

    // lambda 0: each run's own F0 and k, and the fit is the load-time one.
    calculate(0, 0);
    ASSERT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
    const double trueF0[] = {150, 160, 140};
    for (int i = 1; i <= 3; ++i) {
        EXPECT_NEAR(d.coefficients[static_cast<std::size_t>(4 * i - 3)], trueF0[i - 1], 0.05 * trueF0[i - 1]) << i;
        EXPECT_EQ(w.mfgCTSres->textMatrix(18, i), "0.00%") << i;
    }
    EXPECT_TRUE(w.cmdAverageShow->isEnabled());

    // The strongest coupling of the rolling forces: one F0 for all runs.
    calculate(16, 0);
    EXPECT_EQ(w.cmbLambda->currentText(), "1E+15");
    const double f0 = d.coefficients[1];
    for (int i = 2; i <= 3; ++i) EXPECT_NEAR(d.coefficients[static_cast<std::size_t>(4 * i - 3)], f0, 1e-6 * f0) << i;
    for (int i = 1; i <= 3; ++i) {
        const double q = 100.0 - 100.0 * d.residuals[static_cast<std::size_t>(i)] / d.fitReference[static_cast<std::size_t>(i)];
        EXPECT_LT(q, 0.0) << i;  // worse than each run's own fit
        EXPECT_EQ(w.mfgCTSres->textMatrix(18, i), QString::fromStdString(numbers::formatNumber(q, "#0.00") + "%")) << i;
    }
    EXPECT_EQ(analysis::resFinder(w, 2),
              w.mfgCTSres->textMatrix(16, 2) + "\t" + w.mfgCTSres->textMatrix(17, 2) + "\t" + w.mfgCTSres->textMatrix(18, 2));
    EXPECT_EQ(analysis::resFinder(w, 4), "");
}

// Two runs that keep their speed: nothing to fit, neither at load time nor coupled.
void writeFlatSeries(const series_test::ScratchDir& dir)
{
    series_test::RunSpec flat;
    flat.first = 1;  // with 64 interior samples every sum is exact: each run's rows stay proportional
    flat.step = 0;
    dir.write("a.ctd", series_test::dataFileLines(flat));
    dir.write("b.ctd", series_test::dataFileLines(flat));
    dir.write("s.cts", {"2", "66", "a.ctd,31,97", "b.ctd,31,97"});
}

TEST_F(SeriesWindowTest, SingularSeriesShowsFitQualityNotAvailable)
{
    series_test::ScratchDir dir;
    writeFlatSeries(dir);
    ASSERT_TRUE(analysis::ctsOpen(w, QString::fromStdString(dir.file("s.cts"))));
    EXPECT_EQ(w.data.fitReference, std::vector<double>(3, 0.0));
    calculate(16, 1);
    for (int i = 1; i <= 2; ++i) EXPECT_EQ(w.mfgCTSres->textMatrix(18, i), "n/a") << i;
}

TEST_F(SeriesWindowTest, SingularSeriesFitWarnsOnce)
{
    series_test::ScratchDir dir;
    writeFlatSeries(dir);
    ASSERT_TRUE(analysis::ctsOpen(w, QString::fromStdString(dir.file("s.cts"))));
    calculate(0, 0);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last().title, "Calculation Warning");
    EXPECT_EQ(fakes.messages.last().text, "The calculation returned unrealistic coefficients. Please check your input data!");
}

TEST_F(SeriesWindowTest, GroupsThroughTheControlsListResultsInTheSummary)
{
    ASSERT_TRUE(analysis::ctsOpen(w, fixture("three.cts")));
    check(0);
    EXPECT_TRUE(w.cmdAverageSingle->isEnabled());
    EXPECT_FALSE(w.cmdAverageConnect->isEnabled());
    check(1);
    EXPECT_FALSE(w.cmdAverageSingle->isEnabled());
    ASSERT_TRUE(w.cmdAverageConnect->isEnabled());
    w.cmdAverageConnect->click();
    EXPECT_EQ(treeText(), "Group 1[run1.ctd,run2.ctd]");
    EXPECT_EQ(w.lstAverageData->item(0)->checkState(), Qt::Unchecked);
    EXPECT_TRUE(w.cmdAverageErase->isEnabled());
    EXPECT_FALSE(w.cmdAverageConnect->isEnabled());

    // Again with the same two: asked, Cancel adds nothing and clears the checks.
    check(0);
    check(1);
    fakes.messages.answers.push_back(platform::Answer::Cancel);
    w.cmdAverageConnect->click();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last().text,
              "An entry is already part of the list, do you want to add it again?\nAlready in the list: run1.ctd, run2.ctd");
    EXPECT_EQ(treeText(), "Group 1[run1.ctd,run2.ctd]");
    EXPECT_EQ(w.lstAverageData->item(1)->checkState(), Qt::Unchecked);

    check(2);
    w.cmdAverageSingle->click();
    EXPECT_EQ(treeText(), "Group 1[run1.ctd,run2.ctd] run3.ctd");

    // A member of a two-member group stays.
    node("run1.ctd")->setSelected(true);
    w.cmdAverageErase->click();
    EXPECT_EQ(fakes.messages.last().text, "For a mean value at least two datasets are needed!");
    EXPECT_EQ(fakes.messages.last().title, "Not enough datasets");
    EXPECT_EQ(treeText(), "Group 1[run1.ctd,run2.ctd] run3.ctd");
    w.trvAverageData->clearSelection();

    // After a calculation every edit rebuilds the listing.
    calculate(16, 1);
    check(0);
    check(2);
    fakes.messages.answers.push_back(platform::Answer::Yes);
    w.cmdAverageConnect->click();
    EXPECT_EQ(fakes.messages.last().text,
              "An entry is already part of the list, do you want to add it again?\nAlready in the list: run1.ctd, run3.ctd");
    EXPECT_EQ(treeText(), "Group 1[run1.ctd,run2.ctd] run3.ctd Group 2[run1.ctd,run3.ctd]");
    node("Group 1")->setSelected(true);
    w.cmdAverageErase->click();
    EXPECT_EQ(treeText(), "run3.ctd Group 2[run1.ctd,run3.ctd]");
    EXPECT_EQ(w.data.groupCounter, 2);
    EXPECT_EQ(w.data.singleCounter, 1);

    const analysis::FlexGrid* g = w.mfgAverageRes;
    auto row = [g](int r) {
        QStringList cells;
        for (int c = 0; c < 5; ++c) cells << g->textMatrix(r, c);
        return cells.join("|");
    };
    auto res = [this](int set) { return analysis::resFinder(w, set).replace('\t', '|'); };
    EXPECT_EQ(row(0), "|Dataset|cd|fr0|Fit quality");
    EXPECT_EQ(row(1), "||||");
    EXPECT_EQ(row(2), "Single|run3.ctd|" + res(3));
    EXPECT_EQ(row(3), "||||");
    EXPECT_EQ(row(4), "Group 2|run1.ctd|" + res(1));
    EXPECT_EQ(row(5), "|run3.ctd|" + res(3));
    EXPECT_EQ(row(6), "||||");
    EXPECT_EQ(g->rows(), 7);
    EXPECT_EQ(w.data.groupSizes, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(w.data.groupCount, 2);
    EXPECT_FALSE(w.mfgCTSres->textMatrix(16, 1).isEmpty());
}

}  // namespace
