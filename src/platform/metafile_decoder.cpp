#include "platform/metafile_decoder.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/error.h"
#include "platform/metafile/metafile.h"
#include "platform/picture_limits.h"
#include "platform/qpainter_canvas.h"

namespace quor {

namespace {

// A metafile in the picture container: played onto whatever canvas the
// picture is drawn on, so it stays sharp on the printer and in a PDF.
class MetafileGraphic : public Graphic {
public:
    explicit MetafileGraphic(Metafile m) : metafile_(std::move(m)) {}

    GraphicKind kind() const override { return GraphicKind::Metafile; }
    Size size() const override { return metafile_.sizePixels(96); }
    const std::string& bytes() const override { return metafile_.bytes(); }
    bool isRaster() const override { return false; }
    void draw(Canvas& canvas, const Rect& target, bool) const override { metafile_.draw(canvas, target); }

    RasterImage toRaster24() const override {
        Size s = size();
        int w = std::max(1, s.width), h = std::max(1, s.height);
        if (static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) > kMaxPicturePixels) {
            double k = std::sqrt(double(kMaxPicturePixels) / (double(w) * double(h)));
            w = std::max(1, int(w * k));
            h = std::max(1, int(h * k));
        }
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainterCanvas canvas(&image);
            metafile_.draw(canvas, Rect{0, 0, w, h});
        }
        RasterImage out;
        out.width = w;
        out.height = h;
        out.pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
        for (int y = 0; y < h; ++y) {
            const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
            for (int x = 0; x < w; ++x) out.pixels[static_cast<std::size_t>(y) * w + x] = 0xFF000000u | line[x];
        }
        return out;
    }

private:
    Metafile metafile_;
};

}  // namespace

std::unique_ptr<Graphic> decodeMetafile(std::string bytes, const std::string& sourceName) {
    try {
        return std::make_unique<MetafileGraphic>(Metafile::fromBytes(std::move(bytes)));
    } catch (const FormatError& e) {
        throw FormatError("Cannot decode picture " + sourceName + ": " + e.what());
    }
}

}  // namespace quor
