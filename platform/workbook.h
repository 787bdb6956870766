#pragma once
// A spreadsheet workbook held in memory and written as an Office Open XML file (.xlsx): named
// sheets in order, cells with numbers, texts (with per-character fonts) and formulas with their
// stored results, fonts, fills, borders, alignment and number formats, column widths and row
// heights, pictures and charts. Standard library only; writeXlsx is the one place that knows the
// file format's writer library.
//
// Rows and columns count from 0 (row 0 is the sheet's row 1, column 0 is column A). Ranges work
// as a spreadsheet's selection does: a border set on a range edge is also the border of the
// neighbouring cell across that edge, so the step that sets a shared edge last decides it.
#include "platform/textfile.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// A colour as 0xRRGGBB, or automatic (the application's default for the place).
struct Colour {
    bool automatic = true;
    std::uint32_t rgb = 0;

    static Colour automaticColour() { return {}; }
    static Colour of(std::uint32_t rgb) { return {false, rgb & 0xFFFFFFu}; }
    bool operator==(const Colour&) const = default;
};

// The classic 56-entry palette of spreadsheet colour indices (1 black, 2 white, 3 red,
// 15 light grey, 16 dark grey, 55 indigo, ...); nothing for an index outside 1..56.
std::optional<Colour> paletteColour(int index);
// A colour number of the program (blue * 65536 + green * 256 + red).
Colour colourFromNumber(int number);

struct CellRef {
    int row = 0;
    int col = 0;
    bool operator==(const CellRef&) const = default;
    auto operator<=>(const CellRef&) const = default;
};

struct CellRange {
    int row1 = 0, col1 = 0, row2 = 0, col2 = 0;
    bool operator==(const CellRange&) const = default;
};

// "A", "B", ..., "Z", "AA", ...; "B4".
std::string columnName(int col);
std::string cellName(int row, int col);
// "B4" or "C4:F12" (letters and digits only); nothing for anything else.
std::optional<CellRange> parseRange(std::string_view a1);

struct Font {
    std::string name = "Calibri";
    double size = 11;
    bool bold = false;
    bool strikethrough = false;
    bool superscript = false;
    bool subscript = false;
    bool underline = false;
    Colour colour;
    bool operator==(const Font&) const = default;
};

// The font settings a step changes; the others stay as they are.
struct FontChange {
    std::optional<std::string> name;
    std::optional<double> size;
    std::optional<bool> bold;
    std::optional<bool> strikethrough;
    std::optional<bool> superscript;
    std::optional<bool> subscript;
    std::optional<bool> underline;
    std::optional<Colour> colour;
    void applyTo(Font& font) const;
};

enum class LineStyle { None, Thin, Medium, Double };

struct Border {
    LineStyle style = LineStyle::None;
    Colour colour;
    bool operator==(const Border&) const = default;
};

enum class HAlign { General, Left, Centre };
enum class VAlign { Centre, Bottom };

struct CellStyle {
    Font font;
    std::optional<Colour> fill;  // solid fill; none when empty
    Border left, top, right, bottom;
    HAlign hAlign = HAlign::General;
    VAlign vAlign = VAlign::Bottom;
    bool wrap = false;
    std::string numberFormat;  // "" is the general format
    bool operator==(const CellStyle&) const = default;
};

// What a cell shows: nothing, a number, a text, or an error such as "#DIV/0!".
struct CellValue {
    enum class Kind { Empty, Number, Text, Error };
    Kind kind = Kind::Empty;
    double number = 0;
    std::string text;

    static CellValue empty() { return {}; }
    static CellValue of(double v) { return {Kind::Number, v, {}}; }
    static CellValue ofText(std::string t) { return {Kind::Text, 0, std::move(t)}; }
    static CellValue error(std::string code) { return {Kind::Error, 0, std::move(code)}; }
    bool isNumber() const { return kind == Kind::Number; }
    bool operator==(const CellValue&) const = default;
};

struct Cell {
    enum class Kind { Empty, Number, Text, Formula };
    Kind kind = Kind::Empty;
    double number = 0;
    std::string text;         // the text, or the formula in A1 notation ("=AVERAGE(D6:D8)")
    CellValue result;         // a formula's stored result
    std::vector<Font> chars;  // per character of the text when characters carry fonts of their own
    CellStyle style;

    // What the cell shows: its number, text or formula result.
    CellValue value() const;
};

enum class Edge { Left, Top, Bottom, Right, InsideVertical, InsideHorizontal };

// A picture (PNG or JPEG bytes) placed with its top left corner at a cell plus an offset, shown
// at the given size in pixels.
struct Picture {
    std::string bytes;
    int naturalWidth = 0;  // pixels of the image itself
    int naturalHeight = 0;
    CellRef anchor;
    double xOffset = 0, yOffset = 0;  // pixels from the anchor cell's top left corner
    double width = 0, height = 0;     // shown size in pixels
    std::string description;
};

struct ChartLine {
    bool none = false;
    Colour colour;
    double width = 0;  // points; 0 keeps the default
    bool dotted = false;
};

struct ChartFont {
    std::string name;  // empty keeps the default
    double size = 0;   // 0 keeps the default
    bool bold = false;
};

struct ChartText {
    std::string text;
    std::optional<ChartFont> font;
};

struct ErrorBars {
    double amount = 0;  // plus and minus this value
    ChartLine line;
    bool cap = true;
};

