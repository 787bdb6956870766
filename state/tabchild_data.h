#pragma once
// The state of one analysis window, shared by the analysis window, the diagram and the report.
// Standard library only.
#include "numbers/numbers.h"
#include "state/arrays.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace state {

struct TabchildData {
    ColMatrix velocitySamples;   // (0..N, 1..setCount), m/s
    ColMatrix testParameters;    // (0..5, 1..setCount): vehicle mass, dynamic mass, pressure, temperature, area
    TextMatrix headerValues;     // (0..25, 1..setCount), data-file line number first
    std::vector<double> coefficients;  // 0..4*setCount: F0, k, fr0, cd at 4i-3..4i
    ColMatrix fittedVelocities;  // same shape as velocitySamples; empty until a fit
    std::vector<double> residuals;     // 0..setCount, last calculation
    std::vector<double> fitReference;  // 0..setCount, load-time fit of a series
    std::vector<double> fitQuality;    // 0..setCount, percent
    int setCount = 0;
    int fixedCoeffOption = 0;    // 0 ties the rolling forces, 1 the aerodynamic terms
    double sampleCount = 0;      // N
    int lastTabhorzValue = 5000;
    int lastTabvertValue = 5000;
    double sampleInterval = 0;   // s
    int groupCounter = 0;
    int singleCounter = 0;
    int checkedIndex = 0;
    std::shared_ptr<void> reportWorkbook;  // the report's workbook; released on unload
    std::array<std::string, 31> dataFileNames;  // 1..setCount used
    std::string dataDirectory;   // ends in '/'
    std::string windowFileName;
    std::vector<int> groupSizes; // 0..groupCount
    int groupCount = 0;
    int meanTableLines = 0;

    // What the last calculation was run with, kept with its results so that what is shown or
    // reported later matches what was computed.
    bool calculated = false;
    std::string lastLambdaText;
    int lastCouplingMode = 0;

    // The data file's sample number of row 0 of each set (1..setCount): a data-file window holds
    // its run from the maximum on at row 1, a series window its entry's first line at row 0.
    std::vector<int> rowZeroSample;

    // Bumped whenever samples or fitted curves change, so views of them (the diagram's cached
    // summaries) know to rebuild.
    std::uint64_t dataVersion = 0;

    // N: sampleCount rounded to an integer, halves to even.
    int samples() const { return static_cast<int>(numbers::roundHalfEven(sampleCount)); }
    bool hasFit() const { return !fittedVelocities.empty(); }
    // The data file's own number of the sample at `row` of data set `set` (line 30 + number).
    long long sampleNumber(int row, int set) const
    {
        const std::size_t j = static_cast<std::size_t>(set);
        return row + (set >= 1 && j < rowZeroSample.size() ? rowZeroSample[j] : 0LL);
    }
};

}  // namespace state
