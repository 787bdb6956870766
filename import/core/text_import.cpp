#include "import/core/text_import.h"

#include "numbers/numbers.h"
#include "platform/textfile.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

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

platform::Message dataListError(const std::string& reason)
{
    return platform::critical(reason.empty() ? "Error in data-list!" : "Error in data-list!\n" + reason, "Warning");
}

namespace {

// What a line holds, as a message quotes it: its first characters, or that it is blank.
std::string holding(std::string_view line)
{
    if (line.find_first_not_of(" \t") == std::string_view::npos) return "only blanks";
    return platform::quotedStart(line, 24);
}

// The separator two numbers of a data row are joined by where the structure chosen does not
// split them there (no time value, or another separator): a time and a velocity read as one.
std::optional<int> joinedBy(std::string_view row, int timeColumn, int separatorCode)
{
    for (const int code : {0, 1, 3, 2}) {  // a blank last: it may only pad another separator
        if (timeColumn != 0 && code == separatorCode) continue;
        const std::size_t p = row.find(separatorChar(code));
        if (p != std::string_view::npos && numbers::isNumeric(row.substr(0, p)) && numbers::isNumeric(row.substr(p + 1))) return code;
    }
    return std::nullopt;
}

}  // namespace

std::string dataListRefusal(const ImportLines& lines, const ImportLines& asRead, std::int32_t lineCount,
                            int headerRows, int timeColumn, int separatorCode, const ImportStatistics& s)
{
    const std::int32_t count = std::min<std::int32_t>(lineCount, static_cast<std::int32_t>(lines.size()));
    const std::int32_t header = std::max(headerRows, 0);
    const auto lineOf = [&](std::int32_t i) { return std::to_string(lines.fileLine(static_cast<std::size_t>(i))); };
    const auto shown = [&](std::int32_t i) {
        const ImportLines& from = asRead.size() == lines.size() ? asRead : lines;
        return holding(from[static_cast<std::size_t>(i)]);
    };
    const auto value = [&](std::int32_t i) {
        return velocityNumber(velocityText(lines[static_cast<std::size_t>(i)], timeColumn, separatorCode));
    };
    // The index of the line a point number stands for.
    const auto indexOf = [&](std::int32_t point) { return timeColumn == 0 ? header + point - 1 : point - 1; };
    const auto velocity = [](double v) { return numbers::formatNumber(v, "#0.000"); };

    if (count <= header) {
        if (count <= 0) return "The file holds no line with text.";
        if (count == 1) return "The one line of the file that holds text is a header row: no data line follows it.";
        return "All " + std::to_string(count) + " lines of the file that hold text are header rows: no data line follows them.";
    }
    for (std::int32_t i = header; i < count; ++i)
        if (!std::isfinite(value(i)))
            return "Line " + lineOf(i) + " of the file holds " + shown(i) + ", a number too large for a velocity; correct that line.";
    // Two columns read as one explain every refusal that follows from it.
    for (std::int32_t i = header; i < count && i < header + 3; ++i) {
        if (const auto code = joinedBy(lines[static_cast<std::size_t>(i)], timeColumn, separatorCode)) {
            static const char* const kJoint[] = {"a comma", "a semicolon", "a blank", "a tab"};
            static const char* const kEntry[] = {"Comma", "Semicolon", "Space", "Tabulator"};
            return "Line " + lineOf(i) + " of the file holds " + shown(i) + ": two numbers joined by " + kJoint[*code] +
                   ", as a time and a velocity are. Under \"Time value\" choose which of them is the time, and under "
                   "\"Time/velocity hyphen\" choose " + kEntry[*code] + "; then press Ok again.";
        }
    }
    if (!(s.maxVelocity > 0))
        return "No data line of the file reads as a velocity above 0 (line " + lineOf(header) + " holds " + shown(header) +
               "): check the time value, the separator and the number of header rows.";
    const std::int32_t highest = indexOf(s.maxVelocityRow);
    if (s.minVelocity == 0.0) {
        const std::int32_t zero = indexOf(s.minVelocityRow);
        const std::string start = "Line " + lineOf(zero) + " of the file holds " + shown(zero) + ", which reads as 0";
        if (zero < highest)
            return start + ", before the highest velocity (line " + lineOf(highest) +
                   "): count it among the header rows if it is one, or correct it.";
        std::int32_t zeros = 0;
        for (std::int32_t i = zero + 1; i < count; ++i)
            if (value(i) == 0.0) ++zeros;
        const std::int32_t after = count - 1 - zero;
        const std::string remedy = "delete the lines from line " + lineOf(zero) + " on.";
        if (zeros == after)
            return start +
                   (after == 0   ? std::string()
                    : after == 1 ? std::string(", and so does the line after it")
                                 : ", and so do the " + std::to_string(after) + " lines after it") +
                   ": the velocity must stay above 0 up to the last line; " + remedy;
        return start + ", though the velocity after it is above 0 again (a gap in the record): correct that line, or " + remedy;
    }
    if (s.minVelocityRow == 0) {
        if (count - header == 1)
            return "The file holds one data line (line " + lineOf(header) +
                   "): a coast-down needs its velocity falling from its highest to its lowest over several lines.";
        if (s.maxVelocity < 1000.0)
            return "The velocity rises from every data line to the next, up to the last (line " + lineOf(count - 1) +
                   "): a coast-down runs from its highest velocity down to its lowest.";
        return "No velocity of the file lies below 1000 (the highest, " + velocity(s.maxVelocity) + ", stands on line " +
               lineOf(highest) + "): check the velocity unit and the decimal mark.";
    }
    const std::int32_t lowest = indexOf(s.minVelocityRow);
    return "The lowest velocity (" + velocity(s.minVelocity) + ", line " + lineOf(lowest) + ") comes before the highest (" +
           velocity(s.maxVelocity) + ", line " + lineOf(highest) +
           "): a coast-down runs from its highest velocity down to its lowest; keep the lines from the highest to the "
           "lowest velocity of the run and delete the others.";
}

