#pragma once
// Where the texts of the diagram's and the overview's frames go on a picture of a given size.
// A number is shown whole or not at all: a tick label that would reach over an edge is shifted
// inward, labels too close for their width are thinned to every second (third, ...) tick, and a
// label that still meets another text is left out. Titles stay whole inside the picture.
// Positions are pixels of the picture, y downward. Standard library only.
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

struct PixelSize {
    int width = 0;
    int height = 0;
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

struct FrameTexts {
    std::vector<PlacedText> velocity;  // labels of the velocity ticks, upward
    std::vector<PlacedText> time;      // labels of the time ticks, left to right
    // "Velocity" a letter per line and "m/s" below it, a quarter margin apart (in a low picture
    // closer than a line of text, so the letters' boxes may overlap one another), and the time
    // title.
    std::vector<PlacedText> velocityTitle;
    std::vector<PlacedText> timeTitle;
};

// The diagram's frame: the tick labels, "Velocity" one letter per line with "m/s" below it in
// the left margin, and "Duration of measurement, s" under the time labels.
FrameTexts placeAxesTexts(const AxesLayout& axes, const Scale& scale, PixelSize picture, const TextMeasure& measure);

// The overview's frame: its tick labels only.
FrameTexts placeOverviewTexts(const AxesLayout& axes, const Scale& scale, PixelSize picture, const TextMeasure& measure);

}  // namespace diagram
