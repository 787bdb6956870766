#pragma once
// What the import dialogs share: placing in twips, their font, and named controls.
#include "platform/place.h"

#include <QFont>
#include <QGroupBox>
#include <QLabel>
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

inline QLabel* label(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

inline QGroupBox* frame(QWidget* parent, const char* name, const QString& caption)
{
    auto* g = new QGroupBox(caption, parent);
    g->setObjectName(QString::fromLatin1(name));
    return g;
}

}  // namespace importer
