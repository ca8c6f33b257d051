#include "engine/picture_target.h"

#include "platform/numbers.h"

namespace quor {

Rect pictureTarget(const Rect& frameRect, Size viewSize, Size graphic, double scaleX, double scaleY,
                   unsigned flags) {
    const bool center = flags & kPictureCenter;
    if (!(flags & kPictureStretched)) {
        // One pixel of the graphic is one design pixel.
        const int width = roundInt(graphic.width * scaleX);
        const int height = roundInt(graphic.height * scaleY);
        int left = frameRect.left, top = frameRect.top;
        if (center) {
            left += (frameRect.width() - width) / 2;
            top += (frameRect.height() - height) / 2;
        }
        return {left, top, left + width, top + height};
    }
    Rect target = frameRect;
    if (flags & kPictureKeepAspect) {
        const double kx = static_cast<double>(viewSize.width) / graphic.width;
        const double ky = static_cast<double>(viewSize.height) / graphic.height;
        if (kx >= ky)
            target.right = frameRect.left + roundInt(graphic.width * ky);
        else
            target.bottom = frameRect.top + roundInt(graphic.height * kx);
        if (center) {
            const int dx = (frameRect.width() - target.width()) / 2;
            const int dy = (frameRect.height() - target.height()) / 2;
            target = {target.left + dx, target.top + dy, target.right + dx, target.bottom + dy};
        }
    }
    return target;
}

}  // namespace quor
