#pragma once

// JPEG decoding through libjpeg's own interface.

#include <string>
#include <string_view>

#include "platform/canvas.h"

namespace quor {

// Decodes a JPEG file held in memory into opaque pixels. Grayscale, RGB,
// YCbCr, CMYK and YCCK files are accepted; the colour ones come out as RGB.
// Raises FormatError naming `sourceName` when the data is damaged, ends before
// the last pixel row or describes an image too large for a report picture.
RasterImage decodeJpeg(std::string_view bytes, const std::string& sourceName);

}  // namespace quor
