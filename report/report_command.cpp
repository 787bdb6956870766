#include "report/report_command.h"

#include "analysis/browser_link.h"
#include "analysis/flex_grid.h"
#include "analysis/frm_tabchild.h"
#include "analysis/series/series_window.h"
#include "diagram/diagram_panel.h"
#include "platform/services.h"
#include "platform/workbook.h"
#include "report/core/report.h"
#include "report/progress_display.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <memory>
#include <set>

namespace report {

namespace {

using analysis::FrmTabchild;

constexpr const char* kErrorTitle = "Tarnwell Report Error";
constexpr int kLegendBoxes = 60;  // entries 0..59 can be listed

// Shown at 96 dots per inch the pictures keep their pixel size in the sheet.
constexpr int kDotsPerMeter = 3780;

std::string text(const QString& s) { return s.toStdString(); }

// The picture as PNG; with `outline` a thin black line around it, the frame the sheet gives
// the pasted pictures.
PictureData pictureData(QImage image, bool outline)
{
    if (image.isNull()) return {};
    image = image.convertToFormat(QImage::Format_RGB32);
    if (outline) {
        QPainter p(&image);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, image.width() - 1, image.height() - 1);
    }
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    return {bytes.toStdString(), image.width(), image.height()};
}

// The title picture file beside the program; nothing when it is missing or unreadable.
PictureData titlePicture()
{
    QImageReader reader(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("title-invert.jpg")));
    return pictureData(reader.read(), false);
}

Grid gridTexts(const analysis::FlexGrid& grid, int rows)
{
    Grid g(static_cast<std::size_t>(std::max(0, rows)));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < grid.cols(); ++c) g[static_cast<std::size_t>(r)].push_back(text(grid.textMatrix(r, c)));
    return g;
}

int treeNodes(const QTreeWidget& tree)
{
    int n = 0;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&tree)); *it; ++it) ++n;
    return n;
}

// The ticked legend entries, in index order. With none ticked the first box is ticked, which
// redraws the diagram with its curve, and it alone is listed.
std::vector<LegendLine> legendLines(FrmTabchild& w)
{
    auto listed = [&w] {
        std::vector<LegendLine> lines;
        for (int i = 0; i < kLegendBoxes; ++i) {
            const auto* box = w.framedia->chk(i);
            if (box && box->isChecked()) lines.push_back({text(box->text()), w.framedia->piclegend(i)->backColor()});
        }
        return lines;
    };
    std::vector<LegendLine> lines = listed();
    if (lines.empty() && w.framedia->chk(0)) {
        w.framedia->chk(0)->setChecked(true);
        lines = listed();
    }
    return lines;
}

}  // namespace

ReportInput reportInput(FrmTabchild& w)
{
    ReportInput in;
    const state::TabchildData& d = w.data;
    in.setCount = d.setCount;
    in.fixedCoeffOption = d.fixedCoeffOption;
    in.groupCount = d.groupCount;
    in.groupSizes = d.groupSizes;
    if (in.setCount > 1) in.averageGrid = gridTexts(*w.mfgAverageRes, w.mfgAverageRes->rows());
    in.lambdaText = text(w.cmbLambda->currentText());
    for (std::size_t i = 0; i < in.labels.size(); ++i) in.labels[i] = text(w.lblCTDescrLabel[i]->text());
    in.comments = text(w.txtCTComments->toPlainText());
    in.legend = legendLines(w);
    in.diagram = pictureData(w.editPicture(w.picdiagram()), true);
    if (in.setCount > 1) in.protocolGrid = gridTexts(*w.mfgCTSdat, std::min(24, w.mfgCTSdat->rows()));
    else in.resultGrid = pictureData(w.mfgCTSres->picture(), true);
    in.title = titlePicture();
    in.caption = text(w.windowTitle());
    return in;
}

