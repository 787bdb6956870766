#include "import/core/ctd_writer.h"
#include "import/core/parameters.h"
#include "import/core/text_import.h"
#include "numbers/numbers.h"
#include "platform/textfile.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

const std::string kData = TW_IMPORT_DATA;

std::vector<std::string> split(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t b = 0;
    for (std::size_t e; (e = text.find("\r\n", b)) != std::string::npos; b = e + 2) lines.push_back(text.substr(b, e - b));
    EXPECT_EQ(b, text.size()) << "every line ends with CR LF";
    return lines;
}

importer::ImportState importOf(std::vector<std::string> lines, int headerRows, int timeColumn = 0, int separator = 0, int unit = 0)
{
    importer::ImportState s;
    s.importLines = std::move(lines);
    s.importLineCount = static_cast<std::int32_t>(s.importLines.size());
    s.headerRows = static_cast<std::int16_t>(headerRows);
    s.timeColumn = static_cast<std::int16_t>(timeColumn);
    s.separatorCode = static_cast<std::int16_t>(separator);
    s.velocityUnit = static_cast<std::int16_t>(unit);
    return s;
}

TEST(CtdWriter, GoldenFileByteForByte)
{
    std::string text, error;
    ASSERT_TRUE(platform::readText(kData + "/run_kmh.txt", text, error)) << error;
    auto s = importOf(importer::nonEmptyLines(text).strings(), 2, 1, 1, 1);
    s.decimalSeparator = 1;
    importer::applyDecimalComma(s.importLines, s.importLineCount, s.headerRows);
    const auto stats = importer::importStatistics(s.importLines, s.importLineCount, s.headerRows, s.timeColumn, s.separatorCode);
    ASSERT_TRUE(importer::dataListPlausible(stats));
    importer::keepStatistics(stats, s);

    importer::ParameterFields f;
    f.project = "A4 coast-down";
    f.day = 9;
    f.month = 3;
    f.year = 2005;
    f.time = "10:15";
    f.car = "A4 Avant";
    f.tester = "Kim Weber";
    f.delta = "0,1";
    f.mass = "1500";
    f.pressure = "1,013";
    f.temperature = "18,5";
    f.area = "2,2";
    f.configuration = "Roof box";
    f.weather = "dry, 3 m/s wind";
    f.road = "asphalt";
    auto header = importer::collectTestParameters(f, s);
    std::array<bool, 8> flags{};
    ASSERT_TRUE(importer::validateTestParameters(header, flags, f.time).messages.empty());
    const auto linesBefore = s.importLines;
    const std::string bytes = platform::encodeWindows1252(importer::ctdFileText(header, s));

    std::string golden;
    ASSERT_TRUE(platform::readFileBytes(kData + "/run_kmh.ctd", golden, error)) << error;
    EXPECT_EQ(bytes, golden);
    EXPECT_EQ(header[7], "10");
    EXPECT_EQ(header[8], "20");
    EXPECT_EQ(s.importLines, linesBefore) << "the writer only reads the import lines";
}

// km/h are 1000 m per 3600 s, mph 1609.344 m per 3600 s: the shown values are those quotients.
TEST(CtdWriter, UnitsConvertExactly)
{
    const std::tuple<const char*, int, const char*> cases[] = {
        {"36", 1, "10"},        {"27.504", 1, "7.64"}, {"72", 1, "20"},      {"120.96", 1, "33.6"},
        {"60", 2, "26.8224"},   {"20", 2, "8.9408"},   {"10", 2, "4.4704"},  {"1", 2, "0.44704"},
        {"12.5", 0, "12.5"},    {"60", 7, "26.8224"},  // any other code counts as mph
    };
    for (const auto& [text, unit, shown] : cases)
        EXPECT_EQ(numbers::numberToText(importer::toMetresPerSecond(numbers::leadingNumber(text), unit)), shown) << text << " unit " << unit;

    // Every velocity a logger writes with two decimals, against its exact quotient (n/100 km/h is
    // n/360 m/s, n/100 mph is n*44704/10^7 m/s, both correctly rounded as one division): within
    // the rounding of the text itself and one division.
    for (long n = 0; n <= 30000; ++n) {
        const double v = numbers::leadingNumber(std::to_string(n / 100) + "." + (n % 100 < 10 ? "0" : "") + std::to_string(n % 100));
        const double kmh = static_cast<double>(n) / 360.0, mph = static_cast<double>(n * 44704) / 1e7;
        ASSERT_NEAR(importer::toMetresPerSecond(v, 1), kmh, 4.5e-16 * kmh) << n << " km/h hundredths";
        ASSERT_NEAR(importer::toMetresPerSecond(v, 2), mph, 4.5e-16 * mph) << n << " mph hundredths";
    }
}

TEST(CtdWriter, Rendering)
{
    struct Case {
        std::vector<std::string> rows;
        int timeColumn, separator, unit;
        std::vector<std::string> samples;
    };
    const Case cases[] = {
        {{"36"}, 0, 0, 1, {"10"}},
        {{"10"}, 0, 0, 2, {"4.4704"}},
        {{"12.50", "abc", "  7"}, 0, 0, 0, {"12.5", "0", "7"}},
        {{"0.5;12.25", "13"}, 1, 1, 0, {"12.25", "13"}},
        {{"0.1 25.3 7"}, 1, 2, 0, {"25.3"}},
        {{"25.3;0.1", "24"}, 2, 1, 0, {"25.3", "24"}},
    };
    for (const Case& c : cases) {
        auto rows = c.rows;
        rows.insert(rows.begin(), "header");
        const auto s = importOf(rows, 1, c.timeColumn, c.separator, c.unit);
        std::array<std::string, 30> header;
        header.fill("0");
        const auto lines = split(importer::ctdFileText(header, s));
        ASSERT_EQ(lines.size(), 30 + c.samples.size());
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 30, lines.end()), c.samples) << c.rows[0];
    }
}

TEST(CtdWriter, HeaderRowsOnlyGiveThirtyLines)
{
    const auto s = importOf({"a", "b", "c"}, 3);
    std::array<std::string, 30> header;
    header.fill("x");
    EXPECT_EQ(split(importer::ctdFileText(header, s)).size(), 30u);
}

}  // namespace
