#include "diagram/core/labels.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace diagram {
namespace {

// Scale units to pixels of the picture and back (lengths keep the scale's sign).
struct Mapping {
    Scale s;
    PixelSize p;
    double x(double u) const { return (u - s.left) * p.width / s.width; }
    double y(double u) const { return (u - s.top) * p.height / s.height; }
    double unitsX(double px) const { return px * s.width / p.width; }
    double unitsY(double px) const { return px * s.height / p.height; }
};

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

// The labels of both axes, velocity labels in the margin left of the axis, time labels below.
// `velocityAt` and `timeAt` give a label's upper left corner in scale units.
void placeTickLabels(FrameTexts& out, const AxesLayout& a, const Mapping& map, const TextMeasure& m,
                     const std::function<std::pair<double, double>(const Tick&, double, double)>& velocityAt,
                     const std::function<std::pair<double, double>(const Tick&, double, double)>& timeAt)
{
    const Room picture{0, 0, static_cast<double>(map.p.width), static_cast<double>(map.p.height)};
    const double digit = m.width("0");
    const auto box = [&](const Tick& t, const std::function<std::pair<double, double>(const Tick&, double, double)>& at) {
        PlacedText p = measured(t.label, m);
        const auto [x, y] = at(t, map.unitsX(p.width), map.unitsY(p.height));
        p.x = map.x(x);
        p.y = map.y(y);
        return p;
    };

    out.time = tickLabels(
        a.horizontal.major, tickStep(a.horizontal.major), map.p.width, [&](double u) { return map.x(u); },
        [&](const Tick& t) { return box(t, timeAt); }, picture, digit, 0);

    // A velocity label stays left of the axis line.
    const Room margin{0, 0, std::min(picture.right, map.x(a.axisX)), picture.bottom};
    std::vector<PlacedText> velocity = tickLabels(
        a.vertical.major, tickStep(a.vertical.major), map.p.height, [&](double u) { return map.y(u); },
        [&](const Tick& t) { return box(t, velocityAt); }, margin, 0, 0);
    for (const PlacedText& t : velocity)
        if (!meetsAny(t, out.velocityTitle) && !meetsAny(t, out.time)) out.velocity.push_back(t);
}

}  // namespace

FrameTexts placeAxesTexts(const AxesLayout& a, const Scale& s, PixelSize picture, const TextMeasure& m)
{
    FrameTexts out;
    if (!usable(s, picture) || !m.width) return out;
    const Mapping map{s, picture};
    const Room whole{0, 0, static_cast<double>(picture.width), static_cast<double>(picture.height)};
    const double mX = a.marginX;
    const double mY = a.marginY;
    const double B = a.bottom;
    const double ax = a.axisX;
    // The velocity title, a letter per line, the unit one empty line below it.
    const double d = mY / 4;
    const double y0 = B + mY * 3 / 4 * 7;
    const std::string title = "Velocity";
    for (std::size_t k = 0; k < title.size(); ++k) {
        const std::string letter(1, title[k]);
        PlacedText t = measured(letter, m);
        double x = ax - map.unitsX(t.width) - mX / 2 - mX / 3;
        if (letter == "l" || letter == "i") x -= mX / 27;
        if (letter == "t") x -= mX / 60;
        t.x = map.x(x);
        t.y = map.y(y0 - static_cast<double>(k) * d);
        if (const std::optional<PlacedText> in = inside(t, whole)) out.velocityTitle.push_back(*in);
    }
    {
        PlacedText t = measured("m/s", m);
        t.x = map.x(ax - map.unitsX(t.width) - mX / 2 - mX / 3 + mX / 7.5);
        t.y = map.y(y0 - 9 * d);
        if (const std::optional<PlacedText> in = inside(t, whole)) out.velocityTitle.push_back(*in);
    }

    placeTickLabels(
        out, a, map, m, [&](const Tick& t, double w, double h) { return std::pair{ax - w - mX / 6, t.pos - h / 2}; },
        [&](const Tick& t, double w, double) { return std::pair{t.pos - w / 2, B + mY * 3 / 4}; });

    // The time title below the time labels: moved down where it would run into them, and the
    // labels it still meets go.
    PlacedText xt = measured("Duration of measurement, s", m);
    xt.x = map.x(s.left + 0.55 * s.width - map.unitsX(xt.width) / 2);
    xt.y = map.y(B + mY * 1.2 / 3);
    if (std::optional<PlacedText> in = inside(xt, whole)) {
        for (const PlacedText& t : out.time)
            if (meets(*in, t, 0, 0)) in->y = std::max(in->y, t.bottom());
        in = inside(*in, whole);
        if (in) {
            std::erase_if(out.time, [&](const PlacedText& t) { return meets(*in, t, 0, 0); });
            out.timeTitle.push_back(*in);
        }
    }
    std::erase_if(out.velocity, [&](const PlacedText& t) { return meetsAny(t, out.timeTitle); });
    return out;
}

FrameTexts placeOverviewTexts(const AxesLayout& a, const Scale& s, PixelSize picture, const TextMeasure& m)
{
    FrameTexts out;
    if (!usable(s, picture) || !m.width) return out;
    const Mapping map{s, picture};
    const double mx = a.marginX;
    const double my = a.marginY;
    const double ax = a.axisX;
    const double yb = a.bottom;
    placeTickLabels(
        out, a, map, m, [&](const Tick& t, double w, double h) { return std::pair{ax - w - mx / 6, t.pos - h / 2}; },
        [&](const Tick& t, double w, double) { return std::pair{t.pos - w / 2, yb + 3 * my / 4}; });
    return out;
}

}  // namespace diagram
