#include "import/import_commands.h"

#include "import/core/ctd_writer.h"
#include "import/core/import_state.h"
#include "import/core/series.h"
#include "import/core/text_import.h"
#include "import/frmctsinput.h"
#include "import/frmdatainput.h"
#include "import/frmlistview.h"
#include "numbers/numbers.h"
#include "platform/open_request.h"
#include "platform/services.h"
#include "platform/textfile.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

namespace importer {
namespace {

// A form that lives once per program: loaded (with its defaults) on first access, wired to the
// commands when it is made. Unloading marks it so and closes it; the next access puts it back to
// its defaults instead of making a new one, so no handler ever runs on a deleted dialog.
template <class Form>
class LazyForm {
public:
    explicit LazyForm(void (*wire)(Form*)) : wire_(wire) {}

    Form* get(QWidget* parent)
    {
        if (!form_) {
            form_ = new Form(parent);
            wire_(form_);
        } else if (!loaded_) {
            form_->load();
        }
        loaded_ = true;
        return form_;
    }
    // The form while it is loaded, else nullptr.
    Form* loaded() const { return loaded_ ? form_.data() : nullptr; }
    void unload()
    {
        Form* form = loaded();
        if (!form) return;
        loaded_ = false;
        if (form->isVisible()) form->done(QDialog::Rejected);
    }

private:
    QPointer<Form> form_;
    bool loaded_ = false;
    void (*wire_)(Form*);
};

QString gTextInputFileName;  // the file name of the text-import dialog

void wireListview(FrmListview* lv)
{
    QObject::connect(lv, &FrmListview::importRequested, lv, [lv] { importAsciiData(lv->parentWidget()); });
    lv->editFile = [lv] {
        const int code = platform::openDocument(gTextInputFileName);
        if (code > 32) return true;
        platform::showMessage(platform::critical(platform::openDocumentErrorText(code, gTextInputFileName.toStdString())), lv);
        return false;
    };
    QObject::connect(lv, &FrmListview::cancelled, lv, [] {
        unloadListview();
        unloadDataInputForm();
    });
}

void wireDataInput(FrmDataInput* form)
{
    QObject::connect(form, &FrmDataInput::saveRequested, form, [form] {
        if (state.editingLoadedFile) {
            if (editSaveHook) editSaveHook();
            return;
        }
        // A time column that disagrees with the sample rate entered is said before anything
        // is written; No goes back to the form.
        const std::string interval = state.fileHeader[datafile::entry(datafile::kSampleInterval)];
        const TimeSteps steps = timeSteps(state.importLines, state.importLineCount, state.headerRows, state.timeColumn,
                                          state.separatorCode, numbers::leadingNumber(interval));
        if (const auto question = timeColumnQuestion(steps, interval))
            if (platform::showMessage(*question, form) != platform::Answer::Yes) return;
        unloadListview();
        writeCtdFile();
    });
    QObject::connect(form, &FrmDataInput::cancelled, form, [] {
        unloadListview();
        unloadDataInputForm();
    });
}

LazyForm<FrmListview> gListview(wireListview);
LazyForm<FrmDataInput> gDataInput(wireDataInput);

bool gImportRunning = false;
bool gSeriesRunning = false;

std::string utf8(const QString& s) { return s.toStdString(); }

platform::Message critical(const std::string& text, const char* title)
{
    return platform::critical(text, title);
}

// Shows the structure dialog and, by Next and Back, the parameter form, until one of them is
// saved or cancelled. The dialogs take turns here instead of nesting one inside the other.
void runImportDialogs(QWidget* parent)
{
    gImportRunning = true;
    while (FrmListview* lv = gListview.loaded()) {
        if (lv->exec() != FrmListview::Next) break;
        FrmDataInput* form = dataInputForm(parent);
        form->cmdback->setEnabled(true);
        if (form->exec() != FrmDataInput::Back) break;
    }
    gImportRunning = false;
}

}  // namespace

FrmListview* listviewForm(QWidget* parent) { return gListview.get(parent); }
bool listviewLoaded() { return gListview.loaded(); }
void unloadListview() { gListview.unload(); }

FrmDataInput* dataInputForm(QWidget* parent) { return gDataInput.get(parent); }
bool dataInputFormLoaded() { return gDataInput.loaded(); }
void unloadDataInputForm() { gDataInput.unload(); }

bool importBusy() { return gImportRunning || gSeriesRunning; }

void writeCtdFile()
{
    FrmDataInput* form = dataInputForm();
    platform::FileDialogRequest r;
    r.dialogName = QStringLiteral("dlgCreatectd");
    r.kind = platform::FileDialogKind::Save;
    r.title = QStringLiteral("Save CTD-file");
    r.filter = QStringLiteral("TarnwellData(*.ctd)|*.ctd");
    r.fileName = QString::fromStdString(state.fileHeader[0]);
    r.defaultSuffix = QStringLiteral("ctd");  // so that the open dialogs list the file
    r.initialDir = QDir::currentPath();
    const std::optional<QStringList> chosen = platform::fileDialogs().ask(r, form);
    if (!chosen || chosen->isEmpty()) {
        form->cmdback->setEnabled(false);  // import step 1 is already closed
        return;
    }
    const QString path = chosen->front();
    const std::string bytes = platform::encodeForReaders(ctdFileText(state.fileHeader, state));
    const platform::WriteResult written = platform::writeFileAtomic(utf8(path), bytes);
    if (!written.ok) {
        // Nothing is lost: the old file stays, the form and the import data stay for another try.
        platform::showMessage(critical(utf8(path) + " - file can not be written!\n" + written.error, "CTD-Error"), form);
        form->cmdback->setEnabled(false);
        return;
    }
    if (form->chbset->isChecked()) form->done(QDialog::Accepted);
    else {
        unloadDataInputForm();
        form->done(QDialog::Accepted);
    }
    state.importLineCount = 0;
    state.importLines = ImportLines{""};
}

}  // namespace importer

