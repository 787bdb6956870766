#include "numbers/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace numbers {
namespace {

// Blanks, tabs and line feeds; a carriage return is an ordinary character and ends the number.
bool ignorable(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// The text with the ignorable characters removed, so the grammar below reads it in one pass.
std::string compact(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (!ignorable(c)) out.push_back(c);
    return out;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

double radixInteger(std::string_view s, int base)
{
    // Classic &H/&O literals wrap into a signed 32-bit integer when they fit 32 bits ("&HFFFF"
    // stays 65535, "&HFFFFFFFF" is -1); longer ones keep their magnitude.
    unsigned long long v = 0;
    std::size_t n = 0;
    for (char c : s) {
        int d;
        if (isDigit(c)) d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else break;
        if (d >= base) break;
        if (v > (std::numeric_limits<unsigned long long>::max() >> 4)) break;
        v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
        ++n;
    }
    if (n == 0) return 0.0;
    if (v > 0xFFFFull && v <= 0xFFFFFFFFull) return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(v)));
    return static_cast<double>(v);
}

// Length of the longest prefix of s that is a decimal number; 0 when it holds no digits.
// The prefix is rewritten into out in from_chars form ("D" becomes "e").
std::size_t decimalPrefix(std::string_view s, std::string& out)
{
    std::size_t i = 0;
    out.clear();
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') out.push_back('-');
        ++i;
    }
    bool digits = false;
    while (i < s.size() && isDigit(s[i])) { out.push_back(s[i++]); digits = true; }
    if (i < s.size() && s[i] == '.') {
        out.push_back('.');
        ++i;
        while (i < s.size() && isDigit(s[i])) { out.push_back(s[i++]); digits = true; }
    }
    if (!digits) return 0;
    std::size_t end = i;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp.push_back(s[j++]);
        bool expDigits = false;
        while (j < s.size() && isDigit(s[j])) { exp.push_back(s[j++]); expDigits = true; }
        if (expDigits) { out += exp; end = j; }
    }
    return end;
}

// The decimal exponent of the first significant digit of s (from_chars form, not all zeros),
// saturated far beyond the double range so that no exponent text can overflow it.
long long magnitudeOf(const std::string& s)
{
    constexpr long long kFar = 1000000000LL;
    std::size_t i = !s.empty() && s[0] == '-' ? 1 : 0;
    long long integerDigits = 0, fractionZeros = 0;
    bool significant = false;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        if (s[i] != '0') significant = true;
        if (significant && integerDigits < kFar) ++integerDigits;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && isDigit(s[i]); ++i) {
            if (significant) continue;
            if (s[i] != '0') significant = true;
            else if (fractionZeros < kFar) ++fractionZeros;
        }
    }
    long long exponent = 0;
    if (i < s.size() && s[i] == 'e') {
        ++i;
        const bool minus = i < s.size() && s[i] == '-';
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        for (; i < s.size() && isDigit(s[i]); ++i)
            if (exponent < kFar) exponent = exponent * 10 + (s[i] - '0');
        if (minus) exponent = -exponent;
    }
    return (integerDigits > 0 ? integerDigits - 1 : -(fractionZeros + 1)) + exponent;
}

double parseDecimal(const std::string& s)
{
    double v = 0.0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        // Beyond the double range on either side: the value's own magnitude says which, whatever
        // sign the exponent carries ("2" and 308 zeros "e-0" is too large, "." 323 zeros "1" too small).
        const bool negative = !s.empty() && s[0] == '-';
        if (magnitudeOf(s) < 0) return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    return v;
}

}  // namespace

double leadingNumber(std::string_view text)
{
    std::string s = compact(text);
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h') return radixInteger(std::string_view(s).substr(2), 16);
        if (s[1] == 'O' || s[1] == 'o') return radixInteger(std::string_view(s).substr(2), 8);
        return 0.0;
    }
    std::string number;
    if (decimalPrefix(s, number) == 0) return 0.0;
    return parseDecimal(number);
}

