// The drawing calls of the device context: shapes, paths, text and bitmaps.

#include <algorithm>
#include <cmath>

#include "platform/metafile/gdi_context.h"
#include "platform/numbers.h"

namespace quor::metafile {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Angle into (0, 2 pi].
double positiveTurn(double a) {
    a = std::fmod(a, 2 * kPi);
    if (a <= 1e-12) a += 2 * kPi;
    return a;
}

}  // namespace

// ---- lines and polygons ----

void GdiContext::pathFigureStart(DPoint at) {
    if (!pathFigureOpen_) {
        path_.moveTo(devPoint(at));
        pathFigureOpen_ = true;
    }
}

void GdiContext::moveTo(DPoint p) {
    dc_.cur = p;
    if (dc_.inPath) pathFigureOpen_ = false;
}

void GdiContext::lineTo(DPoint p) {
    if (dc_.inPath) {
        pathFigureStart(dc_.cur);
        path_.lineTo(devPoint(p));
    } else if (penVisible()) {
        Point a = devPoint(dc_.cur), b = devPoint(p);
        addBounds({a, b});
        if (!measureOnly_) {
            applyPen();
            canvas_.line(a.x, a.y, b.x, b.y);
        }
    }
    dc_.cur = p;
}

void GdiContext::polyline(const std::vector<DPoint>& pts) {
    if (pts.size() < 2) return;
    if (dc_.inPath) {
        pathFigureOpen_ = false;
        pathFigureStart(pts[0]);
        for (std::size_t i = 1; i < pts.size(); ++i) path_.lineTo(devPoint(pts[i]));
        return;
    }
    if (!penVisible()) return;
    std::vector<Point> d;
    d.reserve(pts.size());
    for (const DPoint& p : pts) d.push_back(devPoint(p));
    addBounds(d);
    if (!measureOnly_) {
        applyPen();
        canvas_.polyline(d);
    }
}

void GdiContext::polylineTo(const std::vector<DPoint>& pts) {
    if (pts.empty()) return;
    std::vector<DPoint> all;
    all.reserve(pts.size() + 1);
    all.push_back(dc_.cur);
    all.insert(all.end(), pts.begin(), pts.end());
    if (dc_.inPath) {
        pathFigureStart(dc_.cur);
        for (const DPoint& p : pts) path_.lineTo(devPoint(p));
    } else {
        polyline(all);
    }
    dc_.cur = pts.back();
}

void GdiContext::polyBezier(const std::vector<DPoint>& pts, bool fromCurrent) {
    std::size_t first = fromCurrent ? 0 : 1;
    if (pts.size() < first + 3) return;
    std::size_t segments = (pts.size() - first) / 3;
    CanvasPath p;
    if (dc_.inPath) {
        if (!fromCurrent) pathFigureOpen_ = false;
        pathFigureStart(fromCurrent ? dc_.cur : pts[0]);
    } else {
        p.moveTo(devPoint(fromCurrent ? dc_.cur : pts[0]));
    }
    CanvasPath& out = dc_.inPath ? path_ : p;
    for (std::size_t s = 0; s < segments; ++s) {
        std::size_t i = first + 3 * s;
        out.bezierTo(devPoint(pts[i]), devPoint(pts[i + 1]), devPoint(pts[i + 2]));
    }
    if (fromCurrent) dc_.cur = pts[first + 3 * segments - 1];
    if (!dc_.inPath) emitPath(p, false, penVisible());
}

void GdiContext::polyDraw(const std::vector<DPoint>& pts, const std::vector<std::uint8_t>& types) {
    CanvasPath p;
    CanvasPath& out = dc_.inPath ? path_ : p;
    bool open = dc_.inPath ? pathFigureOpen_ : false;
    DPoint start = dc_.cur;
    auto ensureOpen = [&]() {
        if (!open) {
            out.moveTo(devPoint(dc_.cur));
            start = dc_.cur;
            open = true;
        }
    };
    std::size_t n = std::min(pts.size(), types.size());
    for (std::size_t i = 0; i < n; ++i) {
        std::uint8_t t = types[i] & 0x06;
        if (t == 0x06) {
            out.moveTo(devPoint(pts[i]));
            open = true;
            start = pts[i];
        } else if (t == 0x02) {
            ensureOpen();
            out.lineTo(devPoint(pts[i]));
        } else if (t == 0x04 && i + 2 < n) {
            ensureOpen();
            out.bezierTo(devPoint(pts[i]), devPoint(pts[i + 1]), devPoint(pts[i + 2]));
            i += 2;
        } else {
            continue;
        }
        dc_.cur = pts[i];
        if (types[i] & 0x01) {
            out.close();
            dc_.cur = start;
            open = false;
        }
    }
    if (dc_.inPath) pathFigureOpen_ = open;
    else emitPath(p, false, penVisible());
}

