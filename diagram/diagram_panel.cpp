#include "diagram/diagram_panel.h"

#include "diagram/core/defaults.h"
#include "diagram/core/reduce.h"
#include "diagram/core/scroll_model.h"
#include "diagram/core/ticks.h"
#include "numbers/numbers.h"
#include "platform/services.h"
#include "platform/twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>

#include <cmath>
#include <cstring>

namespace diagram {
namespace {

using platform::kTwipsPerPixel;
using platform::px;

void place(QWidget* w, double left, double top, double width, double height)
{
    w->setGeometry(px(left), px(top), std::max(1, px(width)), std::max(1, px(height)));
}

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

QString entryNumberCaption(int i) { return QStringLiteral("Nr.") + QString::fromStdString(numbers::integerToText(i)); }

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

QColor entryStartColour(int i)
{
    const std::string& text = settings().curveColours[static_cast<std::size_t>(i)];
    const double n = text.empty() ? curveColourNumber(i) : numbers::leadingNumber(text);
    return colourFromNumber(static_cast<int>(static_cast<long long>(n) & 0xFFFFFF));
}

}  // namespace

DiagramPanel::DiagramPanel(analysis::TabchildData& data, QWidget* parent) : QWidget(parent), data_(data)
{
    buildControls();
    setMinimumSize(400, 267);  // the smallest layout, 6000 x 4000 twips
    resize(800, 487);  // 12000 x 7305 twips: the legend area is 6090 twips high
    layoutControls(width() * kTwipsPerPixel, height() * kTwipsPerPixel);
}

DiagramPanel::~DiagramPanel() = default;

void DiagramPanel::buildControls()
{
    picdiagram_ = new DrawingSurface(this);
    picdiagram_->setObjectName("picdiagram");
    picdiagram_->setProperty("index", 0);
    picdiagram_->setProperty("tag", QStringLiteral("Picture"));
    picdiagram_->setRenderer([this](DrawingSurface& s) { render(s, reduce_); });

    const auto makeBar = [this](const char* name, Qt::Orientation o, int min, int max, int value) {
        auto* b = new NavScrollBar(o, this);
        b->setObjectName(name);
        b->setProperty("index", 0);
        b->setModel(ScrollModel(min, max, value));
        b->setSingleStep(1);
        connect(b, &NavScrollBar::navChanged, this, [this] { onBarChanged(); });
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

    chkgrid_ = new QCheckBox(QStringLiteral("Grid #"), this);
    chkgrid_->setObjectName("chkgrid");
    chkgrid_->setProperty("index", 0);
    chkgrid_->setToolTip(QStringLiteral("Grid enabled/disabled"));
    connect(chkgrid_, &QCheckBox::toggled, this, [this] { redrawCurrent(); });

    cmdresize_ = new QPushButton(QStringLiteral("1:1"), this);
    cmdresize_->setObjectName("cmdresize");
    cmdresize_->setProperty("index", 0);
    connect(cmdresize_, &QPushButton::clicked, this, [this] { Resize(0); });

    cmdallplus_ = new QPushButton(this);
    cmdallplus_->setObjectName("cmdallplus");
    cmdallplus_->setToolTip(QStringLiteral("Zoom in"));
    cmdallplus_->setIcon(zoomIcon(true));
    cmdallminus_ = new QPushButton(this);
    cmdallminus_->setObjectName("cmdallminus");
    cmdallminus_->setToolTip(QStringLiteral("Zoom out"));
    cmdallminus_->setIcon(zoomIcon(false));

    command2_ = new QPushButton(QStringLiteral("Set Legend"), this);
    command2_->setObjectName("Command2");
    command2_->hide();
    connect(command2_, &QPushButton::clicked, this, [this] { setlegend(); });

    // Legend: entries on a tall inner panel that moves inside the visible legend area.
    piclegmain_ = new QWidget(this);
    piclegmain_->setObjectName("piclegmain");
    picshowlegend_ = new QWidget(piclegmain_);
    picshowlegend_->setObjectName("picshowlegend");
    framelegend_ = new QGroupBox(QStringLiteral("Legend"), picshowlegend_);
    framelegend_->setObjectName("framelegend");
    fralegendtitle_ = new QWidget(piclegmain_);
    fralegendtitle_->setObjectName("fralegendtitle");
    cmdlegendtitle_ = new QPushButton(QStringLiteral("Legend"), fralegendtitle_);
    cmdlegendtitle_->setObjectName("cmdlegendtitle");
    for (int i = 0; i < kLegendEntries; ++i) {
        auto* c = new LegendCheckBox(entryNumberCaption(i), framelegend_);
        c->setObjectName("chk");
        c->setProperty("index", i);
        c->hide();
        connect(c, &QCheckBox::toggled, this, [this] { onLegendToggled(); });
        connect(c, &LegendCheckBox::rightPressed, this, [this, i] { onLegendColourRequest(i); });
        chk_[static_cast<std::size_t>(i)] = c;
        auto* b = new ColourBox(framelegend_);
        b->setObjectName("piclegend");
        b->setProperty("index", i);
        b->setColour(entryStartColour(i));
        b->hide();
        connect(b, &ColourBox::pressed, this, [this, i](int) { onLegendColourRequest(i); });
        piclegend_[static_cast<std::size_t>(i)] = b;
    }
    scrupdown_ = new QScrollBar(Qt::Vertical, this);
    scrupdown_->setObjectName("scrupdown");
    scrupdown_->setRange(0, 0);
    scrupdown_->setSingleStep(100);
    scrupdown_->setPageStep(1000);
    scrupdown_->hide();
    connect(scrupdown_, &QScrollBar::valueChanged, this, [this](int v) {
        picshowlegend_->move(0, -px(v));
    });

    pictest_ = new HintPicture(this);
    pictest_->setObjectName("pictest");
    // Clicks reach the picture below, so it can take the focus (and be copied) under the hint.
    pictest_->setAttribute(Qt::WA_TransparentForMouseEvents);

    lblbackground_ = new ColourLabel(QStringLiteral("Background colour"), this);
    lblbackground_->setObjectName("lblbackground");
    lblbackground_->setColour(QColor(255, 255, 255));
    connect(lblbackground_, &ColourLabel::clicked, this, [this] { chooseDiagramColour(lblbackground_, true); });
    lblscale_ = new ColourLabel(QStringLiteral("Scale colour"), this);
    lblscale_->setObjectName("lblscale");
    lblscale_->setColour(QColor(0, 0, 0));
    connect(lblscale_, &ColourLabel::clicked, this, [this] { chooseDiagramColour(lblscale_, false); });
    picdiagram_->setBackColor(lblbackground_->colour());

    txtn_ = new QLineEdit(this);
    txtn_->setObjectName("txtn");
    txtn_->setProperty("tag", QString());
    txtn_->hide();
}

// --- Layout -------------------------------------------------------------------------------

void DiagramPanel::layoutControls(int w, int h)
{
    QFont f = (w < 9000) ? QFont(QStringLiteral("Liberation Sans Narrow"), 8) : QFont(QStringLiteral("Liberation Sans"), 9);
    if (w > 15000 && h > 10000) f.setPointSize(10);
    picdiagram_->setLabelFont(f);
    if (h < 4000) h = 4000;
    if (w < 6000) w = 6000;

    place(picdiagram_, 740, 100, w - 3000, h - 1220);
    place(pictest_, 740, 100, w - 3000, h - 1220);
    place(scrheight_, 60, 100, 255, h - 1220);
    place(scrtop_, 360, 100, 255, h - 1220);
    place(cmdresize_, 60, h - 645 - 400, 555, 300);
    place(scrleft_, 740, h - 645 - 400, w - 3000, 255);
    place(scrwidth_, 740, h - 330 - 400, w - 3000, 255);
    place(chkgrid_, w - 2200, h - 750 - 400, 1000, 270);
    place(lblbackground_, w - 2250, h - 840, 1700, 240);
    place(lblscale_, w - 2250, h - 570, 1700, 240);
    place(cmdallplus_, 60, h - 720, 555, 555);
    place(cmdallminus_, 660, h - 720, 555, 555);
    place(piclegmain_, w - 2250, 100, 1700, h - 1220);
    place(scrupdown_, w - 500, 100, 255, h - 1220);
    place(picshowlegend_, 0, 0, 1700, 30000);
    picshowlegend_->move(0, -px(scrupdown_->value()));
    framelegend_->setGeometry(picshowlegend_->rect());
    place(fralegendtitle_, 0, 0, 1700, 330);
    cmdlegendtitle_->setGeometry(fralegendtitle_->rect());
    fralegendtitle_->raise();
    pictest_->raise();
}

void DiagramPanel::frmdiaresize()
{
    const int w = width() * kTwipsPerPixel;
    const int h = height() * kTwipsPerPixel;
    DiagramSettings& s = settings();
    if (w >= 7000 && h >= 5000) {
        s.marginDivisor = 9.0f;
        s.diagramStretch = static_cast<float>(9.0 / 8.0);
    } else {
        s.marginDivisor = 6.0f;
        s.diagramStretch = static_cast<float>(6.0 / 5.0);
    }
    layoutControls(w, h);
}

void DiagramPanel::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    layoutControls(e->size().width() * kTwipsPerPixel, e->size().height() * kTwipsPerPixel);
    if (legendLastEntry_ >= 0) fitLegendScroll();
}

// --- Legend ---------------------------------------------------------------------------------

int DiagramPanel::legendCapacity() const
{
    return piclegmain_->height() * kTwipsPerPixel / 433;
}

void DiagramPanel::fitLegendScroll()
{
    const int c = legendCapacity();
    const int e = legendLastEntry_;
    if (e > c + 1) {
        scrupdown_->setMaximum((e - c) * legendRowTwips_);
        scrupdown_->show();
    } else {
        scrupdown_->setMaximum(0);
        scrupdown_->hide();
    }
}

void DiagramPanel::setlegend()
{
    const int sets = std::clamp(data_.setCount, 0, 30);
    const int e = 2 * sets - 1;
    const int c = legendCapacity();
    const int h = e < c - 2 ? 433 : 325;
    legendRowTwips_ = h;
    legendLastEntry_ = e;
    for (int i = 0; i < kLegendEntries; ++i) {
        chk(i)->hide();
        chk(i)->setText(entryNumberCaption(i));
        piclegend(i)->hide();
        piclegend(i)->setColour(entryStartColour(i));
    }
    place(picshowlegend_, 0, 0, 1700, 30000);
    framelegend_->setGeometry(picshowlegend_->rect());
    fitLegendScroll();
    picshowlegend_->move(0, -px(scrupdown_->value()));
    for (int i = 0; i <= e; ++i) {
        const int d = (i % 2 == 0) ? 50 : 0;
        place(chk(i), 300, h * (i + 1) + d, 3500, 270);
        place(piclegend(i), 100, h * (i + 1) + 270 / 2 - 100 / 2 + d, 150, 100);
        piclegend(i)->show();
        const int set = i / 2 + 1;
        if (i % 2 == 0) {
            const QString name = QString::fromStdString(data_.dataFileNames[static_cast<std::size_t>(set)]);
            chk(i)->setText(name);
            chk(i)->setToolTip(name);
            chk(i)->show();
        } else {
            chk(i)->setText(QStringLiteral("Solution ") + QString::fromStdString(numbers::integerToText(set)));
            chk(i)->setToolTip(QStringLiteral("Solution of equation of motion"));
            chk(i)->show();
            chk(i)->setEnabled(false);
            piclegend(i)->setEnabled(false);
        }
    }
}

void DiagramPanel::enableFittedEntries()
{
    const int sets = std::clamp(data_.setCount, 0, 30);
    for (int k = 1; k <= 2 * sets - 1; k += 2) {
        chk(k)->setEnabled(true);
        piclegend(k)->setEnabled(true);
    }
}

bool DiagramPanel::changelegendcolour(int index)
{
    if (index < 0 || index >= kLegendEntries) return false;
    const QColor initial = lastDialogColour_ ? *lastDialogColour_ : piclegend(index)->colour();
    const std::optional<QColor> chosen = platform::colorDialog().ask(initial, this);
    if (!chosen) return false;
    lastDialogColour_ = *chosen;
    piclegend(index)->setColour(*chosen);
    return true;
}

void DiagramPanel::onLegendColourRequest(int index)
{
    if (!piclegend(index)->isEnabled() || !chk(index)->isEnabled()) return;
    if (!changelegendcolour(index)) return;
    redrawCurrent();
    diaoverview();
}

void DiagramPanel::onLegendToggled()
{
    diaoverview();
    pictest_->hide();
    redrawCurrent();
}

void DiagramPanel::chooseDiagramColour(ColourLabel* label, bool background)
{
    const QColor initial = lastDialogColour_ ? *lastDialogColour_ : label->colour();
    const std::optional<QColor> chosen = platform::colorDialog().ask(initial, this);
    if (!chosen) return;
    lastDialogColour_ = *chosen;
    label->setColour(*chosen);
    if (background) picdiagram_->setBackColor(*chosen);
    redrawCurrent();
}

// --- View, scale and navigation -------------------------------------------------------------

QString DiagramPanel::txtnTag() const { return txtn_->property("tag").toString(); }

void DiagramPanel::setOverflow()
{
    overflowed_ = true;
    txtn_->setProperty("tag", QStringLiteral("1"));
}

void DiagramPanel::diastandard(double left, double width, double top, double height, int index)
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
    scrbarsettings(left, width, top, height, index);
    emit viewDrawn(u.left, u.width, u.top, u.height);
}

