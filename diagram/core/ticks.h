#pragma once
// Axis ticks and labels of the diagram, from the surface scale alone. Standard library only.
#include "diagram/core/view.h"

#include <string>
#include <vector>

namespace diagram {

// Step of the velocity ticks for a surface height |H| (bound included) and of the time ticks
// for a surface width W (bound excluded), in internal units. Beyond the classic tables the
// 1-2.5-5 progression continues with each bound eight steps wide.
double verticalStep(double absHeight);
double horizontalStep(double width);
// The progression beyond the tables: 25000, 50000, 100000, 250000, ... the first step of which
// `extent` is at most (or, with `boundIncluded` false, below) eight.
double continuedTickStep(double extent, bool boundIncluded);

struct Tick {
    double pos = 0;
    std::string label;
};

struct AxisTicks {
    std::vector<Tick> major;   // position and label
    std::vector<double> minor; // positions (major positions included)
};

struct AxesLayout {
    double marginX = 0;  // mX = |W / N|
    double marginY = 0;  // mY = |H / N|
    double bottom = 0;   // B = T - |H|
    double axisX = 0;    // x of the velocity axis, L + mX
    double axisY = 0;    // y of the time axis, B + mY
    AxisTicks vertical;
    AxisTicks horizontal;
};

AxesLayout layoutAxes(const Scale& scale, double marginDivisor);

// Label texts: velocity ticks y / (500/3) as "0.00#", time ticks x / 500 as "#0.00#".
std::string velocityLabel(double y);
std::string timeLabel(double x);

// The overview's frame: the same quantities with the margins fixed at a quarter, its own step
// tables (velocity: |H| at most the bound; time: W below it) and labels "0.0" (m/s) and "#0.0"
// (s). Time ticks run from time 0 to the right edge.
double overviewVerticalStep(double absHeight);
double overviewHorizontalStep(double width);
AxesLayout layoutOverviewAxes(const Scale& scale);
std::string overviewVelocityLabel(double y);
std::string overviewTimeLabel(double x);

}  // namespace diagram
