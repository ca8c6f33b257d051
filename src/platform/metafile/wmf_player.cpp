#include <algorithm>

#include "platform/metafile/dib.h"
#include "platform/metafile/players.h"

namespace quor::metafile {

namespace {

enum WmfFunction : std::uint16_t {
    kEof = 0x0000, kSaveDc = 0x001E, kSetPalEntries = 0x0037, kCreatePalette = 0x00F7,
    kSetBkMode = 0x0102, kSetMapMode = 0x0103, kSetRop2 = 0x0104, kSetPolyFillMode = 0x0106,
    kSetTextCharExtra = 0x0108, kRestoreDc = 0x0127, kSelectClipRegion = 0x012C,
    kSelectObject = 0x012D, kSetTextAlign = 0x012E, kDibCreatePatternBrush = 0x0142,
    kDeleteObject = 0x01F0, kCreatePatternBrush = 0x01F9, kSetBkColor = 0x0201,
    kSetTextColor = 0x0209, kSetWindowOrg = 0x020B, kSetWindowExt = 0x020C,
    kSetViewportOrg = 0x020D, kSetViewportExt = 0x020E, kOffsetWindowOrg = 0x020F,
    kOffsetViewportOrg = 0x0211, kLineTo = 0x0213, kMoveTo = 0x0214, kOffsetClipRgn = 0x0220,
    kSelectPalette = 0x0234, kCreatePenIndirect = 0x02FA, kCreateFontIndirect = 0x02FB,
    kCreateBrushIndirect = 0x02FC, kCreateBitmapIndirect = 0x02FD, kPolygon = 0x0324,
    kPolyline = 0x0325, kScaleWindowExt = 0x0410, kScaleViewportExt = 0x0412,
    kExcludeClipRect = 0x0415, kIntersectClipRect = 0x0416, kEllipse = 0x0418,
    kRectangle = 0x041B, kSetPixel = 0x041F, kTextOut = 0x0521, kPolyPolygon = 0x0538,
    kRoundRect = 0x061C, kPatBlt = 0x061D, kCreateBitmap = 0x06FE, kCreateRegion = 0x06FF,
    kArc = 0x0817, kPie = 0x081A, kChord = 0x0830, kBitBlt = 0x0922, kDibBitBlt = 0x0940,
    kExtTextOut = 0x0A32, kStretchBlt = 0x0B23, kDibStretchBlt = 0x0B41, kSetDibToDev = 0x0D33,
    kStretchDib = 0x0F43, kCreateBrush = 0x00F8,
};

// A record: its size in 16-bit words, its function and its parameter words.
struct Rec {
    ByteView v;
    std::size_t words = 0;
    std::size_t params() const { return words - 3; }
    bool hasParams(std::size_t n) const { return params() >= n; }
    std::int16_t p(std::size_t i) const { return v.i16(6 + 2 * i); }
    std::uint16_t pu(std::size_t i) const { return v.u16(6 + 2 * i); }
    std::uint32_t pu32(std::size_t i) const { return v.u32(6 + 2 * i); }
    std::size_t at(std::size_t i) const { return 6 + 2 * i; }
};

std::vector<DPoint> points(const Rec& r, std::size_t first, std::size_t count) {
    std::vector<DPoint> pts;
    pts.reserve(count);
    for (std::size_t i = 0; i < count; ++i) pts.push_back({double(r.p(first + 2 * i)), double(r.p(first + 2 * i + 1))});
    return pts;
}

void createObject(GdiContext& g, GdiObject o) {
    int slot = g.firstFreeSlot();
    if (slot >= 0) g.storeObject(std::uint32_t(slot), std::move(o));
}

GdiObject fontObject(const Rec& r) {
    GdiObject o;
    o.kind = GdiObject::Kind::Font;
    GdiFont& f = o.font;
    f.height = r.p(0);
    f.escapement = r.p(2);
    f.weight = r.p(4);
    std::size_t b = r.at(5);
    f.italic = r.v.u8(b) != 0;
    f.underline = r.v.u8(b + 1) != 0;
    f.strikeOut = r.v.u8(b + 2) != 0;
    f.charset = r.v.u8(b + 3);
    f.face.clear();
    for (std::size_t i = 0; i < 32 && r.v.has(b + 8 + i, 1); ++i) {
        char c = char(r.v.u8(b + 8 + i));
        if (c == 0) break;
        f.face.push_back(c);
    }
    return o;
}

void drawDib(GdiContext& g, ByteView dib, double x, double y, double w, double h, long long sx,
             long long sy, long long sw, long long sh, std::uint32_t rop, bool palColors) {
    DibOptions opt;
    opt.paletteIndexes = palColors;
    opt.palette = &g.palette();
    RasterImage img = decodePackedDib(dib, opt);
    if (img.isNull()) return;
    img = cropImage(img, sx, sy, sw, sh, dibIsBottomUp(dib));
    g.image(x, y, w, h, img, rop);
}

void playRecord(const Rec& r, std::uint16_t fn, GdiContext& g) {
    switch (fn) {
    case kSaveDc: g.saveDc(); break;
    case kRestoreDc: if (r.hasParams(1)) g.restoreDc(r.p(0)); break;
    case kSetBkMode: if (r.hasParams(1)) g.setBkMode(r.pu(0)); break;
    case kSetMapMode: if (r.hasParams(1)) g.setMapMode(r.pu(0)); break;
    case kSetRop2: if (r.hasParams(1)) g.setRop2(r.pu(0)); break;
    case kSetPolyFillMode: if (r.hasParams(1)) g.setPolyFillMode(r.pu(0)); break;
    case kSetTextCharExtra: if (r.hasParams(1)) g.setTextCharExtra(r.p(0)); break;
    case kSetTextAlign: if (r.hasParams(1)) g.setTextAlign(r.pu(0)); break;
    case kSetBkColor: if (r.hasParams(2)) g.setBkColor(r.pu32(0)); break;
    case kSetTextColor: if (r.hasParams(2)) g.setTextColor(r.pu32(0)); break;
    case kSetWindowOrg: if (r.hasParams(2)) g.setWindowOrg(r.p(1), r.p(0)); break;
    case kSetWindowExt: if (r.hasParams(2)) g.setWindowExt(r.p(1), r.p(0)); break;
    case kSetViewportOrg: if (r.hasParams(2)) g.setViewportOrg(r.p(1), r.p(0)); break;
    case kSetViewportExt: if (r.hasParams(2)) g.setViewportExt(r.p(1), r.p(0)); break;
    case kOffsetWindowOrg: if (r.hasParams(2)) g.offsetWindowOrg(r.p(1), r.p(0)); break;
    case kOffsetViewportOrg: if (r.hasParams(2)) g.offsetViewportOrg(r.p(1), r.p(0)); break;
    case kScaleWindowExt:
        if (r.hasParams(4)) g.scaleWindowExt(r.p(3), r.p(2), r.p(1), r.p(0));
        break;
    case kScaleViewportExt:
        if (r.hasParams(4)) g.scaleViewportExt(r.p(3), r.p(2), r.p(1), r.p(0));
        break;
    case kLineTo: if (r.hasParams(2)) g.lineTo({double(r.p(1)), double(r.p(0))}); break;
    case kMoveTo: if (r.hasParams(2)) g.moveTo({double(r.p(1)), double(r.p(0))}); break;
    case kOffsetClipRgn: if (r.hasParams(2)) g.offsetClip(r.p(1), r.p(0)); break;
    case kExcludeClipRect:
        if (r.hasParams(4)) g.excludeClip(r.p(3), r.p(2), r.p(1), r.p(0));
        break;
    case kIntersectClipRect:
        if (r.hasParams(4)) g.intersectClip(r.p(3), r.p(2), r.p(1), r.p(0));
        break;
    case kEllipse: if (r.hasParams(4)) g.ellipse(r.p(3), r.p(2), r.p(1), r.p(0)); break;
    case kRectangle: if (r.hasParams(4)) g.rectangle(r.p(3), r.p(2), r.p(1), r.p(0)); break;
    case kRoundRect:
        if (r.hasParams(6)) g.roundRect(r.p(5), r.p(4), r.p(3), r.p(2), r.p(1), r.p(0));
        break;
    case kSetPixel:
        if (r.hasParams(4)) g.setPixel({double(r.p(3)), double(r.p(2))}, r.pu32(0));
        break;
    case kArc: case kPie: case kChord:
        if (r.hasParams(8)) {
            ArcKind k = fn == kArc ? ArcKind::Arc : (fn == kPie ? ArcKind::Pie : ArcKind::Chord);
            g.arc(r.p(7), r.p(6), r.p(5), r.p(4), {double(r.p(3)), double(r.p(2))},
                  {double(r.p(1)), double(r.p(0))}, k);
        }
        break;
    case kPolygon: case kPolyline: {
        if (!r.hasParams(1)) break;
        std::size_t n = r.pu(0);
        if (!r.hasParams(1 + 2 * n)) break;
        if (fn == kPolygon) g.polygon(points(r, 1, n));
        else g.polyline(points(r, 1, n));
        break;
    }
    case kPolyPolygon: {
        if (!r.hasParams(1)) break;
        std::size_t polys = r.pu(0);
        if (!r.hasParams(1 + polys)) break;
        std::size_t total = 0;
        for (std::size_t i = 0; i < polys; ++i) total += r.pu(1 + i);
        if (!r.hasParams(1 + polys + 2 * total)) break;
        std::vector<std::vector<DPoint>> all;
        std::size_t at = 1 + polys;
        for (std::size_t i = 0; i < polys; ++i) {
            std::size_t n = r.pu(1 + i);
            all.push_back(points(r, at, n));
            at += 2 * n;
        }
        g.polyPolygon(all, true);
        break;
    }
    case kTextOut: {
        if (!r.hasParams(1)) break;
        std::size_t n = r.pu(0), strWords = (n + 1) / 2;
        if (!r.hasParams(1 + strWords + 2)) break;
        GdiContext::TextRun t;
        t.bytes.assign(reinterpret_cast<const char*>(r.v.data() + r.at(1)), n);
        t.ref = {double(r.p(1 + strWords + 1)), double(r.p(1 + strWords))};
        g.text(t);
        break;
    }
    case kExtTextOut: {
        if (!r.hasParams(4)) break;
        GdiContext::TextRun t;
        t.ref = {double(r.p(1)), double(r.p(0))};
        std::size_t n = r.pu(2);
        t.options = r.pu(3);
        std::size_t at = 4;
        if (t.options & 0x06) {
            if (!r.hasParams(8)) break;
            t.hasRect = true;
            for (int i = 0; i < 4; ++i) t.rect[i] = r.p(4 + i);
            at = 8;
        }
        std::size_t strWords = (n + 1) / 2;
        if (!r.hasParams(at + strWords)) break;
        t.bytes.assign(reinterpret_cast<const char*>(r.v.data() + r.at(at)), n);
        at += strWords;
        if (n > 0 && r.hasParams(at + n)) {
            double sum = 0;
            for (std::size_t i = 0; i < n; ++i) sum += r.p(at + i);
            t.advanceTotal = sum;
        }
        g.text(t);
        break;
    }
    case kSelectObject: case kSelectPalette:
        if (r.hasParams(1)) g.selectObject(r.pu(0));
        break;
    case kDeleteObject: if (r.hasParams(1)) g.deleteObject(r.pu(0)); break;
    case kSelectClipRegion: {
        if (!r.hasParams(1)) break;
        const GdiObject* o = g.object(r.pu(0));
        if (o && o->kind == GdiObject::Kind::Region) g.selectObject(r.pu(0));
        else g.selectClipRects({}, 5);
        break;
    }
    case kCreatePenIndirect: {
        GdiObject o;
        o.kind = GdiObject::Kind::Pen;
        if (r.hasParams(5)) {
            o.pen.style = penStyleOf(r.pu(0));
            o.pen.width = std::abs(int(r.p(1)));
            o.pen.color = g.resolveColor(r.pu32(3));
        }
        createObject(g, o);
        break;
    }
    case kCreateBrushIndirect: {
        GdiObject o;
        o.kind = GdiObject::Kind::Brush;
        if (r.hasParams(3)) {
            unsigned style = r.pu(0);
            o.brush.hollow = style == 1;
            o.brush.color = g.resolveColor(r.pu32(1));
        }
        createObject(g, o);
        break;
    }
    case kDibCreatePatternBrush: {
        GdiObject o;
        o.kind = GdiObject::Kind::Brush;
        o.brush.color = 0x808080;
        if (r.hasParams(2)) {
            DibOptions opt;
            opt.paletteIndexes = r.pu(1) == 1;
            RasterImage img = decodePackedDib(r.v.sub(r.at(2), r.v.size()), opt);
            if (!img.isNull()) o.brush.color = averageColor(img);
        }
        createObject(g, o);
        break;
    }
    case kCreateFontIndirect: {
        GdiObject o = r.hasParams(9) ? fontObject(r) : GdiObject::of(GdiObject::Kind::Font);
        createObject(g, o);
        break;
    }
    case kCreatePalette: {
        GdiObject o;
        o.kind = GdiObject::Kind::Palette;
        if (r.hasParams(2)) {
            std::size_t n = r.pu(1);
            for (std::size_t i = 0; i < n && r.v.has(r.at(2) + 4 * i, 4); ++i) {
                std::size_t e = r.at(2) + 4 * i;
                o.palette.push_back(makeColor(r.v.u8(e), r.v.u8(e + 1), r.v.u8(e + 2)));
            }
        }
        createObject(g, o);
        break;
    }
    case kCreateRegion: {
        GdiObject o;
        o.kind = GdiObject::Kind::Region;
        // The bounding box stands for the region.
        if (r.hasParams(11)) o.regionRects.push_back(Rect{r.p(7), r.p(8), r.p(9), r.p(10)});
        createObject(g, o);
        break;
    }
    case kCreatePatternBrush: case kCreateBrush: {
        GdiObject o;
        o.kind = GdiObject::Kind::Brush;
        o.brush.color = 0x808080;
        createObject(g, o);
        break;
    }
    case kCreateBitmapIndirect: case kCreateBitmap:
        createObject(g, GdiObject::of(GdiObject::Kind::Other));
        break;
    case kPatBlt:
        if (r.hasParams(6)) g.patBlt(r.p(5), r.p(4), r.p(5) + r.p(3), r.p(4) + r.p(2), r.pu32(0));
        break;
    case kBitBlt: case kDibBitBlt: {
        // Without a bitmap the record has a reserved word and fills with the brush.
        bool noBitmap = r.words == std::size_t(3 + (fn >> 8));
        if (noBitmap) {
            if (r.hasParams(9)) g.patBlt(r.p(8), r.p(7), r.p(8) + r.p(6), r.p(7) + r.p(5), r.pu32(0));
        } else if (fn == kDibBitBlt && r.hasParams(8)) {
            drawDib(g, r.v.sub(r.at(8), r.v.size()), r.p(7), r.p(6), r.p(5), r.p(4), r.p(3), r.p(2),
                    r.p(5), r.p(4), r.pu32(0), false);
        }
        break;
    }
    case kStretchBlt: case kDibStretchBlt: {
        bool noBitmap = r.words == std::size_t(3 + (fn >> 8));
        if (noBitmap) {
            if (r.hasParams(11))
                g.patBlt(r.p(10), r.p(9), r.p(10) + r.p(8), r.p(9) + r.p(7), r.pu32(0));
        } else if (fn == kDibStretchBlt && r.hasParams(10)) {
            drawDib(g, r.v.sub(r.at(10), r.v.size()), r.p(9), r.p(8), r.p(7), r.p(6), r.p(5), r.p(4),
                    r.p(3), r.p(2), r.pu32(0), false);
        }
        break;
    }
    case kStretchDib:
        if (r.hasParams(11))
            drawDib(g, r.v.sub(r.at(11), r.v.size()), r.p(10), r.p(9), r.p(8), r.p(7), r.p(6),
                    r.p(5), r.p(4), r.p(3), r.pu32(0), r.pu(2) == 1);
        break;
    case kSetDibToDev:
        if (r.hasParams(9))
            drawDib(g, r.v.sub(r.at(9), r.v.size()), r.p(8), r.p(7), r.p(6), r.p(5), r.p(4), r.p(3),
                    r.p(6), r.p(5), 0xCC0020, r.pu(0) == 1);
        break;
    default: break;  // records without a picture of their own
    }
}

template <class F>
void walk(ByteView file, std::size_t start, F&& f) {
    std::size_t pos = start;
    while (file.has(pos, 6)) {
        std::size_t words = file.u32(pos);
        std::uint16_t fn = file.u16(pos + 4);
        if (words < 3 || words > (file.size() - pos) / 2) break;  // damaged from here on
        Rec r{file.sub(pos, words * 2), words};
        if (!f(r, fn)) break;
        if (fn == kEof) break;
        pos += words * 2;
    }
}

}  // namespace

void playWmf(ByteView file, std::size_t start, GdiContext& g) {
    walk(file, start, [&](const Rec& r, std::uint16_t fn) {
        g.beginRecord(fn);
        playRecord(r, fn, g);
        g.endRecord();
        return true;
    });
}

WmfWindow findWmfWindow(ByteView file, std::size_t start) {
    WmfWindow w;
    int mode = kMmText;
    walk(file, start, [&](const Rec& r, std::uint16_t fn) {
        if (fn == kSetMapMode && r.hasParams(1)) mode = r.pu(0);
        else if (fn == kSetWindowOrg && r.hasParams(2)) {
            w.orgX = r.p(1);
            w.orgY = r.p(0);
        } else if (fn == kSetWindowExt && r.hasParams(2) && r.p(0) != 0 && r.p(1) != 0 &&
                   (mode == kMmIsotropic || mode == kMmAnisotropic)) {
            w.extX = r.p(1);
            w.extY = r.p(0);
            w.found = true;
            return false;
        }
        return true;
    });
    return w;
}

}  // namespace quor::metafile