struct ChartSeries {
    std::string categories;  // A1 reference with sheet, "=Results!$A$6"; empty for none
    std::string values;      // "=Results!$D$9", "=Results!$G$5:$G$7"
    std::string nameRef;     // reference to the name's cell, or
    std::string name;        // a literal name
    enum class Marker { Automatic, Square } marker = Marker::Automatic;
    int markerSize = 0;
    std::optional<Colour> markerColour;  // fill and border of the markers
    ChartLine line;                      // the connecting line (scatter) or the bar border
    std::optional<Colour> fill;          // bars
    bool categoryLabels = false;         // data labels showing each point's category
    std::optional<ErrorBars> yErrorBars;
};

struct ChartAxis {
    bool visible = true;
    std::optional<ChartText> title;
    std::optional<ChartLine> majorGridlines;  // empty: the chart type's default
};

struct Chart {
    enum class Type { Scatter, Column } type = Type::Scatter;
    std::optional<ChartText> title;
    ChartAxis xAxis, yAxis;
    bool legend = true;
    bool dataTable = false;
    bool dataTableLegendKeys = true;
    std::optional<ChartLine> plotBorder;
    std::optional<Colour> plotFill;
    std::vector<ChartSeries> series;
    CellRef anchor;
    double xOffset = 0, yOffset = 0;  // pixels
    double width = kDefaultWidth, height = kDefaultHeight;

    static constexpr double kDefaultWidth = 480;   // pixels of a new embedded chart
    static constexpr double kDefaultHeight = 288;
};

class Worksheet {
public:
    explicit Worksheet(std::string name) : name_(std::move(name)) {}

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    // ---- cells ------------------------------------------------------------------------------
    // A cell, made (empty) when it does not exist yet.
    Cell& cell(int row, int col);
    const Cell* find(int row, int col) const;
    CellValue value(int row, int col) const;
    const std::map<CellRef, Cell>& cells() const { return cells_; }

    // Writing a value keeps the cell's style and drops its per-character fonts.
    void setNumber(int row, int col, double value);
    void setText(int row, int col, std::string text);
    void setFormula(int row, int col, std::string a1, CellValue result);

    // Writes a text as a paste of text does: fields split at tabs into the next columns, lines at
    // CR LF, CR or LF into the next rows, from (row, col) on. A field that is a plain decimal
    // number ("0.3512", "-2", "1E-05") becomes a number, one with a percent sign ("12.34%") the
    // number divided by 100 shown as a percentage; anything else stays text. Empty fields empty
    // their cells. Returns the range written (nothing for an empty text).
    std::optional<CellRange> pasteText(int row, int col, std::string_view text);

    // ---- formats on ranges ------------------------------------------------------------------
    void setFont(const CellRange& range, const FontChange& change);
    // The font of characters start .. start + length - 1 (counted from 1) of a cell's text.
    void setCharacterFont(int row, int col, int start, int length, const FontChange& change);
    void setFill(const CellRange& range, std::optional<Colour> fill);
    void setAlignment(const CellRange& range, HAlign h, VAlign v, bool wrap = false);
    void setNumberFormat(const CellRange& range, const std::string& format);
    void setBorder(const CellRange& range, Edge edge, Border border);

    // ---- rows and columns -------------------------------------------------------------------
    static constexpr double kDefaultColumnWidth = 8.43;  // characters of the default font
    static constexpr double kDefaultRowHeight = 15;      // points

    void setColumnWidth(int col1, int col2, double characters);
    double columnWidth(int col) const;
    void setRowHeight(int row, double points);
    double rowHeight(int row) const;
    const std::map<int, double>& columnWidths() const { return columnWidths_; }
    const std::map<int, double>& rowHeights() const { return rowHeights_; }

    // Sizes and places in pixels, as the sheet is shown at 100 %.
    double columnPixels(int col) const;
    double rowPixels(int row) const;
    double columnLeft(int col) const;  // left edge of the column from the sheet's left edge
    double rowTop(int row) const;

    // ---- sheet settings, pictures, charts ---------------------------------------------------
    bool hideGridlines = false;
    bool centreHorizontally = false;
    CellRef selection;
    std::vector<Picture> pictures;
    std::vector<Chart> charts;

private:
    std::string name_;
    std::map<CellRef, Cell> cells_;
    std::map<int, double> columnWidths_;
    std::map<int, double> rowHeights_;
};

class Workbook {
public:
    // A new sheet at `position` (clamped; the end by default). References to the other sheets
    // stay valid.
    Worksheet& addSheet(std::string name, int position = -1);
    int sheetCount() const { return static_cast<int>(sheets_.size()); }
    Worksheet& sheetAt(int index) { return *sheets_.at(static_cast<std::size_t>(index)); }
    const Worksheet& sheetAt(int index) const { return *sheets_.at(static_cast<std::size_t>(index)); }

    std::string title;    // the document's title
    int activeSheet = 0;  // the sheet the workbook opens on

private:
    std::vector<std::unique_ptr<Worksheet>> sheets_;
};

// Writes the workbook as an .xlsx file, atomically: the old file stays when anything fails, and
// the error then says why. Numbers are written with "." whatever the process's locale.
WriteResult writeXlsx(const Workbook& workbook, const std::string& path);

}  // namespace platform
