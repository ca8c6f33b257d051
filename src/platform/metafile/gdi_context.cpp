#include "platform/metafile/gdi_context.h"

#include <algorithm>
#include <cmath>

#include "platform/numbers.h"

namespace quor::metafile {

namespace {

constexpr std::uint32_t kMaxObjects = 1u << 16;
constexpr std::size_t kMaxSavedStates = 1024;
constexpr std::size_t kMaxClipOps = 256;
// Far enough outside any page; keeps device coordinates in the range the
// renderers compute with.
constexpr double kCoordLimit = 4.0e6;

double safeExt(double v) { return (v == 0 || !std::isfinite(v)) ? 1.0 : v; }

}  // namespace

PenStyle penStyleOf(std::uint32_t style) {
    switch (style & 0x0F) {
    case 1: return PenStyle::Dash;
    case 2: return PenStyle::Dot;
    case 3: return PenStyle::DashDot;
    case 4: return PenStyle::DashDotDot;
    case 5: return PenStyle::Null;
    default: return PenStyle::Solid;
    }
}

Xform Xform::then(const Xform& t) const {
    Xform r;
    r.m11 = m11 * t.m11 + m12 * t.m21;
    r.m12 = m11 * t.m12 + m12 * t.m22;
    r.m21 = m21 * t.m11 + m22 * t.m21;
    r.m22 = m21 * t.m12 + m22 * t.m22;
    r.dx = dx * t.m11 + dy * t.m21 + t.dx;
    r.dy = dx * t.m12 + dy * t.m22 + t.dy;
    return r;
}

Xform Xform::inverse() const {
    double d = det();
    if (d == 0 || !std::isfinite(d)) return Xform{};
    Xform r{m22 / d, -m12 / d, -m21 / d, m11 / d, 0, 0};
    r.dx = -(dx * r.m11 + dy * r.m21);
    r.dy = -(dx * r.m12 + dy * r.m22);
    return r;
}

bool Xform::isFinite() const {
    return std::isfinite(m11) && std::isfinite(m12) && std::isfinite(m21) && std::isfinite(m22) &&
           std::isfinite(dx) && std::isfinite(dy) && std::fabs(m11) < 1e9 && std::fabs(m12) < 1e9 &&
           std::fabs(m21) < 1e9 && std::fabs(m22) < 1e9 && std::fabs(dx) < 1e12 &&
           std::fabs(dy) < 1e12;
}

GdiContext::GdiContext(Canvas& canvas, const Rect& dest, const PlayFrame& frame, bool measureOnly)
    : canvas_(canvas), dest_(dest), frame_(frame), measureOnly_(measureOnly) {
    if (!(frame_.width != 0 && std::isfinite(frame_.width))) frame_.width = 1;
    if (!(frame_.height != 0 && std::isfinite(frame_.height))) frame_.height = 1;
    canvas_.save();
    ++canvasDepth_;
    if (!measureOnly_) canvas_.intersectClipRect(dest_);
    canvas_.save();
    ++canvasDepth_;
    updateTransform();
}

GdiContext::~GdiContext() {
    while (canvasDepth_ > 0) {
        canvas_.restore();
        --canvasDepth_;
    }
}

void GdiContext::setReference(double unitsPerMmX, double unitsPerMmY, bool implicitViewport) {
    if (unitsPerMmX > 0 && std::isfinite(unitsPerMmX)) unitsPerMmX_ = unitsPerMmX;
    if (unitsPerMmY > 0 && std::isfinite(unitsPerMmY)) unitsPerMmY_ = unitsPerMmY;
    implicitViewport_ = implicitViewport;
    updateTransform();
}

// ---- record bookkeeping ----

void GdiContext::beginRecord(std::uint32_t type) {
    record_ = MetafileRecord{};
    record_.index = recordCount_++;
    record_.type = type;
}

void GdiContext::endRecord() {
    if (observer_) observer_(record_);
}

void GdiContext::addBounds(const Rect& r) {
    Rect n{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
           std::max(r.top, r.bottom)};
    if (n.right == n.left) ++n.right;
    if (n.bottom == n.top) ++n.bottom;
    Rect& b = record_.bounds;
    if (b.isEmpty()) b = n;
    else b = Rect{std::min(b.left, n.left), std::min(b.top, n.top), std::max(b.right, n.right),
                  std::max(b.bottom, n.bottom)};
}

void GdiContext::addBounds(const std::vector<Point>& pts) {
    if (!pts.empty()) addBounds(boundingRect(pts));
}

// ---- mapping ----

void GdiContext::updateTransform() {
    static const double kUnitMm[] = {0, 0, 0.1, 0.01, 0.254, 0.0254, 25.4 / 1440};
    const Dc& d = dc_;
    double sx = 1, sy = 1;
    DPoint vpOrg = d.vpOrg;
    if (d.mapMode >= kMmLoMetric && d.mapMode <= kMmTwips) {
        sx = kUnitMm[d.mapMode] * unitsPerMmX_;
        sy = -kUnitMm[d.mapMode] * unitsPerMmY_;
    } else if (d.mapMode == kMmIsotropic || d.mapMode == kMmAnisotropic) {
        DPoint vpExt = d.vpExt;
        if (implicitViewport_ && !d.vpExtSet) vpExt = {frame_.width, frame_.height};
        sx = vpExt.x / safeExt(d.winExt.x);
        sy = vpExt.y / safeExt(d.winExt.y);
        if (d.mapMode == kMmIsotropic) {
            double m = std::min(std::fabs(sx), std::fabs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
    }
    Xform page{sx, 0, 0, sy, vpOrg.x - d.winOrg.x * sx, vpOrg.y - d.winOrg.y * sy};
    double fx = dest_.width() / frame_.width, fy = dest_.height() / frame_.height;
    Xform final{fx, 0, 0, fy, dest_.left - frame_.left * fx, dest_.top - frame_.top * fy};
    final_ = final;
    Xform t = d.world.then(page).then(final);
    if (t.isFinite()) toDevice_ = t;
}

void GdiContext::setMapMode(int mode) {
    if (mode < kMmText || mode > kMmAnisotropic) return;
    dc_.mapMode = mode;
    updateTransform();
}
void GdiContext::setWindowOrg(double x, double y) { dc_.winOrg = {x, y}; updateTransform(); }
void GdiContext::setWindowExt(double x, double y) {
    if (x == 0 || y == 0) return;  // refused, as the platform does
    dc_.winExt = {x, y};
    updateTransform();
}
void GdiContext::setViewportOrg(double x, double y) {
    dc_.vpOrg = {x, y};
    dc_.vpOrgSet = true;
    updateTransform();
}
void GdiContext::setViewportExt(double x, double y) {
    if (x == 0 || y == 0) return;
    dc_.vpExt = {x, y};
    dc_.vpExtSet = true;
    updateTransform();
}
void GdiContext::offsetWindowOrg(double dx, double dy) {
    setWindowOrg(dc_.winOrg.x + dx, dc_.winOrg.y + dy);
}
void GdiContext::offsetViewportOrg(double dx, double dy) {
    setViewportOrg(dc_.vpOrg.x + dx, dc_.vpOrg.y + dy);
}
void GdiContext::scaleWindowExt(double xn, double xd, double yn, double yd) {
    if (xd == 0 || yd == 0) return;
    setWindowExt(dc_.winExt.x * xn / xd, dc_.winExt.y * yn / yd);
}
void GdiContext::scaleViewportExt(double xn, double xd, double yn, double yd) {
    if (xd == 0 || yd == 0) return;
    DPoint ext = dc_.vpExt;
    if (implicitViewport_ && !dc_.vpExtSet) ext = {frame_.width, frame_.height};
    setViewportExt(ext.x * xn / xd, ext.y * yn / yd);
}
void GdiContext::setWorldTransform(const Xform& x) {
    if (!x.isFinite() || x.det() == 0) return;
    dc_.world = x;
    updateTransform();
}
void GdiContext::modifyWorldTransform(const Xform& x, int mode) {
    Xform r;
    switch (mode) {
    case 1: r = Xform{}; break;                 // identity
    case 2: r = x.then(dc_.world); break;       // left multiply
    case 3: r = dc_.world.then(x); break;       // right multiply
    case 4: r = x; break;                       // set
    default: return;
    }
    setWorldTransform(r);
}

Point GdiContext::devPoint(DPoint logical) const {
    DPoint d = dev(logical);
    auto clampRound = [](double v) {
        if (!std::isfinite(v)) return 0;
        return roundInt(std::clamp(v, -kCoordLimit, kCoordLimit));
    };
    return Point{clampRound(d.x), clampRound(d.y)};
}

bool GdiContext::axisAligned() const {
    return std::fabs(toDevice_.m12) < 1e-9 && std::fabs(toDevice_.m21) < 1e-9;
}

Rect GdiContext::devRect(double l, double t, double r, double b) const {
    Point a = devPoint({l, t}), c = devPoint({r, b});
    return Rect{std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
}

double GdiContext::devLength(double logical) const {
    return std::fabs(logical) * std::hypot(toDevice_.m11, toDevice_.m12);
}

// ---- objects ----

int GdiContext::firstFreeSlot() {
    if (!freeSlots_.empty()) return int(*freeSlots_.begin());
    return objects_.size() < kMaxObjects ? int(objects_.size()) : -1;
}

void GdiContext::storeObject(std::uint32_t index, GdiObject object) {
    if (index >= kMaxObjects) return;
    if (index >= objects_.size()) objects_.resize(index + 1);
    objects_[index] = std::move(object);
    freeSlots_.erase(index);
}

const GdiObject* GdiContext::object(std::uint32_t index) const {
    if (index >= objects_.size() || objects_[index].kind == GdiObject::Kind::Free) return nullptr;
    return &objects_[index];
}

void GdiContext::selectObject(std::uint32_t index) {
    if (index & 0x80000000u) {
        selectStockObject(index & 0x7FFFFFFFu);
        return;
    }
    const GdiObject* o = object(index);
    if (!o) return;
    switch (o->kind) {
    case GdiObject::Kind::Pen: dc_.pen = o->pen; break;
    case GdiObject::Kind::Brush: dc_.brush = o->brush; break;
    case GdiObject::Kind::Font: dc_.font = o->font; break;
    case GdiObject::Kind::Palette: dc_.palette = o->palette; break;
    case GdiObject::Kind::Region: {
        std::vector<Rect> rects = o->regionRects;
        selectClipRects(rects, 5);
        break;
    }
    default: break;
    }
}

void GdiContext::selectStockObject(std::uint32_t stock) {
    static const Color kBrushes[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000};
    if (stock <= 4) dc_.brush = GdiBrush{false, kBrushes[stock]};
    else if (stock == 5) dc_.brush = GdiBrush{true, 0};
    else if (stock == 6 || stock == 7) dc_.pen = GdiPen{PenStyle::Solid, 0, true, stock == 6 ? 0xFFFFFFu : 0u};
    else if (stock == 8) dc_.pen = GdiPen{PenStyle::Null, 0, true, 0};
    else if (stock >= 10 && stock <= 17 && stock != 15) {
        GdiFont f;
        switch (stock) {
        case 10: f.face = "Terminal"; f.charset = kOemCharset; break;
        case 11: case 16: f.face = "Courier New"; break;
        case 12: case 17: f.face = "MS Sans Serif"; break;
        default: f.face = "System"; f.weight = 700; break;
        }
        dc_.font = f;
    } else if (stock == 18) dc_.brush = GdiBrush{false, 0xFFFFFF};
    else if (stock == 19) dc_.pen = GdiPen{PenStyle::Solid, 0, true, 0};
}

void GdiContext::deleteObject(std::uint32_t index) {
    if (index >= objects_.size()) return;
    objects_[index] = GdiObject{};
    freeSlots_.insert(index);
}

void GdiContext::setPaletteEntries(std::uint32_t index, std::uint32_t start,
                                   const std::vector<Color>& colors) {
    if (index >= objects_.size() || objects_[index].kind != GdiObject::Kind::Palette) return;
    auto& pal = objects_[index].palette;
    for (std::size_t i = 0; i < colors.size() && start + i < pal.size(); ++i) pal[start + i] = colors[i];
}

Color GdiContext::resolveColor(Color c) const {
    if ((c >> 24) == 1) {
        std::uint32_t i = c & 0xFFFF;
        return i < dc_.palette.size() ? dc_.palette[i] & 0xFFFFFF : 0;
    }
    return c & 0xFFFFFF;
}

// ---- state stack ----

void GdiContext::saveDc() {
    if (saved_.size() >= kMaxSavedStates) return;
    saved_.push_back(dc_);
}

void GdiContext::restoreDc(int which) {
    // Negative: relative to the current depth; positive: an absolute level.
    long long n = static_cast<long long>(saved_.size());
    long long target = which < 0 ? n + which : static_cast<long long>(which) - 1;
    if (which == 0 || target < 0 || target >= n) return;
    bool inPath = dc_.inPath;
    dc_ = saved_[std::size_t(target)];
    dc_.inPath = inPath;
    saved_.resize(std::size_t(target));
    updateTransform();
    applyClip();
}

// ---- clipping ----

void GdiContext::applyClip() {
    if (measureOnly_) return;
    canvas_.restore();
    canvas_.save();
    for (const ClipOp& op : dc_.clip) {
        if (op.exclude) canvas_.excludeClipRect(op.rect);
        else canvas_.intersectClipRect(op.rect);
    }
}

void GdiContext::intersectClip(double l, double t, double r, double b) {
    if (dc_.clip.size() >= kMaxClipOps) return;
    dc_.clip.push_back(ClipOp{false, devRect(l, t, r, b)});
    applyClip();
}

void GdiContext::excludeClip(double l, double t, double r, double b) {
    if (dc_.clip.size() >= kMaxClipOps) return;
    dc_.clip.push_back(ClipOp{true, devRect(l, t, r, b)});
    applyClip();
}

void GdiContext::selectClipDevice(const std::vector<Rect>& rects, int mode) {
    if (mode == 5 && rects.empty()) {
        dc_.clip.clear();
        applyClip();
        return;
    }
    if (rects.empty()) return;
    Rect box = rects[0];
    for (const Rect& r : rects) {
        box.left = std::min(box.left, r.left);
        box.top = std::min(box.top, r.top);
        box.right = std::max(box.right, r.right);
        box.bottom = std::max(box.bottom, r.bottom);
    }
    switch (mode) {
    case 5: dc_.clip.clear(); [[fallthrough]];
    case 1:
        if (dc_.clip.size() < kMaxClipOps) dc_.clip.push_back(ClipOp{false, box});
        break;
    case 4:
        for (const Rect& r : rects)
            if (dc_.clip.size() < kMaxClipOps) dc_.clip.push_back(ClipOp{true, r});
        break;
    default: return;  // union and exclusive-or only grow the region
    }
    applyClip();
}

void GdiContext::selectClipRects(const std::vector<Rect>& rects, int mode) {
    std::vector<Rect> d;
    for (const Rect& r : rects) d.push_back(devRect(r.left, r.top, r.right, r.bottom));
    selectClipDevice(d, mode);
}

void GdiContext::selectReferenceClip(const std::vector<Rect>& rects, int mode) {
    std::vector<Rect> d;
    auto conv = [](double v) { return roundInt(std::clamp(v, -kCoordLimit, kCoordLimit)); };
    for (const Rect& r : rects) {
        DPoint a = final_.apply({double(r.left), double(r.top)});
        DPoint b = final_.apply({double(r.right), double(r.bottom)});
        d.push_back(Rect{conv(std::min(a.x, b.x)), conv(std::min(a.y, b.y)), conv(std::max(a.x, b.x)),
                         conv(std::max(a.y, b.y))});
    }
    selectClipDevice(d, mode);
}

void GdiContext::selectClipPath(int mode) {
    if (path_.points.empty()) return;
    Rect box{path_.points[0].x, path_.points[0].y, path_.points[0].x, path_.points[0].y};
    for (const Point& p : path_.points) {
        box.left = std::min(box.left, p.x);
        box.top = std::min(box.top, p.y);
        box.right = std::max(box.right, p.x);
        box.bottom = std::max(box.bottom, p.y);
    }
    path_.clear();
    pathFigureOpen_ = false;
    dc_.inPath = false;
    selectClipDevice({box}, mode);
}

bool GdiContext::brushColor(std::uint32_t index, Color& out) const {
    if (index == 0xFFFFFFFFu) {
        out = dc_.brush.color;
        return !dc_.brush.hollow;
    }
    const GdiObject* o = object(index);
    if (!o || o->kind != GdiObject::Kind::Brush || o->brush.hollow) return false;
    out = o->brush.color;
    return true;
}

void GdiContext::offsetClip(double dx, double dy) {
    Point a = devPoint({0, 0}), b = devPoint({dx, dy});
    int ox = b.x - a.x, oy = b.y - a.y;
    for (ClipOp& op : dc_.clip) {
        op.rect.left += ox;
        op.rect.right += ox;
        op.rect.top += oy;
        op.rect.bottom += oy;
    }
    applyClip();
}

// ---- canvas state ----

void GdiContext::applyPen() {
    PenSpec p;
    p.color = dc_.pen.color;
    p.style = dc_.pen.style;
    p.mode = dc_.xorPen ? PenMode::Xor : PenMode::Copy;
    double w = dc_.pen.cosmetic ? 1.0 : devLength(dc_.pen.width);
    p.width = w < 1 ? 1 : (w > 10000 ? 10000 : roundInt(w));
    canvas_.setPen(p);
}

void GdiContext::applyBrush() {
    canvas_.setBrush(BrushSpec{dc_.brush.color, dc_.brush.hollow});
}

void GdiContext::applyFont() {
    const GdiFont& g = dc_.font;
    FontSpec f;
    f.name = g.face.empty() ? std::string("Arial") : g.face;
    double logical = g.height == 0 ? -16.0 : double(g.height);
    double scaleY = std::hypot(toDevice_.m21, toDevice_.m22);
    double h = std::clamp(logical * scaleY, -20000.0, 20000.0);
    int hi = roundInt(h);
    if (hi == 0) hi = logical < 0 ? -1 : 1;
    f.height = hi;
    f.style = (g.weight >= 600 ? kFontBold : 0u) | (g.italic ? kFontItalic : 0u) |
              (g.underline ? kFontUnderline : 0u) | (g.strikeOut ? kFontStrikeOut : 0u);
    f.color = dc_.textColor;
    f.charset = g.charset;
    // The world transform turns the text with it.
    double turn = std::atan2(-toDevice_.m12, toDevice_.m11) * 1800.0 / M_PI;
    if (toDevice_.m11 < 0 && std::fabs(toDevice_.m12) < 1e-9) turn = 0;  // mirrored, not turned
    int esc = (g.escapement + roundInt(turn)) % 3600;
    f.escapement = esc < 0 ? esc + 3600 : esc;
    canvas_.setFont(f);
    canvas_.setTextColor(dc_.textColor);
}

}  // namespace quor::metafile
