#include "import/core/parameters.h"

#include "datafile/header_lines.h"
#include "numbers/numbers.h"

namespace importer {
namespace {

using namespace datafile;

std::string pointed(std::string s)
{
    for (char& c : s)
        if (c == ',') c = '.';
    return s;
}

ValidationMessage warning(const char* text, Field focus, int selectLength)
{
    return {platform::critical(text, "Warning"), focus, selectLength};
}

struct NumericStep {
    int line;
    Field field;
    int flag;
    const char* notNumeric;
    const char* outOfRange;
    double low;
    double high;
    bool lowExclusive;
};

constexpr NumericStep kSteps[] = {
    {kSampleInterval, Field::Delta, 2, "Sample rate is not numerical!", "Please insert sample rate between 0.0001 and 1!", 0.0001, 1, false},
    {kAirPressure, Field::Pressure, 3, "Air pressure-value is not numerical!", "Please insert pressure-value between 0.8 and 1.5!", 0.8, 1.5, false},
    {kAirTemperature, Field::Temperature, 4, "Air temperature-value is not numerical!", "Please insert temperature-value between -50 and 100!", -50, 100, false},
    {kVehicleMass, Field::Mass, 5, "Vehicle mass-value is not numerical!", "Please insert mass-value between 100 and 50000!", 100, 50000, false},
    {kFrontalArea, Field::Area, 6, "Frontal area-value is not numerical!", "Please insert frontal area-value between 0 and 10!", 0, 10, true},
};

// hh:mm with 0 <= hh <= 23 and 0 <= mm <= 59: the first two characters, the third and the last two.
bool startTimeValid(const std::string& t)
{
    for (unsigned char c : t)
        if (c >= 0x80) return false;  // only plain digits, blanks, signs and ":" can pass
    const std::string hh = t.substr(0, 2);
    const std::string sep = t.size() >= 3 ? t.substr(2, 1) : std::string();
    const std::string mm = t.size() >= 2 ? t.substr(t.size() - 2) : t;
    if (!numbers::isNumeric(hh) || sep != ":" || !numbers::isNumeric(mm)) return false;
    const double h = numbers::leadingNumber(hh), m = numbers::leadingNumber(mm);
    return h >= 0 && h <= 23 && m >= 0 && m <= 59;
}

}  // namespace

datafile::HeaderTexts collectTestParameters(const ParameterFields& fields, const ImportState& import)
{
    ParameterFields f = fields;
    for (std::string* s : {&f.project, &f.delta, &f.pressure, &f.temperature, &f.mass, &f.area, &f.dynmass, &f.time,
                           &f.weather, &f.road, &f.car, &f.configuration, &f.tester})
        *s = datafile::singleLine(*s);
    datafile::HeaderTexts h;
    h.fill("0");
    const auto line = [&h](int number) -> std::string& { return h[entry(number)]; };
    line(kProject) = f.project;
    line(kDate) = numbers::integerToText(f.day) + "." + numbers::integerToText(f.month) + "." + numbers::integerToText(f.year);
    line(kStartTime) = f.time;
    line(kCar) = f.car;
    line(kTester) = f.tester;
    line(kImportLineCount) = numbers::integerToText(import.importLineCount);
    line(kMinVelocity) = numbers::numberToText(import.minVelocity);
    line(kMaxVelocity) = numbers::numberToText(import.maxVelocity);
    line(kMinVelocityRow) = numbers::integerToText(import.minVelocityRow);
    line(kMaxVelocityRow) = numbers::integerToText(import.maxVelocityRow);
    line(kSampleInterval) = pointed(f.delta);
    line(kVehicleMass) = pointed(f.mass);
    line(kDynamicMass) = pointed(f.dynmass);
    line(kAirPressure) = pointed(f.pressure);
    line(kAirTemperature) = pointed(f.temperature);
    line(kFrontalArea) = pointed(f.area);
    line(kConfiguration) = f.configuration;
    line(kWeather) = f.weather;
    line(kRoad) = f.road;
    return h;
}

ValidationOutcome validateTestParameters(datafile::HeaderTexts& fileHeader,
                                         std::array<bool, 8>& fieldValid, const std::string& startTime)
{
    ValidationOutcome out;

    if (fileHeader[entry(kProject)].empty()) {
        out.messages.push_back(warning("Please insert project name!", Field::Project, 0));
        fieldValid[0] = false;
        fieldValid[1] = false;
    } else {
        fieldValid[0] = true;
    }

    if (fieldValid[0]) {
        if (fileHeader[entry(kStartTime)].empty()) {
            fieldValid[1] = true;
        } else if (startTimeValid(startTime)) {
            fieldValid[1] = true;
        } else {
            out.messages.push_back(warning("Test start-time is not correct!", Field::Time, 5));
            out.startTimeText = "00:00";
            fieldValid[1] = false;
        }
    }

    if (fieldValid[1]) {
        bool passed = true;
        for (const NumericStep& s : kSteps) {
            const std::string& text = fileHeader[entry(s.line)];
            if (!numbers::isNumeric(text)) {
                out.messages.push_back(warning(s.notNumeric, s.field, 20));
                fieldValid[static_cast<std::size_t>(s.flag)] = false;
                passed = false;
                break;
            }
            const double x = numbers::leadingNumber(text);
            const bool low = s.lowExclusive ? x > s.low : x >= s.low;
            if (!low || x > s.high) {
                out.messages.push_back(warning(s.outOfRange, s.field, 20));
                fieldValid[static_cast<std::size_t>(s.flag)] = false;
                passed = false;
                break;
            }
        }
        if (passed)
            for (int i = 0; i <= 6; ++i) fieldValid[static_cast<std::size_t>(i)] = true;
    }

    if (!fieldValid[6]) {
        fieldValid[7] = true;
        return out;
    }
    const double m = numbers::leadingNumber(fileHeader[entry(kVehicleMass)]);
    std::string& dyn = fileHeader[entry(kDynamicMass)];
    if (!dyn.empty() && !numbers::isNumeric(dyn)) {
        out.messages.push_back(warning("Dynamic mass-value is not numerical!", Field::Dynmass, 20));
        fieldValid[7] = false;
        return out;
    }
    const double d = numbers::leadingNumber(dyn);
    if (d == 0.0) {
        dyn = numbers::numberToText(m * 1.03);
        fieldValid[7] = true;
    } else if (d < m) {
        out.messages.push_back(warning("Please insert dynamic mass-value between mass-value and 50000!", Field::Dynmass, 20));
        fieldValid[7] = false;
    } else if (d > 50000) {
        out.messages.push_back(warning("Please insert dynamic mass-value between 100 and 50000!", Field::Dynmass, 20));
        fieldValid[7] = false;
    } else if (d >= 100) {
        fieldValid[7] = true;
    }
    return out;
}

}  // namespace importer
