#include "app/about_box.h"

#include "platform/place.h"
#include "resources/artwork.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>

namespace app {

namespace {

using platform::px;
using platform::twipsRect;

// picnamen's user scale: x from -1.5 (left) to 1.4 (right), y from 0.1 (top) to -0.5 (bottom).
// The narrow sans serif stands in for the classic dialog font, whose texts it fits.
const QString kDialogFont = QStringLiteral("Liberation Sans Narrow");

constexpr double kScaleLeft = -1.5, kScaleWidth = 2.9, kScaleTop = 0.1, kScaleHeight = -0.6;

QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& r, const QString& family,
              double points, bool bold, const QColor& colour)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(r);
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, colour);
    l->setPalette(pal);
    l->setAttribute(Qt::WA_TranslucentBackground);
    l->setWordWrap(r.height() > px(400));
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QFrame* blackPanel(QWidget* parent, const char* name, const QRect& r)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setGeometry(r);
    f->setAutoFillBackground(true);
    QPalette pal = f->palette();
    pal.setColor(QPalette::Window, Qt::black);
    f->setPalette(pal);
    return f;
}

}  // namespace

Frmabout::Frmabout(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmabout"));
    setWindowTitle(QStringLiteral("Tarnwell - About"));
    setWindowIcon(artwork::applicationIcon());
    setFixedSize(px(15195), px(11145));

    const QString arial = QStringLiteral("Arial");
    imgAbout = new QLabel(this);
    imgAbout->setObjectName(QStringLiteral("imgAbout"));
    imgAbout->setGeometry(twipsRect(0, 60, 15300, 11205));
    imgAbout->setPixmap(QPixmap::fromImage(artwork::aboutBackground(imgAbout->size())));

    scrvertikal = new QScrollBar(Qt::Vertical, this);
    scrvertikal->setObjectName(QStringLiteral("scrvertikal"));
    scrvertikal->setGeometry(twipsRect(240, 3000, 435, 2145));
    scrvertikal->setMaximum(1000);
    scrhorizontal = new QScrollBar(Qt::Horizontal, this);
    scrhorizontal->setObjectName(QStringLiteral("scrhorizontal"));
    scrhorizontal->setGeometry(twipsRect(240, 5265, 2175, 210));
    scrhorizontal->setMaximum(1000);

    Frame2 = blackPanel(this, "Frame2", twipsRect(600, 7800, 4575, 2865));
    lblBeschreibung = label(Frame2, "lblBeschreibung", QStringLiteral("Project task:"), twipsRect(120, 0, 1905, 360),
                            arial, 15.75, true, Qt::white);
    lblBeschreibung->setWordWrap(false);
    Label2 = label(Frame2, "Label2",
                   QStringLiteral("The coastdown method can be used to estimate the drag forces that act on a vehicle "
                                  "when operating in its natural environment."),
                   twipsRect(120, 420, 4515, 1245), kDialogFont, 12, true, Qt::white);
    Label12 = label(Frame2, "Label12",
                    QStringLiteral("The task was to calculate the drag coefficients by simultaneous constrained linear "
                                   "inversion of coastdown data."),
                    twipsRect(120, 1680, 4515, 1245), kDialogFont, 12, true, Qt::white);

    Frame1 = blackPanel(this, "Frame1", twipsRect(10800, 8010, 3775, 1515));
    Label6 = label(Frame1, "Label6", QStringLiteral("@"), twipsRect(1200, 360, 1515, 1575), arial, 48, false,
                   QColor(0x40, 0x40, 0x40));
    Label6->setWordWrap(false);
    Label8 = label(Frame1, "Label8", QStringLiteral("Supervisors:"), twipsRect(60, 120, 1845, 330), arial, 14.25, true,
                   Qt::white);
    // The supervisor panel names the team's review roles, not people.
    Label4 = label(Frame1, "Label4", QStringLiteral("Engineering lead"), twipsRect(60, 540, 3600, 285), arial, 12.75,
                   true, Qt::white);
    Label7 = label(Frame1, "Label7", QStringLiteral("Design review"), twipsRect(60, 840, 3600, 285), arial, 12.75, true,
                   Qt::white);
    Label5 = label(Frame1, "Label5", QStringLiteral("Test review"), twipsRect(60, 1140, 3600, 285), arial, 12.75, true,
                   Qt::white);

    lblMitglieder = label(this, "lblMitglieder", QStringLiteral("Projektmitglieder:"), twipsRect(7080, 5625, 2505, 330),
                          arial, 14.25, true, Qt::white);
    lblMitglieder->setWordWrap(false);

    picnamen = blackPanel(this, "picnamen", twipsRect(7260, 5220, 7995, 1155));
    // The project members are the team's roles.
    const std::array<const char*, 3> names = {"lblmember1", "lblmember2", "lblmember3"};
    const std::array<QString, 3> roles = {QStringLiteral("Coefficient solver"), QStringLiteral("Analysis and diagram"),
                                          QStringLiteral("Import and report")};
    const std::array<int, 3> widths = {2655, 3015, 2835};
    for (size_t i = 0; i < lblmember.size(); ++i) {
        lblmember[i] = label(picnamen, names[i], roles[i], twipsRect(0, 0, widths[i], 495), arial, 14.25, false, Qt::white);
        lblmember[i]->setWordWrap(false);
        lblmember[i]->setAlignment(Qt::AlignCenter);
        lblmember[i]->hide();
    }

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setGeometry(QRect(px(720), px(10740), px(14580) - px(720), 1));
    Line1->setAutoFillBackground(true);
    QPalette white = Line1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Line1->setPalette(white);

    const std::array<const char*, 3> images = {"imgBlei", "imgUhr", "imgBirne"};
    for (size_t i = 0; i < hiddenImages.size(); ++i) {
        hiddenImages[i] = new QLabel(this);
        hiddenImages[i]->setObjectName(QLatin1String(images[i]));
        hiddenImages[i]->resize(px(720), px(720));
    }

    // Load
    for (QLabel* l : hiddenImages) l->hide();
    carousel.centreX = 0;
    carousel.centreY = 0;
    carousel.radiusX = 0.92f;
    carousel.radiusY = 0.18f;
    scrhorizontal->setValue(100);
    scrvertikal->setValue(100);

    tmrdreh = new QTimer(this);
    tmrdreh->setObjectName(QStringLiteral("tmrdreh"));
    tmrdreh->setInterval(20);
    connect(tmrdreh, &QTimer::timeout, this, &Frmabout::tmrdreh_Timer);
    tmrdreh->start();
}

