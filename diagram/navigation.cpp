#include "diagram/navigation.h"

#include "diagram/core/defaults.h"
#include "diagram/layout.h"

#include <QCheckBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace diagram {
namespace {

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

Navigation::Navigation(QWidget* host, DrawingSurface* picture) : QObject(host), picture_(picture)
{
    const auto makeBar = [this, host](const char* name, Qt::Orientation o, int min, int max, int value) {
        auto* b = new NavScrollBar(o, host);
        b->setObjectName(name);
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

    chkgrid_ = new QCheckBox(QStringLiteral("Grid #"), host);
    chkgrid_->setObjectName("chkgrid");
    chkgrid_->setProperty("index", 0);
    chkgrid_->setToolTip(QStringLiteral("Grid enabled/disabled"));
    connect(chkgrid_, &QCheckBox::toggled, this, [this] { emit gridToggled(); });

    cmdresize_ = new QPushButton(QStringLiteral("1:1"), host);
    cmdresize_->setObjectName("cmdresize");
    cmdresize_->setProperty("index", 0);
    connect(cmdresize_, &QPushButton::clicked, this, [this] { emit resetClicked(); });

    cmdallplus_ = new QPushButton(host);
    cmdallplus_->setObjectName("cmdallplus");
    cmdallplus_->setToolTip(QStringLiteral("Zoom in"));
    cmdallplus_->setIcon(zoomIcon(true));
    cmdallminus_ = new QPushButton(host);
    cmdallminus_->setObjectName("cmdallminus");
    cmdallminus_->setToolTip(QStringLiteral("Zoom out"));
    cmdallminus_->setIcon(zoomIcon(false));
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

}  // namespace diagram
