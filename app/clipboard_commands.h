#pragma once
// Edit > Cut, Copy and Paste on the focused control of the active child window, or on the
// nearest ancestor of it that carries a tag. The tag chooses: a "Text" field gives and takes
// text; a "Table" or "Picture" control gives Copy a bitmap and takes no part in Cut and Paste.
// Without an active child or a tagged control nothing happens.
class QMdiArea;

namespace app {

void copyFromFocusedControl(QMdiArea* area);
void cutFromFocusedControl(QMdiArea* area);
void pasteIntoFocusedControl(QMdiArea* area);

}  // namespace app
