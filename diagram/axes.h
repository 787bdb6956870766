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

// Draws the frame of the surface's scale laid out by `layoutAxes`.
void drawaxes(DrawingSurface& s, const AxesStyle& style, const AxesLayout& layout);

// The surface's font as the label placement measures it, and the placed texts printed.
TextMeasure textMeasure(const DrawingSurface& s);
void printTexts(DrawingSurface& s, const FrameTexts& texts);

// The plot area of a frame in pixels of the picture drawn on, where its curves go.
QRect plotRect(const DrawingSurface& s, const AxesLayout& layout);

}  // namespace diagram
