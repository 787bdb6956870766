#include "diagram/legend.h"

#include <QMouseEvent>
#include <QPainter>

namespace diagram {

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

}  // namespace diagram
