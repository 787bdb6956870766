// The .xlsx writer of the workbook model, over libxlsxwriter. Nothing else of the program knows
// that library.
#include "platform/workbook.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include <locale.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::size_t kMaxCellText = 32767;  // characters a cell can hold

// libxlsxwriter prints its numbers with the C library's printf, which follows the process's
// locale: under a locale with a decimal comma it would write "0,5" into the XML and the file
// could not be read. The writer's thread runs in the C locale while it writes.
class CNumericLocale {
public:
    CNumericLocale() : c_(newlocale(LC_ALL_MASK, "C", nullptr))
    {
        if (c_) previous_ = uselocale(c_);
    }
    ~CNumericLocale()
    {
        if (!c_) return;
        uselocale(previous_);
        freelocale(c_);
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    locale_t c_;
    locale_t previous_ = LC_GLOBAL_LOCALE;
};

lxw_color_t lxwColour(const Colour& c) { return c.rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : c.rgb; }

uint8_t lxwBorder(LineStyle s)
{
    switch (s) {
    case LineStyle::None: return LXW_BORDER_NONE;
    case LineStyle::Thin: return LXW_BORDER_THIN;
    case LineStyle::Medium: return LXW_BORDER_MEDIUM;
    case LineStyle::Double: return LXW_BORDER_DOUBLE;
    }
    return LXW_BORDER_NONE;
}

// A text cut to what a cell holds, at a character boundary.
std::string cellText(const std::string& t)
{
    std::size_t chars = 0, i = 0;
    for (; i < t.size(); ++i) {
        if ((static_cast<unsigned char>(t[i]) & 0xC0) != 0x80 && ++chars > kMaxCellText) break;
    }
    return t.substr(0, i);
}

std::string fontKey(const Font& f)
{
    char size[32];
    const auto end = std::to_chars(size, size + sizeof size, f.size).ptr;
    return f.name + '\x1f' + std::string(size, end) + '\x1f' + char('0' + f.bold) + char('0' + f.strikethrough) +
           char('0' + f.superscript) + char('0' + f.subscript) + char('0' + f.underline) +
           (f.colour.automatic ? std::string("a") : std::to_string(f.colour.rgb));
}

std::string borderKey(const Border& b)
{
    return std::to_string(static_cast<int>(b.style)) + (b.colour.automatic ? "a" : std::to_string(b.colour.rgb));
}

std::string styleKey(const CellStyle& s)
{
    return fontKey(s.font) + '\x1e' + (s.fill ? std::to_string(s.fill->rgb) : "-") + '\x1e' + borderKey(s.left) + ',' +
           borderKey(s.top) + ',' + borderKey(s.right) + ',' + borderKey(s.bottom) + '\x1e' +
           std::to_string(static_cast<int>(s.hAlign)) + std::to_string(static_cast<int>(s.vAlign)) +
           char('0' + s.wrap) + '\x1e' + s.numberFormat;
}

void applyFont(lxw_format* f, const Font& font)
{
    format_set_font_name(f, font.name.c_str());
    format_set_font_size(f, font.size);
    if (font.bold) format_set_bold(f);
    if (font.strikethrough) format_set_font_strikeout(f);
    if (font.superscript) format_set_font_script(f, LXW_FONT_SUPERSCRIPT);
    if (font.subscript) format_set_font_script(f, LXW_FONT_SUBSCRIPT);
    if (font.underline) format_set_underline(f, LXW_UNDERLINE_SINGLE);
    if (!font.colour.automatic) format_set_font_color(f, lxwColour(font.colour));
}

class Writer {
public:
    explicit Writer(lxw_workbook* wb) : wb_(wb) {}

