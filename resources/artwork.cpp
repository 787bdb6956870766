#include "resources/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>

#include <cmath>
#include <functional>

namespace artwork {

namespace {

using Drawer = std::function<void(QPainter&)>;

// Icons are drawn on a 16-unit grid and rendered at 16, 24 and 32 pixels.
QIcon makeIcon(const Drawer& draw)
{
    QIcon icon;
    for (const int px : {16, 24, 32}) {
        QPixmap pm(px, px);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(px / 16.0, px / 16.0);
        draw(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

const QColor kInk(40, 48, 64);

void page(QPainter& p, QRectF r, const QColor& fill = QColor(250, 250, 246))
{
    const qreal fold = r.width() * 0.32;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(fill);
    p.drawPath(path);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(210, 214, 222));
    p.drawPath(corner);
}

void textLines(QPainter& p, QRectF r, int n, const QColor& c = QColor(120, 130, 150))
{
    p.setPen(QPen(c, 0.9));
    for (int i = 0; i < n; ++i) {
        const qreal y = r.top() + i * r.height() / std::max(1, n - 1);
        p.drawLine(QPointF(r.left(), y), QPointF(r.right() - (i % 2) * r.width() * 0.3, y));
    }
}

void coastCurve(QPainter& p, QRectF r, const QColor& c, qreal width = 1.3)
{
    QPainterPath path;
    for (int i = 0; i <= 20; ++i) {
        const qreal t = i / 20.0;
        const qreal v = 1.0 / (1.0 + 2.2 * t);  // falling velocity of a coasting vehicle
        const QPointF pt(r.left() + t * r.width(), r.bottom() - (v - 0.3) / 0.7 * r.height());
        if (i == 0) path.moveTo(pt);
        else path.lineTo(pt);
    }
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void folder(QPainter& p, QRectF r)
{
    QPainterPath back;
    back.moveTo(r.left(), r.bottom());
    back.lineTo(r.left(), r.top() + 1.5);
    back.lineTo(r.left() + r.width() * 0.38, r.top() + 1.5);
    back.lineTo(r.left() + r.width() * 0.48, r.top() + 3);
    back.lineTo(r.right() - 1, r.top() + 3);
    back.lineTo(r.right() - 1, r.bottom());
    back.closeSubpath();
    p.setPen(QPen(QColor(150, 100, 20), 0.8));
    p.setBrush(QColor(232, 176, 60));
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(r.left(), r.bottom());
    front.lineTo(r.left() + 2.2, r.top() + 6);
    front.lineTo(r.right(), r.top() + 6);
    front.lineTo(r.right() - 2.2, r.bottom());
    front.closeSubpath();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(255, 214, 110));
    g.setColorAt(1, QColor(240, 180, 60));
    p.setBrush(g);
    p.drawPath(front);
}

void plusBadge(QPainter& p, QPointF c)
{
    p.setPen(QPen(QColor(20, 110, 40), 0.8));
    p.setBrush(QColor(70, 180, 80));
    p.drawEllipse(c, 3.4, 3.4);
    p.setPen(QPen(Qt::white, 1.4));
    p.drawLine(QPointF(c.x() - 1.8, c.y()), QPointF(c.x() + 1.8, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - 1.8), QPointF(c.x(), c.y() + 1.8));
}

void stack(QPainter& p, QRectF r)
{
    page(p, r.translated(3, -2), QColor(226, 232, 244));
    page(p, r.translated(1.5, -1), QColor(238, 242, 250));
    page(p, r);
}

void chartFrame(QPainter& p, QRectF r)
{
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(200, 206, 216), 0.5, Qt::DotLine));
    for (int i = 1; i < 3; ++i) {
        const qreal y = r.top() + i * r.height() / 3;
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
}

void calculator(QPainter& p, QRectF r)
{
    p.setPen(QPen(kInk, 0.8));
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(120, 132, 150));
    g.setColorAt(1, QColor(70, 80, 98));
    p.setBrush(g);
    p.drawRoundedRect(r, 1.5, 1.5);
    p.setBrush(QColor(190, 230, 190));
    p.drawRect(QRectF(r.left() + 1.5, r.top() + 1.5, r.width() - 3, 3.2));
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) {
            p.setBrush(row == 2 && col == 2 ? QColor(240, 150, 60) : QColor(235, 238, 242));
            p.drawRect(QRectF(r.left() + 1.6 + col * (r.width() - 3) / 3, r.top() + 6 + row * 2.6, 2.2, 1.8));
        }
}

void table(QPainter& p, QRectF r)
{
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setBrush(QColor(90, 130, 200));
    p.drawRect(QRectF(r.left(), r.top(), r.width(), 2.6));
    p.setPen(QPen(QColor(150, 160, 180), 0.6));
    for (int i = 1; i < 4; ++i) {
        const qreal y = r.top() + 2.6 + i * (r.height() - 2.6) / 4;
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
    p.drawLine(QPointF(r.left() + r.width() * 0.4, r.top() + 2.6), QPointF(r.left() + r.width() * 0.4, r.bottom()));
}

void circleSymbol(QPainter& p, QPointF c, qreal radius, const QColor& colour, const QString& text, qreal fontSize)
{
    QRadialGradient g(c - QPointF(radius / 3, radius / 3), radius * 1.4);
    g.setColorAt(0, colour.lighter(150));
    g.setColorAt(1, colour);
    p.setPen(QPen(colour.darker(150), 0.8));
    p.setBrush(g);
    p.drawEllipse(c, radius, radius);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setBold(true);
    f.setPointSizeF(fontSize);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius), Qt::AlignCenter, text);
}

}  // namespace

