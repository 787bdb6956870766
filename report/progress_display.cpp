#include "report/progress_display.h"

#include "analysis/frm_tabchild.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QSlider>

#include <cmath>

namespace report {

namespace {
void pumpEvents() { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }
}  // namespace

ProgressDisplay::ProgressDisplay(analysis::FrmTabchild& window) : w_(window)
{
    progress_.bar = static_cast<float>(w_.pgrExcel->value());
    progress_.slider = w_.sldBlendExcel->value();
    fade_ = QObject::connect(w_.sldBlendExcel, &QSlider::valueChanged, w_.sldBlendExcel, [this](int) { sldBlendExcel_Change(); });
}

ProgressDisplay::~ProgressDisplay() { QObject::disconnect(fade_); }

void ProgressDisplay::step()
{
    progress_.step();
    w_.pgrExcel->setValue(static_cast<int>(std::lround(progress_.bar)));
    w_.sldBlendExcel->setValue(progress_.slider);
    pumpEvents();
}

void ProgressDisplay::reset()
{
    progress_ = Progress{};
    w_.pgrExcel->setValue(0);
    w_.sldBlendExcel->setValue(255);
}

// The source picture over the cleared target, with the constant alpha 255 - slider value. The
// target is cleared to transparent, so the page shows through it as it shows around it.
void ProgressDisplay::sldBlendExcel_Change()
{
    pumpEvents();
    const int alpha = 255 - w_.sldBlendExcel->value();
    const QPixmap source = w_.picSrcExcel->pixmap();
    QImage target(w_.picDestExcel->size(), QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::transparent);
    QPainter p(&target);
    p.setOpacity(alpha / 255.0);
    p.drawPixmap(QRect(QPoint(0, 0), source.size()), source);
    p.end();
    w_.picDestExcel->setPixmap(QPixmap::fromImage(target));
    w_.picDestExcel->repaint();
}

}  // namespace report
