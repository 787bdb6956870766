#include "platform/workbook.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace platform {

namespace {

// The classic palette behind colour indices 1..56.
constexpr std::array<std::uint32_t, 56> kPalette = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000,
    0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF,
    0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000,
    0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, 0x003366, 0x339966,
    0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }

// A plain decimal number as a spreadsheet recognises one when text is pasted: an optional minus,
// digits with at most one point, an optional exponent. Nothing else (no blanks, no "inf").
std::optional<double> plainNumber(std::string_view t)
{
    std::size_t i = 0;
    if (i < t.size() && t[i] == '-') ++i;
    std::size_t digits = 0;
    while (i < t.size() && isDigit(t[i])) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && isDigit(t[i])) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < t.size() && isDigit(t[i])) ++i, ++expDigits;
        if (expDigits == 0) return std::nullopt;
    }
    if (i != t.size()) return std::nullopt;
    // from_chars takes no leading "+" and no exponent sign "+": give it what it reads.
    std::string s(t);
    if (auto e = s.find_first_of("eE"); e != std::string::npos && e + 1 < s.size() && s[e + 1] == '+') s.erase(e + 1, 1);
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::size_t codePoints(std::string_view utf8)
{
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

std::optional<Colour> paletteColour(int index)
{
    if (index < 1 || index > static_cast<int>(kPalette.size())) return std::nullopt;
    return Colour::of(kPalette[static_cast<std::size_t>(index - 1)]);
}

Colour colourFromNumber(int number)
{
    const auto n = static_cast<std::uint32_t>(number);
    const std::uint32_t red = n & 0xFF, green = (n >> 8) & 0xFF, blue = (n >> 16) & 0xFF;
    return Colour::of((red << 16) | (green << 8) | blue);
}

std::string columnName(int col)
{
    std::string name;
    for (int c = col + 1; c > 0; c = (c - 1) / 26) name.insert(name.begin(), static_cast<char>('A' + (c - 1) % 26));
    return name;
}

std::string cellName(int row, int col) { return columnName(col) + std::to_string(row + 1); }

std::optional<CellRange> parseRange(std::string_view a1)
{
    auto parseCell = [](std::string_view t) -> std::optional<CellRef> {
        std::size_t i = 0;
        int col = 0;
        while (i < t.size() && isUpper(t[i])) {
            col = col * 26 + (t[i] - 'A' + 1);
            if (col > 16384) return std::nullopt;
            ++i;
        }
        if (i == 0 || i == t.size()) return std::nullopt;
        int row = 0;
        const auto [end, ec] = std::from_chars(t.data() + i, t.data() + t.size(), row);
        if (ec != std::errc() || end != t.data() + t.size() || row < 1) return std::nullopt;
        return CellRef{row - 1, col - 1};
    };
    const auto colon = a1.find(':');
    const auto first = parseCell(a1.substr(0, colon));
    const auto second = colon == std::string_view::npos ? first : parseCell(a1.substr(colon + 1));
    if (!first || !second) return std::nullopt;
    return CellRange{std::min(first->row, second->row), std::min(first->col, second->col),
                     std::max(first->row, second->row), std::max(first->col, second->col)};
}

void FontChange::applyTo(Font& f) const
{
    if (name) f.name = *name;
    if (size) f.size = *size;
    if (bold) f.bold = *bold;
    if (strikethrough) f.strikethrough = *strikethrough;
    if (superscript) f.superscript = *superscript;
    if (subscript) f.subscript = *subscript;
    if (underline) f.underline = *underline;
    if (colour) f.colour = *colour;
    // A character is either raised or lowered.
    if (superscript && *superscript) f.subscript = false;
    if (subscript && *subscript) f.superscript = false;
}

CellValue Cell::value() const
{
    switch (kind) {
    case Kind::Number: return CellValue::of(number);
    case Kind::Text: return text.empty() ? CellValue::empty() : CellValue::ofText(text);
    case Kind::Formula: return result;
    case Kind::Empty: break;
    }
    return CellValue::empty();
}

// ---- Worksheet: cells ---------------------------------------------------------------------------

Cell& Worksheet::cell(int row, int col) { return cells_[CellRef{row, col}]; }

const Cell* Worksheet::find(int row, int col) const
{
    const auto it = cells_.find(CellRef{row, col});
    return it == cells_.end() ? nullptr : &it->second;
}

CellValue Worksheet::value(int row, int col) const
{
    const Cell* c = find(row, col);
    return c ? c->value() : CellValue::empty();
}

void Worksheet::setNumber(int row, int col, double value)
{
    Cell& c = cell(row, col);
    c.kind = Cell::Kind::Number;
    c.number = value;
    c.text.clear();
    c.chars.clear();
    c.result = {};
}

void Worksheet::setText(int row, int col, std::string text)
{
    Cell& c = cell(row, col);
    c.kind = text.empty() ? Cell::Kind::Empty : Cell::Kind::Text;
    c.text = std::move(text);
    c.number = 0;
    c.chars.clear();
    c.result = {};
}

void Worksheet::setFormula(int row, int col, std::string a1, CellValue result)
{
    Cell& c = cell(row, col);
    c.kind = Cell::Kind::Formula;
    c.text = std::move(a1);
    c.number = 0;
    c.chars.clear();
    c.result = std::move(result);
}

std::optional<CellRange> Worksheet::pasteText(int row, int col, std::string_view text)
{
    if (text.empty()) return std::nullopt;
    CellRange written{row, col, row, col};
    int r = row, c = col;
    std::size_t start = 0;
    auto putField = [&](std::size_t end) {
        const std::string_view field = text.substr(start, end - start);
        if (const auto number = plainNumber(field)) {
            setNumber(r, c, *number);
        } else if (!field.empty() && field.back() == '%' && plainNumber(field.substr(0, field.size() - 1))) {
            const std::string_view digits = field.substr(0, field.size() - 1);
            setNumber(r, c, *plainNumber(digits) / 100);
            const auto point = digits.find('.');
            const std::size_t decimals = point == std::string_view::npos ? 0 : digits.size() - point - 1;
            cell(r, c).style.numberFormat = decimals ? "0." + std::string(decimals, '0') + "%" : "0%";
        } else {
            setText(r, c, std::string(field));
        }
        written.row2 = std::max(written.row2, r);
        written.col2 = std::max(written.col2, c);
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const char ch = text[i];
        if (ch == '\t') {
            putField(i);
            ++c;
            start = ++i;
        } else if (ch == '\r' || ch == '\n') {
            putField(i);
            i += (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
            ++r;
            c = col;
        } else {
            ++i;
        }
    }
    // A final line end starts no further line.
    if (start < text.size()) putField(text.size());
    return written;
}

// ---- Worksheet: formats --------------------------------------------------------------------------

namespace {
template <class F>
void forEachCell(Worksheet& sheet, const CellRange& r, F f)
{
    for (int row = r.row1; row <= r.row2; ++row)
        for (int col = r.col1; col <= r.col2; ++col) f(sheet.cell(row, col));
}
}  // namespace

void Worksheet::setFont(const CellRange& range, const FontChange& change)
{
    forEachCell(*this, range, [&](Cell& c) {
        change.applyTo(c.style.font);
        for (Font& f : c.chars) change.applyTo(f);
    });
}

void Worksheet::setCharacterFont(int row, int col, int start, int length, const FontChange& change)
{
    Cell& c = cell(row, col);
    if (c.kind != Cell::Kind::Text || start < 1 || length < 1) return;
    const std::size_t count = codePoints(c.text);
    if (c.chars.size() != count) c.chars.assign(count, c.style.font);
    const auto first = static_cast<std::size_t>(start - 1);
    const std::size_t last = std::min(count, first + static_cast<std::size_t>(length));
    for (std::size_t i = first; i < last; ++i) change.applyTo(c.chars[i]);
}

void Worksheet::setFill(const CellRange& range, std::optional<Colour> fill)
{
    forEachCell(*this, range, [&](Cell& c) { c.style.fill = fill; });
}

void Worksheet::setAlignment(const CellRange& range, HAlign h, VAlign v, bool wrap)
{
    forEachCell(*this, range, [&](Cell& c) {
        c.style.hAlign = h;
        c.style.vAlign = v;
        c.style.wrap = wrap;
    });
}

void Worksheet::setNumberFormat(const CellRange& range, const std::string& format)
{
    forEachCell(*this, range, [&](Cell& c) { c.style.numberFormat = format; });
}

void Worksheet::setBorder(const CellRange& r, Edge edge, Border b)
{
    // Each edge is kept on both cells that share it.
    auto vertical = [&](int leftCol, int row) {
        if (leftCol >= 0) cell(row, leftCol).style.right = b;
        cell(row, leftCol + 1).style.left = b;
    };
    auto horizontal = [&](int upperRow, int col) {
        if (upperRow >= 0) cell(upperRow, col).style.bottom = b;
        cell(upperRow + 1, col).style.top = b;
    };
    switch (edge) {
    case Edge::Left:
        for (int row = r.row1; row <= r.row2; ++row) vertical(r.col1 - 1, row);
        break;
    case Edge::Right:
        for (int row = r.row1; row <= r.row2; ++row) vertical(r.col2, row);
        break;
    case Edge::Top:
        for (int col = r.col1; col <= r.col2; ++col) horizontal(r.row1 - 1, col);
        break;
    case Edge::Bottom:
        for (int col = r.col1; col <= r.col2; ++col) horizontal(r.row2, col);
        break;
    case Edge::InsideVertical:
        for (int col = r.col1; col < r.col2; ++col)
            for (int row = r.row1; row <= r.row2; ++row) vertical(col, row);
        break;
    case Edge::InsideHorizontal:
        for (int row = r.row1; row < r.row2; ++row)
            for (int col = r.col1; col <= r.col2; ++col) horizontal(row, col);
        break;
    }
}

// ---- Worksheet: rows and columns -----------------------------------------------------------------

void Worksheet::setColumnWidth(int col1, int col2, double characters)
{
    for (int c = col1; c <= col2; ++c) columnWidths_[c] = characters;
}

double Worksheet::columnWidth(int col) const
{
    const auto it = columnWidths_.find(col);
    return it == columnWidths_.end() ? kDefaultColumnWidth : it->second;
}

void Worksheet::setRowHeight(int row, double points) { rowHeights_[row] = points; }

double Worksheet::rowHeight(int row) const
{
    const auto it = rowHeights_.find(row);
    return it == rowHeights_.end() ? kDefaultRowHeight : it->second;
}

// The default font's digit is 7 pixels wide, and a column has 5 pixels of padding; a row of
// h points is h * 4/3 pixels, cut to whole pixels, as the file's readers lay them out.
double Worksheet::columnPixels(int col) const
{
    const double w = columnWidth(col);
    if (w <= 0) return 0;
    return w < 1 ? std::floor(w * 12 + 0.5) : std::floor(w * 7 + 0.5) + 5;
}

double Worksheet::rowPixels(int row) const { return std::floor(4.0 / 3.0 * rowHeight(row)); }

double Worksheet::columnLeft(int col) const
{
    double x = 0;
    for (int c = 0; c < col; ++c) x += columnPixels(c);
    return x;
}

double Worksheet::rowTop(int row) const
{
    double y = 0;
    for (int r = 0; r < row; ++r) y += rowPixels(r);
    return y;
}

// ---- Workbook ------------------------------------------------------------------------------------

Worksheet& Workbook::addSheet(std::string name, int position)
{
    const int n = sheetCount();
    const int at = position < 0 || position > n ? n : position;
    auto it = sheets_.insert(sheets_.begin() + at, std::make_unique<Worksheet>(std::move(name)));
    return **it;
}

}  // namespace platform
