#pragma once
// Navigation of the diagram: the four scroll bars that hold the view (scrleft and scrtop shown,
// scrwidth and scrheight hidden), "1:1", the grid box, the zoom buttons, and zoom and pan with
// the mouse on the picture (a rubber band with the left button, a drag with the right one).
#include "diagram/core/layout.h"
#include "diagram/core/scroll_model.h"
#include "diagram/core/zoom.h"
#include "diagram/nav_scrollbar.h"
#include "diagram/surface.h"

#include <QObject>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace diagram {

// What the navigation asks of the diagram it moves.
class NavigationTarget {
public:
    virtual ~NavigationTarget() = default;
    virtual RecordExtent extent() const = 0;
    // The zoom entry to the full redraw of a view (ms, m/s).
    virtual void startzoom(const View& view) = 0;
    // Writes a view into the bars, or switches navigation off after an overflow.
    virtual void scrbarsettings(const View& view) = 0;
};

class Navigation : public QObject {
    Q_OBJECT
public:
    // The controls are built on `host`; `picture` is the diagram whose mouse navigation this
    // switches.
    Navigation(QWidget* host, DrawingSurface* picture, NavigationTarget& target);

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

    // "Zoom in" and "Zoom out": both axes halved or doubled about the centre, each axis one
    // step with its own redraw.
    void cmdallplus_Click();
    void cmdallminus_Click();

    // The picture's mouse events (button 1 left, 2 right, 4 middle; a move reports the buttons
    // held; x, y in the picture's scale units).
    void mousedown(int index, int button, int shift, double x, double y);
    void mousemove(int index, int button, int shift, double x, double y);
    void mouseup(int index, int button, int shift, double x, double y);

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
    void runStep(ZoomStep step);
    QPushButton* hiddenButton(const char* name, const char* caption, ZoomStep step);

    DrawingSurface* picture_;
    NavigationTarget& target_;
    NavScrollBar* scrleft_ = nullptr;
    NavScrollBar* scrwidth_ = nullptr;
    NavScrollBar* scrtop_ = nullptr;
    NavScrollBar* scrheight_ = nullptr;
    QCheckBox* chkgrid_ = nullptr;
    QPushButton* cmdresize_ = nullptr;
    QPushButton* cmdallplus_ = nullptr;
    QPushButton* cmdallminus_ = nullptr;
    // The single-axis steps, on a frame that is never shown.
    QGroupBox* frame2_ = nullptr;
    QPushButton* cmdplus_ = nullptr;
    QPushButton* cmdminus_ = nullptr;
    QPushButton* cmdplusvertical_ = nullptr;
    QPushButton* cmdminusvertical_ = nullptr;
    bool off_ = false;
};

}  // namespace diagram