    lxw_format* format(const CellStyle& s)
    {
        if (s == CellStyle()) return nullptr;
        auto [it, added] = formats_.try_emplace(styleKey(s), nullptr);
        if (!added) return it->second;
        lxw_format* f = workbook_add_format(wb_);
        applyFont(f, s.font);
        if (s.fill) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, lxwColour(*s.fill));
        }
        auto border = [&](const Border& b, void (*setStyle)(lxw_format*, uint8_t), void (*setColour)(lxw_format*, lxw_color_t)) {
            if (b.style == LineStyle::None) return;
            setStyle(f, lxwBorder(b.style));
            if (!b.colour.automatic) setColour(f, lxwColour(b.colour));
        };
        border(s.left, format_set_left, format_set_left_color);
        border(s.top, format_set_top, format_set_top_color);
        border(s.right, format_set_right, format_set_right_color);
        border(s.bottom, format_set_bottom, format_set_bottom_color);
        switch (s.hAlign) {
        case HAlign::Left: format_set_align(f, LXW_ALIGN_LEFT); break;
        case HAlign::Centre: format_set_align(f, LXW_ALIGN_CENTER); break;
        case HAlign::General: break;
        }
        switch (s.vAlign) {
        case VAlign::Centre: format_set_align(f, LXW_ALIGN_VERTICAL_CENTER); break;
        case VAlign::Bottom: break;  // the default
        }
        if (s.wrap) format_set_text_wrap(f);
        if (!s.numberFormat.empty()) format_set_num_format(f, s.numberFormat.c_str());
        it->second = f;
        return f;
    }

    lxw_format* fontFormat(const Font& font)
    {
        auto [it, added] = fontFormats_.try_emplace(fontKey(font), nullptr);
        if (added) {
            it->second = workbook_add_format(wb_);
            applyFont(it->second, font);
        }
        return it->second;
    }

    void writeCell(lxw_worksheet* ws, const CellRef& at, const Cell& c)
    {
        const auto row = static_cast<lxw_row_t>(at.row);
        const auto col = static_cast<lxw_col_t>(at.col);
        lxw_format* f = format(c.style);
        switch (c.kind) {
        case Cell::Kind::Number:
            if (std::isfinite(c.number)) worksheet_write_number(ws, row, col, c.number, f);
            else worksheet_write_string(ws, row, col, "#NUM!", f);
            return;
        case Cell::Kind::Text:
            if (!writeRich(ws, row, col, c, f)) worksheet_write_string(ws, row, col, cellText(c.text).c_str(), f);
            return;
        case Cell::Kind::Formula: {
            const CellValue& r = c.result;
            if (r.kind == CellValue::Kind::Number && std::isfinite(r.number)) {
                worksheet_write_formula_num(ws, row, col, c.text.c_str(), f, r.number);
            } else {
                const std::string shown = r.kind == CellValue::Kind::Number ? "#NUM!" : r.text;
                worksheet_write_formula_str(ws, row, col, c.text.c_str(), f, shown.c_str());
            }
            return;
        }
        case Cell::Kind::Empty:
            if (f) worksheet_write_blank(ws, row, col, f);
            return;
        }
    }

private:
    // A text whose characters carry fonts of their own, as runs of equal fonts. False when all
    // characters share one font (the cell is then written plainly, in the cell's style with
    // that font).
    bool writeRich(lxw_worksheet* ws, lxw_row_t row, lxw_col_t col, const Cell& c, lxw_format* cellFormat)
    {
        if (c.chars.empty()) return false;
        const std::string text = cellText(c.text);
        std::vector<std::pair<std::string, Font>> runs;
        std::size_t ch = 0;
        for (std::size_t i = 0; i < text.size();) {
            std::size_t len = 1;
            while (i + len < text.size() && (static_cast<unsigned char>(text[i + len]) & 0xC0) == 0x80) ++len;
            const Font& font = ch < c.chars.size() ? c.chars[ch] : c.style.font;
            if (runs.empty() || !(runs.back().second == font)) runs.emplace_back(std::string(), font);
            runs.back().first.append(text, i, len);
            i += len;
            ++ch;
        }
        if (runs.size() < 2) {
            CellStyle s = c.style;
            if (!runs.empty()) s.font = runs.front().second;
            worksheet_write_string(ws, row, col, text.c_str(), format(s));
            return true;
        }
        std::vector<lxw_rich_string_tuple> tuples(runs.size());
        std::vector<lxw_rich_string_tuple*> list;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            tuples[i].format = fontFormat(runs[i].second);
            tuples[i].string = runs[i].first.data();
            list.push_back(&tuples[i]);
        }
        list.push_back(nullptr);
        worksheet_write_rich_string(ws, row, col, list.data(), cellFormat);
        return true;
    }

    lxw_workbook* wb_;
    std::map<std::string, lxw_format*> formats_;
    std::map<std::string, lxw_format*> fontFormats_;
};

