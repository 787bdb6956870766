#include "resources/report_pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace artwork {

namespace {

// A coasting vehicle's velocity over time, falling ever more slowly, inside `r`.
QPainterPath coastDown(const QRectF& r)
{
    QPainterPath path;
    for (int i = 0; i <= 60; ++i) {
        const double t = i / 60.0;
        const double v = std::tan(std::atan(3.0) * (1 - t)) / 3.0;  // 1 at the start, 0 at rest
        const QPointF pt(r.left() + t * r.width(), r.bottom() - v * r.height());
        if (i == 0) path.moveTo(pt);
        else path.lineTo(pt);
    }
    return path;
}

}  // namespace

QImage reportTitle()
{
    const int w = 480, h = 180;
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF plot(34, 22, 300, 124);
    // Axes and a dotted grid in grey.
    p.setPen(QPen(QColor(120, 120, 120), 1, Qt::DotLine));
    for (int i = 1; i <= 3; ++i) p.drawLine(QPointF(plot.left(), plot.top() + i * plot.height() / 4), QPointF(plot.right(), plot.top() + i * plot.height() / 4));
    p.setPen(QPen(QColor(200, 200, 200), 2));
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    // Measured points and the fitted curve through them.
    const QPainterPath curve = coastDown(plot.adjusted(4, 4, -4, -6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    for (int i = 0; i <= 12; ++i) p.drawEllipse(curve.pointAtPercent(i / 12.0), 3.2, 3.2);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 196, 64), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(curve);
    // A wheel rolling out at the right.
    const QPointF hub(404, 92);
    p.setPen(QPen(Qt::white, 9));
    p.drawEllipse(hub, 46, 46);
    p.setPen(QPen(QColor(200, 200, 200), 3));
    for (int k = 0; k < 5; ++k) {
        const double a = k * 2 * M_PI / 5 + 0.3;
        p.drawLine(hub, hub + QPointF(38 * std::cos(a), 38 * std::sin(a)));
    }
    p.setBrush(Qt::white);
    p.drawEllipse(hub, 8, 8);
    p.setPen(QPen(QColor(200, 200, 200), 2));
    p.drawLine(QPointF(340, 146), QPointF(470, 146));
    p.end();
    return img;
}

QImage reportFade(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    const double w = size.width(), h = size.height();
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(236, 242, 250));
    sky.setColorAt(1, QColor(200, 214, 234));
    QPainter p(&img);
    p.fillRect(img.rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    // A small sheet: a header row and grid lines, with three columns of a chart beside it.
    const QRectF sheet(h * 0.15, h * 0.15, w * 0.5, h * 0.7);
    p.setPen(QPen(QColor(90, 100, 120), 1));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    p.fillRect(QRectF(sheet.left(), sheet.top(), sheet.width(), sheet.height() / 4), QColor(128, 128, 128));
    p.setPen(QPen(QColor(170, 178, 190), 1));
    for (int i = 2; i < 4; ++i) p.drawLine(QPointF(sheet.left(), sheet.top() + i * sheet.height() / 4), QPointF(sheet.right(), sheet.top() + i * sheet.height() / 4));
    for (int i = 1; i < 3; ++i) p.drawLine(QPointF(sheet.left() + i * sheet.width() / 3, sheet.top()), QPointF(sheet.left() + i * sheet.width() / 3, sheet.bottom()));
    const double base = sheet.bottom(), left = sheet.right() + w * 0.07, bar = w * 0.07;
    const double heights[] = {0.45, 0.7, 0.3};
    const QColor colours[] = {QColor(51, 51, 153), QColor(255, 0, 0), QColor(51, 51, 153)};
    for (int i = 0; i < 3; ++i)
        p.fillRect(QRectF(left + i * bar * 1.5, base - heights[i] * sheet.height(), bar, heights[i] * sheet.height()), colours[i]);
    p.end();
    return img;
}

}  // namespace artwork
