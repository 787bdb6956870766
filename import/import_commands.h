#pragma once
// The commands of the data import and the series composition, and the forms other parts use.
#include <functional>

class QWidget;

// One import run: asks for a text file (unless the structure was just confirmed), reads it,
// evaluates it with the chosen structure and leads through both import dialogs.
void importAsciiData(QWidget* parent = nullptr);
// Picks data files, composes them in the series dialog, checks them and writes a series file.
void createSeriesFile(QWidget* parent = nullptr);
// The commands New CTD... and New CTS... as the frame calls them: each starts its run over the
// active window, unless an import run or a series composition is on screen already.
void startImport();
void startSeriesComposition();

namespace importer {

class FrmListview;
class FrmDataInput;

// The structure dialog; loaded (with its defaults) on first access.
FrmListview* listviewForm(QWidget* parent = nullptr);
bool listviewLoaded();
void unloadListview();

// The parameter form; loaded (with its defaults) on first access. The parameter editor fills
// its fields, disables `chbset` and `cmdback` and shows it with exec().
FrmDataInput* dataInputForm(QWidget* parent = nullptr);
bool dataInputFormLoaded();
void unloadDataInputForm();

// Writes the new data file from the import and the header; called by the form's Save.
void writeCtdFile();

// Save of the parameter form while it edits a loaded file (state.editingLoadedFile), run after
// all checks passed with state.fileHeader filled. The parameter editor sets it: it rewrites the
// file, unloads the form with unloadDataInputForm() and offers the reload.
inline std::function<void()> editSaveHook;

// True while an import run or a series composition is on screen; the commands refuse to start
// a second one meanwhile.
bool importBusy();

}  // namespace importer