lxw_chart_line lxwLine(const ChartLine& l)
{
    lxw_chart_line line{};
    line.none = l.none ? 1 : 0;
    if (!l.colour.automatic) line.color = lxwColour(l.colour);
    line.width = static_cast<float>(l.width);
    if (l.dotted) line.dash_type = LXW_CHART_LINE_DASH_ROUND_DOT;
    return line;
}

// Strings handed to the C interface must stay alive until the workbook is closed.
class Strings {
public:
    char* keep(const std::string& s)
    {
        kept_.push_back(std::make_unique<std::string>(s));
        return kept_.back()->data();
    }

private:
    std::vector<std::unique_ptr<std::string>> kept_;
};

lxw_chart_font lxwFont(const ChartFont& f, Strings& strings)
{
    lxw_chart_font font{};
    if (!f.name.empty()) font.name = strings.keep(f.name);
    font.size = f.size;
    font.bold = f.bold ? 1 : 0;
    return font;
}

void setAxis(lxw_chart_axis* axis, const ChartAxis& a, Strings& strings)
{
    if (a.title) {
        chart_axis_set_name(axis, a.title->text.c_str());
        if (a.title->font) {
            lxw_chart_font font = lxwFont(*a.title->font, strings);
            chart_axis_set_name_font(axis, &font);
        }
    }
    if (a.majorGridlines) {
        chart_axis_major_gridlines_set_visible(axis, LXW_TRUE);
        lxw_chart_line line = lxwLine(*a.majorGridlines);
        chart_axis_major_gridlines_set_line(axis, &line);
    }
    if (!a.visible) chart_axis_off(axis);
}

// The numbers of the cells a series reference ("=Results!$G$5:$G$7") points at, as the
// workbook holds them; nothing unless every cell holds a finite number.
std::optional<std::vector<double>> referencedNumbers(const Workbook& book, std::string_view ref)
{
    if (!ref.empty() && ref.front() == '=') ref.remove_prefix(1);
    const auto bang = ref.rfind('!');
    if (bang == std::string_view::npos) return std::nullopt;
    std::string_view name = ref.substr(0, bang);
    if (name.size() >= 2 && name.front() == '\'' && name.back() == '\'') name = name.substr(1, name.size() - 2);
    std::string cells;
    for (char ch : ref.substr(bang + 1))
        if (ch != '$') cells += ch;
    const auto range = parseRange(cells);
    if (!range || range->row2 - range->row1 + 1 > 65535 / (range->col2 - range->col1 + 1)) return std::nullopt;
    for (int i = 0; i < book.sheetCount(); ++i) {
        const Worksheet& sheet = book.sheetAt(i);
        if (sheet.name() != name) continue;
        std::vector<double> numbers;
        for (int row = range->row1; row <= range->row2; ++row) {
            for (int col = range->col1; col <= range->col2; ++col) {
                const CellValue v = sheet.value(row, col);
                if (!v.isNumber() || !std::isfinite(v.number)) return std::nullopt;
                numbers.push_back(v.number);
            }
        }
        return numbers;
    }
    return std::nullopt;
}

// The library caches the value of a formula cell as 0. A chart's copy of its values gets the
// results the cells hold instead, so that a reader drawing the chart from that copy without
// recalculating draws the right points.
void cacheValues(lxw_series_range* range, const std::vector<double>& numbers)
{
    if (!range || !range->data_cache || !STAILQ_EMPTY(range->data_cache)) return;
    std::vector<lxw_series_data_point*> points;
    for (double v : numbers) {
        auto* p = static_cast<lxw_series_data_point*>(std::calloc(1, sizeof(lxw_series_data_point)));
        if (!p) {
            for (lxw_series_data_point* q : points) std::free(q);
            return;
        }
        p->number = v;
        points.push_back(p);
    }
    for (lxw_series_data_point* p : points) STAILQ_INSERT_TAIL(range->data_cache, p, list_pointers);
    range->num_data_points = static_cast<uint16_t>(points.size());
    range->ignore_cache = LXW_TRUE;  // the library keeps this cache and adds none of its own
}

