// The printer's view of arbitrary bytes: every control sequence ends within
// the bytes and takes at least its first byte, the printed bytes are a
// subsequence of the input, and splitting at form feeds keeps every byte
// before the first zero that is no line end or form feed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/dos_printer.h"
#include "app/printer_codes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::size_t n = quor::printerCodeLength(bytes, i);
        if (n > bytes.size() - i) std::abort();
    }
    quor::DosPrinterSettings settings;
    settings.printerCodes = settings.endMark = settings.formFeed = true;
    const std::string printed = quor::printedBytes(bytes, settings);
    std::size_t at = 0;
    for (char c : printed) {
        at = bytes.find(c, at);
        if (at == std::string_view::npos) std::abort();
        ++at;
    }
    const quor::PrintoutText text = quor::splitPrintout(printed, true);
    std::size_t starts = 0;
    for (std::size_t s : text.pageStarts) {
        if (s < starts || s > text.lines.size()) std::abort();
        starts = s;
    }
    for (const auto& line : text.lines)
        if (line.find_first_of(std::string_view("\r\n\f\0", 4)) != std::string::npos) std::abort();
    return 0;
}
