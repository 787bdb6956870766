#include "report/core/formulas.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace report {

namespace {

using platform::CellValue;

bool isWordChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
}

// One part of a reference: "R" or "C" followed by nothing (this row or column), a number
// (absolute) or an offset in brackets.
struct Part {
    bool absolute = false;
    int number = 0;  // the row or column, or the offset
};

std::optional<Part> readPart(std::string_view t, std::size_t& i, char letter)
{
    if (i >= t.size() || t[i] != letter) return std::nullopt;
    std::size_t j = i + 1;
    Part p;
    if (j < t.size() && t[j] == '[') {
        std::size_t k = j + 1;
        const auto [end, ec] = std::from_chars(t.data() + k, t.data() + t.size(), p.number);
        if (ec != std::errc()) return std::nullopt;
        k = static_cast<std::size_t>(end - t.data());
        if (k >= t.size() || t[k] != ']') return std::nullopt;
        j = k + 1;
    } else if (j < t.size() && t[j] >= '0' && t[j] <= '9') {
        const auto [end, ec] = std::from_chars(t.data() + j, t.data() + t.size(), p.number);
        if (ec != std::errc()) return std::nullopt;
        p.absolute = true;
        j = static_cast<std::size_t>(end - t.data());
    }
    i = j;
    return p;
}

constexpr int kMaxRows = 1048576;
constexpr int kMaxCols = 16384;

}  // namespace

std::string r1c1ToA1(std::string_view t, int row, int col)
{
    std::string out;
    std::size_t i = 0;
    while (i < t.size()) {
        const char c = t[i];
        if (c == '"') {
            const std::size_t close = t.find('"', i + 1);
            const std::size_t end = close == std::string_view::npos ? t.size() : close + 1;
            out.append(t.substr(i, end - i));
            i = end;
            continue;
        }
        if (c == 'R' && (i == 0 || !isWordChar(t[i - 1]))) {
            std::size_t j = i;
            const auto r = readPart(t, j, 'R');
            const auto k = r ? readPart(t, j, 'C') : std::nullopt;
            if (r && k && (j >= t.size() || (!isWordChar(t[j]) && t[j] != '('))) {
                const int rr = r->absolute ? r->number : row + r->number;
                const int cc = k->absolute ? k->number : col + k->number;
                if (rr < 1 || rr > kMaxRows || cc < 1 || cc > kMaxCols) out += "#REF!";
                else out += (k->absolute ? "$" : "") + platform::columnName(cc - 1) + (r->absolute ? "$" : "") + std::to_string(rr);
                i = j;
                continue;
            }
        }
        out += c;
        ++i;
    }
    return out;
}

namespace {

// The numbers of a column range, or the first error found in it.
struct Numbers {
    std::vector<double> values;
    std::optional<CellValue> error;
};

Numbers numbersOf(const platform::Worksheet& sheet, int col, int row1, int row2)
{
    Numbers n;
    for (int r = row1; r <= row2; ++r) {
        const CellValue v = sheet.value(r, col);
        if (v.kind == CellValue::Kind::Error) {
            n.error = v;
            return n;
        }
        if (v.isNumber()) n.values.push_back(v.number);
    }
    return n;
}

CellValue finite(double v) { return std::isfinite(v) ? CellValue::of(v) : CellValue::error("#NUM!"); }

// An operand of arithmetic: empty is 0, a text cannot be computed with.
CellValue operand(const CellValue& v)
{
    switch (v.kind) {
    case CellValue::Kind::Empty: return CellValue::of(0);
    case CellValue::Kind::Text: return CellValue::error("#VALUE!");
    default: return v;
    }
}

}  // namespace

CellValue average(const platform::Worksheet& sheet, int col, int row1, int row2)
{
    const Numbers n = numbersOf(sheet, col, row1, row2);
    if (n.error) return *n.error;
    if (n.values.empty()) return CellValue::error("#DIV/0!");
    double sum = 0;
    for (double v : n.values) sum += v;
    return finite(sum / static_cast<double>(n.values.size()));
}

CellValue sampleStdev(const platform::Worksheet& sheet, int col, int row1, int row2)
{
    const Numbers n = numbersOf(sheet, col, row1, row2);
    if (n.error) return *n.error;
    if (n.values.size() < 2) return CellValue::error("#DIV/0!");
    double sum = 0;
    for (double v : n.values) sum += v;
    const double mean = sum / static_cast<double>(n.values.size());
    double squares = 0;
    for (double v : n.values) squares += (v - mean) * (v - mean);
    return finite(std::sqrt(squares / static_cast<double>(n.values.size() - 1)));
}

CellValue maximum(const platform::Worksheet& sheet, const std::vector<platform::CellRef>& cells)
{
    std::optional<double> best;
    for (const platform::CellRef& at : cells) {
        const CellValue v = sheet.value(at.row, at.col);
        if (v.kind == CellValue::Kind::Error) return v;
        if (v.isNumber() && (!best || v.number > *best)) best = v.number;
    }
    return CellValue::of(best.value_or(0));
}

CellValue improvement(const CellValue& reference, const CellValue& value)
{
    const CellValue ref = operand(reference);
    if (!ref.isNumber()) return ref;
    if (ref.number == 0) return CellValue::error("#DIV/0!");
    const CellValue v = operand(value);
    if (!v.isNumber()) return v;
    // Spreadsheets give 0 for the difference of two values equal to within their last bits, so
    // the group with the largest value shows 0, not a remainder of rounding.
    const double scaled = (100 / ref.number) * v.number;
    const double tolerance = std::max(100.0, std::fabs(scaled)) * std::ldexp(1.0, -48);
    if (scaled > 0 && std::fabs(100 - scaled) < tolerance) return CellValue::of(0);
    return finite(100 - scaled);
}

}  // namespace report