QIcon toolIcon(Tool tool)
{
    switch (tool) {
    case Tool::New:
        return makeIcon([](QPainter& p) {
            page(p, QRectF(2.5, 1.5, 10, 13));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 200, 40));
            QPainterPath star;
            for (int i = 0; i < 10; ++i) {
                const double a = -M_PI / 2 + i * M_PI / 5;
                const double rr = i % 2 ? 1.4 : 3.4;
                const QPointF pt(12 + rr * std::cos(a), 4 + rr * std::sin(a));
                if (i == 0) star.moveTo(pt);
                else star.lineTo(pt);
            }
            star.closeSubpath();
            p.setPen(QPen(QColor(190, 130, 0), 0.5));
            p.drawPath(star);
        });
    case Tool::Open:
        return makeIcon([](QPainter& p) { folder(p, QRectF(0.5, 2.5, 15, 11.5)); });
    case Tool::Save:
        return makeIcon([](QPainter& p) {
            p.setPen(QPen(QColor(20, 40, 90), 0.8));
            p.setBrush(QColor(50, 90, 170));
            p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.2, 1.2);
            p.setBrush(QColor(236, 240, 246));
            p.drawRect(QRectF(4, 1.5, 8, 5));
            p.setBrush(QColor(50, 90, 170));
            p.drawRect(QRectF(9.5, 2.3, 1.6, 3.2));
            p.setBrush(QColor(250, 250, 250));
            p.drawRect(QRectF(3.5, 9, 9, 5.5));
            textLines(p, QRectF(5, 10.8, 6, 2.2), 2);
        });
    case Tool::Cut:
        return makeIcon([](QPainter& p) {
            p.setPen(QPen(QColor(90, 96, 110), 1.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(5, 1.5), QPointF(10.5, 10));
            p.drawLine(QPointF(11, 1.5), QPointF(5.5, 10));
            p.setPen(QPen(QColor(190, 30, 40), 1.3));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(4.5, 12), 2.4, 2.4);
            p.drawEllipse(QPointF(11.5, 12), 2.4, 2.4);
        });
    case Tool::Copy:
        return makeIcon([](QPainter& p) {
            page(p, QRectF(1.5, 1.5, 8.5, 10.5));
            textLines(p, QRectF(3, 5, 5, 5), 3);
            page(p, QRectF(6, 4.5, 8.5, 10.5));
            textLines(p, QRectF(7.5, 8, 5, 5), 3);
        });
    case Tool::Paste:
        return makeIcon([](QPainter& p) {
            p.setPen(QPen(QColor(90, 60, 20), 0.8));
            p.setBrush(QColor(196, 140, 72));
            p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12.5), 1, 1);
            p.setBrush(QColor(170, 174, 184));
            p.drawRoundedRect(QRectF(4, 1, 5, 3), 0.8, 0.8);
            page(p, QRectF(6.5, 6, 8, 9.5));
            textLines(p, QRectF(8, 9.5, 4.5, 4.5), 3);
        });
    case Tool::Graph:
        return makeIcon([](QPainter& p) {
            chartFrame(p, QRectF(1.5, 2, 13, 12));
            coastCurve(p, QRectF(2.5, 3.5, 11, 9.5), QColor(30, 90, 200));
            coastCurve(p, QRectF(2.5, 4.5, 11, 8.5), QColor(220, 40, 40), 0.9);
        });
    case Tool::Calculation:
        return makeIcon([](QPainter& p) { calculator(p, QRectF(3, 1, 10, 14)); });
    case Tool::Protocol:
        return makeIcon([](QPainter& p) { table(p, QRectF(1.5, 2, 13, 12)); });
    case Tool::Help:
        return makeIcon([](QPainter& p) { circleSymbol(p, QPointF(8, 8), 6.6, QColor(40, 100, 200), QStringLiteral("?"), 8.5); });
    }
    return {};
}

