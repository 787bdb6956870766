// The text import with every structure the dialog offers drawn from the input (header rows,
// time column, separator, unit, decimal comma), then the statistics, the plausibility check and,
// for a plausible list, the data file written from it and read back.
#include "analysis/core/ctd_reader.h"
#include "fuzz/fuzz_input.h"
#include "import/core/ctd_writer.h"
#include "import/core/parameters.h"
#include "import/core/text_import.h"
#include "numbers/numbers.h"
#include "platform/textfile.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    importer::ImportState s;
    // Mostly what the dialog accepts; now and then any 16-bit count, as a caller might pass.
    const std::uint8_t rows = in.byte();
    s.headerRows = rows < 224 ? static_cast<std::int16_t>(rows % 31) : in.int16();
    s.timeColumn = static_cast<std::int16_t>(in.pick(3));
    s.separatorCode = static_cast<std::int16_t>(in.pick(4));
    s.velocityUnit = static_cast<std::int16_t>(in.pick(3));
    s.decimalSeparator = static_cast<std::int16_t>(in.pick(2));
    if (s.decimalSeparator == 1 && s.separatorCode == 0) s.separatorCode = 1;  // the dialog offers no comma then

    s.importLines = importer::nonEmptyLines(platform::decodeText(in.rest()));
    s.importLineCount = static_cast<std::int32_t>(s.importLines.size());
    if (s.decimalSeparator == 1) importer::applyDecimalComma(s.importLines, s.importLineCount, s.headerRows);
    const importer::ImportStatistics stats =
        importer::importStatistics(s.importLines, s.importLineCount, s.headerRows, s.timeColumn, s.separatorCode);
    FUZZ_CHECK(stats.dataRows <= s.importLineCount);
    importer::resultNumber(stats.maxVelocity);
    importer::resultNumber(stats.minVelocity);
    if (!importer::dataListPlausible(stats)) return 0;
    importer::keepStatistics(stats, s);

    importer::ParameterFields f;
    f.project = "Fuzz";
    f.delta = "0.1";
    f.pressure = "1.013";
    f.temperature = "20";
    f.mass = "1500";
    f.area = "2.2";
    datafile::HeaderTexts header = importer::collectTestParameters(f, s);
    std::array<bool, 8> valid{};
    importer::validateTestParameters(header, valid, f.time);
    FUZZ_CHECK(importer::allFieldsValid(valid));

    // What the writer writes, the reader takes: every sample it stores is finite.
    const std::string file = platform::encodeForReaders(importer::ctdFileText(header, s));
    state::TabchildData d;
    const analysis::DataFileRead read = analysis::parseDataFile(file, d);
    if (!read.ok) std::fprintf(stderr, "refused: %s\n", read.refusal.c_str());
    FUZZ_CHECK(read.ok);
    for (int r = 1; r <= d.velocitySamples.rows(); ++r) FUZZ_CHECK(std::isfinite(d.velocitySamples(r, 1)));
    FUZZ_CHECK(std::isfinite(numbers::leadingNumber(header[datafile::entry(datafile::kMinVelocity)])));
    FUZZ_CHECK(std::isfinite(numbers::leadingNumber(header[datafile::entry(datafile::kMaxVelocity)])));
    return 0;
}
