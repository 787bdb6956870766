#include "app/parameter_editor.h"

#include "app/core/parameter_edit.h"
#include "app/dispatcher.h"
#include "app/frame.h"
#include "datafile/data_file.h"
#include "import/core/import_state.h"
#include "import/frmdatainput.h"
#include "import/import_commands.h"
#include "platform/services.h"
#include "platform/textfile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>

namespace app {
namespace {

using importer::state;

// What the edit command read, kept until saveEditor writes it back or the next edit.
struct EditorState {
    QString editorChosenFile;  // the data file chosen in cmbEditorFiles
    QString path;              // editorPath followed by editorChosenFile
    RawLines lines;            // the header lines as read; empty when no edit is pending
    std::string bytes;         // the file as read; its samples are kept here, not line by line
    std::size_t samplesAt = 0; // where the lines after the header begin in `bytes`
    platform::FileStamp stamp; // the file as it was when read
    Encoding encoding = Encoding::Windows1252;  // as the readers take the file
    bool dateRead = false;     // line 2 held a date the picker shows
    QDate shownDate;           // the picker's date when the form was shown
    bool saved = false;        // saveEditor wrote the file: the reload question follows
};

EditorState editor;

// Messages sit on the parameter form while it is on screen, else on the main window.
QWidget* owner()
{
    if (importer::dataInputFormLoaded() && importer::dataInputForm()->isVisible()) return importer::dataInputForm();
    return mainWindow();
}

platform::Answer say(platform::Message message) { return platform::showMessage(message, owner()); }

std::string utf8(const QString& text) { return text.toStdString(); }

std::string diskPath(const QString& path) { return QFile::encodeName(QDir::fromNativeSeparators(path)).toStdString(); }

void returnToIdle()
{
    editor.lines.clear();
    editor.lines.shrink_to_fit();
    editor.bytes.clear();
    editor.bytes.shrink_to_fit();
}

// The question of the form's Save after the file was handled, and the reload on Yes.
void offerReload()
{
    const char* title = "Changed parameters in datafile";
    if (say(platform::question("Do you want to reload the current file?", title, platform::Buttons::YesNo)) != platform::Answer::Yes) {
        say(platform::information("The calculation might be based on wrong data!", title));
        state.editingLoadedFile = false;
        return;
    }
    DataBrowser* browser = dataBrowser();
    const int n = browser->cmbEditorFiles->count();
    if (n == 0) {
        state.editingLoadedFile = false;
        return;
    }
    // A series of one data file is reopened as the series it is, not as a data file.
    const bool dataFileWindow = n == 1 && browser->editorFile == browser->cmbEditorFiles->itemText(0);
    const int kind = dataFileWindow ? 1 : 2;
    const QString reloadPath = browser->editorPath + browser->editorFile;
    MainWindow* main = mainWindow();
    const int edited = browser->lbleditExtratagTag;
    for (frame::AnalysisWindowApi* w : main->analysisWindows())
        if (w->windowNumber() == edited)
            if (QMdiSubWindow* sub = main->subWindowOf(w)) sub->close();
    openAnalysisWindow(kind, reloadPath);
    state.editingLoadedFile = false;
}

}  // namespace

void editParameters()
{
    DataBrowser* browser = dataBrowser();
    state.editingLoadedFile = true;
    importer::FrmDataInput* form = importer::dataInputForm(mainWindow());
    form->chbset->setEnabled(false);
    form->cmdback->setEnabled(false);

    editor = EditorState{};
    editor.editorChosenFile = browser->chosenFileOnDisk();
    // A series window: the chosen file is one of its data files, whose interval the series shares.
    if (browser->cmdEditTag != editor.editorChosenFile) form->txtdelta->setEnabled(false);
    editor.path = browser->editorPath + editor.editorChosenFile;

    std::string error;
    const std::string path = diskPath(editor.path);
    editor.stamp = platform::fileStamp(path);
    // The file may have changed since its window read it: what Open CTD refuses is not edited,
    // for the same reason. The rewrite keeps every line after the header, so the whole file is
    // read once the rule has passed it.
    if (!editor.editorChosenFile.isEmpty()) {
        const datafile::DataFileBytes checked = datafile::readDataFileBytes(path);
        error = checked.ok ? datafile::parseDataFile(checked.bytes, false).refusal : checked.reason;
    }
    if (editor.editorChosenFile.isEmpty() || !error.empty() || !platform::readFileBytes(path, editor.bytes, error)) {
        say(platform::critical(utf8(editor.editorChosenFile) + " - file can not be opened!\n" + error));
        state.editingLoadedFile = false;
        importer::unloadDataInputForm();
        return;
    }
    std::string_view rest = editor.bytes;
    while (editor.lines.size() < static_cast<std::size_t>(datafile::kHeaderLineCount) && !rest.empty())
        editor.lines.emplace_back(platform::takeLine(rest));
    editor.samplesAt = editor.bytes.size() - rest.size();
    editor.encoding = fileEncoding(editor.bytes);
    const EditorFields fields = editorFields(editor.lines, editor.encoding);
    form->setFields(fields.fields, fields.dateRead);
    editor.dateRead = fields.dateRead;
    editor.shownDate = form->DTPicker1->date();

    form->exec();
    if (editor.saved) offerReload();
}

void saveEditor()
{
    const std::string path = diskPath(editor.path);
    if (platform::isWriteProtected(path)) {
        // Nothing was written, so there is nothing to reload: the edit ends here.
        importer::unloadDataInputForm();
        returnToIdle();
        state.editingLoadedFile = false;
        say(platform::critical("The datafile is write protected, it can not be edited!\n" + utf8(QDir::toNativeSeparators(editor.path)),
                               "Editor-Error"));
        return;
    }
    if (platform::fileStamp(path) != editor.stamp &&
        say(platform::withButtons(platform::exclamation(utf8(editor.editorChosenFile) +
                                                            " has changed on disk since it was read for editing.\nDo you want to overwrite it?",
                                                        "Editor-Error"),
                                  platform::Buttons::YesNo, 2)) != platform::Answer::Yes)
        return;

    // A date the picker could not show stays as it was unless the user picked one.
    const bool keepDateLine = !editor.dateRead && importer::dataInputFormLoaded() &&
                              importer::dataInputForm()->DTPicker1->date() == editor.shownDate;
    const platform::WriteResult written =
        platform::writeFileAtomic(path, rewrittenDataFile(editor.lines, state.fileHeader, keepDateLine, editor.encoding,
                                                          std::string_view(editor.bytes).substr(editor.samplesAt)));
    if (!written.ok) {
        say(platform::critical(utf8(QDir::toNativeSeparators(editor.path)) + " - file can not be written!\n" + written.error,
                               "Editor-Error"));
        return;
    }
    importer::unloadDataInputForm();
    returnToIdle();
    editor.saved = true;
}

}  // namespace app
