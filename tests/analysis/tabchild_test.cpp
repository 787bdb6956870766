#include "analysis/coastfit_loader.h"
#include "analysis/core/calculation.h"
#include "analysis/frm_tabchild.h"
#include "test_files.h"

#include "diagram/diagram_panel.h"
#include "platform/fakes.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>

using analysis::FrmTabchild;

namespace {

double gridNumber(const analysis::FlexGrid* g, int row, int col)
{
    return numbers::leadingNumber(g->textMatrix(row, col).toStdString());
}

class Tabchild : public ::testing::Test {
protected:
    void SetUp() override { analysis::setCoastfitPath(testfiles::libraryPath()); }
    platform::ScopedFakes fakes;
    QTemporaryDir dir;
};

}  // namespace

TEST_F(Tabchild, FormLoad)
{
    FrmTabchild w;
    ASSERT_EQ(w.cmbLambda->count(), 17);
    EXPECT_FALSE(w.cmbLambda->isEditable());
    EXPECT_EQ(w.cmbLambda->itemText(0), "0");
    EXPECT_EQ(w.cmbLambda->itemText(16), "1E+15");
    EXPECT_EQ(w.SSTab2->tabText(0), "Graph");
    EXPECT_EQ(w.SSTab2->tabText(1), "Calculation");
    EXPECT_EQ(w.SSTab2->tabText(2), "Protocol");
    EXPECT_EQ(w.tabCalclist->tabText(0), "Results");
    EXPECT_EQ(w.tabCalclist->tabText(1), "Datamatrix");
    EXPECT_EQ(w.averageRootNode->text(0), "Mean value groups");
    EXPECT_EQ(w.mfgAverageRes->textMatrix(0, 4), "Fit quality");
    EXPECT_EQ(w.mfgAverageRes->colWidth(0), 1430);
    EXPECT_FALSE(w.cmdExcel->isEnabled());
    EXPECT_EQ(w.cmdExcel->text(), "Report ...");
    EXPECT_FALSE(w.cmdDLLNEW->isEnabled());
    EXPECT_TRUE(w.optFixedCoeff[0]->isChecked());
    EXPECT_EQ(w.findChild<QPushButton*>("cmdDLLNEW"), w.cmdDLLNEW);
    EXPECT_EQ(w.findChild<QWidget*>("mfgCTSdat"), w.mfgCTSdat);
    EXPECT_EQ(frame::controlTag(w.mfgCTSres), "Table");
    EXPECT_EQ(frame::controlTag(w.txtCTComments), "Text");
    EXPECT_EQ(w.data.lastTabhorzValue, 5000);
}

