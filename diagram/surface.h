#pragma once
// The drawing surface of the diagram (picdiagram): a user coordinate system, a persistent image
// (what is shown, exported and copied) and a screen-only overlay that cls() removes, lines with
// colour, width and dotted style, text at a position with its extent in pixels, mouse
// events in scale units. Drawing beyond the edges, or beyond the clip rectangle while one is
// set, is clipped silently.
#include "diagram/core/view.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLineF>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QPainter;
class QPen;

namespace diagram {

// The pixels a one-pixel polyline covered at one scale and picture size, kept so that the same
// line is drawn again by filling them: all of a line has one colour, so the order of writing
// does not matter and the picture is the same.
class PolylinePixels {
public:
    struct Run {
        int x, lo, hi;  // rows lo..hi of column x
    };
    void invalidate()
    {
        valid_ = false;
        line_ = 0;
    }

private:
    friend class DrawingSurface;
    // The runs as drawn (noted the second time the line is drawn), column by column; the same
    // pixels row by row once the line is filled again, since the picture is stored row by row.
    void buildRows(int height);
    struct Span {
        int y, x0, x1;
    };
    bool valid_ = false;
    std::uint64_t line_ = 0;
    Scale scale_;
    QSize size_;
    QRect area_;
    bool columnSpans_ = true;
    std::vector<Run> runs_;
    bool rowsBuilt_ = false;
    std::vector<Span> rows_;
};

class DrawingSurface : public QWidget {
    Q_OBJECT
public:
    explicit DrawingSurface(QWidget* parent = nullptr);

    // Coordinate system.
    void setScale(const Scale& s);
    const Scale& scale() const { return scale_; }

    // Persistent drawing on (the image) or off (the screen-only overlay).
    void setAutoRedraw(bool on) { autoRedraw_ = on; }
    bool autoRedraw() const { return autoRedraw_; }

    // With AutoRedraw on: clears the image to the background colour (and the overlay); off:
    // removes only the overlay.
    void cls();

    QColor backColor() const { return back_; }
    void setBackColor(const QColor& c);
    QColor foreColor() const { return fore_; }
    void setForeColor(const QColor& c) { fore_ = c; }
    int drawWidth() const { return drawWidth_; }
    void setDrawWidth(int w) { drawWidth_ = w < 1 ? 1 : w; }
    bool dotted() const { return dotted_; }
    void setDotted(bool d) { dotted_ = d; }
    void setLabelFont(const QFont& f) { font_ = f; }
    QFont labelFont() const { return font_; }

    // Lines and polylines drawn into the image stay inside these pixels (the curves inside the
    // plot area) until the clip is switched off.
    void setClip(const QRect& pixels) { clip_ = pixels; }
    void clipOff() { clip_.reset(); }

    void line(double x1, double y1, double x2, double y2);
    // A polyline through points given in scale units. With `keep`, the pixels of a one-pixel
    // line are kept there and filled again while `line` (the caller's name for these points),
    // the scale and the picture size stay.
    void polyline(const double* xy, std::size_t points, PolylinePixels* keep = nullptr, std::uint64_t line = 0);
    // Off: one-pixel polylines are drawn segment by segment, not as one span per pixel column
    // (the reference the faster drawing is compared with).
    void setColumnSpans(bool on) { columnSpans_ = on; }
    bool columnSpans() const { return columnSpans_; }
    void setCurrent(double x, double y) { curX_ = x; curY_ = y; }
    // Text with its upper left corner at the current position.
    void print(const QString& text);
    // The extent of a text in pixels of the picture drawn on (labels are placed in pixels, so
    // that each lies whole inside the picture).
    double textWidthPixels(const QString& text) const;
    double textHeightPixels() const;
    // The size of the picture drawn on: the image, or the one a rendering goes to.
    QSize pictureSize() const;

    // Pixel position of a point in scale units, and back.
    QPointF toPixel(double x, double y) const;
    QPointF toScale(const QPointF& pixel) const;

    // The persistent image, the diagram as last drawn (renders a pending redraw first).
    QImage picture() const;

    // A redraw is asked for: the painter runs once before the next paint or picture() call, so
    // several changes in one event give one paint.
    void setRenderer(std::function<void(DrawingSurface&)> renderer) { renderer_ = std::move(renderer); }
    void requestRender();
    void cancelRender() { renderPending_ = false; }
    bool renderPending() const { return renderPending_; }
    // Renders into an image of the given size instead of the widget's (benchmarks, comparisons).
    QImage renderTo(QSize size);

    // Mouse events go out only while enabled (navigation off keeps the picture copyable).
    void setMouseNavigation(bool on) { mouseNavigation_ = on; }
    bool mouseNavigation() const { return mouseNavigation_; }

signals:
    // Button 1 left, 2 right, 4 middle (a move reports the buttons held); x, y in scale units.
    void mouseDown(int button, int shift, double x, double y);
    void mouseMove(int button, int shift, double x, double y);
    void mouseUp(int button, int shift, double x, double y);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    void ensureImage(QSize size);
    void flushRender();
    void drawSegment(QPainter* p, const QRect& area, const QPointF& a, const QPointF& b);
    QPen pen() const;
    QImage& target();
    // The pixels of the image that drawing may reach: all of them, or those inside the clip.
    QRect drawArea(const QImage& img) const { return clip_ ? (*clip_ & img.rect()) : img.rect(); }

    Scale scale_;
    mutable QImage image_;
    QImage* redirect_ = nullptr;
    QColor back_{255, 255, 255};
    QColor fore_{0, 0, 0};
    int drawWidth_ = 1;
    bool dotted_ = false;
    std::optional<QRect> clip_;
    bool autoRedraw_ = true;
    QFont font_;
    double curX_ = 0;
    double curY_ = 0;
    struct OverlayLine {
        QLineF line;  // scale units
        QColor colour;
    };
    std::vector<OverlayLine> overlay_;
    std::function<void(DrawingSurface&)> renderer_;
    mutable bool renderPending_ = false;
    bool mouseNavigation_ = true;
    bool rendering_ = false;
    bool columnSpans_ = true;
};

}  // namespace diagram
