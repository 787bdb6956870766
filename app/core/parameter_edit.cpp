#include "app/core/parameter_edit.h"

#include "datafile/data_file.h"
#include "datafile/header_lines.h"
#include "numbers/numbers.h"
#include "platform/textfile.h"

#include <cmath>

namespace app {
namespace {

// A whole number in a date part: numeric as a whole and without a fraction.
std::optional<int> datePart(std::string_view text)
{
    if (!numbers::isNumeric(text)) return std::nullopt;
    const double v = numbers::leadingNumber(text);
    if (v != std::floor(v) || v < 0 || v > 99999) return std::nullopt;
    return static_cast<int>(v);
}

int daysInMonth(int month, int year)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// A line's bytes without the byte-order mark that may stand before line 1.
std::string_view withoutMark(std::string_view raw, int line)
{
    if (line == 1 && raw.substr(0, 3) == platform::kUtf8Bom) raw.remove_prefix(3);
    return raw;
}

std::string decoded(std::string_view raw, int line, Encoding encoding)
{
    raw = withoutMark(raw, line);
    return encoding == Encoding::Utf8 ? std::string(raw) : platform::decodeWindows1252(raw);
}

std::string textOf(const RawLines& lines, int line, Encoding encoding)
{
    return line >= 1 && line <= static_cast<int>(lines.size()) ? decoded(lines[static_cast<std::size_t>(line - 1)], line, encoding)
                                                                : std::string();
}

}  // namespace

std::optional<LineDate> dateFromLine(std::string_view line)
{
    const std::size_t first = line.find('.');
    if (first == std::string_view::npos) return std::nullopt;
    const std::string_view rest = line.substr(first + 1);
    const std::size_t second = rest.find('.');
    if (second == std::string_view::npos) return std::nullopt;
    const auto day = datePart(line.substr(0, first));
    const auto month = datePart(rest.substr(0, second));
    const auto year = datePart(rest.substr(second + 1));
    // The form's date picker holds the years 1753 to 9999.
    if (!day || !month || !year || *month < 1 || *month > 12 || *year < 1753 || *year > 9999) return std::nullopt;
    if (*day < 1 || *day > daysInMonth(*month, *year)) return std::nullopt;
    return LineDate{*day, *month, *year};
}

Encoding fileEncoding(std::string_view bytes)
{
    return datafile::headerIsUtf8(datafile::splitHeader(bytes)) ? Encoding::Utf8 : Encoding::Windows1252;
}

EditorFields editorFields(const RawLines& lines, Encoding e)
{
    using namespace datafile;
    EditorFields out;
    importer::ParameterFields& f = out.fields;
    f.project = textOf(lines, kProject, e);
    f.time = textOf(lines, kStartTime, e);
    f.car = textOf(lines, kCar, e);
    f.tester = textOf(lines, kTester, e);
    f.delta = textOf(lines, kSampleInterval, e);
    f.mass = textOf(lines, kVehicleMass, e);
    f.dynmass = textOf(lines, kDynamicMass, e);
    f.pressure = textOf(lines, kAirPressure, e);
    f.temperature = textOf(lines, kAirTemperature, e);
    f.area = textOf(lines, kFrontalArea, e);
    f.configuration = textOf(lines, kConfiguration, e);
    f.weather = textOf(lines, kWeather, e);
    f.road = textOf(lines, kRoad, e);
    if (const auto date = dateFromLine(textOf(lines, kDate, e))) {
        f.day = date->day;
        f.month = date->month;
        f.year = date->year;
        out.dateRead = true;
    }
    return out;
}

bool isFormLine(int line)
{
    return (line >= datafile::kProject && line <= datafile::kTester) ||
           (line >= datafile::kSampleInterval && line <= datafile::kRoad);
}

std::string rewrittenDataFile(const RawLines& lines, const datafile::HeaderTexts& fileHeader, bool keepDateLine,
                              Encoding encoding, std::string_view rest)
{
    const auto formText = [&](std::size_t i) -> const std::string* {
        const int line = static_cast<int>(i) + 1;
        if (!isFormLine(line) || (line == datafile::kDate && keepDateLine)) return nullptr;
        return &fileHeader[datafile::entry(line)];
    };
    // A Windows-1252 file whose new texts Windows-1252 cannot hold ("Δοκιμή") gets a UTF-8
    // header: every letter typed is kept.
    Encoding written = encoding;
    for (std::size_t i = 0; i < lines.size() && written == Encoding::Windows1252; ++i)
        if (const std::string* text = formText(i); text && *text != decoded(lines[i], static_cast<int>(i) + 1, encoding) &&
                                                   platform::decodeWindows1252(platform::encodeWindows1252(*text)) != *text)
            written = Encoding::Utf8;

    std::string header;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int line = static_cast<int>(i) + 1;
        const std::string& raw = lines[i];
        const std::string* text = formText(i);
        const std::string_view mark = std::string_view(raw).substr(0, raw.size() - withoutMark(raw, line).size());
        if (text && *text != decoded(raw, line, encoding)) {
            header += mark;
            header += written == Encoding::Utf8 ? *text : platform::encodeWindows1252(*text);
        } else if (written != encoding) {
            header += mark;
            header += decoded(raw, line, encoding);
        } else {
            header += raw;  // an untouched line keeps its bytes
        }
        header += "\r\n";
    }
    // The readers decide the encoding by the header alone (datafile::headerIsUtf8). A project
    // that begins with the bytes of a byte-order mark would lose them to the readers, which skip
    // a mark; so would a Windows-1252 header that reads as UTF-8. In UTF-8, after a mark of its
    // own, every line reads back as it is.
    const std::size_t mark = lines.empty() ? 0 : lines[0].size() - withoutMark(lines[0], 1).size();
    const std::string_view body = std::string_view(header).substr(mark);
    const bool lostMark = mark == 0 && body.substr(0, 3) == platform::kUtf8Bom;
    std::string out;
    if (written == Encoding::Utf8) out = lostMark ? std::string(platform::kUtf8Bom) + header : std::move(header);
    else if (datafile::headerIsUtf8(datafile::splitHeader(header)) || lostMark) out = header.substr(0, mark) + platform::decodeWindows1252(body);
    else out = std::move(header);
    // The lines after the header as they were read, each with CR LF.
    out.reserve(out.size() + rest.size() + rest.size() / 2);
    while (!rest.empty()) {
        out += platform::takeLine(rest);
        out += "\r\n";
    }
    return out;
}

}  // namespace app
