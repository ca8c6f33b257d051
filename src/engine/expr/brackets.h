#pragma once

// Finding bracketed expressions in a line of text.

#include <functional>
#include <string>
#include <string_view>

namespace quor {

// Scans from `start` (a "[") with a depth counter and the two quote states
// and returns the index where the depth is back to 0, or the last index of
// the text when it never is (`closed` tells which). Quotes only count
// inside the bracket.
std::size_t findBracketEnd(std::string_view text, std::size_t start, bool* closed = nullptr);

// Replaces every bracketed expression by `value`(inner text), left to
// right. An unclosed "[" takes the rest of the line and its inner text is
// all of it but the last character; a "[" that is the last character stays.
// Inserted values are not scanned again.
std::string expandBracketsWith(std::string_view text, const std::function<std::string(std::string_view)>& value);

}  // namespace quor
