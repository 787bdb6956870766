#include "app/commands.h"
#include "import/core/import_state.h"
#include "import/import_commands.h"

#include <QApplication>

void registerImportCommands()
{
    app::CommandHooks& hooks = app::commandHooks();
    hooks.importAsciiData = [] {
        if (importer::importBusy()) return;
        importer::state.structureConfirmed = false;
        importAsciiData(QApplication::activeWindow());
    };
    hooks.createSeriesFile = [] {
        if (importer::importBusy()) return;
        createSeriesFile(QApplication::activeWindow());
    };
}
