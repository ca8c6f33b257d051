#pragma once

// An error raised while one line of a view's text was expanded: the error
// routine can then name the line instead of the whole text.

#include <cstddef>
#include <string>

#include "platform/error.h"

namespace quor {

class TextLineError : public Error {
public:
    TextLineError(std::size_t lineIndex, const std::string& text) : Error(text), lineIndex(lineIndex) {}
    std::size_t lineIndex;  // 0-based, in the view's Memo
};

}  // namespace quor
