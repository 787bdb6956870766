#pragma once
// The layout of a data file: 30 header lines, then one velocity sample per line. Lines count
// from 1, as the readers, the protocol grid and the window's header values address them; the
// 30 header texts of the writer count from 0 (entry(line) = line - 1). Standard library only.
#include <array>
#include <cstddef>
#include <string>

namespace datafile {

enum HeaderLine : int {
    kProject = 1,
    kDate = 2,
    kStartTime = 3,
    kCar = 4,
    kTester = 5,
    kPlaceholderAfterTester = 6,
    kImportLineCount = 7,  // non-empty lines of the imported text file, header rows included
    kMinVelocity = 8,      // m/s
    kMaxVelocity = 9,      // m/s
    kMinVelocityRow = 10,  // point number of the minimum
    kMaxVelocityRow = 11,  // point number of the maximum
    kPlaceholderAfterLocations = 12,
    kSampleInterval = 13,  // s
    kPlaceholderAfterInterval = 14,
    kVehicleMass = 15,     // kg; lines 15..19 are the test parameters, in parameter-matrix order
    kDynamicMass = 16,     // kg
    kAirPressure = 17,     // bar
    kAirTemperature = 18,  // °C
    kFrontalArea = 19,     // m²
    kConfiguration = 20,
    kWeather = 21,
    kRoad = 22,
    // 23..30: placeholders.
};

constexpr int kHeaderLineCount = 30;
constexpr int kFirstSampleLine = kHeaderLineCount + 1;

// The 30 header texts of a data file being written, line 1 first.
using HeaderTexts = std::array<std::string, kHeaderLineCount>;

// Index of a header line among the header texts.
constexpr std::size_t entry(int line) { return static_cast<std::size_t>(line - 1); }

// The five test parameters: row 1..5 of the parameter matrix stands on this line.
constexpr int kTestParameterCount = 5;
constexpr int testParameterLine(int row) { return kVehicleMass + row - 1; }

// A text as one header line holds it, and as one line wherever it is shown: a line break would
// shift every later line, and a tab or another control character splits the value where other
// programs read it as a table (the report pastes it so). Each becomes a blank: the C0 and C1
// controls (CR, LF, VT, FF, NEL among them), DEL, the Unicode line and paragraph separators
// U+2028 and U+2029, and U+FDD0 and U+FDD1, where the program's text boxes begin a new line or
// paragraph too. The text is UTF-8.
inline std::string singleLine(std::string text)
{
    std::string out;
    out.reserve(text.size());
    const auto at = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned c = at(i);
        std::size_t separator = 0;  // bytes of a character that becomes a blank
        if (c < 0x20 || c == 0x7F) separator = 1;
        else if (c == 0xC2 && at(i + 1) >= 0x80 && at(i + 1) <= 0x9F) separator = 2;
        else if (c == 0xE2 && at(i + 1) == 0x80 && (at(i + 2) == 0xA8 || at(i + 2) == 0xA9)) separator = 3;
        else if (c == 0xEF && at(i + 1) == 0xB7 && (at(i + 2) == 0x90 || at(i + 2) == 0x91)) separator = 3;
        if (separator) {
            out += ' ';
            i += separator - 1;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace datafile
