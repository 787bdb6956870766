#include "analysis/series/core/series_load.h"

#include "analysis/core/calculation.h"
#include "analysis/core/header_grid.h"
#include "datafile/data_file.h"
#include "datafile/header_lines.h"
#include "numbers/numbers.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <new>
#include <system_error>

namespace series {
namespace {

using namespace datafile;

constexpr int kHeaderRows = 25;  // headerValues rows 0..25

platform::Message missingDataFile(const std::string& name)
{
    return platform::critical("The .cts-file has to be in the same directory like all the .ctd-files it is pointing on!\n"
                              "The file " + name + " could not be found in this directory.",
                              "CTS-Error");
}

platform::Message differentSampleRate()
{
    return platform::plain("Datasets with different sample rate can NOT be compared!", "CTS-Error");
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


// A data file as read: its bytes, once however often the series names it, and its header.
struct DataFile {
    std::string bytes;
    datafile::Header header;  // views into bytes
    double interval = 0;
};

// Lines of the file up to `limit`: `limit` when it has that many, else all it has.
long long linesUpTo(const DataFile& f, long long limit)
{
    long long lines = f.header.count;
    for (std::string_view rest = f.header.rest; lines < limit && !rest.empty(); ++lines) platform::takeLine(rest);
    return lines;
}

SeriesLoad loadSeriesFrom(const std::string& path, const FileSource& files)
{
    SeriesContent c;
    {
        const FileRead series = files.read(path, -1);
        if (!series.ok && series.refusal.empty())
            return {std::nullopt, seriesProblem("The file " + path + " could not be read: " + series.error)};
        std::string why = series.refusal.empty() ? platform::notTextReason(series.bytes) : series.refusal;
        if (!why.empty()) return {std::nullopt, seriesProblem(why)};
        if (auto refusal = parseSeriesFile(platform::decodeText(series.bytes), c.file)) return {std::nullopt, refusal};
    }

    const std::size_t slash = path.find_last_of('/');
    c.directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    c.fileTitle = slash == std::string::npos ? path : path.substr(slash + 1);

    const int n = c.file.count;
    const int L = c.file.samples;

    // Where each entry's file is, and what it is: by identity, so that a file named through links
    // or hard links is read and counted once, up to the last line any of its entries needs.
    std::vector<std::string> identities;
    std::map<std::string, long long> linesNeeded;
    for (const SeriesEntry& e : c.file.entries) {
        const std::string dataPath = files.find(c.directory, e.name);
        if (dataPath.empty()) break;  // named missing when its turn comes
        std::string identity = files.identity ? files.identity(dataPath) : std::string();
        if (identity.empty()) identity = dataPath;
        long long& needed = linesNeeded[identity];
        needed = std::max<long long>({needed, kHeaderLineCount, e.lastLine});
        c.dataPaths.push_back(dataPath);
        identities.push_back(std::move(identity));
    }

    // Every data file is read and shown to hold its window before anything is dimensioned: the
    // counts of the series file alone must not decide how much memory is taken. Nodes stay put,
    // so the header views hold.
    std::map<std::string, DataFile> read;
    std::vector<const DataFile*> sets;
    unsigned long long bytesRead = 0;
    for (std::size_t i = 0; i < c.file.entries.size(); ++i) {
        const SeriesEntry& e = c.file.entries[i];
        if (i >= identities.size()) return {std::nullopt, missingDataFile(e.name)};
        const auto [it, fresh] = read.try_emplace(identities[i]);
        DataFile& f = it->second;
        if (fresh) {
            FileRead data = files.read(c.dataPaths[i], linesNeeded[identities[i]]);
            const auto cannotRead = [&](const std::string& why) {
                return SeriesLoad{std::nullopt, seriesProblem("The data file " + e.name + " can not be read. " + why)};
            };
            if (!data.ok && data.refusal.empty()) return {std::nullopt, missingDataFile(e.name)};
            if (!data.ok) return cannotRead(data.refusal);
            f.bytes = std::move(data.bytes);
            // What Open CTD takes as a data file, and nothing else: the same rule, the same reason.
            datafile::DataFile rule = datafile::parseDataFile(f.bytes, false);
            if (!rule.ok()) return cannotRead(rule.refusal);
            f.header = rule.header;
            f.interval = rule.interval;
            bytesRead += f.bytes.size();
        }

        if (sets.empty()) c.sampleInterval = f.interval;
        else if (f.interval != c.sampleInterval) return {std::nullopt, differentSampleRate()};
        const long long lines = linesUpTo(f, e.lastLine);
        if (lines < e.lastLine)
            return {std::nullopt,
                    seriesProblem("The data file " + e.name + " has " + std::to_string(lines) + " lines; its entry on line " +
                                  std::to_string(e.sourceLine) + " ends at line " + std::to_string(e.lastLine) + ".")};
        sets.push_back(&f);
    }
    // Each window's lines stand in its own file, so distinct files always pass; only a file named
    // far more often than its bytes can back would take more than one double per byte read. A
    // small series (a short run named several times) gets a fixed allowance on top: 8 MB of
    // samples is nothing, the blow-up this stops is gigabytes.
    constexpr unsigned long long kAllowance = 1ull << 20;  // cells
    const unsigned long long cells = static_cast<unsigned long long>(n) * (static_cast<unsigned long long>(L) + 1);
    if (cells > bytesRead + kAllowance)
        return {std::nullopt, seriesProblem("The series names its data files so often that its " + std::to_string(n) +
                                            " windows of " + std::to_string(L + 1) +
                                            " samples would take more memory than the files hold.")};

    c.velocitySamples.resize(L, n);
    c.testParameters.resize(kTestParameterCount, n);
    c.headerValues.resize(kHeaderRows, n);
    for (int j = 1; j <= n; ++j) {
        const SeriesEntry& e = c.file.entries[static_cast<std::size_t>(j - 1)];
        const DataFile& f = *sets[static_cast<std::size_t>(j - 1)];
        const auto texts = f.header.texts();
        for (int k = kProject; k <= kRoad; ++k)
            if (k <= kMaxVelocityRow || k >= testParameterLine(1)) c.headerValues(k, j) = texts[static_cast<std::size_t>(k)];
        for (int r = 1; r <= kTestParameterCount; ++r)
            c.testParameters(r, j) = numbers::leadingNumber(f.header.raw[static_cast<std::size_t>(testParameterLine(r))]);
        std::string_view rest = f.header.rest;
        for (int k = kFirstSampleLine; k < e.firstLine; ++k) platform::takeLine(rest);
        double* column = &c.velocitySamples(0, j);
        for (int r = 0; r <= L; ++r) column[r] = datafile::sampleValue(platform::takeLine(rest));
    }
    return {std::move(c), std::nullopt};
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
    // A name that stands there as something else (a pipe, a folder, a link loop) is that file:
    // its read says what it is.
    std::error_code present;
    if (fs::symlink_status(exact, present).type() != fs::file_type::not_found && !present) return exact.string();
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

platform::Message notEnoughMemory(const std::string& path)
{
    return platform::critical("There is not enough memory to open " + path + ".", "CTS-Error");
}

FileSource diskFiles()
{
    return {[](const std::string& path, long long lines) {
                FileRead r;
                if (lines >= 0) {
                    // A data file, read as every command reads one.
                    datafile::DataFileBytes file = datafile::readDataFileBytes(path, lines);
                    r.ok = file.ok;
                    r.bytes = std::move(file.bytes);
                    r.refusal = std::move(file.reason);
                    return r;
                }
                platform::PrefixReader file(path);
                r.ok = file.readAll(kMaxSeriesFileBytes, "a series file");
                r.bytes = file.takeBytes();
                r.error = file.error();
                r.refusal = file.refusal();
                return r;
            },
            findDataFile, platform::fileIdentity};
}

SeriesLoad loadSeries(const std::string& path, const FileSource& files)
{
    try {
        return loadSeriesFrom(path, files);
    } catch (const std::bad_alloc&) {
        return {std::nullopt, notEnoughMemory(path)};
    }
}

void applySeries(SeriesContent&& c, state::TabchildData& d)
{
    const int n = c.file.count;
    const int L = c.file.samples;
    d.windowFileName = c.fileTitle;
    d.dataDirectory = c.directory;
    for (auto& name : d.dataFileNames) name.clear();
    for (int j = 1; j <= n; ++j) d.dataFileNames[static_cast<std::size_t>(j)] = c.file.entries[static_cast<std::size_t>(j - 1)].name;
    d.rowZeroSample.assign(static_cast<std::size_t>(n + 1), 0);
    for (int j = 1; j <= n; ++j)
        d.rowZeroSample[static_cast<std::size_t>(j)] = c.file.entries[static_cast<std::size_t>(j - 1)].firstLine - kHeaderLineCount;
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

void runReferenceFit(state::TabchildData& d, CcoeffFunction ccoeff)
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

std::array<std::string, 6> summaryLabels(const state::TabchildData& d)
{
    const int L = d.velocitySamples.rows();
    const bool has = d.setCount >= 1 && L >= 0;
    return {has ? singleLine(d.headerValues(1, 1)) : std::string(),
            "Filename: " + singleLine(d.windowFileName),
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

std::string protocolSampleCell(const state::TabchildData& d, int set, int firstLine, int row)
{
    const int r = row - firstLine;
    if (set < 1 || set > d.setCount || r < 0 || r > d.velocitySamples.rows()) return {};
    return numbers::formatNumber(d.velocitySamples(r, set), "0.000");
}

}  // namespace series
