#pragma once

// Profile strings: one key of one section of an INI file, read afresh from the
// file at every call. Bytes in, bytes out: no code-page conversion.
//
// Rules:
// - section and key names match without regard to ASCII letter case;
// - the value loses the blanks around it and one enclosing pair of double or
//   single quotes, and is cut to kProfileValueMax characters;
// - lines whose first non-blank character is ';' or '#' are comments;
// - the first of duplicate keys wins; sections of the same name count as one;
// - lines end at CR LF, LF or a lone CR; a UTF-8 byte-order mark is skipped.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quor {

inline constexpr std::size_t kProfileValueMax = 2047;

// The value of `key` in `section` of the file at `path`; nothing when the file
// cannot be read or the section or key is absent. A key present with nothing
// after '=' gives the empty text.
std::optional<std::string> readProfileString(const std::string& path, std::string_view section,
                                             std::string_view key);

// The same lookup over the text of an INI file already in memory.
std::optional<std::string> findProfileString(std::string_view iniText, std::string_view section,
                                             std::string_view key);

}  // namespace quor
