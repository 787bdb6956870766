#include "app/splash.h"

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
    setObjectName(QStringLiteral("frmStart"));
    setWindowTitle(QStringLiteral("Tarnwell"));
    setFixedSize(552, 212);
    setFocusPolicy(Qt::StrongFocus);

    picDest = new BlendPicture(this);
    picDest->setObjectName(QStringLiteral("picDest"));
    picDest->setGeometry(0, 0, 552, 212);
    picDest->background = artwork::splashBanner(false);
    connect(picDest, &BlendPicture::clicked, this, &Frmstart::finish);

    picSrc = new QLabel(this);
    picSrc->setObjectName(QStringLiteral("picSrc"));
    picSrc->setGeometry(0, 0, 552, 212);
    picSrc->setPixmap(QPixmap::fromImage(artwork::splashBanner(true)));
    picSrc->hide();
    picDest->source = picSrc->pixmap().toImage();

    sldBlend = new QSlider(Qt::Horizontal, this);
    sldBlend->setObjectName(QStringLiteral("sldBlend"));
    sldBlend->setRange(0, 255);
    sldBlend->setValue(255);
    sldBlend->hide();
    // The scroll event does what the change does.
    connect(sldBlend, &QSlider::valueChanged, this, &Frmstart::sldBlend_Change);

    auto makeLabel = [this](const char* name, const QString& text, const QRect& r, const QColor& colour) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(r);
        QFont f(QStringLiteral("Arial"), 9);
        f.setBold(true);
        l->setFont(f);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, colour);
        l->setPalette(pal);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        return l;
    };
    lblVersion = makeLabel("lblVersion", QStringLiteral("Version 1.1"), QRect(484, 4, 65, 15), Qt::white);
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The name labels carry the team's roles.
    const QColor grey(128, 128, 128);
    lblNames[0] = makeLabel("lblName1", QStringLiteral("Coefficient solver"), QRect(8, 4, 200, 15), grey);
    lblNames[1] = makeLabel("lblName2", QStringLiteral("Analysis and diagram"), QRect(8, 20, 200, 15), grey);
    lblNames[2] = makeLabel("lblName3", QStringLiteral("Import and report"), QRect(8, 36, 200, 15), grey);

    tmr1 = new QTimer(this);
    tmr1->setObjectName(QStringLiteral("tmr1"));
    tmr1->setInterval(10);
    connect(tmr1, &QTimer::timeout, this, &Frmstart::tmr1_Timer);
    tmr2 = new QTimer(this);
    tmr2->setObjectName(QStringLiteral("tmr2"));
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
