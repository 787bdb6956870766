#include "analysis/core/calculation.h"

#include "datafile/header_lines.h"
#include "numbers/numbers.h"
#include "platform/textfile.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis {

const std::vector<std::string>& lambdaEntries()
{
    static const std::vector<std::string> entries = [] {
        std::vector<std::string> e;
        e.push_back(numbers::integerToText(0));
        for (int i = 0; i <= 15; ++i) e.push_back(numbers::numberToText(lambdaValue(i + 1)));
        return e;
    }();
    return entries;
}

double lambdaValue(int index)
{
    if (index < 1 || index > 16) return 0.0;
    double v = 1.0;
    for (int i = 1; i < index; ++i) v *= 10.0;  // exact up to 1E+22
    return v;
}

platform::Message missingLibraryMessage(const std::string& libraryError)
{
    std::string text = "The calculation library could not be used:\n";
    text += libraryError.empty() ? std::string("libCoastfit.so") : libraryError;
    text += "\nNothing was calculated.";
    return platform::critical(std::move(text), "Calculation Warning");
}

std::vector<platform::Message> implausibleResultMessages()
{
    return {platform::critical("The calculation returned unrealistic coefficients. Please check your input data!", "Calculation Warning"),
            platform::exclamation("The solution of the equation of motion could not be found!", "Calculation Warning")};
}

std::optional<platform::Message> unusableValue(const state::TabchildData& data)
{
    // A line that is no number as a whole read as the number it begins with (0 for none); the
    // message shows what the file holds, so that "0" is not taken for a typed 0.
    const auto asRead = [&](int set, int line) {
        if (line < 1 || line > data.headerValues.rows() || set > data.headerValues.cols()) return std::string();
        const std::string& text = data.headerValues(line, set);
        if (text.empty() || numbers::isNumeric(text)) return std::string();
        return " reads " + platform::quotedStart(datafile::singleLine(text), 60) + ", that";
    };
    const auto refuse = [&](int set, const std::string& what, double value, const char* needs, int line = 0) {
        const std::string& name = data.dataFileNames[static_cast<std::size_t>(set)];
        return platform::critical((name.empty() ? "Data set " + std::to_string(set) : name) + ": " + what + asRead(set, line) + " is " +
                                      numbers::numberToText(value) + ".\n" + needs + "; nothing was calculated.",
                                  "Calculation Warning");
    };
    static const char* const kParameters[] = {"", "the vehicle mass", "the dynamic mass", "the air pressure",
                                              "the air temperature", "the frontal area"};
    constexpr int kTemperature = 4;
    constexpr double kAbsoluteZero = -273.15;  // degrees Celsius
    const int n = std::min({data.setCount, data.testParameters.cols(), data.velocitySamples.cols(),
                            static_cast<int>(data.dataFileNames.size()) - 1});
    const int rows = std::min<long long>(numbers::roundHalfEven(data.sampleCount), data.velocitySamples.rows());
    for (int set = 1; set <= n; ++set) {
        for (int k = 1; k <= 5 && k <= data.testParameters.rows(); ++k) {
            const double v = data.testParameters(k, set);
            const int line = datafile::testParameterLine(k);
            if (!std::isfinite(v)) return refuse(set, kParameters[k], v, "The calculation needs a finite value here", line);
            // A mass, pressure or area of 0 or below gives no physical cd or fr0 (a negative mass
            // and area give the same ones as positive values); no gas is at or below absolute zero.
            if (k == kTemperature) {
                if (v <= kAbsoluteZero)
                    return refuse(set, kParameters[k], v, "The calculation needs a temperature above -273.15 \xC2\xB0" "C here", line);
            } else if (!(v > 0)) {
                return refuse(set, kParameters[k], v, "The calculation needs a value greater than 0 here", line);
            }
        }
        // Samples of 0 at the end are a run that coasted to standstill, which the fit models; a 0
        // before a moving sample is a gap, such as a line of text read as 0.
        const double* column = data.velocitySamples.column(set);
        int moving = 0;  // the last sample that is not 0
        for (int r = rows; r >= 1 && moving == 0; --r)
            if (column[r] != 0) moving = r;
        for (int r = 1; r <= rows; ++r) {
            if (!std::isfinite(column[r]))
                return refuse(set, "sample " + std::to_string(data.sampleNumber(r, set)), column[r], "The calculation needs a finite value here");
            if (column[r] == 0 && r < moving)
                return refuse(set, "sample " + std::to_string(data.sampleNumber(r, set)), column[r],
                              "The velocity drops to 0 before the run has stopped, a gap in the record");
        }
    }
    return std::nullopt;
}

