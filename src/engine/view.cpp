#include "engine/view.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <unordered_set>

#include "engine/engine_state.h"
#include "engine/stream.h"
#include "engine/view_context.h"
#include "platform/error.h"
#include "platform/numbers.h"

namespace quor {
namespace {

// Round (ties to even), saturating at the int range.
std::int64_t rnd(double v) {
    if (std::isnan(v)) return 0;
    return roundEven(std::clamp(v, -4.0e18, 4.0e18));
}

PenStyle penStyleFor(std::uint16_t frameStyle) {
    switch (frameStyle) {
    case kFrameDash: return PenStyle::Dash;
    case kFrameDot: return PenStyle::Dot;
    case kFrameDashDot: return PenStyle::DashDot;
    case kFrameDashDotDot: return PenStyle::DashDotDot;
    default: return PenStyle::Solid;
    }
}

bool isBrokenStyle(std::uint16_t frameStyle) {
    return frameStyle >= kFrameDash && frameStyle <= kFrameDashDotDot;
}

// Puts tagText back when a write ends, also by an error.
class TagGuard {
public:
    explicit TagGuard(std::string& tag) : tag_(tag), kept_(tag) {}
    ~TagGuard() { tag_ = std::move(kept_); }
    TagGuard(const TagGuard&) = delete;
    TagGuard& operator=(const TagGuard&) = delete;

private:
    std::string& tag_;
    std::string kept_;
};

}  // namespace

TfrView::TfrView() = default;

void TfrView::SetBounds(int left, int top, int width, int height) {
    Left = left;
    Top = top;
    Width = width;
    Height = height;
}

double TfrView::scaledRight() const {
    return (static_cast<double>(savedGeometry.Left) + savedGeometry.Width) * drawScaleX + drawOffsetX;
}

double TfrView::scaledBottom() const {
    return (static_cast<double>(savedGeometry.Top) + savedGeometry.Height) * drawScaleY + drawOffsetY;
}

void TfrView::ApplyScale() {
    savedGeometry = {Left, Top, Width, Height, GapX, GapY, FrameWidth};
    if (!engine().documentMode) {
        drawScaleX = drawScaleY = 1.0;
        drawOffsetX = drawOffsetY = 0;
    }
    const double s = drawScaleX, t = drawScaleY, w = FrameWidth;
    const SavedGeometry& o = savedGeometry;

    Left = clampToInt(rnd(o.Left * s) + drawOffsetX);
    Top = clampToInt(rnd(o.Top * t) + drawOffsetY);
    Width = clampToInt(rnd(s * o.Width));
    Height = clampToInt(rnd(t * o.Height));

    const std::int64_t hx = rnd(s * w / 2), hy = rnd(t * w / 2);
    const std::int64_t ix = rnd((s * w - 1) / 2), iy = rnd((t * w - 1) / 2);
    FrameWidth = static_cast<float>(s * w);
    GapX = clampToInt(rnd(s * o.GapX) + hx);
    GapY = clampToInt(rnd(t * o.GapY) + hy / 2);

    std::int64_t right = rnd(scaledRight());
    std::int64_t bottom = rnd(scaledBottom());
    if (FrameTyp & kFrameRight) right -= hx;
    if (FrameTyp & kFrameBottom) bottom -= hy;
    frameRect = Rect{clampToInt((FrameTyp & kFrameLeft) ? Left + ix : Left),
                     clampToInt((FrameTyp & kFrameTop) ? Top + iy : Top), clampToInt(right + 1),
                     clampToInt(bottom + 1)};
}

void TfrView::RestoreGeometry() {
    Left = savedGeometry.Left;
    Top = savedGeometry.Top;
    Width = savedGeometry.Width;
    Height = savedGeometry.Height;
    GapX = savedGeometry.GapX;
    GapY = savedGeometry.GapY;
    FrameWidth = savedGeometry.FrameWidth;
}

void TfrView::DrawBackground() {
    if (engine().firstPass || !canvas) return;
    Canvas& c = *canvas;
    c.setBrush(BrushSpec{FillColor == kNoColor ? Color{0xFFFFFF} : FillColor, false});
    c.setBackgroundMode(BackgroundMode::Opaque);
    if (!engine().documentMode) {
        c.fillRect(frameRect);
        return;
    }
    if (FillColor == kNoColor) return;
    c.fillRect(Rect{Left, Top, clampToInt(rnd(scaledRight())), clampToInt(rnd(scaledBottom()))});
}

void TfrView::DrawFrame() {
    if (engine().firstPass || !canvas) return;
    if (engine().documentMode && (FrameTyp & 0xF) == 0) return;
    Canvas& c = *canvas;
    c.setBrush(BrushSpec{c.brush().color, false});
    c.setPen(PenSpec{FrameColor, clampToInt(rnd(FrameWidth)), penStyleFor(FrameStyle), PenMode::Copy});
    const int right = clampToInt(rnd(scaledRight()));
    const int bottom = clampToInt(rnd(scaledBottom()));
    if (FrameTyp & kFrameRight) drawFrameLine(right, Top, right, bottom, true);
    if (FrameTyp & kFrameLeft) drawFrameLine(Left, Top, Left, bottom, true);
    if (FrameTyp & kFrameBottom) drawFrameLine(Left, bottom, right, bottom, false);
    if (FrameTyp & kFrameTop) drawFrameLine(Left, Top, right, Top, false);
}

namespace {
constexpr long long kMaxFrameCopies = 4096;
}  // namespace

void TfrView::drawFrameLine(int x1, int y1, int x2, int y2, bool vertical) {
    Canvas& c = *canvas;
    // A line at the end of the int range stays there rather than wrapping.
    auto shifted = [&](std::int64_t by) {
        if (vertical) c.line(clampToInt(x1 + by), y1, clampToInt(x2 + by), y2);
        else c.line(x1, clampToInt(y1 + by), x2, clampToInt(y2 + by));
    };
    PenSpec p = c.pen();
    if (isBrokenStyle(FrameStyle)) {
        // Dashes and dots only exist for one-pixel pens: a wide broken line
        // is several one-pixel lines side by side.
        const int width = p.width;
        p.width = 1;
        c.setPen(p);
        c.setBrush(BrushSpec{FillColor, false});
        // Copies outside the clip box cannot show; a damaged stored width
        // must not turn into millions of lines.
        const Rect clip = c.clipBox();
        const long long base = vertical ? x1 : y1;
        const long long lo = vertical ? clip.left : clip.top;
        const long long hi = vertical ? clip.right : clip.bottom;
        const long long half = width / 2;
        const long long first = std::max<long long>(0, lo - base + half);
        const long long last = std::min<long long>({width, hi - base + half, first + kMaxFrameCopies});
        for (long long i = first; i < last; ++i) shifted(i - half);
        p.width = width;
        c.setPen(p);
    } else if (FrameStyle == kFrameDouble) {
        // Kept wide: the negated offset of a damaged width must not overflow.
        const std::int64_t d = clampToInt(rnd(FrameWidth));
        shifted(-d);
        p.color = FillColor;
        c.setPen(p);
        shifted(0);
        p.color = FrameColor;
        c.setPen(p);
        shifted(d);
    } else {
        shifted(0);
    }
}

Rect TfrView::ClipRegion(bool extended) const {
    const double w = FrameWidth;
    std::int64_t a, b;
    if (FrameStyle == kFrameDouble) {
        a = rnd(w * 1.5);
        b = rnd(w + (w - 1) / 2);
    } else {
        a = rnd(w / 2);
        b = rnd((w - 1) / 2);
    }
    const std::int64_t grow = extended ? 10 : 0;
    return Rect{clampToInt(Left - ((FrameTyp & kFrameLeft) ? a : 0) - grow),
                clampToInt(Top - ((FrameTyp & kFrameTop) ? a : 0) - grow),
                clampToInt(std::int64_t{Left} + Width + ((FrameTyp & kFrameRight) ? b : 0) + 1 + grow),
                clampToInt(std::int64_t{Top} + Height + ((FrameTyp & kFrameBottom) ? b : 0) + 1 + grow)};
}

void TfrView::AttachCanvas(Canvas& c) {
    canvas = &c;
    engine().currentView = this;
    applyBandAlign(Point{});
}

void TfrView::AttachCanvasToWrite(Canvas& c) {
    canvas = &c;
    engine().currentView = this;
    BandContext* band = engine().currentBand;
    applyBandAlign(band && band == parentBand ? band->placementShift() : Point{});
}

void TfrView::applyBandAlign(Point neighbourShift) {
    if (BandAlign == kAlignNone || BandAlign == kAlignBottom || BandAlign == kAlignTop || BandAlign > kAlignRest)
        return;  // bottom and top only concern editing tools
    PageContext* pg = page ? page : engine().currentPage;
    if (!pg) return;
    const std::int64_t leftEdge = pg->printableLeft(), rightEdge = pg->printableRight();

    if (BandAlign == kAlignCenter) {
        Left = clampToInt(leftEdge + (rightEdge - leftEdge - Width) / 2);
        return;
    }
    if (BandAlign == kAlignWidth) {
        if (engine().documentMode && !engine().currentBand) {
            Left = clampToInt(leftEdge);
            Width = clampToInt(std::max<std::int64_t>(0, rightEdge - leftEdge - 1));
        }
        return;
    }

    // Neighbours on the same row, sorted by Left, where this view stands:
    // while a band is built, the views of that band only, each moved by what
    // the band adds to this one.
    struct Neighbour {
        std::int64_t left, width;
        std::uint8_t align;
    };
    std::vector<Neighbour> row;
    for (const TfrView* v : pg->objects())
        if (v && v != this && v->parentBand == parentBand && std::int64_t{v->Top} + neighbourShift.y == Top)
            row.push_back(Neighbour{std::int64_t{v->Left} + neighbourShift.x, v->Width, v->BandAlign});
    std::stable_sort(row.begin(), row.end(), [](const Neighbour& a, const Neighbour& b) { return a.left < b.left; });

    auto leftRule = [&]() -> std::int64_t {
        const Neighbour* nearest = nullptr;
        for (const Neighbour& v : row)
            if (v.align == kAlignLeft && v.left < Left) nearest = &v;
        return nearest ? nearest->left + nearest->width : leftEdge;
    };
    auto rightRule = [&]() -> std::int64_t {
        for (const Neighbour& v : row)
            if (v.align == kAlignRight && v.left > Left) return v.left - 1;
        return rightEdge;
    };

    if (BandAlign == kAlignLeft) {
        Left = clampToInt(leftRule());
        // A view pushed past the right edge keeps what room is left, never
        // a negative width.
        if (std::int64_t{Left} + Width > rightEdge) Width = clampToInt(std::max<std::int64_t>(0, rightEdge - Left));
    } else if (BandAlign == kAlignRight) {
        Left = clampToInt(rightRule() - Width);
    } else if (BandAlign == kAlignRest) {
        const std::int64_t right = rightRule();
        Left = clampToInt(leftRule());
        Width = clampToInt(std::max<std::int64_t>(0, right - Left));
    }
}

int TfrView::textCharset() const { return engine().defaultCharset; }

std::string TfrView::ExpandBrackets(const std::string& text) {
    auto expand = engine().expandBrackets;
    if (!expand) throw Error("Вычисление выражений недоступно");
    return expand(*this, text);
}

void TfrView::MakeUniqueName() {
    std::unordered_set<std::string> taken;
    if (ReportContext* r = engine().currentReport)
        for (const TfrView* v : r->allObjects())
            if (v) taken.insert(v->Name);
    for (int i = 1; i <= 10000; ++i) {
        std::string candidate = baseName + std::to_string(i);
        if (!taken.count(candidate)) {
            SetProperty("Name", Variant(candidate));
            return;
        }
    }
}

void TfrView::WriteToPage(StreamWriter& out) {
    AttachCanvasToWrite(engineMeasureCanvas());
    workLines = Memo;
    if (ReportContext* r = engine().currentReport) {
        r->beforePrint(workLines, *this);
        r->runScript(scriptLines, *this);
    }
    if (!Visible) return;
    TagGuard keepTag(tagText);
    if (!tagText.empty()) tagText = ExpandBrackets(tagText);
    if (BandContext* band = engine().currentBand) {
        const Rect b = band->bandRect();
        if (BandAlign == kAlignBottom) Top = clampToInt(std::int64_t{b.bottom} - Height);
        else if (BandAlign == kAlignTop) Top = b.top;
        else if (BandAlign == kAlignWidth && band->isCrossBand()) Width = b.width();
    }
    out.u8(objectKind);
    if (objectKind == kKindNamedClass) out.vtext(className());
    SaveToStream(out);
}

void TfrView::Export() {
    if (ReportContext* r = engine().currentReport)
        if (ExportSink* sink = r->exportSink()) sink->exportView(*this, Left, Top);
}

Variant TfrStretcheable::CallMethod(std::string_view name, const Variant& arg1, const Variant& arg2,
                                    const Variant& arg3) {
    if (sameName(name, "CALCHEIGHT")) return Variant(CalcHeight());
    return TfrView::CallMethod(name, arg1, arg2, arg3);
}

}  // namespace quor
