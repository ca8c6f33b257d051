#include "platform/qpainter_canvas.h"

#include <QGlyphRun>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "platform/numbers.h"

namespace quor {
namespace {

Rect deviceBounds(const QPaintDevice* d) { return Rect{0, 0, d->width(), d->height()}; }

QPolygon toQPolygon(const std::vector<Point>& points) {
    QPolygon p(static_cast<int>(points.size()));
    for (size_t i = 0; i < points.size(); ++i) p.setPoint(static_cast<int>(i), points[i].x, points[i].y);
    return p;
}

}  // namespace

QVector<qreal> dashPatternFor(PenStyle style, int dpi) {
    // The platform's cosmetic patterns at 96 dpi, kept at their length on
    // finer devices.
    QVector<qreal> base;
    switch (style) {
    case PenStyle::Dash: base = {18, 6}; break;
    case PenStyle::Dot: base = {3, 3}; break;
    case PenStyle::DashDot: base = {9, 6, 3, 6}; break;
    case PenStyle::DashDotDot: base = {9, 3, 3, 3, 3, 3}; break;
    case PenStyle::Solid:
    case PenStyle::Null: return {};
    }
    const qreal k = std::max(1, roundInt(dpi / 96.0));
    for (auto& v : base) v *= k;
    return base;
}

QPainterCanvas::QPainterCanvas(QPaintDevice* device, std::unique_ptr<QPainter> own, QPainter* painter,
                               bool printer)
    : CanvasBase(device, device->logicalDpiX(), device->logicalDpiY(), deviceBounds(device)),
      ownPainter_(std::move(own)),
      painter_(painter ? painter : ownPainter_.get()),
      printer_(printer) {
    painter_->save();
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
    QPaintEngine* engine = painter_->paintEngine();
    rasterOps_ = engine && engine->hasFeature(QPaintEngine::RasterOpModes);
    if (painter_->hasClipping()) {
        // Start from the clip the owner of the painter already set.
        QRegion r = painter_->clipRegion();
        intersectClipRect(fromQRect(r.boundingRect()));
    }
}

QPainterCanvas::QPainterCanvas(QPaintDevice* device, bool printer)
    : QPainterCanvas(device, std::make_unique<QPainter>(device), nullptr, printer) {}

QPainterCanvas::QPainterCanvas(QPainter& painter, bool printer)
    : QPainterCanvas(painter.device(), nullptr, &painter, printer) {}

QPainterCanvas::~QPainterCanvas() {
    painter_->restore();
    if (ownPainter_) ownPainter_->end();
}

void QPainterCanvas::clipChanged() {
    textClip_.reset();
    if (clipped()) painter_->setClipRegion(clipRegion());
    else painter_->setClipping(false);
}

void QPainterCanvas::applyMode() {
    painter_->setCompositionMode(pen().mode == PenMode::Xor && rasterOps_
                                     ? QPainter::RasterOp_SourceXorDestination
                                     : QPainter::CompositionMode_SourceOver);
}

bool QPainterCanvas::applyPen() {
    const PenSpec& p = pen();
    applyMode();
    if (p.style == PenStyle::Null) {
        painter_->setPen(Qt::NoPen);
        return false;
    }
    QPen q(toQColor(p.color));
    const int width = std::max(1, p.width);
    q.setWidth(width);
    q.setJoinStyle(Qt::MiterJoin);
    q.setCapStyle(width > 1 ? Qt::RoundCap : Qt::FlatCap);
    // The drawing model draws wide pens solid whatever their style.
    if (width == 1 && p.style != PenStyle::Solid) q.setDashPattern(dashPatternFor(p.style, dpiX()));
    painter_->setPen(q);
    painter_->setBackgroundMode(backgroundMode() == BackgroundMode::Opaque ? Qt::OpaqueMode
                                                                            : Qt::TransparentMode);
    painter_->setBackground(toQColor(backgroundColor()));
    return true;
}

void QPainterCanvas::applyBrush() {
    const BrushSpec& b = brush();
    if (b.hollow) painter_->setBrush(Qt::NoBrush);
    else painter_->setBrush(toQColor(b.color));
}

void QPainterCanvas::textOut(int x, int y, std::string_view bytes, const Rect* clip, unsigned options) {
    // Right-to-left order and decorations (drawn along the shaped text) take
    // the shaping way.
    const bool shaped =
        !fromTables_ || (options & kTextRtlReading) || (font().style & (kFontUnderline | kFontStrikeOut));
    drawLayout(x, y, bytes.empty() ? TextLayout{} : layoutText(bytes, shaped), clip, options);
}

void QPainterCanvas::textOutW(int x, int y, std::u16string_view text, const Rect* clip, unsigned options) {
    QString q = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    drawLayout(x, y, text.empty() ? TextLayout{} : layoutText(q), clip, options);
}

void QPainterCanvas::useTextClip(const Rect* clip) {
    if (clip ? textClip_ == *clip : !textClip_) return;
    // The same calls as clipping each line anew, made once for the lines
    // that share a rectangle: Qt writes a PDF's clip path at each change.
    clipChanged();
    if (clip) {
        painter_->setClipRect(toQRect(*clip), Qt::IntersectClip);
        textClip_ = *clip;
    }
}

void QPainterCanvas::drawLayout(int x, int y, const TextLayout& layout, const Rect* clip, unsigned options) {
    const bool clipped = clip && (options & kTextClipped);
    // Lines are drawn without saving the painter: clip, pen and mode stay
    // set for the next line (saving and restoring makes Qt rewrite the
    // graphics state of a PDF for every line).
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (clip && (options & kTextOpaque)) {
        useTextClip(nullptr);
        painter_->fillRect(toQRect(*clip), toQColor(backgroundColor()));
    }
    useTextClip(clipped ? clip : nullptr);
    if (layout.runs.empty()) return;
    const FontMetrics& fm = measurer().metrics();
    QRectF visible(0, 0, painter_->device()->width(), painter_->device()->height());
    if (clipped) visible &= painter_->combinedTransform().mapRect(toQRectF(*clip));
    // Upright lines are placed by their origin, turned ones by turning the
    // painter about it.
    const bool turned = font().escapement != 0;
    QTransform place = QTransform::fromTranslate(x, y);
    if (turned) {
        painter_->save();
        painter_->translate(x, y);
        painter_->rotate(-font().escapement / 10.0);
        place = QTransform();
    }
    const QPointF origin = place.map(QPointF(0, 0));
    if (backgroundMode() == BackgroundMode::Opaque)
        painter_->fillRect(QRectF(origin.x(), origin.y(), layout.width, fm.height), toQColor(backgroundColor()));
    if (reaches(layout, place * painter_->combinedTransform(), visible)) {
        painter_->setPen(toQColor(textColor()));
        painter_->setBackgroundMode(Qt::TransparentMode);
        const QPointF baseline = origin + QPointF(0, fm.ascent);
        if (layout.table) {
            drawGlyphRuns(layout, baseline);
        } else {
            painter_->setFont(measurer().qfontWithSpacing(textCharacterExtra()));
            const Qt::LayoutDirection direction = painter_->layoutDirection();
            if (options & kTextRtlReading) painter_->setLayoutDirection(Qt::RightToLeft);
            for (const TextRun& run : layout.runs)
                painter_->drawText(baseline + QPointF(run.x, 0), layout.text.mid(run.start, run.length));
            painter_->setLayoutDirection(direction);
        }
    }
    if (turned) painter_->restore();
}

bool QPainterCanvas::reaches(const TextLayout& layout, const QTransform& toDevice, const QRectF& visible) const {
    // The cell with an em of room on every side for ink beyond it; the
    // measuring surface (16 x 16 pixels) is drawn on too, and most lines
    // miss it by far.
    const FontMetrics& fm = measurer().metrics();
    const double room = std::max(measurer().pixelSize(), fm.height);
    const QRectF cell(std::min(0.0, layout.width) - room, -room, std::abs(layout.width) + 2 * room,
                      fm.height + 2 * room);
    return toDevice.mapRect(cell).intersects(visible);
}

void QPainterCanvas::drawGlyphRuns(const TextLayout& layout, const QPointF& baseline) {
    // Each glyph where the shaper would put it: the sum of the advances
    // before it, extra spacing after every character. The arrays are the
    // canvas's, reused from line to line.
    const FontTable& table = *layout.table;
    const double extra = textCharacterExtra();
    QGlyphRun glyphRun;
    glyphRun.setRawFont(table.rawFont());
    for (const TextRun& run : layout.runs) {
        const auto n = static_cast<size_t>(run.length);
        glyphs_.resize(n);
        positions_.resize(n);
        double x = 0;
        for (size_t i = 0; i < n; ++i) {
            const auto byte = static_cast<unsigned char>(layout.bytes[static_cast<size_t>(run.start) + i]);
            glyphs_[i] = table.glyph(byte);
            positions_[i] = QPointF(x, 0);
            x += table.advance(byte) + extra;
        }
        glyphRun.setRawData(glyphs_.data(), positions_.data(), static_cast<int>(n));
        painter_->drawGlyphRun(baseline + QPointF(run.x, 0), glyphRun);
    }
}

void QPainterCanvas::fillRect(const Rect& r) {
    if (brush().hollow || r.isEmpty()) return;
    useTextClip(nullptr);
    // Filling copies the brush whatever the pen's mix mode.
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_->fillRect(toQRect(r), toQColor(brush().color));
}

void QPainterCanvas::rectangle(const Rect& r) {
    if (r.isEmpty()) return;
    useTextClip(nullptr);
    fillRect(r);
    if (!applyPen()) return;
    painter_->setBrush(Qt::NoBrush);
    const int w = std::max(1, pen().width);
    if (w == 1) {
        // Outline on the outermost pixels, right and bottom edge excluded.
        painter_->drawRect(QRect(r.left, r.top, r.width() - 1, r.height() - 1));
    } else {
        // A wide pen is centred on the mathematical outline.
        painter_->drawRect(QRectF(r.left, r.top, r.width() - 1, r.height() - 1));
    }
}

void QPainterCanvas::line(int x1, int y1, int x2, int y2) {
    useTextClip(nullptr);
    if (!applyPen()) return;
    if (std::max(1, pen().width) > 1) {
        painter_->drawLine(QPointF(x1, y1), QPointF(x2, y2));
        return;
    }
    // One-pixel lines leave out their end point, as an aliased flat-capped
    // Qt line does.
    if (x1 == x2 && y1 == y2) return;
    painter_->drawLine(QPoint(x1, y1), QPoint(x2, y2));
}

void QPainterCanvas::polyline(const std::vector<Point>& points) {
    if (points.size() < 2) return;
    for (size_t i = 1; i < points.size(); ++i) line(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
}

void QPainterCanvas::polygon(const std::vector<Point>& points, bool winding) {
    if (points.size() < 2) return;
    useTextClip(nullptr);
    applyBrush();
    if (!applyPen()) painter_->setPen(Qt::NoPen);
    painter_->drawPolygon(toQPolygon(points), winding ? Qt::WindingFill : Qt::OddEvenFill);
}

void QPainterCanvas::ellipse(const Rect& r) {
    if (r.isEmpty()) return;
    useTextClip(nullptr);
    applyBrush();
    if (!applyPen()) painter_->setPen(Qt::NoPen);
    painter_->drawEllipse(QRectF(r.left, r.top, r.width() - 1, r.height() - 1));
}

void QPainterCanvas::drawPath(const CanvasPath& path, bool fill, bool stroke, bool winding) {
    useTextClip(nullptr);
    QPainterPath q;
    q.setFillRule(winding ? Qt::WindingFill : Qt::OddEvenFill);
    size_t pi = 0;
    for (CanvasPath::Op op : path.ops) {
        switch (op) {
        case CanvasPath::Op::Move:
            if (pi + 1 > path.points.size()) break;
            q.moveTo(path.points[pi].x, path.points[pi].y);
            ++pi;
            break;
        case CanvasPath::Op::Line:
            if (pi + 1 > path.points.size()) break;
            q.lineTo(path.points[pi].x, path.points[pi].y);
            ++pi;
            break;
        case CanvasPath::Op::Bezier:
            if (pi + 3 > path.points.size()) break;
            q.cubicTo(path.points[pi].x, path.points[pi].y, path.points[pi + 1].x, path.points[pi + 1].y,
                      path.points[pi + 2].x, path.points[pi + 2].y);
            pi += 3;
            break;
        case CanvasPath::Op::Close: q.closeSubpath(); break;
        }
    }
    if (q.isEmpty()) return;
    if (fill && !brush().hollow) {
        applyMode();
        painter_->fillPath(q, toQColor(brush().color));
    }
    if (stroke && applyPen()) painter_->strokePath(q, painter_->pen());
}

void QPainterCanvas::drawImage(const Rect& dest, const RasterImage& image, bool smooth) {
    if (image.isNull() || dest.isEmpty()) return;
    useTextClip(nullptr);
    const size_t needed = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    if (image.pixels.size() < needed) return;
    QImage q(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
             static_cast<qsizetype>(image.width) * 4, QImage::Format_ARGB32);
    painter_->save();
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter_->drawImage(QRectF(dest.left, dest.top, dest.width(), dest.height()), q);
    painter_->restore();
}

}  // namespace quor
