#include "analysis/series/core/series_file.h"

#include "datafile/header_lines.h"
#include "numbers/numbers.h"
#include "platform/textfile.h"

#include <cmath>

namespace series {
namespace {

constexpr int kMinFiles = 2;
constexpr int kMaxFiles = 30;
constexpr int kMinSamples = 3;
constexpr int kFirstSampleLine = 31;
// Line numbers beyond this cannot come from a data file anyone can open; keeps int arithmetic safe.
constexpr double kMaxLine = 1.0e9;

std::string lineRef(int line) { return "Line " + std::to_string(line) + ": "; }

// A name a data file can carry: no NUL (it would cut the name short on the way to the file
// system) and no longer than a file name can be.
bool fileName(const std::string& name)
{
    constexpr std::size_t kNameMax = 255;
    return name.size() <= kNameMax && name.find('\0') == std::string::npos;
}

// A folder part, or a name that is a folder itself; "run..1.ctd" is a plain name.
bool holdsPath(const std::string& name)
{
    return name.find('/') != std::string::npos || name.find('\\') != std::string::npos || name == "." || name == "..";
}

}  // namespace

platform::Message seriesProblem(const std::string& detail)
{
    std::string text = "There occured a problem with the CTS-file!";
    if (!detail.empty()) text += "\n" + detail;
    return platform::plain(std::move(text), "CTS-Error");
}

std::string quoted(std::string_view text)
{
    constexpr std::size_t kShown = 60;
    if (text.size() <= kShown) return "\"" + std::string(text) + "\"";
    return "\"" + std::string(text.substr(0, kShown)) + "...\" (" + std::to_string(text.size()) + " characters)";
}

std::optional<platform::Message> parseSeriesFile(std::string_view text, SeriesFile& out)
{
    out = SeriesFile{};
    int lineNumber = 0;
    auto next = [&]() {  // the next line, "" beyond the end
        ++lineNumber;
        return platform::takeLine(text);
    };

    const std::string_view countLine = next();
    const double countValue = numbers::leadingNumber(countLine);
    const long long count = std::isfinite(countValue) && std::fabs(countValue) < kMaxLine
                                ? numbers::roundHalfEven(countValue) : 0;
    if (count < kMinFiles || count > kMaxFiles)
        return seriesProblem(lineRef(1) + "the number of data files is " + quoted(countLine) + "; a series holds 2 to 30.");
    out.count = static_cast<int>(count);

    const std::string_view samplesLine = next();
    out.sampleCount = numbers::leadingNumber(samplesLine);
    const long long samples = std::isfinite(out.sampleCount) && std::fabs(out.sampleCount) < kMaxLine
                                  ? numbers::roundHalfEven(out.sampleCount) : 0;
    if (out.sampleCount >= kMaxLine)
        return seriesProblem(lineRef(2) + "the number of comparable samples is " + quoted(samplesLine) +
                             "; that is too large for the program.");
    if (samples < kMinSamples)
        return seriesProblem(lineRef(2) + "the number of comparable samples is " + quoted(samplesLine) +
                             "; at least 3 are needed.");
    out.samples = static_cast<int>(samples);

    for (int i = 1; i <= out.count; ++i) {
        if (text.empty())
            return seriesProblem("The file ends before the entry of data file " + std::to_string(i) + " (line " +
                                 std::to_string(lineNumber + 1) + ").");
        const std::string_view line = next();
        const std::string where = lineRef(lineNumber);
        const std::size_t c1 = line.find(',');
        const std::size_t c2 = c1 == std::string_view::npos ? std::string_view::npos : line.find(',', c1 + 1);
        if (c2 == std::string_view::npos)
            return seriesProblem(where + "the entry " + quoted(line) + " lacks its first and last line numbers.");
        SeriesEntry e;
        e.name = std::string(line.substr(0, c1));
        e.sourceLine = lineNumber;
        const std::string_view firstText = line.substr(c1 + 1, c2 - c1 - 1);
        const std::string_view lastText = line.substr(c2 + 1);
        if (!numbers::isNumeric(firstText) || !numbers::isNumeric(lastText))
            return seriesProblem(where + "the entry " + quoted(line) + " lacks its first and last line numbers.");
        if (e.name.empty()) return seriesProblem(where + "the entry " + quoted(line) + " names no data file.");
        if (holdsPath(e.name))
            return seriesProblem(where + "the name " + quoted(e.name) + " holds a path; a data file must lie beside the series file.");
        if (!fileName(e.name))
            return seriesProblem(where + "the name " + quoted(e.name) + " is no file name.");
        const double first = numbers::leadingNumber(firstText);
        const double last = numbers::leadingNumber(lastText);
        if (!(std::fabs(first) < kMaxLine) || !(std::fabs(last) < kMaxLine))
            return seriesProblem(where + "the line numbers of " + quoted(line) + " are out of range.");
        e.firstLine = static_cast<int>(numbers::roundHalfEven(first));
        e.lastLine = static_cast<int>(numbers::roundHalfEven(last));
        if (e.firstLine < kFirstSampleLine)
            return seriesProblem(where + "the window of " + e.name + " starts at line " +
                                 std::to_string(e.firstLine) + "; samples start at line 31.");
        if (static_cast<long long>(e.lastLine) - e.firstLine < out.samples)
            return seriesProblem(where + "the window of " + e.name + " (lines " + std::to_string(e.firstLine) +
                                 " to " + std::to_string(e.lastLine) + ") is shorter than the " +
                                 std::to_string(out.samples) + " comparable samples.");
        out.entries.push_back(std::move(e));
    }

    // The rest is the comment, its lines joined with CR LF; each stays one line in the comment
    // box and the report, whatever separator or control character it holds.
    for (bool first = true; !text.empty(); first = false) {
        if (!first) out.comment += "\r\n";
        out.comment += datafile::singleLine(std::string(platform::takeLine(text)));
    }
    return std::nullopt;
}

}  // namespace series
