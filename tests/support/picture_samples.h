#pragma once

// Picture files made on the fly for tests: BMP through Qt, ICO by hand (so a
// file can hold several sizes), JPEG through libjpeg in every colour space.

#include <QBuffer>
#include <QImage>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace quor::test {

// 0xAARRGGBB of pixel (x, y).
using PixelFunction = std::function<std::uint32_t(int x, int y)>;

inline std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string makeBmp(int width, int height, const PixelFunction& pixel) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, pixel(x, y));
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return data.toStdString();
}

namespace detail {
inline void put16(std::string& s, unsigned v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
inline void put32(std::string& s, std::uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}
}  // namespace detail

struct IconImage {
    int size;  // square
    PixelFunction pixel;
};

// An icon file with 32-bit images (alpha honoured, AND mask empty).
inline std::string makeIcon(const std::vector<IconImage>& images) {
    using detail::put16;
    using detail::put32;
    std::vector<std::string> dibs;
    for (const IconImage& im : images) {
        std::string dib;
        put32(dib, 40);
        put32(dib, static_cast<std::uint32_t>(im.size));
        put32(dib, static_cast<std::uint32_t>(im.size * 2));
        put16(dib, 1);
        put16(dib, 32);
        put32(dib, 0);
        const int maskRow = (im.size + 31) / 32 * 4;
        put32(dib, static_cast<std::uint32_t>(im.size * im.size * 4 + maskRow * im.size));
        for (int i = 0; i < 4; ++i) put32(dib, 0);
        for (int y = im.size - 1; y >= 0; --y)
            for (int x = 0; x < im.size; ++x) {
                const std::uint32_t p = im.pixel(x, y);  // BGRA in the file
                put32(dib, p);
            }
        dib.append(static_cast<std::size_t>(maskRow * im.size), '\0');
        dibs.push_back(std::move(dib));
    }
    std::string file;
    put16(file, 0);
    put16(file, 1);
    put16(file, static_cast<unsigned>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<char>(images[i].size >= 256 ? 0 : images[i].size));
        file.push_back(static_cast<char>(images[i].size >= 256 ? 0 : images[i].size));
        file.push_back(0);
        file.push_back(0);
        put16(file, 1);
        put16(file, 32);
        put32(file, static_cast<std::uint32_t>(dibs[i].size()));
        put32(file, offset);
        offset += static_cast<std::uint32_t>(dibs[i].size());
    }
    for (const std::string& d : dibs) file += d;
    return file;
}

enum class JpegColors { Rgb, Gray, AdobeCmyk };

// `pixel` gives RGB; for AdobeCmyk the file stores the inverted inks
// (C = 255 - R, M = 255 - G, Y = 255 - B, K = 255 - 0) that Adobe writes.
inline std::string makeJpeg(int width, int height, JpegColors colors, const PixelFunction& pixel,
                            bool progressive = false) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    int components = 3;
    switch (colors) {
        case JpegColors::Rgb: info.in_color_space = JCS_RGB; break;
        case JpegColors::Gray: info.in_color_space = JCS_GRAYSCALE; components = 1; break;
        case JpegColors::AdobeCmyk: info.in_color_space = JCS_CMYK; components = 4; break;
    }
    info.input_components = components;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * components);
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixel(x, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            JSAMPLE* s = row.data() + static_cast<std::size_t>(x) * components;
            if (colors == JpegColors::Rgb) {
                s[0] = static_cast<JSAMPLE>(r), s[1] = static_cast<JSAMPLE>(g), s[2] = static_cast<JSAMPLE>(b);
            } else if (colors == JpegColors::Gray) {
                s[0] = static_cast<JSAMPLE>(r);
            } else {
                s[0] = static_cast<JSAMPLE>(r), s[1] = static_cast<JSAMPLE>(g), s[2] = static_cast<JSAMPLE>(b);
                s[3] = 255;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(out), outSize);
    jpeg_destroy_compress(&info);
    std::free(out);
    return bytes;
}

}  // namespace quor::test
