#include "analysis/core/header_grid.h"

#include "datafile/header_lines.h"
#include "numbers/numbers.h"

namespace analysis {
namespace {

using namespace datafile;

// The result grid shows the five test parameters from this row on.
constexpr int kResultParameterRow = 8;

bool inSet(const state::TabchildData& d, int set) { return set >= 1 && set <= d.setCount; }

}  // namespace

std::string protocolHeaderCell(const state::TabchildData& d, int row, int set)
{
    if (!inSet(d, set)) return {};
    if (row == 0) return singleLine(d.dataFileNames[static_cast<std::size_t>(set)]);
    if ((row >= kProject && row <= kTester) || row == kImportLineCount || row == kMinVelocityRow || row == kMaxVelocityRow)
        return singleLine(d.headerValues(row, set));
    if (row == kMinVelocity || row == kMaxVelocity)
        return numbers::formatNumber(numbers::leadingNumber(d.headerValues(row, set)), "#####0.0###");
    if (row == kSampleInterval) return numbers::numberToText(d.sampleInterval);
    if (row >= testParameterLine(1) && row <= testParameterLine(kTestParameterCount))
        return numbers::numberToText(d.testParameters(row - testParameterLine(1) + 1, set));
    // The three remarks stand one row below their line.
    if (row > kConfiguration && row <= kRoad + 1) return singleLine(d.headerValues(row - 1, set));
    return {};
}

std::string resultHeaderCell(const state::TabchildData& d, int row, int set)
{
    if (!inSet(d, set)) return {};
    if (row == 0) return singleLine(d.dataFileNames[static_cast<std::size_t>(set)]);
    if (row >= kProject && row <= kTester) return singleLine(d.headerValues(row, set));
    const int parameter = row - kResultParameterRow + 1;
    if (parameter >= 1 && parameter <= kTestParameterCount) return numbers::numberToText(d.testParameters(parameter, set));
    return {};
}

}  // namespace analysis
