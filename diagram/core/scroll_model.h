#pragma once
// Scroll-bar values as the navigation sees them: value, Min and Max, where Min may lie above Max
// (the vertical position bar runs from its larger Min at the top down to Max). Standard library
// only.
#include "diagram/core/view.h"

namespace diagram {

class ScrollModel {
public:
    ScrollModel() = default;
    ScrollModel(int min, int max, int value) : min_(min), max_(max), value_(value) { clampValue(); }
    int value() const { return value_; }
    int min() const { return min_; }
    int max() const { return max_; }
    int low() const { return min_ < max_ ? min_ : max_; }
    int high() const { return min_ < max_ ? max_ : min_; }
    // Each returns true when the value changed. A value outside the range is clamped into it; a
    // range change that leaves the value outside moves it to the nearer end.
    bool setValue(int v);
    bool setMin(int m);
    bool setMax(int m);

private:
    bool clampValue();
    int min_ = 0;
    int max_ = 0;
    int value_ = 0;
};

// Rounds to the nearest integer, halves to even, saturated to the 32-bit range (NaN gives 0).
int roundToBar(double v);

struct NavBars {
    ScrollModel left{0, 32000, 0};
    ScrollModel width{2, 32000, 100};
    ScrollModel top{1, 32000, 15000};
    ScrollModel height{2, 32000, 200};
};

// Writes the drawn view (ms, m/s) into the bars and fits their ranges to the default view of the
// record. `zoomPending` opens the position ranges first.
void scrbarsettings(NavBars& bars, const View& view, const RecordExtent& extent, bool zoomPending);

// The view the bars show (ms, m/s).
View viewFromBars(const NavBars& bars);

}  // namespace diagram