void addChart(lxw_workbook* wb, lxw_worksheet* ws, const Workbook& book, const Chart& c, Strings& strings)
{
    lxw_chart* chart = workbook_add_chart(wb, c.type == Chart::Type::Column ? LXW_CHART_COLUMN : LXW_CHART_SCATTER);
    if (!chart) return;
    for (const ChartSeries& s : c.series) {
        lxw_chart_series* series = chart_add_series(chart, s.categories.empty() ? nullptr : s.categories.c_str(),
                                                    s.values.empty() ? nullptr : s.values.c_str());
        if (!series) continue;
        if (const auto numbers = referencedNumbers(book, s.values)) cacheValues(series->values, *numbers);
        if (!s.nameRef.empty()) chart_series_set_name(series, s.nameRef.c_str());
        else if (!s.name.empty()) chart_series_set_name(series, s.name.c_str());
        if (s.marker == ChartSeries::Marker::Square) chart_series_set_marker_type(series, LXW_CHART_MARKER_SQUARE);
        if (s.markerSize > 0) chart_series_set_marker_size(series, static_cast<uint8_t>(s.markerSize));
        if (s.markerColour) {
            lxw_chart_fill fill{};
            fill.color = lxwColour(*s.markerColour);
            lxw_chart_line line{};
            line.color = lxwColour(*s.markerColour);
            chart_series_set_marker_fill(series, &fill);
            chart_series_set_marker_line(series, &line);
        }
        lxw_chart_line line = lxwLine(s.line);
        if (s.line.none || !s.line.colour.automatic || s.line.width > 0) chart_series_set_line(series, &line);
        if (s.fill) {
            lxw_chart_fill fill{};
            fill.color = lxwColour(*s.fill);
            chart_series_set_fill(series, &fill);
        }
        if (s.categoryLabels) {
            chart_series_set_labels(series);
            chart_series_set_labels_options(series, LXW_FALSE, LXW_TRUE, LXW_FALSE);
        }
        if (s.yErrorBars && std::isfinite(s.yErrorBars->amount)) {
            lxw_series_error_bars* bars = chart_series_get_error_bars(series, LXW_CHART_ERROR_BAR_AXIS_Y);
            chart_series_set_error_bars(bars, LXW_CHART_ERROR_BAR_TYPE_FIXED, s.yErrorBars->amount);
            chart_series_set_error_bars_direction(bars, LXW_CHART_ERROR_BAR_DIR_BOTH);
            chart_series_set_error_bars_endcap(bars, s.yErrorBars->cap ? LXW_CHART_ERROR_BAR_END_CAP : LXW_CHART_ERROR_BAR_NO_CAP);
            const ChartLine& l = s.yErrorBars->line;
            if (!l.colour.automatic || l.width > 0) {
                lxw_chart_line barLine = lxwLine(l);
                chart_series_set_error_bars_line(bars, &barLine);
            }
        }
    }
    if (c.title) {
        chart_title_set_name(chart, c.title->text.c_str());
        if (c.title->font) {
            lxw_chart_font font = lxwFont(*c.title->font, strings);
            chart_title_set_name_font(chart, &font);
        }
    }
    setAxis(chart->x_axis, c.xAxis, strings);
    setAxis(chart->y_axis, c.yAxis, strings);
    if (!c.legend) chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
    if (c.dataTable) {
        chart_set_table(chart);
        chart_set_table_grid(chart, LXW_TRUE, LXW_TRUE, LXW_TRUE, c.dataTableLegendKeys ? LXW_TRUE : LXW_FALSE);
    }
    if (c.plotBorder) {
        lxw_chart_line line = lxwLine(*c.plotBorder);
        chart_plotarea_set_line(chart, &line);
    }
    if (c.plotFill) {
        lxw_chart_fill fill{};
        fill.color = lxwColour(*c.plotFill);
        chart_plotarea_set_fill(chart, &fill);
    }
    lxw_chart_options options{};
    options.x_offset = static_cast<int32_t>(std::lround(c.xOffset));
    options.y_offset = static_cast<int32_t>(std::lround(c.yOffset));
    options.x_scale = c.width / Chart::kDefaultWidth;
    options.y_scale = c.height / Chart::kDefaultHeight;
    options.object_position = LXW_OBJECT_MOVE_AND_SIZE;
    worksheet_insert_chart_opt(ws, static_cast<lxw_row_t>(c.anchor.row), static_cast<lxw_col_t>(c.anchor.col), chart, &options);
}

