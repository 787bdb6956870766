#include "diagram/core/scroll_model.h"

#include "numbers/numbers.h"

#include <climits>
#include <cmath>

namespace diagram {

bool ScrollModel::clampValue()
{
    const int old = value_;
    if (value_ < low()) value_ = low();
    if (value_ > high()) value_ = high();
    return value_ != old;
}

bool ScrollModel::setValue(int v)
{
    const int old = value_;
    value_ = v;
    clampValue();
    return value_ != old;
}

bool ScrollModel::setMin(int m)
{
    min_ = m;
    return clampValue();
}

bool ScrollModel::setMax(int m)
{
    max_ = m;
    return clampValue();
}

int roundToBar(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(numbers::roundHalfEven(v));
}

void scrbarsettings(NavBars& b, const View& view, const RecordExtent& e, bool zoomPending)
{
    const double fullWidth = 1.1 * e.lengthMs * kXUnitsPerMs;
    const double defaultTop = e.vmax * 1.1 * kYUnitsPerMps * 1.02;
    const double fullHeight = (e.vmax * 1.1 - e.vmin) * 1.2 * kYUnitsPerMps * 1.05;
    const int w = roundToBar(view.width * kXUnitsPerMs);
    const int l = roundToBar(view.left * kXUnitsPerMs);
    const int t = roundToBar(view.top * kYUnitsPerMps);
    const int h = roundToBar(view.height * kYUnitsPerMps);

    if (zoomPending) {
        b.left.setMax(INT_MAX);
        b.top.setMax(INT_MAX);
        b.top.setMin(INT_MIN);
    }
    b.width.setValue(w);
    b.left.setValue(l);
    b.left.setMax(roundToBar(fullWidth - b.width.value()));
    b.width.setValue(w);
    b.top.setValue(t);
    b.width.setMax(roundToBar(fullWidth));
    b.width.setValue(w);
    b.left.setMin(0);
    b.left.setMax(roundToBar(fullWidth - b.width.value()));
    b.top.setMin(roundToBar(defaultTop));
    b.height.setMax(roundToBar(fullHeight));
    b.height.setValue(h);
    b.top.setMax(roundToBar(defaultTop - b.height.max() + b.height.value()));
    // The positions once more within the final ranges: a value that an older range had clamped
    // shows the drawn view again wherever the new range holds it.
    b.left.setValue(l);
    b.top.setValue(t);
}

View viewFromBars(const NavBars& b)
{
    return fromUnits({static_cast<double>(b.left.value()), static_cast<double>(b.width.value()),
                      static_cast<double>(b.top.value()), static_cast<double>(b.height.value())});
}

}  // namespace diagram
