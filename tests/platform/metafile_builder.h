#pragma once

// Writes WMF and EMF files record by record for the metafile tests.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quor::test {

class ByteWriter {
public:
    ByteWriter& u8(unsigned v) { s_.push_back(char(v & 0xFF)); return *this; }
    ByteWriter& u16(unsigned v) { u8(v); return u8(v >> 8); }
    ByteWriter& i16(int v) { return u16(unsigned(v) & 0xFFFF); }
    ByteWriter& u32(std::uint32_t v) { u16(v & 0xFFFF); return u16(v >> 16); }
    ByteWriter& i32(int v) { return u32(std::uint32_t(v)); }
    ByteWriter& f32(float f) {
        std::uint32_t b;
        static_assert(sizeof b == sizeof f);
        __builtin_memcpy(&b, &f, 4);
        return u32(b);
    }
    ByteWriter& bytes(std::string_view b) { s_.append(b); return *this; }
    ByteWriter& utf16(std::u16string_view t) {
        for (char16_t c : t) u16(c);
        return *this;
    }
    ByteWriter& padTo(std::size_t multiple) {
        while (s_.size() % multiple) u8(0);
        return *this;
    }
    const std::string& str() const { return s_; }
    std::size_t size() const { return s_.size(); }

private:
    std::string s_;
};

// A bottom-up 24-bit DIB (header and rows); `rows` top row first, 0xRRGGBB.
inline std::string dib24(int w, const std::vector<std::vector<std::uint32_t>>& rows) {
    ByteWriter b;
    int h = int(rows.size());
    int stride = ((w * 24 + 31) / 32) * 4;
    b.u32(40).i32(w).i32(h).u16(1).u16(24).u32(0).u32(stride * h).i32(2835).i32(2835).u32(0).u32(0);
    for (int y = h - 1; y >= 0; --y) {
        ByteWriter row;
        for (int x = 0; x < w; ++x) {
            std::uint32_t c = rows[y][x];
            row.u8(c).u8(c >> 8).u8(c >> 16);
        }
        row.padTo(4);
        b.bytes(row.str());
    }
    return b.str();
}

class WmfBuilder {
public:
    // Parameters are 16-bit words in record order.
    WmfBuilder& rec(std::uint16_t fn, std::initializer_list<int> words) {
        ByteWriter p;
        for (int w : words) p.i16(w);
        return raw(fn, p.str());
    }
    WmfBuilder& raw(std::uint16_t fn, std::string params) {
        if (params.size() % 2) params.push_back('\0');
        ByteWriter r;
        r.u32(std::uint32_t(3 + params.size() / 2)).u16(fn).bytes(params);
        records_.push_back(r.str());
        return *this;
    }
    WmfBuilder& pen(int style, int width, std::uint32_t color) {
        ByteWriter p;
        p.u16(style).i16(width).i16(0).u32(color);
        return raw(0x02FA, p.str());
    }
    WmfBuilder& brush(int style, std::uint32_t color) {
        ByteWriter p;
        p.u16(style).u32(color).u16(0);
        return raw(0x02FC, p.str());
    }
    WmfBuilder& font(int height, int weight, int charset, std::string_view face, int escapement = 0) {
        ByteWriter p;
        p.i16(height).i16(0).i16(escapement).i16(escapement).i16(weight);
        p.u8(0).u8(0).u8(0).u8(charset).u8(0).u8(0).u8(0).u8(0);
        std::string f(face);
        f.resize(32, '\0');
        p.bytes(f);
        return raw(0x02FB, p.str());
    }
    WmfBuilder& textOut(int x, int y, std::string_view bytes) {
        ByteWriter p;
        p.u16(unsigned(bytes.size())).bytes(bytes);
        if (bytes.size() % 2) p.u8(0);
        p.i16(y).i16(x);
        return raw(0x0521, p.str());
    }
    WmfBuilder& extTextOut(int x, int y, std::string_view bytes, const std::vector<int>& dx = {}) {
        ByteWriter p;
        p.i16(y).i16(x).u16(unsigned(bytes.size())).u16(0).bytes(bytes);
        if (bytes.size() % 2) p.u8(0);
        for (int d : dx) p.i16(d);
        return raw(0x0A32, p.str());
    }
    WmfBuilder& poly(std::uint16_t fn, const std::vector<std::pair<int, int>>& pts) {
        ByteWriter p;
        p.u16(unsigned(pts.size()));
        for (auto [x, y] : pts) p.i16(x).i16(y);
        return raw(fn, p.str());
    }
    WmfBuilder& stretchDib(int x, int y, int w, int h, int srcW, int srcH, const std::string& dib) {
        ByteWriter p;
        p.u32(0xCC0020).u16(0).i16(srcH).i16(srcW).i16(0).i16(0).i16(h).i16(w).i16(y).i16(x).bytes(dib);
        return raw(0x0F43, p.str());
    }

    // With the placeable header when `placeable`; the end record is added.
    std::string finish(bool placeable, int left = 0, int top = 0, int right = 0, int bottom = 0,
                       int inch = 1440) const {
        std::string body;
        std::size_t maxRec = 3;
        for (const auto& r : records_) {
            body += r;
            maxRec = std::max(maxRec, r.size() / 2);
        }
        body += std::string("\x03\0\0\0\0\0", 6);
        ByteWriter out;
        if (placeable) {
            ByteWriter h;
            h.u32(0x9AC6CDD7).u16(0).i16(left).i16(top).i16(right).i16(bottom).u16(inch).u32(0);
            std::uint16_t sum = 0;
            for (std::size_t i = 0; i < 20; i += 2)
                sum ^= std::uint16_t((unsigned char)h.str()[i] | ((unsigned char)h.str()[i + 1] << 8));
            h.u16(sum);
            out.bytes(h.str());
        }
        out.u16(1).u16(9).u16(0x0300).u32(std::uint32_t((18 + body.size()) / 2)).u16(16)
            .u32(std::uint32_t(maxRec)).u16(0);
        out.bytes(body);
        return out.str();
    }

private:
    std::vector<std::string> records_;
};