void DiagramPanel::startzoom(double left, double width, double top, double height, int index)
{
    diastandard(left, width, top, height, index);
}

void DiagramPanel::scrbarsettings(double left, double width, double top, double height, int)
{
    if (overflowed_) {
        // Only navigation stops: the picture keeps its focus, so it can still be copied.
        picdiagram_->setMouseNavigation(false);
        cmdallminus_->setEnabled(false);
        cmdallplus_->setEnabled(false);
        scrleft_->setEnabled(false);
        scrtop_->setEnabled(false);
        cmdresize_->setEnabled(false);
        emit navigationSwitchedOff();
        return;
    }
    DiagramSettings& st = settings();
    st.scrollEventsEnabled = false;
    NavBars b{scrleft_->model(), scrwidth_->model(), scrtop_->model(), scrheight_->model()};
    diagram::scrbarsettings(b, {left, width, top, height}, recordExtent(data_), st.zoomPending);
    scrwidth_->setModel(b.width);
    scrleft_->setModel(b.left);
    scrheight_->setModel(b.height);
    scrtop_->setModel(b.top);
    st.scrollEventsEnabled = true;
    st.zoomPending = false;
}

void DiagramPanel::onBarChanged()
{
    // After an overflow the bars hold no view any more: a move from outside must not pan.
    if (overflowed_) return;
    if (settings().scrollEventsEnabled) startscr(0);
}

