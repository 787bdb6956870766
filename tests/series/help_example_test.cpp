// The help's worked example of the fit quality is what the program computes for the example
// series, so the help cannot drift from the calculation.
#include "analysis/core/calculation.h"
#include "analysis/series/core/series_load.h"
#include "platform/textfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace {

state::TabchildData exampleSeries()
{
    series::SeriesLoad load = series::loadSeries(TW_EXAMPLES "/series.cts");
    state::TabchildData d;
    if (!load.content) return d;
    series::applySeries(std::move(*load.content), d);
    series::runReferenceFit(d, &ccoeff);
    return d;
}

std::string qualities(state::TabchildData& d, const char* lambda, int mode)
{
    const auto& entries = analysis::lambdaEntries();
    const int index = static_cast<int>(std::find(entries.begin(), entries.end(), lambda) - entries.begin());
    analysis::CalculationRequest request;
    request.seriesWindow = true;
    request.lambdaIndex = index;
    request.couplingMode = mode;
    if (!analysis::runCalculation(d, &ccoeff, request).computed) return "not computed";
    std::string text;
    for (int i = 1; i <= d.setCount; ++i) {
        text += i == 1 ? "" : i == d.setCount ? " and " : ", ";
        text += d.dataFileNames[static_cast<std::size_t>(i)] + (i == 1 ? " shows " : " ") +
                analysis::fitQualityText(d.fitQuality[static_cast<std::size_t>(i)]);
    }
    return text;
}

// The coefficient tied across the runs, per run, as the result grid shows it.
std::string tied(state::TabchildData& d, const char* lambda, int mode)
{
    qualities(d, lambda, mode);
    std::string text = "(";
    for (int i = 1; i <= d.setCount; ++i) {
        const double c = d.coefficients[4 * static_cast<std::size_t>(i) - (mode == 0 ? 1 : 0)];
        text += (i == 1 ? "" : ", ") + (mode == 0 ? analysis::fr0Text(c) : analysis::cdText(c));
    }
    return text + ")";
}

std::string helpText()
{
    const platform::TextReadResult help = platform::readTextFile(TW_HELP);
    EXPECT_TRUE(help.ok);
    std::string text;
    for (const std::string& line : help.lines) text += line + "\n";
    return text;
}

// Which Lambda ties which coefficient of the example series, as the help gives it.
TEST(HelpExample, TheLambdaThatTiesEachCoefficientIsWhatTheHelpSays)
{
    state::TabchildData d = exampleSeries();
    ASSERT_EQ(d.setCount, 3);
    const std::string text = helpText();
    for (const auto& [lambda, mode] : {std::pair{"1000000", 0}, std::pair{"1000000", 1}, std::pair{"1000000000000", 1}}) {
        const std::string values = tied(d, lambda, mode);
        EXPECT_NE(text.find(values), std::string::npos) << "Lambda " << lambda << " mode " << mode << ": " << values;
    }
}

TEST(HelpExample, FitQualityOfTheExampleSeriesIsWhatTheHelpSays)
{
    state::TabchildData d = exampleSeries();
    ASSERT_EQ(d.setCount, 3);
    const platform::TextReadResult help = platform::readTextFile(TW_HELP);
    ASSERT_TRUE(help.ok);
    std::string text;
    for (const std::string& line : help.lines) text += line + "\n";

    EXPECT_EQ(qualities(d, "0", 0), "run1.ctd shows 0.00%, run2.ctd 0.00% and run3.ctd 0.00%");
    const std::string coupled = qualities(d, "1000000", 0);  // rolling resistance tied
    EXPECT_NE(text.find("choose Lambda 1000000 and Rolling resistance and press Results: " + coupled + ","),
              std::string::npos)
        << coupled;
}

}  // namespace
