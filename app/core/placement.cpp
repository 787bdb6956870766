#include "app/core/placement.h"

#include "numbers/numbers.h"
#include "platform/twips.h"

#include <cmath>

namespace app {

namespace {
// Qt's largest widget size (16777215 pixels) in twips. A value beyond it is no geometry a window
// can take, and its pixels would overflow the sums that keep the window on the screen.
constexpr double kMaxTwips = 16777215.0 * platform::kTwipsPerPixel;
}  // namespace

Placement placementFromStored(const std::array<std::optional<std::string>, 4>& stored)
{
    Placement p;
    std::array<double*, 4> fields = {&p.left, &p.top, &p.width, &p.height};
    for (size_t i = 0; i < fields.size(); ++i) {
        if (!stored[i] || !numbers::isNumeric(*stored[i])) continue;
        const double v = numbers::leadingNumber(*stored[i]);
        if (!std::isfinite(v) || std::fabs(v) > kMaxTwips) continue;
        if (i >= 2 && v <= 0) continue;
        *fields[i] = v;
    }
    return p;
}

std::array<std::string, 4> placementToStored(const Placement& p)
{
    return {numbers::numberToText(p.left), numbers::numberToText(p.top), numbers::numberToText(p.width),
            numbers::numberToText(p.height)};
}

}  // namespace app
