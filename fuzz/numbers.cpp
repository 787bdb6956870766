// The number grammar (leading number, numeric test, the header-row count, the parameter form's
// checks) on the input as text, and number-to-text and the display patterns on the input's
// first eight bytes as a double.
#include "fuzz/fuzz_input.h"
#include "import/core/parameters.h"
#include "import/core/text_import.h"
#include "numbers/numbers.h"

#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = numbers::leadingNumber(text);
    FUZZ_CHECK(!std::isnan(value));  // the grammar has no way to spell NaN
    if (numbers::isNumeric(text)) FUZZ_CHECK(value == numbers::leadingNumber(std::string(text) + "x"));
    importer::velocityNumber(text);
    const importer::HeaderRowCheck rows = importer::checkHeaderRows(text);
    FUZZ_CHECK(!rows.accepted || (rows.headerRows >= 0 && rows.headerRows <= 30));
    numbers::roundHalfEven(value);

    // The parameter form: its fields are the input's lines.
    fuzz::Input in(data, size);
    importer::ParameterFields f;
    for (std::string* field : {&f.project, &f.delta, &f.pressure, &f.temperature, &f.mass, &f.area, &f.dynmass,
                               &f.time, &f.car, &f.tester})
        *field = std::string(in.line());
    importer::ImportState import;
    datafile::HeaderTexts header = importer::collectTestParameters(f, import);
    std::array<bool, 8> valid{};
    importer::validateTestParameters(header, valid, f.time);
    importer::validateTestParameters(header, valid, f.time);  // the flags carry over
    for (const std::string& line : header) FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);

    if (size < sizeof(double)) return 0;
    double x;
    std::memcpy(&x, data, sizeof x);
    const std::string t = numbers::numberToText(x);
    if (std::isfinite(x)) {
        // What is written reads back finite, and writing that again gives the same text.
        const double back = numbers::leadingNumber(t);
        FUZZ_CHECK(std::isfinite(back));
        FUZZ_CHECK(numbers::numberToText(back) == t);
        FUZZ_CHECK(t.size() <= 22);
    }
    const std::string pattern(text.substr(sizeof x, 40));
    for (const char* p : {"#0.0", "0.000", "#####0.0###", "0.0000###", "0.00000###", "#0.00", "#0.000", "0"})
        numbers::formatNumber(x, p);
    numbers::formatNumber(x, pattern);
    numbers::integerToText(numbers::roundHalfEven(x));
    return 0;
}
