#include "analysis/core/calculation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using analysis::CalculationRequest;
using state::TabchildData;

namespace {

// A stand-in solver that records its call and writes chosen coefficients.
struct Call {
    int N = -1, m = -1, mode = -1;
    double dt = -1, lambda = -1;
    const double* velocities = nullptr;
    const double* parameters = nullptr;
};
Call lastCall;
double nextF0 = 150, nextK = 0.4, nextFr = 0.01, nextCd = 0.3, nextResidual = 0.02;

void fakeCcoeff(const double* v, int32_t N, int32_t m, const double* p, double dt, double lambda, int32_t mode,
                double* results, double* residuals, double* fitted)
{
    lastCall = {N, m, mode, dt, lambda, v, p};
    for (int i = 1; i <= m; ++i) {
        results[4 * i - 3] = nextF0;
        results[4 * i - 2] = nextK;
        results[4 * i - 1] = nextFr;
        results[4 * i] = nextCd;
        residuals[i] = nextResidual * i;
        for (int j = 1; j <= N; ++j) fitted[(i - 1) * (N + 1) + j] = 1.0;
    }
}

TabchildData window(int sets, int samples)
{
    TabchildData d;
    d.setCount = sets;
    d.sampleCount = samples;
    d.sampleInterval = 0.1;
    d.velocitySamples.resize(samples, sets);
    d.testParameters.resize(5, sets);
    for (int c = 1; c <= sets; ++c) {
        for (int r = 0; r <= samples; ++r) d.velocitySamples(r, c) = 30.0 - r;
        const double p[] = {0, 1500, 1545, 1.013, 20, 2.1};
        for (int k = 1; k <= 5; ++k) d.testParameters(k, c) = p[k];
        d.dataFileNames[static_cast<std::size_t>(c)] = "run" + std::to_string(c) + ".ctd";
    }
    d.fitReference.assign(static_cast<std::size_t>(sets) + 1, 0.04);
    return d;
}

}  // namespace

TEST(Calculation, LambdaEntries)
{
    const auto& e = analysis::lambdaEntries();
    ASSERT_EQ(e.size(), 17u);
    EXPECT_EQ(e[0], "0");
    EXPECT_EQ(e[1], "1");
    EXPECT_EQ(e[2], "10");
    EXPECT_EQ(e[15], "100000000000000");
    EXPECT_EQ(e[16], "1E+15");
    EXPECT_EQ(analysis::lambdaValue(0), 0.0);
    EXPECT_EQ(analysis::lambdaValue(16), 1e15);
    EXPECT_EQ(analysis::lambdaValue(-1), 0.0);
}

TEST(Calculation, DataFileWindowPassesZeroCouplingWhateverIsChosen)
{
    TabchildData d = window(1, 6);
    nextCd = 0.3, nextFr = 0.01;
    const auto out = analysis::runCalculation(d, fakeCcoeff, CalculationRequest{false, 16, 1});
    EXPECT_TRUE(out.computed);
    EXPECT_TRUE(out.messages.empty());
    EXPECT_EQ(lastCall.lambda, 0.0);
    EXPECT_EQ(lastCall.mode, 0);
    EXPECT_EQ(lastCall.N, 6);
    EXPECT_EQ(lastCall.m, 1);
    EXPECT_EQ(lastCall.dt, 0.1);
    EXPECT_EQ(lastCall.velocities, d.velocitySamples.data());
    EXPECT_EQ(lastCall.parameters, d.testParameters.data());
    EXPECT_EQ(d.fitQuality[1], 0.0);  // one run: no reference
    EXPECT_EQ(d.lastLambdaText, "0");
    EXPECT_EQ(d.lastCouplingMode, 0);
    EXPECT_TRUE(d.calculated);
    EXPECT_EQ(d.fittedVelocities(6, 1), 1.0);
}

TEST(Calculation, SeriesWindowPassesTheEntryAndModeAndKeepsThemWithTheResults)
{
    TabchildData d = window(3, 10);
    const auto out = analysis::runCalculation(d, fakeCcoeff, CalculationRequest{true, 16, 1});
    EXPECT_TRUE(out.computed);
    EXPECT_EQ(lastCall.lambda, 1e15);
    EXPECT_EQ(lastCall.mode, 1);
    EXPECT_EQ(lastCall.m, 3);
    EXPECT_EQ(d.lastLambdaText, "1E+15");
    EXPECT_EQ(d.lastCouplingMode, 1);
    // 100 - 100 * residual / reference, residual 0.02 i against 0.04.
    EXPECT_NEAR(d.fitQuality[1], 50.0, 1e-9);
    EXPECT_NEAR(d.fitQuality[2], 0.0, 1e-9);
    EXPECT_NEAR(d.fitQuality[3], -50.0, 1e-9);
}

