#pragma once
// Where the diagram's controls lie for a panel of a given size, and the label font and margin
// divisor that size calls for. Lengths in twips. Standard library only.

#include "platform/twips.h"

namespace diagram {

using platform::TwipsRect;

struct LabelFontChoice {
    bool narrow = false;  // the narrow face below 9000 twips of width
    int pointSize = 9;
};

struct PanelLayout {
    LabelFontChoice font;
    TwipsRect picdiagram;
    TwipsRect scrheight;
    TwipsRect scrtop;
    TwipsRect cmdresize;
    TwipsRect scrleft;
    TwipsRect scrwidth;
    TwipsRect chkgrid;
    TwipsRect lblbackground;
    TwipsRect lblscale;
    TwipsRect cmdallplus;
    TwipsRect cmdallminus;
    TwipsRect piclegmain;
    TwipsRect scrupdown;
};

// The font is chosen from the size as given; the places from the size raised to the smallest
// layout, 6000 x 4000 twips.
PanelLayout panelLayout(int widthTwips, int heightTwips);

// Margin divisor N and stretch N / (N - 1): 9 from 7000 x 5000 twips on, 6 below.
struct MarginRule {
    float marginDivisor = 9.0f;
    float diagramStretch = static_cast<float>(9.0 / 8.0);
};
MarginRule marginRule(int widthTwips, int heightTwips);

}  // namespace diagram
