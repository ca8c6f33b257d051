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

// Results of layout arithmetic on damaged or extreme geometry stay in the
// int range: saturating conversions (NaN gives 0).
inline int clampToInt(std::int64_t v) {
    return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : static_cast<int>(v);
}
inline int sumClamped(std::int64_t a, std::int64_t b) { return clampToInt(a + b); }
inline int roundClamped(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return roundInt(v);
}
inline int truncClamped(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return truncInt(v);
}

// Integer halving toward zero (C++ division already truncates).
inline int halfTowardZero(int v) { return v / 2; }

// A number written in a settings file, taken toward zero to a signed 32-bit
// integer: "," counts as the decimal point; blanks around the number, a sign,
// digits with at most one decimal point and an exponent are accepted
// ("36,9" -> 36, "-0,5" -> 0, "1e2" -> 100). Anything else raises quor::Error
// "'<text>' is not a valid floating point value"; a value beyond the 32-bit
// range raises quor::Error as well.
int floatTextToInt(std::string_view text);

// A whole number typed by the user (a page number, a copy count): blanks
// before it, an optional sign and decimal digits, within the signed 32-bit
// range. Anything else, the empty text included, raises quor::Error
// "'<text>' is not a valid integer value".
int integerTextToInt(std::string_view text);

}  // namespace quor
