#pragma once
// Controls of the legend: check boxes that take a right click and colour boxes.
#include <QCheckBox>
#include <QLabel>
#include <QWidget>

namespace diagram {

// Colours in the program's number form: blue * 65536 + green * 256 + red.
QColor colourFromNumber(int number);
int colourToNumber(const QColor& c);

class LegendCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;
signals:
    void rightPressed();
protected:
    void mousePressEvent(QMouseEvent* e) override;
};

// piclegend(i): a small box whose background colour is the curve colour.
class ColourBox : public QWidget {
    Q_OBJECT
public:
    explicit ColourBox(QWidget* parent = nullptr);
    int backColor() const { return colourToNumber(colour_); }
    void setBackColor(int number) { setColour(colourFromNumber(number)); }
    QColor colour() const { return colour_; }
    void setColour(const QColor& c);
signals:
    void pressed(int button);
protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
private:
    QColor colour_{0, 0, 0};
};

// lblbackground / lblscale: a caption on a coloured background, clicked to choose the colour.
class ColourLabel : public QLabel {
    Q_OBJECT
public:
    explicit ColourLabel(const QString& text, QWidget* parent = nullptr);
    QColor colour() const { return colour_; }
    void setColour(const QColor& c);
signals:
    void clicked();
protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
private:
    QColor colour_;
};

}  // namespace diagram
