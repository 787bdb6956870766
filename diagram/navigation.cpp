#include "diagram/navigation.h"

#include "diagram/core/defaults.h"
#include "diagram/layout.h"
#include "platform/controls.h"

#include <cmath>

#include <QCheckBox>
#include <QGroupBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace diagram {
namespace {

using platform::make;

QIcon zoomIcon(bool plus)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.6));
    p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
    p.drawLine(QPointF(4, 6), QPointF(8, 6));
    if (plus) p.drawLine(QPointF(6, 4), QPointF(6, 8));
    return QIcon(pm);
}

}  // namespace

Navigation::Navigation(QWidget* host, DrawingSurface* picture, NavigationTarget& target)
    : QObject(host), picture_(picture), target_(target)
{
    const auto makeBar = [this, host](const char* name, Qt::Orientation o, int min, int max, int value) {
        auto* b = make<NavScrollBar>(host, name, o);
        b->setProperty("index", 0);
        b->setModel(ScrollModel(min, max, value));
        b->setSingleStep(1);
        connect(b, &NavScrollBar::navChanged, this, [this] {
            // After an overflow the bars hold no view any more: a move from outside must not pan.
            if (!off_ && settings().scrollEventsEnabled) emit barMoved();
        });
        return b;
    };
    scrleft_ = makeBar("scrleft", Qt::Horizontal, 0, 32000, 0);
    scrleft_->setPageStep(10);
    scrtop_ = makeBar("scrtop", Qt::Vertical, 1, 32000, 15000);
    scrtop_->setPageStep(5);
    scrwidth_ = makeBar("scrwidth", Qt::Horizontal, 2, 32000, 100);
    scrwidth_->hide();
    scrheight_ = makeBar("scrheight", Qt::Vertical, 2, 32000, 200);
    scrheight_->hide();

    chkgrid_ = make<QCheckBox>(host, "chkgrid", QStringLiteral("Grid #"));
    chkgrid_->setProperty("index", 0);
    chkgrid_->setToolTip(QStringLiteral("Grid enabled/disabled"));
    connect(chkgrid_, &QCheckBox::toggled, this, [this] { emit gridToggled(); });

    cmdresize_ = make<QPushButton>(host, "cmdresize", QStringLiteral("1:1"));
    cmdresize_->setProperty("index", 0);
    connect(cmdresize_, &QPushButton::clicked, this, [this] { emit resetClicked(); });

    cmdallplus_ = make<QPushButton>(host, "cmdallplus");
    cmdallplus_->setToolTip(QStringLiteral("Zoom in"));
    cmdallplus_->setIcon(zoomIcon(true));
    cmdallminus_ = make<QPushButton>(host, "cmdallminus");
    cmdallminus_->setToolTip(QStringLiteral("Zoom out"));
    cmdallminus_->setIcon(zoomIcon(false));
    connect(cmdallplus_, &QPushButton::clicked, this, [this] { cmdallplus_Click(); });
    connect(cmdallminus_, &QPushButton::clicked, this, [this] { cmdallminus_Click(); });

    frame2_ = make<QGroupBox>(host, "Frame2", QStringLiteral("Frame2"));
    frame2_->hide();
    cmdplus_ = hiddenButton("cmdplus", "+", ZoomStep::HalveWidth);
    cmdminus_ = hiddenButton("cmdminus", "-", ZoomStep::DoubleWidth);
    cmdplusvertical_ = hiddenButton("cmdplusvertical", "v+", ZoomStep::HalveHeight);
    cmdminusvertical_ = hiddenButton("cmdminusvertical", "v-", ZoomStep::DoubleHeight);

    connect(picture_, &DrawingSurface::mouseDown, this,
            [this](int button, int shift, double x, double y) { mousedown(0, button, shift, x, y); });
    connect(picture_, &DrawingSurface::mouseMove, this,
            [this](int button, int shift, double x, double y) { mousemove(0, button, shift, x, y); });
    connect(picture_, &DrawingSurface::mouseUp, this,
            [this](int button, int shift, double x, double y) { mouseup(0, button, shift, x, y); });
}

QPushButton* Navigation::hiddenButton(const char* name, const char* caption, ZoomStep step)
{
    auto* b = make<QPushButton>(frame2_, name, QString::fromLatin1(caption));
    connect(b, &QPushButton::clicked, this, [this, step] { runStep(step); });
    return b;
}

NavBars Navigation::bars() const
{
    return {scrleft_->model(), scrwidth_->model(), scrtop_->model(), scrheight_->model()};
}

void Navigation::write(const View& view, const RecordExtent& extent)
{
    DiagramSettings& st = settings();
    st.scrollEventsEnabled = false;
    NavBars b = bars();
    diagram::scrbarsettings(b, view, extent, st.zoomPending);
    scrwidth_->setModel(b.width);
    scrleft_->setModel(b.left);
    scrheight_->setModel(b.height);
    scrtop_->setModel(b.top);
    st.scrollEventsEnabled = true;
    st.zoomPending = false;
}

void Navigation::switchOff()
{
    off_ = true;
    picture_->setMouseNavigation(false);
    cmdallminus_->setEnabled(false);
    cmdallplus_->setEnabled(false);
    scrleft_->setEnabled(false);
    scrtop_->setEnabled(false);
    cmdresize_->setEnabled(false);
}

