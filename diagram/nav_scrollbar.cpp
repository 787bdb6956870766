#include "diagram/nav_scrollbar.h"

#include <climits>

namespace diagram {
namespace {

// Distance from Min towards Max, as the Qt bar holds it (its minimum is always 0).
long long span(const ScrollModel& m) { return static_cast<long long>(m.max()) - m.min(); }

int toBarInt(long long v)
{
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

}  // namespace

NavScrollBar::NavScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent)
{
    connect(this, &QScrollBar::valueChanged, this, [this](int v) {
        if (!syncing_) fromBar(v);
    });
    syncToBar();
}

void NavScrollBar::syncToBar()
{
    syncing_ = true;
    const long long s = span(model_);
    const long long dist = static_cast<long long>(model_.value()) - model_.min();
    // Min above Max: the bar still starts at Min, so distances are counted the other way.
    const long long len = s < 0 ? -s : s;
    const long long pos = s < 0 ? -dist : dist;
    setRange(0, toBarInt(len));
    QScrollBar::setValue(toBarInt(pos));
    syncing_ = false;
}

void NavScrollBar::fromBar(int barValue)
{
    const long long s = span(model_);
    const long long v = s < 0 ? static_cast<long long>(model_.min()) - barValue
                              : static_cast<long long>(model_.min()) + barValue;
    if (model_.setValue(toBarInt(v))) emit navChanged(model_.value());
}

void NavScrollBar::setNavValue(int v)
{
    const bool changed = model_.setValue(v);
    syncToBar();
    if (changed) emit navChanged(model_.value());
}

void NavScrollBar::setModel(const ScrollModel& m)
{
    const bool changed = m.value() != model_.value();
    model_ = m;
    syncToBar();
    if (changed) emit navChanged(model_.value());
}

}  // namespace diagram