TEST(Calculation, ImplausibleRunGivesBothWarningsInOrder)
{
    struct Case {
        double cd, fr;
        bool warns;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Case c : {Case{0.3, 0.01, false}, Case{-0.3, 0.01, true}, Case{0.3, -0.01, true}, Case{0, 0, true},
                         Case{nan, 0.01, true}, Case{0.3, nan, true}}) {
        SCOPED_TRACE(::testing::Message() << c.cd << " " << c.fr);
        TabchildData d = window(1, 6);
        nextCd = c.cd, nextFr = c.fr;
        const auto out = analysis::runCalculation(d, fakeCcoeff, CalculationRequest{});
        EXPECT_TRUE(out.computed);  // the results are shown anyway
        if (!c.warns) {
            EXPECT_TRUE(out.messages.empty());
            continue;
        }
        ASSERT_EQ(out.messages.size(), 2u);
        EXPECT_EQ(out.messages[0].title, "Calculation Warning");
        EXPECT_EQ(out.messages[0].text, "The calculation returned unrealistic coefficients. Please check your input data!");
        EXPECT_EQ(out.messages[0].icon, platform::Icon::Critical);
        EXPECT_EQ(out.messages[1].title, "Calculation Warning");
        EXPECT_EQ(out.messages[1].text, "The solution of the equation of motion could not be found!");
        EXPECT_EQ(out.messages[1].icon, platform::Icon::Exclamation);
    }
    nextCd = 0.3, nextFr = 0.01;
}

TEST(Calculation, SeriesWindowNeverWarns)
{
    TabchildData d = window(2, 6);
    nextCd = -1;
    EXPECT_TRUE(analysis::runCalculation(d, fakeCcoeff, CalculationRequest{true, 0, 0}).messages.empty());
    nextCd = 0.3;
}

// A value the fit cannot take stops the calculation with a message naming file and value and
// saying what the value must be.
TEST(Calculation, RefusesValuesTheFitCannotTake)
{
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const std::string finite = "The calculation needs a finite value here; nothing was calculated.";
    const std::string positive = "The calculation needs a value greater than 0 here; nothing was calculated.";
    const std::string warm = "The calculation needs a temperature above -273.15 \xC2\xB0" "C here; nothing was calculated.";
    const std::string gap = "The velocity drops to 0 before the run has stopped, a gap in the record; nothing was calculated.";
    struct Case {
        int set, row;  // row -k: test parameter k; otherwise a sample row
        double value;
        std::string text;
    };
    const Case cases[] = {
        {1, -1, 0, "run1.ctd: the vehicle mass is 0.\n" + positive},
        {1, -1, -1500, "run1.ctd: the vehicle mass is -1500.\n" + positive},
        {2, -2, nan, "run2.ctd: the dynamic mass is NaN.\n" + finite},
        {2, -2, -1545, "run2.ctd: the dynamic mass is -1545.\n" + positive},
        {1, -3, 0, "run1.ctd: the air pressure is 0.\n" + positive},
        {1, -3, -1.012, "run1.ctd: the air pressure is -1.012.\n" + positive},
        {2, -4, -inf, "run2.ctd: the air temperature is -Infinity.\n" + finite},
        {2, -4, -273.15, "run2.ctd: the air temperature is -273.15.\n" + warm},
        {1, -4, -300, "run1.ctd: the air temperature is -300.\n" + warm},
        {1, -5, inf, "run1.ctd: the frontal area is Infinity.\n" + finite},
        {1, -5, -2.2, "run1.ctd: the frontal area is -2.2.\n" + positive},
        {2, 1, 0, "run2.ctd: sample 1 is 0.\n" + gap},
        {1, 5, 0, "run1.ctd: sample 5 is 0.\n" + gap},
        {1, 6, nan, "run1.ctd: sample 6 is NaN.\n" + finite},
        {2, 3, inf, "run2.ctd: sample 3 is Infinity.\n" + finite},
    };
    for (const bool series : {false, true}) {
        for (const Case& c : cases) {
            if (!series && c.set > 1) continue;
            SCOPED_TRACE(c.text);
            TabchildData d = window(series ? 2 : 1, 6);
            if (c.row < 0) d.testParameters(-c.row, c.set) = c.value;
            else d.velocitySamples(c.row, c.set) = c.value;
            lastCall = {};
            const auto out = analysis::runCalculation(d, fakeCcoeff, CalculationRequest{series, 0, 0});
            EXPECT_FALSE(out.computed);
            EXPECT_EQ(lastCall.N, -1);  // the solver was not called
            EXPECT_TRUE(d.coefficients.empty());
            EXPECT_FALSE(d.calculated);
            ASSERT_EQ(out.messages.size(), 1u);
            EXPECT_EQ(out.messages[0].title, "Calculation Warning");
            EXPECT_EQ(out.messages[0].icon, platform::Icon::Critical);
            EXPECT_EQ(out.messages[0].text, c.text);
        }
    }
    // 0 degrees and just above absolute zero, a dynamic mass below the mass (unusual, not
    // impossible), and samples of 0 at the end (a run that coasted to standstill) are fine.
    TabchildData d = window(1, 6);
    d.testParameters(4, 1) = 0;
    d.velocitySamples(0, 1) = 0;
    d.velocitySamples(5, 1) = 0;
    d.velocitySamples(6, 1) = 0;
    EXPECT_TRUE(analysis::runCalculation(d, fakeCcoeff, CalculationRequest{}).computed);
    d.testParameters(4, 1) = -273.14;
    d.testParameters(2, 1) = 1400;
    EXPECT_TRUE(analysis::runCalculation(d, fakeCcoeff, CalculationRequest{}).computed);
}

