#include "diagram/core/labels.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace diagram {
namespace {

struct Room {
    double left, top, right, bottom;
};

// Two texts closer than the gaps (boxes that only touch do not meet).
bool meets(const PlacedText& a, const PlacedText& b, double gapX, double gapY)
{
    return a.x < b.right() + gapX && b.x < a.right() + gapX && a.y < b.bottom() + gapY && b.y < a.bottom() + gapY;
}

bool meetsAny(const PlacedText& t, const std::vector<PlacedText>& others)
{
    return std::any_of(others.begin(), others.end(), [&](const PlacedText& o) { return meets(t, o, 0, 0); });
}

// Every text against every other, in order of precedence: the time title, the velocity caption
// (as a whole), the time labels, the velocity labels. A text that meets one kept before it is
// left out.
void keepApart(FrameTexts& f)
{
    std::vector<PlacedText> kept;
    const auto keep = [&kept](std::vector<PlacedText>& group) {
        std::vector<PlacedText> apart;
        for (const PlacedText& t : group)
            if (!meetsAny(t, kept)) {
                apart.push_back(t);
                kept.push_back(t);
            }
        group = std::move(apart);
    };
    keep(f.timeTitle);
    if (std::any_of(f.velocityTitle.begin(), f.velocityTitle.end(), [&](const PlacedText& t) { return meetsAny(t, kept); }))
        f.velocityTitle.clear();
    kept.insert(kept.end(), f.velocityTitle.begin(), f.velocityTitle.end());
    keep(f.time);
    keep(f.velocity);
}

// Shifted inward into the room; nothing when the room cannot hold it.
std::optional<PlacedText> inside(PlacedText t, const Room& r)
{
    if (!(t.width <= r.right - r.left && t.height <= r.bottom - r.top)) return std::nullopt;
    t.x = std::clamp(t.x, r.left, r.right - t.width);
    t.y = std::clamp(t.y, r.top, r.bottom - t.height);
    return t;
}

// A text with its extent, not yet placed.
PlacedText measured(const std::string& text, const TextMeasure& m) { return {text, 0, 0, m.width(text), m.height}; }

struct Candidate {
    PlacedText nominal;
    long long index;  // the tick's position in steps
};

// The labels of one axis: ticks outside the picture get none; of the rest every k-th is kept,
// k the smallest that keeps neighbours apart where the frame puts them; then each is shifted
// into its room, and one that now meets its neighbour goes (the shifted one of the two).
std::vector<PlacedText> tickLabels(const std::vector<Tick>& ticks, double step, double extent,
                                   const std::function<double(double)>& pixelOf,
                                   const std::function<PlacedText(const Tick&)>& nominal, const Room& room, double gapX,
                                   double gapY)
{
    std::vector<Candidate> cands;
    for (const Tick& t : ticks) {
        const double p = pixelOf(t.pos);
        if (!(p >= 0 && p < extent)) continue;
        const double steps = step > 0 ? std::round(t.pos / step) : 0;
        cands.push_back({nominal(t), std::isfinite(steps) && std::fabs(steps) < 1e15 ? static_cast<long long>(steps) : 0});
    }
    const auto keeps = [](long long index, long long k) { return ((index % k) + k) % k == 0; };
    long long k = 1;
    for (const long long n = std::max<long long>(1, static_cast<long long>(cands.size())); k < n; ++k) {
        const PlacedText* last = nullptr;
        bool apart = true;
        for (const Candidate& c : cands) {
            if (!keeps(c.index, k)) continue;
            if (last && meets(*last, c.nominal, gapX, gapY)) {
                apart = false;
                break;
            }
            last = &c.nominal;
        }
        if (apart) break;
    }

    std::vector<PlacedText> out;
    bool lastShifted = false;
    for (const Candidate& c : cands) {
        if (!keeps(c.index, k)) continue;
        const std::optional<PlacedText> t = inside(c.nominal, room);
        if (!t) continue;
        const bool shifted = t->x != c.nominal.x || t->y != c.nominal.y;
        if (!out.empty() && meets(out.back(), *t, gapX, gapY)) {
            if (shifted || !lastShifted) continue;
            out.pop_back();
            if (!out.empty() && meets(out.back(), *t, gapX, gapY)) continue;
        }
        out.push_back(*t);
        lastShifted = shifted;
    }
    return out;
}

double tickStep(const std::vector<Tick>& ticks)
{
    return ticks.size() > 1 ? std::fabs(ticks[1].pos - ticks[0].pos) : 0;
}

bool usable(const Scale& s, PixelSize p)
{
    return p.width > 0 && p.height > 0 && std::isfinite(s.width) && std::isfinite(s.height) && s.width != 0 &&
           s.height != 0 && std::isfinite(s.left) && std::isfinite(s.top);
}

// The margins around the plot area: left of it (the velocity axis's labels and caption) and
// below it (the time axis's).
struct Margins {
    Room left;
    Room below;
};

Margins marginsOf(const AxesLayout& a, const PixelMapping& map)
{
    const PixelRect plot = plotArea(a, map.scale, map.picture);
    const double w = map.picture.width;
    const double h = map.picture.height;
    return {{0, 0, std::clamp(static_cast<double>(plot.left), 0.0, w), h},
            {0, std::clamp(static_cast<double>(plot.bottom) + 1, 0.0, h), w, h}};
}

// The labels of both axes, velocity labels in the margin left of the axis, time labels below.
// `velocityAt` and `timeAt` give a label's upper left corner in scale units.
void placeTickLabels(FrameTexts& out, const AxesLayout& a, const PixelMapping& map, const TextMeasure& m,
                     const std::function<std::pair<double, double>(const Tick&, double, double)>& velocityAt,
                     const std::function<std::pair<double, double>(const Tick&, double, double)>& timeAt)
{
    const Margins margins = marginsOf(a, map);
    const double digit = m.width("0");
    const auto box = [&](const Tick& t, const std::function<std::pair<double, double>(const Tick&, double, double)>& at) {
        PlacedText p = measured(t.label, m);
        const auto [x, y] = at(t, map.unitsX(p.width), map.unitsY(p.height));
        p.x = map.x(x);
        p.y = map.y(y);
        return p;
    };

    out.time = tickLabels(
        a.horizontal.major, tickStep(a.horizontal.major), map.picture.width, [&](double u) { return map.x(u); },
        [&](const Tick& t) { return box(t, timeAt); }, margins.below, digit, 0);
    out.velocity = tickLabels(
        a.vertical.major, tickStep(a.vertical.major), map.picture.height, [&](double u) { return map.y(u); },
        [&](const Tick& t) { return box(t, velocityAt); }, margins.left, 0, 0);
}

}  // namespace

