#pragma once
// The overview picture (picover): one picture for the whole program that shows the miniature of
// the analysis window activated last, the whole record in its default view, and a red rectangle
// on the screen only that marks the view that window's diagram shows.
#include "diagram/core/ticks.h"
#include "diagram/surface.h"

#include <QPointer>

#include <functional>

namespace diagram {

class OverviewSurface : public DrawingSurface {
    Q_OBJECT
public:
    explicit OverviewSurface(QWidget* parent = nullptr);

    // Whose miniature is shown; null when none (or its window is gone).
    const QObject* owner() const { return owner_.data(); }
    // Shows the miniature that `draw` paints in the given coordinate system, for `owner`; the
    // rectangle goes until the next one. It is painted when next shown, once however often it
    // was asked for.
    void showMiniature(QObject* owner, const Scale& scale, std::function<void(DrawingSurface&)> draw);
    // The rectangle of a view (internal units), replacing the last one.
    void showViewRectangle(const UnitView& view);
    // An empty picture that belongs to no window.
    void clear();

private:
    QPointer<QObject> owner_;
};

// The frame of the miniature, laid out by `layoutOverviewAxes` for the surface's scale: axes,
// ticks and labels in black.
void drawOverviewFrame(DrawingSurface& s, const AxesLayout& layout);

}  // namespace diagram
