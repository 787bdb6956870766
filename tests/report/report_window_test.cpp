// The report command of the analysis window end to end on the examples: the guard, the save
// dialog, the workbook as written, the progress display, opening the workbook, and the failures.
#include "analysis/coastfit_loader.h"
#include "analysis/flex_grid.h"
#include "analysis/frm_tabchild.h"
#include "analysis/series/series_window.h"
#include "diagram/diagram_panel.h"
#include "numbers/numbers.h"
#include "platform/fakes.h"
#include "report/progress_display.h"
#include "report/report_command.h"
#include "tests/report/report_test_support.h"
#include "tests/support/scripted_opener.h"
#include "tests/support/special_targets.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>

using analysis::FrmTabchild;
using report_test::TempDir;

namespace {

QString example(const char* name) { return QStringLiteral(TW_EXAMPLES "/") + name; }

double shown(const analysis::FlexGrid* g, int row, int col) { return numbers::leadingNumber(g->textMatrix(row, col).toStdString()); }

// The size a PNG file gives in its header.
std::pair<int, int> pngSize(const std::string& png)
{
    auto be = [&](std::size_t at) {
        return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
               (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
    };
    return png.size() > 24 ? std::pair{be(16), be(20)} : std::pair{0, 0};
}

class ReportWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        analysis::setCoastfitPath(QString::fromLocal8Bit(qgetenv("TW_BIN_DIR")) + "/libCoastfit.so");
        analysis::setReportCommand(report::cmdExcel_Click);
    }
    static void TearDownTestSuite() { analysis::setReportCommand({}); }

    platform::ScopedFakes fakes;
    TempDir dir;
    FrmTabchild w;

    QString path(const char* name) const { return QString::fromStdString(dir.file(name)); }

    // The examples series, calculated, with the group (run1, run2) and run3 alone.
    void openGroupedSeries()
    {
        ASSERT_TRUE(analysis::ctsOpen(w, example("series.cts")));
        w.cmbLambda->setCurrentIndex(4);
        w.cmbLambda_Click();
        w.cmdDLLNEW_Click();
        ASSERT_TRUE(w.cmdExcel->isEnabled());
        for (int i : {0, 1}) w.lstAverageData->item(i)->setCheckState(Qt::Checked);
        w.cmdAverageConnect->click();
        w.lstAverageData->item(2)->setCheckState(Qt::Checked);
        w.cmdAverageSingle->click();
        ASSERT_TRUE(fakes.messages.shown.empty());
    }

    void report(const QString& target)
    {
        fakes.files.answer(target);
        w.cmdExcel->click();
    }

    void expectIdle()
    {
        EXPECT_EQ(w.pgrExcel->value(), 0);
        EXPECT_EQ(w.sldBlendExcel->value(), 255);
        EXPECT_TRUE(w.cmdExcel->isEnabled());
    }
};

