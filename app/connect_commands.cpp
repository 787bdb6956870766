#include "app/connect_commands.h"

#include "app/commands.h"
#include "app/dispatcher.h"
#include "import/import_commands.h"

namespace app {

void connectCommands()
{
    CommandHooks& hooks = commandHooks();
    hooks.openAnalysisWindow = [](int kind) { openAnalysisWindow(kind); };
    hooks.importAsciiData = startImport;
    hooks.createSeriesFile = startSeriesComposition;
}

}  // namespace app
