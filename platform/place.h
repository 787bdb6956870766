#pragma once
// Placing widgets by geometry given in twips.
#include "platform/twips.h"

#include <QRect>
#include <QWidget>

namespace platform {

inline void place(QWidget* w, const TwipsRect& r) { w->setGeometry(QRect(px(r.left), px(r.top), px(r.width), px(r.height))); }

}  // namespace platform