TEST_F(ReportWindow, SeriesOfTheExamplesGivesResultsFromTheResultGrid)
{
    openGroupedSeries();
    for (int i : {0, 1, 2}) w.framedia->chk(i)->setChecked(true);
    fakes.clipboard.setText("what the user copied");
    report(path("series report.xlsx"));

    ASSERT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
    ASSERT_EQ(fakes.files.requests.size(), 1u);
    const auto& request = fakes.files.requests[0];
    EXPECT_EQ(request.dialogName, "cdlReport");
    EXPECT_EQ(request.kind, platform::FileDialogKind::Save);
    EXPECT_EQ(request.filter, "Excel workbook (*.xlsx)|*.xlsx|");
    EXPECT_EQ(request.fileName, "series.xlsx");
    EXPECT_EQ(QDir(request.initialDir).canonicalPath(), QDir(TW_EXAMPLES).canonicalPath());
    EXPECT_EQ(fakes.shell.opened, QStringList{path("series report.xlsx")});
    EXPECT_EQ(fakes.clipboard.text(), "what the user copied");
    expectIdle();
    ASSERT_TRUE(w.data.reportWorkbook);
    EXPECT_EQ(w.data.groupCount, 2);
    EXPECT_EQ(w.data.meanTableLines, 9);

    const xlsx_test::Workbook x(dir.file("series report.xlsx"));
    ASSERT_TRUE(x.ok());
    EXPECT_EQ(x.sheetNames(), (std::vector<std::string>{"Input data", "Results"}));
    EXPECT_EQ(x.activeTab(), 1);
    auto c = x.cells("Results");
    // The statistics of (run1, run2), computed here from what the result grid shows.
    for (const auto& [column, row] : {std::pair{"D", 16}, {"E", 17}}) {
        const double a = shown(w.mfgCTSres, row, 1), b = shown(w.mfgCTSres, row, 2);
        const double mean = (a + b) / 2, sd = std::sqrt(((a - mean) * (a - mean) + (b - mean) * (b - mean)) / 1);
        SCOPED_TRACE(column);
        EXPECT_EQ(c[std::string(column) + "8"].formula, std::string("AVERAGE(") + column + "6:" + column + "7)");
        EXPECT_NEAR(std::stod(c[std::string(column) + "8"].value), mean, 1e-15);
        EXPECT_EQ(c[std::string(column) + "9"].formula, std::string("STDEV(") + column + "6:" + column + "7)");
        EXPECT_NEAR(std::stod(c[std::string(column) + "9"].value), sd, 1e-15);
        EXPECT_EQ(std::stod(c[std::string(column) + "11"].value), shown(w.mfgCTSres, row, 3));
    }
    EXPECT_EQ(c["C11"].value, "run3.ctd");
    EXPECT_EQ(c["C4"].value, "Coupled datasets  l=" + w.cmbLambda->currentText().toStdString());
    EXPECT_EQ(c["C2"].value, w.lblCTDescrLabel[0]->text().toStdString());

    const auto charts = x.charts("Results");
    ASSERT_EQ(charts.size(), 3u);
    for (int i : {0, 1}) EXPECT_EQ(x.part(charts[static_cast<std::size_t>(i)].target).all("c:ser").size(), 2u);
    EXPECT_EQ(x.part(charts[2].target).first("c:val")->first("c:f")->text, "Results!$G$5:$G$6");

    auto input = x.cells("Input data");
    EXPECT_EQ(input["A1"].value, "    TarnwellSeries Report");
    EXPECT_EQ(input["E9"].value, std::string(17, ' ') + "run1.ctd");
    EXPECT_EQ(input["E10"].value, std::string(17, ' ') + "Solution 1");
    EXPECT_EQ(input["E11"].value, std::string(17, ' ') + "run2.ctd");
    EXPECT_EQ(input["D32"].value, "run3.ctd");
    const auto pictures = x.pictures("Input data");
    ASSERT_EQ(pictures.size(), 2u);  // the title picture beside the program, and the diagram
    const QImage diagram = w.editPicture(w.picdiagram());
    EXPECT_EQ(pngSize(x.file(pictures[1].target)), std::pair(diagram.width(), diagram.height()));
}

TEST_F(ReportWindow, DataFileReportHasTheResultGridAndTicksTheFirstCurveWhenNoneIs)
{
    ASSERT_TRUE(w.ctdOpenPath(example("run1.ctd")));
    w.cmdDLLNEW_Click();
    ASSERT_TRUE(w.cmdExcel->isEnabled());
    for (int i = 0; i < 60; ++i) ASSERT_FALSE(w.framedia->chk(i)->isChecked());
    report(path("run1.xlsx"));

    ASSERT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
    EXPECT_EQ(fakes.files.requests.at(0).fileName, "run1.xlsx");
    EXPECT_TRUE(w.framedia->chk(0)->isChecked());
    expectIdle();
    const xlsx_test::Workbook x(dir.file("run1.xlsx"));
    EXPECT_EQ(x.sheetNames(), (std::vector<std::string>{"Input data"}));
    auto c = x.cells("Input data");
    EXPECT_EQ(c["A1"].value, "    TarnwellData Report");
    EXPECT_EQ(c["D2"].value, " run1.ctd");
    EXPECT_EQ(c["E9"].value, std::string(17, ' ') + "run1.ctd");
    EXPECT_EQ(c["C5"].value, "Car configuration : roof rails, no box");
    const auto pictures = x.pictures("Input data");
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_EQ(pictures[2].row, 30);
    // The whole result grid, every row, though the window was never shown.
    const QImage expected = w.mfgCTSres->picture();
    const QImage grid = QImage::fromData(QByteArray::fromStdString(x.file(pictures[2].target)), "PNG");
    ASSERT_FALSE(grid.isNull());
    const int rowHeight = w.mfgCTSres->verticalHeader()->defaultSectionSize();
    EXPECT_GE(grid.height(), 20 * rowHeight);
    EXPECT_EQ(grid.size(), expected.size());
    // The data column shows the results: text in the cd row, drawn as an enabled grid draws it.
    const QColor text = w.mfgCTSres->palette().color(QPalette::Active, QPalette::Text);
    const int top = grid.height() - 20 * rowHeight;  // below the frame and any header
    int inked = 0;
    for (int y = top + 16 * rowHeight + 2; y < top + 17 * rowHeight - 1; ++y)
        for (int x0 = grid.width() / 2; x0 < grid.width() - 2; ++x0) inked += grid.pixelColor(x0, y) == text;
    EXPECT_GT(inked, 10);
}