class EmfBuilder {
public:
    EmfBuilder& rec(std::uint32_t type, const ByteWriter& payload) {
        ByteWriter r;
        std::string p = payload.str();
        while (p.size() % 4) p.push_back('\0');
        r.u32(type).u32(std::uint32_t(8 + p.size())).bytes(p);
        records_.push_back(r.str());
        return *this;
    }
    EmfBuilder& rec(std::uint32_t type, std::initializer_list<int> values) {
        ByteWriter p;
        for (int v : values) p.i32(v);
        return rec(type, p);
    }
    EmfBuilder& pen(int index, int style, int width, std::uint32_t color) {
        ByteWriter p;
        p.u32(index).u32(style).i32(width).i32(0).u32(color);
        return rec(38, p);
    }
    EmfBuilder& brush(int index, int style, std::uint32_t color) {
        ByteWriter p;
        p.u32(index).u32(style).u32(color).u32(0);
        return rec(39, p);
    }
    EmfBuilder& font(int index, int height, int weight, int charset, std::u16string_view face) {
        ByteWriter p;
        p.u32(index).i32(height).i32(0).i32(0).i32(0).i32(weight);
        p.u8(0).u8(0).u8(0).u8(charset).u8(0).u8(0).u8(0).u8(0);
        std::u16string f(face);
        f.resize(32, u'\0');
        p.utf16(f);
        return rec(82, p);
    }
    // EXTTEXTOUTA (8-bit) or EXTTEXTOUTW; `dx` are the character advances.
    EmfBuilder& text(int x, int y, std::string_view bytes, std::u16string_view wide, bool isWide,
                     const std::vector<int>& dx = {}) {
        ByteWriter p;
        std::size_t n = isWide ? wide.size() : bytes.size();
        const std::size_t textAt = 8 + 68;  // record header + fixed part
        std::size_t textBytes = isWide ? n * 2 : n;
        std::size_t dxAt = dx.empty() ? 0 : textAt + ((textBytes + 3) / 4) * 4;
        p.i32(0).i32(0).i32(-1).i32(-1);     // bounds
        p.u32(1).f32(0).f32(0);              // graphics mode, scales
        p.i32(x).i32(y).u32(std::uint32_t(n)).u32(std::uint32_t(textAt)).u32(0);
        p.i32(0).i32(0).i32(-1).i32(-1);     // rectangle
        p.u32(std::uint32_t(dxAt));
        if (isWide) p.utf16(wide);
        else p.bytes(bytes);
        p.padTo(4);
        for (int d : dx) p.i32(d);
        return rec(isWide ? 84 : 83, p);
    }
    EmfBuilder& poly(std::uint32_t type, const std::vector<std::pair<int, int>>& pts) {
        ByteWriter p;
        p.i32(0).i32(0).i32(-1).i32(-1).u32(std::uint32_t(pts.size()));
        for (auto [x, y] : pts) p.i32(x).i32(y);
        return rec(type, p);
    }
    // STRETCHDIBITS of a packed DIB (40-byte header, no colour table).
    EmfBuilder& stretchDib(int x, int y, int w, int h, int srcW, int srcH, const std::string& dib) {
        ByteWriter p;
        const std::uint32_t offBmi = 80, cbBmi = 40;
        p.i32(0).i32(0).i32(-1).i32(-1);
        p.i32(x).i32(y).i32(0).i32(0).i32(srcW).i32(srcH);
        p.u32(offBmi).u32(cbBmi).u32(offBmi + cbBmi).u32(std::uint32_t(dib.size() - 40));
        p.u32(0).u32(0xCC0020).i32(w).i32(h);
        p.bytes(dib);
        return rec(81, p);
    }

    // Frame in 0.01 mm; the reference device has devPx pixels over devMm mm.
    std::string finish(int frameL, int frameT, int frameR, int frameB, int devPxX = 1000,
                       int devPxY = 1000, int devMmX = 250, int devMmY = 250) const {
        std::string body;
        for (const auto& r : records_) body += r;
        ByteWriter eof;
        eof.u32(14).u32(20).u32(0).u32(16).u32(20);
        body += eof.str();
        ByteWriter h;
        const std::uint32_t headerSize = 108;
        std::uint32_t total = std::uint32_t(headerSize + body.size());
        h.u32(1).u32(headerSize);
        h.i32(0).i32(0).i32(devPxX).i32(devPxY);        // bounds (not used for playing)
        h.i32(frameL).i32(frameT).i32(frameR).i32(frameB);
        h.u32(0x464D4520).u32(0x10000).u32(total).u32(std::uint32_t(records_.size() + 2));
        h.u16(8).u16(0).u32(0).u32(0).u32(0);
        h.i32(devPxX).i32(devPxY).i32(devMmX).i32(devMmY);
        h.u32(0).u32(0).u32(0);
        h.u32(std::uint32_t(devMmX) * 1000).u32(std::uint32_t(devMmY) * 1000);
        return h.str() + body;
    }

private:
    std::vector<std::string> records_;
};

}  // namespace quor::test
