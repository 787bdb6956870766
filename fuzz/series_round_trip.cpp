// A series composed and read back: names and a comment from the input, runs whose windows the
// input shapes, the composer's checks, its plan and file text, then the series reader over that
// file. Whatever the composer writes opens again with the same names, windows and comment.
#include "analysis/series/core/series_load.h"
#include "datafile/header_lines.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/memory_folder.h"
#include "import/core/series.h"
#include "numbers/numbers.h"
#include "platform/textfile.h"

namespace {

// A falling run: header minimum and maximum, then `samples` velocities from `top` down by `step`.
std::string run(double minimum, double maximum, int samples, double top, double step)
{
    std::string text;
    for (int line = 1; line <= 30; ++line) {
        if (line == 8) text += numbers::numberToText(minimum);
        else if (line == 9) text += numbers::numberToText(maximum);
        else if (line == 10) text += std::to_string(samples);  // a falling run: lowest last
        else if (line == 11) text += "1";
        else if (line == 13) text += "0.1";
        else if (line >= 15 && line <= 19) text += "1.5";
        else text += "0";
        text += "\r\n";
    }
    for (int k = 0; k < samples; ++k) text += numbers::numberToText(top - k * step) + "\r\n";
    return text;
}

// What the reader gives back for a comment: each line break as CR LF, each line one line
// (datafile::singleLine), no line end at the end, and every letter as typed.
std::string commentAsRead(const std::string& comment)
{
    std::string normal;  // CR LF, CR and LF each one line break, as the composer writes them
    for (std::size_t i = 0; i < comment.size(); ++i) {
        if (comment[i] == '\r' && i + 1 < comment.size() && comment[i + 1] == '\n') continue;
        normal += comment[i] == '\r' ? '\n' : comment[i];
    }
    const std::vector<std::string> lines = platform::splitLines(normal);
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) joined += (i ? "\r\n" : "") + datafile::singleLine(lines[i]);
    return joined;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const int n = 2 + in.pick(5);
    std::vector<std::string> names;
    std::map<std::string, std::string> files;
    for (int i = 0; i < n; ++i) {
        // Names come from the file dialog as valid UTF-8, one of them maybe twice.
        std::string name = platform::decodeText(in.line());
        if (name.empty() || name.size() > 255 || name == "s.cts" || name == "." || name == ".." ||
            name.find_first_of(std::string("/\0", 2)) != std::string::npos)
            return 0;  // no name a file in a folder can have
        const int samples = 8 + in.pick(40);
        const double top = 20 + in.pick(10), step = 0.25 + in.pick(4) * 0.25;
        files[name] = run(5, 25, samples, top, step);
        names.push_back(std::move(name));
    }
    const std::string comment = platform::decodeText(in.rest());

    if (const auto refusal = importer::checkSeriesNames(names)) {
        FUZZ_CHECK(refusal->title == "CTS-Error");
        // Every UTF-8 name is held (the writer takes UTF-8 where Windows-1252 lacks a letter):
        // only what no series line can carry is refused.
        bool unfit = false;
        for (const std::string& name : names) unfit = unfit || name.find_first_of(",\r\n\\") != std::string::npos;
        FUZZ_CHECK(unfit);
        return 0;
    }
    const importer::SeriesPlan plan = importer::planSeries(names, [&files](const std::string& name) {
        const auto it = files.find(name);
        return it == files.end() ? datafile::DataFileBytes{} : datafile::DataFileBytes{true, it->second, {}};
    });
    if (plan.failure) return 0;
    FUZZ_CHECK(plan.entries.size() == names.size());

    const std::string bytes = platform::encodeForReaders(importer::seriesFileText(plan, comment));
    files["s.cts"] = bytes;
    const series::SeriesLoad load = series::loadSeries(fuzz::kFolder + "s.cts", fuzz::memoryFolder(files));
    if (!load.content) {
        std::fprintf(stderr, "refused: %s\n", load.message ? load.message->text.c_str() : "");
        FUZZ_CHECK(false);
    }
    const series::SeriesFile& f = load.content->file;
    FUZZ_CHECK(f.count == static_cast<int>(names.size()) && f.samples == plan.windowLength);
    for (std::size_t i = 0; i < names.size(); ++i) {
        FUZZ_CHECK(f.entries[i].name == names[i]);
        FUZZ_CHECK(f.entries[i].firstLine == plan.entries[i].firstLine && f.entries[i].lastLine == plan.entries[i].lastLine);
        FUZZ_CHECK(load.content->dataPaths[i] == fuzz::kFolder + names[i]);
    }
    FUZZ_CHECK(f.comment == commentAsRead(comment));
    return 0;
}
