#include "diagram/diagram_panel.h"

#include "diagram/axes.h"
#include "diagram/core/defaults.h"
#include "diagram/core/layout.h"
#include "diagram/core/scroll_model.h"
#include "diagram/layout.h"
#include "platform/controls.h"
#include "platform/services.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>

namespace diagram {
namespace {

using platform::kTwipsPerPixel;
using platform::make;

// The hint over a diagram without curves: an empty frame of axes and the request to tick one.
class HintPicture : public QWidget {
public:
    explicit HintPicture(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(255, 255, 255));
        const double w = width();
        const double h = height();
        const QPointF origin(w / 9, h * 8 / 9);
        p.setPen(QColor(190, 190, 190));
        p.drawLine(origin, QPointF(w / 9, 0));
        p.drawLine(origin, QPointF(w, h * 8 / 9));
        for (int k = 1; k <= 5; ++k) {
            const double x = w / 9 + k * (w * 8 / 9) / 5.5;
            const double y = h * 8 / 9 - k * (h * 8 / 9) / 5.5;
            p.drawLine(QPointF(x, origin.y()), QPointF(x, origin.y() + 5));
            p.drawLine(QPointF(origin.x() - 5, y), QPointF(origin.x(), y));
        }
        p.setPen(QColor(96, 96, 96));
        p.drawText(QRectF(w / 9, 0, w * 8 / 9, h * 8 / 9), Qt::AlignCenter | Qt::TextWordWrap,
                   QStringLiteral("Tick a curve in the legend to show the graph"));
    }
};

}  // namespace

DiagramPanel::DiagramPanel(state::TabchildData& data, QWidget* parent) : QWidget(parent), data_(data)
{
    picdiagram_ = make<DrawingSurface>(this, "picdiagram");
    picdiagram_->setProperty("index", 0);
    picdiagram_->setProperty("tag", QStringLiteral("Picture"));
    picdiagram_->setRenderer([this](DrawingSurface& s) { render(s, reduce_); });

    nav_ = new Navigation(this, picdiagram_, *this);
    connect(nav_, &Navigation::barMoved, this, [this] { startscr(); });
    connect(nav_, &Navigation::gridToggled, this, [this] { redrawCurrent(); });
    connect(nav_, &Navigation::resetClicked, this, [this] { Resize(); });

    command2_ = make<QPushButton>(this, "Command2", QStringLiteral("Set Legend"));
    command2_->hide();
    connect(command2_, &QPushButton::clicked, this, [this] { setlegend(); });

    legend_ = new Legend(this);
    connect(legend_, &Legend::ticksChanged, this, [this] { onLegendToggled(); });
    connect(legend_, &Legend::entryColourChanged, this, [this] {
        // The miniature first, so the redraw puts the view's rectangle back on it.
        diaoverview();
        redrawCurrent();
    });
    connect(legend_, &Legend::diagramColourChanged, this, [this](bool background) {
        if (background) picdiagram_->setBackColor(legend_->lblbackground()->colour());
        redrawCurrent();
    });

    pictest_ = make<HintPicture>(this, "pictest");
    // Clicks reach the picture below, so it can take the focus (and be copied) under the hint.
    pictest_->setAttribute(Qt::WA_TransparentForMouseEvents);
    picdiagram_->setBackColor(legend_->lblbackground()->colour());

    txtn_ = make<QLineEdit>(this, "txtn");
    txtn_->setProperty("tag", QString());
    txtn_->hide();

    setMinimumSize(400, 267);  // the smallest layout, 6000 x 4000 twips
    resize(800, 487);  // 12000 x 7305 twips: the legend area is 6090 twips high
    layoutControls(width() * kTwipsPerPixel, height() * kTwipsPerPixel);
}

DiagramPanel::~DiagramPanel() = default;

// --- Layout -------------------------------------------------------------------------------

void DiagramPanel::layoutControls(int w, int h)
{
    const PanelLayout l = panelLayout(w, h);
    picdiagram_->setLabelFont(labelFont(l.font));
    diagram::place(picdiagram_, l.picdiagram);
    diagram::place(pictest_, l.picdiagram);
    nav_->place(l);
    legend_->place(l);
    pictest_->raise();
}

void DiagramPanel::frmdiaresize()
{
    const int w = width() * kTwipsPerPixel;
    const int h = height() * kTwipsPerPixel;
    const MarginRule m = marginRule(w, h);
    DiagramSettings& s = settings();
    s.marginDivisor = m.marginDivisor;
    s.diagramStretch = m.diagramStretch;
    layoutControls(w, h);
}

void DiagramPanel::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    layoutControls(e->size().width() * kTwipsPerPixel, e->size().height() * kTwipsPerPixel);
}

// --- Legend ---------------------------------------------------------------------------------

void DiagramPanel::setlegend()
{
    const int sets = std::clamp(data_.setCount, 0, 30);
    QStringList names;
    for (int s = 1; s <= sets; ++s) names << QString::fromStdString(data_.dataFileNames[static_cast<std::size_t>(s)]);
    legend_->setlegend(names);
}

