#include "app/core/carousel.h"

#include <cmath>

namespace app {

namespace {
constexpr double kPi = 3.1415927;  // the carousel's own constant
constexpr std::array<int, 3> kOffsets = {0, 2, 4};
}  // namespace

CarouselPoint Carousel::centre(int label) const
{
    const double phi = angle + 2 * kPi * (kOffsets[static_cast<size_t>(label)] / 6.0);
    CarouselPoint p;
    p.x = static_cast<float>((std::cos(phi) + centreX) * radiusX);
    p.y = static_cast<float>((std::sin(phi) + centreY) * radiusY);
    return p;
}

std::array<CarouselPoint, 3> Carousel::tick()
{
    angle = static_cast<float>(angle - 2 * kPi / 360);
    std::array<CarouselPoint, 3> points{centre(0), centre(1), centre(2)};
    if (angle < -32000) angle = 0;
    return points;
}

}  // namespace app
