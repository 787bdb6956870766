#pragma once
// View window, internal units, the default view of a record, the surface scale of a view and the
// overflow guard. Standard library only.
#include "platform/message.h"
#include "state/tabchild_data.h"

#include <optional>

namespace diagram {

// Internal units: x = ms * 0.5 (one unit is 2 ms), y = (m/s) * 500/3 (one unit is 0.006 m/s).
inline constexpr double kXUnitsPerMs = 0.5;
inline constexpr double kYUnitsPerMps = 166.66666666666666;

// View window: left and width in ms, top (upper edge) and height in m/s. Time 0 is the first
// drawn sample; the visible velocities run from top - height to top.
struct View {
    double left = 0;
    double width = 0;
    double top = 0;
    double height = 0;
    bool operator==(const View&) const = default;
};

// The same four numbers in internal units.
struct UnitView {
    double left = 0;
    double width = 0;
    double top = 0;
    double height = 0;
    bool operator==(const UnitView&) const = default;
};

UnitView toUnits(const View& v);
View fromUnits(const UnitView& u);

// Coordinate system of the drawing surface: left and top edge, width and height (negative height:
// y grows upward), in internal units.
struct Scale {
    double left = 0;
    double top = 0;
    double width = 1;
    double height = -1;
    bool operator==(const Scale&) const = default;
};

// What the default view and the scroll ranges are built from: record length L in ms and the
// maximum and minimum velocity of data set 1. Header velocities that are no numbers, or that
// would give an empty or inverted view, are replaced by the samples' own range; a record without
// length or range gets a minimum extent, so no scale divides by zero.
struct RecordExtent {
    double lengthMs = 0;  // sampleInterval * 1000 * sampleCount
    double vmax = 0;
    double vmin = 0;
};

// Smallest default view in internal units (both axes), used when the record gives less.
inline constexpr double kMinDefaultExtentUnits = 10.0;

RecordExtent recordExtent(const state::TabchildData& data);

// The default full view: left 0, width 1.1 L, top vmax * 1.1 * 1.02, height
// (vmax * 1.1 - vmin) * 1.2 * 1.05.
View defaultView(const RecordExtent& extent);
inline View defaultView(const state::TabchildData& data) { return defaultView(recordExtent(data)); }

// Overflow limits. The view must stay representable in the 32-bit values of the scroll bars,
// with headroom for the sums the navigation forms (range ends, pan offsets): stretched width and
// height in internal units, and the unstretched top (both signs).
inline constexpr double kMaxStretchedWidth = 2'250'000'000.0;   // 2e9 units unstretched (~1111 h)
inline constexpr double kMaxStretchedHeight = 1'000'000'000.0;
inline constexpr double kMaxAbsTop = 1'000'000'000.0;

struct ScaleResult {
    Scale scale;
    bool overflowNow = false;                 // the flag went from empty to set in this call
    std::optional<platform::Message> message; // "Overflow diagram border", once per window
};

// The surface scale of a view given in internal units, unstretched. `overflowed` is the window's
// flag before the call; the result tells whether this call sets it.
ScaleResult diascale(const UnitView& view, bool overflowed, double marginDivisor, double stretch);

// True when a stretched view breaks one of the limits (each test strictly greater).
bool exceedsLimits(double stretchedWidth, double stretchedHeight, double top);

// Inverse of diascale's placement: the view (internal units) that a surface scale shows.
UnitView viewFromScale(const Scale& scale, double marginDivisor, double stretch);

// The size of a picture in pixels.
struct PixelSize {
    int width = 0;
    int height = 0;
};

// Scale units to pixels of a picture and back; lengths keep the scale's sign.
struct PixelMapping {
    Scale scale;
    PixelSize picture;
    double x(double u) const { return (u - scale.left) * picture.width / scale.width; }
    double y(double u) const { return (u - scale.top) * picture.height / scale.height; }
    double unitsX(double px) const { return px * scale.width / picture.width; }
    double unitsY(double px) const { return px * scale.height / picture.height; }
    double scaleX(double px) const { return scale.left + unitsX(px); }
    double scaleY(double px) const { return scale.top + unitsY(px); }
};

// The overview's coordinate system for a record: its default view fills the right and the upper
// three quarters, a quarter of each is label margin.
Scale overviewScale(const RecordExtent& extent);

// The rectangle the overview shows for a view (internal units): never narrower than a hundredth
// of the overview's width nor lower than a twentieth of its height, so a small view stays visible,
// and moved inward where a side would fall on no pixel of the picture (a view at the record's end
// has its right side on the picture's right edge), so all four sides are seen.
UnitView overviewRectangle(UnitView view, const Scale& overview, PixelSize picture);

}  // namespace diagram