void DiagramPanel::startscr(int index)
{
    const NavBars b{scrleft_->model(), scrwidth_->model(), scrtop_->model(), scrheight_->model()};
    const View v = viewFromBars(b);
    diastandard(v.left, v.width, v.top, v.height, index);
}

void DiagramPanel::Resize(int index)
{
    const View v = defaultView(data_);
    diastandard(v.left, v.width, v.top, v.height, index);
    cmdallminus_->setEnabled(false);
}

void DiagramPanel::redrawCurrent()
{
    if (overflowed_)
        Resize(0);
    else
        startscr(0);
}

void DiagramPanel::diaoverview()
{
    // The miniature in the data browser is drawn by the overview; nothing to draw here yet.
}

void DiagramPanel::activate_drawinoverview()
{
    const DiagramSettings& st = settings();
    const UnitView u = viewFromScale(picdiagram_->scale(), st.marginDivisor, st.diagramStretch);
    emit viewDrawn(u.left, u.width, u.top, u.height);
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
    drawaxes(s);
    drawCurves(s, false, reduce);
    drawCurves(s, true, reduce);
}

void DiagramPanel::drawaxes(DrawingSurface& s)
{
    const Scale sc = s.scale();
    const double n = settings().marginDivisor;
    const AxesLayout a = layoutAxes(sc, n);
    const QColor scale = lblscale_->colour();
    const QColor grid = (colourToNumber(scale) == 0) ? QColor(0x80, 0x80, 0x80) : scale;
    const bool gridOn = chkgrid_->checkState() == Qt::Checked;
    const double mX = a.marginX;
    const double mY = a.marginY;
    const double B = a.bottom;
    const double ax = a.axisX;
    const double ay = a.axisY;
    const double right = sc.left + sc.width;

    s.setDrawWidth(1);
    s.setForeColor(scale);
    s.setDotted(false);
    const auto gridLine = [&](double x1, double y1, double x2, double y2) {
        s.setDotted(true);
        s.setForeColor(grid);
        s.line(x1, y1, x2, y2);
        s.setDotted(false);
        s.setForeColor(scale);
    };

    for (const Tick& t : a.vertical.major) {
        s.line(ax, t.pos, ax - mX / 8, t.pos);
        const QString label = QString::fromStdString(t.label);
        s.setCurrent(ax - s.textWidth(label) - mX / 6, t.pos - s.textHeight(label) / 2);
        s.print(label);
        if (gridOn) gridLine(ax, t.pos, right, t.pos);
    }
    for (double p : a.vertical.minor) s.line(ax, p, ax - mX / 16, p);

    // Vertical title, one letter per line in the left margin, the unit below it.
    const double d = mY / 4;
    const double y0 = B + mY * 3 / 4 * 7;
    const QString title = QStringLiteral("Velocity");
    for (int k = 0; k < title.size(); ++k) {
        const QString letter = title.mid(k, 1);
        double x = ax - s.textWidth(letter) - mX / 2 - mX / 3;
        if (letter == "l" || letter == "i") x -= mX / 27;
        if (letter == "t") x -= mX / 60;
        s.setCurrent(x, y0 - k * d);
        s.print(letter);
    }
    const QString unit = QStringLiteral("m/s");
    s.setCurrent(ax - s.textWidth(unit) - mX / 2 - mX / 3 + mX / 7.5, y0 - 9 * d);
    s.print(unit);

    for (const Tick& t : a.horizontal.major) {
        const QString label = QString::fromStdString(t.label);
        s.setCurrent(t.pos - s.textWidth(label) / 2, B + mY * 3 / 4);
        s.print(label);
        s.line(t.pos, ay, t.pos, B + mY * 4 / 5);
        if (gridOn) gridLine(t.pos, ay, t.pos, sc.top);
    }
    for (double p : a.horizontal.minor) s.line(p, ay, p, B + mY * 8 / 9);

    s.line(ax, sc.top, ax, sc.top + sc.height - sc.height / n);
    s.line(ax, ay, right, ay);

    const QString xTitle = QStringLiteral("Duration of measurement, s");
    s.setCurrent(sc.left + 0.55 * sc.width - s.textWidth(xTitle) / 2, B + mY * 1.2 / 3);
    s.print(xTitle);
}

