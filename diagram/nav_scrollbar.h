#pragma once
// A scroll bar that keeps the classic value, Min and Max (Min may be above Max) and shows them on
// a QScrollBar: the Min end is always the left or upper end of the bar.
#include "diagram/core/scroll_model.h"

#include <QScrollBar>

namespace diagram {

class NavScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit NavScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    int navValue() const { return model_.value(); }
    int navMin() const { return model_.min(); }
    int navMax() const { return model_.max(); }
    const ScrollModel& model() const { return model_; }

    // Writing raises navChanged before it returns when the value changes; a value outside the
    // range is clamped into it.
    void setNavValue(int v);
    void setModel(const ScrollModel& m);

signals:
    void navChanged(int value);

private:
    void syncToBar();
    void fromBar(int barValue);
    ScrollModel model_;
    bool syncing_ = false;
};

}  // namespace diagram
