// The INI writer over arbitrary bytes: a key named by the input is set in
// the rest of it, and the reader must then give back exactly the value set.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/profile.h"
#include "platform/profile_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto cut = text.find('\0');
    const std::string key(cut == std::string_view::npos ? std::string_view("Copies") : text.substr(0, cut));
    const std::string_view ini = cut == std::string_view::npos ? text : text.substr(cut + 1);
    for (const std::string value : {"7", "", "  spaced  ", "\"quoted\""}) {
        std::string written;
        try {
            written = quor::setProfileStrings(ini, "Quor Print", {{key, value}});
        } catch (const quor::Error&) {
            continue;  // a key the reader could not find again
        }
        if (quor::findProfileString(written, "Quor Print", key) != value) __builtin_trap();
    }
    return 0;
}
