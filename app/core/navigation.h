#pragma once
// The data browser's arrow navigation: one step moves the view by a tenth of its size and is
// clamped to the scroll bar's bounds. Standard library only.

namespace app {

enum class Arrow { Up, Down, Left, Right };

// New Value of the position bar (scrtop for Up/Down, scrleft for Left/Right) after one step
// from `position` with view size `size`; `min` and `max` are the bar's bounds as it reports
// them (for scrtop Min is the larger number).
int navigationStep(Arrow arrow, int position, int size, int min, int max);

}  // namespace app
