#include "report/core/report.h"

#include "datafile/header_lines.h"
#include "report/core/sheets.h"

#include <cmath>

namespace report {

namespace {

std::string cellOf(const Grid& grid, std::size_t r, std::size_t c)
{
    return r < grid.size() && c < grid[r].size() ? grid[r][c] : std::string();
}

std::string commasToPoints(std::string s)
{
    for (char& ch : s)
        if (ch == ',') ch = '.';
    return s;
}

}  // namespace

MeanTable meanTableText(const Grid& grid)
{
    MeanTable t;
    for (std::size_t r = 0; r < grid.size(); ++r) {
        for (std::size_t c = 0; c < grid[r].size(); ++c) t.text += datafile::singleLine(c >= 2 ? commasToPoints(grid[r][c]) : grid[r][c]) + '\t';
        t.text += '\r';
        ++t.lines;
        if (r > 1 && cellOf(grid, r, 1).empty() && cellOf(grid, r - 1, 0).empty()) {
            t.text += "\r\r";
            t.lines += 2;
        }
    }
    return t;
}

std::string dataTableText(const Grid& grid)
{
    const std::size_t columns = grid.empty() ? 0 : grid.front().size();
    const std::size_t d = columns > 0 ? columns - 1 : 0;
    const std::size_t blocks = d % 5 == 0 ? d / 5 : d / 5 + 1;
    auto taken = [](int r) { return r == 0 || (r >= 2 && r <= 5) || (r >= 15 && r <= 19) || (r >= 21 && r <= 23); };
    std::string text;
    for (std::size_t b = 1; b <= blocks; ++b) {
        for (int r = 0; r <= 23; ++r) {
            const auto row = static_cast<std::size_t>(r);
            if (taken(r)) text += datafile::singleLine(cellOf(grid, row, 0)) + '\t';
            for (std::size_t c = 5 * (b - 1) + 1; c <= 5 * (b - 1) + 5 && c <= d; ++c) {
                if (r >= 15 && r <= 19) text += datafile::singleLine(commasToPoints(cellOf(grid, row, c))) + '\t';
                else if (taken(r)) text += datafile::singleLine(cellOf(grid, row, c)) + '\t';
            }
            if (taken(r)) text += '\r';
            if (r == 5 || r == 19) text += '\r';
        }
        text += "\r\r";
    }
    return text;
}

std::string fromTenthCharacter(const std::string& utf8)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;
        if (++chars == 10) return utf8.substr(i);
    }
    return {};
}

std::string commentText(const std::string& comment)
{
    std::string out;
    std::size_t start = 0;
    while (start <= comment.size()) {
        const std::size_t lf = comment.find('\n', start);
        std::string line = comment.substr(start, lf == std::string::npos ? std::string::npos : lf - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out += datafile::singleLine(std::move(line));
        if (lf == std::string::npos) break;
        out += "\r\n";
        start = lf + 1;
    }
    return out;
}

std::string projectLine(const std::array<std::string, 6>& labels)
{
    return datafile::singleLine(labels[0]) + "\t\t" + datafile::singleLine(fromTenthCharacter(labels[1]));
}

void Progress::step()
{
    constexpr double kStep = 255.0 / 7.0;
    if (static_cast<float>(255 - kStep) >= bar) bar = static_cast<float>(bar + kStep);
    if (slider >= kStep) slider = static_cast<int>(std::nearbyint(slider - kStep));  // halves to even
}

ReportBuild buildReport(const ReportInput& in, const ProgressStep& progress)
{
    ReportBuild build;
    platform::Workbook& book = build.workbook;
    book.title = in.caption;
    auto step = [&](int n) {
        if (progress) progress(n);
    };

    if (in.setCount > 1) {
        const MeanTable table = meanTableText(in.averageGrid);
        build.meanTableLines = table.lines;
        platform::Worksheet& results = book.addSheet("Results");
        results.hideGridlines = true;
        stages::meanValueTable(results, in, table);
        stages::groupStatistics(results, in);
        stages::resultsTitleBlock(results, in);
        stages::resultsCharts(results, in);
        results.selection = {5, 1};
        // The input sheet goes in front of "Results"; the workbook opens on "Results".
        platform::Worksheet& input = book.addSheet("Input data", 0);
        step(1);
        stages::inputDataSheet(input, in, step);
        book.activeSheet = 1;
    } else {
        platform::Worksheet& input = book.addSheet("Input data");
        step(1);
        stages::inputDataSheet(input, in, step);
        book.activeSheet = 0;
    }
    return build;
}

}  // namespace report
