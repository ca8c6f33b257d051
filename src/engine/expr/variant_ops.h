#pragma once

// Conversions, comparisons and arithmetic of engine values, as the
// expression language uses them. Strings take part in arithmetic when they
// read as numbers (otherwise the conversion error is raised); null spreads
// through arithmetic; a boolean counts as -1 (true) or 0.

#include <cstdint>
#include <optional>
#include <string>

#include "engine/variant.h"

namespace quor {

// Text form: numbers with the current decimal separator, dates in the short
// date form (and the time when there is one), booleans "True"/"False",
// empty and null "".
std::string variantToText(const Variant& v);

// As a number; empty is 0, null is 0, strings are read as numbers.
double variantToDouble(const Variant& v);
// Rounded (ties to even) and clamped to the 64-bit range.
std::int64_t variantToInt(const Variant& v);
std::int64_t doubleToInt(double v);
// As a date-time (days since 1899-12-30); strings are read as date/time.
double variantToDateTime(const Variant& v);

// True when the value is numerically 0 (strings are converted).
bool variantIsZero(const Variant& v);

Variant variantAdd(const Variant& a, const Variant& b);
Variant variantSubtract(const Variant& a, const Variant& b);
Variant variantMultiply(const Variant& a, const Variant& b);
// Division by 0 gives 0.
Variant variantDivide(const Variant& a, const Variant& b);
// Integer remainder; by 0 gives 0.
Variant variantModulo(const Variant& a, const Variant& b);
Variant variantBitOr(const Variant& a, const Variant& b);
Variant variantNegate(const Variant& v);

// -1, 0, 1; nothing when null meets a non-null value (unordered).
std::optional<int> variantCompare(const Variant& a, const Variant& b);

// Snaps a value within 1e-10 of an integer to that integer.
double snapToInteger(double v);

}  // namespace quor
