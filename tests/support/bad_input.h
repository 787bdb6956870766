#pragma once
// The damaged files a user meets, made from a sound one, for the bad-input tables of the readers.
#include <dirent.h>
#include <limits.h>
#include <unistd.h>

#include <string>
#include <string_view>

namespace bad_input {

// Open file descriptors of the process: the same before and after a read that left nothing open.
inline int openFiles()
{
    int n = 0;
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (::readdir(d)) ++n;
        ::closedir(d);
    }
    return n;
}

// True while the process holds a descriptor on the file (where the first read of a toolkit
// opens fonts and the like, counting descriptors would blame the reader).
inline bool heldOpen(const std::string& path)
{
    bool held = false;
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (const dirent* e = ::readdir(d)) {
            char target[PATH_MAX];
            const std::string link = std::string("/proc/self/fd/") + e->d_name;
            const ssize_t n = ::readlink(link.c_str(), target, sizeof target);
            if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == path) held = true;
        }
        ::closedir(d);
    }
    return held;
}

// The first `lines` lines of a text, each with its line end.
inline std::string firstLines(std::string_view text, int lines)
{
    std::size_t end = 0;
    for (int i = 0; i < lines && end < text.size(); ++i) {
        const std::size_t lf = text.find('\n', end);
        end = lf == std::string_view::npos ? text.size() : lf + 1;
    }
    return std::string(text.substr(0, end));
}

// Line `line` (from 1) replaced by `replacement`.
inline std::string replaceLine(std::string_view text, int line, std::string_view replacement)
{
    const std::string before = firstLines(text, line - 1);
    const std::string through = firstLines(text, line);
    std::string eol = through.size() >= before.size() + 2 && through.compare(through.size() - 2, 2, "\r\n") == 0 ? "\r\n" : "\n";
    return before + std::string(replacement) + eol + std::string(text.substr(through.size()));
}

// The text as Windows saves "Unicode": UTF-16 little-endian with its byte-order mark.
inline std::string utf16(std::string_view ascii)
{
    std::string out = "\xFF\xFE";
    for (const char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// Every CR LF as a lone CR, as old Macintosh files end their lines.
inline std::string crOnly(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        out += text[i] == '\n' ? '\r' : text[i];
    }
    return out;
}

// A line of 10 MB.
inline std::string hugeLine(char c = '7') { return std::string(10u << 20, c); }

}  // namespace bad_input
