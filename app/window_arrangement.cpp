#include "app/window_arrangement.h"

#include "app/core/cascade.h"
#include "platform/twips.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionTitleBar>

#include <algorithm>
#include <vector>

namespace app {

namespace {

using platform::px;

// The windows an arrangement moves: those shown and not minimised.
QList<QMdiSubWindow*> arrangeable(QMdiArea* area, QMdiArea::WindowOrder order)
{
    QList<QMdiSubWindow*> list;
    for (QMdiSubWindow* sub : area->subWindowList(order))
        if (sub->isVisible() && !sub->isMinimized()) list << sub;
    return list;
}

}  // namespace

QMdiSubWindow* cascadeSubWindows(QMdiArea* area)
{
    const QList<QMdiSubWindow*> subs = arrangeable(area, QMdiArea::StackingOrder);
    if (subs.isEmpty()) return nullptr;
    std::vector<Size> sizes;
    for (QMdiSubWindow* sub : subs) {
        if (sub->isMaximized()) sub->showNormal();
        sizes.push_back({sub->width(), sub->height()});
    }
    QStyleOptionTitleBar titleBar;
    titleBar.initFrom(subs.front());
    const int step = subs.front()->style()->pixelMetric(QStyle::PM_TitleBarHeight, &titleBar, subs.front());
    const QSize space = area->viewport()->size();
    const std::vector<Rect> placed =
        cascadeGeometry(sizes, {px(kAnalysisWindowWidthTwips), px(kAnalysisWindowHeightTwips)},
                        {space.width(), space.height()}, std::max(step, 1));
    for (qsizetype i = 0; i < subs.size(); ++i) {
        const Rect& r = placed[static_cast<std::size_t>(i)];
        subs.at(i)->setGeometry(r.x, r.y, r.width, r.height);
        subs.at(i)->raise();
    }
    return subs.back();
}

QMdiSubWindow* tileSubWindows(QMdiArea* area, Qt::Orientation orientation)
{
    const QList<QMdiSubWindow*> subs = arrangeable(area, QMdiArea::CreationOrder);
    if (subs.isEmpty()) return nullptr;
    const QRect space = area->viewport()->rect();
    const int n = static_cast<int>(subs.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* sub = subs.at(i);
        if (sub->isMaximized()) sub->showNormal();
        if (orientation == Qt::Horizontal) {
            const int x0 = space.width() * i / n, x1 = space.width() * (i + 1) / n;
            sub->setGeometry(x0, 0, x1 - x0, space.height());
        } else {
            const int y0 = space.height() * i / n, y1 = space.height() * (i + 1) / n;
            sub->setGeometry(0, y0, space.width(), y1 - y0);
        }
    }
    return arrangeable(area, QMdiArea::StackingOrder).back();
}

void shiftNormalSubWindows(QMdiArea* area, const QMdiSubWindow* browser, int dx)
{
    for (QMdiSubWindow* sub : area->subWindowList(QMdiArea::CreationOrder)) {
        if (sub == browser || sub->isMinimized() || sub->isMaximized()) continue;
        sub->move(sub->x() + dx, sub->y());
    }
}

}  // namespace app