bool singularResult(const state::TabchildData& data, int i)
{
    const std::size_t first = 4 * static_cast<std::size_t>(i) - 3;
    if (i < 1 || first + 3 >= data.coefficients.size() || static_cast<std::size_t>(i) >= data.residuals.size())
        return false;
    for (std::size_t k = first; k <= first + 3; ++k)
        if (data.coefficients[k] != 0.0) return false;
    return data.residuals[static_cast<std::size_t>(i)] == 0.0;
}

void computeFitQuality(state::TabchildData& data)
{
    const int n = data.setCount;
    data.fitQuality.assign(static_cast<std::size_t>(n) + 1, 0.0);
    if (n <= 1) return;
    for (int i = 1; i <= n; ++i) {
        const double reference = i < static_cast<int>(data.fitReference.size()) ? data.fitReference[static_cast<std::size_t>(i)] : 0.0;
        const double residual = data.residuals[static_cast<std::size_t>(i)];
        if (reference == 0.0 || !std::isfinite(reference) || singularResult(data, i)) {
            data.fitQuality[static_cast<std::size_t>(i)] = std::numeric_limits<double>::quiet_NaN();
            continue;
        }
        double q = reference * 1000.0;
        q = 100.0 / q;
        const double r = residual * 1000.0;
        data.fitQuality[static_cast<std::size_t>(i)] = 100.0 - r * q;
    }
}

CalculationOutcome runCalculation(state::TabchildData& data, CcoeffFunction ccoeff, const CalculationRequest& request,
                                  const std::string& libraryError)
{
    CalculationOutcome out;
    if (!ccoeff) {
        out.messages.push_back(missingLibraryMessage(libraryError));
        return out;
    }
    const int n = data.setCount;
    const long long rounded = numbers::roundHalfEven(data.sampleCount);
    if (n < 1 || n > std::numeric_limits<int>::max() / 4 - 1 || rounded < 0 ||
        rounded > std::numeric_limits<int32_t>::max() - 1 || data.velocitySamples.cols() < n ||
        data.velocitySamples.rows() < rounded || data.testParameters.cols() < n || data.testParameters.rows() < 5)
        return out;  // no data set loaded: nothing to compute
    const int N = static_cast<int>(rounded);
    if (auto refusal = unusableValue(data)) {
        out.messages.push_back(std::move(*refusal));
        return out;
    }

    data.fittedVelocities.resize(N, n);
    data.coefficients.assign(4 * static_cast<std::size_t>(n) + 1, 0.0);
    data.residuals.assign(static_cast<std::size_t>(n) + 1, 0.0);
    data.fitQuality.assign(static_cast<std::size_t>(n) + 1, 0.0);

    const double lambda = request.seriesWindow ? lambdaValue(request.lambdaIndex) : 0.0;
    const int mode = request.seriesWindow ? request.couplingMode : 0;

    // The solver's velocity layout is (0..N) per column; a series window may hold more rows.
    const bool sameShape = data.velocitySamples.rows() == N;
    state::ColMatrix trimmed;
    if (!sameShape) {
        trimmed.resize(N, n);
        for (int c = 1; c <= n; ++c)
            for (int r = 0; r <= N; ++r) trimmed(r, c) = data.velocitySamples(r, c);
    }
    const double* velocities = sameShape ? data.velocitySamples.data() : trimmed.data();
    ccoeff(velocities, N, n, data.testParameters.data(), data.sampleInterval, lambda, mode, data.coefficients.data(),
           data.residuals.data(), data.fittedVelocities.data());
    ++data.dataVersion;

    if (!request.seriesWindow) {
        const double fr0 = data.coefficients[3];
        const double cd = data.coefficients[4];
        if (!(cd > 0 && fr0 > 0)) out.messages = implausibleResultMessages();
    } else {
        // A singular coupled system leaves nothing to show: say so once for the calculation.
        for (int i = 1; i <= n; ++i) {
            if (singularResult(data, i)) {
                out.messages.push_back(implausibleResultMessages().front());
                break;
            }
        }
    }
    computeFitQuality(data);

    data.calculated = true;
    data.lastLambdaText = request.seriesWindow ? lambdaEntries()[static_cast<std::size_t>(
                                                     request.lambdaIndex >= 0 && request.lambdaIndex <= 16 ? request.lambdaIndex : 0)]
                                               : std::string("0");
    data.lastCouplingMode = mode;
    out.computed = true;
    return out;
}

std::string cdText(double cd) { return numbers::formatNumber(cd, "0.0000###"); }
std::string fr0Text(double fr0) { return numbers::formatNumber(fr0, "0.00000###"); }

std::string fitQualityText(double quality)
{
    if (std::isnan(quality)) return "n/a";
    return numbers::formatNumber(quality, "#0.00") + "%";
}

}  // namespace analysis
