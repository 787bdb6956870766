#pragma once
// Window geometry is given in twips, 15 to a pixel. Standard library only, so cores use it too.
#include <climits>

namespace platform {

constexpr int kTwipsPerPixel = 15;

// A rectangle given in twips: left, top, width, height.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Twips to whole pixels, to the nearest pixel (halves away from zero): the one conversion every
// window uses. Values beyond the range of int stop at its ends; a value that is no number gives 0.
constexpr int px(double twips)
{
    const double p = twips / kTwipsPerPixel;
    if (!(p > INT_MIN && p < INT_MAX)) return p > 0 ? INT_MAX : (p < 0 ? INT_MIN : 0);
    return static_cast<int>(p < 0 ? p - 0.5 : p + 0.5);
}

}  // namespace platform
