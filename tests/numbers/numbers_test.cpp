#include "numbers/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>

namespace {

struct LeadingCase {
    const char* text;
    double value;
};

TEST(LeadingNumber, ReadsTheNumberAtTheStart)
{
    const LeadingCase cases[] = {
        {"", 0},          {"abc", 0},        {"12.5", 12.5},     {"  12.5", 12.5},   {"1 2 . 5", 12.5},
        {"\t3\n4", 34},   {"12.5x7", 12.5},  {"25,3", 25},       {"-7.25", -7.25},   {"+3", 3},
        {"- 3", -3},      {"--3", 0},        {"+-3", 0},         {".5", 0.5},        {"5.", 5},
        {".", 0},         {"1.2.3", 1.2},    {"1E3", 1000},      {"1e-2", 0.01},     {"2D2", 200},
        {"2d+2", 200},    {"1E", 1},         {"1E+", 1},         {"1 E 2", 100},     {"&H1F", 31},
        {"&h10", 16},     {"&O17", 15},      {"&o8", 0},         {"&HFFFF", 65535},  {"&X1", 0},
        {"12\r5", 12},    {"0.1;25", 0.1},   {"007", 7},         {"1e400x", std::numeric_limits<double>::infinity()},
        {"-1e400", -std::numeric_limits<double>::infinity()}, {"1e-400", 0},
        {"10.0000002649095", 10.0000002649095},
    };
    for (const auto& c : cases) EXPECT_EQ(numbers::leadingNumber(c.text), c.value) << '"' << c.text << '"';
}

// Beyond the double range the value's own size decides, not the sign after the exponent mark.
TEST(LeadingNumber, OverflowAndUnderflowFollowTheValue)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<std::string, double> cases[] = {
        {"." + std::string(323, '0') + "1", 0},
        {"-." + std::string(323, '0') + "1", 0},
        {"2" + std::string(308, '0') + "e-0", inf},
        {"-3" + std::string(309, '0') + "E-1", -inf},
        {"0.0001e-321", 0},
        {"1" + std::string(400, '0') + "e-90", inf},
        {"0." + std::string(400, '0') + "1e70", 0},
        {"1e99999999999999999999999", inf},
        {"1e-99999999999999999999999", 0},
        {"1e-310", 1e-310},  // a subnormal is no underflow
    };
    for (const auto& [text, value] : cases) {
        const double v = numbers::leadingNumber(text);
        if (value == 0) EXPECT_EQ(v, 0.0) << text.substr(0, 12) << "... (" << text.size() << " characters)";
        else if (std::isinf(value)) EXPECT_EQ(v, value) << text.substr(0, 12) << "... (" << text.size() << " characters)";
        else EXPECT_DOUBLE_EQ(v, value) << text;
    }
    EXPECT_EQ(numbers::leadingNumber("1" + std::string(400, '0') + "e-100"), 1e300);
}

TEST(IsNumeric, WholeTextMustBeANumber)
{
    const std::pair<const char*, bool> cases[] = {
        {"12", true},    {" 12 ", true},   {"\t-1.5", true},  {"+0.8", true},   {"1e3", true},
        {"1.5E-2", true}, {"2D1", true},   {".5", true},      {"5.", true},     {"", false},
        {" ", false},    {"abc", false},   {"1,5", false},    {"1.2.3", false}, {"1e", false},
        {"12a", false},  {"1 2", false},   {"-", false},      {".", false},     {"&H10", false},
    };
    for (const auto& [text, numeric] : cases) EXPECT_EQ(numbers::isNumeric(text), numeric) << '"' << text << '"';
}

TEST(NumberToText, FifteenSignificantDigitsNoTrailingZeros)
{
    const std::pair<double, const char*> cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {12.5, "12.5"},
        {12.50, "12.5"},
        {1545, "1545"},
        {1500 * 1.03, "1545"},
        {0.1 + 0.2, "0.3"},
        {-7.25, "-7.25"},
        {36 / 3.6, "10"},
        {27.504 / 3.6, "7.64"},
        {20 * 0.44704, "8.9408"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.9, "1E+15"},
        {1e15, "1E+15"},
        {1.5e20, "1.5E+20"},
        {0.0001, "0.0001"},
        {0.00001, "0.00001"},
        {0.000001, "1E-06"},
        {-2.5e-7, "-2.5E-07"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(numbers::numberToText(value), text) << value;
}

TEST(NumberToText, ReadsBackToTheSameFifteenDigits)
{
    for (double v : {33.3333333333333, 0.1, 119.999, 1e-3, 27.7777777777778})
        EXPECT_EQ(numbers::numberToText(numbers::leadingNumber(numbers::numberToText(v))), numbers::numberToText(v));
}

// What is written reads back finite: the largest doubles rounded up to 15 digits would not.
TEST(NumberToText, TheLargestDoublesReadBackFinite)
{
    const double max = std::numeric_limits<double>::max();
    const std::pair<double, const char*> cases[] = {
        {max, "1.79769313486231E+308"},
        {-max, "-1.79769313486231E+308"},
        {std::nextafter(max, 0.0), "1.79769313486231E+308"},
        {1.79769313486231e308, "1.79769313486231E+308"},
        {1.7976931348623e308, "1.7976931348623E+308"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(numbers::numberToText(value), text) << value;
        EXPECT_TRUE(std::isfinite(numbers::leadingNumber(numbers::numberToText(value)))) << value;
    }
}

TEST(FormatNumber, DisplayPatterns)
{
    struct Case {
        double value;
        const char* pattern;
        const char* text;
    };
    const Case cases[] = {
        {12.5, "#0.000", "12.500"},  {0.5, "#0.000", "0.500"},    {-0.0004, "#0.000", "0.000"},
        {33.33349, "#0.000", "33.333"}, {2.0, "0", "2"},          {2.5, "0", "3"},    {-2.5, "0", "-3"},   {99.96, "#0.0", "100.0"},
        {1.25, "#0.0", "1.3"},  {1.2499999, "#0.0", "1.2"},        {1.2, "0.0000###", "1.2000"}, {1.23456789, "0.0000###", "1.2345679"},
        {3.0, "#####0.0###", "3.0"},  {1234567.0, "#0.0", "1234567.0"},
    };
    for (const auto& c : cases) EXPECT_EQ(numbers::formatNumber(c.value, c.pattern), c.text) << c.value << ' ' << c.pattern;
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    const std::pair<double, long long> cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {2.4, 2}, {2.6, 3}, {30, 30}};
    for (const auto& [v, r] : cases) EXPECT_EQ(numbers::roundHalfEven(v), r) << v;
    EXPECT_EQ(numbers::integerToText(-42), "-42");
}

}  // namespace