TEST_F(Tabchild, OpensADataFileIntoLabelsCommentAndGrids)
{
    FrmTabchild w;
    fakes.files.answer(testfiles::dataPath("small.ctd"));
    ASSERT_TRUE(w.ctdOpen()) << (fakes.messages.shown.empty() ? std::string() : fakes.messages.last().text);
    ASSERT_EQ(fakes.files.requests.size(), 1u);
    EXPECT_EQ(fakes.files.requests[0].dialogName, "cdlDataimport");
    EXPECT_EQ(fakes.files.requests[0].title, "Choose CTD-file to open...");
    EXPECT_EQ(fakes.files.requests[0].filter, "TarnwellData(*.ctd)|*.ctd|");
    EXPECT_TRUE(fakes.messages.shown.empty());

    EXPECT_EQ(w.data.windowFileName, "small.ctd");
    EXPECT_EQ(w.data.dataDirectory, (QFileInfo(testfiles::dataPath("small.ctd")).absolutePath() + "/").toStdString());
    EXPECT_EQ(w.lblCTDescrLabel[0]->text(), "Coast A");
    EXPECT_EQ(w.lblCTDescrLabel[1]->text(), "Filename: small.ctd");
    EXPECT_EQ(w.lblCTDescrLabel[2]->text(), "Number of datapoints between ");
    EXPECT_EQ(w.lblCTDescrLabel[3]->text(), "max. and min. value: 6");
    EXPECT_EQ(w.lblCTDescrLabel[4]->text(), "Start velocity: 27.5 m/s");
    EXPECT_EQ(w.lblCTDescrLabel[5]->text(), "End velocity: 3.2 m/s");
    EXPECT_EQ(w.txtCTComments->toPlainText(),
              QString::fromUtf8("Car configuration : Roof box\nWeather : Sunny 20 \u00B0C\nRoad conditions : Dry asphalt"));

    const analysis::FlexGrid* dat = w.mfgCTSdat;
    ASSERT_EQ(dat->rows(), 37);
    ASSERT_EQ(dat->cols(), 2);
    EXPECT_EQ(dat->fixedRows(), 1);
    EXPECT_EQ(dat->fixedCols(), 1);
    EXPECT_EQ(dat->colWidth(0), 1800);
    EXPECT_EQ(dat->colWidth(1), 1500);
    EXPECT_EQ(dat->colAlignment(1), analysis::FlexGrid::CenterCenter);
    EXPECT_EQ(dat->fixedAlignment(0), analysis::FlexGrid::LeftCenter);
    struct Cell {
        int row, col;
        const char* text;
    };
    for (const Cell c : {Cell{0, 1, "small.ctd"}, Cell{1, 0, "Project:"}, Cell{1, 1, "Coast A"}, Cell{2, 1, "9.3.2005"},
                         Cell{5, 1, "Miller"}, Cell{6, 1, ""}, Cell{7, 1, "8"}, Cell{8, 1, "3.2"}, Cell{9, 1, "27.5"},
                         Cell{10, 1, "6"}, Cell{11, 1, "1"}, Cell{12, 1, ""}, Cell{13, 1, "0.5"},
                         Cell{18, 0, "Air temperature, \u00B0C :"}, Cell{18, 1, "20.5"},
                         Cell{19, 0, "Vehicle frontal area, m\u00B2 :"}, Cell{19, 1, "2.1"}, Cell{20, 1, ""},
                         Cell{21, 1, "Roof box"}, Cell{23, 0, "Road conditions :"}, Cell{23, 1, "Dry asphalt"},
                         Cell{30, 0, "Velocity data, m/s :"}, Cell{30, 1, ""}, Cell{31, 0, "1"}, Cell{31, 1, "27.500"},
                         Cell{33, 1, "14.000"}, Cell{34, 1, "9.124"}, Cell{36, 0, "6"}, Cell{36, 1, "3.200"}}) {
        SCOPED_TRACE(::testing::Message() << "dat " << c.row << "," << c.col);
        EXPECT_EQ(dat->textMatrix(c.row, c.col), QString::fromUtf8(c.text));
    }
    const analysis::FlexGrid* res = w.mfgCTSres;
    ASSERT_EQ(res->rows(), 20);
    for (const Cell c : {Cell{0, 1, "small.ctd"}, Cell{5, 1, "Miller"}, Cell{7, 0, "Test parameters:"}, Cell{7, 1, ""},
                         Cell{8, 1, "1500"}, Cell{9, 1, "1545"}, Cell{12, 1, "2.1"}, Cell{16, 0, "Drag coefficient cd:"},
                         Cell{16, 1, ""}, Cell{17, 0, "Rolling resistance fr 0:"}, Cell{18, 0, "Fit quality:"}}) {
        SCOPED_TRACE(::testing::Message() << "res " << c.row << "," << c.col);
        EXPECT_EQ(res->textMatrix(c.row, c.col), QString::fromUtf8(c.text));
    }

    // A single data set: only the calculate button of the calculation controls works.
    EXPECT_TRUE(w.frmCalc->isEnabled());
    EXPECT_TRUE(w.cmdDLLNEW->isEnabled());
    EXPECT_FALSE(w.cmbLambda->isEnabled());
    EXPECT_FALSE(w.optFixedCoeff[0]->isEnabled());
    EXPECT_FALSE(w.optFixedCoeff[1]->isEnabled());
    EXPECT_FALSE(w.lstAverageData->isEnabled());
    EXPECT_TRUE(w.lstAverageData->isHidden());  // an empty list on the Protocol page would offer groups
    EXPECT_TRUE(w.trvAverageData->isHidden());
    EXPECT_TRUE(w.mfgAverageRes->isHidden());
    for (QPushButton* b : {w.cmdAverageConnect, w.cmdAverageErase, w.cmdAverageShow, w.cmdAverageSingle})
        EXPECT_FALSE(b->isEnabled());
    EXPECT_EQ(w.SSTab2->currentIndex(), 0);
}

