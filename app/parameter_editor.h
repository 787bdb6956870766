#pragma once
// Parameter editing of a loaded data file: the data browser's Edit fills the parameter form from
// the chosen data file, saveEditor writes the form's header lines back into it, and on request
// the edited analysis window is closed and its file opened again through the open dispatcher.

namespace app {

// The data browser's Edit, once it has copied editorPath and editorFile from its tags.
void editParameters();
// Rewrites the edited file from the form's header lines (importer::state.fileHeader). On
// success, and when the file is write protected, the form is unloaded and the edit goes on to
// the reload question; when the write fails or the user keeps a file that changed on disk, the
// form stays open with its fields.
void saveEditor();

}  // namespace app