void Frmabout::placeLabel(QLabel* l, CarouselPoint c)
{
    const double sx = picnamen->width() / kScaleWidth;    // pixels per unit
    const double sy = picnamen->height() / kScaleHeight;  // negative: y grows upwards
    const double left = (c.x - kScaleLeft) * sx - l->width() / 2.0;
    const double top = (c.y - kScaleTop) * sy - l->height() / 2.0;
    l->move(static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)));
    l->show();
}

void Frmabout::tmrdreh_Timer()
{
    const auto points = carousel.tick();
    for (size_t i = 0; i < lblmember.size(); ++i) placeLabel(lblmember[i], points[i]);
}

QPointF Frmabout::memberCentre(int k) const
{
    const QLabel* l = lblmember[static_cast<size_t>(k)];
    const QPointF c = QRectF(l->geometry()).center();
    return {kScaleLeft + c.x() / picnamen->width() * kScaleWidth, kScaleTop + c.y() / picnamen->height() * kScaleHeight};
}

void Frmabout::showEvent(QShowEvent* event)
{
    // The main window keeps the box after a close and shows it again at the next Help > About:
    // the names turn on from where they stopped.
    QWidget::showEvent(event);
    if (!tmrdreh->isActive()) tmrdreh->start();
}

void Frmabout::closeEvent(QCloseEvent* event)
{
    tmrdreh->stop();
    event->accept();
}

}  // namespace app
