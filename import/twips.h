#pragma once
// Dialog geometry is laid out in twips, 15 to a pixel.
#include <QWidget>

namespace importer {

constexpr int px(int twips) { return (twips + 7) / 15; }

inline void place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(px(left), px(top), px(width), px(height));
}

}  // namespace importer
