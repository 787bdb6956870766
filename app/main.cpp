// Tarnwell: the program's entry point. Each subsystem hooks its commands into the frame before
// the main window exists.
#include "app/dispatcher.h"
#include "app/startup.h"
#include "import/import_commands.h"

int main(int argc, char** argv)
{
    registerImportCommands();
    app::registerAnalysisCommands();
    return runTarnwell(argc, argv);
}
