// The parameter editor over any data file: the form's fields from the lines read, some of them
// changed to texts from the input, the header the form's Save collects, and the rewrite. Read
// back as the readers read it (the header in the encoding it decides, the rest as bytes), every
// line holds what the form showed, every letter of it, or what the file held.
#include "analysis/core/ctd_reader.h"
#include "app/core/parameter_edit.h"
#include "datafile/header_lines.h"
#include "fuzz/fuzz_input.h"
#include "import/core/parameters.h"
#include "platform/textfile.h"

namespace {

// The form's text fields, by the line each writes.
std::string* fieldOf(importer::ParameterFields& f, int line)
{
    switch (line) {
    case 1: return &f.project;
    case 3: return &f.time;
    case 4: return &f.car;
    case 5: return &f.tester;
    case 13: return &f.delta;
    case 15: return &f.mass;
    case 16: return &f.dynmass;
    case 17: return &f.pressure;
    case 18: return &f.temperature;
    case 19: return &f.area;
    case 20: return &f.configuration;
    case 21: return &f.weather;
    case 22: return &f.road;
    default: return nullptr;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const bool keepDateLine = in.pick(2) == 1;
    // Up to three fields get a text typed or pasted into them (valid UTF-8, as the form gives it).
    std::vector<std::pair<int, std::string>> typed;
    for (int i = in.pick(4); i > 0; --i) {
        const int line = 1 + in.pick(22);
        typed.emplace_back(line, platform::decodeText(in.line()));
    }
    const std::string_view bytes = in.rest();
    if (!platform::notTextReason(bytes).empty()) return 0;  // the editor refuses it before the form
    if (platform::decodeText(bytes).empty()) return 0;       // no line for the readers: no data file

    std::string_view rest = bytes;
    app::RawLines lines;
    while (lines.size() < static_cast<std::size_t>(datafile::kHeaderLineCount) && !rest.empty()) lines.emplace_back(platform::takeLine(rest));
    const app::Encoding encoding = app::fileEncoding(bytes);
    app::EditorFields fields = app::editorFields(lines, encoding);
    for (const auto& [line, text] : typed)
        if (std::string* field = fieldOf(fields.fields, line)) *field = text;
    const datafile::HeaderTexts header = importer::collectTestParameters(fields.fields, importer::ImportState{});

    const std::string out = app::rewrittenDataFile(lines, header, keepDateLine, encoding, rest);
    FUZZ_CHECK(out.empty() || out.substr(out.size() - 2) == "\r\n");
    const datafile::Header was = datafile::splitHeader(bytes), now = datafile::splitHeader(out);
    // A UTF-8 header stays one; what follows it is nobody's text.
    if (encoding == app::Encoding::Utf8)
        for (int line = 1; line <= now.count; ++line) FUZZ_CHECK(platform::isValidUtf8(now.raw[static_cast<std::size_t>(line)]));
    FUZZ_CHECK(now.count == was.count);
    const auto before = was.texts(), after = now.texts();
    for (int line = 1; line <= now.count; ++line) {
        const auto i = static_cast<std::size_t>(line);
        if (app::isFormLine(line) && !(line == datafile::kDate && keepDateLine)) {
            // The form's line, one value on it, every letter as the form holds it.
            const std::string& text = header[datafile::entry(line)];
            FUZZ_CHECK(after[i] == text);
            FUZZ_CHECK(fuzz::isOneLine(after[i]));
        } else {
            FUZZ_CHECK(after[i] == before[i]);  // untouched: as it was read
        }
    }
    // After the header every line keeps its bytes.
    std::string_view a = was.rest, b = now.rest;
    while (!a.empty() || !b.empty()) FUZZ_CHECK(platform::takeLine(a) == platform::takeLine(b));
    return 0;
}