namespace {

// The time field of a data row, or nothing for a row without the separator.
std::optional<std::string_view> timeText(std::string_view row, int timeColumn, int separatorCode)
{
    const std::size_t p = row.find(separatorChar(separatorCode));
    if (p == std::string_view::npos) return std::nullopt;
    return timeColumn == 1 ? row.substr(0, p) : row.substr(p + 1);
}

// The decimals a time is written with: the digits after its point.
int decimalsOf(std::string_view time)
{
    const std::size_t point = time.find('.');
    if (point == std::string_view::npos) return 0;
    int n = 0;
    for (std::size_t i = point + 1; i < time.size() && time[i] >= '0' && time[i] <= '9'; ++i) ++n;
    return n;
}

}  // namespace

TimeSteps timeSteps(const ImportLines& lines, std::int32_t lineCount, int headerRows, int timeColumn,
                    int separatorCode, double interval)
{
    TimeSteps out;
    if (timeColumn != 1 && timeColumn != 2) return out;
    const std::int32_t count = std::min<std::int32_t>(lineCount, static_cast<std::int32_t>(lines.size()));
    const std::int32_t first = std::max(headerRows, 0);
    const auto time = [&](std::int32_t i) { return timeText(lines[static_cast<std::size_t>(i)], timeColumn, separatorCode); };
    int decimals = 0;
    for (std::int32_t i = first; i < count; ++i)
        if (const auto t = time(i)) decimals = std::max(decimals, decimalsOf(*t));
    // Loggers that print binary fractions write noise far below any clock's resolution.
    constexpr int kMostDecimals = 9;
    const double unit = std::pow(10.0, std::min(decimals, kMostDecimals));
    double before = std::numeric_limits<double>::quiet_NaN();  // the time of the row before, in units
    for (std::int32_t i = first; i < count; ++i) {
        const auto t = time(i);
        const double now = t ? std::nearbyint(numbers::leadingNumber(*t) * unit) : std::numeric_limits<double>::quiet_NaN();
        if (std::isfinite(before) && std::isfinite(now)) {
            ++out.steps;
            const double step = (now - before) / unit;
            if (!(std::fabs(step - interval) * unit < 1.0) && out.differing++ == 0) {
                out.firstLine = lines.fileLine(static_cast<std::size_t>(i));
                out.firstStep = step;
            }
        }
        before = now;
    }
    return out;
}

std::optional<platform::Message> timeColumnQuestion(const TimeSteps& steps, const std::string& intervalText)
{
    if (steps.differing == 0) return std::nullopt;
    const std::string rate = intervalText + " s";
    return platform::question(
        "The time column does not step by the sample rate entered, " + rate + ": " + std::to_string(steps.differing) +
            " of " + std::to_string(steps.steps) + " steps differ, the first at line " + std::to_string(steps.firstLine) +
            " of the file (a step of " + numbers::numberToText(steps.firstStep) + " s).\n"
            "The time column is not read: the data file places every sample " + rate + " after the one before.\n"
            "Save it with the sample rate of " + rate + "? No goes back to the form.",
        "Warning", platform::Buttons::YesNo);
}

HeaderRowCheck checkHeaderRows(std::string_view text)
{
    HeaderRowCheck c;
    if (!numbers::isNumeric(text)) {
        c.notNumeric = true;
        c.message = platform::critical("Please insert numerical value!", "Number of headerrows");
        return c;
    }
    const double v = numbers::leadingNumber(text);
    if (v < 0.0 || v > 30.0) {
        c.message = platform::information("Please insert value between 0 and 30 !", "Number of headerrows");
        return c;
    }
    c.accepted = true;
    c.headerRows = static_cast<std::int16_t>(numbers::roundHalfEven(v));
    return c;
}

std::string resultNumber(double value) { return numbers::formatNumber(value, "#0.000"); }

}  // namespace importer
