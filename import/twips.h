#pragma once
// Dialog geometry is laid out in twips, 15 to a pixel.
#include <QFont>
#include <QWidget>

namespace importer {

constexpr int px(int twips) { return (twips + 7) / 15; }

inline void place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(px(left), px(top), px(width), px(height));
}

}  // namespace importer

namespace importer {

// The dialogs are laid out for an 8-point sans-serif face (Arial, or Liberation Sans in its place).
inline QFont dialogFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(8);
    return f;
}

}  // namespace importer
