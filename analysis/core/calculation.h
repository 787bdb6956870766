#pragma once
// The calculation of an analysis window: the coupling weights offered, one solver call over the
// window state, the fit quality and the texts of the result rows. Standard library only; the
// solver entry is passed in.
#include "platform/message.h"
#include "solver/coastfit.h"
#include "state/tabchild_data.h"

#include <optional>
#include <string>
#include <vector>

namespace analysis {

// The 17 entries of cmbLambda: "0", then 10^0 .. 10^15 in the general number-to-text form.
const std::vector<std::string>& lambdaEntries();
// lambda of entry `index` (0..16), exact; 0 outside.
double lambdaValue(int index);

struct CalculationRequest {
    bool seriesWindow = false;  // a series passes the chosen lambda and mode; a data file 0 and 0
    int lambdaIndex = 0;
    int couplingMode = 0;
};

struct CalculationOutcome {
    bool computed = false;
    std::vector<platform::Message> messages;  // to show in order
};

// Runs the solver once over the window state and fills fittedVelocities, coefficients,
// residuals and fitQuality; records lambda and mode of the run. With no solver entry nothing is
// changed and the critical "Calculation Warning" names `libraryError`.
CalculationOutcome runCalculation(state::TabchildData& data, CcoeffFunction ccoeff, const CalculationRequest& request,
                                  const std::string& libraryError = {});

// Fit quality per data set: 100 - 100 * residual / reference for more than one set, 0 for one.
// A reference of 0 or not finite (no usable load-time fit), or a data set the solver could not
// fit, gives NaN: there is nothing to compare.
void computeFitQuality(state::TabchildData& data);

// The first value of the window state that the fit cannot take, as a "Calculation Warning" that
// names the data file and the value and says what the value must be: a vehicle mass, dynamic
// mass, air pressure or frontal area that is not greater than 0 or not finite, an air
// temperature at or below -273.15 degrees or not finite, a fitted sample (rows 1..N, named by its
// number in the data file) that is not finite, or 0 before a sample that is not (samples of 0 at
// the end are the vehicle standing). nullopt when every value can go into the fit.
std::optional<platform::Message> unusableValue(const state::TabchildData& data);

// True when the solver left every output of data set i (1-based) exactly 0: a singular system.
bool singularResult(const state::TabchildData& data, int i);

// The two warnings for a data-file run whose cd or fr0 is not positive.
std::vector<platform::Message> implausibleResultMessages();
platform::Message missingLibraryMessage(const std::string& libraryError);

// Result-row texts: cd "0.0000###", fr0 "0.00000###", fit quality "#0.00" and "%".
std::string cdText(double cd);
std::string fr0Text(double fr0);
std::string fitQualityText(double quality);

}  // namespace analysis
