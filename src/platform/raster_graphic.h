#pragma once

// Bitmaps, icons and JPEG images: decoded once into pixels when loaded.

#include <memory>
#include <string>

#include "platform/graphic.h"

namespace quor {

class RasterGraphic final : public Graphic {
public:
    RasterGraphic(GraphicKind kind, std::string bytes, RasterImage image);

    GraphicKind kind() const override { return kind_; }
    Size size() const override { return {image_.width, image_.height}; }
    const std::string& bytes() const override { return bytes_; }
    bool isRaster() const override { return true; }
    void draw(Canvas& canvas, const Rect& target, bool smooth) const override;
    RasterImage toRaster24() const override;

    const RasterImage& image() const { return image_; }

private:
    GraphicKind kind_;
    std::string bytes_;
    RasterImage image_;
};

// Decoders by kind; each raises FormatError naming `sourceName`.
std::unique_ptr<Graphic> decodeBitmap(std::string bytes, const std::string& sourceName);
std::unique_ptr<Graphic> decodeIcon(std::string bytes, const std::string& sourceName);
std::unique_ptr<Graphic> decodeJpegGraphic(std::string bytes, const std::string& sourceName);

// Lays semi-transparent pixels onto white paper; the result is fully opaque.
RasterImage flattenOnWhite(const RasterImage& image);

}  // namespace quor
