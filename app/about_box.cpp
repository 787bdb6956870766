#include "app/about_box.h"

#include "platform/controls.h"
#include "resources/artwork.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>

namespace app {

namespace {

using platform::make;
using platform::px;

// picnamen's user scale: x from -1.5 (left) to 1.4 (right), y from 0.1 (top) to -0.5 (bottom).
constexpr double kScaleLeft = -1.5, kScaleWidth = 2.9, kScaleTop = 0.1, kScaleHeight = -0.6;

// How a text of the box looks, on a transparent background.
struct Look {
    QString family;
    double points;
    bool bold;
    QColor colour;
};
const QString kArial = QStringLiteral("Arial");
// The narrow sans serif stands in for the classic dialog font, whose texts it fits.
const QString kDialogFont = QStringLiteral("Liberation Sans Narrow");
const Look kTaskTitle{kArial, 15.75, true, Qt::white};
const Look kTaskText{kDialogFont, 12, true, Qt::white};
const Look kHeading{kArial, 14.25, true, Qt::white};
const Look kSupervisor{kArial, 12.75, true, Qt::white};
const Look kAtSign{kArial, 48, false, QColor(0x40, 0x40, 0x40)};
const Look kMember{kArial, 14.25, false, Qt::white};

// A text at the top left of its place; one taller than 400 twips wraps its lines.
QLabel* styled(QLabel* l, const Look& look)
{
    QFont f(look.family);
    f.setPointSizeF(look.points);
    f.setBold(look.bold);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, look.colour);
    l->setPalette(pal);
    l->setAttribute(Qt::WA_TranslucentBackground);
    l->setWordWrap(l->height() > px(400));
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QFrame* filled(QFrame* f, const QColor& colour)
{
    f->setAutoFillBackground(true);
    QPalette pal = f->palette();
    pal.setColor(QPalette::Window, colour);
    f->setPalette(pal);
    return f;
}

}  // namespace

Frmabout::Frmabout(QWidget* parent) : QWidget(parent)
{
    platform::fixedWindow(this, QStringLiteral("frmabout"), QStringLiteral("Tarnwell - About"), 15195, 11145);
    setWindowIcon(artwork::applicationIcon());

    imgAbout = make<QLabel>(this, "imgAbout", {0, 60, 15300, 11205});
    imgAbout->setPixmap(QPixmap::fromImage(artwork::aboutBackground(imgAbout->size())));

    scrvertikal = make<QScrollBar>(this, "scrvertikal", {240, 3000, 435, 2145}, Qt::Vertical);
    scrvertikal->setMaximum(1000);
    scrhorizontal = make<QScrollBar>(this, "scrhorizontal", {240, 5265, 2175, 210}, Qt::Horizontal);
    scrhorizontal->setMaximum(1000);

    Frame2 = filled(make<QFrame>(this, "Frame2", {600, 7800, 4575, 2865}), Qt::black);
    lblBeschreibung = styled(make<QLabel>(Frame2, "lblBeschreibung", {120, 0, 1905, 360}, QStringLiteral("Project task:")),
                             kTaskTitle);
    lblBeschreibung->setWordWrap(false);
    Label2 = styled(make<QLabel>(Frame2, "Label2", {120, 420, 4515, 1245},
                                 QStringLiteral("The coastdown method can be used to estimate the drag forces that act "
                                                "on a vehicle when operating in its natural environment.")),
                    kTaskText);
    Label12 = styled(make<QLabel>(Frame2, "Label12", {120, 1680, 4515, 1245},
                                  QStringLiteral("The task was to calculate the drag coefficients by simultaneous "
                                                 "constrained linear inversion of coastdown data.")),
                     kTaskText);

    Frame1 = filled(make<QFrame>(this, "Frame1", {10800, 8010, 3775, 1515}), Qt::black);
    Label6 = styled(make<QLabel>(Frame1, "Label6", {1200, 360, 1515, 1575}, QStringLiteral("@")), kAtSign);
    Label6->setWordWrap(false);
    Label8 = styled(make<QLabel>(Frame1, "Label8", {60, 120, 1845, 330}, QStringLiteral("Supervisors:")), kHeading);
    // The supervisor panel names the team's review roles, not people.
    Label4 = styled(make<QLabel>(Frame1, "Label4", {60, 540, 3600, 285}, QStringLiteral("Engineering lead")), kSupervisor);
    Label7 = styled(make<QLabel>(Frame1, "Label7", {60, 840, 3600, 285}, QStringLiteral("Design review")), kSupervisor);
    Label5 = styled(make<QLabel>(Frame1, "Label5", {60, 1140, 3600, 285}, QStringLiteral("Test review")), kSupervisor);

    lblMitglieder = styled(make<QLabel>(this, "lblMitglieder", {7080, 5625, 2505, 330}, QStringLiteral("Projektmitglieder:")),
                           kHeading);
    lblMitglieder->setWordWrap(false);

    picnamen = filled(make<QFrame>(this, "picnamen", {7260, 5220, 7995, 1155}), Qt::black);
    // The project members are the team's roles.
    const std::array<const char*, 3> names = {"lblmember1", "lblmember2", "lblmember3"};
    const std::array<QString, 3> roles = {QStringLiteral("Coefficient solver"), QStringLiteral("Analysis and diagram"),
                                          QStringLiteral("Import and report")};
    const std::array<int, 3> widths = {2655, 3015, 2835};
    for (size_t i = 0; i < lblmember.size(); ++i) {
        lblmember[i] = styled(make<QLabel>(picnamen, names[i], {0, 0, widths[i], 495}, roles[i]), kMember);
        lblmember[i]->setWordWrap(false);
        lblmember[i]->setAlignment(Qt::AlignCenter);
        lblmember[i]->hide();
    }

    Line1 = filled(make<QFrame>(this, "Line1"), Qt::white);
    Line1->setGeometry(QRect(px(720), px(10740), px(14580) - px(720), 1));

    const std::array<const char*, 3> images = {"imgBlei", "imgUhr", "imgBirne"};
    for (size_t i = 0; i < hiddenImages.size(); ++i) hiddenImages[i] = make<QLabel>(this, images[i], {0, 0, 720, 720});

    // Load
    for (QLabel* l : hiddenImages) l->hide();
    carousel.centreX = 0;
    carousel.centreY = 0;
    carousel.radiusX = 0.92f;
    carousel.radiusY = 0.18f;
    scrhorizontal->setValue(100);
    scrvertikal->setValue(100);

    tmrdreh = make<QTimer>(this, "tmrdreh");
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
