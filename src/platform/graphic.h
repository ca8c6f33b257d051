#pragma once

// One decoded picture (a logo, a stamp) as the report objects hold it. A
// graphic keeps the bytes of the file it was made from, so that templates
// and prepared pages store it in its own file format, byte for byte.

#include <memory>
#include <string>

#include "platform/canvas.h"
#include "platform/geometry.h"

namespace quor {

// The codes are those of the picture body in template streams.
enum class GraphicKind : int {
    Bitmap = 1,    // a .bmp file
    Metafile = 2,  // a placeable or plain .wmf, or an .emf
    Icon = 3,      // a .ico file
    Jpeg = 4,      // a .jpg / .jpeg file
};

class Graphic {
public:
    virtual ~Graphic() = default;

    virtual GraphicKind kind() const = 0;

    // Natural size in pixels; one pixel of the graphic is one design pixel.
    virtual Size size() const = 0;

    // The file bytes the graphic was decoded from.
    virtual const std::string& bytes() const = 0;

    // Raster graphics (bitmap, icon, JPEG) go to the printer as 24-bit pixels;
    // metafiles are played onto the printer directly.
    virtual bool isRaster() const = 0;

    // Draws the graphic stretched into `target` (device coordinates).
    virtual void draw(Canvas& canvas, const Rect& target, bool smooth) const = 0;

    // The graphic at its own size as opaque 24-bit pixels (alpha 0xFF
    // everywhere; transparent parts lie on white paper).
    virtual RasterImage toRaster24() const = 0;
};

}  // namespace quor
