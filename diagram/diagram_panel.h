#pragma once
// The diagram of one analysis window, hosted on its "Graph" page: the drawing surface
// picdiagram with its navigation and legend beside it. The panel holds the view, the overflow
// flag and the redraw; the legend, the navigation controls, the axes and the curves are its
// parts. The window state is read from the TabchildData the panel is built with.
#include "diagram/core/view.h"
#include "diagram/curves.h"
#include "diagram/legend.h"
#include "diagram/navigation.h"
#include "diagram/overview.h"
#include "diagram/surface.h"
#include "state/tabchild_data.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace diagram {

class DiagramPanel : public QWidget, private NavigationTarget {
    Q_OBJECT
public:
    DiagramPanel(state::TabchildData& data, QWidget* parent = nullptr);
    ~DiagramPanel() override;

    // --- Operations the analysis window and the data browser call. ---

    // Rebuilds the legend for setCount and dataFileNames: start colours, captions, fitted
    // entries disabled; ticks are kept.
    void setlegend();
    // The default full view, redrawn; disables "Zoom out" and offers "Zoom in".
    void Resize();
    // Redraws the view the scroll bars hold.
    void startscr();
    // Redraws the current view, or the default view once the diagram has overflowed (what the
    // legend, the grid box and the data browser's page change ask for).
    void redrawCurrent();
    // The overview picture in the data browser: where it is (null while there is none).
    void setOverviewPicture(std::function<OverviewSurface*()> locate) { overview_ = std::move(locate); }
    // Clears the overview and shows this window's miniature in it.
    void diaoverview();
    // The rectangle of a view (internal units, unstretched), while the overview shows this
    // window's miniature.
    void drawinoverview(double left, double width, double top, double height);
    // The rectangle of the view the diagram shows now.
    void activate_drawinoverview();
    // Clears picdiagram to its background; nothing is drawn until the next redraw.
    void clearDiagram();
    // After a calculation: enables chk(k) and piclegend(k) for k = 1, 3, ..., 2 * setCount - 1.
    void enableFittedEntries();

    // Full redraw of a view in ms and m/s; startzoom is the zoom entry to the same redraw.
    void diastandard(double left, double width, double top, double height);
    void startzoom(double left, double width, double top, double height);
    // Writes a view (ms, m/s) into the scroll bars, or switches navigation off after an overflow.
    void scrbarsettings(double left, double width, double top, double height);
    // Lays out the controls for the current size and picks the label font and margin divisor.
    void frmdiaresize();
    // Lets the user choose the colour of legend entry `index`; true when a colour was chosen.
    bool changelegendcolour(int index) { return legend_->changelegendcolour(index); }

    // --- Parts and controls. ---
    Legend& legend() const { return *legend_; }
    Navigation& navigation() const { return *nav_; }
    DrawingSurface* picdiagram() const { return picdiagram_; }
    QImage picture() const;  // the persistent image of picdiagram
    LegendCheckBox* chk(int i) const { return legend_->chk(i); }
    ColourBox* piclegend(int i) const { return legend_->piclegend(i); }
    NavScrollBar* scrleft() const { return nav_->scrleft(); }
    NavScrollBar* scrwidth() const { return nav_->scrwidth(); }
    NavScrollBar* scrtop() const { return nav_->scrtop(); }
    NavScrollBar* scrheight() const { return nav_->scrheight(); }
    QCheckBox* chkgrid() const { return nav_->chkgrid(); }
    QPushButton* cmdresize() const { return nav_->cmdresize(); }
    QPushButton* cmdallminus() const { return nav_->cmdallminus(); }
    QPushButton* cmdallplus() const { return nav_->cmdallplus(); }
    QScrollBar* scrupdown() const { return legend_->scrupdown(); }
    QWidget* pictest() const { return pictest_; }
    ColourLabel* lblbackground() const { return legend_->lblbackground(); }
    ColourLabel* lblscale() const { return legend_->lblscale(); }
    QLineEdit* txtn() const { return txtn_; }

    // Overflow flag, the tag of txtn: empty, or "1" once the diagram exceeded its limits.
    QString txtnTag() const;
    bool overflowed() const { return overflowed_; }

    // The view last drawn (ms, m/s).
    View drawnView() const { return drawnView_; }

    // Renders the diagram as it stands into an image of the given size (export at another size,
    // benchmarks). `reduce` false draws every sample in view (the comparison rendering).
    QImage renderImage(QSize size, bool reduce = true);

signals:
    // The view just drawn, in internal units (unstretched): the rectangle of the overview.
    void viewDrawn(double left, double width, double top, double height);
    // Navigation was switched off after an overflow: the data browser stops redrawing this window.
    void navigationSwitchedOff();

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    RecordExtent extent() const override { return recordExtent(data_); }
    void startzoom(const View& v) override { startzoom(v.left, v.width, v.top, v.height); }
    void scrbarsettings(const View& v) override { scrbarsettings(v.left, v.width, v.top, v.height); }
    void layoutControls(int widthTwips, int heightTwips);
    void render(DrawingSurface& s, bool reduce);
    void drawMiniature(DrawingSurface& s);
    OverviewSurface* overview() const { return overview_ ? overview_() : nullptr; }
    void onLegendToggled();
    void setOverflow();

    state::TabchildData& data_;
    DrawingSurface* picdiagram_ = nullptr;
    Navigation* nav_ = nullptr;
    Legend* legend_ = nullptr;
    QPushButton* command2_ = nullptr;
    QWidget* pictest_ = nullptr;
    QLineEdit* txtn_ = nullptr;
    CurveSummaries summaries_;
    CurveLayer curves_{summaries_};
    CurveLayer overviewCurves_{summaries_};
    std::function<OverviewSurface*()> overview_;

    bool overflowed_ = false;
    bool hasView_ = false;
    View drawnView_;
    bool reduce_ = true;
};

}  // namespace diagram