using namespace importer;

void importAsciiData(QWidget* parent)
{
    state.minVelocity = 1000.0;
    state.maxVelocity = 0.0;
    state.minVelocityRow = 0;
    state.maxVelocityRow = 1000;
    state.dataListValid = false;
    state.importLineCount = 0;

    if (!state.structureConfirmed) {
        platform::FileDialogRequest r;
        r.dialogName = QStringLiteral("cdltxtinput");
        r.kind = platform::FileDialogKind::Open;
        r.title = QStringLiteral("Open Ascii-file");
        r.filter = QStringLiteral("Textfile(*.txt)|*.txt|All files(*.*)|*.*");
        r.initialDir = QDir::currentPath();
        gTextInputFileName.clear();
        FrmListview* shown = gListview.loaded();
        const std::optional<QStringList> chosen = platform::fileDialogs().ask(r, shown ? shown : parent);
        if (!chosen || chosen->isEmpty()) return;
        gTextInputFileName = chosen->front();
    }

    // The lines read before go first, so that two files are never held at once.
    state.importLines = ImportLines{""};
    if (FrmListview* shown = gListview.loaded()) shown->showLines({});
    std::string text, error = "No file was chosen.";
    if (gTextInputFileName.isEmpty() || !platform::readText(utf8(gTextInputFileName), text, error)) {
        const std::string name = gTextInputFileName.isEmpty() ? std::string("(no file)") : utf8(gTextInputFileName);
        FrmListview* shown = gListview.loaded();
        platform::showMessage(critical(name + " - file can not be opened!\n" + error, "Warning"), shown ? shown : parent);
        if (shown) shown->returnToChoosing();
        else state.structureConfirmed = false;
        return;
    }

    FrmListview* lv = listviewForm(parent);
    state.importLines = nonEmptyLines(std::move(text));
    state.importLineCount = static_cast<std::int32_t>(state.importLines.size());
    lv->showLines(state.importLines);  // the lines as read, whatever the decimal comma does to them
    if (state.importLines.empty()) state.importLines = ImportLines{""};
    const ImportLines asRead = state.importLines;  // shares the text until the comma rewrites it
    lv->select(lv->cmb2, 0);

    if (state.structureConfirmed) {
        if (lv->cmb6->currentText() == QStringLiteral("Comma")) applyDecimalComma(state.importLines, state.importLineCount, state.headerRows);
        const int layout = lv->cmb3->currentIndex();
        const ImportStatistics s = importStatistics(state.importLines, state.importLineCount, state.headerRows, layout,
                                                    state.separatorCode);
        keepStatistics(s, state);
        lv->numbersInRange = s.allFinite;
        // What was read, also for a list that is refused: the count, and each extreme found.
        const auto text = [](const std::string& t) { return QString::fromStdString(t); };
        lv->clearResult();
        lv->lblCount->setText(text(numbers::integerToText(std::max(0, state.importLineCount - state.headerRows))));
        if (state.maxVelocity > 0) {
            lv->lblMax->setText(text(resultNumber(state.maxVelocity)));
            lv->lblmaxwhere->setText(text(numbers::integerToText(state.maxVelocityRow)));
        }
        if (state.minVelocityRow > 0) {
            lv->lblMin->setText(text(resultNumber(state.minVelocity)));
            lv->lblminwhere->setText(text(numbers::integerToText(state.minVelocityRow)));
        }
        lv->checkDataList(dataListPlausible(s) ? std::string()
                                               : dataListRefusal(state.importLines, asRead, state.importLineCount,
                                                                 state.headerRows, layout, state.separatorCode, s));
    }
    lv->txtpath->setText(gTextInputFileName);

    if (!state.structureConfirmed) {
        if (lv->isVisible()) return;  // Different file / Reload file of the open dialog
        runImportDialogs(parent);
    }
}

