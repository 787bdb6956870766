#pragma once
// The parameter editor's view of a data file: the lines that fill the parameter form, and the
// file rewritten with the form's header lines. Standard library only.
#include "datafile/header_lines.h"
#include "import/core/parameters.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// The lines of a data file as read: the bytes of each line without its line end.
using RawLines = std::vector<std::string>;

// The encoding the readers take a data file in, kept by a rewrite: the readers' own rule
// (datafile::headerIsUtf8) over the same bytes, so the form shows what the window shows.
enum class Encoding { Windows1252, Utf8 };
Encoding fileEncoding(std::string_view bytes);

struct LineDate {
    int day = 0, month = 0, year = 0;
};

// The date of line 2, "Day.Month.Year" split at its points; nullopt when the line holds no
// calendar date the form's date picker can show.
std::optional<LineDate> dateFromLine(std::string_view line);

struct EditorFields {
    importer::ParameterFields fields;  // lines 1, 3-5, 13 and 15-22 as texts, line 2 as date
    bool dateRead = false;             // false: line 2 held no date; the fields keep theirs
};

// The parameter form's fields from the lines read (lines the file lacks leave fields empty).
EditorFields editorFields(const RawLines& lines, Encoding encoding);

// The data-file lines the parameter form writes; every other line is kept as read.
bool isFormLine(int line);

// The file rewritten, with exactly as many lines as were read, each ending in CR LF: lines 1-5
// and 13-22 from `fileHeader` (entry k - 1 for line k), every other line byte for byte as read.
// A form line whose text came back as it was read keeps its bytes too, so an untouched line
// never changes. A changed line is written in the file's encoding (a byte-order mark before
// line 1 stays); should Windows-1252 not hold a changed text, or its bytes read as other text
// (as UTF-8, or a project that begins like a byte-order mark), the header is written in UTF-8,
// so that every line still reads back as the form showed it; the lines after it stay as read. With `keepDateLine` line 2 stays as read. `rest`
// holds the file's bytes after `lines` (the samples), kept line by line as read, so that they
// need not be held as a string per line.
std::string rewrittenDataFile(const RawLines& lines, const datafile::HeaderTexts& fileHeader, bool keepDateLine,
                              Encoding encoding, std::string_view rest = {});

}  // namespace app
