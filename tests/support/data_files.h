#pragma once
// A small data file as the import writes one: the header's minimum, maximum and sample interval
// as given, the locations of the maximum (the highest sample) and of the minimum (the first
// lowest after it) as the import finds them, test parameters a fit can take, every other header
// line "0", then the samples.
#include "numbers/numbers.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace data_files {

inline std::string dataFile(double minimum, double maximum, const std::string& interval, const std::vector<std::string>& samples)
{
    std::size_t hi = 0;
    for (std::size_t k = 0; k < samples.size(); ++k)
        if (numbers::leadingNumber(samples[k]) > numbers::leadingNumber(samples[hi])) hi = k;
    std::size_t lo = hi;
    for (std::size_t k = hi; k < samples.size(); ++k)
        if (numbers::leadingNumber(samples[k]) < numbers::leadingNumber(samples[lo])) lo = k;
    std::string out;
    for (int line = 1; line <= 30; ++line) {
        if (line == 8) out += numbers::numberToText(minimum);
        else if (line == 9) out += numbers::numberToText(maximum);
        else if (line == 10) out += std::to_string(lo + 1);
        else if (line == 11) out += std::to_string(hi + 1);
        else if (line == 13) out += interval;
        else if (line >= 15 && line <= 19) out += line == 15 ? "1500" : line == 16 ? "1545" : line == 17 ? "1" : line == 18 ? "20" : "2";
        else out += "0";
        out += "\r\n";
    }
    for (const std::string& s : samples) out += s + "\r\n";
    return out;
}

// Three runs of a series whose third rises before its maximum (a logger started while the car
// still gained speed): its maximum, sample 4, is the lowest maximum of the three, so it is the
// common upper bound. Windows from each maximum on: a.ctd 40..46, b.ctd 36..42, c.ctd 34..40;
// from line 31, c.ctd's would have begun at sample 1.
inline std::vector<std::pair<std::string, std::string>> risingRunSeries()
{
    std::vector<std::string> a, b;
    for (int v = 30; v >= 10; --v) a.push_back(std::to_string(v));
    for (int v = 26; v >= 14; --v) b.push_back(std::to_string(v));
    const std::vector<std::string> c = {"20.5", "20.8", "20.2", "21", "20", "19", "18", "17", "16", "15", "14", "13", "12"};
    return {{"a.ctd", dataFile(10, 30, "0.1", a)}, {"b.ctd", dataFile(14, 26, "0.1", b)}, {"c.ctd", dataFile(12, 21, "0.1", c)}};
}
inline const char* const kRisingRunEntries = "3\r\n6\r\na.ctd,40,46\r\nb.ctd,36,42\r\nc.ctd,34,40\r\n";

}  // namespace data_files
