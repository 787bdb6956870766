#pragma once
// Rules of the velocity text import: which lines count, the velocity field of a data row, the
// statistics of a run and its plausibility, the header-row count. Standard library only.
#include "import/core/import_lines.h"
#include "import/core/import_state.h"
#include "platform/message.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace importer {

// The lines of a (decoded) text file that the import keeps: every line that is not exactly
// empty (a line of blanks counts).
inline ImportLines nonEmptyLines(std::string text) { return ImportLines::nonEmpty(std::move(text)); }

// The separator character of a separator code: 0 ",", 1 ";", 2 " ", 3 tab (others: ",").
char separatorChar(int separatorCode);

// The velocity field of one data row by layout (0 none, 1 "t , v", 2 "v , t") and separator:
// the whole row, the text after the first separator, or the text before it. A row without the
// separator is taken whole in either layout with a time column.
std::string velocityText(std::string_view row, int timeColumn, int separatorCode);

// The number a velocity field holds: its leading number, where a blank or tab after the
// number's first digit ends it (so a third column never joins the velocity).
double velocityNumber(std::string_view field);

// Rewrites the decimal comma of every data row (indexes headerRows .. count-1) to a point.
void applyDecimalComma(ImportLines& lines, std::int32_t lineCount, int headerRows);

struct ImportStatistics {
    double minVelocity = 1000.0;
    double maxVelocity = 0.0;
    std::int32_t minVelocityRow = 0;
    std::int32_t maxVelocityRow = 1000;
    std::int32_t dataRows = 0;
    bool allFinite = true;  // false when a row holds a number outside the double range
};

// Largest and smallest velocity of the data rows and their point numbers: the position among
// the data rows for layout "None", the position among all kept lines with a time column.
ImportStatistics importStatistics(const ImportLines& lines, std::int32_t lineCount,
                                  int headerRows, int timeColumn, int separatorCode);

// Keeps the extremes of a run and their point numbers in the import state (they become data-file
// lines 8 to 11).
void keepStatistics(const ImportStatistics& statistics, ImportState& state);

// A coast-down is plausible when its lowest velocity is not 0 and comes at or after its highest.
bool dataListPlausible(const ImportStatistics& s);
// "Error in data-list!", with the reason on a second line when there is one.
platform::Message dataListError(const std::string& reason = {});

// Why a list the statistics refuse is no coast-down, for the second line of "Error in
// data-list!": the line of the file (as an editor counts them: header rows and empty lines
// included), what it holds and what to do. `asRead` are the lines before the decimal comma was
// rewritten, quoted as the file holds them.
std::string dataListRefusal(const ImportLines& lines, const ImportLines& asRead, std::int32_t lineCount,
                            int headerRows, int timeColumn, int separatorCode, const ImportStatistics& s);

// The steps of a time column against the sample interval entered, to the column's own
// precision: a step agrees when it lies within one unit of the last decimal the column's times
// are written with. Steps are taken between neighbouring data rows that both hold a time.
struct TimeSteps {
    std::int32_t steps = 0;
    std::int32_t differing = 0;
    std::size_t firstLine = 0;  // the file's line that ends the first differing step
    double firstStep = 0;       // that step, s
};
TimeSteps timeSteps(const ImportLines& lines, std::int32_t lineCount, int headerRows, int timeColumn,
                    int separatorCode, double interval);

// The question before a data file is written whose time column does not step by the interval
// entered (`intervalText`, as typed): how many steps differ, the first, and that the interval
// is used; Yes writes the file, No goes back. nullopt when every step agrees.
std::optional<platform::Message> timeColumnQuestion(const TimeSteps& steps, const std::string& intervalText);

// The header-row count typed in the structure dialog.
struct HeaderRowCheck {
    bool accepted = false;
    bool notNumeric = false;  // refused because it is not a number
    std::int16_t headerRows = 0;
    std::optional<platform::Message> message;
};
HeaderRowCheck checkHeaderRows(std::string_view text);

// A result label value: "#0.000" with a point in every locale.
std::string resultNumber(double value);

}  // namespace importer
