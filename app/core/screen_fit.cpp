#include "app/core/screen_fit.h"

#include <algorithm>

namespace app {

namespace {

// Enough of the title strip to grab the window with the mouse; the strip a frame not yet known
// is taken to have.
constexpr int kStripHeight = 24;
constexpr int kGrabWidth = 48;

// `outer` is the whole frame, `strip` the height of its title strip.
bool stripVisible(const Rect& outer, int strip, const Rect& s)
{
    const int left = std::max(outer.x, s.x);
    const int right = std::min(outer.x + outer.width, s.x + s.width);
    const int top = std::max(outer.y, s.y);
    const int bottom = std::min(outer.y + strip, s.y + s.height);
    return right - left >= std::min(kGrabWidth, outer.width) && bottom > top && outer.y >= s.y;
}

}  // namespace

Rect keepOnScreen(const Rect& window, const std::vector<Rect>& screens, const Margins& frame)
{
    if (screens.empty()) return window;
    const int extraWidth = frame.left + frame.right;
    const int extraHeight = frame.top + frame.bottom;
    const Rect outer{window.x, window.y, window.width + extraWidth, window.height + extraHeight};
    const int strip = frame.top > 0 ? frame.top : kStripHeight;
    for (const Rect& s : screens)
        if (stripVisible(outer, strip, s)) return window;
    const Rect& p = screens.front();
    Rect r = window;
    r.width = std::max(1, std::min(window.width, p.width - extraWidth));
    r.height = std::max(1, std::min(window.height, p.height - extraHeight));
    r.x = std::clamp(window.x, p.x, std::max(p.x, p.x + p.width - (r.width + extraWidth)));
    r.y = std::clamp(window.y, p.y, std::max(p.y, p.y + p.height - (r.height + extraHeight)));
    return r;
}

}  // namespace app
