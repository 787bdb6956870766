#pragma once
// Keeps a restored window reachable: a position outside every screen is moved onto the first
// (primary) screen. Standard library only.
#include <vector>

namespace app {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

// `screens` are the screens' available areas, the primary first. A window whose title strip
// shows at least partly on a screen stays where it is; otherwise it moves onto the primary
// screen, as near to its stored position as fits.
Rect keepOnScreen(const Rect& window, const std::vector<Rect>& screens);

}  // namespace app
