#pragma once

// Device-independent bitmaps as metafiles carry them: a header (core, info or
// later versions), a colour table and the pixel rows, bottom-up unless the
// height is negative. Decoding never reads outside the given bytes and never
// allocates more than kMaxDibPixels pixels.

#include <vector>

#include "platform/canvas.h"
#include "platform/metafile/byte_view.h"

namespace quor::metafile {

inline constexpr long long kMaxDibPixels = 1LL << 24;

struct DibOptions {
    // The colour table holds 16-bit indexes into the selected palette.
    bool paletteIndexes = false;
    const std::vector<Color>* palette = nullptr;
    // Keep the alpha byte of 32-bit pixels (alpha-blended bitmaps).
    bool keepAlpha = false;
};

// `info` is the header with its colour table, `bits` the pixel rows.
// Returns a null image when the bitmap is damaged or of a kind we don't play.
RasterImage decodeDib(ByteView info, ByteView bits, const DibOptions& options = {});

// The header, colour table and rows in one block, as WMF records hold them.
RasterImage decodePackedDib(ByteView packed, const DibOptions& options = {});

// A DIB cut to its source rectangle (rows counted from the bottom of a
// bottom-up bitmap, as the records give them).
RasterImage cropImage(const RasterImage& img, long long x, long long y, long long w, long long h,
                      bool bottomUp);
bool dibIsBottomUp(ByteView info);

// The average colour of a bitmap (pattern brushes are drawn in it).
Color averageColor(const RasterImage& image);

}  // namespace quor::metafile
