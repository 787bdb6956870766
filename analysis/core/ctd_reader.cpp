#include "analysis/core/ctd_reader.h"

#include "datafile/header_lines.h"
#include "numbers/numbers.h"
#include "platform/textfile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace analysis {
namespace {

using namespace datafile;

// The header lines a data-file window keeps as text.
constexpr int kTextLines[] = {kProject,     kDate,        kStartTime,
                              kCar,         kTester,      kPlaceholderAfterTester,
                              kImportLineCount, kMinVelocity, kMaxVelocity,
                              kPlaceholderAfterLocations, kVehicleMass, kDynamicMass, kAirPressure,
                              kAirTemperature, kFrontalArea, kConfiguration, kWeather, kRoad};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double sampleValue(std::string_view line)
{
    // A line that is one plain decimal number as a whole reads the same either way; from_chars
    // does it without the copies of the general rule. Anything else (blanks, "+", "D" exponent,
    // "&H", trailing text, "inf") goes the general way.
    if (!line.empty()) {
        std::size_t i = line[0] == '-' ? 1 : 0;
        if (i < line.size() && (isDigit(line[i]) || (line[i] == '.' && i + 1 < line.size() && isDigit(line[i + 1])))) {
            double v = 0;
            auto r = std::from_chars(line.data(), line.data() + line.size(), v, std::chars_format::general);
            if (r.ec == std::errc() && r.ptr == line.data() + line.size()) return v;
        }
    }
    return numbers::leadingNumber(line);
}

DataFileHeader splitHeader(std::string_view bytes)
{
    DataFileHeader h;
    h.rest = bytes;
    h.mark = h.rest.substr(0, 3) == platform::kUtf8Bom;
    if (h.mark) h.rest.remove_prefix(3);
    while (h.count < kHeaderLineCount && !h.rest.empty()) h.raw[static_cast<std::size_t>(++h.count)] = platform::takeLine(h.rest);
    return h;
}

bool headerIsUtf8(const DataFileHeader& h)
{
    bool high = false;
    for (int k = 1; k <= h.count; ++k) {
        const std::string_view line = h.raw[static_cast<std::size_t>(k)];
        if (!platform::isValidUtf8(line)) return false;
        high = high || std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    }
    return h.mark || high;
}

std::array<std::string, kHeaderLineCount + 1> DataFileHeader::texts() const
{
    const bool utf8 = headerIsUtf8(*this);
    std::array<std::string, kHeaderLineCount + 1> out;
    for (int k = 1; k <= count; ++k) {
        const std::string_view line = raw[static_cast<std::size_t>(k)];
        out[static_cast<std::size_t>(k)] = utf8 ? std::string(line) : platform::decodeWindows1252(line);
    }
    return out;
}

long long lastLineNeeded(const DataFileHeader& h)
{
    if (h.count < kHeaderLineCount) return kHeaderLineCount;
    const double minValue = numbers::leadingNumber(h.raw[kMinVelocityRow]);
    const double maxValue = numbers::leadingNumber(h.raw[kMaxVelocityRow]);
    if (!std::isfinite(minValue) || !std::isfinite(maxValue)) return kHeaderLineCount;
    const long long minRow = numbers::roundHalfEven(minValue), maxRow = numbers::roundHalfEven(maxValue);
    long long n = 0;
    if (minRow < maxRow || __builtin_sub_overflow(minRow, maxRow, &n) || n >= kMaxSamples) return kHeaderLineCount;
    return kHeaderLineCount + std::clamp<long long>(std::max(minRow, n + 1), 0, kMaxSamples);
}

DataFileRead parseDataFile(std::string_view bytes, state::TabchildData& data)
{
    DataFileRead out;
    if (bytes.empty()) {
        out.refusal = "The file is empty.";
        return out;
    }
    out.refusal = platform::notTextReason(bytes);
    if (!out.refusal.empty()) return out;
    const DataFileHeader header = splitHeader(bytes);
    const auto& headerRaw = header.raw;
    std::string_view rest = header.rest;
    if (header.count < kHeaderLineCount) {
        out.refusal = "The file has " + std::to_string(header.count) + " of its 30 header lines.";
        return out;
    }

    const double minValue = numbers::leadingNumber(headerRaw[kMinVelocityRow]);
    const double maxValue = numbers::leadingNumber(headerRaw[kMaxVelocityRow]);
    const double interval = numbers::leadingNumber(headerRaw[kSampleInterval]);
    out.minRow = numbers::roundHalfEven(minValue);
    out.maxRow = numbers::roundHalfEven(maxValue);
    if (!std::isfinite(minValue) || !std::isfinite(maxValue) || out.minRow < out.maxRow) {
        out.refusal = "The location of the minimum (line 10) lies before the location of the maximum (line 11).";
        return out;
    }
    if (!(interval > 0) || !std::isfinite(interval)) {
        out.refusal = "The sample interval (line 13) is not a positive number.";
        return out;
    }
    // Counted in 64 bits: line 10 and 11 can hold anything; the check against the lines
    // present below bounds N before anything is allocated.
    // The difference of two far-apart locations does not fit; such a count is refused anyway.
    long long announced = 0;
    if (__builtin_sub_overflow(out.minRow, out.maxRow, &announced) || __builtin_add_overflow(announced, 1LL, &announced))
        announced = std::numeric_limits<long long>::max();

    const auto fewerLines = [&](long long present) {
        out.refusal = "The file holds " + std::to_string(present) + " sample lines; lines 10 and 11 announce " +
                      std::to_string(announced) + ".";
        return out;
    };
    if (announced > kMaxSamples) {
        out.refusal = "Lines 10 and 11 announce " + std::to_string(announced) + " samples; a data file holds at most " +
                      std::to_string(kMaxSamples) + ".";
        return out;
    }
    // Every line takes at least its line end, so the bytes left bound the lines left; N is
    // checked against that bound before anything is allocated.
    if (announced > static_cast<long long>(rest.size()) + 1) {
        long long present = 0;
        for (std::string_view scan = rest; !scan.empty(); ++present) platform::takeLine(scan);
        return fewerLines(present);
    }
    const int n = static_cast<int>(announced);
    // One pass: samples straight into their column; lines after sample N are not looked at.
    state::ColMatrix samples(n, 1);
    double* column = samples.data();
    int stored = 0;
    while (stored < n && !rest.empty()) column[++stored] = sampleValue(platform::takeLine(rest));
    if (stored < n) return fewerLines(stored);

    const auto texts = header.texts();

    state::TabchildData& d = data;
    d.headerValues.resize(25, 1);
    d.testParameters.resize(kTestParameterCount, 1);
    for (int k : kTextLines) d.headerValues(k, 1) = texts[static_cast<std::size_t>(k)];
    d.sampleInterval = interval;
    for (int r = 1; r <= kTestParameterCount; ++r) d.testParameters(r, 1) = numbers::leadingNumber(headerRaw[static_cast<std::size_t>(testParameterLine(r))]);
    d.sampleCount = static_cast<double>(n);
    d.velocitySamples = std::move(samples);
    ++d.dataVersion;
    d.setCount = 1;
    out.ok = true;
    return out;
}

void setDataFilePath(state::TabchildData& data, std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string_view dir = slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
    const std::string_view title = slash == std::string_view::npos ? path : path.substr(slash + 1);
    data.dataDirectory = std::string(dir);
    data.windowFileName = std::string(title);
    data.dataFileNames[1] = data.windowFileName;
}

platform::Message dataFileError(std::string_view reason)
{
    std::string text = "File reading ERROR!";
    if (!reason.empty()) {
        text += '\n';
        text += reason;
    }
    return platform::messageFromFlags(0x1010, std::move(text), "CTD-Error");
}

std::string missingFileReason() { return "The file does not exist."; }
std::string folderReason() { return "The path names a folder, not a file."; }

std::string unreadableFileReason(std::string_view detail)
{
    std::string text = "The file could not be read";
    if (!detail.empty()) {
        text += " (";
        text += detail;
        text += ')';
    }
    text += '.';
    return text;
}

}  // namespace analysis
