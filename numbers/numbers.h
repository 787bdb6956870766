#pragma once
// The number rules every reader and writer shares. Locale-free: no printf, strtod or streams.
#include <string>
#include <string_view>

namespace numbers {

// The leading number of a text: blanks, tabs and line feeds are ignored wherever they stand;
// then an optional sign, digits with at most one "." as decimal point and an optional exponent
// ("E" or "D", either case, optional sign, digits); "&H" and "&O" introduce a hexadecimal or
// octal integer. Reading stops at the first character that fits none of this; what was read so
// far is the value. A text without digits gives 0. A "," therefore ends the number.
double leadingNumber(std::string_view text);

// True when the text converts to a number as a whole: blanks around it, a sign, digits with one
// decimal point and an exponent are allowed (the numeric test of the parameter form).
bool isNumeric(std::string_view text);

// Number-to-text: rounded to at most 15 significant digits, no trailing zeros, no trailing
// point, no thousands separators, "." as decimal mark. Exponent form ("1E+15", "1.5E-07") for
// magnitudes of 1E+15 and above or below 1E-05, as the classic general conversion does.
std::string numberToText(double value);

// Integers as plain decimal digits.
std::string integerToText(long long value);

// Round to the nearest integer, halves to the even neighbour (counts and line numbers).
long long roundHalfEven(double value);

// Display patterns such as "0", "#0.0", "0.000", "#####0.0###", "0.0000###": "0" is a mandatory
// digit, "#" an optional one; the integer part always shows at least one digit; decimals are
// rounded to the number of places the pattern has (halves away from zero, as displays round),
// then optional trailing zeros are dropped.
// The decimal mark is always ".".
std::string formatNumber(double value, std::string_view pattern);

}  // namespace numbers
