#include "analysis/core/ctd_reader.h"

#include "datafile/header_lines.h"
#include "numbers/numbers.h"

#include <utility>

namespace analysis {
namespace {

using namespace datafile;

// The header lines a data-file window keeps as text.
constexpr int kTextLines[] = {kProject,     kDate,        kStartTime,
                              kCar,         kTester,      kPlaceholderAfterTester,
                              kImportLineCount, kMinVelocity, kMaxVelocity,
                              kPlaceholderAfterLocations, kVehicleMass, kDynamicMass, kAirPressure,
                              kAirTemperature, kFrontalArea, kConfiguration, kWeather, kRoad};

}  // namespace

DataFileRead parseDataFile(std::string_view bytes, state::TabchildData& data)
{
    DataFileRead out;
    datafile::DataFile file = datafile::parseDataFile(bytes);
    out.minRow = file.minRow;
    out.maxRow = file.maxRow;
    if (!file.ok()) {
        out.refusal = std::move(file.refusal);
        return out;
    }
    out.firstSample = file.firstSample;

    const auto texts = file.header.texts();
    state::TabchildData& d = data;
    d.headerValues.resize(25, 1);
    d.testParameters.resize(kTestParameterCount, 1);
    for (int k : kTextLines) d.headerValues(k, 1) = texts[static_cast<std::size_t>(k)];
    d.sampleInterval = file.interval;
    for (int r = 1; r <= kTestParameterCount; ++r)
        d.testParameters(r, 1) = numbers::leadingNumber(file.header.raw[static_cast<std::size_t>(testParameterLine(r))]);
    d.sampleCount = static_cast<double>(file.count);
    d.velocitySamples = state::ColMatrix::column(std::move(file.values));
    d.rowZeroSample = {0, static_cast<int>(file.firstSample - 1)};
    ++d.dataVersion;
    d.setCount = 1;
    out.ok = true;
    return out;
}

void setDataFilePath(state::TabchildData& data, std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string_view dir = slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
    const std::string_view title = slash == std::string_view::npos ? path : path.substr(slash + 1);
    data.dataDirectory = std::string(dir);
    data.windowFileName = std::string(title);
    data.dataFileNames[1] = data.windowFileName;
}

platform::Message dataFileError(std::string_view path, std::string_view reason)
{
    std::string text = "File reading ERROR!";
    for (const std::string_view line : {path, reason}) {
        if (line.empty()) continue;
        text += '\n';
        text += line;
    }
    return platform::critical(std::move(text), "CTD-Error");
}

}  // namespace analysis
