#include "app/connect_commands.h"

#include "analysis/frm_tabchild.h"
#include "app/commands.h"
#include "app/dispatcher.h"
#include "app/frame.h"
#include "app/graph_export.h"
#include "app/parameter_editor.h"
#include "import/import_commands.h"
#include "report/report_command.h"

namespace app {

void connectCommands()
{
    CommandHooks& hooks = commandHooks();
    hooks.openAnalysisWindow = [](int kind) { openAnalysisWindow(kind); };
    hooks.importAsciiData = startImport;
    hooks.createSeriesFile = startSeriesComposition;
    hooks.saveGraph = saveGraph;
    hooks.saveNotes = saveNotes;
    hooks.editParameters = editParameters;
    hooks.saveEditor = saveEditor;
    // Save of the parameter form while it edits a loaded file goes to the browser's saveEditor.
    importer::editSaveHook = [] { dataBrowser()->saveEditor(); };
    analysis::setReportCommand(report::cmdExcel_Click);
}

}  // namespace app
