#include "diagram/overview.h"

#include "diagram/axes.h"
#include "diagram/core/ticks.h"

namespace diagram {

OverviewSurface::OverviewSurface(QWidget* parent) : DrawingSurface(parent)
{
    // Presses and moves over the overview do nothing; it takes no focus.
    setMouseNavigation(false);
    setFocusPolicy(Qt::NoFocus);
    setLabelFont(QFont(QStringLiteral("Liberation Sans"), 6));
}

void OverviewSurface::showMiniature(QObject* owner, const Scale& scale, std::function<void(DrawingSurface&)> draw)
{
    if (owner_ != owner) {
        if (owner_) disconnect(owner_, &QObject::destroyed, this, nullptr);
        // A window that goes takes its miniature with it, whoever else the browser names.
        if (owner) connect(owner, &QObject::destroyed, this, [this] { clear(); });
    }
    owner_ = owner;
    setScale(scale);
    // Never a call into a window that has gone.
    QPointer<QObject> alive(owner);
    setRenderer([alive, draw = std::move(draw)](DrawingSurface& s) {
        s.cls();
        if (alive) draw(s);
    });
    setAutoRedraw(false);
    cls();
    setAutoRedraw(true);
    requestRender();
}

void OverviewSurface::showViewRectangle(const UnitView& v)
{
    setAutoRedraw(false);
    cls();
    setForeColor(QColor(255, 0, 0));
    const double right = v.left + v.width;
    const double bottom = v.top - v.height;
    line(v.left, v.top, right, v.top);
    line(v.left, v.top, v.left, bottom);
    line(v.left, bottom, right, bottom);
    line(right, bottom, right, v.top);
    setAutoRedraw(true);
    setForeColor(QColor(0, 0, 0));
}

void OverviewSurface::clear()
{
    if (owner_) disconnect(owner_, &QObject::destroyed, this, nullptr);
    owner_ = nullptr;
    setRenderer(nullptr);
    cancelRender();
    setAutoRedraw(true);
    cls();
}

void drawOverviewFrame(DrawingSurface& s, const AxesLayout& a)
{
    const Scale sc = s.scale();
    const double mx = a.marginX;
    const double my = a.marginY;
    const double ax = a.axisX;
    const double ay = a.axisY;
    s.setDrawWidth(1);
    s.setDotted(false);
    s.setForeColor(QColor(0, 0, 0));
    s.line(ax, sc.top, ax, ay);
    s.line(ax, ay, sc.left + sc.width, ay);
    for (const Tick& t : a.vertical.major) s.line(ax, t.pos, ax - mx / 8, t.pos);
    for (double p : a.vertical.minor) s.line(ax, p, ax - mx / 16, p);
    for (const Tick& t : a.horizontal.major) s.line(t.pos, ay, t.pos, a.bottom + 4 * my / 5);
    for (double p : a.horizontal.minor) s.line(p, ay, p, a.bottom + 8 * my / 9);
    const QSize px = s.pictureSize();
    printTexts(s, placeOverviewTexts(a, sc, {px.width(), px.height()}, textMeasure(s)));
}

}  // namespace diagram
