#include "platform/metafile/dib.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace quor::metafile {

namespace {

struct DibHeader {
    long long width = 0;
    long long height = 0;  // positive: bottom-up
    int bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0};
    std::size_t tableOffset = 0;
    std::size_t tableEntries = 0;   // colours used by the pixels
    std::size_t tableInFile = 0;    // entries physically present
    std::size_t entrySize = 4;
};

constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3,
                        kBiAlphaBitfields = 6;

bool readHeader(ByteView v, DibHeader& h, bool paletteIndexes) {
    std::uint32_t size = v.u32(0);
    if (size == 12) {
        if (!v.has(0, 12)) return false;
        h.width = v.u16(4);
        h.height = v.u16(6);
        h.bitCount = v.u16(10);
        h.entrySize = 3;
        h.tableOffset = 12;
    } else {
        if (size < 40 || !v.has(0, 40)) return false;
        h.width = v.i32(4);
        h.height = v.i32(8);
        h.bitCount = v.u16(14);
        h.compression = v.u32(16);
        std::uint32_t used = v.u32(32);
        h.tableOffset = size;
        if (h.compression == kBiBitfields || h.compression == kBiAlphaBitfields) {
            std::size_t maskAt = 40;
            int count = h.compression == kBiAlphaBitfields ? 4 : 3;
            if (size == 40) h.tableOffset += 4u * count;
            else if (size >= 56) count = 4;
            for (int i = 0; i < count; ++i) h.masks[i] = v.u32(maskAt + 4 * i);
        }
        if (h.bitCount <= 8) {
            std::size_t full = std::size_t(1) << h.bitCount;
            h.tableEntries = (used == 0 || used > full) ? full : used;
            h.tableInFile = h.tableEntries;
        } else {
            // A table beside true-colour pixels only serves palette devices.
            h.tableInFile = used > (1u << 16) ? (1u << 16) : used;
        }
    }
    if (h.bitCount <= 8 && h.entrySize == 3) {
        h.tableEntries = std::size_t(1) << h.bitCount;
        h.tableInFile = h.tableEntries;
    }
    if (paletteIndexes) h.entrySize = 2;
    switch (h.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    if (h.width <= 0 || h.height == 0) return false;
    long long absH = h.height < 0 ? -h.height : h.height;
    if (h.width > (1 << 20) || absH > (1 << 20) || h.width * absH > kMaxDibPixels) return false;
    switch (h.compression) {
    case kBiRgb: break;
    case kBiRle8: if (h.bitCount != 8) return false; break;
    case kBiRle4: if (h.bitCount != 4) return false; break;
    case kBiBitfields: case kBiAlphaBitfields:
        if (h.bitCount != 16 && h.bitCount != 32) return false;
        break;
    default: return false;  // embedded JPEG/PNG and the like
    }
    return true;
}

std::uint32_t argb(int r, int g, int b, int a = 255) {
    return (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) |
           std::uint32_t(b);
}

std::vector<std::uint32_t> readTable(ByteView info, const DibHeader& h, const DibOptions& o) {
    std::vector<std::uint32_t> table(h.tableEntries, argb(0, 0, 0));
    for (std::size_t i = 0; i < h.tableEntries; ++i) {
        std::size_t at = h.tableOffset + i * h.entrySize;
        if (!info.has(at, h.entrySize)) break;
        if (o.paletteIndexes) {
            std::uint16_t index = info.u16(at);
            if (o.palette && index < o.palette->size()) {
                Color c = (*o.palette)[index];
                table[i] = argb(colorRed(c), colorGreen(c), colorBlue(c));
            } else {
                int grey = h.tableEntries > 1 ? int(i * 255 / (h.tableEntries - 1)) : 0;
                table[i] = argb(grey, grey, grey);
            }
        } else {
            table[i] = argb(info.u8(at + 2), info.u8(at + 1), info.u8(at));
        }
    }
    return table;
}

struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    int get(std::uint32_t v) const {
        if (mask == 0) return -1;
        std::uint32_t x = (v & mask) >> shift;
        if (bits >= 8) return int(x >> (bits - 8));
        std::uint32_t max = (1u << bits) - 1;
        return int((x * 255 + max / 2) / max);
    }
};

Channel channel(std::uint32_t mask) {
    Channel c;
    c.mask = mask;
    if (mask) {
        c.shift = std::countr_zero(mask);
        c.bits = std::popcount(mask);
    }
    return c;
}

