#include "app/core/screen_fit.h"

#include <algorithm>

namespace app {

namespace {

// Enough of the title strip to grab the window with the mouse.
constexpr int kStripHeight = 24;
constexpr int kGrabWidth = 48;

bool stripVisible(const Rect& w, const Rect& s)
{
    const int left = std::max(w.x, s.x);
    const int right = std::min(w.x + w.width, s.x + s.width);
    const int top = std::max(w.y, s.y);
    const int bottom = std::min(w.y + kStripHeight, s.y + s.height);
    return right - left >= std::min(kGrabWidth, w.width) && bottom > top && w.y >= s.y;
}

}  // namespace

Rect keepOnScreen(const Rect& window, const std::vector<Rect>& screens)
{
    if (screens.empty()) return window;
    for (const Rect& s : screens)
        if (stripVisible(window, s)) return window;
    const Rect& p = screens.front();
    Rect r = window;
    r.x = std::clamp(window.x, p.x, std::max(p.x, p.x + p.width - window.width));
    r.y = std::clamp(window.y, p.y, std::max(p.y, p.y + p.height - window.height));
    return r;
}

}  // namespace app
