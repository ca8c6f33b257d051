#include "platform/metafile/picture_pages.h"

#include "platform/error.h"
#include "platform/metafile/byte_view.h"

namespace quor {

namespace {

// Next position, paper code, width, height, orientation, margins switch.
constexpr std::size_t kPageFieldsSize = 4 + 2 + 4 + 4 + 1 + 1;

[[noreturn]] void fail(const std::string& why) {
    throw FormatError("The prepared report file is damaged: " + why);
}

}  // namespace

PicturePageFile splitPicturePageFile(std::string_view bytes) {
    metafile::ByteView v(bytes);
    PicturePageFile file;
    std::size_t end = bytes.find('\0');
    if (end == std::string_view::npos) fail("its header has no end");
    std::string_view header = bytes.substr(0, end);
    std::size_t at = 0;
    while (at < header.size()) {
        std::size_t cr = header.find('\r', at);
        if (cr == std::string_view::npos) cr = header.size();
        file.headerLines.emplace_back(header.substr(at, cr - at));
        at = cr + 1;
    }
    std::size_t pos = end + 1;
    if (!v.has(pos, 4)) fail("the page count is missing");
    std::int32_t count = v.i32(pos);
    pos += 4;
    if (count < 0 || std::size_t(count) > (v.size() - pos) / kPageFieldsSize)
        fail("the page count does not fit the file");
    file.pages.reserve(std::size_t(count));
    for (std::int32_t i = 0; i < count; ++i) {
        if (!v.has(pos, kPageFieldsSize)) fail("page " + std::to_string(i + 1) + " is cut off");
        std::int64_t next = v.i32(pos);
        PicturePage page;
        page.paperCode = v.u16(pos + 4);
        page.width = v.i32(pos + 6);
        page.height = v.i32(pos + 10);
        page.orientation = v.u8(pos + 14);
        page.useMargins = v.u8(pos + 15) != 0;
        pos += kPageFieldsSize;
        if (next < std::int64_t(pos) || next > std::int64_t(v.size()))
            fail("the position after page " + std::to_string(i + 1) + " lies outside the file");
        page.metafile.assign(bytes.substr(pos, std::size_t(next) - pos));
        file.pages.push_back(std::move(page));
        pos = std::size_t(next);
    }
    return file;
}

}  // namespace quor
