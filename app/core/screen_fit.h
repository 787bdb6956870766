#pragma once
// Keeps a restored window reachable: a position outside every screen is moved onto the first
// (primary) screen, its whole frame on it. Standard library only.
#include <vector>

namespace app {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

// The window manager's frame around a window's client area; all 0 while it is not known.
struct Margins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// `window` is placed as a window is moved and resized: the frame's top left corner and the
// client area's size. `screens` are the screens' available areas, the primary first. A window
// whose title strip shows at least partly on a screen stays where it is; otherwise it moves onto
// the primary screen, as near to its stored position as fits, with its frame whole on the
// screen (a window larger than the screen is made as large as the screen takes).
Rect keepOnScreen(const Rect& window, const std::vector<Rect>& screens, const Margins& frame = {});

}  // namespace app
