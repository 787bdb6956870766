#include "diagram/surface.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace diagram {
namespace {

int buttonNumber(Qt::MouseButtons b)
{
    int n = 0;
    if (b & Qt::LeftButton) n |= 1;
    if (b & Qt::RightButton) n |= 2;
    if (b & Qt::MiddleButton) n |= 4;
    return n;
}

int shiftNumber(Qt::KeyboardModifiers m)
{
    int n = 0;
    if (m & Qt::ShiftModifier) n |= 1;
    if (m & Qt::ControlModifier) n |= 2;
    if (m & Qt::AltModifier) n |= 4;
    return n;
}

// Liang-Barsky: clips the segment to the rectangle; false when nothing of it is inside or an
// end is not a finite point.
bool clipSegment(QPointF& a, QPointF& b, const QRectF& r)
{
    // A point at infinity or not a number has no place on the picture (and no pixel index).
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) || !std::isfinite(b.y()))
        return false;
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1) return false;
            if (t > t0) t0 = t;
        } else {
            if (t < t0) return false;
            if (t < t1) t1 = t;
        }
    }
    const QPointF a0 = a;
    if (t1 < 1.0) b = QPointF(a0.x() + t1 * dx, a0.y() + t1 * dy);
    if (t0 > 0.0) a = QPointF(a0.x() + t0 * dx, a0.y() + t0 * dy);
    return true;
}

}  // namespace

DrawingSurface::DrawingSurface(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    font_ = QFont(QStringLiteral("Liberation Sans"), 9);
}

void DrawingSurface::setScale(const Scale& s)
{
    scale_ = s;
    // A scale without extent would divide by zero in every mapping.
    if (!(std::isfinite(scale_.width) && scale_.width != 0)) scale_.width = 1;
    if (!(std::isfinite(scale_.height) && scale_.height != 0)) scale_.height = -1;
}

void DrawingSurface::setBackColor(const QColor& c)
{
    back_ = c;
    update();
}

QImage& DrawingSurface::target()
{
    if (redirect_) return *redirect_;
    ensureImage(size());
    return image_;
}

void DrawingSurface::ensureImage(QSize sz)
{
    if (sz.width() < 1) sz.setWidth(1);
    if (sz.height() < 1) sz.setHeight(1);
    if (image_.size() != sz) {
        image_ = QImage(sz, QImage::Format_RGB32);
        image_.fill(back_);
    }
}

void DrawingSurface::cls()
{
    overlay_.clear();
    if (autoRedraw_) target().fill(back_);
    update();
}

QPointF DrawingSurface::toPixel(double x, double y) const
{
    const QSize sz = pictureSize();
    const PixelMapping map{scale_, {sz.width(), sz.height()}};
    return {map.x(x), map.y(y)};
}

QPointF DrawingSurface::toScale(const QPointF& px) const
{
    const QSize sz = size();
    const PixelMapping map{scale_, {sz.width() > 0 ? sz.width() : 1, sz.height() > 0 ? sz.height() : 1}};
    return {map.scaleX(px.x()), map.scaleY(px.y())};
}

QPen DrawingSurface::pen() const
{
    QPen p(fore_);
    p.setWidth(drawWidth_ <= 1 ? 0 : drawWidth_);  // 0: cosmetic one-pixel pen
    p.setCapStyle(Qt::FlatCap);
    p.setStyle(dotted_ ? Qt::DotLine : Qt::SolidLine);
    return p;
}

// The segment cut to a little more than the area (a wide pen's ends stay whole), the painter
// clipped to the area itself.
void DrawingSurface::drawSegment(QPainter* p, const QRect& area, const QPointF& a0, const QPointF& b0)
{
    QPointF a = a0;
    QPointF b = b0;
    const double m = drawWidth_ + 2.0;
    if (!clipSegment(a, b, QRectF(area).adjusted(-m, -m, m, m))) return;
    p->drawLine(QLineF(a, b));
}

void DrawingSurface::line(double x1, double y1, double x2, double y2)
{
    if (!autoRedraw_) {
        overlay_.push_back({QLineF(x1, y1, x2, y2), fore_});
        update();
        return;
    }
    QImage& img = target();
    const QRect area = drawArea(img);
    if (area.isEmpty()) return;
    QPainter p(&img);
    p.setPen(pen());
    if (clip_) p.setClipRect(area);
    drawSegment(&p, area, toPixel(x1, y1), toPixel(x2, y2));
}

