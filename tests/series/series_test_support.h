#pragma once
// Writing small data and series files into a scratch folder for the series tests.
#include "numbers/numbers.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace series_test {

// A scratch folder removed again at the end of the test.
class ScratchDir {
public:
    ScratchDir()
    {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / ("tw-series-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string dir() const { return path_.string() + "/"; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    void write(const std::string& name, const std::vector<std::string>& lines, bool finalLineEnd = true) const
    {
        std::ofstream out(path_ / name, std::ios::binary);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            out << lines[i];
            if (i + 1 < lines.size() || finalLineEnd) out << "\r\n";
        }
    }

private:
    std::filesystem::path path_;
};

struct RunSpec {
    std::string project = "Proj";
    std::string interval = "0.1";
    std::string mass = "1500";
    std::string dynMass = "1545";
    std::string pressure = "1.013";
    std::string temperature = "20";
    std::string area = "2.2";
    int samples = 150;                         // lines 31 .. 30 + samples
    double first = 30.0, step = -0.1;          // sample k (from 1) = first + (k - 1) * step
};

// The 30 header lines and samples of a data file: line 30 + k holds first + (k - 1) * step; the
// maximum is the first sample and the minimum the last, as in a falling run.
inline std::vector<std::string> dataFileLines(const RunSpec& run)
{
    std::vector<std::string> l = {run.project, "9.3.2005", "10:15", "Car A", "Tester B", "0",
                                  std::to_string(run.samples + 30), "10.5", "30", std::to_string(run.samples), "1", "0",
                                  run.interval, "0", run.mass, run.dynMass, run.pressure, run.temperature,
                                  run.area, "config", "sunny", "dry"};
    while (l.size() < 30) l.push_back("0");
    for (int k = 1; k <= run.samples; ++k) l.push_back(numbers::numberToText(run.first + (k - 1) * run.step));
    return l;
}

}  // namespace series_test
