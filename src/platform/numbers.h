#pragma once

// Rounding rules the layout formulas depend on.

#include <cmath>
#include <cstdint>
#include <string_view>

namespace quor {

// Nearest integer, ties to the even neighbour (2.5 -> 2, 3.5 -> 4).
inline std::int64_t roundEven(double v) { return static_cast<std::int64_t>(std::nearbyint(v)); }
inline int roundInt(double v) { return static_cast<int>(roundEven(v)); }

// Toward zero.
inline int truncInt(double v) { return static_cast<int>(std::trunc(v)); }

// Integer halving toward zero (C++ division already truncates).
inline int halfTowardZero(int v) { return v / 2; }

// A number written in a settings file, taken toward zero to a signed 32-bit
// integer: "," counts as the decimal point; blanks around the number, a sign,
// digits with at most one decimal point and an exponent are accepted
// ("36,9" -> 36, "-0,5" -> 0, "1e2" -> 100). Anything else raises quor::Error
// "'<text>' is not a valid floating point value"; a value beyond the 32-bit
// range raises quor::Error as well.
int floatTextToInt(std::string_view text);

}  // namespace quor
