#include "diagram/core/defaults.h"

namespace diagram {
namespace {
constexpr std::array<int, 10> kCycle = {10485760, 16744448, 1381785, 1974000, 32768,
                                        65280,    9896087,  16745727, 30583,   50372};
}

DiagramSettings& settings()
{
    static DiagramSettings s;
    return s;
}

int curveColourNumber(int entry) { return kCycle[static_cast<std::size_t>(((entry % 10) + 10) % 10)]; }

void initDiagramDefaults()
{
    DiagramSettings& s = settings();
    s.marginDivisor = 9.0f;
    s.diagramStretch = static_cast<float>(9.0 / 8.0);
    s.scrollEventsEnabled = true;
    s.zoomPending = false;
    for (int i = 0; i <= 60; ++i) s.curveColours[static_cast<std::size_t>(i)] = std::to_string(curveColourNumber(i));
}

}  // namespace diagram