QIcon treeIcon(int image)
{
    switch (image) {
    case 1:  // the root: a drawer of data files
        return makeIcon([](QPainter& p) {
            p.setPen(QPen(QColor(60, 70, 90), 0.8));
            QLinearGradient g(0, 0, 0, 16);
            g.setColorAt(0, QColor(150, 170, 200));
            g.setColorAt(1, QColor(90, 110, 150));
            p.setBrush(g);
            p.drawRoundedRect(QRectF(1.5, 2, 13, 12), 1, 1);
            p.setBrush(QColor(230, 236, 246));
            p.drawRect(QRectF(3, 4, 10, 3.5));
            p.drawRect(QRectF(3, 9, 10, 3.5));
            p.setBrush(QColor(60, 70, 90));
            p.drawRect(QRectF(6.5, 5.2, 3, 1));
            p.drawRect(QRectF(6.5, 10.2, 3, 1));
        });
    case 2:
        return makeIcon([](QPainter& p) {
            page(p, QRectF(2.5, 1.5, 11, 13));
            coastCurve(p, QRectF(4, 5, 8, 7.5), QColor(30, 90, 200));
        });
    case 3:
        return makeIcon([](QPainter& p) {
            stack(p, QRectF(1.5, 3, 10, 12));
            coastCurve(p, QRectF(3, 6.5, 7, 6.5), QColor(200, 60, 40));
        });
    case 4: return toolIcon(Tool::Graph);
    case 5: return toolIcon(Tool::Calculation);
    case 6: return toolIcon(Tool::Protocol);
    case 7:
        return makeIcon([](QPainter& p) { circleSymbol(p, QPointF(8, 8), 6.2, QColor(30, 140, 150), QStringLiteral("i"), 8); });
    case 8:
        return makeIcon([](QPainter& p) {
            p.setPen(QPen(QColor(30, 110, 120), 0.8));
            p.setBrush(QColor(120, 200, 200));
            QPainterPath tag;
            tag.moveTo(2, 8);
            tag.lineTo(6, 4);
            tag.lineTo(14, 4);
            tag.lineTo(14, 12);
            tag.lineTo(6, 12);
            tag.closeSubpath();
            p.drawPath(tag);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(6, 8), 1.1, 1.1);
        });
    default: return {};
    }
}

QIcon browserIcon(const QString& key)
{
    if (key == QLatin1String("createctd"))
        return makeIcon([](QPainter& p) {
            page(p, QRectF(1.5, 1.5, 10, 13));
            coastCurve(p, QRectF(3, 5, 7, 6), QColor(30, 90, 200));
            plusBadge(p, QPointF(11.8, 11.8));
        });
    if (key == QLatin1String("creatects"))
        return makeIcon([](QPainter& p) {
            stack(p, QRectF(1, 3, 9.5, 12));
            plusBadge(p, QPointF(11.8, 11.8));
        });
    if (key == QLatin1String("openctd"))
        return makeIcon([](QPainter& p) {
            page(p, QRectF(6, 0.5, 8, 9.5));
            coastCurve(p, QRectF(7.2, 3, 5.5, 4.5), QColor(30, 90, 200), 1.0);
            folder(p, QRectF(0.5, 5, 13, 10));
        });
    if (key == QLatin1String("opencts"))
        return makeIcon([](QPainter& p) {
            stack(p, QRectF(5, 2, 7.5, 8.5));
            folder(p, QRectF(0.5, 5, 13, 10));
        });
    return {};
}

