#include "app/splash.h"

#include "platform/controls.h"
#include "resources/artwork.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSlider>
#include <QTimer>

namespace app {

using platform::make;

BlendPicture::BlendPicture(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage BlendPicture::rendered() const
{
    QImage out = background.convertToFormat(QImage::Format_RGB32);
    QPainter p(&out);
    p.setOpacity(alpha / 255.0);
    p.drawImage(QPoint(0, 0), source);
    p.end();
    return out;
}

void BlendPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(QPoint(0, 0), background);
    p.setOpacity(alpha / 255.0);
    p.drawImage(QPoint(0, 0), source);
}

void BlendPicture::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) emit clicked();
}

Frmstart::Frmstart(QWidget* target, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), target_(target)
{
    platform::fixedWindow(this, QStringLiteral("frmStart"), QStringLiteral("Tarnwell"), 8280, 3180);
    setFocusPolicy(Qt::StrongFocus);

    picDest = make<BlendPicture>(this, "picDest", {0, 0, 8280, 3180});
    picDest->background = artwork::splashBanner(false);
    connect(picDest, &BlendPicture::clicked, this, &Frmstart::finish);

    picSrc = make<QLabel>(this, "picSrc", {0, 0, 8280, 3180});
    picSrc->setPixmap(QPixmap::fromImage(artwork::splashBanner(true)));
    picSrc->hide();
    picDest->source = picSrc->pixmap().toImage();

    sldBlend = make<QSlider>(this, "sldBlend", Qt::Horizontal);
    sldBlend->setRange(0, 255);
    sldBlend->setValue(255);
    sldBlend->hide();
    // The scroll event does what the change does.
    connect(sldBlend, &QSlider::valueChanged, this, &Frmstart::sldBlend_Change);

    lblVersion = make<QLabel>(this, "lblVersion", {7260, 60, 975, 225}, QStringLiteral("Version 1.1"));
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The name labels carry the team's roles.
    lblNames[0] = make<QLabel>(this, "lblName1", {120, 60, 3000, 225}, QStringLiteral("Coefficient solver"));
    lblNames[1] = make<QLabel>(this, "lblName2", {120, 300, 3000, 225}, QStringLiteral("Analysis and diagram"));
    lblNames[2] = make<QLabel>(this, "lblName3", {120, 540, 3000, 225}, QStringLiteral("Import and report"));
    QFont bold(QStringLiteral("Arial"), 9);
    bold.setBold(true);
    for (QLabel* l : {lblVersion, lblNames[0], lblNames[1], lblNames[2]}) {
        l->setFont(bold);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, l == lblVersion ? QColor(Qt::white) : QColor(128, 128, 128));
        l->setPalette(pal);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    tmr1 = make<QTimer>(this, "tmr1");
    tmr1->setInterval(10);
    connect(tmr1, &QTimer::timeout, this, &Frmstart::tmr1_Timer);
    tmr2 = make<QTimer>(this, "tmr2");
    tmr2->setInterval(3500);
    tmr2->setSingleShot(true);
    connect(tmr2, &QTimer::timeout, this, &Frmstart::tmr2_Timer);

    if (QScreen* s = QGuiApplication::primaryScreen()) move(s->availableGeometry().center() - rect().center());
}

void Frmstart::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (started_ || finished_) return;
    started_ = true;
    tmr2->start();
    tmr1->start();
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
}

void Frmstart::tmr1_Timer()
{
    if (sldBlend->value() >= 15) sldBlend->setValue(sldBlend->value() - 15);
}

void Frmstart::sldBlend_Change()
{
    // Drawing only; the event loop that runs the timers also delivers keys and clicks.
    picDest->alpha = 255 - sldBlend->value();
    picDest->update();
}

void Frmstart::tmr2_Timer() { finish(); }

void Frmstart::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    finish();
}

void Frmstart::closeEvent(QCloseEvent* event)
{
    // A close from outside (the window manager) ends the splash like a key does; without it the
    // main window would never show and the program would run on without any window.
    QWidget::closeEvent(event);
    if (!finished_) finish();
}

void Frmstart::finish()
{
    if (finished_) return;
    finished_ = true;
    tmr1->stop();
    tmr2->stop();
    // The main window first, so the program never sees a moment without a visible window.
    if (target_) {
        target_->show();
        target_->raise();
        target_->activateWindow();
        ++shows_;
    }
    close();
    emit ended();
}

}  // namespace app
