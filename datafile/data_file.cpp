#include "datafile/data_file.h"

#include "numbers/numbers.h"
#include "platform/textfile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

namespace datafile {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The lines of a text, by the line rule of takeLine (a last line without a line end counts).
long long lineCount(std::string_view text)
{
    if (text.empty()) return 0;  // an empty view may hold no pointer memchr can take
    long long n = 0;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(end - p))) {
        ++n;
        p = static_cast<const char*>(nl) + 1;
    }
    return p < end ? n + 1 : n;
}

// Where the import's statistics put the maximum and the minimum of samples v[1..count]: the
// first sample above every one before it (above 0), and the first of the lowest of the others.
struct Extremes {
    long long maxAt = 0;
    long long minAt = 0;
};
Extremes importExtremes(const double* v, int count)
{
    Extremes e;
    double highest = 0.0;
    double lowest = std::numeric_limits<double>::infinity();
    for (int k = 1; k <= count; ++k) {
        if (v[k] > highest) {
            highest = v[k];
            e.maxAt = k;
        } else if (v[k] < lowest) {
            lowest = v[k];
            e.minAt = k;
        }
    }
    return e;
}

// Line 7, the text file's lines with its header rows, where the locations may have counted those
// rows (a maximum at location 1 is sample 1 either way); 0 where they cannot tell anything.
long long textFileLines(const Header& h, long long maxRow)
{
    const double lines = numbers::leadingNumber(h.raw[kImportLineCount]);
    return maxRow >= 2 && std::isfinite(lines) && std::fabs(lines) < 1e15 ? numbers::roundHalfEven(lines) : 0;
}

// Why a file could not be read at all, for the second line of a reader's message.
std::string unreadable(const platform::PrefixReader& file, const std::string& path)
{
    if (!file.refusal().empty()) return file.refusal();
    if (file.errorCode() == ENOENT) return "The file does not exist.";
    const std::string kind = platform::nonRegularKind(path);
    if (file.errorCode() == EISDIR || kind == "a folder") return "The path names a folder, not a file.";
    if (!kind.empty()) return "It is " + kind + ", not a regular file.";
    std::string text = "The file could not be read";
    if (!file.error().empty()) text += " (" + file.error() + ")";
    return text + ".";
}

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

Header splitHeader(std::string_view bytes)
{
    Header h;
    h.rest = bytes;
    h.mark = h.rest.substr(0, 3) == platform::kUtf8Bom;
    if (h.mark) h.rest.remove_prefix(3);
    while (h.count < kHeaderLineCount && !h.rest.empty()) h.raw[static_cast<std::size_t>(++h.count)] = platform::takeLine(h.rest);
    return h;
}

bool headerIsUtf8(const Header& h)
{
    bool high = false;
    for (int k = 1; k <= h.count; ++k) {
        const std::string_view line = h.raw[static_cast<std::size_t>(k)];
        if (!platform::isValidUtf8(line)) return false;
        high = high || std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    }
    return h.mark || high;
}

std::array<std::string, kHeaderLineCount + 1> Header::texts() const
{
    const bool utf8 = headerIsUtf8(*this);
    std::array<std::string, kHeaderLineCount + 1> out;
    for (int k = 1; k <= count; ++k) {
        const std::string_view line = raw[static_cast<std::size_t>(k)];
        out[static_cast<std::size_t>(k)] = utf8 ? std::string(line) : platform::decodeWindows1252(line);
    }
    return out;
}

long long lastLineNeeded(const Header& h)
{
    if (h.count < kHeaderLineCount) return kHeaderLineCount;
    const double minValue = numbers::leadingNumber(h.raw[kMinVelocityRow]);
    const double maxValue = numbers::leadingNumber(h.raw[kMaxVelocityRow]);
    if (!std::isfinite(minValue) || !std::isfinite(maxValue)) return kHeaderLineCount;
    const long long minRow = numbers::roundHalfEven(minValue), maxRow = numbers::roundHalfEven(maxValue);
    long long n = 0;
    if (minRow < maxRow || __builtin_sub_overflow(minRow, maxRow, &n) || n >= kMaxSamples) return kHeaderLineCount;
    // Locations that count a text file's header rows are told by all the sample lines, which
    // line 7 bounds.
    return kHeaderLineCount + std::clamp<long long>(std::max({minRow, n + 1, textFileLines(h, maxRow)}), 0, kMaxSamples);
}

