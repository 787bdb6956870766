#pragma once
// Counts the paint events a widget receives, to show that redraws are coalesced.
#include <QEvent>
#include <QObject>

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};