TEST_F(Tabchild, CancelAndRefusalsLoadNothing)
{
    {
        FrmTabchild w;
        fakes.files.cancel();
        EXPECT_FALSE(w.ctdOpen());
        EXPECT_TRUE(fakes.messages.shown.empty());
    }
    struct Case {
        const char* name;
        QString path;
        const char* second;
    };
    const QString empty = testfiles::writeFile(dir, "empty.ctd", "");
    const QString shortFile = testfiles::writeFile(dir, "short.ctd", "a\r\nb\r\n");
    for (const Case& c : {Case{"missing", dir.filePath("gone.ctd"), "The file does not exist."},
                          Case{"folder", dir.path(), "The path names a folder, not a file."},
                          Case{"empty", empty, "The file is empty."},
                          Case{"short", shortFile, "The file has 2 of its 30 header lines."}}) {
        SCOPED_TRACE(c.name);
        fakes.messages.clear();
        FrmTabchild w;
        EXPECT_FALSE(w.ctdOpen(c.path));  // a reload path opens without the dialog
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last().title, "CTD-Error");
        EXPECT_EQ(fakes.messages.last().icon, platform::Icon::Critical);
        EXPECT_EQ(fakes.messages.last().text, "File reading ERROR!\n" + c.path.toStdString() + "\n" + c.second);
        EXPECT_EQ(w.data.setCount, 0);
        EXPECT_FALSE(w.frmCalc->isEnabled());
    }
    EXPECT_TRUE(fakes.files.requests.size() == 1u);
}

TEST_F(Tabchild, LocationsBeyondTheFileAreRefused)
{
    testfiles::Run run;
    run.samples = {27.5, 20, 14, 9, 3.2};
    std::string text = testfiles::ctdText(run);
    // Lines 10 and 11 ("5" and "1") moved by five billion: five samples that the file does not hold.
    const std::string from = "\r\n5\r\n1\r\n", to = "\r\n5000000004\r\n5000000000\r\n";
    ASSERT_NE(text.find(from), std::string::npos);
    text.replace(text.find(from), from.size(), to);
    FrmTabchild w;
    const QString far = testfiles::writeFile(dir, "far.ctd", text);
    EXPECT_FALSE(w.ctdOpen(far));
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last().text, "File reading ERROR!\n" + far.toStdString() +
                                              "\nThe file holds 5 sample lines; line 10 puts the minimum at sample 5000000004 (line 5000000034).");
}