DiagramPanel::CurveCache& DiagramPanel::curveCache(int entry, const analysis::ColMatrix& m, int set, int rows)
{
    CurveCache& c = curveCache_.at(static_cast<std::size_t>(entry));
    const double* v = m.column(set) + 1;
    std::array<std::uint64_t, 17> probe{};
    for (std::size_t k = 0; k < probe.size(); ++k) {
        const std::size_t at = static_cast<std::size_t>(rows - 1) * k / (probe.size() - 1);
        std::memcpy(&probe[k], v + at, sizeof(double));  // bitwise, so NaN compares equal
    }
    if (!c.valid || c.version != data_.dataVersion || c.array != m.data() || c.arrayRows != m.rows() ||
        c.arrayCols != m.cols() || c.rows != rows || c.probe != probe || c.summary.samples() != v) {
        c.summary.build(v, static_cast<std::size_t>(rows));
        c.valid = true;
        c.version = data_.dataVersion;
        c.array = m.data();
        c.arrayRows = m.rows();
        c.arrayCols = m.cols();
        c.rows = rows;
        c.probe = probe;
        c.pointsValid = false;
    }
    return c;
}

void DiagramPanel::drawCurves(DrawingSurface& s, bool fitted, bool reduce)
{
    const analysis::ColMatrix& m = fitted ? data_.fittedVelocities : data_.velocitySamples;
    if (m.empty()) return;
    const int rows = std::min(data_.samples(), m.rows());
    if (rows < 1) return;
    const double dxUnits = data_.sampleInterval * 1000.0 * kXUnitsPerMs;
    const Scale sc = s.scale();
    const int columns = std::max(1, static_cast<int>(std::lround(std::fabs(s.toPixel(sc.left + sc.width, 0).x() - s.toPixel(sc.left, 0).x()))));
    const int sets = std::min({data_.setCount, m.cols(), 30});
    std::vector<CurvePoint> pts;
    std::vector<double> xy;
    s.setDrawWidth(1);
    s.setDotted(false);
    for (int set = 1; set <= sets; ++set) {
        const int entry = 2 * (set - 1) + (fitted ? 1 : 0);
        if (chk(entry)->checkState() != Qt::Checked) continue;
        s.setForeColor(piclegend(entry)->colour());
        // Row 0 is never drawn: row r lies at time (r - 1) * dt.
        const double* v = m.column(set) + 1;
        const auto toUnits = [](const std::vector<CurvePoint>& p, std::vector<double>& out) {
            out.resize(p.size() * 2);
            for (std::size_t i = 0; i < p.size(); ++i) {
                out[2 * i] = p[i].x;
                out[2 * i + 1] = p[i].y * kYUnitsPerMps;
            }
        };
        const std::vector<double>* line = &xy;
        if (reduce) {
            CurveCache& c = curveCache(entry, m, set, rows);
            const double left = sc.left;
            const double right = sc.left + sc.width;
            if (!c.pointsValid || c.viewLeft != left || c.viewRight != right || c.dx != dxUnits || c.columns != columns) {
                curvePoints(c.summary, 0.0, dxUnits, left, right, columns, pts);
                toUnits(pts, c.xy);
                c.pointsValid = true;
                c.viewLeft = left;
                c.viewRight = right;
                c.dx = dxUnits;
                c.columns = columns;
            }
            line = &c.xy;
        } else {
            curvePoints(v, static_cast<std::size_t>(rows), 0.0, dxUnits, sc.left, sc.left + sc.width, columns, false, pts);
            toUnits(pts, xy);
        }
        s.polyline(line->data(), line->size() / 2);
    }
    s.setForeColor(QColor(0, 0, 0));
}

}  // namespace diagram
