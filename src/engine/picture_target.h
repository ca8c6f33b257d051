#pragma once

// Where a picture view puts its graphic: pure geometry, in device units.

#include "platform/geometry.h"

namespace quor {

// `Flags` bits of a picture view.
enum PictureFlagBits : unsigned {
    kPictureStretched = 0x1,
    kPictureCenter = 0x2,
    kPictureKeepAspect = 0x4,
};

// `frameRect` and `viewSize` (Width, Height) are the view's after scaling;
// `graphic` is the graphic's natural size in pixels; `scaleX`, `scaleY`
// are the draw scales (device units per design pixel). The graphic must not
// be empty.
Rect pictureTarget(const Rect& frameRect, Size viewSize, Size graphic, double scaleX, double scaleY,
                   unsigned flags);

}  // namespace quor