// A run whose driver was still accelerating: its maximum is sample 4, its minimum the last.
// Every number the window shows is that of the fit over samples 4 to the end.
TEST_F(Tabchild, ADataFileIsFittedFromItsMaximumToItsMinimum)
{
    testfiles::Run run = testfiles::coastDown(150, 0.45, 28, 300);
    run.samples.insert(run.samples.begin(), {26.0, 26.8, 27.5});
    const int n = 300;
    FrmTabchild w;
    ASSERT_TRUE(w.ctdOpen(testfiles::writeFile(dir, "rise.ctd", testfiles::ctdText(run, 4))));

    // The fit of the samples 4..303, made here.
    const CcoeffFunction ccoeff = analysis::coastfit();
    ASSERT_NE(ccoeff, nullptr);
    std::vector<double> v(n + 1, 0.0), fitted(n + 1, 0.0), coefficients(5, 0.0), residuals(2, 0.0);
    // As the file holds them: written with at most 15 digits.
    std::transform(run.samples.begin() + 3, run.samples.end(), v.begin() + 1,
                   [](double x) { return numbers::leadingNumber(numbers::numberToText(x)); });
    const double parameters[6] = {0, run.mass, run.dynMass, run.pressure, run.temperature, run.area};
    ccoeff(v.data(), n, 1, parameters, run.dt, 0.0, 0, coefficients.data(), residuals.data(), fitted.data());

    w.cmdDLLNEW->click();
    EXPECT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
    EXPECT_EQ(w.mfgCTSres->textMatrix(16, 1).toStdString(), analysis::cdText(coefficients[4]));
    EXPECT_EQ(w.mfgCTSres->textMatrix(17, 1).toStdString(), analysis::fr0Text(coefficients[3]));
    EXPECT_EQ(w.mfgCTSres->textMatrix(18, 1), "0.00%");
    EXPECT_EQ(w.data.residuals[1], residuals[1]);
    for (int r = 1; r <= n; ++r) {
        ASSERT_EQ(w.data.velocitySamples(r, 1), v[static_cast<std::size_t>(r)]) << r;  // what the diagram draws, row 1 at 0 s
        ASSERT_EQ(w.data.fittedVelocities(r, 1), fitted[static_cast<std::size_t>(r)]) << r;
    }
    const auto oneDecimal = [](double x) { return QString::fromStdString(numbers::formatNumber(x, "#0.0")); };
    EXPECT_EQ(w.lblCTDescrLabel[3]->text(), "max. and min. value: 300");
    EXPECT_EQ(w.lblCTDescrLabel[4]->text(), "Start velocity: " + oneDecimal(run.samples[3]) + " m/s");
    EXPECT_EQ(w.lblCTDescrLabel[5]->text(), "End velocity: " + oneDecimal(run.samples.back()) + " m/s");

    // The protocol grid labels its rows with the file's sample numbers, from the maximum's.
    const analysis::FlexGrid* dat = w.mfgCTSdat;
    ASSERT_EQ(dat->rows(), n + 31);
    EXPECT_EQ(dat->textMatrix(10, 1), "303");
    EXPECT_EQ(dat->textMatrix(11, 1), "4");
    EXPECT_EQ(dat->textMatrix(31, 0), "4");
    EXPECT_EQ(dat->textMatrix(31, 1).toStdString(), numbers::formatNumber(run.samples[3], "0.000"));
    EXPECT_EQ(dat->textMatrix(n + 30, 0), "303");
    EXPECT_EQ(dat->textMatrix(n + 30, 1).toStdString(), numbers::formatNumber(run.samples.back(), "0.000"));

    // A value the fit cannot take is named by its sample number in the file, too.
    run.samples[9] = 0;
    FrmTabchild gap;
    ASSERT_TRUE(gap.ctdOpen(testfiles::writeFile(dir, "gap.ctd", testfiles::ctdText(run, 4))));
    gap.cmdDLLNEW->click();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last().text.substr(0, 25), "gap.ctd: sample 10 is 0.\n");
}

