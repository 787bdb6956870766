#include "import/core/ctd_writer.h"

#include "datafile/header_lines.h"
#include "import/core/text_import.h"
#include "numbers/numbers.h"

#include <algorithm>
#include <cmath>

namespace importer {

double toMetresPerSecond(double velocity, int velocityUnit)
{
    if (velocityUnit == 0) return velocity;
    if (velocityUnit == 1) return velocity / 3.6;
    return velocity * 0.44704;
}

std::string ctdFileText(datafile::HeaderTexts& fileHeader, const ImportState& import)
{
    for (const std::size_t k : {datafile::entry(datafile::kMinVelocity), datafile::entry(datafile::kMaxVelocity)})
        fileHeader[k] = numbers::numberToText(toMetresPerSecond(numbers::leadingNumber(fileHeader[k]), import.velocityUnit));

    std::string out;
    for (const std::string& line : fileHeader) {
        out += line;
        out += "\r\n";
    }
    const std::int32_t count = std::min<std::int32_t>(import.importLineCount, static_cast<std::int32_t>(import.importLines.size()));
    for (std::int32_t r = std::max<std::int32_t>(import.headerRows, 0); r < count; ++r) {
        const std::string field = velocityText(import.importLines[static_cast<std::size_t>(r)], import.timeColumn, import.separatorCode);
        const double v = toMetresPerSecond(velocityNumber(field), import.velocityUnit);
        out += std::isfinite(v) ? numbers::numberToText(v) : std::string("0");
        out += "\r\n";
    }
    return out;
}

}  // namespace importer
