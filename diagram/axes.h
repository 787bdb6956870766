#pragma once
// The frame of the velocity diagram: axes, ticks, labels, titles and the optional dotted grid,
// drawn from the surface's scale alone.
#include "diagram/core/labels.h"
#include "diagram/surface.h"

#include <QColor>

namespace diagram {

struct AxesStyle {
    QColor scale{0, 0, 0};  // axes, ticks, labels; the grid too unless this is black
    bool grid = false;
    double marginDivisor = 9;
};

void drawaxes(DrawingSurface& s, const AxesStyle& style);

// The surface's font as the label placement measures it, and the placed texts printed.
TextMeasure textMeasure(const DrawingSurface& s);
void printTexts(DrawingSurface& s, const FrameTexts& texts);

}  // namespace diagram
