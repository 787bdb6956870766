// The parameter editor's rewrite of a data file, without windows.
#include "app/core/parameter_edit.h"

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
    return importer::collectTestParameters(editorFields(lines).fields, importer::ImportState{});
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
    const EditorFields e = editorFields(fixture());
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
    const EditorFields shortFile = editorFields({"M\xFCller", "no date"});
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
    const RawLines out = split(rewrittenDataFile(lines, header, false));
    ASSERT_EQ(out.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int line = static_cast<int>(i) + 1;
        switch (line) {
        case 2: EXPECT_EQ(out[i], "9.3.2005"); break;     // the picker's date, as the form writes it
        case 4: EXPECT_EQ(out[i], "Kombi \xE9"); break;   // changed: Windows-1252
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
    EXPECT_EQ(rewrittenDataFile(lines, header, true), "P2\r\n31.2.2005\r\n\r\ncar\r\n");
    EXPECT_EQ(rewrittenDataFile(lines, header, false), "P2\r\n1.1.2024\r\n\r\ncar\r\n");
    EXPECT_EQ(rewrittenDataFile({}, header, false), "");
    // The samples after the header come as bytes and keep their lines, each ending in CR LF.
    EXPECT_EQ(rewrittenDataFile(lines, header, true, "27.5\n\n3.2\r\n\xB0"), "P2\r\n31.2.2005\r\n\r\ncar\r\n27.5\r\n\r\n3.2\r\n\xB0\r\n");
}
