#pragma once
// The About window frmabout: background picture, the project task, the supervisors panel and
// the carousel of the project members' labels, turned by the 20 ms timer tmrdreh.
#include "app/core/carousel.h"

#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QScrollBar;
class QTimer;

namespace app {

class Frmabout : public QWidget {
    Q_OBJECT
public:
    explicit Frmabout(QWidget* parent = nullptr);

    QLabel* imgAbout = nullptr;
    QFrame* Frame2 = nullptr;
    QLabel* lblBeschreibung = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label12 = nullptr;
    QFrame* Frame1 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* lblMitglieder = nullptr;
    QFrame* picnamen = nullptr;
    std::array<QLabel*, 3> lblmember{};  // lblmember1..3
    QFrame* Line1 = nullptr;
    QScrollBar* scrvertikal = nullptr;
    QScrollBar* scrhorizontal = nullptr;
    std::array<QLabel*, 3> hiddenImages{};  // imgBlei, imgUhr, imgBirne
    QTimer* tmrdreh = nullptr;

    Carousel carousel;

    // One timer tick (as tmrdreh runs it).
    void tmrdreh_Timer();
    // Centre of member label k (0..2) in picnamen's coordinates (x right, y up), from the
    // label's placed geometry.
    QPointF memberCentre(int k) const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void placeLabel(QLabel* label, CarouselPoint centre);
};

}  // namespace app
