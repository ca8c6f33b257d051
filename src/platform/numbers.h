#pragma once

// Rounding rules the layout formulas depend on.

#include <cmath>
#include <cstdint>

namespace quor {

// Nearest integer, ties to the even neighbour (2.5 -> 2, 3.5 -> 4).
inline std::int64_t roundEven(double v) { return static_cast<std::int64_t>(std::nearbyint(v)); }
inline int roundInt(double v) { return static_cast<int>(roundEven(v)); }

// Toward zero.
inline int truncInt(double v) { return static_cast<int>(std::trunc(v)); }

// Integer halving toward zero (C++ division already truncates).
inline int halfTowardZero(int v) { return v / 2; }

}  // namespace quor
