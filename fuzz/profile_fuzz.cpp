// The INI reader over arbitrary bytes: lookups of a section and key taken
// from the input itself, so that matching lines are reached.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    quor::findProfileString(text, "Quor Print", "Copies");
    auto cut = text.find('\0');
    if (cut != std::string_view::npos) {
        std::string_view names = text.substr(0, cut);
        auto sep = names.find('/');
        std::string_view section = names.substr(0, sep);
        std::string_view key = sep == std::string_view::npos ? std::string_view() : names.substr(sep + 1);
        quor::findProfileString(text.substr(cut + 1), section, key);
    }
    return 0;
}
