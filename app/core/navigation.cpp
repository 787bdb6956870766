#include "app/core/navigation.h"

#include "numbers/numbers.h"

namespace app {

int navigationStep(Arrow arrow, int position, int size, int min, int max)
{
    const bool vertical = arrow == Arrow::Up || arrow == Arrow::Down;
    const double sign = (arrow == Arrow::Up || arrow == Arrow::Right) ? 1.0 : -1.0;
    // Computed in double, kept as a single-precision number as the scroll bar's caller does.
    const float next = static_cast<float>(position + sign * size / 10.0);
    if (vertical) {
        if (next > min) return min;
        if (next < max) return max;
    } else {
        if (next > max) return max;
        if (next < min) return min;
    }
    return static_cast<int>(numbers::roundHalfEven(next));
}

}  // namespace app
