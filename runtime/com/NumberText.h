#pragma once

// Numbers as automation converts them to and from text, independent of the
// process locale: "." is the decimal point, "," groups integer digits.

#include <optional>
#include <string>
#include <string_view>

namespace zrv::com {

// Spaces around, an optional sign, digits (grouped by "," if wished), an
// optional fraction and exponent; or "&H" / "&O" with hex or octal digits.
// Nullopt for anything else; infinity when the value is out of range.
std::optional<double> ParseNumber(std::u16string_view text);

// At most digits significant digits, exponent form ("1E+20") for very large
// or small magnitudes, no trailing zeros, never "-0".
std::string FormatNumber(double value, int digits);

// Rounds to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double value);

} // namespace zrv::com
