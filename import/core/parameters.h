#pragma once
// The test parameters of a data file: the header lines built from the parameter form and the
// checks of its Save. Standard library only.
#include "datafile/header_lines.h"
#include "import/core/import_state.h"
#include "platform/message.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace importer {

// The texts of the parameter form as typed, and the picked date.
struct ParameterFields {
    std::string project, delta, pressure, temperature, mass, area, dynmass;
    std::string time, weather, road, car, configuration, tester;
    int day = 1, month = 1, year = 2000;
};

// The 30 header lines from the form and the import results, every text field a single line; the numbers the user typed get
// "," replaced by ".", the velocity extremes stay in the unit of the text file.
datafile::HeaderTexts collectTestParameters(const ParameterFields& fields, const ImportState& import);

// Where a refused check sends the focus.
enum class Field { Project, Time, Delta, Pressure, Temperature, Mass, Area, Dynmass };

struct ValidationMessage {
    platform::Message message;
    Field focus = Field::Project;
    int selectLength = 0;  // characters selected from the start; 0 selects nothing
};

struct ValidationOutcome {
    std::vector<ValidationMessage> messages;     // in the order they are shown
    std::optional<std::string> startTimeText;    // replaces the start-time field's text
};

// Checks the header lines in order and updates the eight validity flags, which keep their
// values between calls. May replace entry 15 with the default dynamic mass. `startTime` is the
// current text of the start-time field.
ValidationOutcome validateTestParameters(datafile::HeaderTexts& fileHeader,
                                         std::array<bool, 8>& fieldValid, const std::string& startTime);

inline bool allFieldsValid(const std::array<bool, 8>& fieldValid)
{
    for (bool b : fieldValid)
        if (!b) return false;
    return true;
}

}  // namespace importer