// A hand-edited data file whose texts hold a character the comment box or a label breaks a line
// at: every header text is one line in the window (comment box, labels, grids) and in the
// report, so no cell moves and Road stays in the comment box.
TEST_F(ReportWindow, EveryHeaderTextIsOneLineInTheWindowAndTheReport)
{
    const std::string run1 = report_test::slurp(TW_EXAMPLES "/run1.ctd");
    const auto replaceLine = [](std::string text, int line, const std::string& with) {
        std::size_t start = 0;
        for (int k = 1; k < line; ++k) start = text.find('\n', start) + 1;
        return text.replace(start, text.find('\r', start) - start, with);
    };
    struct Case {
        const char* name;
        std::string separator;
    };
    const Case cases[] = {{"CR", "\r"},
                          {"VT", "\x0B"},
                          {"FF", "\x0C"},
                          {"tab", "\t"},
                          {"NEL", "\xC2\x85"},
                          {"another C1 control", "\xC2\x9B"},
                          {"line separator U+2028", "\xE2\x80\xA8"},
                          {"paragraph separator U+2029", "\xE2\x80\xA9"},
                          {"U+FDD0", "\xEF\xB7\x90"},
                          {"U+FDD1", "\xEF\xB7\x91"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = replaceLine(run1, 1, "A4" + c.separator + "coast");
        text = replaceLine(text, 4, "A4" + c.separator + "Avant");
        text = replaceLine(text, 21, "Weat" + c.separator + "her");
        std::ofstream(dir.file("hostile.ctd"), std::ios::binary) << text;
        FrmTabchild x;
        ASSERT_TRUE(x.ctdOpenPath(path("hostile.ctd")));
        x.show();
        QApplication::processEvents();
        EXPECT_EQ(x.txtCTComments->document()->blockCount(), 3);
        EXPECT_EQ(x.txtCTComments->toPlainText().toStdString(),
                  "Car configuration : roof rails, no box\nWeather : Weat her\nRoad conditions : asphalt, dry");
        EXPECT_EQ(x.lblCTDescrLabel[0]->text().toStdString(), "A4 coast");
        EXPECT_EQ(x.mfgCTSres->textMatrix(1, 1).toStdString(), "A4 coast");
        EXPECT_EQ(x.mfgCTSdat->textMatrix(4, 1).toStdString(), "A4 Avant");
        EXPECT_EQ(x.mfgCTSdat->textMatrix(22, 1).toStdString(), "Weat her");

        x.cmdDLLNEW_Click();
        fakes.files.answer(path("hostile.xlsx"));
        x.cmdExcel->click();
        ASSERT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
        auto cells = xlsx_test::Workbook(dir.file("hostile.xlsx")).cells("Input data");
        EXPECT_EQ(cells["B2"].value, "A4 coast");
        EXPECT_EQ(cells["C5"].value, "Car configuration : roof rails, no box");
        EXPECT_EQ(cells["C6"].value, "Weather : Weat her");
        EXPECT_EQ(cells["C7"].value, "Road conditions : asphalt, dry");
        EXPECT_EQ(cells["C8"].value, "");
    }
}

TEST_F(ReportWindow, SeriesWithoutGroupsIsRefusedAndNothingHappens)
{
    ASSERT_TRUE(analysis::ctsOpen(w, example("series.cts")));
    w.cmdDLLNEW_Click();
    w.cmdExcel->click();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last().text, "Create mean value groups first!");
    EXPECT_EQ(fakes.messages.last().title, "Tarnwell Report Error");
    EXPECT_EQ(fakes.messages.last().icon, platform::Icon::Information);
    EXPECT_TRUE(fakes.files.requests.empty());
    EXPECT_TRUE(fakes.shell.opened.isEmpty());
    EXPECT_FALSE(w.data.reportWorkbook);
}