TEST(Calculation, MissingSolverChangesNothing)
{
    TabchildData d = window(2, 6);
    d.coefficients.assign(9, 5.0);
    d.calculated = true;
    d.lastLambdaText = "10";
    const auto out = analysis::runCalculation(d, nullptr, CalculationRequest{true, 3, 0}, "/opt/tw/libCoastfit.so: gone");
    EXPECT_FALSE(out.computed);
    ASSERT_EQ(out.messages.size(), 1u);
    EXPECT_EQ(out.messages[0].title, "Calculation Warning");
    EXPECT_EQ(out.messages[0].icon, platform::Icon::Critical);
    EXPECT_NE(out.messages[0].text.find("/opt/tw/libCoastfit.so: gone"), std::string::npos);
    EXPECT_EQ(d.coefficients, std::vector<double>(9, 5.0));
    EXPECT_EQ(d.lastLambdaText, "10");
    EXPECT_TRUE(d.fittedVelocities.empty());
}

TEST(Calculation, ZeroReferenceHasNoFitQuality)
{
    TabchildData d = window(2, 6);
    d.fitReference = {0, 0.0, 0.04};
    analysis::runCalculation(d, fakeCcoeff, CalculationRequest{true, 0, 0});
    EXPECT_TRUE(std::isnan(d.fitQuality[1]));
    EXPECT_EQ(analysis::fitQualityText(d.fitQuality[1]), "n/a");
    EXPECT_NEAR(d.fitQuality[2], 0.0, 1e-9);
}

// A solver that fits run 1 and leaves every output of the other runs 0, as a singular system does.
void fakeSingularAfterFirst(const double* v, int32_t N, int32_t m, const double* p, double dt, double lambda,
                            int32_t mode, double* results, double* residuals, double* fitted)
{
    fakeCcoeff(v, N, m, p, dt, lambda, mode, results, residuals, fitted);
    for (int i = 2; i <= m; ++i) {
        for (int k = 4 * i - 3; k <= 4 * i; ++k) results[k] = 0.0;
        residuals[i] = 0.0;
        for (int j = 1; j <= N; ++j) fitted[(i - 1) * (N + 1) + j] = 0.0;
    }
}

TEST(Calculation, SingularSeriesSetHasNoFitQualityAndWarnsOnce)
{
    TabchildData d = window(3, 6);
    const auto out = analysis::runCalculation(d, fakeSingularAfterFirst, CalculationRequest{true, 16, 0});
    EXPECT_TRUE(out.computed);
    ASSERT_EQ(out.messages.size(), 1u);
    EXPECT_EQ(out.messages[0].title, "Calculation Warning");
    EXPECT_EQ(out.messages[0].text, "The calculation returned unrealistic coefficients. Please check your input data!");
    EXPECT_NEAR(d.fitQuality[1], 50.0, 1e-9);  // residual 0.02 against the reference 0.04
    EXPECT_TRUE(std::isnan(d.fitQuality[2]));
    EXPECT_TRUE(std::isnan(d.fitQuality[3]));
}

TEST(Calculation, ResultTexts)
{
    EXPECT_EQ(analysis::cdText(0.00001234), "0.0000123");
    EXPECT_EQ(analysis::cdText(0.31), "0.3100");
    EXPECT_EQ(analysis::cdText(0.123456789), "0.1234568");
    EXPECT_EQ(analysis::cdText(-0.3), "-0.3000");
    EXPECT_EQ(analysis::fr0Text(0.012), "0.01200");
    EXPECT_EQ(analysis::fr0Text(0.0101234567), "0.01012346");
    EXPECT_EQ(analysis::fitQualityText(99.5), "99.50%");
    EXPECT_EQ(analysis::fitQualityText(0), "0.00%");
    EXPECT_EQ(analysis::fitQualityText(-12.345), "-12.35%");
}
