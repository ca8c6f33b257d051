#include "platform/recording_canvas.h"

#include <QTransform>

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
    recordText(std::move(t), layoutText(bytes), clip);
}

void RecordingCanvas::textOutW(int x, int y, std::u16string_view text, const Rect* clip, unsigned options) {
    RecordedText t;
    t.x = x;
    t.y = y;
    t.wide = std::u16string(text);
    t.bytes = unicodeToBytes(text, codePageForCharset(font().charset));
    t.options = options;
    recordText(std::move(t), layoutText(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()))),
               clip);
}

void RecordingCanvas::recordText(RecordedText t, const TextLayout& layout, const Rect* clip) {
    const unsigned options = t.options;
    const int x = t.x, y = t.y;
    t.font = font();
    t.color = textColor();
    t.charExtra = textCharacterExtra();
    if (clip) {
        t.clipped = (options & kTextClipped) != 0;
        t.clip = *clip;
    }
    const int w = roundInt(layout.width);
    const int h = measurer().metrics().height;
    t.justifyExtra = textJustificationExtra();
    QRect cell(0, 0, w, h);
    QTransform turn;
    turn.translate(x, y);
    if (font().escapement != 0) turn.rotate(-font().escapement / 10.0);
    t.bounds = fromQRect(turn.mapRect(cell));
    ops_.emplace_back(std::move(t));
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
