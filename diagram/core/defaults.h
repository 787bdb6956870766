#pragma once
// Program-wide diagram settings, one set for all analysis windows. Standard library only.
#include <array>
#include <string>

namespace diagram {

struct DiagramSettings {
    float marginDivisor = 9.0f;
    float diagramStretch = static_cast<float>(9.0 / 8.0);
    bool scrollEventsEnabled = true;
    bool zoomPending = false;
    // Mouse navigation, set by the last press in any window: the rubber band's start corner
    // (whole units) and the pan's press point.
    float zoomStartX = 0;
    float zoomStartY = 0;
    float panStartX = 0;
    float panStartY = 0;
    // Colour numbers (blue * 65536 + green * 256 + red) as decimal text, one per legend entry.
    std::array<std::string, 61> curveColours;
};

DiagramSettings& settings();

// Sets the settings above to their start-up values; the main window's load handler calls it
// once, before any analysis window exists.
void initDiagramDefaults();

// Colour number c of the ten-colour cycle (i mod 10).
int curveColourNumber(int entry);

}  // namespace diagram
