#include "analysis/series/core/series_load.h"

#include "analysis/core/calculation.h"
#include "analysis/core/ctd_reader.h"
#include "analysis/core/header_grid.h"
#include "datafile/header_lines.h"
#include "numbers/numbers.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace series {
namespace {

using namespace datafile;

constexpr int kHeaderRows = 25;  // headerValues rows 0..25

platform::Message missingDataFile(const std::string& name)
{
    return platform::messageFromFlags(0x1010,
                                      "The .cts-file has to be in the same directory like all the .ctd-files it is pointing on!\n"
                                      "The file " + name + " could not be found in this directory.",
                                      "CTS-Error");
}

platform::Message differentSampleRate()
{
    return platform::messageFromFlags(0, "Datasets with different sample rate can NOT be compared!", "CTS-Error");
}

char foldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldCase(a[i]) != foldCase(b[i])) return false;
    return true;
}

bool isRegularFile(const std::filesystem::path& p)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec);
}

}  // namespace

int SeriesContent::smallestFirstLine() const
{
    int v = 999999999;
    for (const auto& e : file.entries) v = std::min(v, e.firstLine);
    return v;
}

int SeriesContent::largestLastLine() const
{
    int v = 0;
    for (const auto& e : file.entries) v = std::max(v, e.lastLine);
    return v;
}

std::string findDataFile(const std::string& directory, const std::string& name)
{
    namespace fs = std::filesystem;
    const fs::path exact = fs::path(directory) / name;
    if (isRegularFile(exact)) return exact.string();
    std::error_code ec;
    std::string found;
    int matches = 0;
    for (fs::directory_iterator it(directory.empty() ? fs::path(".") : fs::path(directory), ec), end;
         !ec && it != end; it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (equalIgnoringCase(candidate, name) && isRegularFile(it->path())) {
            ++matches;
            found = it->path().string();
        }
    }
    return matches == 1 ? found : std::string();
}

SeriesLoad loadSeries(const std::string& path, const ReadText& read)
{
    SeriesLoad result;
    const platform::TextReadResult seriesText = read(path);
    if (!seriesText.ok)
        return {std::nullopt, seriesProblem("The file " + path + " could not be read: " + seriesText.error)};

    SeriesContent c;
    if (auto refusal = parseSeriesFile(seriesText.lines, c.file)) return {std::nullopt, refusal};

    const std::size_t slash = path.find_last_of('/');
    c.directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    c.fileTitle = slash == std::string::npos ? path : path.substr(slash + 1);

    const int n = c.file.count;
    const int L = c.file.samples;

    for (int j = 1; j <= n; ++j) {
        const SeriesEntry& e = c.file.entries[static_cast<std::size_t>(j - 1)];
        const std::string dataPath = findDataFile(c.directory, e.name);
        if (dataPath.empty()) return {std::nullopt, missingDataFile(e.name)};
        const platform::TextReadResult data = read(dataPath);
        if (!data.ok || data.lines.empty()) return {std::nullopt, missingDataFile(e.name)};
        c.dataPaths.push_back(dataPath);
        const auto& lines = data.lines;

        if (lines.size() > entry(kSampleInterval)) {
            // A zero or negative interval cannot be compared with anything.
            const double interval = numbers::leadingNumber(lines[entry(kSampleInterval)]);
            if (!(interval > 0) || !std::isfinite(interval)) return {std::nullopt, differentSampleRate()};
            if (j == 1) c.sampleInterval = interval;
            else if (interval != c.sampleInterval) return {std::nullopt, differentSampleRate()};
        }
        if (lines.size() < static_cast<std::size_t>(e.lastLine))
            return {std::nullopt,
                    seriesProblem("The data file " + e.name + " has " + std::to_string(lines.size()) +
                                  " lines; its entry on line " + std::to_string(e.sourceLine) +
                                  " ends at line " + std::to_string(e.lastLine) + ".")};
        // Dimensioned once a data file has shown that it holds its window: the comparable-sample
        // count of the series file alone must not decide how much memory is taken.
        if (j == 1) {
            c.velocitySamples.resize(L, n);
            c.testParameters.resize(kTestParameterCount, n);
            c.headerValues.resize(kHeaderRows, n);
        }

        for (int k = kProject; k <= kRoad; ++k)
            if (k <= kMaxVelocityRow || k >= kConfiguration) c.headerValues(k, j) = lines[entry(k)];
        for (int r = 1; r <= kTestParameterCount; ++r)
            c.testParameters(r, j) = numbers::leadingNumber(lines[entry(testParameterLine(r))]);
        double* column = &c.velocitySamples(0, j);
        const std::size_t first = static_cast<std::size_t>(e.firstLine) - 1;
        for (int r = 0; r <= L; ++r) column[r] = analysis::sampleValue(lines[first + static_cast<std::size_t>(r)]);
    }
    result.content = std::move(c);
    return result;
}

