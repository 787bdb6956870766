#pragma once
// Reading a written .xlsx back for the tests: the zip container, its XML parts as element
// trees, and the sheets' cells with their styles, pictures and charts.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace xlsx_test {

// The files of a zip archive (stored or deflated) by name; empty when it is no readable zip.
std::map<std::string, std::string> unzip(const std::string& bytes);

struct Element {
    std::string name;  // with its prefix, "c:ser"
    std::map<std::string, std::string> attributes;
    std::vector<Element> children;
    std::string text;  // the text directly inside

    std::string attr(const std::string& key) const;
    const Element* child(const std::string& name) const;
    std::vector<const Element*> all(const std::string& name) const;  // descendants named so
    const Element* first(const std::string& name) const;             // the first of them
    std::string allText() const;                                     // every text inside, joined
};

std::optional<Element> parseXml(const std::string& xml);

struct Font {
    std::string name;
    double size = 0;
    bool bold = false;
    bool subscript = false;
    std::string colour;  // "FFFFFFFF", or empty for automatic
};

struct Style {
    Font font;
    std::string fill;                             // fgColor of a solid fill, or empty
    std::string left, top, right, bottom;         // border styles: "thin", "medium", "double", ...
    std::string hAlign, vAlign;
    bool wrap = false;
    std::string numberFormat;                     // the format code, empty for general
};

struct Cell {
    std::string type;     // "s", "n", "str", ... ("n" when the file gives none)
    std::string value;    // the stored value; a shared string resolved to its text
    std::string formula;  // without "="
    std::vector<std::pair<std::string, Font>> runs;  // runs of a rich text
    Style style;
};

struct Anchor {
    int col = 0, row = 0;      // from 0
    long colOffset = 0, rowOffset = 0;  // EMU
    int toCol = 0, toRow = 0;
    long toColOffset = 0, toRowOffset = 0;
    long width = 0, height = 0;  // EMU (9525 per pixel)
    std::string target;  // "xl/charts/chart1.xml" or "xl/media/image1.png"
};

constexpr long kEmuPerPixel = 9525;

class Workbook {
public:
    explicit Workbook(const std::string& path);
    bool ok() const { return ok_; }

    std::vector<std::string> sheetNames() const { return sheetNames_; }
    int activeTab() const;
    std::string file(const std::string& name) const;
    Element part(const std::string& name) const;  // parsed; empty element when missing

    std::map<std::string, Cell> cells(const std::string& sheet) const;  // by "B4"
    Element sheetPart(const std::string& sheet) const;
    std::vector<Anchor> pictures(const std::string& sheet) const;
    std::vector<Anchor> charts(const std::string& sheet) const;

private:
    std::string sheetPath(const std::string& sheet) const;
    std::vector<Anchor> drawingAnchors(const std::string& sheet, bool charts) const;
    Style style(int index) const;

    bool ok_ = false;
    std::map<std::string, std::string> files_;
    std::vector<std::string> sheetNames_;
    std::vector<std::string> sheetPaths_;
};

// "xl/worksheets/sheet1.xml" + "../drawings/drawing1.xml" -> "xl/drawings/drawing1.xml"
std::string resolve(const std::string& from, const std::string& target);

}  // namespace xlsx_test
