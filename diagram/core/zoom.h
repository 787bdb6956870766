#pragma once
// Zooming and panning on the navigation bars: the single-axis steps behind "Zoom in" and "Zoom
// out", the view a dragged rubber band gives and a pan position. Standard library only.
#include "diagram/core/scroll_model.h"
#include "diagram/core/view.h"

#include <optional>

namespace diagram {

// Halve or double the width or the height of the view about its centre (cmdplus, cmdminus,
// cmdplusvertical, cmdminusvertical).
enum class ZoomStep { HalveWidth, DoubleWidth, HalveHeight, DoubleHeight };

// Runs one step: the bars get the values the step writes (through scrbarsettings), and the
// result is the view the step then redraws (ms, m/s).
View zoomStep(ZoomStep step, NavBars& bars, const RecordExtent& extent);

// "Zoom in" stops once width and height are both below 9 units.
bool atSmallestView(const NavBars& bars);
// "Zoom out" stops once width and height are both less than a unit from the default view.
bool atFullExtent(const NavBars& bars, const RecordExtent& extent);

// Mouse positions in internal units, as the press and the release report them.
struct RubberBand {
    double startX = 0, startY = 0;  // the press, rounded down to whole units
    double endX = 0, endY = 0;      // the release, rounded down to whole units
};

struct RubberZoom {
    View view;                // ms, m/s
    bool zoomOutUseful = false;  // the new view is narrower or lower than the default view
};

// The view a rubber band drawn to the right and downwards gives on a picture with the given
// scale: clipped to the picture's right edge, to the view's lower edge and to velocity 0, and
// started at time 0 at the earliest. None for a band too small (a click) or drawn the other way.
std::optional<RubberZoom> rubberBandZoom(RubberBand band, const Scale& scale, double marginDivisor,
                                         const NavBars& bars);

// A pan step: the bar position that keeps the point pressed at `start` under the pointer now at
// `pointer`, within the bar's range. The vertical bar runs from its Min at the top down to Max.
int panPosition(const ScrollModel& bar, double pointer, double start, bool vertical);

}  // namespace diagram
