#pragma once
// Window > Cascade and the two tilings, and the shift of the child windows when the data browser
// is hidden or shown. Only the children of the MDI area move here; the check mark of View >
// Databrowser and the commands it switches are the main window's.
#include <Qt>

class QMdiArea;
class QMdiSubWindow;

namespace app {

// The windows that are not minimised overlap diagonally from the back to the front, each one a
// title bar's height further; none is smaller than a newly opened window (QMdiArea's own cascade
// shrinks them to their size hints). Returns the window in front; nullptr when none was moved.
QMdiSubWindow* cascadeSubWindows(QMdiArea* area);

// The visible windows that are not minimised, in load order: side by side (horizontal), each as
// tall as the area, or one above another (vertical), each as wide as the area. Returns the one
// of them in front (the uppermost); nullptr when none was moved.
QMdiSubWindow* tileSubWindows(QMdiArea* area, Qt::Orientation orientation);

// Moves every child in the normal state (neither minimised nor maximised) but `browser` by `dx`
// pixels to the right.
void shiftNormalSubWindows(QMdiArea* area, const QMdiSubWindow* browser, int dx);

}  // namespace app