void Navigation::place(const PanelLayout& l)
{
    diagram::place(scrheight_, l.scrheight);
    diagram::place(scrtop_, l.scrtop);
    diagram::place(cmdresize_, l.cmdresize);
    diagram::place(scrleft_, l.scrleft);
    diagram::place(scrwidth_, l.scrwidth);
    diagram::place(chkgrid_, l.chkgrid);
    diagram::place(cmdallplus_, l.cmdallplus);
    diagram::place(cmdallminus_, l.cmdallminus);
}

bool Navigation::gridOn() const { return chkgrid_->checkState() == Qt::Checked; }

// --- Zoom buttons ---------------------------------------------------------------------------

void Navigation::runStep(ZoomStep step)
{
    if (off_) return;
    NavBars b = bars();
    const View v = zoomStep(step, b, target_.extent());
    DiagramSettings& st = settings();
    st.scrollEventsEnabled = false;
    scrwidth_->setModel(b.width);
    scrleft_->setModel(b.left);
    scrheight_->setModel(b.height);
    scrtop_->setModel(b.top);
    st.scrollEventsEnabled = true;
    target_.startzoom(v);
}

void Navigation::cmdallplus_Click()
{
    if (off_) return;
    cmdallminus_->setEnabled(true);
    runStep(ZoomStep::HalveWidth);
    runStep(ZoomStep::HalveHeight);
    if (atSmallestView(bars())) cmdallplus_->setEnabled(false);
}

void Navigation::cmdallminus_Click()
{
    if (off_) return;
    cmdallplus_->setEnabled(true);
    runStep(ZoomStep::DoubleWidth);
    runStep(ZoomStep::DoubleHeight);
    if (atFullExtent(bars(), target_.extent())) cmdallminus_->setEnabled(false);
}

// --- Mouse zoom and pan ---------------------------------------------------------------------

namespace {

// A position off the picture counts as its nearest edge, so the band stays on the picture.
void clipToPicture(const Scale& s, double& x, double& y)
{
    const double right = s.left + s.width;
    const double bottom = s.top + s.height;
    x = std::clamp(x, std::min(s.left, right), std::max(s.left, right));
    y = std::clamp(y, std::min(s.top, bottom), std::max(s.top, bottom));
}

}  // namespace

void Navigation::mousedown(int, int button, int, double x, double y)
{
    // A position that is no number has no place on the picture and must not reach the view.
    if (off_ || !std::isfinite(x) || !std::isfinite(y)) return;
    DiagramSettings& st = settings();
    if (button == 1) {
        clipToPicture(picture_->scale(), x, y);
        picture_->setForeColor(QColor(255, 0, 0));
        st.zoomStartX = static_cast<float>(std::floor(x));
        st.zoomStartY = static_cast<float>(std::floor(y));
        picture_->setAutoRedraw(false);
    }
    if (button == 2) {
        picture_->setCursor(Qt::ClosedHandCursor);
        st.panStartX = static_cast<float>(x);
        st.panStartY = static_cast<float>(y);
    }
}

void Navigation::mousemove(int, int button, int, double x, double y)
{
    if (off_ || !std::isfinite(x) || !std::isfinite(y)) return;
    const DiagramSettings& st = settings();
    if (button == 2) {
        // Each bar that moves sets the view at once but paints with the next frame, so a fast
        // mouse queues no redraws.
        scrleft_->setNavValue(panPosition(scrleft_->model(), x, st.panStartX, false));
        scrtop_->setNavValue(panPosition(scrtop_->model(), y, st.panStartY, true));
    }
    if (button == 1 && !picture_->autoRedraw()) {
        clipToPicture(picture_->scale(), x, y);
        const double sx = st.zoomStartX;
        const double sy = st.zoomStartY;
        picture_->cls();  // the band so far, not the diagram under it
        picture_->line(sx, sy, sx, y);
        picture_->line(sx, sy, x, sy);
        picture_->line(x, sy, x, y);
        picture_->line(sx, y, x, y);
    }
}

void Navigation::mouseup(int, int button, int, double x, double y)
{
    picture_->unsetCursor();
    if (button != 1) return;
    // Only a press on this picture starts a band.
    const bool banding = !picture_->autoRedraw();
    picture_->setForeColor(QColor(0, 0, 0));
    // The band goes with every release, whether a zoom follows or not.
    if (banding) picture_->cls();
    picture_->setAutoRedraw(true);
    if (!banding || off_ || !std::isfinite(x) || !std::isfinite(y)) return;

    DiagramSettings& st = settings();
    // A release off the picture is not clipped here: the zoom takes the picture's right edge
    // and the view's lower edge exactly, not the whole unit below them.
    RubberBand band{st.zoomStartX, st.zoomStartY, std::floor(x), std::floor(y)};
    const std::optional<RubberZoom> z = rubberBandZoom(band, picture_->scale(), st.marginDivisor, bars());
    if (!z) return;
    if (z->zoomOutUseful) cmdallminus_->setEnabled(true);
    st.zoomPending = true;
    target_.startzoom(z->view);
    st.scrollEventsEnabled = false;
    target_.scrbarsettings(z->view);
    st.scrollEventsEnabled = true;
}

}  // namespace diagram
