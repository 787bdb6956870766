// Makes data files and series files from the command line with the program's own writers, so
// example and test files come out exactly as the dialogs would write them.
//
//   tw_import_tool ctd <text file> <data file> key=value ...
//     structure: headerRows timeColumn separator decimal unit (codes as in the structure dialog)
//     parameters: project date(d.m.yyyy) time delta pressure temperature mass area dynmass
//                 car tester configuration weather road
//   tw_import_tool cts <series file> <comment> <data file> <data file> ...
#include "import/core/ctd_writer.h"
#include "import/core/import_state.h"
#include "import/core/parameters.h"
#include "import/core/series.h"
#include "import/core/text_import.h"
#include "numbers/numbers.h"
#include "platform/message.h"
#include "platform/textfile.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

int fail(const std::string& text)
{
    std::fputs((text + "\n").c_str(), stderr);
    return 1;
}

// A structure code as the dialog's lists offer it: 0 when absent, nullopt when it lies outside
// lo..hi or is no whole number (a 16-bit count must never wrap 40000 into -25536).
std::optional<std::int16_t> code(const std::map<std::string, std::string>& args, const char* key, int lo, int hi)
{
    auto it = args.find(key);
    if (it == args.end()) return std::int16_t{0};
    if (!numbers::isNumeric(it->second)) return std::nullopt;
    const double v = numbers::leadingNumber(it->second);
    if (!(v >= lo && v <= hi) || v != static_cast<double>(numbers::roundHalfEven(v))) return std::nullopt;
    return static_cast<std::int16_t>(v);
}

std::string text(const std::map<std::string, std::string>& args, const char* key)
{
    auto it = args.find(key);
    return it == args.end() ? std::string() : it->second;
}

int makeCtd(const std::string& input, const std::string& output, const std::map<std::string, std::string>& args)
{
    std::string content, error;
    if (!platform::readText(input, content, error)) return fail(input + " - file can not be opened! " + error);

    importer::ImportState s;
    const struct {
        const char* key;
        int hi;
        std::int16_t* field;
    } structure[] = {{"headerRows", 30, &s.headerRows}, {"timeColumn", 2, &s.timeColumn}, {"separator", 3, &s.separatorCode},
                     {"decimal", 1, &s.decimalSeparator}, {"unit", 2, &s.velocityUnit}};
    for (const auto& o : structure) {
        const auto c = code(args, o.key, 0, o.hi);
        if (!c) return fail(std::string(o.key) + " must be a whole number from 0 to " + std::to_string(o.hi));
        *o.field = *c;
    }
    if (s.decimalSeparator == 1 && s.separatorCode == 0) return fail("with the decimal comma the separator cannot be a comma");
    s.importLines = importer::nonEmptyLines(std::move(content));
    s.importLineCount = static_cast<std::int32_t>(s.importLines.size());
    const importer::ImportLines lines = s.importLines;  // as read, before the decimal comma
    if (s.decimalSeparator == 1) importer::applyDecimalComma(s.importLines, s.importLineCount, s.headerRows);
    const importer::ImportStatistics stats =
        importer::importStatistics(s.importLines, s.importLineCount, s.headerRows, s.timeColumn, s.separatorCode);
    if (!importer::dataListPlausible(stats))
        return fail(input + ": " + importer::dataListError(importer::dataListRefusal(s.importLines, lines, s.importLineCount, s.headerRows,
                                                                                   s.timeColumn, s.separatorCode, stats)).text);
    importer::keepStatistics(stats, s);

    importer::ParameterFields f;
    f.project = text(args, "project");
    f.time = text(args, "time");
    f.delta = text(args, "delta");
    f.pressure = text(args, "pressure");
    f.temperature = text(args, "temperature");
    f.mass = text(args, "mass");
    f.area = text(args, "area");
    f.dynmass = text(args, "dynmass");
    f.car = text(args, "car");
    f.tester = text(args, "tester");
    f.configuration = text(args, "configuration");
    f.weather = text(args, "weather");
    f.road = text(args, "road");
    const std::string date = text(args, "date");
    const std::size_t p1 = date.find('.'), p2 = date.find('.', p1 == std::string::npos ? 0 : p1 + 1);
    if (p1 == std::string::npos || p2 == std::string::npos) return fail("date must be d.m.yyyy");
    f.day = static_cast<int>(numbers::leadingNumber(date.substr(0, p1)));
    f.month = static_cast<int>(numbers::leadingNumber(date.substr(p1 + 1, p2 - p1 - 1)));
    f.year = static_cast<int>(numbers::leadingNumber(date.substr(p2 + 1)));

    std::array<std::string, 30> header = importer::collectTestParameters(f, s);
    std::array<bool, 8> valid{};
    const importer::ValidationOutcome checked = importer::validateTestParameters(header, valid, f.time);
    if (!checked.messages.empty()) return fail(checked.messages.front().message.text);
    const platform::WriteResult w = platform::writeFileAtomic(output, platform::encodeForReaders(importer::ctdFileText(header, s)));
    if (!w.ok) return fail(output + " - file can not be written! " + w.error);
    return 0;
}

int makeCts(const std::string& output, const std::string& comment, const std::vector<std::string>& files)
{
    importer::SeriesRequest request;
    request.comment = comment;
    for (const std::string& f : files) {
        const std::filesystem::path p(f);
        const std::string folder = importer::cleanAbsolute(p.parent_path().empty() ? "." : p.parent_path().string());
        if (request.folder.empty()) request.folder = folder;
        else if (folder != request.folder) return fail("All datafiles have to be chosen in the same directory!");
        request.names.push_back(p.filename().string());
    }
    // The dialog's composition, with the series file named once: a refused target is the end.
    importer::SeriesHooks hooks;
    bool asked = false;
    std::optional<platform::Message> refusal;
    hooks.target = [&]() -> std::optional<std::string> {
        if (asked) return std::nullopt;
        asked = true;
        return output;
    };
    hooks.refused = [&](const platform::Message& m) { refusal = m; };
    const importer::ComposedSeries composed = importer::composeSeries(request, importer::dataFilesIn(request.folder), hooks);
    if (composed.message) return fail(composed.message->text);
    if (refusal) return fail(refusal->text);
    return composed.outcome == importer::SeriesOutcome::Written ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() >= 3 && a[0] == "ctd") {
        std::map<std::string, std::string> args;
        for (std::size_t i = 3; i < a.size(); ++i) {
            const std::size_t eq = a[i].find('=');
            if (eq == std::string::npos) return fail("expected key=value: " + a[i]);
            args[a[i].substr(0, eq)] = a[i].substr(eq + 1);
        }
        return makeCtd(a[1], a[2], args);
    }
    if (a.size() >= 5 && a[0] == "cts") return makeCts(a[1], a[2], std::vector<std::string>(a.begin() + 3, a.end()));
    return fail("usage: tw_import_tool ctd <text file> <data file> key=value ... | cts <series file> <comment> <data files...>");
}