void DiagramPanel::enableFittedEntries() { legend_->enableFittedEntries(data_.setCount); }

void DiagramPanel::onLegendToggled()
{
    diaoverview();
    pictest_->hide();
    redrawCurrent();
}

// --- View, scale and navigation -------------------------------------------------------------

QString DiagramPanel::txtnTag() const { return txtn_->property("tag").toString(); }

void DiagramPanel::setOverflow()
{
    overflowed_ = true;
    txtn_->setProperty("tag", QStringLiteral("1"));
}

void DiagramPanel::diastandard(double left, double width, double top, double height)
{
    const DiagramSettings& st = settings();
    const UnitView u = toUnits({left, width, top, height});
    const ScaleResult r = diascale(u, overflowed_, st.marginDivisor, st.diagramStretch);
    picdiagram_->setScale(r.scale);
    hasView_ = true;
    drawnView_ = {left, width, top, height};
    picdiagram_->requestRender();
    if (r.overflowNow) {
        setOverflow();
        if (r.message) platform::showMessage(*r.message, this);
    }
    scrbarsettings(left, width, top, height);
    drawinoverview(u.left, u.width, u.top, u.height);
    emit viewDrawn(u.left, u.width, u.top, u.height);
}

void DiagramPanel::startzoom(double left, double width, double top, double height)
{
    diastandard(left, width, top, height);
}

void DiagramPanel::scrbarsettings(double left, double width, double top, double height)
{
    if (overflowed_) {
        nav_->switchOff();
        emit navigationSwitchedOff();
        return;
    }
    nav_->write({left, width, top, height}, recordExtent(data_));
}

void DiagramPanel::startscr()
{
    const View v = viewFromBars(nav_->bars());
    diastandard(v.left, v.width, v.top, v.height);
}

void DiagramPanel::Resize()
{
    const View v = defaultView(data_);
    diastandard(v.left, v.width, v.top, v.height);
    cmdallminus()->setEnabled(false);
    // From the default view there is always room to zoom in (unless navigation is off).
    if (!overflowed_) cmdallplus()->setEnabled(true);
}

void DiagramPanel::redrawCurrent()
{
    if (overflowed_)
        Resize();
    else
        startscr();
}

void DiagramPanel::diaoverview()
{
    if (OverviewSurface* o = overview())
        o->showMiniature(this, overviewScale(recordExtent(data_)), [this](DrawingSurface& s) { drawMiniature(s); });
}

void DiagramPanel::drawinoverview(double left, double width, double top, double height)
{
    // Another window's miniature is in the picture: this view has no place on it.
    OverviewSurface* o = overview();
    if (!o || o->owner() != this) return;
    const QSize px = o->pictureSize();
    o->showViewRectangle(overviewRectangle({left, width, top, height}, o->scale(), {px.width(), px.height()}));
}

void DiagramPanel::activate_drawinoverview()
{
    const DiagramSettings& st = settings();
    const UnitView u = viewFromScale(picdiagram_->scale(), st.marginDivisor, st.diagramStretch);
    drawinoverview(u.left, u.width, u.top, u.height);
}

void DiagramPanel::clearDiagram()
{
    hasView_ = false;
    picdiagram_->cancelRender();
    const bool keep = picdiagram_->autoRedraw();
    picdiagram_->setAutoRedraw(true);
    picdiagram_->cls();
    picdiagram_->setAutoRedraw(keep);
}

QImage DiagramPanel::picture() const { return picdiagram_->picture(); }

QImage DiagramPanel::renderImage(QSize size, bool reduce)
{
    reduce_ = reduce;
    QImage img = picdiagram_->renderTo(size);
    reduce_ = true;
    return img;
}

// --- Drawing ---------------------------------------------------------------------------------

void DiagramPanel::render(DrawingSurface& s, bool reduce)
{
    s.cls();
    if (!hasView_) return;
    const double n = settings().marginDivisor;
    const AxesLayout axes = layoutAxes(s.scale(), n);
    drawaxes(s, {legend_->lblscale()->colour(), nav_->gridOn(), n}, axes);
    const CurveStyles styles = legend_->curveStyles();
    const QRect plot = plotRect(s, axes);
    curves_.draw(s, data_, false, reduce, styles, plot);
    curves_.draw(s, data_, true, reduce, styles, plot);
}

void DiagramPanel::drawMiniature(DrawingSurface& s)
{
    // The whole record, reduced per pixel column like the diagram, measured under fitted curves.
    const AxesLayout axes = layoutOverviewAxes(s.scale());
    const CurveStyles styles = legend_->curveStyles();
    const QRect plot = plotRect(s, axes);
    overviewCurves_.draw(s, data_, false, true, styles, plot);
    overviewCurves_.draw(s, data_, true, true, styles, plot);
    drawOverviewFrame(s, axes);
}

}  // namespace diagram
