#pragma once
// The diagram of one analysis window, hosted on its "Graph" page: the drawing surface
// picdiagram(0), the navigation scroll bars, the grid box, "1:1", the zoom buttons and the legend
// of 61 entries. The window state is read from the TabchildData the panel is built with.
#include "diagram/core/reduce.h"
#include "diagram/core/view.h"
#include "diagram/legend.h"
#include "diagram/nav_scrollbar.h"
#include "diagram/surface.h"
#include "state/tabchild_data.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace diagram {

inline constexpr int kLegendEntries = 61;  // entries 0..60

class DiagramPanel : public QWidget {
    Q_OBJECT
public:
    DiagramPanel(analysis::TabchildData& data, QWidget* parent = nullptr);
    ~DiagramPanel() override;

    // --- Operations the analysis window and the data browser call (index is always 0). ---

    // Rebuilds the legend for setCount and dataFileNames: start colours, captions, fitted
    // entries disabled; ticks are kept.
    void setlegend();
    // The default full view, redrawn; disables "Zoom out".
    void Resize(int index = 0);
    // Redraws the view the scroll bars hold.
    void startscr(int index = 0);
    // Redraws the current view, or the default view once the diagram has overflowed (what the
    // legend, the grid box and the data browser's page change ask for).
    void redrawCurrent();
    // The overview in the data browser (drawn by the overview; these are its call points).
    void diaoverview();
    void activate_drawinoverview();
    // Clears picdiagram(0) to its background; nothing is drawn until the next redraw.
    void clearDiagram();
    // After a calculation: enables chk(k) and piclegend(k) for k = 1, 3, ..., 2 * setCount - 1.
    void enableFittedEntries();

    // Full redraw of a view in ms and m/s; startzoom is the zoom entry to the same redraw.
    void diastandard(double left, double width, double top, double height, int index = 0);
    void startzoom(double left, double width, double top, double height, int index = 0);
    // Writes a view (ms, m/s) into the scroll bars, or switches navigation off after an overflow.
    void scrbarsettings(double left, double width, double top, double height, int index = 0);
    // Lays out the controls for the current size and picks the label font and margin divisor.
    void frmdiaresize();
    // Lets the user choose the colour of legend entry `index`; true when a colour was chosen.
    bool changelegendcolour(int index);

    // --- Controls. ---
    DrawingSurface* picdiagram(int index = 0) const { (void)index; return picdiagram_; }
    QImage picture() const;  // the persistent image of picdiagram(0)
    LegendCheckBox* chk(int i) const { return chk_.at(static_cast<std::size_t>(i)); }
    ColourBox* piclegend(int i) const { return piclegend_.at(static_cast<std::size_t>(i)); }
    NavScrollBar* scrleft(int index = 0) const { (void)index; return scrleft_; }
    NavScrollBar* scrwidth(int index = 0) const { (void)index; return scrwidth_; }
    NavScrollBar* scrtop(int index = 0) const { (void)index; return scrtop_; }
    NavScrollBar* scrheight(int index = 0) const { (void)index; return scrheight_; }
    QCheckBox* chkgrid(int index = 0) const { (void)index; return chkgrid_; }
    QPushButton* cmdresize(int index = 0) const { (void)index; return cmdresize_; }
    QPushButton* cmdallminus() const { return cmdallminus_; }
    QPushButton* cmdallplus() const { return cmdallplus_; }
    QScrollBar* scrupdown() const { return scrupdown_; }
    QWidget* pictest() const { return pictest_; }
    ColourLabel* lblbackground() const { return lblbackground_; }
    ColourLabel* lblscale() const { return lblscale_; }
    QLineEdit* txtn() const { return txtn_; }

    // Overflow flag, the tag of txtn: empty, or "1" once the diagram exceeded its limits.
    QString txtnTag() const;
    bool overflowed() const { return overflowed_; }

    // The view last drawn (ms, m/s) and whether one was drawn since the last clear.
    View drawnView() const { return drawnView_; }
    bool hasDrawnView() const { return hasView_; }

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
    void buildControls();
    void layoutControls(int widthTwips, int heightTwips);
    void fitLegendScroll();
    void render(DrawingSurface& s, bool reduce);
    void drawaxes(DrawingSurface& s);
    void drawCurves(DrawingSurface& s, bool fitted, bool reduce);
    void onBarChanged();
    void onLegendToggled();
    void onLegendColourRequest(int index);
    void chooseDiagramColour(ColourLabel* label, bool background);
    void setOverflow();
    int legendCapacity() const;

    analysis::TabchildData& data_;
    DrawingSurface* picdiagram_ = nullptr;
    NavScrollBar* scrleft_ = nullptr;
    NavScrollBar* scrwidth_ = nullptr;
    NavScrollBar* scrtop_ = nullptr;
    NavScrollBar* scrheight_ = nullptr;
    QCheckBox* chkgrid_ = nullptr;
    QPushButton* cmdresize_ = nullptr;
    QPushButton* cmdallminus_ = nullptr;
    QPushButton* cmdallplus_ = nullptr;
    QPushButton* command2_ = nullptr;
    QWidget* piclegmain_ = nullptr;
    QWidget* picshowlegend_ = nullptr;
    QGroupBox* framelegend_ = nullptr;
    QWidget* fralegendtitle_ = nullptr;
    QPushButton* cmdlegendtitle_ = nullptr;
    QScrollBar* scrupdown_ = nullptr;
    QWidget* pictest_ = nullptr;
    ColourLabel* lblbackground_ = nullptr;
    ColourLabel* lblscale_ = nullptr;
    QLineEdit* txtn_ = nullptr;
    std::array<LegendCheckBox*, kLegendEntries> chk_{};
    std::array<ColourBox*, kLegendEntries> piclegend_{};

    bool overflowed_ = false;
    bool hasView_ = false;
    View drawnView_;
    int legendRowTwips_ = 433;
    int legendLastEntry_ = -1;
    std::optional<QColor> lastDialogColour_;
    bool reduce_ = true;

    // Per legend entry, the summary of its curve and what it was built from: the data version,
    // the array (where it lies and its shape) and a few sample values, so that a refill of the
    // arrays is noticed even when nobody bumped the version.
    struct CurveCache {
        bool valid = false;
        std::uint64_t version = 0;
        const double* array = nullptr;
        int arrayRows = 0;
        int arrayCols = 0;
        int rows = 0;
        std::array<std::uint64_t, 17> probe{};
        CurveSummary summary;
        // The polyline (x, y in internal units) of the view last drawn, reused while the view
        // and the data stay.
        bool pointsValid = false;
        double viewLeft = 0, viewRight = 0, dx = 0;
        int columns = 0;
        std::vector<double> xy;
    };
    CurveCache& curveCache(int entry, const analysis::ColMatrix& m, int set, int rows);
    std::array<CurveCache, 2 * 30> curveCache_{};
};

}  // namespace diagram