void GdiContext::polygon(const std::vector<DPoint>& pts) {
    if (pts.size() < 2) return;
    std::vector<Point> d;
    d.reserve(pts.size());
    for (const DPoint& p : pts) d.push_back(devPoint(p));
    if (dc_.inPath) {
        path_.moveTo(d[0]);
        for (std::size_t i = 1; i < d.size(); ++i) path_.lineTo(d[i]);
        path_.close();
        pathFigureOpen_ = false;
        return;
    }
    if (!penVisible() && !brushVisible()) return;
    addBounds(d);
    if (!measureOnly_) {
        applyPen();
        applyBrush();
        if (!penVisible()) {
            PenSpec none = canvas_.pen();
            none.style = PenStyle::Null;
            canvas_.setPen(none);
        }
        if (!brushVisible()) canvas_.setBrush(BrushSpec{0, true});
        canvas_.polygon(d, dc_.winding);
    }
}

void GdiContext::polyPolygon(const std::vector<std::vector<DPoint>>& polys, bool closed) {
    if (!closed && !dc_.inPath) {
        for (const auto& poly : polys) polyline(poly);
        return;
    }
    CanvasPath p;
    for (const auto& poly : polys) {
        if (poly.size() < 2) continue;
        p.moveTo(devPoint(poly[0]));
        for (std::size_t i = 1; i < poly.size(); ++i) p.lineTo(devPoint(poly[i]));
        if (closed) p.close();
    }
    appendOrDraw(std::move(p), closed, true);
}

// ---- rectangles, ellipses, arcs ----

void GdiContext::rectangle(double l, double t, double r, double b) {
    if (dc_.inPath || !axisAligned()) {
        polygon({{l, t}, {r, t}, {r, b}, {l, b}});
        return;
    }
    axisShape(l, t, r, b, &Canvas::rectangle);
}

void GdiContext::axisShape(double l, double t, double r, double b, void (Canvas::*draw)(const Rect&)) {
    if (!penVisible() && !brushVisible()) return;
    Rect d = devRect(l, t, r, b);
    addBounds(d);
    if (measureOnly_) return;
    applyPen();
    applyBrush();
    (canvas_.*draw)(d);
}

void GdiContext::fillRect(double l, double t, double r, double b, Color color) {
    Rect d = devRect(l, t, r, b);
    if (d.isEmpty()) return;
    addBounds(d);
    if (measureOnly_) return;
    canvas_.setBrush(BrushSpec{color, false});
    canvas_.fillRect(d);
}

void GdiContext::patBlt(double l, double t, double r, double b, std::uint32_t rop) {
    switch (rop) {
    case 0xF00021: if (brushVisible()) fillRect(l, t, r, b, dc_.brush.color); break;  // PATCOPY
    case 0x000042: fillRect(l, t, r, b, 0); break;                                  // BLACKNESS
    case 0xFF0062: fillRect(l, t, r, b, 0xFFFFFF); break;                           // WHITENESS
    default: break;  // inverting raster operations have no counterpart on paper
    }
}

void GdiContext::setPixel(DPoint p, Color c) {
    Point d = devPoint(p);
    Point e = devPoint({p.x + 1, p.y + 1});
    Rect r{d.x, d.y, std::max(e.x, d.x + 1), std::max(e.y, d.y + 1)};
    addBounds(r);
    if (measureOnly_) return;
    canvas_.setBrush(BrushSpec{resolveColor(c), false});
    canvas_.fillRect(r);
}

