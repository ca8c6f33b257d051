#include <algorithm>
#include <cmath>

#include "platform/metafile/dib.h"
#include "platform/metafile/players.h"

namespace quor::metafile {

namespace {

enum EmfRecord : std::uint32_t {
    kHeader = 1, kPolyBezier = 2, kPolygon = 3, kPolyline = 4, kPolyBezierTo = 5,
    kPolylineTo = 6, kPolyPolyline = 7, kPolyPolygon = 8, kSetWindowExtEx = 9,
    kSetWindowOrgEx = 10, kSetViewportExtEx = 11, kSetViewportOrgEx = 12, kEof = 14,
    kSetPixelV = 15, kSetMapMode = 17, kSetBkMode = 18, kSetPolyFillMode = 19, kSetRop2 = 20,
    kSetTextAlign = 22, kSetTextColor = 24, kSetBkColor = 25, kOffsetClipRgn = 26,
    kMoveToEx = 27, kExcludeClipRect = 29, kIntersectClipRect = 30,
    kScaleViewportExtEx = 31, kScaleWindowExtEx = 32, kSaveDc = 33, kRestoreDc = 34,
    kSetWorldTransform = 35, kModifyWorldTransform = 36, kSelectObject = 37, kCreatePen = 38,
    kCreateBrushIndirect = 39, kDeleteObject = 40, kAngleArc = 41, kEllipse = 42,
    kRectangle = 43, kRoundRect = 44, kArc = 45, kChord = 46, kPie = 47, kSelectPalette = 48,
    kCreatePalette = 49, kSetPaletteEntries = 50, kLineTo = 54, kArcTo = 55, kPolyDraw = 56,
    kSetArcDirection = 57, kBeginPath = 59, kEndPath = 60, kCloseFigure = 61, kFillPath = 62,
    kStrokeAndFillPath = 63, kStrokePath = 64, kSelectClipPath = 67, kAbortPath = 68,
    kFillRgn = 71, kPaintRgn = 74, kExtSelectClipRgn = 75, kBitBlt = 76, kStretchBlt = 77,
    kSetDiBitsToDevice = 80, kStretchDiBits = 81, kExtCreateFontIndirectW = 82,
    kExtTextOutA = 83, kExtTextOutW = 84, kPolyBezier16 = 85, kPolygon16 = 86,
    kPolyline16 = 87, kPolyBezierTo16 = 88, kPolylineTo16 = 89, kPolyPolyline16 = 90,
    kPolyPolygon16 = 91, kPolyDraw16 = 92, kCreateMonoBrush = 93,
    kCreateDibPatternBrushPt = 94, kExtCreatePen = 95, kSmallTextOut = 108,
    kAlphaBlend = 114, kTransparentBlt = 116,
};

// Points of 32-bit (8 bytes each) or 16-bit coordinates (4 bytes each).
bool readPoints(ByteView r, std::size_t at, std::size_t count, bool small, std::vector<DPoint>& out) {
    std::size_t size = small ? 4 : 8;
    if (count > r.size() / size || !r.has(at, count * size)) return false;
    out.clear();
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t o = at + i * size;
        if (small) out.push_back({double(r.i16(o)), double(r.i16(o + 2))});
        else out.push_back({double(r.i32(o)), double(r.i32(o + 4))});
    }
    return true;
}

// The rectangles of a region block (RGNDATA): header of 32 bytes, then rects.
std::vector<Rect> regionRects(ByteView r, std::size_t at, std::size_t size) {
    std::vector<Rect> rects;
    ByteView d = r.sub(at, size);
    if (!d.has(0, 32)) return rects;
    std::size_t count = d.u32(8);
    for (std::size_t i = 0; i < count && d.has(32 + 16 * i, 16); ++i) {
        std::size_t o = 32 + 16 * i;
        rects.push_back(Rect{d.i32(o), d.i32(o + 4), d.i32(o + 8), d.i32(o + 12)});
    }
    return rects;
}

std::string utf16ToUtf8(ByteView v, std::size_t at, std::size_t units) {
    std::string s;
    for (std::size_t i = 0; i < units && v.has(at + 2 * i, 2); ++i) {
        unsigned c = v.u16(at + 2 * i);
        if (c == 0) break;
        if (c < 0x80) s.push_back(char(c));
        else if (c < 0x800) {
            s.push_back(char(0xC0 | (c >> 6)));
            s.push_back(char(0x80 | (c & 0x3F)));
        } else if (c >= 0xD800 && c < 0xE000) {
            s.push_back('?');  // face names have no use for surrogates
        } else {
            s.push_back(char(0xE0 | (c >> 12)));
            s.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            s.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return s;
}

Xform readXform(ByteView r, std::size_t at) {
    return Xform{r.f32(at), r.f32(at + 4), r.f32(at + 8), r.f32(at + 12), r.f32(at + 16), r.f32(at + 20)};
}

// A bitmap given by offsets into the record: header at offBmi, rows at offBits.
RasterImage recordBitmap(ByteView r, std::size_t offBmi, std::size_t cbBmi, std::size_t offBits,
                         std::size_t cbBits, bool palColors, bool keepAlpha, const GdiContext& g) {
    if (!r.has(offBmi, cbBmi) || !r.has(offBits, cbBits) || cbBmi == 0) return {};
    DibOptions opt;
    opt.paletteIndexes = palColors;
    opt.palette = &g.palette();
    opt.keepAlpha = keepAlpha;
    return decodeDib(r.sub(offBmi, cbBmi), r.sub(offBits, cbBits), opt);
}

void text(ByteView r, bool wide, GdiContext& g) {
    if (!r.has(0, 76)) return;
    GdiContext::TextRun t;
    t.isWide = wide;
    t.ref = {double(r.i32(36)), double(r.i32(40))};
    std::size_t n = r.u32(44), off = r.u32(48);
    t.options = r.u32(52);
    std::size_t offDx = r.u32(72);
    if (t.options & 0x100) {
        offDx = r.u32(56);  // no rectangle
    } else {
        t.hasRect = true;
        for (int i = 0; i < 4; ++i) t.rect[i] = r.i32(56 + 4 * i);
        if (t.rect[0] >= t.rect[2] || t.rect[1] >= t.rect[3]) t.options &= ~0x06u;
    }
    std::size_t unit = wide ? 2 : 1;
    if (n > r.size() || !r.has(off, n * unit)) return;
    if (wide) {
        t.wide.resize(n);
        for (std::size_t i = 0; i < n; ++i) t.wide[i] = char16_t(r.u16(off + 2 * i));
    } else {
        t.bytes.assign(reinterpret_cast<const char*>(r.data() + off), n);
    }
    std::size_t step = (t.options & 0x2000) ? 8 : 4;  // ETO_PDY: x and y advances
    if (n > 0 && offDx != 0 && r.has(offDx, n * step)) {
        double sum = 0;
        for (std::size_t i = 0; i < n; ++i) sum += r.i32(offDx + i * step);
        t.advanceTotal = sum;
    }
    g.text(t);
}

void smallText(ByteView r, GdiContext& g) {
    if (!r.has(0, 36)) return;
    GdiContext::TextRun t;
    t.ref = {double(r.i32(8)), double(r.i32(12))};
    std::size_t n = r.u32(16);
    t.options = r.u32(20);
    std::size_t at = 36;
    if (!(t.options & 0x100)) {
        if (!r.has(36, 16)) return;
        t.hasRect = true;
        for (int i = 0; i < 4; ++i) t.rect[i] = r.i32(36 + 4 * i);
        at = 52;
    }
    bool small = t.options & 0x200;  // ETO_SMALL_CHARS: 8-bit characters
    std::size_t unit = small ? 1 : 2;
    if (n > r.size() || !r.has(at, n * unit)) return;
    t.isWide = !small;
    if (small) t.bytes.assign(reinterpret_cast<const char*>(r.data() + at), n);
    else for (std::size_t i = 0; i < n; ++i) t.wide.push_back(char16_t(r.u16(at + 2 * i)));
    g.text(t);
}

void blt(ByteView r, std::uint32_t type, GdiContext& g) {
    // BITBLT, STRETCHBLT, ALPHABLEND and TRANSPARENTBLT share their layout up
    // to the source size.
    if (!r.has(0, 100)) return;
    double x = r.i32(24), y = r.i32(28), w = r.i32(32), h = r.i32(36);
    std::uint32_t rop = r.u32(40);
    long long sx = r.i32(44), sy = r.i32(48);
    bool palColors = r.u32(80) == 1;
    std::size_t offBmi = r.u32(84), cbBmi = r.u32(88), offBits = r.u32(92), cbBits = r.u32(96);
    long long sw = (long long)(w), sh = (long long)(h);
    if (type != kBitBlt) {
        if (!r.has(100, 8)) return;
        sw = r.i32(100);
        sh = r.i32(104);
    }
    if (cbBmi == 0) {  // no source: a pattern fill
        if (type == kBitBlt || type == kStretchBlt) g.patBlt(x, y, x + w, y + h, rop);
        return;
    }
    RasterImage img = recordBitmap(r, offBmi, cbBmi, offBits, cbBits, palColors,
                                   type == kAlphaBlend, g);
    if (img.isNull()) return;
    img = cropImage(img, sx, sy, sw, sh, dibIsBottomUp(r.sub(offBmi, cbBmi)));
    if (type == kTransparentBlt) {
        std::uint32_t key = (std::uint32_t(colorRed(rop)) << 16) | (std::uint32_t(colorGreen(rop)) << 8) |
                            std::uint32_t(colorBlue(rop));
        for (auto& p : img.pixels)
            if ((p & 0xFFFFFF) == key) p = 0;
        rop = 0xCC0020;
    } else if (type == kAlphaBlend) {
        rop = 0xCC0020;
    }
    g.image(x, y, w, h, img, rop);
}

void createPenRecord(ByteView r, std::uint32_t type, GdiContext& g) {
    GdiObject o;
    o.kind = GdiObject::Kind::Pen;
    if (type == kCreatePen) {
        if (!r.has(0, 28)) return;
        std::uint32_t style = r.u32(12);
        o.pen.style = penStyleOf(style);
        o.pen.width = std::abs(double(r.i32(16)));
        o.pen.color = g.resolveColor(r.u32(24));
    } else {
        if (!r.has(0, 52)) return;
        std::uint32_t style = r.u32(28);
        o.pen.style = penStyleOf(style);
        o.pen.width = r.u32(32);
        o.pen.cosmetic = (style & 0x000F0000u) == 0;  // PS_COSMETIC
        if (r.u32(36) == 1) o.pen.style = PenStyle::Null;  // BS_NULL
        o.pen.color = g.resolveColor(r.u32(40));
    }
    g.storeObject(r.u32(8), o);
}

void createFont(ByteView r, GdiContext& g) {
    if (!r.has(0, 12 + 28)) return;
    GdiObject o;
    o.kind = GdiObject::Kind::Font;
    GdiFont& f = o.font;
    f.height = r.i32(12);
    f.escapement = r.i32(20);
    f.weight = r.i32(28);
    f.italic = r.u8(32) != 0;
    f.underline = r.u8(33) != 0;
    f.strikeOut = r.u8(34) != 0;
    f.charset = r.u8(35);
    f.face = utf16ToUtf8(r, 40, 32);
    g.storeObject(r.u32(8), o);
}

void polyRecord(ByteView r, std::uint32_t type, GdiContext& g) {
    bool small = type >= kPolyBezier16;
    std::size_t count = r.u32(24);
    std::vector<DPoint> pts;
    if (!r.has(0, 28) || !readPoints(r, 28, count, small, pts)) return;
    switch (small ? type - (kPolyBezier16 - kPolyBezier) : type) {
    case kPolyBezier: g.polyBezier(pts, false); break;
    case kPolygon: g.polygon(pts); break;
    case kPolyline: g.polyline(pts); break;
    case kPolyBezierTo: g.polyBezier(pts, true); break;
    case kPolylineTo: g.polylineTo(pts); break;
    default: break;
    }
}

void polyPolyRecord(ByteView r, bool small, bool closed, GdiContext& g) {
    if (!r.has(0, 32)) return;
    std::size_t polys = r.u32(24), total = r.u32(28);
    if (polys > r.size() / 4 || !r.has(32, polys * 4)) return;
    std::size_t sum = 0;
    for (std::size_t i = 0; i < polys; ++i) sum += r.u32(32 + 4 * i);
    if (sum != total) return;
    std::vector<DPoint> all;
    if (!readPoints(r, 32 + polys * 4, total, small, all)) return;
    std::vector<std::vector<DPoint>> figures;
    std::size_t at = 0;
    for (std::size_t i = 0; i < polys; ++i) {
        std::size_t n = r.u32(32 + 4 * i);
        figures.emplace_back(all.begin() + std::ptrdiff_t(at), all.begin() + std::ptrdiff_t(at + n));
        at += n;
    }
    g.polyPolygon(figures, closed);
}

void polyDraw(ByteView r, bool small, GdiContext& g) {
    if (!r.has(0, 28)) return;
    std::size_t count = r.u32(24);
    std::vector<DPoint> pts;
    if (!readPoints(r, 28, count, small, pts)) return;
    std::size_t typesAt = 28 + count * (small ? 4 : 8);
    if (!r.has(typesAt, count)) return;
    std::vector<std::uint8_t> types(r.data() + typesAt, r.data() + typesAt + count);
    g.polyDraw(pts, types);
}

void playRecord(ByteView r, std::uint32_t type, GdiContext& g) {
    auto i32 = [&](std::size_t o) { return double(r.i32(o)); };
    auto need = [&](std::size_t n) { return r.has(0, n); };
    switch (type) {
    case kPolyBezier: case kPolygon: case kPolyline: case kPolyBezierTo: case kPolylineTo:
    case kPolyBezier16: case kPolygon16: case kPolyline16: case kPolyBezierTo16: case kPolylineTo16:
        polyRecord(r, type, g);
        break;
    case kPolyPolyline: polyPolyRecord(r, false, false, g); break;
    case kPolyPolygon: polyPolyRecord(r, false, true, g); break;
    case kPolyPolyline16: polyPolyRecord(r, true, false, g); break;
    case kPolyPolygon16: polyPolyRecord(r, true, true, g); break;
    case kPolyDraw: polyDraw(r, false, g); break;
    case kPolyDraw16: polyDraw(r, true, g); break;
    case kSetWindowExtEx: if (need(16)) g.setWindowExt(i32(8), i32(12)); break;
    case kSetWindowOrgEx: if (need(16)) g.setWindowOrg(i32(8), i32(12)); break;
    case kSetViewportExtEx: if (need(16)) g.setViewportExt(i32(8), i32(12)); break;
    case kSetViewportOrgEx: if (need(16)) g.setViewportOrg(i32(8), i32(12)); break;
    case kScaleViewportExtEx:
        if (need(24)) g.scaleViewportExt(i32(8), i32(12), i32(16), i32(20));
        break;
    case kScaleWindowExtEx:
        if (need(24)) g.scaleWindowExt(i32(8), i32(12), i32(16), i32(20));
        break;
    case kSetPixelV: if (need(20)) g.setPixel({i32(8), i32(12)}, r.u32(16)); break;
    case kSetMapMode: if (need(12)) g.setMapMode(int(r.u32(8))); break;
    case kSetBkMode: if (need(12)) g.setBkMode(int(r.u32(8))); break;
    case kSetPolyFillMode: if (need(12)) g.setPolyFillMode(int(r.u32(8))); break;
    case kSetRop2: if (need(12)) g.setRop2(int(r.u32(8))); break;
    case kSetTextAlign: if (need(12)) g.setTextAlign(r.u32(8)); break;
    case kSetTextColor: if (need(12)) g.setTextColor(r.u32(8)); break;
    case kSetBkColor: if (need(12)) g.setBkColor(r.u32(8)); break;
    case kSetArcDirection: if (need(12)) g.setArcDirection(int(r.u32(8))); break;
    case kOffsetClipRgn: if (need(16)) g.offsetClip(i32(8), i32(12)); break;
    case kMoveToEx: if (need(16)) g.moveTo({i32(8), i32(12)}); break;
    case kLineTo: if (need(16)) g.lineTo({i32(8), i32(12)}); break;
    case kExcludeClipRect: if (need(24)) g.excludeClip(i32(8), i32(12), i32(16), i32(20)); break;
    case kIntersectClipRect: if (need(24)) g.intersectClip(i32(8), i32(12), i32(16), i32(20)); break;
    case kSaveDc: g.saveDc(); break;
    case kRestoreDc: if (need(12)) g.restoreDc(r.i32(8)); break;
    case kSetWorldTransform: if (need(32)) g.setWorldTransform(readXform(r, 8)); break;
    case kModifyWorldTransform:
        if (need(36)) g.modifyWorldTransform(readXform(r, 8), int(r.u32(32)));
        break;
    case kSelectObject: case kSelectPalette: if (need(12)) g.selectObject(r.u32(8)); break;
    case kDeleteObject: if (need(12)) g.deleteObject(r.u32(8)); break;
    case kCreatePen: case kExtCreatePen: createPenRecord(r, type, g); break;
    case kCreateBrushIndirect: {
        if (!need(24)) break;
        GdiObject o;
        o.kind = GdiObject::Kind::Brush;
        o.brush.hollow = r.u32(12) == 1;
        o.brush.color = g.resolveColor(r.u32(16));
        g.storeObject(r.u32(8), o);
        break;
    }
    case kCreateMonoBrush: case kCreateDibPatternBrushPt: {
        if (!need(32)) break;
        GdiObject o;
        o.kind = GdiObject::Kind::Brush;
        RasterImage img = recordBitmap(r, r.u32(16), r.u32(20), r.u32(24), r.u32(28),
                                       r.u32(12) == 1, false, g);
        o.brush.color = img.isNull() ? 0x808080 : averageColor(img);
        g.storeObject(r.u32(8), o);
        break;
    }
    case kCreatePalette: {
        if (!need(16)) break;
        GdiObject o;
        o.kind = GdiObject::Kind::Palette;
        std::size_t n = r.u16(14);
        for (std::size_t i = 0; i < n && r.has(16 + 4 * i, 4); ++i)
            o.palette.push_back(makeColor(r.u8(16 + 4 * i), r.u8(17 + 4 * i), r.u8(18 + 4 * i)));
        g.storeObject(r.u32(8), o);
        break;
    }
    case kSetPaletteEntries: {
        if (!need(20)) break;
        std::vector<Color> colors;
        std::size_t n = r.u32(16);
        for (std::size_t i = 0; i < n && r.has(20 + 4 * i, 4); ++i)
            colors.push_back(makeColor(r.u8(20 + 4 * i), r.u8(21 + 4 * i), r.u8(22 + 4 * i)));
        g.setPaletteEntries(r.u32(8), r.u32(12), colors);
        break;
    }
    case kExtCreateFontIndirectW: createFont(r, g); break;
    case kAngleArc:
        if (need(28)) g.angleArc({i32(8), i32(12)}, r.u32(16), r.f32(20), r.f32(24));
        break;
    case kEllipse: if (need(24)) g.ellipse(i32(8), i32(12), i32(16), i32(20)); break;
    case kRectangle: if (need(24)) g.rectangle(i32(8), i32(12), i32(16), i32(20)); break;
    case kRoundRect:
        if (need(32)) g.roundRect(i32(8), i32(12), i32(16), i32(20), i32(24), i32(28));
        break;
    case kArc: case kChord: case kPie: case kArcTo:
        if (need(40)) {
            ArcKind k = type == kChord ? ArcKind::Chord : (type == kPie ? ArcKind::Pie : ArcKind::Arc);
            g.arc(i32(8), i32(12), i32(16), i32(20), {i32(24), i32(28)}, {i32(32), i32(36)}, k,
                  type == kArcTo);
        }
        break;
    case kBeginPath: g.beginPath(); break;
    case kEndPath: g.endPath(); break;
    case kCloseFigure: g.closeFigure(); break;
    case kFillPath: g.fillPath(); break;
    case kStrokeAndFillPath: g.strokeAndFillPath(); break;
    case kStrokePath: g.strokePath(); break;
    case kAbortPath: g.abortPath(); break;
    case kSelectClipPath: if (need(12)) g.selectClipPath(int(r.u32(8))); break;
    case kExtSelectClipRgn:
        if (need(16)) g.selectReferenceClip(regionRects(r, 16, r.u32(8)), int(r.u32(12)));
        break;
    case kFillRgn: case kPaintRgn: {
        // Region rectangles are logical here.
        std::size_t at = type == kFillRgn ? 32 : 28;
        if (!need(at)) break;
        Color color;
        if (!g.brushColor(type == kFillRgn ? r.u32(28) : 0xFFFFFFFFu, color)) break;
        for (const Rect& x : regionRects(r, at, r.u32(24))) g.fillRect(x.left, x.top, x.right, x.bottom, color);
        break;
    }
    case kBitBlt: case kStretchBlt: case kAlphaBlend: case kTransparentBlt: blt(r, type, g); break;
    case kStretchDiBits: {
        if (!need(80)) break;
        RasterImage img = recordBitmap(r, r.u32(48), r.u32(52), r.u32(56), r.u32(60),
                                       r.u32(64) == 1, false, g);
        img = cropImage(img, r.i32(32), r.i32(36), r.i32(40), r.i32(44),
                        dibIsBottomUp(r.sub(r.u32(48), r.u32(52))));
        g.image(i32(24), i32(28), i32(72), i32(76), img, r.u32(68));
        break;
    }
    case kSetDiBitsToDevice: {
        if (!need(76)) break;
        RasterImage img = recordBitmap(r, r.u32(48), r.u32(52), r.u32(56), r.u32(60),
                                       r.u32(64) == 1, false, g);
        img = cropImage(img, r.i32(32), r.i32(36), r.i32(40), r.i32(44),
                        dibIsBottomUp(r.sub(r.u32(48), r.u32(52))));
        g.image(i32(24), i32(28), r.i32(40), r.i32(44), img, 0xCC0020);
        break;
    }
    case kExtTextOutA: text(r, false, g); break;
    case kExtTextOutW: text(r, true, g); break;
    case kSmallTextOut: smallText(r, g); break;
    default: break;  // records without a picture of their own
    }
}

}  // namespace

void playEmf(ByteView file, std::size_t end, GdiContext& g) {
    end = std::min(end, file.size());
    std::size_t pos = 0;
    while (pos + 8 <= end) {
        std::uint32_t type = file.u32(pos);
        std::size_t size = file.u32(pos + 4);
        if (size < 8 || size > end - pos) break;  // damaged from here on
        g.beginRecord(type);
        if (type != kHeader) playRecord(file.sub(pos, size), type, g);
        g.endRecord();
        if (type == kEof) break;
        pos += size;
    }
}

}  // namespace quor::metafile
