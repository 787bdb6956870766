#include "import/core/series.h"

#include "datafile/data_file.h"
#include "datafile/header_lines.h"
#include "numbers/numbers.h"
#include "platform/textfile.h"

#include <filesystem>
#include <limits>
#include <string_view>
#include <system_error>

namespace importer {
namespace {

using namespace datafile;

platform::Message ctsError(std::string text) { return platform::critical(std::move(text), "CTS-Error"); }

platform::Message dataProblem(const std::string& name)
{
    return ctsError("There occured a problem with data in " + name);
}

struct RunHeader {
    double minimum = 0, maximum = 0, interval = 0;
};

}  // namespace

std::optional<platform::Message> checkSeriesNames(const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        if (name.find_first_of(",\r\n") != std::string::npos)
            return ctsError("The file name " + name + " holds a comma or a line break, so it can not be written into a series file. Please rename the file.");
        // The series reader takes a backslash for a folder, as series made on other desktops use it.
        if (name.find('\\') != std::string::npos)
            return ctsError("The file name " + name + " holds a backslash, which a series file takes for a folder. Please rename the file.");
        // The writer's own rule: a name the series file would not give back would point at no file.
        if (!platform::keptByReaders(name))
            return ctsError("The file name " + name + " holds characters a series file can not hold. Please rename the file.");
    }
    return std::nullopt;
}

SeriesPlan planSeries(const std::vector<std::string>& names, const DataFileReader& read)
{
    SeriesPlan plan;
    const std::size_t n = names.size();
    std::vector<RunHeader> headers(n);
    datafile::DataFileBytes bytes;
    datafile::DataFile file;
    // A file Open CTD would refuse is refused here too, with the same reason.
    const auto readFile = [&](std::size_t i) {
        bytes = read(names[i]);
        file = bytes.ok ? datafile::parseDataFile(bytes.bytes, false) : datafile::DataFile{};
        if (bytes.ok && file.ok()) return true;
        plan.failure = ctsError(names[i] + " - file can not be opened!\n" + (bytes.ok ? file.refusal : bytes.reason));
        return false;
    };

    // Header pass: the velocity range and the sample interval.
    for (std::size_t i = 0; i < n; ++i) {
        if (!readFile(i)) return plan;
        headers[i] = {numbers::leadingNumber(file.header.raw[kMinVelocity]), numbers::leadingNumber(file.header.raw[kMaxVelocity]),
                      file.interval};
    }
    if (n == 0) return plan;

    double lower = headers[0].minimum, upper = headers[0].maximum;
    for (const RunHeader& h : headers) {
        if (h.minimum > lower) lower = h.minimum;
        if (h.maximum < upper) upper = h.maximum;
    }
    if (!(lower <= upper)) {
        plan.failure = ctsError("Velocity ranges of the coastdowns don't fit together!");
        return plan;
    }
    for (std::size_t i = 1; i < n; ++i) {
        if (headers[i].interval != headers[i - 1].interval) {
            plan.failure = ctsError("The sample rate of the datasets has to be the same!");
            return plan;
        }
    }

    // Window pass, over each run's stretch from its maximum to its minimum as the data-file
    // window holds it: the first sample at or below the upper bound, the last one above the
    // lower. Samples before the maximum are no coast-down (a logger started while the car still
    // gained speed).
    plan.entries.resize(n);
    std::optional<std::size_t> firstBad;
    for (std::size_t i = 0; i < n; ++i) {
        bool firstFound = false, lastFound = false;
        if (!readFile(i)) {
            plan.entries.clear();
            return plan;
        }
        std::string_view rest = file.header.rest;
        for (long long k = 1; k < file.firstSample; ++k) platform::takeLine(rest);
        const long long firstLine = kHeaderLineCount + file.firstSample;
        for (long long k = firstLine; k < firstLine + file.count && k <= std::numeric_limits<std::int32_t>::max(); ++k) {
            const double v = datafile::sampleValue(platform::takeLine(rest));
            if (v <= upper && !firstFound) {
                plan.entries[i].firstLine = static_cast<std::int32_t>(k);
                firstFound = true;
            }
            if (v <= lower && !lastFound) {
                plan.entries[i].lastLine = static_cast<std::int32_t>(k - 1);
                lastFound = true;
            }
            if (firstFound && lastFound) break;
        }
        plan.entries[i].name = names[i];
        if ((!firstFound || !lastFound) && !firstBad) firstBad = i;
    }
    if (firstBad) {
        plan.failure = dataProblem(names[*firstBad]);
        plan.entries.clear();
        return plan;
    }

    std::int64_t L = 1000000000;
    for (const SeriesEntry& e : plan.entries)
        if (std::int64_t{e.lastLine} - e.firstLine < L) L = std::int64_t{e.lastLine} - e.firstLine;
    // Fewer than three sample steps leave the fit nothing to work on.
    if (L < 3) {
        plan.failure = ctsError("Velocity ranges of the coastdowns don't fit together!");
        plan.entries.clear();
        return plan;
    }
    plan.windowLength = static_cast<std::int32_t>(L);
    for (SeriesEntry& e : plan.entries) e.lastLine = e.firstLine + plan.windowLength;
    return plan;
}

