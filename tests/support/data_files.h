#pragma once
// A small data file as the import writes one: the header's minimum, maximum and sample interval
// as given, the locations of the maximum (the highest sample) and of the minimum (the first
// lowest after it) as the import finds them, every other header line "0", then the samples.
#include "numbers/numbers.h"

#include <cstddef>
#include <string>
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
        else out += "0";
        out += "\r\n";
    }
    for (const std::string& s : samples) out += s + "\r\n";
    return out;
}

}  // namespace data_files
