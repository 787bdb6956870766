#include "diagram/core/ticks.h"

#include "numbers/numbers.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace diagram {
namespace {

struct Row {
    double bound;
    double step;
};

constexpr std::array<Row, 14> kVertical = {{{8, 1},
                                            {20, 2},
                                            {40, 5},
                                            {80, 10},
                                            {200, 25},
                                            {400, 50},
                                            {800, 100},
                                            {2000, 250},
                                            {4000, 500},
                                            {8000, 1000},
                                            {20000, 2500},
                                            {50000, 5000},
                                            {80000, 10000},
                                            {100000, 15000}}};

constexpr std::array<Row, 13> kHorizontal = {{{8, 1},
                                              {20, 2},
                                              {40, 5},
                                              {80, 10},
                                              {200, 25},
                                              {400, 50},
                                              {800, 100},
                                              {2000, 250},
                                              {4000, 500},
                                              {8000, 1000},
                                              {20000, 2500},
                                              {40000, 5000},
                                              {80000, 10000}}};

}  // namespace

double continuedTickStep(double extent, bool boundIncluded)
{
    constexpr std::array<double, 3> mantissa = {2.5, 5.0, 10.0};
    double decade = 10000.0;
    for (int guard = 0; guard < 400; ++guard) {
        for (double m : mantissa) {
            const double step = m * decade;
            const double bound = 8.0 * step;
            if (boundIncluded ? extent <= bound : extent < bound) return step;
        }
        decade *= 10.0;
    }
    return 1e300;
}

