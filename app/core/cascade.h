#pragma once
// Window > Cascade: the child windows overlap diagonally, each at a size it can be worked in.
// Standard library only.
#include "app/core/screen_fit.h"

#include <vector>

namespace app {

// The size a newly opened analysis window gets, in twips.
inline constexpr int kAnalysisWindowWidthTwips = 12000;
inline constexpr int kAnalysisWindowHeightTwips = 9690;

struct Size {
    int width = 0;
    int height = 0;
};

// Places windows from the back to the front of `sizes` (their sizes now) in an area of `area`
// pixels: window i sits `step` pixels right of and below window i - 1, and the next starts again
// at the top left corner when a window of the `standard` size (that of a newly opened window)
// would not fit there. Each window keeps its size, but is at least of the standard size and
// ends inside the area; where the area is smaller than the standard size, the area's size.
std::vector<Rect> cascadeGeometry(const std::vector<Size>& sizes, Size standard, Size area, int step);

}  // namespace app