// Appends the arc of the ellipse in (l, t, r, b) from the ray through start
// to the ray through end, in the current arc direction, as Bezier segments.
void GdiContext::arcPath(CanvasPath& out, double l, double t, double r, double b, DPoint start,
                         DPoint end, bool connect, DPoint* endOut) {
    double cx = (l + r) / 2, cy = (t + b) / 2;
    double rx = std::fabs(r - l) / 2, ry = std::fabs(b - t) / 2;
    if (rx <= 0 || ry <= 0) return;
    double t0 = std::atan2((start.y - cy) / ry, (start.x - cx) / rx);
    double t1 = std::atan2((end.y - cy) / ry, (end.x - cx) / rx);
    // The direction is as seen on the device: with the y axis down, a growing
    // parameter turns clockwise; a mirroring map reverses that.
    bool growing = dc_.clockwise;
    if (toDevice_.det() < 0) growing = !growing;
    double sweep = growing ? positiveTurn(t1 - t0) : -positiveTurn(t0 - t1);
    auto at = [&](double a) { return DPoint{cx + rx * std::cos(a), cy + ry * std::sin(a)}; };
    auto tangent = [&](double a) { return DPoint{-rx * std::sin(a), ry * std::cos(a)}; };
    DPoint p0 = at(t0);
    if (connect) out.lineTo(devPoint(p0));
    else out.moveTo(devPoint(p0));
    int n = std::max(1, int(std::ceil(std::fabs(sweep) / (kPi / 2) - 1e-9)));
    double step = sweep / n;
    double k = 4.0 / 3.0 * std::tan(step / 4);
    for (int i = 0; i < n; ++i) {
        double a = t0 + step * i, e = a + step;
        DPoint pa = at(a), pe = at(e), ta = tangent(a), te = tangent(e);
        out.bezierTo(devPoint({pa.x + k * ta.x, pa.y + k * ta.y}),
                     devPoint({pe.x - k * te.x, pe.y - k * te.y}), devPoint(pe));
    }
    if (endOut) *endOut = at(t0 + sweep);
}

void GdiContext::ellipse(double l, double t, double r, double b) {
    if (dc_.inPath || !axisAligned()) {
        CanvasPath p;
        DPoint s{r, (t + b) / 2};
        arcPath(p, l, t, r, b, s, s, false, nullptr);
        p.close();
        appendOrDraw(std::move(p), true, true);
        return;
    }
    axisShape(l, t, r, b, &Canvas::ellipse);
}

void GdiContext::arc(double l, double t, double r, double b, DPoint start, DPoint end,
                     ArcKind kind, bool lineFromCurrent) {
    CanvasPath p;
    DPoint last = dc_.cur;
    if (kind == ArcKind::Pie) {
        p.moveTo(devPoint({(l + r) / 2, (t + b) / 2}));
        arcPath(p, l, t, r, b, start, end, true, &last);
    } else if (lineFromCurrent) {
        if (dc_.inPath) {
            // Continue the open figure rather than starting a new one.
            pathFigureStart(dc_.cur);
            arcPath(path_, l, t, r, b, start, end, true, &last);
            dc_.cur = last;
            return;
        }
        p.moveTo(devPoint(dc_.cur));
        arcPath(p, l, t, r, b, start, end, true, &last);
        dc_.cur = last;
    } else {
        arcPath(p, l, t, r, b, start, end, false, &last);
    }
    if (kind != ArcKind::Arc) p.close();
    appendOrDraw(std::move(p), kind != ArcKind::Arc, true);
}

void GdiContext::angleArc(DPoint c, double radius, double startDeg, double sweepDeg) {
    if (!(radius > 0) || !std::isfinite(startDeg) || !std::isfinite(sweepDeg)) return;
    sweepDeg = std::clamp(sweepDeg, -360.0, 360.0);
    double a0 = startDeg * kPi / 180, a1 = (startDeg + sweepDeg) * kPi / 180;
    DPoint s{c.x + radius * std::cos(a0), c.y - radius * std::sin(a0)};
    DPoint e{c.x + radius * std::cos(a1), c.y - radius * std::sin(a1)};
    bool saved = dc_.clockwise;
    // Angles run counter-clockwise in logical space (y down).
    dc_.clockwise = (sweepDeg < 0) != (toDevice_.det() < 0);
    if (std::fabs(sweepDeg) >= 360) e = s;
    arc(c.x - radius, c.y - radius, c.x + radius, c.y + radius, s, e, ArcKind::Arc, true);
    dc_.clockwise = saved;
}