TEST_F(Tabchild, CalculationGivesBackTheCoefficientsOfAGeneratedRun)
{
    const double f0 = 150, k = 0.45;
    const testfiles::Run run = testfiles::coastDown(f0, k, 30, 400);
    FrmTabchild w;
    ASSERT_TRUE(w.ctdOpen(testfiles::writeFile(dir, "known.ctd", testfiles::ctdText(run))));
    EXPECT_FALSE(w.framedia->chk(1)->isEnabled());
    w.cmdDLLNEW->click();
    EXPECT_TRUE(w.framedia->chk(1)->isEnabled());  // the fitted curve's legend entry
    EXPECT_TRUE(w.framedia->piclegend(1)->isEnabled());
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_NEAR(w.data.coefficients[1], f0, f0 * 1e-3);
    EXPECT_NEAR(w.data.coefficients[2], k, k * 1e-3);
    EXPECT_NEAR(gridNumber(w.mfgCTSres, 16, 1), run.cd(k), run.cd(k) * 1e-3);
    EXPECT_NEAR(gridNumber(w.mfgCTSres, 17, 1), run.fr0(f0), run.fr0(f0) * 1e-3);
    EXPECT_EQ(w.mfgCTSres->textMatrix(18, 1), "0.00%");
    EXPECT_TRUE(w.cmdExcel->isEnabled());
    EXPECT_FALSE(w.cmdAverageShow->isEnabled());
    EXPECT_EQ(w.data.lastLambdaText, "0");
    ASSERT_TRUE(w.data.hasFit());
    EXPECT_NEAR(w.data.fittedVelocities(200, 1), run.samples[200], 0.2);
}

TEST_F(Tabchild, ImplausibleRunWarnsTwiceAndStillShowsItsResults)
{
    // A run that speeds up: the fitted resistance comes out negative.
    testfiles::Run run = testfiles::coastDown(150, 0.45, 30, 200);
    std::reverse(run.samples.begin(), run.samples.end());
    FrmTabchild w;
    ASSERT_TRUE(w.ctdOpen(testfiles::writeFile(dir, "up.ctd", testfiles::ctdText(run))));
    w.cmdDLLNEW_Click();
    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_EQ(fakes.messages.shown[0].text, "The calculation returned unrealistic coefficients. Please check your input data!");
    EXPECT_EQ(fakes.messages.shown[0].icon, platform::Icon::Critical);
    EXPECT_EQ(fakes.messages.shown[1].text, "The solution of the equation of motion could not be found!");
    EXPECT_EQ(fakes.messages.shown[1].icon, platform::Icon::Exclamation);
    for (const auto& m : fakes.messages.shown) EXPECT_EQ(m.title, "Calculation Warning");
    EXPECT_LT(gridNumber(w.mfgCTSres, 16, 1), 0);
    EXPECT_TRUE(w.mfgCTSres->textMatrix(16, 1).startsWith('-'));
    EXPECT_TRUE(w.cmdExcel->isEnabled());
}

TEST_F(Tabchild, AFileTheFitCannotTakeIsNamedAndNothingIsComputed)
{
    testfiles::Run run = testfiles::coastDown(150, 0.45, 30, 50);
    run.area = 0;
    FrmTabchild w;
    ASSERT_TRUE(w.ctdOpen(testfiles::writeFile(dir, "flat.ctd", testfiles::ctdText(run))));
    w.cmdDLLNEW_Click();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last().title, "Calculation Warning");
    EXPECT_EQ(fakes.messages.last().text.substr(0, 33), "flat.ctd: the frontal area is 0.\n");
    EXPECT_EQ(w.mfgCTSres->textMatrix(16, 1), "");
    EXPECT_FALSE(w.cmdExcel->isEnabled());
    EXPECT_FALSE(w.data.hasFit());
}

TEST_F(Tabchild, ARunThatCoastsToStandstillIsCalculated)
{
    testfiles::Run run = testfiles::coastDown(150, 0.45, 30, 2000);
    for (double& v : run.samples) v = std::max(v, 0.0);
    ASSERT_EQ(run.samples.back(), 0.0);
    FrmTabchild w;
    ASSERT_TRUE(w.ctdOpen(testfiles::writeFile(dir, "stop.ctd", testfiles::ctdText(run))));
    w.cmdDLLNEW_Click();
    EXPECT_TRUE(fakes.messages.shown.empty());
    ASSERT_TRUE(w.data.hasFit());
    EXPECT_TRUE(std::isfinite(w.data.coefficients[1]) && w.data.coefficients[1] > 0);
    EXPECT_TRUE(std::isfinite(w.data.coefficients[2]) && w.data.coefficients[2] > 0);
    EXPECT_TRUE(std::isfinite(gridNumber(w.mfgCTSres, 16, 1)));
}

