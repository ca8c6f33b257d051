// The document splitter over arbitrary bytes: the lines hold exactly the
// bytes before the first zero (or, kept for printer-code settings, all the
// bytes), less the line ends.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/document_text.h"

namespace {

void check(std::string_view bytes, bool stopAtZero) {
    const auto lines = quor::splitDocumentLines(bytes, stopAtZero);
    const std::string_view text = stopAtZero ? bytes.substr(0, bytes.find('\0')) : bytes;
    std::size_t kept = 0;
    for (const auto& line : lines) {
        if (line.find_first_of("\r\n") != std::string::npos) std::abort();
        if (stopAtZero && line.find('\0') != std::string::npos) std::abort();
        kept += line.size();
    }
    std::size_t content = 0;
    for (char c : text) content += (c != '\r' && c != '\n');
    if (kept != content) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    check(bytes, true);
    check(bytes, false);
    return 0;
}
