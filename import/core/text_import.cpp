#include "import/core/text_import.h"

#include "numbers/numbers.h"

#include <algorithm>
#include <cmath>

namespace importer {

char separatorChar(int separatorCode)
{
    switch (separatorCode) {
    case 1: return ';';
    case 2: return ' ';
    case 3: return '\t';
    default: return ',';
    }
}

std::string velocityText(std::string_view row, int timeColumn, int separatorCode)
{
    if (timeColumn != 1 && timeColumn != 2) return std::string(row);
    const std::size_t p = row.find(separatorChar(separatorCode));
    if (p == std::string_view::npos) return std::string(row);
    if (timeColumn == 1) return std::string(row.substr(p + 1));
    return std::string(row.substr(0, p));
}

double velocityNumber(std::string_view field)
{
    bool digits = false;
    std::size_t end = field.size();
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (digits && (c == ' ' || c == '\t')) {
            end = i;
            break;
        }
        if (c >= '0' && c <= '9') digits = true;
    }
    return numbers::leadingNumber(field.substr(0, end));
}

void applyDecimalComma(ImportLines& lines, std::int32_t lineCount, int headerRows)
{
    const std::size_t last = std::min<std::size_t>(lines.size(), lineCount < 0 ? 0 : static_cast<std::size_t>(lineCount));
    for (std::size_t i = headerRows < 0 ? 0 : static_cast<std::size_t>(headerRows); i < last; ++i) lines.replace(i, ',', '.');
}

ImportStatistics importStatistics(const ImportLines& lines, std::int32_t lineCount,
                                  int headerRows, int timeColumn, int separatorCode)
{
    ImportStatistics s;
    const std::int32_t count = std::min<std::int32_t>(lineCount, static_cast<std::int32_t>(lines.size()));
    // A negative count reads no line before the first, as the other import steps keep it.
    const std::int32_t header = std::max(headerRows, 0);
    for (std::int32_t i = header + 1; i <= count; ++i) {
        const double v = velocityNumber(velocityText(lines[static_cast<std::size_t>(i - 1)], timeColumn, separatorCode));
        if (!std::isfinite(v)) s.allFinite = false;
        const std::int32_t r = timeColumn == 0 ? i - header : i;
        if (v > s.maxVelocity) {
            s.maxVelocity = v;
            s.maxVelocityRow = r;
        } else if (v < s.minVelocity) {
            s.minVelocity = v;
            s.minVelocityRow = r;
        }
        ++s.dataRows;
    }
    return s;
}

void keepStatistics(const ImportStatistics& statistics, ImportState& state)
{
    state.minVelocity = statistics.minVelocity;
    state.maxVelocity = statistics.maxVelocity;
    state.minVelocityRow = statistics.minVelocityRow;
    state.maxVelocityRow = statistics.maxVelocityRow;
}

bool dataListPlausible(const ImportStatistics& s)
{
    return s.allFinite && s.minVelocity != 0.0 && s.minVelocityRow >= s.maxVelocityRow;
}

platform::Message dataListError()
{
    return platform::messageFromFlags(4112, "Error in data-list!", "Warning");
}

HeaderRowCheck checkHeaderRows(std::string_view text)
{
    HeaderRowCheck c;
    if (!numbers::isNumeric(text)) {
        c.notNumeric = true;
        c.message = platform::messageFromFlags(4112, "Please insert numerical value!", "Number of headerrows");
        return c;
    }
    const double v = numbers::leadingNumber(text);
    if (v < 0.0 || v > 30.0) {
        c.message = platform::messageFromFlags(4160, "Please insert value between 0 and 30 !", "Number of headerrows");
        return c;
    }
    c.accepted = true;
    c.headerRows = static_cast<std::int16_t>(numbers::roundHalfEven(v));
    return c;
}

std::string resultNumber(double value) { return numbers::formatNumber(value, "#0.000"); }

}  // namespace importer
