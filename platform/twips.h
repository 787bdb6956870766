#pragma once
// Window geometry is given in twips, 15 to a pixel.
#include <QRect>
#include <QWidget>

namespace platform {

constexpr int kTwipsPerPixel = 15;

// Twips to whole pixels, rounded.
constexpr int px(int twips) { return (twips + 7) / kTwipsPerPixel; }

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

inline void place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(twipsRect(left, top, width, height));
}

}  // namespace platform
