#pragma once
// Fills the frame's command hooks with the subsystems' commands (the program does it once,
// before the main window exists). Hooks no subsystem carries yet stay empty and do nothing.
namespace app {

void connectCommands();

}  // namespace app
