#pragma once
// Navigation of the diagram: the four scroll bars that hold the view (scrleft and scrtop shown,
// scrwidth and scrheight hidden), "1:1", the grid box and the zoom buttons.
#include "diagram/core/layout.h"
#include "diagram/core/scroll_model.h"
#include "diagram/nav_scrollbar.h"
#include "diagram/surface.h"

#include <QObject>

class QCheckBox;
class QPushButton;

namespace diagram {

class Navigation : public QObject {
    Q_OBJECT
public:
    // The controls are built on `host`; `picture` is the diagram whose mouse navigation this
    // switches.
    Navigation(QWidget* host, DrawingSurface* picture);

    NavBars bars() const;
    // Writes the drawn view (ms, m/s) into the bars and fits their ranges to the record; the bars'
    // own change events do not redraw meanwhile.
    void write(const View& view, const RecordExtent& extent);
    // After an overflow: no mouse zoom or pan, no zoom buttons, position bars or "1:1". The
    // picture keeps its focus, so it can still be copied.
    void switchOff();
    bool switchedOff() const { return off_; }

    void place(const PanelLayout& layout);
    bool gridOn() const;

    NavScrollBar* scrleft() const { return scrleft_; }
    NavScrollBar* scrwidth() const { return scrwidth_; }
    NavScrollBar* scrtop() const { return scrtop_; }
    NavScrollBar* scrheight() const { return scrheight_; }
    QCheckBox* chkgrid() const { return chkgrid_; }
    QPushButton* cmdresize() const { return cmdresize_; }
    QPushButton* cmdallplus() const { return cmdallplus_; }
    QPushButton* cmdallminus() const { return cmdallminus_; }

signals:
    // A bar moved while scroll events redraw: show the view the bars hold.
    void barMoved();
    // "1:1": back to the default view.
    void resetClicked();
    void gridToggled();

private:
    DrawingSurface* picture_;
    NavScrollBar* scrleft_ = nullptr;
    NavScrollBar* scrwidth_ = nullptr;
    NavScrollBar* scrtop_ = nullptr;
    NavScrollBar* scrheight_ = nullptr;
    QCheckBox* chkgrid_ = nullptr;
    QPushButton* cmdresize_ = nullptr;
    QPushButton* cmdallplus_ = nullptr;
    QPushButton* cmdallminus_ = nullptr;
    bool off_ = false;
};

}  // namespace diagram
