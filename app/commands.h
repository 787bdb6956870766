#pragma once
// The one place where the main window's and the data browser's commands reach the subsystems
// that carry them out. Each subsystem fills in its entries at start-up; an empty entry does nothing.
#include <functional>

namespace app {

struct CommandHooks {
    std::function<void(int kind)> openAnalysisWindow;  // 1 = data file (.ctd), 2 = series (.cts)
    std::function<void()> importAsciiData;             // New CTD...
    std::function<void()> createSeriesFile;            // New CTS...
    std::function<void()> saveGraph;                   // Save graph as picture...
    std::function<bool()> saveNotes;                   // Save notepad as...; true when written
    std::function<void()> editParameters;              // the data browser's Edit
    std::function<void()> saveEditor;                  // the data browser's saveEditor
};

CommandHooks& commandHooks();

}  // namespace app
