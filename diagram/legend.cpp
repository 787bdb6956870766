#include "diagram/legend.h"

#include "diagram/core/defaults.h"
#include "diagram/layout.h"
#include "numbers/numbers.h"
#include "platform/controls.h"
#include "platform/services.h"

#include <QGroupBox>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace diagram {
namespace {

using platform::make;

// The legend frame's line and a pixel of space inside it.
constexpr int kLegendFrameInset = 3;

QString entryNumberCaption(int i) { return QStringLiteral("Nr.") + QString::fromStdString(numbers::integerToText(i)); }

QColor entryStartColour(int i)
{
    const std::string& text = settings().curveColours[static_cast<std::size_t>(i)];
    const double n = text.empty() ? curveColourNumber(i) : numbers::leadingNumber(text);
    return colourFromNumber(static_cast<int>(static_cast<long long>(n) & 0xFFFFFF));
}

}  // namespace

QColor colourFromNumber(int number)
{
    const unsigned n = static_cast<unsigned>(number);
    return QColor(static_cast<int>(n & 0xFF), static_cast<int>((n >> 8) & 0xFF), static_cast<int>((n >> 16) & 0xFF));
}

int colourToNumber(const QColor& c) { return c.blue() * 65536 + c.green() * 256 + c.red(); }

void LegendCheckBox::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::RightButton) {
        emit rightPressed();
        e->accept();
        return;
    }
    QCheckBox::mousePressEvent(e);
}

void LegendCheckBox::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    // The box is wider than the frame it lies in: the caption gets the part of it that shows,
    // and keeps its end, which tells the runs of a series apart.
    const QRect label = style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, this);
    const int shown = parentWidget() ? parentWidget()->contentsRect().right() - kLegendFrameInset - x() : width() - 1;
    const int room = std::min(label.right(), shown) - label.left() + 1;
    // A file name is shown as it is: an "&" in it is no access key.
    opt.text = opt.fontMetrics.elidedText(opt.text, Qt::ElideLeft, std::max(0, room)).replace(QLatin1Char('&'), QStringLiteral("&&"));
    p.drawControl(QStyle::CE_CheckBox, opt);
}

ColourBox::ColourBox(QWidget* parent) : QWidget(parent) {}

void ColourBox::setColour(const QColor& c)
{
    colour_ = c;
    update();
}

void ColourBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), colour_);
    p.setPen(isEnabled() ? QColor(0, 0, 0) : QColor(160, 160, 160));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColourBox::mousePressEvent(QMouseEvent* e)
{
    int b = 0;
    if (e->button() == Qt::LeftButton) b = 1;
    if (e->button() == Qt::RightButton) b = 2;
    if (e->button() == Qt::MiddleButton) b = 4;
    e->accept();
    emit pressed(b);
}

ColourLabel::ColourLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setAutoFillBackground(true);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setCursor(Qt::PointingHandCursor);
}

void ColourLabel::setColour(const QColor& c)
{
    colour_ = c;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, c);
    // Keep the caption readable on dark colours.
    pal.setColor(QPalette::WindowText, c.lightness() < 110 ? QColor(255, 255, 255) : QColor(0, 0, 0));
    setPalette(pal);
}

void ColourLabel::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
    QLabel::mouseReleaseEvent(e);
}

Legend::Legend(QWidget* host) : QObject(host), host_(host)
{
    // Entries on a tall inner panel that moves inside the visible legend area.
    piclegmain_ = make<QWidget>(host, "piclegmain");
    picshowlegend_ = make<QWidget>(piclegmain_, "picshowlegend");
    framelegend_ = make<QGroupBox>(picshowlegend_, "framelegend", QStringLiteral("Legend"));
    fralegendtitle_ = make<QWidget>(piclegmain_, "fralegendtitle");
    cmdlegendtitle_ = make<QPushButton>(fralegendtitle_, "cmdlegendtitle", QStringLiteral("Legend"));
    for (int i = 0; i < kLegendEntries; ++i) {
        auto* c = make<LegendCheckBox>(framelegend_, "chk", entryNumberCaption(i));
        c->setProperty("index", i);
        c->hide();
        connect(c, &QCheckBox::toggled, this, [this] { emit ticksChanged(); });
        connect(c, &LegendCheckBox::rightPressed, this, [this, i] { onColourRequest(i); });
        chk_[static_cast<std::size_t>(i)] = c;
        auto* b = make<ColourBox>(framelegend_, "piclegend");
        b->setProperty("index", i);
        b->setColour(entryStartColour(i));
        b->hide();
        connect(b, &ColourBox::pressed, this, [this, i](int) { onColourRequest(i); });
        piclegend_[static_cast<std::size_t>(i)] = b;
    }
    scrupdown_ = make<QScrollBar>(host, "scrupdown", Qt::Vertical);
    scrupdown_->setRange(0, 0);
    scrupdown_->setSingleStep(100);
    scrupdown_->setPageStep(1000);
    scrupdown_->hide();
    connect(scrupdown_, &QScrollBar::valueChanged, this, [this](int v) {
        picshowlegend_->move(0, -platform::px(v));
    });

    lblbackground_ = make<ColourLabel>(host, "lblbackground", QStringLiteral("Background colour"));
    lblbackground_->setColour(QColor(255, 255, 255));
    connect(lblbackground_, &ColourLabel::clicked, this, [this] { chooseDiagramColour(lblbackground_, true); });
    lblscale_ = make<ColourLabel>(host, "lblscale", QStringLiteral("Scale colour"));
    lblscale_->setColour(QColor(0, 0, 0));
    connect(lblscale_, &ColourLabel::clicked, this, [this] { chooseDiagramColour(lblscale_, false); });
}

