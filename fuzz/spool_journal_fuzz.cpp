// The spool journal's reader over arbitrary bytes: whatever it accepts
// writes back to a text that reads as the same record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/spool_journal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto record = quor::parseSpoolRecord(text);
    if (record && quor::parseSpoolRecord(quor::encodeSpoolRecord(*record)) != record) std::abort();
    return 0;
}