QIcon applicationIcon()
{
    QIcon icon;
    for (const int px : {16, 32, 48, 64}) {
        QPixmap pm(px, px);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(px / 16.0, px / 16.0);
        QLinearGradient g(0, 0, 0, 16);
        g.setColorAt(0, QColor(40, 80, 160));
        g.setColorAt(1, QColor(20, 40, 90));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
        coastCurve(p, QRectF(2.5, 3, 11, 9), QColor(255, 200, 60), 1.6);
        p.setPen(QPen(QColor(200, 220, 255), 0.8));
        p.drawLine(QPointF(2.5, 13.2), QPointF(13.5, 13.2));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QImage splashBanner(bool variantB)
{
    const int w = 552, h = 212;
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Sky
    QLinearGradient sky(0, 0, 0, h * 0.62);
    sky.setColorAt(0, variantB ? QColor(28, 22, 70) : QColor(40, 110, 190));
    sky.setColorAt(1, variantB ? QColor(230, 120, 70) : QColor(170, 210, 240));
    p.fillRect(QRectF(0, 0, w, h * 0.62), sky);
    // Sun
    const QPointF sun(variantB ? 420 : 470, variantB ? 118 : 46);
    QRadialGradient glow(sun, 60);
    glow.setColorAt(0, variantB ? QColor(255, 200, 120, 230) : QColor(255, 250, 220, 230));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(sun, 60, 60);
    p.setBrush(variantB ? QColor(255, 170, 90) : QColor(255, 245, 200));
    p.drawEllipse(sun, 14, 14);
    // Hills
    QPainterPath hills;
    hills.moveTo(0, h * 0.62);
    for (int x = 0; x <= w; x += 8)
        hills.lineTo(x, h * 0.62 - 14 - 10 * std::sin(x / 70.0) - 6 * std::sin(x / 23.0));
    hills.lineTo(w, h * 0.62);
    hills.closeSubpath();
    p.setBrush(variantB ? QColor(50, 40, 70) : QColor(80, 140, 90));
    p.drawPath(hills);
    // Ground and road in perspective
    QLinearGradient ground(0, h * 0.62, 0, h);
    ground.setColorAt(0, variantB ? QColor(60, 50, 60) : QColor(110, 170, 90));
    ground.setColorAt(1, variantB ? QColor(30, 26, 36) : QColor(70, 130, 60));
    p.fillRect(QRectF(0, h * 0.62, w, h * 0.38), ground);
    QPainterPath road;
    road.moveTo(w * 0.47, h * 0.62);
    road.lineTo(w * 0.53, h * 0.62);
    road.lineTo(w * 0.95, h);
    road.lineTo(w * 0.05, h);
    road.closeSubpath();
    p.setBrush(variantB ? QColor(45, 45, 55) : QColor(90, 92, 100));
    p.drawPath(road);
    p.setPen(QPen(variantB ? QColor(255, 210, 120) : QColor(250, 250, 250), 2));
    for (int i = 0; i < 6; ++i) {
        const double t0 = i / 6.0 + 0.03, t1 = t0 + 0.08;
        auto yAt = [&](double t) { return h * 0.62 + (h * 0.38) * t * t; };
        p.drawLine(QPointF(w * 0.5, yAt(t0)), QPointF(w * 0.5, yAt(t1)));
    }
    // A coast-down curve over the scene
    QPainterPath curve;
    for (int i = 0; i <= 60; ++i) {
        const double t = i / 60.0;
        const double v = 1.0 / (1.0 + 2.4 * t);
        const QPointF pt(36 + t * 480, 160 - (v - 0.29) / 0.71 * 92);
        if (i == 0) curve.moveTo(pt);
        else curve.lineTo(pt);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(variantB ? QColor(255, 220, 120, 200) : QColor(255, 255, 255, 190), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);
    // Car silhouette on the road
    p.save();
    p.translate(w * 0.5 - 44, h - 50);
    QPainterPath car;
    car.moveTo(0, 30);
    car.lineTo(4, 16);
    car.lineTo(24, 12);
    car.lineTo(36, 0);
    car.lineTo(62, 0);
    car.lineTo(76, 12);
    car.lineTo(88, 16);
    car.lineTo(88, 30);
    car.closeSubpath();
    p.setPen(QPen(QColor(20, 20, 30), 1.2));
    p.setBrush(variantB ? QColor(180, 40, 60) : QColor(200, 30, 40));
    p.drawPath(car);
    p.setBrush(variantB ? QColor(255, 200, 140) : QColor(180, 220, 250));
    QPainterPath glass;
    glass.moveTo(29, 12);
    glass.lineTo(39, 3);
    glass.lineTo(59, 3);
    glass.lineTo(69, 12);
    glass.closeSubpath();
    p.drawPath(glass);
    p.setBrush(QColor(25, 25, 30));
    p.drawEllipse(QPointF(20, 30), 8, 8);
    p.drawEllipse(QPointF(68, 30), 8, 8);
    p.restore();
    // Title
    QFont title(QStringLiteral("Liberation Sans"), 34, QFont::Bold);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QRectF(2, 62, w, 60), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Tarnwell"));
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 60, w, 60), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Tarnwell"));
    QFont sub(QStringLiteral("Liberation Sans"), 11, QFont::Bold);
    p.setFont(sub);
    p.setPen(QColor(255, 255, 255, 220));
    p.drawText(QRectF(0, 112, w, 22), Qt::AlignHCenter, QStringLiteral("Coast-down test evaluation"));
    p.end();
    return img;
}

QImage aboutBackground(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, QColor(12, 24, 52));
    g.setColorAt(0.6, QColor(30, 56, 104));
    g.setColorAt(1, QColor(8, 14, 30));
    p.fillRect(img.rect(), g);
    // Families of coast-down curves, faint, across the picture
    for (int k = 0; k < 9; ++k) {
        QPainterPath curve;
        const double a = 1.4 + k * 0.45;
        for (int i = 0; i <= 80; ++i) {
            const double t = i / 80.0;
            const double v = 1.0 / (1.0 + a * t);
            const QPointF pt(size.width() * (0.04 + 0.92 * t), size.height() * (0.08 + 0.5 * (1 - v)) + k * 6);
            if (i == 0) curve.moveTo(pt);
            else curve.lineTo(pt);
        }
        p.setPen(QPen(QColor(120, 180, 255, 40 + k * 8), 2));
        p.drawPath(curve);
    }
    p.setPen(QPen(QColor(255, 255, 255, 25), 1));
    for (int x = 0; x < size.width(); x += 40) p.drawLine(x, 0, x, size.height());
    for (int y = 0; y < size.height(); y += 40) p.drawLine(0, y, size.width(), y);
    QFont title(QStringLiteral("Liberation Sans"), 44, QFont::Bold);
    p.setFont(title);
    p.setPen(QColor(255, 255, 255, 230));
    p.drawText(QRectF(0, size.height() * 0.06, size.width(), 80), Qt::AlignHCenter, QStringLiteral("Tarnwell"));
    QFont sub(QStringLiteral("Liberation Sans"), 16);
    p.setFont(sub);
    p.setPen(QColor(200, 220, 255, 220));
    p.drawText(QRectF(0, size.height() * 0.06 + 78, size.width(), 40), Qt::AlignHCenter,
               QStringLiteral("Evaluation of coast-down tests of road vehicles"));
    p.end();
    return img;
}

QImage naviball(int look, QSize size)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(size.width() / 2.0, size.height() / 2.0);
    const qreal r = std::min(size.width(), size.height()) / 2.0 - 1;
    QRadialGradient g(c - QPointF(r / 3, r / 3), r * 1.5);
    g.setColorAt(0, QColor(235, 242, 252));
    g.setColorAt(0.5, QColor(140, 170, 215));
    g.setColorAt(1, QColor(40, 70, 130));
    p.setPen(QPen(QColor(30, 50, 100), 1));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    // Arrows: up, down, left, right; the hovered one is lit.
    const std::array<double, 4> angles = {-M_PI / 2, M_PI / 2, M_PI, 0};
    for (int i = 0; i < 4; ++i) {
        const double a = angles[static_cast<size_t>(i)];
        const QPointF tip(c.x() + std::cos(a) * r * 0.82, c.y() + std::sin(a) * r * 0.82);
        const QPointF base(c.x() + std::cos(a) * r * 0.38, c.y() + std::sin(a) * r * 0.38);
        const QPointF side(-std::sin(a) * r * 0.26, std::cos(a) * r * 0.26);
        QPolygonF tri;
        tri << tip << base + side << base - side;
        const bool lit = look == i + 1;
        p.setPen(QPen(lit ? QColor(150, 60, 0) : QColor(20, 40, 90), 1));
        p.setBrush(lit ? QColor(255, 170, 40) : QColor(250, 252, 255, 220));
        p.drawPolygon(tri);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 50, 100, 160));
    p.drawEllipse(c, r * 0.12, r * 0.12);
    p.end();
    return img;
}

}  // namespace artwork