namespace {

// Where the pixels of a one-pixel curve go: into the image, one colour.
struct PixelWriter {
    QRgb* bits;
    qsizetype stride;
    QRgb c;
    void pixel(int x, int y) { bits[static_cast<qsizetype>(y) * stride + x] = c; }
    // Rows lo..hi of column x.
    void run(int x, int lo, int hi)
    {
        QRgb* p = bits + static_cast<qsizetype>(lo) * stride + x;
        for (int y = lo; y <= hi; ++y, p += stride) *p = c;
    }
};

// The same, and the pixels noted as runs of rows per column, so the curve can be filled again.
struct RecordingWriter : PixelWriter {
    std::vector<PolylinePixels::Run>* out;
    void note(int x, int lo, int hi)
    {
        if (!out->empty()) {
            PolylinePixels::Run& last = out->back();
            if (last.x == x && lo <= last.hi + 1 && hi >= last.lo - 1) {
                last.lo = std::min(last.lo, lo);
                last.hi = std::max(last.hi, hi);
                return;
            }
        }
        out->push_back({x, lo, hi});
    }
    void pixel(int x, int y)
    {
        PixelWriter::pixel(x, y);
        note(x, y, y);
    }
    void run(int x, int lo, int hi)
    {
        PixelWriter::run(x, lo, hi);
        note(x, lo, hi);
    }
};

// n pixels of one row, four at a time where the processor can.
void fillSpan(QRgb* p, int n, QRgb c)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(static_cast<int>(c));
    for (; i + 4 <= n; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), four);
#endif
    for (; i < n; ++i) p[i] = c;
}

// One-pixel solid line between two pixels inside the image (integer Bresenham).
template <class Writer>
void plot(Writer& w, int x0, int y0, int x1, int y1)
{
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        w.pixel(x0, y0);
        if (x0 == x1 && y0 == y1) return;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

int pixelIndex(double v, int lo, int hi)
{
    const double f = std::floor(v);
    if (f < lo) return lo;
    if (f > hi) return hi;
    return static_cast<int>(f);
}

// The pixels drawn on (columns x0..x1 - 1, rows y0..y1 - 1 of the image) and the mapping from
// scale units to pixels.
struct Raster {
    int x0, y0, x1, y1;
    double kx, ky;
};

// A segment with an end outside the area: the part inside, ends at the pixels they lie in.
template <class Writer>
[[gnu::noinline]] void clippedSegment(const Raster& r, Writer& wr, double x0, double y0, double x1, double y1)
{
    QPointF from(x0, y0);
    QPointF to(x1, y1);
    if (clipSegment(from, to, QRectF(r.x0, r.y0, r.x1 - r.x0 - 1e-6, r.y1 - r.y0 - 1e-6)))
        plot(wr, pixelIndex(from.x(), r.x0, r.x1 - 1), pixelIndex(from.y(), r.y0, r.y1 - 1),
             pixelIndex(to.x(), r.x0, r.x1 - 1), pixelIndex(to.y(), r.y0, r.y1 - 1));
}

// A one-pixel polyline written straight into the image, each segment on its own or, with
// `Runs`, the segments within one pixel column as one run. A reduced curve puts several points
// into each column; the one-pixel segments between them cover exactly the rows from their
// lowest to their highest end, and every pixel gets the one colour, so the order of writing
// does not change the picture.
template <bool Runs, class Writer>
void rasterPolyline(const Raster& r, Writer& wr, double ox, double oy, const double* xy, std::size_t points)
{
    const double minX = r.x0;
    const double minY = r.y0;
    const double maxX = r.x1;
    const double maxY = r.y1;
    const double kx = r.kx;
    const double ky = r.ky;
    int runX = -1;  // the pending run: rows runLo..runHi of column runX
    int runLo = 0;
    int runHi = -1;
    double ax = xy[0] * kx + ox;
    double ay = xy[1] * ky + oy;
    bool aIn = (ax >= minX) & (ax < maxX) & (ay >= minY) & (ay < maxY);
    int aix = aIn ? static_cast<int>(ax) : 0;
    int aiy = aIn ? static_cast<int>(ay) : 0;
    for (const double *p = xy + 2, *end = xy + 2 * points; p != end; p += 2) {
        const double bx = p[0] * kx + ox;
        const double by = p[1] * ky + oy;
        const bool bIn = (bx >= minX) & (bx < maxX) & (by >= minY) & (by < maxY);
        const int bix = bIn ? static_cast<int>(bx) : 0;
        const int biy = bIn ? static_cast<int>(by) : 0;
        if (aIn & bIn) {
            if (Runs && aix == bix) {
                if (aix == runX && aiy >= runLo && aiy <= runHi) {  // goes on from the pending run
                    runLo = std::min(runLo, biy);
                    runHi = std::max(runHi, biy);
                } else {
                    if (runX >= 0) wr.run(runX, runLo, runHi);
                    runX = aix;
                    runLo = std::min(aiy, biy);
                    runHi = std::max(aiy, biy);
                }
            } else {
                plot(wr, aix, aiy, bix, biy);
            }
        } else {
            clippedSegment(r, wr, ax, ay, bx, by);
        }
        ax = bx;
        ay = by;
        aIn = bIn;
        aix = bix;
        aiy = biy;
    }
    if (Runs && runX >= 0) wr.run(runX, runLo, runHi);
}

template <class Writer>
void rasterPolyline(bool runs, const Raster& r, Writer& wr, double ox, double oy, const double* xy, std::size_t points)
{
    if (runs)
        rasterPolyline<true>(r, wr, ox, oy, xy, points);
    else
        rasterPolyline<false>(r, wr, ox, oy, xy, points);
}

}  // namespace

