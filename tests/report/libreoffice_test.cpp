// LibreOffice recalculates the report of the examples series: every formula's value must agree
// with the result the program stored beside it. One headless conversion of the report and of a
// probe whose stored result is wrong on purpose, which shows that the values were recalculated.
#include "analysis/coastfit_loader.h"
#include "analysis/frm_tabchild.h"
#include "analysis/series/series_window.h"
#include "platform/fakes.h"
#include "platform/workbook.h"
#include "report/report_command.h"
#include "tests/report/report_test_support.h"

#include <QComboBox>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

using report_test::TempDir;

namespace {

// The cells of a CSV file by "B4" (comma separated, fields in double quotes where needed).
std::map<std::string, std::string> readCsv(const std::string& path)
{
    std::map<std::string, std::string> cells;
    const std::string text = report_test::slurp(path);
    int row = 0, col = 0;
    std::string field;
    bool quoted = false;
    auto put = [&] {
        if (!field.empty()) cells[platform::cellName(row, col)] = field;
        field.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (quoted) {
            if (ch == '"' && i + 1 < text.size() && text[i + 1] == '"') field += '"', ++i;
            else if (ch == '"') quoted = false;
            else field += ch;
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == ',') {
            put();
            ++col;
        } else if (ch == '\n') {
            put();
            ++row;
            col = 0;
        } else if (ch != '\r') {
            field += ch;
        }
    }
    put();
    return cells;
}

// A fresh profile that recalculates every workbook it loads instead of trusting stored results.
void writeProfile(const TempDir& dir)
{
    std::filesystem::create_directories(dir.path() / "profile" / "user");
    std::ofstream(dir.path() / "profile" / "user" / "registrymodifications.xcu")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
           "<item oor:path=\"/org.openoffice.Office.Calc/Formula/Load\"><prop oor:name=\"OOXMLRecalcMode\" "
           "oor:op=\"fuse\"><value>0</value></prop></item>\n"
           "</oor:items>\n";
}

// The examples series with texts as hand-edited files bring them: a tab in a project, a CR in a
// car, a tab in a data file's name and control characters in the comment. Each stays in its cell.
std::string hostileExamples(const TempDir& dir)
{
    const auto replaceLine = [](std::string text, int line, const std::string& with) {
        std::size_t start = 0;
        for (int k = 1; k < line; ++k) start = text.find('\n', start) + 1;
        const std::size_t end = text.find('\r', start);
        return text.replace(start, end - start, with);
    };
    const auto example = [](const char* name) { return report_test::slurp(std::string(TW_EXAMPLES "/") + name); };
    std::ofstream(dir.file("run1.ctd"), std::ios::binary) << replaceLine(example("run1.ctd"), 1, "A4\tAvant");
    std::ofstream(dir.file("run\t2.ctd"), std::ios::binary) << replaceLine(example("run2.ctd"), 4, "A4\rAvant");
    std::ofstream(dir.file("run3.ctd"), std::ios::binary) << example("run3.ctd");
    std::ofstream(dir.file("series.cts"), std::ios::binary)
        << "3\r\n1513\r\nrun1.ctd,44,1557\r\nrun\t2.ctd,31,1544\r\nrun3.ctd,54,1567\r\nTrack\tNord,\x01three runs\rin turns";
    return dir.file("series.cts");
}

TEST(LibreOffice, RecalculatesEveryFormulaToTheStoredValue)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice (LibreOffice) is not installed, so the recalculation check cannot run; "
                        "scripts/setup.sh installs libreoffice-calc-nogui";

    platform::ScopedFakes fakes;
    TempDir dir;
    analysis::setCoastfitPath(QString::fromLocal8Bit(qgetenv("TW_BIN_DIR")) + "/libCoastfit.so");
    analysis::setReportCommand(report::cmdExcel_Click);
    {
        analysis::FrmTabchild w;
        ASSERT_TRUE(analysis::ctsOpen(w, QString::fromStdString(hostileExamples(dir))));
        w.cmbLambda->setCurrentIndex(6);
        w.cmbLambda_Click();
        w.optFixedCoeff[1]->setChecked(true);
        w.optFixedCoeff_Click(1);
        w.cmdDLLNEW_Click();
        for (int i : {0, 1}) w.lstAverageData->item(i)->setCheckState(Qt::Checked);
        w.cmdAverageConnect->click();
        w.lstAverageData->item(2)->setCheckState(Qt::Checked);
        w.cmdAverageSingle->click();
        fakes.files.answer(QString::fromStdString(dir.file("report.xlsx")));
        w.cmdExcel->click();
        ASSERT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
    }
    analysis::setReportCommand({});

    platform::Workbook probe;
    probe.addSheet("Probe").setFormula(0, 0, "=1+1", platform::CellValue::of(0));
    ASSERT_TRUE(platform::writeXlsx(probe, dir.file("probe.xlsx")).ok);

    writeProfile(dir);
    QProcess lo;
    lo.setWorkingDirectory(QString::fromStdString(dir.path().string()));
    lo.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + QString::fromStdString((dir.path() / "profile").string()),
                       QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                       QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1"),
                       QStringLiteral("--outdir"), QStringLiteral("out"), QStringLiteral("report.xlsx"), QStringLiteral("probe.xlsx")});
    ASSERT_TRUE(lo.waitForFinished(300000)) << "LibreOffice did not finish";
    ASSERT_EQ(lo.exitCode(), 0) << lo.readAllStandardError().toStdString();

    ASSERT_EQ(readCsv(dir.file("out/probe-Probe.csv"))["A1"], "2") << "LibreOffice showed the stored results, it did not recalculate";

    const xlsx_test::Workbook x(dir.file("report.xlsx"));
    auto recalculated = readCsv(dir.file("out/report-Results.csv"));
    int formulas = 0;
    for (const auto& [ref, cell] : x.cells("Results")) {
        if (cell.formula.empty()) continue;
        ++formulas;
        SCOPED_TRACE(ref + " =" + cell.formula);
        ASSERT_TRUE(recalculated.count(ref));
        const double theirs = std::stod(recalculated[ref]), ours = std::stod(cell.value);
        EXPECT_LE(std::fabs(theirs - ours), 1e-9 * std::max(std::fabs(theirs), std::fabs(ours))) << theirs << " against " << ours;
    }
    // Two Average and two Standard deviation cells, B4 and one improvement per group.
    EXPECT_EQ(formulas, 2 + 2 + 1 + 2);
    auto results = x.cells("Results");
    EXPECT_EQ(results["C2"].value, "A4 Avant");
    EXPECT_EQ(results["C7"].value, "run 2.ctd");
    auto input = x.cells("Input data");
    EXPECT_EQ(input["C35"].value, "A4 Avant");
    // A lone CR inside a comment line is no line of the comment box, nor of the report.
    EXPECT_EQ(input["C5"].value, "Track Nord, three runs in turns");
    EXPECT_EQ(input["C6"].value, "");
}

}  // namespace
