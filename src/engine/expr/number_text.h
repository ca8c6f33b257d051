#pragma once

// Numbers as text, the way the report engine writes and reads them: 15
// significant digits, a decimal separator chosen by the caller, and the
// platform's conversion error for text that is no number.

#include <string>
#include <string_view>

namespace quor {

// "'<text>' is not a valid floating point value".
[[noreturn]] void throwNotANumber(std::string_view text);

// Strict reading: optional blanks around, a sign, digits with at most one
// `decimalSeparator`, an optional exponent. Fails on anything else and on
// values out of range.
bool tryTextToFloat(std::string_view text, char decimalSeparator, double& out);
double textToFloat(std::string_view text, char decimalSeparator);

// General form: up to 15 significant digits, no trailing zeros, exponent
// form ("1E20", "1.5E-7") below 1e-4 and from 1e15 on.
std::string floatToText(double value, char decimalSeparator);

// The decimal digits of |value| rounded first to 15 significant digits and
// then, halves away from zero, to `decimals` places. `integer` has no
// leading zeros ("" for values below 1); `fraction` has exactly `decimals`
// digits. Returns false for values of 1e18 and above or not finite, which
// callers print in general form instead.
bool decimalDigits(double value, int decimals, std::string& integer, std::string& fraction);

// Fixed notation with `decimals` places, optionally with thousands groups
// ("1 234.50"). Falls back to the general form for huge values.
std::string formatFixed(double value, int decimals, char decimalSeparator,
                        char thousandSeparator = 0);

// Inserts `separator` between groups of three digits of a digit run.
std::string groupThousands(const std::string& digits, char separator);

}  // namespace quor
