// The print page list over arbitrary text: a report size from the first
// byte, then the list. Only the conversion error may leave it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/error.h"
#include "report/page_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int pageCount = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        const quor::PageSet set = quor::parsePageList(text, pageCount);
        for (int page = 0; page <= pageCount + 1; ++page) (void)set.contains(page);
    } catch (const quor::Error&) {
    }
    return 0;
}
