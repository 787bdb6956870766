// The parameter editor's rewrite of a data file, without windows.
#include "app/core/parameter_edit.h"
#include "analysis/core/ctd_reader.h"
#include "platform/textfile.h"

#include <gtest/gtest.h>

using namespace app;

namespace {

// A data file as read: 30 header lines and samples written in odd ways.
RawLines fixture()
{
    RawLines l = {"Coast \xC5\x81\xC3\xB3" "d\xC5\xBA",  // UTF-8 with letters Windows-1252 lacks
                  "09.03.2005", "10:15", "Sedan", "Miller", "0", "8", "3.20", "27.50", "6", "1", "0",
                  "0.5", "7", "1500", "1545.0000000001", "1,013", "20.5", "2.1", "Roof box", "Sunny", "Dry"};
    while (l.size() < 30) l.push_back("0");
    for (const char* s : {"27.50", "1,5", "", "  9.1 ", "5.5e0"}) l.push_back(s);
    return l;
}

// The header the form's Save builds from the fields as filled, with an idle import's results
// on the lines the editor keeps.
std::array<std::string, 30> untouchedHeader(const RawLines& lines)
{
    return importer::collectTestParameters(editorFields(lines, Encoding::Utf8).fields, importer::ImportState{});
}

RawLines split(const std::string& bytes)
{
    RawLines out;
    std::size_t start = 0;
    for (std::size_t crlf; (crlf = bytes.find("\r\n", start)) != std::string::npos; start = crlf + 2)
        out.push_back(bytes.substr(start, crlf - start));
    EXPECT_EQ(start, bytes.size()) << "every line ends in CR LF";
    return out;
}

}  // namespace