void createSeriesFile(QWidget* parent)
{
    struct Running {
        Running() { gSeriesRunning = true; }
        ~Running() { gSeriesRunning = false; }
    } running;
    QWidget* mainWindow = parent ? parent->window() : QApplication::activeWindow();

    const std::optional<QStringList> picked =
        platform::fileDialogs().ask(platform::openRequest(platform::OpenFiles::SeriesDataFiles), parent);
    if (!picked) return;
    if (picked->isEmpty()) {
        platform::showMessage(critical("Too many CTD-files chosen at the time, please take less and try again.", "CTS-Error"), parent);
        return;
    }
    const QString folder = QFileInfo(picked->front()).absolutePath();

    QStringList names;
    for (int i = 0; i < picked->size() && i < 30; ++i) names << QFileInfo(picked->at(i)).fileName();
    QString comment;
    SeriesRequest request;
    request.folder = utf8(folder);
    // The composition dialog, with the list and the comment as the user left them.
    const auto compose = [&]() {
        FrmCTSinput dialog(parent);
        dialog.lstCTDtoCTS->addItems(names);
        dialog.txtCTSdir->setText(QDir::toNativeSeparators(folder));
        dialog.txtCTSComments->setPlainText(comment);
        if (dialog.lstCTDtoCTS->count() == 1) dialog.cmdCTSok->setEnabled(false);
        dialog.exec();
        if (!dialog.okPressed) return false;
        names = dialog.names();
        comment = dialog.txtCTSComments->toPlainText();
        request.names.clear();
        for (const QString& n : names) request.names.push_back(utf8(n));
        request.comment = utf8(comment);
        return true;
    };

    SeriesHooks hooks;
    hooks.checking = [mainWindow](bool running) {
        if (mainWindow) mainWindow->setEnabled(!running);
    };
    hooks.target = [&folder, parent]() -> std::optional<std::string> {
        platform::FileDialogRequest save;
        save.dialogName = QStringLiteral("cdlDataimport");
        save.kind = platform::FileDialogKind::Save;
        save.title = QStringLiteral("Save series as...");
        save.filter = QStringLiteral("TarnwellSeries(*.cts)|*.cts|");
        save.defaultSuffix = QStringLiteral("cts");
        save.initialDir = folder;
        const std::optional<QStringList> target = platform::fileDialogs().ask(save, parent);
        if (!target || target->isEmpty()) return std::nullopt;
        return utf8(target->front());
    };
    // A refused save keeps the list and the comment: the save dialog comes back after the message.
    hooks.refused = [parent](const platform::Message& m) { platform::showMessage(m, parent); };
    // A refused series (a file that can not be read, runs that do not fit together) keeps what
    // was put together too: after the message the composition dialog comes back with it.
    while (compose()) {
        const ComposedSeries composed = composeSeries(request, dataFilesIn(request.folder), hooks);
        if (!composed.message) return;
        platform::showMessage(*composed.message, parent);
    }
}

void startImport()
{
    if (importer::importBusy()) return;
    importer::state.structureConfirmed = false;
    importAsciiData(QApplication::activeWindow());
}

void startSeriesComposition()
{
    if (importer::importBusy()) return;
    createSeriesFile(QApplication::activeWindow());
}
