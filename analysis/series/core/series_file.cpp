#include "analysis/series/core/series_file.h"

#include "numbers/numbers.h"

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

bool holdsPath(const std::string& name)
{
    return name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
           name.find("..") != std::string::npos;
}

}  // namespace

platform::Message seriesProblem(const std::string& detail)
{
    std::string text = "There occured a problem with the CTS-file!";
    if (!detail.empty()) text += "\n" + detail;
    return platform::messageFromFlags(0, std::move(text), "CTS-Error");
}

std::optional<platform::Message> parseSeriesFile(const std::vector<std::string>& lines, SeriesFile& out)
{
    out = SeriesFile{};
    auto line = [&](std::size_t k) -> const std::string& {  // k counted from 1
        static const std::string empty;
        return k <= lines.size() ? lines[k - 1] : empty;
    };

    const double countValue = numbers::leadingNumber(line(1));
    const long long count = std::isfinite(countValue) && std::fabs(countValue) < kMaxLine
                                ? numbers::roundHalfEven(countValue) : 0;
    if (count < kMinFiles || count > kMaxFiles)
        return seriesProblem(lineRef(1) + "the number of data files is \"" + line(1) +
                             "\"; a series holds 2 to 30.");
    out.count = static_cast<int>(count);

    out.sampleCount = numbers::leadingNumber(line(2));
    const long long samples = std::isfinite(out.sampleCount) && std::fabs(out.sampleCount) < kMaxLine
                                  ? numbers::roundHalfEven(out.sampleCount) : 0;
    if (samples < kMinSamples)
        return seriesProblem(lineRef(2) + "the number of comparable samples is \"" + line(2) +
                             "\"; at least 3 are needed.");
    out.samples = static_cast<int>(samples);

    for (int i = 1; i <= out.count; ++i) {
        const std::size_t k = static_cast<std::size_t>(i) + 2;
        if (k > lines.size())
            return seriesProblem("The file ends before the entry of data file " + std::to_string(i) +
                                 " (line " + std::to_string(k) + ").");
        const std::string& text = lines[k - 1];
        const std::string where = lineRef(static_cast<int>(k));
        const std::size_t c1 = text.find(',');
        const std::size_t c2 = c1 == std::string::npos ? std::string::npos : text.find(',', c1 + 1);
        if (c2 == std::string::npos)
            return seriesProblem(where + "the entry \"" + text + "\" lacks its first and last line numbers.");
        SeriesEntry e;
        e.name = text.substr(0, c1);
        e.sourceLine = static_cast<int>(k);
        const std::string firstText = text.substr(c1 + 1, c2 - c1 - 1);
        const std::string lastText = text.substr(c2 + 1);
        if (!numbers::isNumeric(firstText) || !numbers::isNumeric(lastText))
            return seriesProblem(where + "the entry \"" + text + "\" lacks its first and last line numbers.");
        if (e.name.empty()) return seriesProblem(where + "the entry \"" + text + "\" names no data file.");
        if (holdsPath(e.name))
            return seriesProblem(where + "the name \"" + e.name +
                                 "\" holds a path; a data file must lie beside the series file.");
        const double first = numbers::leadingNumber(firstText);
        const double last = numbers::leadingNumber(lastText);
        if (!(std::fabs(first) < kMaxLine) || !(std::fabs(last) < kMaxLine))
            return seriesProblem(where + "the line numbers of \"" + text + "\" are out of range.");
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

    for (std::size_t k = static_cast<std::size_t>(out.count) + 3; k <= lines.size(); ++k) {
        if (k > static_cast<std::size_t>(out.count) + 3) out.comment += "\r\n";
        out.comment += lines[k - 1];
    }
    return std::nullopt;
}

}  // namespace series