bool isNumeric(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    std::string_view core = text.substr(b, e - b);
    if (core.empty()) return false;
    std::string number;
    return decimalPrefix(core, number) == core.size();
}

std::string integerToText(long long value) { return std::to_string(value); }

long long roundHalfEven(double value)
{
    if (!std::isfinite(value)) return 0;
    double r = std::nearbyint(value);  // default rounding mode: to nearest, ties to even
    if (r >= 9.2e18) return std::numeric_limits<long long>::max();
    if (r <= -9.2e18) return std::numeric_limits<long long>::min();
    return static_cast<long long>(r);
}

std::string numberToText(double value)
{
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
    if (value == 0.0) return "0";
    // Scientific form with 15 significant digits gives the rounded mantissa and exponent.
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    std::string sci(buf, r.ptr);
    double back = 0;
    if (std::from_chars(sci.data(), sci.data() + sci.size(), back).ec == std::errc::result_out_of_range) {
        // Next to the largest double, rounding up to 15 digits passes it and the text would read
        // back as infinity: cut the digits instead, which stays below it.
        r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 20);
        sci.assign(buf, r.ptr);
        const std::size_t e = sci.find('e');
        const std::size_t keep = (sci[0] == '-' ? 1 : 0) + 16;  // sign, first digit, point, 14 more
        sci = sci.substr(0, keep) + sci.substr(e);
    }
    std::size_t ePos = sci.find('e');
    std::string mant = sci.substr(0, ePos);
    int exp = std::atoi(sci.c_str() + ePos + 1);
    bool negative = mant[0] == '-';
    if (negative) mant.erase(0, 1);
    std::string digits;
    for (char c : mant)
        if (c != '.') digits.push_back(c);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exp >= 15 || exp < -5) {
        out += digits[0];
        if (digits.size() > 1) { out += '.'; out += digits.substr(1); }
        out += 'E';
        out += exp < 0 ? '-' : '+';
        int a = std::abs(exp);
        if (a < 10) out += '0';
        out += std::to_string(a);
    } else if (exp < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exp - 1), '0');
        out += digits;
    } else {
        std::size_t intLen = static_cast<std::size_t>(exp) + 1;
        if (digits.size() <= intLen) {
            out += digits;
            out.append(intLen - digits.size(), '0');
        } else {
            out += digits.substr(0, intLen);
            out += '.';
            out += digits.substr(intLen);
        }
    }
    return out;
}

std::string formatNumber(double value, std::string_view pattern)
{
    std::size_t dot = pattern.find('.');
    int mandatory = 0, optional = 0;
    if (dot != std::string_view::npos) {
        for (char c : pattern.substr(dot + 1)) {
            if (c == '0') ++mandatory;
            else if (c == '#') ++optional;
        }
    }
    if (!std::isfinite(value)) return numberToText(value);
    const int places = std::min(mandatory + optional, 30);
    // Display rounding takes halves away from zero. Forty further digits of the exact binary
    // value tell a true half from a value just below or above it.
    char buf[512];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, places + 40);
    if (r.ec != std::errc()) return numberToText(value);
    std::string s(buf, r.ptr);
    const std::size_t point = s.find('.');
    const bool up = s[point + 1 + static_cast<std::size_t>(places)] >= '5';
    s.erase(places > 0 ? point + 1 + static_cast<std::size_t>(places) : point);
    if (up) {
        std::size_t i = s.size();
        while (i > 0) {
            --i;
            if (s[i] == '.') continue;
            if (s[i] == '-') { ++i; s.insert(i, 1, '1'); break; }
            if (s[i] == '9') { s[i] = '0'; if (i == 0) { s.insert(0, 1, '1'); break; } continue; }
            ++s[i];
            break;
        }
    }
    if (places > 0) {
        std::size_t p = s.find('.');
        std::size_t keep = p + 1 + static_cast<std::size_t>(mandatory);
        while (s.size() > keep && s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    // A value that rounds to zero shows no sign.
    if (!s.empty() && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
}

}  // namespace numbers
