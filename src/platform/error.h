#pragma once

// Errors are exceptions. Their text is UTF-8 and is what the user sees.

#include <stdexcept>
#include <string>

namespace quor {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& text) : std::runtime_error(text) {}
};

// Reading a stream, a file or a picture failed; the text names what.
class FormatError : public Error {
public:
    using Error::Error;
};

}  // namespace quor
