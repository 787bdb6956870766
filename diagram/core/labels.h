#pragma once
// Where the texts of the diagram's and the overview's frames go on a picture of a given size,
// and the plot area their curves are drawn in. A number is shown whole or not at all: a tick
// label that would reach over an edge is shifted inward, labels too close for their width are
// thinned to every second (third, ...) tick, and a label that still meets another text is left
// out. Titles stay whole inside the picture. No text meets another or enters the plot area,
// whatever the picture's size. Positions are pixels of the picture, y downward. Standard library
// only.
#include "diagram/core/ticks.h"

#include <functional>
#include <string>
#include <vector>

namespace diagram {

// The extent of a text in pixels, as the picture's font measures it.
struct TextMeasure {
    std::function<double(const std::string&)> width;
    double height = 0;
};

struct PlacedText {
    std::string text;
    double x = 0;  // upper left corner
    double y = 0;
    double width = 0;
    double height = 0;
    double right() const { return x + width; }
    double bottom() const { return y + height; }
};

// The plot area in pixels, both ends included: the columns from the velocity axis's to the right
// edge, the rows from the top edge to the time axis's.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    bool empty() const { return right < left || bottom < top; }
};
PixelRect plotArea(const AxesLayout& axes, const Scale& scale, PixelSize picture);

struct FrameTexts {
    std::vector<PlacedText> velocity;  // labels of the velocity ticks, upward
    std::vector<PlacedText> time;      // labels of the time ticks, left to right
    // "Velocity" a letter per line and "m/s" below it, a quarter margin apart, shown whole or
    // not at all. The letters are one text: their boxes may overlap one another by the leading
    // and descent of a line (a third of its height), where the glyphs do not reach.
    std::vector<PlacedText> velocityTitle;
    std::vector<PlacedText> timeTitle;
};

// The diagram's frame: the tick labels, "Velocity" one letter per line with "m/s" below it in
// the left margin, and "Duration of measurement, s" under the time labels.
FrameTexts placeAxesTexts(const AxesLayout& axes, const Scale& scale, PixelSize picture, const TextMeasure& measure);

// The overview's frame: its tick labels only.
FrameTexts placeOverviewTexts(const AxesLayout& axes, const Scale& scale, PixelSize picture, const TextMeasure& measure);

}  // namespace diagram
