// Tarnwell: the program's entry point.
#include "app/connect_commands.h"
#include "app/startup.h"

int main(int argc, char** argv)
{
    app::connectCommands();
    return runTarnwell(argc, argv);
}
