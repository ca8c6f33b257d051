#pragma once

// The older picture-page form of prepared-report files: a header of text
// lines (each ended by CR, the header by a zero byte; the first line names
// the printer), a page count, and per page its paper fields followed by one
// metafile picture of the whole page. This splits such a file into its
// pages; turning each into a one-picture prepared page is the prepared-page
// store's business.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quor {

struct PicturePage {
    int paperCode = 0;     // the platform's paper code
    int width = 0;         // paper size in tenths of a millimetre
    int height = 0;
    int orientation = 0;   // 0 portrait, 1 landscape
    bool useMargins = false;
    std::string metafile;  // the page's metafile bytes, as stored
};

struct PicturePageFile {
    std::vector<std::string> headerLines;  // bytes as stored
    std::string printerName() const { return headerLines.empty() ? std::string() : headerLines.front(); }
    std::vector<PicturePage> pages;
};

// Raises FormatError when the file's structure is damaged (a header without
// its end, a page count or page position that does not fit the file).
PicturePageFile splitPicturePageFile(std::string_view bytes);

}  // namespace quor
