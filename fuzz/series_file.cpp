// The series-file reader: the counts, the entries and the comment.
#include "analysis/series/core/series_file.h"
#include "fuzz/fuzz_input.h"
#include "platform/textfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = platform::decodeText(std::string_view(reinterpret_cast<const char*>(data), size));
    series::SeriesFile f;
    if (const auto refusal = series::parseSeriesFile(text, f)) {
        FUZZ_CHECK(refusal->title == "CTS-Error");
        FUZZ_CHECK(refusal->text.size() < 1000);  // a message box shows it whole
        return 0;
    }
    FUZZ_CHECK(f.count >= 2 && f.count <= 30 && static_cast<int>(f.entries.size()) == f.count);
    FUZZ_CHECK(f.samples >= 3);
    for (const auto& e : f.entries) {
        FUZZ_CHECK(!e.name.empty() && e.name.size() <= 255);
        FUZZ_CHECK(e.firstLine >= 31 && static_cast<long long>(e.lastLine) - e.firstLine >= f.samples);
    }
    FUZZ_CHECK(f.comment.size() <= 2 * text.size());
    return 0;
}