void GdiContext::roundRect(double l, double t, double r, double b, double w, double h) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    double rx = std::min(std::fabs(w) / 2, (r - l) / 2), ry = std::min(std::fabs(h) / 2, (b - t) / 2);
    if (rx <= 0 || ry <= 0) {
        rectangle(l, t, r, b);
        return;
    }
    const double k = 0.5522847498;
    CanvasPath p;
    auto P = [&](double x, double y) { return devPoint({x, y}); };
    p.moveTo(P(l + rx, t));
    p.lineTo(P(r - rx, t));
    p.bezierTo(P(r - rx + k * rx, t), P(r, t + ry - k * ry), P(r, t + ry));
    p.lineTo(P(r, b - ry));
    p.bezierTo(P(r, b - ry + k * ry), P(r - rx + k * rx, b), P(r - rx, b));
    p.lineTo(P(l + rx, b));
    p.bezierTo(P(l + rx - k * rx, b), P(l, b - ry + k * ry), P(l, b - ry));
    p.lineTo(P(l, t + ry));
    p.bezierTo(P(l, t + ry - k * ry), P(l + rx - k * rx, t), P(l + rx, t));
    p.close();
    appendOrDraw(std::move(p), true, true);
}

// ---- paths ----

void GdiContext::appendOrDraw(CanvasPath&& p, bool fill, bool stroke) {
    if (dc_.inPath) {
        path_.ops.insert(path_.ops.end(), p.ops.begin(), p.ops.end());
        path_.points.insert(path_.points.end(), p.points.begin(), p.points.end());
        pathFigureOpen_ = !p.ops.empty() && p.ops.back() != CanvasPath::Op::Close;
        return;
    }
    emitPath(p, fill && brushVisible(), stroke && penVisible());
}

void GdiContext::emitPath(const CanvasPath& p, bool fill, bool stroke) {
    if (p.isEmpty() || (!fill && !stroke)) return;
    addBounds(p.points);
    if (measureOnly_) return;
    applyPen();
    applyBrush();
    canvas_.drawPath(p, fill, stroke, dc_.winding);
}

void GdiContext::beginPath() {
    path_.clear();
    pathFigureOpen_ = false;
    dc_.inPath = true;
}

void GdiContext::abortPath() {
    path_.clear();
    pathFigureOpen_ = false;
    dc_.inPath = false;
}

void GdiContext::closeFigure() {
    if (!dc_.inPath || !pathFigureOpen_) return;
    path_.close();
    pathFigureOpen_ = false;
}

void GdiContext::finishPath(bool fill, bool stroke) {
    dc_.inPath = false;
    CanvasPath p = std::move(path_);
    path_.clear();
    pathFigureOpen_ = false;
    emitPath(p, fill && brushVisible(), stroke && penVisible());
}

// ---- text ----