TEST_F(ReportWindow, ACancelledDialogWritesNothing)
{
    openGroupedSeries();
    fakes.files.cancel();
    w.cmdExcel->click();
    EXPECT_EQ(fakes.files.requests.size(), 1u);
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_TRUE(fakes.shell.opened.isEmpty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    expectIdle();
}

TEST_F(ReportWindow, AFailedWriteNamesFileAndReasonAndKeepsTheOldWorkbook)
{
    openGroupedSeries();
    const QString target = path("series.xlsx");
    std::ofstream(target.toStdString(), std::ios::binary) << "the last report";
    fakes.disk.failWritesAfter(1000, ENOSPC);
    report(target);

    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    const platform::Message& m = fakes.messages.last();
    EXPECT_EQ(m.title, "Tarnwell Report Error");
    EXPECT_EQ(m.icon, platform::Icon::Critical);
    EXPECT_NE(m.text.find(target.toStdString()), std::string::npos) << m.text;
    EXPECT_NE(m.text.find(std::strerror(ENOSPC)), std::string::npos) << m.text;
    EXPECT_EQ(report_test::slurp(target.toStdString()), "the last report");
    EXPECT_TRUE(fakes.shell.opened.isEmpty());
    EXPECT_FALSE(w.data.reportWorkbook);
    expectIdle();
}

// Whether the shell refuses at once or the opener fails after it started, the user learns
// that nothing opened the workbook and where it was saved.
TEST_F(ReportWindow, AWorkbookThatNothingOpensIsNamedWithTheFramesMessage)
{
    openGroupedSeries();
    const QString target = path("series.xlsx");
    const std::string expected = "No association for file extension \".xlsx\"\nThe workbook was saved as " +
                                 QDir::toNativeSeparators(target).toStdString() + "; open it from there with a spreadsheet program.";
    fakes.shell.result = 31;
    report(target);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last(), platform::plain(expected));
    EXPECT_TRUE(std::filesystem::exists(dir.file("series.xlsx")));

    fakes.messages.clear();
    ScriptedOpener opener("exit 3");  // xdg-open finding no spreadsheet program
    report(target);
    EXPECT_TRUE(fakes.messages.shown.empty());  // not yet: the opener runs beside the program
    ASSERT_TRUE(opener.waitUntilDone());
    EXPECT_EQ(opener.args(), target.toLocal8Bit() + "\n");
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last(), platform::plain(expected));
    expectIdle();
}

TEST_F(ReportWindow, ASecondReportMakesANewWorkbookWhereTheLastWent)
{
    openGroupedSeries();
    report(path("first.xlsx"));
    const auto first = w.data.reportWorkbook;
    report(path("second.xlsx"));
    EXPECT_NE(w.data.reportWorkbook, first);
    EXPECT_TRUE(fakes.files.requests.at(1).initialDir.isEmpty());  // the dialog's own last folder
    EXPECT_TRUE(std::filesystem::exists(dir.file("first.xlsx")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("second.xlsx")));
    EXPECT_EQ(fakes.shell.opened.size(), 2);
}

// A click that arrives while a report of the window runs starts no second one.
class ClickingAgain final : public platform::FileDialogService {
public:
    explicit ClickingAgain(FrmTabchild& w, QString answer) : w_(w), answer_(std::move(answer)) {}
    std::optional<QStringList> ask(const platform::FileDialogRequest&, QWidget*) override
    {
        ++asked;
        report::cmdExcel_Click(w_);
        return QStringList{answer_};
    }
    QString lastFolder(const QString&) const override { return {}; }
    QString lastFileName(const QString&) const override { return {}; }
    int asked = 0;

private:
    FrmTabchild& w_;
    QString answer_;
};