void PolylinePixels::buildRows(int height)
{
    // The pixels of every row in column order (a pixel written twice counts once), joined into
    // spans of neighbouring columns.
    std::vector<int> start(static_cast<std::size_t>(height) + 1, 0);
    for (const Run& r : runs_)
        for (int y = r.lo; y <= r.hi; ++y) ++start[static_cast<std::size_t>(y) + 1];
    for (std::size_t y = 1; y < start.size(); ++y) start[y] += start[y - 1];
    std::vector<int> xs(static_cast<std::size_t>(start.back()));
    std::vector<int> fill(start.begin(), start.end() - 1);
    for (const Run& r : runs_)
        for (int y = r.lo; y <= r.hi; ++y) xs[static_cast<std::size_t>(fill[static_cast<std::size_t>(y)]++)] = r.x;
    rows_.clear();
    for (int y = 0; y < height; ++y) {
        const auto b = xs.begin() + start[static_cast<std::size_t>(y)];
        const auto e = xs.begin() + start[static_cast<std::size_t>(y) + 1];
        if (b == e) continue;
        std::sort(b, e);
        int x0 = *b;
        int x1 = *b;
        for (auto it = b + 1; it != e; ++it) {
            if (*it <= x1 + 1) {
                x1 = std::max(x1, *it);
                continue;
            }
            rows_.push_back({y, x0, x1});
            x0 = x1 = *it;
        }
        rows_.push_back({y, x0, x1});
    }
    rowsBuilt_ = true;
}

void DrawingSurface::polyline(const double* xy, std::size_t points, PolylinePixels* keep, std::uint64_t line)
{
    if (points < 2) return;
    QImage& img = target();
    const QRect area = drawArea(img);
    if (area.isEmpty()) {
        if (keep) keep->invalidate();
        return;
    }
    if (drawWidth_ <= 1 && !dotted_ && img.format() == QImage::Format_RGB32) {
        // The curves: thousands of short one-pixel segments, written straight into the image.
        const int w = img.width();
        const int h = img.height();
        PixelWriter out{reinterpret_cast<QRgb*>(img.bits()), img.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb)),
                        fore_.rgb()};
        // The same line at the same scale, size and clip covers the same pixels.
        const bool same = keep && keep->line_ == line && keep->scale_ == scale_ && keep->size_ == img.size() &&
                          keep->area_ == area && keep->columnSpans_ == columnSpans_;
        // Drawn before and noted: fill them again.
        if (same && keep->valid_) {
            if (!keep->rowsBuilt_) keep->buildRows(h);
            for (const PolylinePixels::Span& sp : keep->rows_)
                fillSpan(out.bits + static_cast<qsizetype>(sp.y) * out.stride + sp.x0, sp.x1 - sp.x0 + 1, out.c);
            return;
        }
        const Raster r{area.left(), area.top(), area.right() + 1, area.bottom() + 1, w / scale_.width, h / scale_.height};
        const double ox = -scale_.left * r.kx;
        const double oy = -scale_.top * r.ky;
        // Runs pay where the columns hold several points each; a sparser line is drawn as is.
        const bool runs = columnSpans_ && points > static_cast<std::size_t>(area.width());
        // A line is noted only when it is drawn a second time: a pan or a scroll draws each
        // view once and pays nothing for it.
        if (!same) {
            rasterPolyline(runs, r, out, ox, oy, xy, points);
            if (keep) {
                keep->valid_ = false;
                keep->line_ = line;
                keep->scale_ = scale_;
                keep->size_ = img.size();
                keep->area_ = area;
                keep->columnSpans_ = columnSpans_;
            }
            return;
        }
        keep->runs_.clear();
        RecordingWriter rec{out, &keep->runs_};
        rasterPolyline(runs, r, rec, ox, oy, xy, points);
        keep->valid_ = true;
        keep->rowsBuilt_ = false;
        return;
    }
    if (keep) keep->invalidate();
    const double m = drawWidth_ + 2.0;
    const QRectF clip = QRectF(area).adjusted(-m, -m, m, m);
    std::vector<QLineF> segs;
    segs.reserve(points);
    QPointF prev = toPixel(xy[0], xy[1]);
    for (std::size_t i = 1; i < points; ++i) {
        const QPointF cur = toPixel(xy[2 * i], xy[2 * i + 1]);
        QPointF a = prev;
        QPointF b = cur;
        if (clipSegment(a, b, clip)) segs.emplace_back(a, b);
        prev = cur;
    }
    QPainter p(&img);
    p.setPen(pen());
    if (clip_) p.setClipRect(area);
    p.drawLines(segs.data(), static_cast<int>(segs.size()));
}

