#pragma once
// Start of the program: the application object, the splash, the main window, the event loop.

int runTarnwell(int argc, char** argv);
