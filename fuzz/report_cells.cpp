// The report's sheets with texts from data files as the input gives them (the project, file
// names, header lines, the comment, legend captions): built once with those texts and once with a
// plain "X" in each place, both reports fill exactly the same cells. No text leaves its cell.
#include "fuzz/fuzz_input.h"
#include "platform/textfile.h"
#include "report/core/report.h"

#include <set>

namespace {

using report::Grid;

// The cells a report writes something into, on every sheet.
std::set<std::pair<std::string, platform::CellRef>> filledCells(const report::ReportInput& in)
{
    std::set<std::pair<std::string, platform::CellRef>> cells;
    const report::ReportBuild build = report::buildReport(in);
    for (int i = 0; i < build.workbook.sheetCount(); ++i) {
        const platform::Worksheet& sheet = build.workbook.sheetAt(i);
        for (const auto& [at, cell] : sheet.cells())
            if (cell.kind != platform::Cell::Kind::Empty && !(cell.kind == platform::Cell::Kind::Text && cell.text.empty()))
                cells.emplace(sheet.name(), at);
    }
    return cells;
}

// The same comment with each of its lines (split at LF, as the comment box gives them) an "X",
// or empty where the line is.
std::string plainComment(const std::string& comment)
{
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t lf = comment.find('\n', start);
        std::string_view line = std::string_view(comment).substr(start, lf == std::string::npos ? std::string::npos : lf - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) out += "X";
        if (lf == std::string::npos) return out;
        out += "\n";
        start = lf + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const int sets = 1 + in.pick(7);
    // Each text starts with a letter, so that it is a text in both reports, never a number.
    std::vector<std::string> texts;
    auto next = [&in, &texts]() -> std::string {
        texts.push_back("h" + platform::decodeText(in.line()));
        return texts.back();
    };

    report::ReportInput hostile;
    hostile.setCount = sets;
    hostile.labels = {next(), "Filename: " + next(), next(), next(), next(), next()};
    hostile.protocolGrid.assign(24, std::vector<std::string>(static_cast<std::size_t>(sets + 1)));
    for (int r : {0, 2, 3, 4, 5, 15, 16, 17, 18, 19, 21, 22, 23}) {
        hostile.protocolGrid[static_cast<std::size_t>(r)][0] = "label";
        for (int c = 1; c <= sets; ++c) hostile.protocolGrid[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = next();
    }
    // A mean value group of all data sets, whose names come from the files.
    hostile.averageGrid = {{"", "Dataset", "cd", "fr0", "Fit quality"}, {"", "", "", "", ""}};
    for (int c = 1; c <= sets; ++c)
        hostile.averageGrid.push_back({c == 1 ? "Group 1" : "", next(), "0.35", "0.0101", "12.5%"});
    hostile.averageGrid.push_back({"", "", "", "", ""});
    hostile.groupCount = 1;
    hostile.groupSizes = {0, sets};
    hostile.lambdaText = "1000";
    for (int c = 1; c <= sets; ++c) hostile.legend.push_back({next(), 0xFF});
    hostile.comments = platform::decodeText(in.rest());

    report::ReportInput plain = hostile;
    const auto plainText = [](std::string& s) { s = s.rfind("Filename: ", 0) == 0 ? "Filename: X" : "X"; };
    for (std::string& s : plain.labels) plainText(s);
    for (auto& row : plain.protocolGrid)
        for (std::size_t c = 1; c < row.size(); ++c)
            if (!row[c].empty()) plainText(row[c]);
    for (std::size_t r = 2; r + 1 < plain.averageGrid.size(); ++r) plainText(plain.averageGrid[r][1]);
    for (auto& line : plain.legend) plainText(line.caption);
    plain.comments = plainComment(hostile.comments);

    FUZZ_CHECK(filledCells(hostile) == filledCells(plain));
    return 0;
}