void Legend::place(const PanelLayout& l)
{
    diagram::place(lblbackground_, l.lblbackground);
    diagram::place(lblscale_, l.lblscale);
    diagram::place(piclegmain_, l.piclegmain);
    diagram::place(scrupdown_, l.scrupdown);
    diagram::place(picshowlegend_, {0, 0, 1700, 30000});
    picshowlegend_->move(0, -platform::px(scrupdown_->value()));
    framelegend_->setGeometry(picshowlegend_->rect());
    diagram::place(fralegendtitle_, {0, 0, 1700, 330});
    cmdlegendtitle_->setGeometry(fralegendtitle_->rect());
    fralegendtitle_->raise();
    if (lastEntry_ >= 0) fitScroll();
}

int Legend::capacity() const
{
    return piclegmain_->height() * platform::kTwipsPerPixel / 433;
}

void Legend::fitScroll()
{
    const int c = capacity();
    const int e = lastEntry_;
    if (e > c + 1) {
        scrupdown_->setMaximum((e - c) * rowTwips_);
        scrupdown_->show();
    } else {
        scrupdown_->setMaximum(0);
        scrupdown_->hide();
    }
}

void Legend::setlegend(const QStringList& names)
{
    const int sets = std::clamp(static_cast<int>(names.size()), 0, 30);
    const int e = 2 * sets - 1;
    const int c = capacity();
    const int h = e < c - 2 ? 433 : 325;
    rowTwips_ = h;
    lastEntry_ = e;
    for (int i = 0; i < kLegendEntries; ++i) {
        chk(i)->hide();
        chk(i)->setText(entryNumberCaption(i));
        piclegend(i)->hide();
        piclegend(i)->setColour(entryStartColour(i));
    }
    diagram::place(picshowlegend_, {0, 0, 1700, 30000});
    framelegend_->setGeometry(picshowlegend_->rect());
    fitScroll();
    picshowlegend_->move(0, -platform::px(scrupdown_->value()));
    for (int i = 0; i <= e; ++i) {
        const int d = (i % 2 == 0) ? 50 : 0;
        diagram::place(chk(i), {300, h * (i + 1) + d, 3500, 270});
        diagram::place(piclegend(i), {100, h * (i + 1) + 270 / 2 - 100 / 2 + d, 150, 100});
        piclegend(i)->show();
        const int set = i / 2 + 1;
        if (i % 2 == 0) {
            const QString& name = names[set - 1];
            chk(i)->setText(name);
            chk(i)->setShortcut(QKeySequence());  // nor makes it one
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

void Legend::enableFittedEntries(int setCount)
{
    const int sets = std::clamp(setCount, 0, 30);
    for (int k = 1; k <= 2 * sets - 1; k += 2) {
        chk(k)->setEnabled(true);
        piclegend(k)->setEnabled(true);
    }
}

std::optional<QColor> Legend::askColour(const QColor& current)
{
    const QColor initial = lastDialogColour_ ? *lastDialogColour_ : current;
    const std::optional<QColor> chosen = platform::colorDialog().ask(initial, host_);
    if (chosen) lastDialogColour_ = *chosen;
    return chosen;
}

bool Legend::changelegendcolour(int index)
{
    if (index < 0 || index >= kLegendEntries) return false;
    const std::optional<QColor> chosen = askColour(piclegend(index)->colour());
    if (!chosen) return false;
    piclegend(index)->setColour(*chosen);
    return true;
}

void Legend::onColourRequest(int index)
{
    if (!piclegend(index)->isEnabled() || !chk(index)->isEnabled()) return;
    if (changelegendcolour(index)) emit entryColourChanged();
}

void Legend::chooseDiagramColour(ColourLabel* label, bool background)
{
    const std::optional<QColor> chosen = askColour(label->colour());
    if (!chosen) return;
    label->setColour(*chosen);
    emit diagramColourChanged(background);
}

CurveStyles Legend::curveStyles() const
{
    CurveStyles styles;
    for (int i = 0; i < kCurveEntries; ++i) {
        styles[static_cast<std::size_t>(i)] = {chk(i)->checkState() == Qt::Checked, piclegend(i)->colour()};
    }
    return styles;
}

}  // namespace diagram