void GdiContext::text(const TextRun& run) {
    record_.isText = true;
    record_.isWide = run.isWide;
    record_.bytes = run.bytes;
    record_.wide = run.wide;
    record_.charset = dc_.font.charset;
    if (dc_.inPath) return;  // text outlines in paths are beyond this player

    Rect box;
    if (run.hasRect) box = devRect(run.rect[0], run.rect[1], run.rect[2], run.rect[3]);
    const bool opaque = (run.options & 0x02) && run.hasRect;
    const bool clipped = (run.options & 0x04) && run.hasRect;
    if (opaque) fillRect(run.rect[0], run.rect[1], run.rect[2], run.rect[3], dc_.bkColor);
    std::size_t count = run.isWide ? run.wide.size() : run.bytes.size();
    if (count == 0 || (run.options & 0x10)) return;  // nothing, or glyph indexes

    const bool updateCp = dc_.textAlign & kTaUpdateCp;
    DPoint ref = updateCp ? dc_.cur : run.ref;
    DPoint d = dev(ref);
    applyFont();
    int extra = roundInt(std::min(devLength(dc_.charExtra), 10000.0));
    canvas_.setTextCharacterExtra(extra);
    canvas_.setBackgroundMode(dc_.bkOpaque ? BackgroundMode::Opaque : BackgroundMode::Transparent);
    canvas_.setBackgroundColor(dc_.bkColor);
    auto width = [&]() {
        return run.isWide ? canvas_.textWidthW(run.wide) : canvas_.textWidth(run.bytes);
    };
    int w = width();
    if (run.advanceTotal >= 0) {
        // The recorded advances fix the text's length: spread the difference
        // evenly so the text keeps its place in the picture.
        double target = devLength(run.advanceTotal);
        int delta = roundInt(std::clamp((target - w) / double(count), -10000.0, 10000.0));
        if (delta != 0) {
            canvas_.setTextCharacterExtra(extra + delta);
            w = width();
        }
    }
    FontMetrics fm = canvas_.fontMetrics();
    double dx = 0, dy = 0;
    switch (dc_.textAlign & 6) {
    case kTaRight: dx = -w; break;
    case kTaCenter: dx = -(w / 2); break;  // whole pixels, as the platform centres
    default: break;
    }
    switch (dc_.textAlign & 24) {
    case kTaBottom: dy = -fm.height; break;
    case kTaBaseline: dy = -fm.ascent; break;
    default: break;
    }
    double angle = canvas_.font().escapement * kPi / 1800.0;
    double ca = std::cos(angle), sa = std::sin(angle);
    double x = d.x + dx * ca + dy * sa, y = d.y - dx * sa + dy * ca;
    int ix = roundInt(std::clamp(x, -4.0e6, 4.0e6)), iy = roundInt(std::clamp(y, -4.0e6, 4.0e6));

    // Bounds: the turned cell.
    std::vector<Point> corners;
    for (auto [u, v] : {std::pair{0.0, 0.0}, {double(w), 0.0}, {0.0, double(fm.height)},
                        {double(w), double(fm.height)}})
        corners.push_back(Point{roundInt(std::clamp(x + u * ca + v * sa, -4.0e6, 4.0e6)),
                                roundInt(std::clamp(y - u * sa + v * ca, -4.0e6, 4.0e6))});
    addBounds(corners);
    if (!measureOnly_) {
        unsigned options = (clipped ? kTextClipped : 0u) | ((run.options & 0x80) ? kTextRtlReading : 0u);
        const Rect* clip = clipped ? &box : nullptr;
        if (run.isWide) canvas_.textOutW(ix, iy, run.wide, clip, options);
        else canvas_.textOut(ix, iy, run.bytes, clip, options);
    }
    canvas_.setTextCharacterExtra(0);
    if (updateCp) {
        double adv = (dc_.textAlign & 6) == kTaRight ? -w : ((dc_.textAlign & 6) == kTaCenter ? 0 : w);
        dc_.cur = toDevice_.inverse().apply(DPoint{d.x + adv * ca, d.y - adv * sa});
    }
}

// ---- bitmaps ----

void GdiContext::image(double x, double y, double w, double h, const RasterImage& src,
                       std::uint32_t rop) {
    if (src.isNull()) return;
    Point a = devPoint({x, y}), b = devPoint({x + w, y + h});
    if (!axisAligned()) {
        Point c = devPoint({x + w, y}), e = devPoint({x, y + h});
        a = Point{std::min({a.x, b.x, c.x, e.x}), std::min({a.y, b.y, c.y, e.y})};
        b = Point{std::max({a.x, b.x, c.x, e.x}), std::max({a.y, b.y, c.y, e.y})};
    }
    Rect r{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    if (r.isEmpty()) return;
    addBounds(r);
    if (measureOnly_) return;
    const bool flipX = b.x < a.x, flipY = b.y < a.y;
    const bool invert = rop == 0x330008;                       // NOTSRCCOPY
    const bool whiteClear = rop == 0x8800C6;                   // SRCAND: white keeps the page
    const bool blackClear = rop == 0xEE0086 || rop == 0x660046;  // SRCPAINT, SRCINVERT
    if (!flipX && !flipY && !invert && !whiteClear && !blackClear) {
        canvas_.drawImage(r, src, false);
        return;
    }
    RasterImage img;
    img.width = src.width;
    img.height = src.height;
    img.pixels.resize(src.pixels.size());
    for (int yy = 0; yy < src.height; ++yy)
        for (int xx = 0; xx < src.width; ++xx) {
            std::uint32_t p = src.pixels[std::size_t(yy) * src.width + xx];
            if (invert) p ^= 0x00FFFFFF;
            std::uint32_t rgb = p & 0xFFFFFF;
            if ((whiteClear && rgb == 0xFFFFFF) || (blackClear && rgb == 0)) p = 0;
            int tx = flipX ? src.width - 1 - xx : xx, ty = flipY ? src.height - 1 - yy : yy;
            img.pixels[std::size_t(ty) * src.width + tx] = p;
        }
    canvas_.drawImage(r, img, false);
}

}  // namespace quor::metafile
