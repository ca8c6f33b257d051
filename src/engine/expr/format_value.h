#pragma once

// Display formats: the 32-bit format code of a view (category in bits
// 24-27, variant in bits 16-23, decimals in bits 8-15, decimal separator in
// bits 0-7) with its user format text, and the " #" format suffix a bracket
// may carry.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/variant.h"

namespace quor {

enum FormatCategory { kFormatText = 0, kFormatNumber = 1, kFormatDate = 2, kFormatTime = 3, kFormatBoolean = 4 };
inline constexpr int kUserFormatVariant = 4;

inline constexpr int formatCategory(std::uint32_t code) { return static_cast<int>((code >> 24) & 0x0F); }
inline constexpr int formatVariant(std::uint32_t code) { return static_cast<int>((code >> 16) & 0xFF); }
inline constexpr int formatDecimals(std::uint32_t code) { return static_cast<int>((code >> 8) & 0xFF); }
inline constexpr char formatSeparator(std::uint32_t code) { return static_cast<char>(code & 0xFF); }

std::string FormatValue(const Variant& value, std::uint32_t code, std::string_view formatString);

// The display format a bracket asks for with " #" and what is left of it.
struct BracketFormat {
    std::string expression;
    std::uint32_t code = 0;
    std::string formatString;
};

// Splits `inner` at its first " #"; without one (or with nothing after it)
// the given view format stays.
BracketFormat parseBracketFormat(std::string_view inner, std::uint32_t viewCode, std::string_view viewFormat);

}  // namespace quor
