#pragma once
// Placing the diagram's controls at places given in twips.
#include "diagram/core/layout.h"

#include <QFont>
#include <QWidget>

namespace diagram {

// A control at a place in twips; never narrower or lower than one pixel.
void place(QWidget* w, const TwipsRect& r);

QFont labelFont(const LabelFontChoice& choice);

}  // namespace diagram