namespace {

std::optional<QString> askWhere(FrmTabchild& w)
{
    platform::FileDialogRequest request;
    request.dialogName = QStringLiteral("cdlReport");
    request.kind = platform::FileDialogKind::Save;
    request.title = QStringLiteral("Save report as...");
    request.filter = QStringLiteral("Excel workbook (*.xlsx)|*.xlsx|");
    request.fileName = workbookFileName(QString::fromStdString(w.data.windowFileName));
    request.defaultSuffix = QStringLiteral("xlsx");
    // The first report goes beside the window's file; later ones where the last one went.
    if (platform::fileDialogs().lastFolder(request.dialogName).isEmpty())
        request.initialDir = QString::fromStdString(w.data.dataDirectory);
    const auto chosen = platform::fileDialogs().ask(request, analysis::browser::dialogParent(&w));
    if (!chosen || chosen->isEmpty() || chosen->first().isEmpty()) return std::nullopt;
    return chosen->first();
}

// The busy state of the frame for the life of the run, undone whatever way the run ends.
class Busy {
public:
    explicit Busy(FrmTabchild& w) : w_(w)
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        analysis::browser::setMainWindowEnabled(false);
        w_.cmdExcel->setEnabled(false);
    }
    ~Busy()
    {
        QApplication::restoreOverrideCursor();
        w_.cmdExcel->setEnabled(true);
        analysis::browser::setMainWindowEnabled(true);
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    FrmTabchild& w_;
};

}  // namespace

QString workbookFileName(const QString& windowFileName)
{
    const QFileInfo info(windowFileName);
    const QString base = info.completeBaseName().isEmpty() ? info.fileName() : info.completeBaseName();
    return (base.isEmpty() ? QStringLiteral("Report") : base) + QStringLiteral(".xlsx");
}

void cmdExcel_Click(FrmTabchild& w)
{
    // The button is there once a calculation enabled it. One report of a window at a time: a
    // click still pending when the run lets events through must not start a second one inside it.
    static std::set<const FrmTabchild*> running;
    if (!w.cmdExcel->isEnabled() || running.count(&w)) return;
    running.insert(&w);
    struct Done {
        const FrmTabchild* w;
        ~Done() { running.erase(w); }
    } done{&w};

    if (treeNodes(*w.trvAverageData) <= 1 && w.data.setCount != 1) {
        platform::showMessage(platform::information("Create mean value groups first!", kErrorTitle),
                              analysis::browser::dialogParent(&w));
        return;
    }
    if (w.cmdAverageShow->isEnabled()) {
        analysis::cmdAverageShow_Click(w);
    } else {
        w.data.groupCount = 1;
        w.data.groupSizes = {0, 1};
    }

    const std::optional<QString> path = askWhere(w);
    if (!path) return;

    platform::WriteResult written;
    {
        Busy busy(w);
        ProgressDisplay display(w);
        w.data.reportWorkbook.reset();
        const ReportInput input = reportInput(w);
        ReportBuild build = buildReport(input, [&display](int) { display.step(); });
        w.data.meanTableLines = build.meanTableLines;
        written = platform::writeXlsx(build.workbook, QFile::encodeName(*path).toStdString());
        if (written.ok) w.data.reportWorkbook = std::make_shared<std::string>(text(*path));
        display.reset();
    }

    if (!written.ok) {
        platform::showMessage(platform::critical("The report could not be written to " + text(QDir::toNativeSeparators(*path)) +
                                                                 ":\n" + written.error,
                                                         kErrorTitle),
                              analysis::browser::dialogParent(&w));
        return;
    }
    // The workbook is written whatever opens it; when nothing does, the user is told where it is.
    const std::string where = text(QDir::toNativeSeparators(*path));
    const auto notOpened = [where, parent = QPointer<QWidget>(analysis::browser::dialogParent(&w))](int code) {
        platform::showMessage(platform::plain(platform::openDocumentError(code, where) + "\nThe workbook was saved as " + where +
                                                                "; open it from there with a spreadsheet program."),
                              parent);
    };
    const int code = platform::openDocument(*path, notOpened);
    if (code <= 32) notOpened(code);
}

}  // namespace report
