#pragma once
// How much more memory the process held at its peak during a block than at its start, and how
// long the block took: the peak is reset at the start (Linux: /proc/self/clear_refs), so what the
// tests before took does not count.
#include <chrono>
#include <fstream>
#include <string>

#include <sys/resource.h>

namespace peak_memory {

// A "Vm...:  1234 kB" line of /proc/self/status, in bytes; -1 when it is not there.
inline long long statusBytes(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(key + ":", 0) == 0) return std::stoll(line.substr(key.size() + 1)) * 1024;
    return -1;
}

class Measure {
public:
    Measure()
    {
        // Without a reset the peak of the whole run stands in: the growth can only be smaller.
        std::ofstream("/proc/self/clear_refs") << "5";
        start_ = statusBytes("VmRSS");
        began_ = std::chrono::steady_clock::now();
    }
    long long growth() const
    {
        long long peak = statusBytes("VmHWM");
        if (peak < 0) {
            rusage usage {};
            ::getrusage(RUSAGE_SELF, &usage);
            peak = static_cast<long long>(usage.ru_maxrss) * 1024;
        }
        return peak - start_;
    }
    double seconds() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - began_).count(); }

private:
    long long start_ = 0;
    std::chrono::steady_clock::time_point began_;
};

}  // namespace peak_memory