namespace {

long long nint(double v)
{
    if (!std::isfinite(v)) return 0;
    if (v > 9e18) v = 9e18;
    if (v < -9e18) v = -9e18;
    return numbers::roundHalfEven(v);
}

long long floorDiv(long long a, long long b)
{
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

bool atOrBeyond(double axis, double p) { return static_cast<float>(axis) <= static_cast<float>(p); }

// A tick loop never runs longer than this, whatever the scale.
constexpr int kMaxTicks = 1000;

}  // namespace

double verticalStep(double absHeight)
{
    const float h = static_cast<float>(absHeight);
    for (const Row& r : kVertical)
        if (h <= r.bound) return r.step;
    if (!std::isfinite(absHeight)) return 25;
    return continuedTickStep(h, true);
}

double horizontalStep(double width)
{
    const float w = static_cast<float>(width);
    for (const Row& r : kHorizontal)
        if (w < r.bound) return r.step;
    if (!std::isfinite(width)) return 50;
    return continuedTickStep(w, false);
}

std::string velocityLabel(double y) { return numbers::formatNumber(y / (1000.0 / 6.0), "0.00#"); }

std::string timeLabel(double x) { return numbers::formatNumber(x / 500.0, "#0.00#"); }

AxesLayout layoutAxes(const Scale& s, double marginDivisor)
{
    AxesLayout a;
    const double n = marginDivisor;
    const double absH = std::fabs(s.height);
    a.marginX = std::fabs(s.width / n);
    a.bottom = s.top - absH;
    a.marginY = std::fabs(s.height / n);
    a.axisX = s.left + a.marginX;
    a.axisY = a.bottom + a.marginY;

    // Velocity ticks: from one step below the time axis up to one margin above the upper edge.
    const double sy = verticalStep(absH);
    const long long isy = std::max(1LL, nint(sy));
    const double ys = sy * static_cast<double>(nint(a.axisY) / isy) - sy;
    const double ye = sy * static_cast<double>(nint(a.axisY + absH) / isy);
    const int ny = std::isfinite(ys) && std::isfinite(ye) ? static_cast<int>(std::min<double>(kMaxTicks, std::floor((ye - ys) / sy + 1e-9))) : -1;
    for (int i = 0; i <= ny; ++i) {
        const double y = ys + i * sy;
        if (atOrBeyond(a.axisY, y)) a.vertical.major.push_back({y, velocityLabel(y)});
        const int kEnd = (i == ny) ? 5 : 4;
        for (int k = 0; k <= kEnd; ++k) {
            const double p = y + k * (sy / 5.0);
            if (atOrBeyond(a.axisY, p)) a.vertical.minor.push_back(p);
        }
    }

    // Time ticks: from the step at or before the velocity axis across the whole width.
    const double sx = horizontalStep(s.width);
    const long long isx = std::max(1LL, nint(sx));
    const double xs = sx * static_cast<double>(floorDiv(nint(std::floor(a.axisX)), isx));
    const double xe = sx * static_cast<double>(nint(a.axisX) / isx) + sx * static_cast<double>(nint(s.width) / isx) + sx;
    const int nx = std::isfinite(xs) && std::isfinite(xe) ? static_cast<int>(std::min<double>(kMaxTicks, std::floor((xe - xs) / sx + 1e-9))) : -1;
    for (int i = 0; i <= nx; ++i) {
        const double x = xs + i * sx;
        if (atOrBeyond(a.axisX, x)) a.horizontal.major.push_back({x, timeLabel(x)});
        const int kEnd = (i == nx) ? 5 : 4;
        for (int k = 0; k <= kEnd; ++k) {
            const double p = x + k * (sx / 5.0);
            if (atOrBeyond(a.axisX, p)) a.horizontal.minor.push_back(p);
        }
    }
    return a;
}

// --- Overview -------------------------------------------------------------------------------

namespace {

constexpr std::array<Row, 14> kOverviewVertical = {{{8, 1},
                                                    {20, 2},
                                                    {40, 5},
                                                    {80, 10},
                                                    {200, 25},
                                                    {400, 50},
                                                    {800, 100},
                                                    {2000, 500},
                                                    {4000, 1000},
                                                    {8000, 2000},
                                                    {20000, 5000},
                                                    {50000, 10000},
                                                    {80000, 20000},
                                                    {160000, 40000}}};

constexpr std::array<Row, 13> kOverviewHorizontal = {{{8, 1},
                                                      {20, 10},
                                                      {40, 20},
                                                      {80, 25},
                                                      {200, 100},
                                                      {400, 40},
                                                      {800, 100},
                                                      {2000, 200},
                                                      {4000, 1000},
                                                      {8000, 2500},
                                                      {20000, 5000},
                                                      {40000, 10000},
                                                      {80000, 10000}}};

// a \ b with both rounded to whole numbers and the quotient truncated toward zero.
long long idiv(double a, double b)
{
    const long long d = std::max(1LL, nint(b));
    return nint(a) / d;
}

}  // namespace

double overviewVerticalStep(double absHeight)
{
    for (const Row& r : kOverviewVertical)
        if (absHeight <= r.bound) return r.step;
    // Beyond the table the steps grow on, so a tall record keeps a handful of ticks.
    if (!std::isfinite(absHeight)) return 25;
    return continuedTickStep(absHeight, true);
}

double overviewHorizontalStep(double width)
{
    for (const Row& r : kOverviewHorizontal)
        if (width < r.bound) return r.step;
    if (!std::isfinite(width)) return 50;
    return continuedTickStep(width, false);
}

std::string overviewVelocityLabel(double y) { return numbers::formatNumber(y / kYUnitsPerMps, "0.0"); }

std::string overviewTimeLabel(double x) { return numbers::formatNumber(x / 500.0, "#0.0"); }

AxesLayout layoutOverviewAxes(const Scale& s)
{
    AxesLayout a;
    const double absH = std::fabs(s.height);
    a.marginX = std::fabs(s.width / 4);
    a.marginY = absH / 4;
    a.bottom = s.top - absH;
    a.axisX = s.left + a.marginX;
    a.axisY = a.bottom + a.marginY;

    const auto ticks = [](AxisTicks& out, double from, double to, double step, double axis, bool label,
                          std::string (*text)(double)) {
        if (!(std::isfinite(from) && std::isfinite(to) && step > 0)) return;
        const int n = static_cast<int>(std::min<double>(kMaxTicks, std::floor((to - from) / step + 1e-9)));
        for (int i = 0; i <= n; ++i) {
            const double p = from + i * step;
            if (label && p >= axis) out.major.push_back({p, text(p)});
            const int kEnd = (i == n) ? 5 : 4;
            for (int k = 0; k <= kEnd; ++k) {
                const double q = p + k * (step / 5.0);
                if (q >= axis) out.minor.push_back(q);
            }
        }
    };
    const double sy = overviewVerticalStep(absH);
    ticks(a.vertical, static_cast<double>(idiv(a.axisY, sy)) * sy - sy, static_cast<double>(idiv(absH + a.axisY, sy)) * sy,
          sy, a.axisY, true, overviewVelocityLabel);
    const double sx = overviewHorizontalStep(s.width);
    ticks(a.horizontal, static_cast<double>(idiv(std::floor(a.axisX), sx)) * sx, s.left + s.width, sx, a.axisX, true,
          overviewTimeLabel);
    return a;
}

}  // namespace diagram
