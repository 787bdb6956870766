#pragma once
// What every fuzz target shares: reading choices off the front of the input, splitting it into
// named files, and the checks whose failure is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

// A broken promise of the code under test: reported like a crash, so that libFuzzer keeps the
// input and the replay test fails on it.
#define FUZZ_CHECK(cond)                                                                      \
    do {                                                                                      \
        if (!(cond)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);     \
            std::abort();                                                                     \
        }                                                                                     \
    } while (0)

namespace fuzz {

// True when a UTF-8 text shows as one line wherever it goes: it holds no C0 or C1 control (line
// ends, tabs and NEL among them), no DEL, no line or paragraph separator (U+2028, U+2029), and
// neither U+FDD0 nor U+FDD1, where the program's text boxes break too. It decodes the text on
// its own, so a change of the rule that blanks them shows here. A byte that begins no valid
// character stands for none of them.
inline bool isOneLine(std::string_view text)
{
    const auto at = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    const auto follows = [&](std::size_t i, unsigned lo, unsigned hi) { return at(i) >= lo && at(i) <= hi; };
    for (std::size_t i = 0; i < text.size();) {
        const unsigned b = at(i);
        std::size_t length = 1;
        unsigned long cp = b;
        if (b >= 0xC2 && b <= 0xDF && follows(i + 1, 0x80, 0xBF)) {
            length = 2;
            cp = ((b & 0x1Fu) << 6) | (at(i + 1) & 0x3Fu);
        } else if (b >= 0xE0 && b <= 0xEF && follows(i + 1, b == 0xE0 ? 0xA0 : 0x80, b == 0xED ? 0x9F : 0xBF) &&
                   follows(i + 2, 0x80, 0xBF)) {
            length = 3;
            cp = ((b & 0x0Fu) << 12) | ((at(i + 1) & 0x3Fu) << 6) | (at(i + 2) & 0x3Fu);
        } else if (b >= 0xF0 && b <= 0xF4 && follows(i + 1, b == 0xF0 ? 0x90 : 0x80, b == 0xF4 ? 0x8F : 0xBF) &&
                   follows(i + 2, 0x80, 0xBF) && follows(i + 3, 0x80, 0xBF)) {
            length = 4;
            cp = ((b & 0x07u) << 18) | ((at(i + 1) & 0x3Fu) << 12) | ((at(i + 2) & 0x3Fu) << 6) | (at(i + 3) & 0x3Fu);
        } else if (b >= 0x80) {
            cp = 0xFFFD;  // no character of its own
        }
        if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029 || cp == 0xFDD0 || cp == 0xFDD1)
            return false;
        i += length;
    }
    return true;
}

// The input as a stream of choices followed by free text.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    // The next byte (0 when none is left).
    std::uint8_t byte()
    {
        if (rest_.empty()) return 0;
        const auto b = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }
    // A choice in 0..count-1.
    int pick(int count) { return byte() % count; }
    // A 16-bit signed value, as the classic counts hold them.
    std::int16_t int16() { return static_cast<std::int16_t>(byte() | (byte() << 8)); }
    // Everything up to the next line end (which is consumed), or the rest.
    std::string_view line()
    {
        const std::size_t lf = rest_.find('\n');
        const std::string_view l = rest_.substr(0, lf);
        rest_.remove_prefix(lf == std::string_view::npos ? rest_.size() : lf + 1);
        return l;
    }
    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};

// One input holding several files: the first file's bytes, then for every further file a line
// "@@@ name" followed by its bytes (the line end before "@@@" belongs to no file).
inline std::map<std::string, std::string> splitFiles(std::string_view input, const std::string& firstName)
{
    constexpr std::string_view kMark = "@@@ ";
    const auto nextMark = [&](std::size_t from) {  // start of the next marker line, or npos
        if (from == 0 && input.substr(0, kMark.size()) == kMark) return std::size_t{0};
        const std::size_t at = input.find("\n@@@ ", from == 0 ? 0 : from - 1);
        return at == std::string_view::npos ? at : at + 1;
    };
    std::map<std::string, std::string> files;
    std::string name = firstName;
    std::size_t bodyStart = 0;
    for (;;) {
        const std::size_t mark = nextMark(bodyStart);
        const std::size_t bodyEnd = mark == std::string_view::npos ? input.size() : (mark == 0 ? 0 : mark - 1);
        files[name] = std::string(input.substr(bodyStart, bodyEnd - std::min(bodyStart, bodyEnd)));
        if (mark == std::string_view::npos) break;
        const std::size_t nameStart = mark + kMark.size();
        const std::size_t lf = input.find('\n', nameStart);
        name = std::string(input.substr(nameStart, lf == std::string_view::npos ? std::string_view::npos : lf - nameStart));
        if (!name.empty() && name.back() == '\r') name.pop_back();
        if (lf == std::string_view::npos) {
            files[name];
            break;
        }
        bodyStart = lf + 1;
    }
    return files;
}

}  // namespace fuzz
