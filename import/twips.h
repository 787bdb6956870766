#pragma once
// Dialog geometry is laid out in twips, 15 to a pixel.
#include "platform/twips.h"

#include <QFont>
#include <QPushButton>

namespace importer {

using platform::place;
using platform::px;

// The dialogs are laid out for an 8-point sans-serif face (Arial, or Liberation Sans in its place).
inline QFont dialogFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(8);
    return f;
}

// A dialog button under its given name; buttons never take Enter unless made the default.
inline QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace importer
