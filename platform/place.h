#pragma once
// Placing widgets by geometry given in twips.
#include "platform/twips.h"

#include <QRect>
#include <QWidget>

namespace platform {

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

inline QRect twipsRect(const TwipsRect& r) { return twipsRect(r.left, r.top, r.width, r.height); }

inline void place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(twipsRect(left, top, width, height));
}

inline void place(QWidget* w, const TwipsRect& r) { w->setGeometry(twipsRect(r)); }

}  // namespace platform