TEST(ParameterEdit, DateLines)
{
    struct Case {
        const char* line;
        bool valid;
        int day, month, year;
    };
    const Case cases[] = {
        {"9.3.2005", true, 9, 3, 2005},   {"09.03.2005", true, 9, 3, 2005}, {" 1. 2. 2000", true, 1, 2, 2000},
        {"29.2.2004", true, 29, 2, 2004}, {"29.2.2005", false, 0, 0, 0},    {"31.4.2005", false, 0, 0, 0},
        {"9.3", false, 0, 0, 0},          {"", false, 0, 0, 0},             {"a.b.c", false, 0, 0, 0},
        {"9.3.2005.1", false, 0, 0, 0},   {"0.3.2005", false, 0, 0, 0},     {"9.13.2005", false, 0, 0, 0},
        {"1.1.1500", false, 0, 0, 0},     {"1.5.3.2005", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const auto d = dateFromLine(c.line);
        ASSERT_EQ(d.has_value(), c.valid) << c.line;
        if (!d) continue;
        EXPECT_EQ(d->day, c.day) << c.line;
        EXPECT_EQ(d->month, c.month) << c.line;
        EXPECT_EQ(d->year, c.year) << c.line;
    }
}

TEST(ParameterEdit, FieldsComeFromTheirLines)
{
    const EditorFields e = editorFields(fixture(), Encoding::Utf8);
    EXPECT_TRUE(e.dateRead);
    EXPECT_EQ(e.fields.project, "Coast \xC5\x81\xC3\xB3" "d\xC5\xBA");
    EXPECT_EQ(e.fields.time, "10:15");
    EXPECT_EQ(e.fields.delta, "0.5");
    EXPECT_EQ(e.fields.mass, "1500");
    EXPECT_EQ(e.fields.dynmass, "1545.0000000001");  // longer than the field takes when typed
    EXPECT_EQ(e.fields.pressure, "1,013");
    EXPECT_EQ(e.fields.road, "Dry");
    EXPECT_EQ((std::array{e.fields.day, e.fields.month, e.fields.year}), (std::array{9, 3, 2005}));

    // Windows-1252 lines are read as such; lines the file lacks leave their fields empty.
    const EditorFields shortFile = editorFields({"M\xFCller", "no date"}, Encoding::Windows1252);
    EXPECT_EQ(shortFile.fields.project, "M\xC3\xBCller");
    EXPECT_FALSE(shortFile.dateRead);
    EXPECT_TRUE(shortFile.fields.mass.empty());
}

TEST(ParameterEdit, RewriteChangesTheFormLinesOnly)
{
    const RawLines lines = fixture();
    std::array<std::string, 30> header = untouchedHeader(lines);
    header[14] = "1620";                    // vehicle mass
    header[3] = "Kombi \xC3\xA9";           // car, now with an accent
    const RawLines out = split(rewrittenDataFile(lines, header, false, Encoding::Utf8));
    ASSERT_EQ(out.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int line = static_cast<int>(i) + 1;
        switch (line) {
        case 2: EXPECT_EQ(out[i], "9.3.2005"); break;     // the picker's date, as the form writes it
        case 4: EXPECT_EQ(out[i], "Kombi \xC3\xA9"); break;  // changed, in the file's UTF-8
        case 14: EXPECT_EQ(out[i], "0"); break;           // placeholder from the form
        case 15: EXPECT_EQ(out[i], "1620"); break;
        case 17: EXPECT_EQ(out[i], "1.013"); break;       // decimal comma as the form stores it
        default: EXPECT_EQ(out[i], lines[i]) << "line " << line;  // byte for byte, samples included
        }
    }
}

TEST(ParameterEdit, ShortFilesAndKeptDates)
{
    RawLines lines = {"P", "31.2.2005", "", "car"};
    std::array<std::string, 30> header;
    header.fill("0");
    header[0] = "P2", header[1] = "1.1.2024", header[2] = "", header[3] = "car";
    EXPECT_EQ(rewrittenDataFile(lines, header, true, Encoding::Windows1252), "P2\r\n31.2.2005\r\n\r\ncar\r\n");
    EXPECT_EQ(rewrittenDataFile(lines, header, false, Encoding::Windows1252), "P2\r\n1.1.2024\r\n\r\ncar\r\n");
    EXPECT_EQ(rewrittenDataFile({}, header, false, Encoding::Windows1252), "");
    // The samples after the header come as bytes and keep their lines, each ending in CR LF.
    EXPECT_EQ(rewrittenDataFile(lines, header, true, Encoding::Windows1252, "27.5\n\n3.2\r\n\xB0"), "P2\r\n31.2.2005\r\n\r\ncar\r\n27.5\r\n\r\n3.2\r\n\xB0\r\n");
}

// A rewrite keeps the file in the encoding the readers take it in, so every line reads back as
// the form showed it: the changed ones with their new text, the others as they were.
TEST(ParameterEdit, RewriteKeepsTheEncodingOfTheFile)
{
    using Lines = std::vector<std::string>;  // UTF-8 texts
    const auto fileOf = [](const Lines& texts, bool utf8, const std::string& lineEnd, bool bom) {
        std::string bytes = bom ? std::string(platform::kUtf8Bom) : std::string();
        for (const std::string& t : texts) bytes += (utf8 ? t : platform::encodeWindows1252(t)) + lineEnd;
        return bytes;
    };
    Lines base = {"Coast M\xC3\xBCller", "9.3.2005", "10:15", "Sedan", "Miller", "0", "8", "3.2", "27.5", "6", "1", "0", "0.5",
                  "0", "1500", "1545", "1.013", "20", "2.1", "Roof box", "20 \xC2\xB0" "C, sunny", "Dry"};
    while (base.size() < 30) base.push_back("0");
    base.insert(base.end(), {"27.5", "26.1"});
    struct Case {
        const char* what;
        bool utf8, bom;
        const char* lineEnd;
        std::string car;       // typed into the car field
        std::string carBytes;  // line 4 as written
        Encoding written;      // the encoding the whole file is written in
    };
    const std::string lodz = "\xC5\x81\xC3\xB3" "d\xC5\xBA";  // letters Windows-1252 lacks
    const Case cases[] = {
        {"UTF-8, CR LF", true, false, "\r\n", "K\xC3\xA9" + lodz, "K\xC3\xA9" + lodz, Encoding::Utf8},
        {"UTF-8, LF", true, false, "\n", "K\xC3\xA9", "K\xC3\xA9", Encoding::Utf8},
        {"UTF-8 with a byte-order mark", true, true, "\r\n", "K\xC3\xA9", "K\xC3\xA9", Encoding::Utf8},
        // Letters Windows-1252 lacks make the header UTF-8: nothing typed becomes "?".
        {"Windows-1252, CR LF", false, false, "\r\n", "K\xC3\xA9" + lodz, "K\xC3\xA9" + lodz, Encoding::Utf8},
        {"Windows-1252, LF", false, false, "\n", "K\xC3\xA9", "K\xE9", Encoding::Windows1252},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string bytes = fileOf(base, c.utf8, c.lineEnd, c.bom);
        const Encoding encoding = fileEncoding(bytes);
        EXPECT_EQ(encoding, c.utf8 ? Encoding::Utf8 : Encoding::Windows1252);
        std::string_view rest = bytes;
        RawLines lines;
        while (lines.size() < 30) lines.emplace_back(platform::takeLine(rest));
        EditorFields fields = editorFields(lines, encoding);
        EXPECT_EQ(fields.fields.project, base[0]);
        EXPECT_EQ(fields.fields.weather, base[20]);
        fields.fields.car = c.car;
        const std::string out = rewrittenDataFile(lines, importer::collectTestParameters(fields.fields, importer::ImportState{}), false,
                                                  encoding, rest);
        EXPECT_EQ(fileEncoding(out), c.written);
        EXPECT_EQ(out.rfind(c.bom ? "\xEF\xBB\xBF" "Coast" : "Coast", 0), 0u);
        const std::vector<std::string> back = platform::splitLines(platform::decodeText(out));
        ASSERT_EQ(back.size(), base.size());
        for (std::size_t i = 0; i < base.size(); ++i) {
            if (i == 3) continue;  // the car, changed
            EXPECT_EQ(back[i], base[i]) << "line " << i + 1;
        }
        EXPECT_EQ(platform::splitLines(out)[3], c.carBytes);
        EXPECT_EQ(back[3], c.car);
    }
}

// The header alone decides how a file reads, for the window and the editor alike: a UTF-8
// header with one Windows-1252 byte after the samples reads "Müller" in both, and an edit keeps
// the header UTF-8 and the stray byte as it was.
TEST(ParameterEdit, TheHeaderDecidesTheEncodingAsTheReaderDoes)
{
    std::string bytes = "Coast M\xC3\xBCller\r\n";
    for (int line = 2; line <= 30; ++line) bytes += (line == 4 ? "Sedan" : "0") + std::string("\r\n");
    bytes += "27.5\r\n26.1\r\nnote: caf\xE9\r\n";  // a Windows-1252 byte after the samples
    EXPECT_EQ(fileEncoding(bytes), Encoding::Utf8);
    EXPECT_TRUE(datafile::headerIsUtf8(datafile::splitHeader(bytes)));
    EXPECT_EQ(datafile::splitHeader(bytes).texts()[1], "Coast M\xC3\xBCller");
    std::string_view rest = bytes;
    RawLines lines;
    while (lines.size() < 30) lines.emplace_back(platform::takeLine(rest));
    EditorFields fields = editorFields(lines, fileEncoding(bytes));
    EXPECT_EQ(fields.fields.project, "Coast M\xC3\xBCller");
    fields.fields.car = "Kombi";
    const std::string out =
        rewrittenDataFile(lines, importer::collectTestParameters(fields.fields, importer::ImportState{}), false, fileEncoding(bytes), rest);
    EXPECT_EQ(out.rfind("Coast M\xC3\xBCller\r\n", 0), 0u);
    EXPECT_NE(out.find("\r\nKombi\r\n"), std::string::npos);
    EXPECT_EQ(out.substr(out.size() - 12), "note: caf\xE9\r\n");
}

// A Windows-1252 file whose only letter beyond ASCII was changed to text whose bytes read as
// UTF-8 is written in UTF-8 as a whole: every line still reads back as the form showed it.
TEST(ParameterEdit, Windows1252BytesThatWouldReadAsUtf8)
{
    RawLines lines = {"Project", "9.3.2005", "", "M\xFCller"};  // the car in Windows-1252
    std::array<std::string, 30> header;
    header.fill("0");
    header[0] = "Project", header[1] = "9.3.2005", header[2] = "", header[3] = "\xC3\x83\xC2\xBC";  // "Ã¼"
    const std::string out = rewrittenDataFile(lines, header, false, Encoding::Windows1252, "27.5\n");
    EXPECT_EQ(platform::splitLines(platform::decodeText(out)),
              (std::vector<std::string>{"Project", "9.3.2005", "", "\xC3\x83\xC2\xBC", "27.5"}));
    EXPECT_EQ(fileEncoding(out), Encoding::Utf8);
    // A project typed as the three letters a byte-order mark shows in Windows-1252.
    header[3] = "M\xC3\xBCller";
    header[0] = "\xC3\xAF\xC2\xBB\xC2\xBFProject";
    EXPECT_EQ(platform::splitLines(platform::decodeText(rewrittenDataFile(lines, header, false, Encoding::Windows1252))).front(),
              header[0]);
    // In UTF-8 a project that begins with the character a byte-order mark is.
    header[0] = "\xEF\xBB\xBFProject";
    lines[3] = "M\xC3\xBCller";
    EXPECT_EQ(platform::splitLines(platform::decodeText(rewrittenDataFile(lines, header, false, Encoding::Utf8))).front(), header[0]);
}
