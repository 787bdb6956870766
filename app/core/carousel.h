#pragma once
// The About box's name carousel: three labels circling on a flat ellipse, one degree per tick.
// Standard library only.
#include <array>

namespace app {

struct CarouselPoint {
    float x = 0;
    float y = 0;
};

class Carousel {
public:
    float angle = 0;  // radians, falls by one degree per tick
    float centreX = 0;
    float centreY = 0;
    float radiusX = 0.92f;
    float radiusY = 0.18f;

    // One timer tick: lowers the angle, returns the centres of the three labels (offsets 0,
    // 2 and 4 sixths of a turn), and restarts the angle once it has fallen below -32000.
    std::array<CarouselPoint, 3> tick();
    // Centre of label k (0, 1, 2) at the current angle.
    CarouselPoint centre(int label) const;
};

}  // namespace app
