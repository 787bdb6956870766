#pragma once
// A series of noise-free coast-downs, slightly different per run, written into a folder: the
// data files run1.ctd ... and bench.cts. Returns the series file's path.
#include "numbers/numbers.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

namespace bench {

inline std::string writeSeries(const std::filesystem::path& dir, int files, int samples)
{
    std::filesystem::create_directories(dir);
    const double dt = 0.002, mdyn = 1545;
    std::string cts = std::to_string(files) + "\r\n" + std::to_string(samples) + "\r\n";
    for (int f = 1; f <= files; ++f) {
        const double F0 = 140 + f, k = 0.38 + 0.002 * f, v0 = 34 + 0.05 * f;
        const double a = std::sqrt(F0 / k), b = std::sqrt(F0 * k) / mdyn, phi = std::atan(v0 / a);
        std::string text;
        const char* header[] = {"Bench", "1.1.2020", "10:00", "Car", "Tester", "0", "100040", "1", "34",
                                "100010", "1", "0", "0.002", "0", "1500", "1545", "1.013", "20", "2.2",
                                "conf", "dry", "road"};
        for (const char* h : header) text += std::string(h) + "\r\n";
        for (int i = 0; i < 8; ++i) text += "0\r\n";
        for (int s = 0; s < samples + 10; ++s) text += numbers::numberToText(a * std::tan(phi - b * s * dt)) + "\r\n";
        const std::string name = "run" + std::to_string(f) + ".ctd";
        std::ofstream(dir / name, std::ios::binary) << text;
        cts += name + ",31," + std::to_string(31 + samples) + "\r\n";
    }
    const std::string path = (dir / "bench.cts").string();
    std::ofstream(path, std::ios::binary) << cts;
    return path;
}

}  // namespace bench
