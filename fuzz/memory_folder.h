#pragma once
// The files of one fuzz input (see fuzz::splitFiles) as the folder of a series, for the series
// load: an exact name first, else the only one that matches it ignoring letter case, as on the
// disk. A file whose bytes are "@link NAME" is a link to the file NAME: it reads as that file
// and is that file, so one data file can be named twice through different names.
#include "analysis/series/core/series_load.h"
#include "fuzz/fuzz_input.h"

#include <algorithm>
#include <map>
#include <string>

namespace fuzz {

inline const std::string kFolder = "/fuzz/";

inline char foldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The name a link chain ends at (at most a few hops, as a loop must end); "" when it leads nowhere.
inline std::string linkTarget(const std::map<std::string, std::string>& files, std::string name)
{
    constexpr std::string_view kLink = "@link ";
    for (int hops = 0; hops < 8; ++hops) {
        const auto it = files.find(name);
        if (it == files.end()) return {};
        if (it->second.rfind(kLink, 0) != 0) return name;
        name = it->second.substr(kLink.size());
    }
    return {};
}

inline series::FileSource memoryFolder(const std::map<std::string, std::string>& files)
{
    series::FileSource s;
    const auto nameOf = [](const std::string& path) { return path.rfind(kFolder, 0) == 0 ? path.substr(kFolder.size()) : std::string(); };
    // The whole file, however few lines are asked for: the reader must not rely on getting less.
    s.read = [&files, nameOf](const std::string& path, long long) {
        series::FileRead r;
        const std::string target = linkTarget(files, nameOf(path));
        if (target.empty()) {
            r.error = "No such file or directory";
            return r;
        }
        r.bytes = files.at(target);
        r.ok = true;
        return r;
    };
    s.find = [&files](const std::string& directory, const std::string& name) -> std::string {
        FUZZ_CHECK(directory == kFolder);
        if (!linkTarget(files, name).empty()) return directory + name;
        std::string found;
        int matches = 0;
        for (const auto& [candidate, bytes] : files) {
            if (candidate.size() != name.size() || linkTarget(files, candidate).empty()) continue;
            if (std::equal(candidate.begin(), candidate.end(), name.begin(), [](char a, char b) { return foldCase(a) == foldCase(b); })) {
                ++matches;
                found = directory + candidate;
            }
        }
        return matches == 1 ? found : std::string();
    };
    s.identity = [&files, nameOf](const std::string& path) { return linkTarget(files, nameOf(path)); };
    return s;
}

}  // namespace fuzz