void writeSheet(lxw_workbook* wb, lxw_worksheet* ws, const Workbook& book, const Worksheet& sheet, Writer& writer,
                Strings& strings)
{
    for (const auto& [col, width] : sheet.columnWidths())
        worksheet_set_column(ws, static_cast<lxw_col_t>(col), static_cast<lxw_col_t>(col), width, nullptr);
    for (const auto& [row, height] : sheet.rowHeights()) worksheet_set_row(ws, static_cast<lxw_row_t>(row), height, nullptr);
    for (const auto& [at, cell] : sheet.cells()) writer.writeCell(ws, at, cell);
    if (sheet.hideGridlines) worksheet_gridlines(ws, LXW_HIDE_ALL_GRIDLINES);
    if (sheet.centreHorizontally) worksheet_center_horizontally(ws);
    const auto sr = static_cast<lxw_row_t>(sheet.selection.row);
    const auto sc = static_cast<lxw_col_t>(sheet.selection.col);
    worksheet_set_selection(ws, sr, sc, sr, sc);
    for (const Picture& p : sheet.pictures) {
        if (p.bytes.empty() || p.naturalWidth <= 0 || p.naturalHeight <= 0) continue;
        lxw_image_options options{};
        options.x_offset = static_cast<int32_t>(std::lround(p.xOffset));
        options.y_offset = static_cast<int32_t>(std::lround(p.yOffset));
        options.x_scale = p.width / p.naturalWidth;
        options.y_scale = p.height / p.naturalHeight;
        options.object_position = LXW_OBJECT_MOVE_AND_SIZE;
        options.description = strings.keep(p.description);
        worksheet_insert_image_buffer_opt(ws, static_cast<lxw_row_t>(p.anchor.row), static_cast<lxw_col_t>(p.anchor.col),
                                          reinterpret_cast<const unsigned char*>(p.bytes.data()), p.bytes.size(), &options);
    }
    for (const Chart& c : sheet.charts) addChart(wb, ws, book, c, strings);
}

std::string errnoText(int err) { return std::strerror(err); }

}  // namespace

WriteResult writeXlsx(const Workbook& book, const std::string& path)
{
    WriteResult result;
    if (book.sheetCount() == 0) {
        result.error = "The workbook has no sheet.";
        return result;
    }
    // The library writes into a private temporary file; the finished bytes then replace the
    // target in one atomic step, so a failure anywhere leaves the old file as it was.
    std::error_code ec;
    std::string tmp = (std::filesystem::temp_directory_path(ec) / "tarnwell-workbook-XXXXXX").string();
    if (ec) tmp = "/tmp/tarnwell-workbook-XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        result.error = errnoText(errno);
        return result;
    }
    ::close(fd);
    struct Remove {
        std::string path;
        ~Remove() { ::unlink(path.c_str()); }
    } removeTmp{tmp};

    lxw_error err = LXW_NO_ERROR;
    {
        CNumericLocale cLocale;
        lxw_workbook* wb = workbook_new(tmp.c_str());
        if (!wb) {
            result.error = "Out of memory";
            return result;
        }
        Strings strings;
        lxw_doc_properties properties{};
        properties.title = strings.keep(book.title);
        workbook_set_properties(wb, &properties);
        Writer writer(wb);
        std::vector<lxw_worksheet*> sheets;
        for (int i = 0; i < book.sheetCount(); ++i) {
            sheets.push_back(workbook_add_worksheet(wb, book.sheetAt(i).name().c_str()));
            if (!sheets.back()) {
                workbook_close(wb);
                result.error = "The sheet name \"" + book.sheetAt(i).name() + "\" is not allowed.";
                return result;
            }
        }
        for (int i = 0; i < book.sheetCount(); ++i) writeSheet(wb, sheets[static_cast<std::size_t>(i)], book, book.sheetAt(i), writer, strings);
        const int active = book.activeSheet >= 0 && book.activeSheet < book.sheetCount() ? book.activeSheet : 0;
        worksheet_activate(sheets[static_cast<std::size_t>(active)]);
        errno = 0;
        err = workbook_close(wb);
    }
    if (err != LXW_NO_ERROR) {
        result.error = lxw_strerror(err);
        if (err == LXW_ERROR_CREATING_XLSX_FILE || err == LXW_ERROR_CREATING_TMPFILE) {
            if (errno) result.error += std::string(": ") + errnoText(errno);
        }
        return result;
    }
    std::string bytes, readError;
    if (!readFileBytes(tmp, bytes, readError)) {
        result.error = readError;
        return result;
    }
    return writeFileAtomic(path, bytes);
}

}  // namespace platform
