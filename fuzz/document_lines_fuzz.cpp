// The document splitter over arbitrary bytes: the lines hold exactly the
// bytes before the first zero, less the line ends.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/document_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto lines = quor::splitDocumentLines(bytes);
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    std::size_t kept = 0;
    for (const auto& line : lines) {
        if (line.find_first_of("\r\n") != std::string::npos || line.find('\0') != std::string::npos) std::abort();
        kept += line.size();
    }
    std::size_t content = 0;
    for (char c : text) content += (c != '\r' && c != '\n');
    if (kept != content) std::abort();
    return 0;
}