PixelRect plotArea(const AxesLayout& a, const Scale& s, PixelSize picture)
{
    if (!usable(s, picture)) return {};
    const PixelMapping map{s, picture};
    // The pixels the axes lie in; an axis beyond the right or the upper edge leaves no plot area.
    const double x = std::floor(map.x(a.axisX));
    const double y = std::floor(map.y(a.axisY));
    if (!std::isfinite(x) || !std::isfinite(y)) return {};
    return {static_cast<int>(std::clamp(x, 0.0, static_cast<double>(picture.width))), 0, picture.width - 1,
            static_cast<int>(std::clamp(y, -1.0, picture.height - 1.0))};
}

FrameTexts placeAxesTexts(const AxesLayout& a, const Scale& s, PixelSize picture, const TextMeasure& m)
{
    FrameTexts out;
    if (!usable(s, picture) || !m.width) return out;
    const PixelMapping map{s, picture};
    const Margins margins = marginsOf(a, map);
    const double mX = a.marginX;
    const double mY = a.marginY;
    const double B = a.bottom;
    const double ax = a.axisX;
    // The velocity caption, a letter per line, the unit one empty line below it.
    const double d = mY / 4;
    const double y0 = B + mY * 3 / 4 * 7;
    // Every line of it ends at one column, five sixths of a margin left of the axis; the narrow
    // letters end a little further left so that their middles stand under the wider ones', and
    // the unit, wider than any letter, a little further right.
    const double captionRight = ax - mX / 2 - mX / 3;
    const double narrowLetterShift = mX / 27;  // "l" and "i"
    const double tShift = mX / 60;
    const double unitShift = mX / 7.5;
    const std::string title = "Velocity";
    std::vector<PlacedText> caption;
    for (std::size_t k = 0; k < title.size(); ++k) {
        const std::string letter(1, title[k]);
        PlacedText t = measured(letter, m);
        double x = captionRight - map.unitsX(t.width);
        if (letter == "l" || letter == "i") x -= narrowLetterShift;
        if (letter == "t") x -= tShift;
        t.x = map.x(x);
        t.y = map.y(y0 - static_cast<double>(k) * d);
        caption.push_back(t);
    }
    {
        PlacedText t = measured("m/s", m);
        t.x = map.x(captionRight - map.unitsX(t.width) + unitShift);
        t.y = map.y(y0 - 9 * d);
        caption.push_back(t);
    }
    // Moved up or down as a whole into the margin, each line shifted right where it would begin
    // left of the picture; with its letters closer than two thirds of a line their glyphs would
    // meet, and the caption is left out.
    const double top = caption.front().y;
    const double bottom = caption.back().bottom();
    const Room& room = margins.left;
    bool whole = std::fabs(map.y(d) - map.y(0)) >= m.height * 2 / 3 && bottom - top <= room.bottom - room.top;
    const double dy = whole ? std::clamp(top, room.top, room.bottom - (bottom - top)) - top : 0;
    for (PlacedText& t : caption) {
        t.y += dy;
        const std::optional<PlacedText> in = inside(t, room);
        if (!in) whole = false;
        else t = *in;
    }
    if (whole) out.velocityTitle = caption;

    placeTickLabels(
        out, a, map, m, [&](const Tick& t, double w, double h) { return std::pair{ax - w - mX / 6, t.pos - h / 2}; },
        [&](const Tick& t, double w, double) { return std::pair{t.pos - w / 2, B + mY * 3 / 4}; });

    // The time title below the time labels: moved down where it would run into them (the labels
    // it still meets give way to it).
    PlacedText xt = measured("Duration of measurement, s", m);
    xt.x = map.x(s.left + 0.55 * s.width - map.unitsX(xt.width) / 2);
    xt.y = map.y(B + mY * 1.2 / 3);
    if (std::optional<PlacedText> in = inside(xt, margins.below)) {
        for (const PlacedText& t : out.time)
            if (meets(*in, t, 0, 0)) in->y = std::max(in->y, t.bottom());
        in = inside(*in, margins.below);
        if (in) out.timeTitle.push_back(*in);
    }
    keepApart(out);
    return out;
}

FrameTexts placeOverviewTexts(const AxesLayout& a, const Scale& s, PixelSize picture, const TextMeasure& m)
{
    FrameTexts out;
    if (!usable(s, picture) || !m.width) return out;
    const PixelMapping map{s, picture};
    const double mx = a.marginX;
    const double my = a.marginY;
    const double ax = a.axisX;
    const double yb = a.bottom;
    placeTickLabels(
        out, a, map, m, [&](const Tick& t, double w, double h) { return std::pair{ax - w - mx / 6, t.pos - h / 2}; },
        [&](const Tick& t, double w, double) { return std::pair{t.pos - w / 2, yb + 3 * my / 4}; });
    keepApart(out);
    return out;
}

}  // namespace diagram