std::string seriesFileText(const SeriesPlan& plan, const std::string& comment)
{
    std::string out;
    out += numbers::integerToText(static_cast<long long>(plan.entries.size())) + "\r\n";
    out += numbers::integerToText(plan.windowLength) + "\r\n";
    for (const SeriesEntry& e : plan.entries)
        out += e.name + "," + numbers::integerToText(e.firstLine) + "," + numbers::integerToText(e.lastLine) + "\r\n";
    // Line by line, each line as the reader shows it: a NUL would make the file no text the
    // reader takes, a lone CR or a tab no line the comment box and the report show alike.
    std::size_t start = 0;
    while (start <= comment.size()) {
        std::size_t end = comment.find_first_of("\r\n", start);
        out += datafile::singleLine(comment.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        out += "\r\n";
        start = end + (comment[end] == '\r' && end + 1 < comment.size() && comment[end + 1] == '\n' ? 2 : 1);
    }
    return out;
}

DataFileReader dataFilesIn(const std::string& folder)
{
    return [folder](const std::string& name) { return datafile::readDataFileBytes(folder + "/" + name); };
}

std::optional<platform::Message> seriesTargetRefusal(const std::string& path, const std::string& folder,
                                                     const std::vector<std::string>& names)
{
    // Where the file really lands: through a link it is the file the link names.
    const std::string real = cleanAbsolute(platform::writeTarget(path));
    if (!sameDirectory(std::filesystem::path(real).parent_path().string(), folder)) {
        std::string text = "The .cts-Series file has to be in the same directory like all the .ctd-Coastdown data files it is pointing on!";
        if (real != cleanAbsolute(path)) text += "\n" + path + " is a link to " + real + ".";
        return ctsError(std::move(text));
    }
    for (const std::string& name : names) {
        // By path, and by the file itself: a link or a hard link may name a data file too.
        const std::string member = folder + "/" + name;
        if (real == cleanAbsolute(member) || platform::sameFile(path, member))
            return ctsError("The series file can not be saved over its own data file " + name + "!");
    }
    return std::nullopt;
}

ComposedSeries composeSeries(const SeriesRequest& request, const DataFileReader& read, const SeriesHooks& hooks)
{
    ComposedSeries out;
    const std::size_t n = request.names.size();
    if (n < 2 || n > 30) {
        out.message = ctsError("A series holds 2 to 30 data files; " + std::to_string(n) + " were chosen.");
        return out;
    }
    if ((out.message = checkSeriesNames(request.names))) return out;
    if (hooks.checking) hooks.checking(true);
    const SeriesPlan plan = planSeries(request.names, read);
    if (hooks.checking) hooks.checking(false);
    if (plan.failure) {
        out.message = plan.failure;
        return out;
    }
    const std::string bytes = platform::encodeForReaders(seriesFileText(plan, request.comment));
    for (;;) {
        const std::optional<std::string> path = hooks.target ? hooks.target() : std::nullopt;
        if (!path) {
            out.outcome = SeriesOutcome::Cancelled;
            return out;
        }
        std::optional<platform::Message> refusal = seriesTargetRefusal(*path, request.folder, request.names);
        if (!refusal) {
            const platform::WriteResult written = platform::writeFileAtomic(*path, bytes);
            if (written.ok) {
                out.outcome = SeriesOutcome::Written;
                return out;
            }
            refusal = ctsError(*path + " - file can not be written!\n" + written.error);
        }
        if (hooks.refused) hooks.refused(*refusal);
    }
}

std::string cleanAbsolute(const std::string& path)
{
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(std::filesystem::path(path), ec);
    if (ec) p = std::filesystem::path(path);
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

bool sameDirectory(const std::string& a, const std::string& b)
{
    // The folders themselves, whatever links their paths go through; by name where there is none.
    const std::string folder = platform::fileIdentity(a);
    if (!folder.empty()) return folder == platform::fileIdentity(b);
    return cleanAbsolute(a) == cleanAbsolute(b);
}

}  // namespace importer