void DrawingSurface::print(const QString& text)
{
    const QPointF at = toPixel(curX_, curY_);
    QImage& img = target();
    QPainter p(&img);
    p.setFont(font_);
    p.setPen(fore_);
    const QFontMetricsF fm(font_, &img);
    p.drawText(QPointF(at.x(), at.y() + fm.ascent()), text);
}

QSize DrawingSurface::pictureSize() const
{
    const QImage* dev = redirect_ ? redirect_ : &image_;
    return dev->isNull() ? size() : dev->size();
}

namespace {

QFontMetricsF metricsOn(const QFont& font, const QImage* dev)
{
    return dev->isNull() ? QFontMetricsF(font) : QFontMetricsF(font, dev);
}

}  // namespace

double DrawingSurface::textWidthPixels(const QString& text) const
{
    return metricsOn(font_, redirect_ ? redirect_ : &image_).horizontalAdvance(text);
}

double DrawingSurface::textHeightPixels() const { return metricsOn(font_, redirect_ ? redirect_ : &image_).height(); }

void DrawingSurface::requestRender()
{
    renderPending_ = true;
    update();
}

void DrawingSurface::flushRender()
{
    if (!renderPending_ || rendering_) return;
    renderPending_ = false;
    ensureImage(size());
    if (!renderer_) return;
    rendering_ = true;
    const bool keep = autoRedraw_;
    autoRedraw_ = true;
    // The redraw stands for the moment it was asked for: what went on the screen-only overlay
    // since then (the overview's rectangle) stays.
    std::vector<OverlayLine> overlay = std::move(overlay_);
    renderer_(*this);
    overlay_ = std::move(overlay);
    autoRedraw_ = keep;
    rendering_ = false;
}

QImage DrawingSurface::picture() const
{
    auto* self = const_cast<DrawingSurface*>(this);
    self->flushRender();
    self->ensureImage(size());
    return image_;
}

QImage DrawingSurface::renderTo(QSize sz)
{
    QImage img(sz.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    img.fill(back_);
    if (!renderer_ || rendering_) return img;
    rendering_ = true;
    redirect_ = &img;
    const bool keep = autoRedraw_;
    autoRedraw_ = true;
    std::vector<OverlayLine> overlay = std::move(overlay_);  // the screen's, not this image's
    renderer_(*this);
    overlay_ = std::move(overlay);
    autoRedraw_ = keep;
    redirect_ = nullptr;
    rendering_ = false;
    return img;
}

void DrawingSurface::paintEvent(QPaintEvent*)
{
    flushRender();
    ensureImage(size());
    QPainter p(this);
    p.drawImage(0, 0, image_);
    for (const OverlayLine& o : overlay_) {
        QPen pen(o.colour);
        pen.setWidth(0);
        p.setPen(pen);
        QPointF a = toPixel(o.line.x1(), o.line.y1());
        QPointF b = toPixel(o.line.x2(), o.line.y2());
        if (clipSegment(a, b, QRectF(-3, -3, width() + 6, height() + 6))) p.drawLine(QLineF(a, b));
    }
}

void DrawingSurface::resizeEvent(QResizeEvent*)
{
    ensureImage(size());
    if (renderer_) requestRender();
}

void DrawingSurface::mousePressEvent(QMouseEvent* e)
{
    if (!mouseNavigation_) return;
    const QPointF s = toScale(e->position());
    emit mouseDown(buttonNumber(e->button()), shiftNumber(e->modifiers()), s.x(), s.y());
}

void DrawingSurface::mouseMoveEvent(QMouseEvent* e)
{
    if (!mouseNavigation_) return;
    const QPointF s = toScale(e->position());
    emit mouseMove(buttonNumber(e->buttons()), shiftNumber(e->modifiers()), s.x(), s.y());
}

void DrawingSurface::mouseReleaseEvent(QMouseEvent* e)
{
    if (!mouseNavigation_) return;
    const QPointF s = toScale(e->position());
    emit mouseUp(buttonNumber(e->button()), shiftNumber(e->modifiers()), s.x(), s.y());
}

}  // namespace diagram