TEST_F(Tabchild, MissingLibraryIsACriticalMessageAndNothingIsComputed)
{
    for (const QString& lib : {dir.filePath("libCoastfit.so"), testfiles::writeFile(dir, "broken.so", "not a library")}) {
        SCOPED_TRACE(lib.toStdString());
        analysis::setCoastfitPath(lib);
        fakes.messages.clear();
        FrmTabchild w;
        ASSERT_TRUE(w.ctdOpen(testfiles::dataPath("small.ctd")));
        w.cmdDLLNEW_Click();
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last().title, "Calculation Warning");
        EXPECT_EQ(fakes.messages.last().icon, platform::Icon::Critical);
        EXPECT_NE(fakes.messages.last().text.find(lib.toStdString()), std::string::npos) << fakes.messages.last().text;
        EXPECT_EQ(w.mfgCTSres->textMatrix(16, 1), "");
        EXPECT_FALSE(w.cmdExcel->isEnabled());
        EXPECT_FALSE(w.data.calculated);
    }
}

// The library is tried again at every calculation until it is found: a file put back (or a
// broken one replaced) is used at the next Results, without a restart.
TEST_F(Tabchild, TheLibraryIsFoundWhenItComesBack)
{
    const QString lib = dir.filePath(QStringLiteral("libCoastfit.so"));
    analysis::setCoastfitPath(lib);
    FrmTabchild w;
    ASSERT_TRUE(w.ctdOpen(testfiles::dataPath("small.ctd")));
    const auto press = [&] {
        fakes.messages.clear();
        w.cmdDLLNEW->click();
        return fakes.messages.shown.empty() ? std::string() : fakes.messages.last().text;
    };
    EXPECT_NE(press().find(lib.toStdString() + ": the file does not exist."), std::string::npos);
    testfiles::writeFile(dir, QStringLiteral("libCoastfit.so"), "not a library");
    const std::string broken = press();
    EXPECT_NE(broken.find(lib.toStdString() + ": "), std::string::npos) << broken;
    EXPECT_EQ(broken.find("does not exist"), std::string::npos) << broken;
    ASSERT_TRUE(QFile::remove(lib));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TW_NO_ENTRY_LIBRARY), lib));
    EXPECT_NE(press().find(lib.toStdString() + ": no entry ccoeff in the library."), std::string::npos);
    EXPECT_FALSE(w.data.calculated);

    ASSERT_TRUE(QFile::remove(lib));
    ASSERT_TRUE(QFile::copy(testfiles::libraryPath(), lib));
    EXPECT_EQ(press(), "");
    EXPECT_TRUE(w.data.calculated);
    EXPECT_FALSE(w.mfgCTSres->textMatrix(16, 1).isEmpty());
}

TEST_F(Tabchild, PageScrollBarsShiftThePages)
{
    FrmTabchild w;
    const QPoint start = w.SSTab2->pos();
    w.fscTabhorz->setValue(5300);  // 300 twips = 20 px
    EXPECT_EQ(w.SSTab2->pos(), start + QPoint(20, 0));
    w.fscTabvert->setValue(4700);
    EXPECT_EQ(w.SSTab2->pos(), start + QPoint(20, -20));
    w.fscTabhorz->setValue(5000);
    w.fscTabvert->setValue(5000);
    EXPECT_EQ(w.SSTab2->pos(), start);
}

TEST_F(Tabchild, LambdaChoiceEnablesCalculationAndReadsTheEntry)
{
    FrmTabchild w;
    EXPECT_EQ(w.selectedLambda(), 0.0);
    w.cmbLambda->setCurrentIndex(16);
    w.cmbLambda_Click();
    EXPECT_TRUE(w.cmdDLLNEW->isEnabled());
    EXPECT_EQ(w.selectedLambda(), 1e15);
    w.optFixedCoeff_Click(1);
    EXPECT_EQ(w.data.fixedCoeffOption, 1);
}