TEST_F(ReportWindow, OneReportOfAWindowAtATime)
{
    openGroupedSeries();
    ClickingAgain dialogs(w, path("once.xlsx"));
    platform::setFileDialogService(&dialogs);
    w.cmdExcel->click();
    platform::setFileDialogService(&fakes.files);
    EXPECT_EQ(dialogs.asked, 1);
    EXPECT_EQ(fakes.shell.opened.size(), 1);
}

TEST_F(ReportWindow, TheFadeBlendsThePictureInAsTheSliderFalls)
{
    report::ProgressDisplay display(w);
    const QImage source = w.picSrcExcel->pixmap().toImage();
    ASSERT_FALSE(source.isNull());
    for (int i = 0; i < 6; ++i) display.step();
    EXPECT_EQ(w.sldBlendExcel->value(), 39);
    EXPECT_EQ(w.pgrExcel->value(), 219);
    const QPoint at(source.width() / 2, source.height() / 2);
    const QColor src = source.pixelColor(at), dest = w.picDestExcel->pixmap().toImage().pixelColor(at);
    EXPECT_NEAR(dest.alpha(), 255 - 39, 1);  // the picture shows with alpha 216 over the page
    EXPECT_NEAR(dest.red(), src.red(), 2);
    EXPECT_NEAR(dest.blue(), src.blue(), 2);
    display.reset();
    EXPECT_EQ(w.picDestExcel->pixmap().toImage().pixelColor(at).alpha(), 0);
    EXPECT_EQ(w.pgrExcel->value(), 0);
    EXPECT_EQ(w.sldBlendExcel->value(), 255);
}

// A FIFO or a write-protected file, or a link to one, is refused before anything is written, as
// root too, and the report says so instead of "saved as"; so is a file of root's saved by an
// ordinary user, and root's save of a user's file keeps its owner, group and mode. Through a
// link, a chain of links or a dangling link the file the last link names is written and the
// links stay.
TEST_F(ReportWindow, ReportOntoSpecialFilesAndLinks)
{
    openGroupedSeries();
    const special_targets::Targets t(dir.path().string(), ".xlsx");
    for (const auto& [target, reason] : t.refused()) {
        fakes.messages.clear();
        report(QString::fromStdString(target));
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last().title, "Tarnwell Report Error");
        EXPECT_EQ(fakes.messages.last().text, "The report could not be written to " + target + ":\n" + reason);
        expectIdle();
    }
    t.expectSpecialFilesKept();
    EXPECT_TRUE(fakes.shell.opened.isEmpty());
    if (special_targets::OwnedTargets::available()) {
        // Root's file saved by an ordinary user in a folder of their own is refused; the user's
        // file saved by root stays the user's.
        const special_targets::OwnedTargets owned(dir.path().string(), ".xlsx");
        fakes.messages.clear();
        {
            AsOrdinaryUser user;
            report(QString::fromStdString(owned.roots));
        }
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last().text,
                  "The report could not be written to " + owned.roots + ":\n" + special_targets::OwnedTargets::kRefused);
        owned.expectRootsKept();
        expectIdle();
        fakes.messages.clear();
        report(QString::fromStdString(owned.users));
        EXPECT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
        owned.expectUsersReplaced();
        EXPECT_EQ(xlsx_test::Workbook(owned.users).sheetNames(), (std::vector<std::string>{"Input data", "Results"}));
    }
    for (const std::string* through : {&t.link, &t.chain, &t.dangling}) {
        fakes.messages.clear();
        report(QString::fromStdString(*through));
        EXPECT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
        const std::string& file = through == &t.dangling ? t.danglingTarget : t.linked;
        t.expectWrittenThrough(*through, file);
        EXPECT_EQ(xlsx_test::Workbook(file).sheetNames(), (std::vector<std::string>{"Input data", "Results"}));
    }
    special_targets::Targets::expectNoTemporary(dir.path().string());
}

}  // namespace