void applySeries(SeriesContent&& c, analysis::TabchildData& d)
{
    const int n = c.file.count;
    const int L = c.file.samples;
    d.windowFileName = c.fileTitle;
    d.dataDirectory = c.directory;
    for (auto& name : d.dataFileNames) name.clear();
    for (int j = 1; j <= n; ++j) d.dataFileNames[static_cast<std::size_t>(j)] = c.file.entries[static_cast<std::size_t>(j - 1)].name;
    d.sampleCount = c.file.sampleCount;
    d.setCount = n;
    d.sampleInterval = c.sampleInterval;
    d.velocitySamples = std::move(c.velocitySamples);
    d.testParameters = std::move(c.testParameters);
    d.headerValues = std::move(c.headerValues);
    d.fittedVelocities.resize(L, n);
    d.coefficients.assign(static_cast<std::size_t>(4 * n + 1), 0.0);
    d.residuals.assign(static_cast<std::size_t>(n + 1), 0.0);
    d.fitReference.assign(static_cast<std::size_t>(n + 1), 0.0);
    d.fitQuality.assign(static_cast<std::size_t>(n + 1), 0.0);
    ++d.dataVersion;
}

void runReferenceFit(analysis::TabchildData& d, CcoeffFunction ccoeff)
{
    const int n = d.setCount;
    const int L = d.velocitySamples.rows();
    d.fittedVelocities.resize(L, n);
    d.coefficients.assign(static_cast<std::size_t>(4 * n + 1), 0.0);
    d.fitReference.assign(static_cast<std::size_t>(n + 1), 0.0);
    // A value the fit cannot take leaves the reference at 0; the calculation names it.
    if (!ccoeff || n < 1 || L < 1 || analysis::unusableValue(d)) return;
    ccoeff(d.velocitySamples.data(), L, n, d.testParameters.data(), d.sampleInterval, 0.0, 0,
           d.coefficients.data(), d.fitReference.data(), d.fittedVelocities.data());
    ++d.dataVersion;
}

std::array<std::string, 6> summaryLabels(const analysis::TabchildData& d)
{
    const int L = d.velocitySamples.rows();
    const bool has = d.setCount >= 1 && L >= 0;
    return {has ? d.headerValues(1, 1) : std::string(),
            "Filename: " + d.windowFileName,
            "Number of coupled .ctd-files: " + std::to_string(d.setCount),
            "Comparable datapoints: " + numbers::numberToText(d.sampleCount),
            "Coupled start velocity: " + (has ? numbers::formatNumber(d.velocitySamples(0, 1), "#0.0") : "") + " m/s",
            "Coupled end velocity: " + (has ? numbers::formatNumber(d.velocitySamples(L, 1), "#0.0") : "") + " m/s"};
}

int protocolRows(int largestLastLine)
{
    // Samples stand at rows firstLine..lastLine - 1; the header needs its rows.
    return std::max(largestLastLine, analysis::kProtocolHeaderRows);
}

int protocolRows(const SeriesContent& content) { return protocolRows(content.largestLastLine()); }

std::string protocolSampleCell(const analysis::TabchildData& d, int set, int firstLine, int row)
{
    const int r = row - firstLine;
    if (set < 1 || set > d.setCount || r < 0 || r > d.velocitySamples.rows()) return {};
    return numbers::formatNumber(d.velocitySamples(r, set), "0.000");
}

}  // namespace series
