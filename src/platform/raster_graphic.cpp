#include "platform/raster_graphic.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <cstring>

#include "platform/error.h"
#include "platform/jpeg_decoder.h"
#include "platform/picture_limits.h"

namespace quor {
namespace {

[[noreturn]] void fail(const std::string& sourceName, const std::string& reason) {
    throw FormatError("Cannot decode picture " + sourceName + ": " + reason);
}

RasterImage fromQImage(const QImage& decoded) {
    QImage argb = decoded.convertToFormat(QImage::Format_ARGB32);
    RasterImage image;
    image.width = argb.width();
    image.height = argb.height();
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y)
        std::memcpy(image.pixels.data() + static_cast<std::size_t>(y) * image.width,
                    argb.constScanLine(y), static_cast<std::size_t>(image.width) * 4);
    return image;
}

bool sizeAcceptable(QSize size) {
    return size.isValid() && !size.isEmpty() &&
           static_cast<std::uint64_t>(size.width()) * size.height() <= kMaxPicturePixels;
}

// Reads every image the file holds and keeps the one with the most pixels: a
// multi-size icon then prints from its sharpest member.
RasterImage decodeWithQt(const std::string& bytes, const char* format, const std::string& sourceName) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    if (!reader.canRead()) fail(sourceName, "not a " + std::string(format) + " file");

    QImage best;
    QString lastError;
    const int count = reader.imageCount() > 0 ? reader.imageCount() : 1;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i)) break;
        if (reader.size().isValid() && !sizeAcceptable(reader.size())) {
            lastError = "the image is too large";
            continue;
        }
        QImage image = reader.read();
        if (image.isNull() || !sizeAcceptable(image.size())) {
            lastError = reader.errorString();
            continue;
        }
        if (best.isNull() ||
            static_cast<qint64>(image.width()) * image.height() > static_cast<qint64>(best.width()) * best.height())
            best = image;
    }
    if (best.isNull()) fail(sourceName, lastError.isEmpty() ? "damaged data" : lastError.toStdString());
    return fromQImage(best);
}

std::uint32_t le32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
std::uint32_t le16(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8;
}

// Qt draws a cut-off uncompressed bitmap with black rows in place of the
// missing ones; we refuse it instead. Compressed bitmaps and headers Qt
// rejects anyway are left to Qt.
bool bitmapEndsEarly(const std::string& b) {
    if (b.size() < 30) return false;
    const std::uint64_t dataOffset = le32(b, 10);
    const std::uint32_t headerSize = le32(b, 14);
    std::int64_t width = 0, height = 0;
    std::uint32_t bitsPerPixel = 0, compression = 0;
    if (headerSize == 12) {  // OS/2 1.x
        width = le16(b, 18);
        height = le16(b, 20);
        bitsPerPixel = le16(b, 24);
    } else if (headerSize >= 40 && b.size() >= 54) {
        width = static_cast<std::int32_t>(le32(b, 18));
        height = static_cast<std::int32_t>(le32(b, 22));
        bitsPerPixel = le16(b, 28);
        compression = le32(b, 30);
    } else {
        return false;
    }
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (!uncompressed || width <= 0 || bitsPerPixel == 0 || bitsPerPixel > 32) return false;
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
    const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
    return b.size() < dataOffset + stride * rows;
}

}  // namespace

RasterGraphic::RasterGraphic(GraphicKind kind, std::string bytes, RasterImage image)
    : kind_(kind), bytes_(std::move(bytes)), image_(std::move(image)) {}

void RasterGraphic::draw(Canvas& canvas, const Rect& target, bool smooth) const {
    canvas.drawImage(target, image_, smooth);
}

RasterImage RasterGraphic::toRaster24() const { return flattenOnWhite(image_); }

RasterImage flattenOnWhite(const RasterImage& image) {
    RasterImage out;
    out.width = image.width;
    out.height = image.height;
    out.pixels.resize(image.pixels.size());
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        const std::uint32_t p = image.pixels[i];
        const unsigned a = p >> 24;
        auto blend = [a](unsigned c) { return (c * a + 255 * (255 - a) + 127) / 255; };
        out.pixels[i] = 0xFF000000u | (blend((p >> 16) & 0xFF) << 16) | (blend((p >> 8) & 0xFF) << 8) |
                        blend(p & 0xFF);
    }
    return out;
}

std::unique_ptr<Graphic> decodeBitmap(std::string bytes, const std::string& sourceName) {
    if (bitmapEndsEarly(bytes)) fail(sourceName, "the data ends early");
    RasterImage image = decodeWithQt(bytes, "bmp", sourceName);
    return std::make_unique<RasterGraphic>(GraphicKind::Bitmap, std::move(bytes), std::move(image));
}

std::unique_ptr<Graphic> decodeIcon(std::string bytes, const std::string& sourceName) {
    RasterImage image = decodeWithQt(bytes, "ico", sourceName);
    return std::make_unique<RasterGraphic>(GraphicKind::Icon, std::move(bytes), std::move(image));
}

std::unique_ptr<Graphic> decodeJpegGraphic(std::string bytes, const std::string& sourceName) {
    RasterImage image = decodeJpeg(bytes, sourceName);
    return std::make_unique<RasterGraphic>(GraphicKind::Jpeg, std::move(bytes), std::move(image));
}

}  // namespace quor