DataFile parseDataFile(std::string_view bytes, bool keepValues)
{
    DataFile out;
    if (bytes.empty()) {
        out.refusal = "The file is empty.";
        return out;
    }
    out.refusal = platform::notTextReason(bytes);
    if (!out.ok()) return out;
    out.header = splitHeader(bytes);
    const Header& header = out.header;
    std::string_view rest = header.rest;
    if (header.count < kHeaderLineCount) {
        out.refusal = "The file has " + std::to_string(header.count) + " of its 30 header lines.";
        return out;
    }

    const double minValue = numbers::leadingNumber(header.raw[kMinVelocityRow]);
    const double maxValue = numbers::leadingNumber(header.raw[kMaxVelocityRow]);
    const double interval = numbers::leadingNumber(header.raw[kSampleInterval]);
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
    out.interval = interval;
    // Counted in 64 bits: line 10 and 11 can hold anything; the check against the lines
    // present below bounds N before anything is allocated.
    // The difference of two far-apart locations does not fit; such a count is refused anyway.
    long long announced = 0;
    if (__builtin_sub_overflow(out.minRow, out.maxRow, &announced) || __builtin_add_overflow(announced, 1LL, &announced))
        announced = std::numeric_limits<long long>::max();
    if (announced > kMaxSamples) {
        out.refusal = "Lines 10 and 11 announce " + std::to_string(announced) + " samples; a data file holds at most " +
                      std::to_string(kMaxSamples) + ".";
        return out;
    }
    const auto fewerLines = [&](long long present, long long minimum) {
        out.refusal = "The file holds " + std::to_string(present) + " sample lines; line 10 puts the minimum at sample " +
                      std::to_string(minimum) + " (line " +
                      std::to_string(static_cast<unsigned long long>(minimum) + kHeaderLineCount) + ").";
        out.values.clear();
        return out;
    };

    // The stretch runs from the maximum to the minimum. With a time column the import counted
    // the text file's header rows into both locations (they are its line numbers), and the data
    // file does not say which way it counted; its line 7 (the text file's lines) less the sample
    // lines gives those header rows, and the samples themselves tell which count puts the
    // import's maximum and minimum where the locations say. A maximum at location 1 is sample 1
    // either way.
    long long first = out.maxRow;
    std::vector<double> all;  // every sample, [1..present], when they have to tell
    if (const long long textLines = textFileLines(header, out.maxRow)) {
        const long long present = lineCount(rest);
        const long long headerRows = textLines - present;
        if (headerRows >= 1 && present <= kMaxSamples && out.maxRow - headerRows >= 1 && out.minRow - headerRows <= present) {
            all.assign(static_cast<std::size_t>(present) + 1, 0.0);
            std::string_view scan = rest;
            for (long long k = 1; k <= present; ++k) all[static_cast<std::size_t>(k)] = sampleValue(platform::takeLine(scan));
            const double* v = all.data();
            const Extremes e = importExtremes(v, static_cast<int>(present));
            const auto found = [&](long long skipped) {
                return e.maxAt == out.maxRow - skipped && e.minAt == out.minRow - skipped;
            };
            // The import compared the text file's own numbers, the file keeps 15 digits of each:
            // two that differed beyond them tie here, and then the values themselves tell, the
            // highest of all at the maximum and the lowest after it at the minimum.
            const auto holds = [&](long long skipped) {
                const long long hi = out.maxRow - skipped, lo = out.minRow - skipped;
                if (hi < 1 || lo > present) return false;
                return *std::max_element(v + 1, v + present + 1) == v[hi] && *std::min_element(v + hi, v + present + 1) == v[lo];
            };
            if (!found(0) && (found(headerRows) || (!holds(0) && holds(headerRows)))) first = out.maxRow - headerRows;
        }
    }
    if (first < 1) {
        out.refusal = "Line 11 puts the maximum at sample " + std::to_string(first) + "; the samples count from 1.";
        return out;
    }
    // A maximum far out leaves no room for the stretch after it: the sum is not formed then.
    long long last = 0;
    if (__builtin_add_overflow(first, announced - 1, &last)) last = std::numeric_limits<long long>::max();
    // Every line takes at least its line end, so the bytes left bound the lines left; the
    // stretch is checked against that bound before anything is allocated.
    if (last > static_cast<long long>(rest.size()) + 1) return fewerLines(lineCount(rest), last);
    const long long presentAll = all.empty() ? 0 : static_cast<long long>(all.size()) - 1;
    if (!all.empty() && last > presentAll) return fewerLines(presentAll, last);
    const int n = static_cast<int>(announced);
    if (!all.empty()) {
        if (keepValues) {
            if (first == 1 && n == presentAll) {
                out.values = std::move(all);
            } else {
                out.values.assign(static_cast<std::size_t>(n) + 1, 0.0);
                std::copy_n(all.begin() + first, n, out.values.begin() + 1);
            }
        }
    } else {
        // One pass: lines before the maximum skipped, samples straight into their place; lines
        // after the minimum are not looked at.
        if (keepValues) out.values.assign(static_cast<std::size_t>(n) + 1, 0.0);
        long long skipped = 0;
        while (skipped < first - 1 && !rest.empty()) {
            platform::takeLine(rest);
            ++skipped;
        }
        int stored = 0;
        if (keepValues) {
            double* column = out.values.data();
            while (stored < n && !rest.empty()) column[++stored] = sampleValue(platform::takeLine(rest));
        } else {
            while (stored < n && !rest.empty()) {
                platform::takeLine(rest);
                ++stored;
            }
        }
        if (stored < n) return fewerLines(skipped + stored, last);
    }
    out.firstSample = first;
    out.count = n;
    return out;
}

DataFileBytes readDataFileBytes(const std::string& path, long long atLeastLines)
{
    DataFileBytes out;
    platform::PrefixReader file(path);
    if (file.readLines(kHeaderLineCount) &&
        file.readLines(std::max(lastLineNeeded(splitHeader(file.bytes())), atLeastLines))) {
        out.ok = true;
        out.bytes = file.takeBytes();
    } else {
        out.reason = unreadable(file, path);
    }
    return out;
}

}  // namespace datafile
