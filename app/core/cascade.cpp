#include "app/core/cascade.h"

#include <algorithm>

namespace app {

std::vector<Rect> cascadeGeometry(const std::vector<Size>& sizes, Size standard, Size area, int step)
{
    const int areaWidth = std::max(1, area.width), areaHeight = std::max(1, area.height);
    const int leastWidth = std::clamp(standard.width, 1, areaWidth);
    const int leastHeight = std::clamp(standard.height, 1, areaHeight);
    step = std::max(0, step);
    std::vector<Rect> placed;
    placed.reserve(sizes.size());
    int offset = 0;
    for (const Size& s : sizes) {
        if (offset + leastWidth > areaWidth || offset + leastHeight > areaHeight) offset = 0;
        const int width = std::clamp(s.width, leastWidth, areaWidth - offset);
        const int height = std::clamp(s.height, leastHeight, areaHeight - offset);
        placed.push_back({offset, offset, width, height});
        offset += step;
    }
    return placed;
}

}  // namespace app
