#include "platform/recording_canvas.h"

#include <QTransform>

#include <algorithm>
#include <climits>

#include "platform/codepage.h"
#include "platform/numbers.h"

namespace quor {
namespace {

QImage measuringImage(int dpi) {
    QImage img(1, 1, QImage::Format_ARGB32);
    const int dpm = roundInt(dpi / 0.0254);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    return img;
}

Rect unbounded() { return Rect{INT_MIN / 4, INT_MIN / 4, INT_MAX / 4, INT_MAX / 4}; }

}  // namespace

RecordingCanvas::RecordingCanvas(int dpi, bool printer, Rect surface)
    : RecordingCanvas(measuringImage(dpi), dpi, printer, surface) {}

RecordingCanvas::RecordingCanvas(QImage device, int dpi, bool printer, Rect surface)
    : detail::RecordingDevice{std::move(device)},
      CanvasBase(&this->device, dpi, dpi, surface.isEmpty() ? unbounded() : surface),
      printer_(printer) {}

void RecordingCanvas::textOut(int x, int y, std::string_view bytes, const Rect* clip, unsigned options) {
    RecordedText t;
    t.x = x;
    t.y = y;
    t.bytes = std::string(bytes);
    t.options = options;
    recordText(std::move(t), clip);
}

void RecordingCanvas::textOutW(int x, int y, std::u16string_view text, const Rect* clip, unsigned options) {
    RecordedText t;
    t.x = x;
    t.y = y;
    t.wide = std::u16string(text);
    t.bytes = unicodeToBytes(text, codePageForCharset(font().charset));
    t.options = options;
    recordText(std::move(t), clip);
}

void RecordingCanvas::recordText(RecordedText t, const Rect* clip) {
    t.font = font();
    t.color = textColor();
    t.charExtra = textCharacterExtra();
    if (clip) {
        t.clipped = (t.options & kTextClipped) != 0;
        t.clip = *clip;
    }
    t.justifyExtra = textJustificationExtra();
    // A justified piece is measured at once: its spreading depends on state
    // the record does not keep. Every other piece waits until it is read.
    if (t.justifyExtra != 0) t.bounds = measuredCell(t);
    else pending_.push_back(ops_.size());
    ops_.emplace_back(std::move(t));
}

Rect RecordingCanvas::measuredCell(const RecordedText& t) const {
    const TextLayout layout =
        t.wide.empty() ? layoutText(t.bytes)
                       : layoutText(QString::fromUtf16(t.wide.data(), static_cast<qsizetype>(t.wide.size())));
    const QRect cell(0, 0, roundInt(layout.width), measurer().metrics().height);
    QTransform turn;
    turn.translate(t.x, t.y);
    if (t.font.escapement != 0) turn.rotate(-t.font.escapement / 10.0);
    return fromQRect(turn.mapRect(cell));
}

void RecordingCanvas::measure(std::span<const std::size_t> indexes) {
    // Each piece is measured with the font and spacing it was drawn with
    // (never justified: those were measured at once); the drawing state is
    // put back afterwards.
    save();
    setTextJustification(0, 0);
    for (std::size_t index : indexes) {
        auto& t = std::get<RecordedText>(ops_[index]);
        if (!(font() == t.font)) setFont(t.font);
        setTextCharacterExtra(t.charExtra);
        t.bounds = measuredCell(t);
    }
    restore();
}

void RecordingCanvas::measurePendingText() {
    if (pending_.empty()) return;
    measure(pending_);
    pending_.clear();
}

Rect RecordingCanvas::textBounds(std::size_t index) {
    auto* t = index < ops_.size() ? std::get_if<RecordedText>(&ops_[index]) : nullptr;
    if (!t) return Rect{};
    const auto waiting = std::lower_bound(pending_.begin(), pending_.end(), index);
    if (waiting != pending_.end() && *waiting == index) {
        measure(std::span<const std::size_t>(&index, 1));
        pending_.erase(waiting);
    }
    return t->bounds;
}

void RecordingCanvas::fillRect(const Rect& r) {
    if (brush().hollow || r.isEmpty()) return;
    ops_.emplace_back(RecordedFill{r, brush().color});
}

void RecordingCanvas::rectangle(const Rect& r) { ops_.emplace_back(RecordedRectangle{r, pen(), brush()}); }

void RecordingCanvas::line(int x1, int y1, int x2, int y2) {
    ops_.emplace_back(RecordedLine{{x1, y1}, {x2, y2}, pen()});
}

void RecordingCanvas::polyline(const std::vector<Point>& points) {
    ops_.emplace_back(RecordedShape{RecordedShape::Polyline, points, pen(), brush()});
}

void RecordingCanvas::polygon(const std::vector<Point>& points, bool) {
    ops_.emplace_back(RecordedShape{RecordedShape::Polygon, points, pen(), brush()});
}

void RecordingCanvas::ellipse(const Rect& r) {
    ops_.emplace_back(RecordedShape{RecordedShape::Ellipse, {{r.left, r.top}, {r.right, r.bottom}}, pen(), brush()});
}

void RecordingCanvas::drawPath(const CanvasPath& path, bool fill, bool stroke, bool winding) {
    ops_.emplace_back(RecordedPath{path, fill, stroke, winding, pen(), brush()});
}

void RecordingCanvas::drawImage(const Rect& dest, const RasterImage& image, bool smooth) {
    ops_.emplace_back(RecordedImage{dest, image.width, image.height, smooth});
}

}  // namespace quor
