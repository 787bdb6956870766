#pragma once
// The legend beside the diagram: per data set a measured and a fitted entry, each a check box
// that shows its curve and a colour box that holds its colour; and the two diagram colours,
// chosen through the same colour dialog.
#include "diagram/core/layout.h"
#include "diagram/curves.h"

#include <QCheckBox>
#include <QLabel>
#include <QStringList>
#include <QWidget>

#include <array>
#include <optional>

class QGroupBox;
class QPushButton;
class QScrollBar;

namespace diagram {

// Colours in the program's number form: blue * 65536 + green * 256 + red.
QColor colourFromNumber(int number);
int colourToNumber(const QColor& c);

// chk(i): a caption too long for the legend's frame (a data-file name) begins with "…" and keeps
// its end; the tooltip holds the whole name.
class LegendCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;
signals:
    void rightPressed();
protected:
    void mousePressEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent*) override;
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

inline constexpr int kLegendEntries = 61;  // entries 0..60

class Legend : public QObject {
    Q_OBJECT
public:
    // The controls are built on `host`, which also parents the colour dialog.
    explicit Legend(QWidget* host);

    // Rebuilds the entries for the data sets named (one name per set, in series order): start
    // colours, captions, fitted entries disabled; ticks are kept.
    void setlegend(const QStringList& dataFileNames);
    // After a calculation: the fitted entries of the first `setCount` sets.
    void enableFittedEntries(int setCount);
    // Lets the user choose the colour of entry `index`; true when a colour was chosen.
    bool changelegendcolour(int index);

    void place(const PanelLayout& layout);
    CurveStyles curveStyles() const;

    LegendCheckBox* chk(int i) const { return chk_.at(static_cast<std::size_t>(i)); }
    ColourBox* piclegend(int i) const { return piclegend_.at(static_cast<std::size_t>(i)); }
    QScrollBar* scrupdown() const { return scrupdown_; }
    ColourLabel* lblbackground() const { return lblbackground_; }
    ColourLabel* lblscale() const { return lblscale_; }

signals:
    // A box was ticked or cleared.
    void ticksChanged();
    // An entry's colour box got a new colour from the dialog.
    void entryColourChanged();
    // The diagram's background (true) or scale colour (false) was chosen.
    void diagramColourChanged(bool background);

private:
    void fitScroll();
    int capacity() const;
    void onColourRequest(int index);
    void chooseDiagramColour(ColourLabel* label, bool background);
    std::optional<QColor> askColour(const QColor& current);

    QWidget* host_;
    QWidget* piclegmain_ = nullptr;
    QWidget* picshowlegend_ = nullptr;
    QGroupBox* framelegend_ = nullptr;
    QWidget* fralegendtitle_ = nullptr;
    QPushButton* cmdlegendtitle_ = nullptr;
    QScrollBar* scrupdown_ = nullptr;
    ColourLabel* lblbackground_ = nullptr;
    ColourLabel* lblscale_ = nullptr;
    std::array<LegendCheckBox*, kLegendEntries> chk_{};
    std::array<ColourBox*, kLegendEntries> piclegend_{};
    int rowTwips_ = 433;
    int lastEntry_ = -1;
    // One dialog serves the legend and both diagram colours: it starts at the colour last chosen.
    std::optional<QColor> lastDialogColour_;
};

}  // namespace diagram