void decodeRows(ByteView bits, const DibHeader& h, const std::vector<std::uint32_t>& table,
                bool keepAlpha, RasterImage& img) {
    const long long w = h.width;
    const long long rows = img.height;
    const long long stride = ((w * h.bitCount + 31) / 32) * 4;
    std::uint32_t m[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
    if (h.compression == kBiRgb && h.bitCount == 16) {
        m[0] = 0x7C00; m[1] = 0x03E0; m[2] = 0x001F; m[3] = 0;
    } else if (h.compression == kBiRgb && h.bitCount == 32) {
        m[0] = 0xFF0000; m[1] = 0xFF00; m[2] = 0xFF; m[3] = keepAlpha ? 0xFF000000u : 0;
    }
    if (!keepAlpha) m[3] = 0;
    Channel cr = channel(m[0]), cg = channel(m[1]), cb = channel(m[2]), ca = channel(m[3]);
    for (long long row = 0; row < rows; ++row) {
        std::size_t at = std::size_t(row * stride);
        if (!bits.has(at, std::size_t(stride))) break;  // missing rows stay transparent
        long long y = h.height > 0 ? rows - 1 - row : row;
        std::uint32_t* out = img.pixels.data() + y * w;
        const unsigned char* src = bits.data() + at;
        for (long long x = 0; x < w; ++x) {
            std::uint32_t px;
            switch (h.bitCount) {
            case 1: px = table[std::size_t((src[x >> 3] >> (7 - (x & 7))) & 1) % table.size()]; break;
            case 4: px = table[std::size_t((src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15) % table.size()]; break;
            case 8: px = table[std::size_t(src[x]) % table.size()]; break;
            case 24: px = argb(src[3 * x + 2], src[3 * x + 1], src[3 * x]); break;
            default: {
                std::uint32_t v = h.bitCount == 16
                                      ? std::uint32_t(src[2 * x] | (src[2 * x + 1] << 8))
                                      : std::uint32_t(src[4 * x]) | (std::uint32_t(src[4 * x + 1]) << 8) |
                                            (std::uint32_t(src[4 * x + 2]) << 16) |
                                            (std::uint32_t(src[4 * x + 3]) << 24);
                int a = ca.get(v);
                px = argb(cr.get(v) & 255, cg.get(v) & 255, cb.get(v) & 255, a < 0 ? 255 : a);
            }
            }
            out[x] = px;
        }
    }
}

// Run-length rows: pixels not covered by a run stay transparent.
void decodeRle(ByteView bits, const DibHeader& h, const std::vector<std::uint32_t>& table,
               RasterImage& img) {
    const bool four = h.compression == kBiRle4;
    const long long w = img.width, rows = img.height;
    long long x = 0, row = 0;
    auto put = [&](unsigned index) {
        if (x < w && row < rows) {
            long long y = h.height > 0 ? rows - 1 - row : row;
            img.pixels[std::size_t(y * w + x)] = table[index % table.size()];
        }
        ++x;
    };
    std::size_t p = 0;
    while (p + 1 < bits.size() && row < rows) {
        unsigned count = bits.u8(p), value = bits.u8(p + 1);
        p += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count && x < w; ++i)
                put(four ? ((i & 1) ? value & 15 : value >> 4) : value);
            continue;
        }
        if (value == 0) { x = 0; ++row; continue; }
        if (value == 1) break;
        if (value == 2) {
            x += bits.u8(p);
            row += bits.u8(p + 1);
            p += 2;
            continue;
        }
        std::size_t bytes = four ? (value + 1) / 2 : value;
        for (unsigned i = 0; i < value; ++i) {
            unsigned b = bits.u8(p + (four ? i / 2 : i));
            put(four ? ((i & 1) ? b & 15 : b >> 4) : b);
        }
        p += (bytes + 1) & ~std::size_t(1);
    }
}

}  // namespace

RasterImage decodeDib(ByteView info, ByteView bits, const DibOptions& options) {
    DibHeader h;
    if (!readHeader(info, h, options.paletteIndexes)) return {};
    std::vector<std::uint32_t> table;
    if (h.bitCount <= 8) table = readTable(info, h, options);
    RasterImage img;
    img.width = int(h.width);
    img.height = int(h.height < 0 ? -h.height : h.height);
    img.pixels.assign(std::size_t(h.width) * std::size_t(img.height), 0);
    if (h.compression == kBiRle8 || h.compression == kBiRle4) decodeRle(bits, h, table, img);
    else decodeRows(bits, h, table, options.keepAlpha, img);
    return img;
}

RasterImage decodePackedDib(ByteView packed, const DibOptions& options) {
    DibHeader h;
    if (!readHeader(packed, h, options.paletteIndexes)) return {};
    std::size_t bitsAt = h.tableOffset + h.tableInFile * h.entrySize;
    if (bitsAt > packed.size()) return {};
    return decodeDib(packed.sub(0, bitsAt), packed.sub(bitsAt, packed.size() - bitsAt), options);
}

Color averageColor(const RasterImage& image) {
    if (image.isNull() || image.pixels.empty()) return 0;
    unsigned long long r = 0, g = 0, b = 0;
    for (std::uint32_t p : image.pixels) {
        r += (p >> 16) & 255;
        g += (p >> 8) & 255;
        b += p & 255;
    }
    unsigned long long n = image.pixels.size();
    return makeColor(int(r / n), int(g / n), int(b / n));
}

}  // namespace quor::metafile

namespace quor::metafile {

bool dibIsBottomUp(ByteView info) {
    if (info.u32(0) == 12) return true;
    return info.i32(8) > 0;
}

RasterImage cropImage(const RasterImage& img, long long x, long long y, long long w, long long h,
                      bool bottomUp) {
    if (img.isNull()) return img;
    if (w < 0) { x += w; w = -w; }
    if (h < 0) { y += h; h = -h; }
    long long top = bottomUp ? img.height - (y + h) : y;
    long long left = std::max(0LL, x), right = std::min<long long>(img.width, x + w);
    long long t = std::max(0LL, top), b = std::min<long long>(img.height, top + h);
    if (left == 0 && t == 0 && right == img.width && b == img.height) return img;
    if (right <= left || b <= t) return img;  // a source outside the bitmap: show it whole
    RasterImage out;
    out.width = int(right - left);
    out.height = int(b - t);
    out.pixels.reserve(std::size_t(out.width) * std::size_t(out.height));
    for (long long row = t; row < b; ++row)
        for (long long col = left; col < right; ++col)
            out.pixels.push_back(img.pixels[std::size_t(row * img.width + col)]);
    return out;
}

}  // namespace quor::metafile
