#pragma once
// The main window's placement between runs, in the settings store: read when the window loads,
// written when it closes.
class QWidget;

namespace app {

// Places `window` where the settings store says (each missing or unusable key its default),
// kept reachable on a screen; once the window is first exposed and its frame is known, fitted
// again with the frame counted.
void loadPlacement(QWidget* window);

// Stores the placement of `window`; a minimised window stores nothing.
void savePlacement(const QWidget* window);

}  // namespace app
