#pragma once

// A canvas that draws nothing and keeps an ordered list of what was drawn:
// text pieces with their bytes, font and bounding rectangle, lines, fills,
// rectangles, shapes and images. It measures text like a real surface of
// its resolution (96 dpi by default; 600 makes it a printer-like surface).
// The preview search and many tests read the list.
//
// Drawing text only records it: the bounds of the text pieces are measured
// when the list is first read, so a reader that needs the bytes of every
// piece but the bounds of a few (the search) measures only those.

#include <QImage>

#include <cstddef>
#include <span>
#include <variant>
#include <vector>

#include "platform/canvas_base.h"

namespace quor {

struct RecordedText {
    int x = 0, y = 0;
    std::string bytes;     // Unicode text: converted by the font's character set
    std::u16string wide;   // Unicode text as drawn (textOutW); empty for bytes
    FontSpec font;
    Color color = 0;
    Rect bounds;        // the drawn cell, spacing and justification included
    bool clipped = false;
    Rect clip;          // the clip rectangle passed with the text
    unsigned options = 0;
    int charExtra = 0;
    int justifyExtra = 0;  // justification in force while it was drawn
};
struct RecordedLine {
    Point from, to;
    PenSpec pen;
};
struct RecordedFill {
    Rect rect;
    Color color = 0;
};
struct RecordedRectangle {
    Rect rect;
    PenSpec pen;
    BrushSpec brush;
};
struct RecordedShape {
    enum Kind { Polyline, Polygon, Ellipse } kind = Polyline;
    std::vector<Point> points;  // the bounding corners for an ellipse
    PenSpec pen;
    BrushSpec brush;
};
struct RecordedPath {
    CanvasPath path;
    bool fill = false, stroke = false, winding = false;
    PenSpec pen;
    BrushSpec brush;
};
struct RecordedImage {
    Rect dest;
    int width = 0, height = 0;
    bool smooth = false;
};

using RecordedOp =
    std::variant<RecordedText, RecordedLine, RecordedFill, RecordedRectangle, RecordedShape, RecordedImage,
                 RecordedPath>;

namespace detail {
// Holds the measuring image so that it exists before the canvas base uses it.
struct RecordingDevice {
    QImage device;
};
}  // namespace detail

class RecordingCanvas : private detail::RecordingDevice, public CanvasBase {
public:
    // `surface` bounds the clip box; an empty one means "unbounded".
    explicit RecordingCanvas(int dpi = 96, bool printer = false, Rect surface = {});

    bool isPrinter() const override { return printer_; }
    bool isRecording() const override { return true; }

    void textOut(int x, int y, std::string_view bytes, const Rect* clip = nullptr,
                 unsigned options = 0) override;
    void textOutW(int x, int y, std::u16string_view text, const Rect* clip = nullptr,
                  unsigned options = 0) override;
    void fillRect(const Rect& r) override;
    void rectangle(const Rect& r) override;
    void line(int x1, int y1, int x2, int y2) override;
    void polyline(const std::vector<Point>& points) override;
    void polygon(const std::vector<Point>& points, bool winding = false) override;
    void ellipse(const Rect& r) override;
    void drawPath(const CanvasPath& path, bool fill, bool stroke, bool winding = false) override;
    void drawImage(const Rect& dest, const RasterImage& image, bool smooth) override;

    // Everything drawn, text bounds measured.
    const std::vector<RecordedOp>& ops() {
        measurePendingText();
        return ops_;
    }
    void clear() {
        ops_.clear();
        pending_.clear();
    }

    // The recorded items of one kind, in drawing order.
    template <class T>
    std::vector<T> all() {
        std::vector<T> out;
        for (const auto& op : ops())
            if (const T* t = std::get_if<T>(&op)) out.push_back(*t);
        return out;
    }

    // Everything drawn as it stands: a text piece's bounds are set only once
    // textBounds or ops has measured it.
    const std::vector<RecordedOp>& unmeasuredOps() const { return ops_; }
    // The bounds of the text piece at `index` of the list.
    Rect textBounds(std::size_t index);

private:
    RecordingCanvas(QImage device, int dpi, bool printer, Rect surface);
    void recordText(RecordedText t, const Rect* clip);
    void measurePendingText();
    // The drawn cell of a piece under the canvas's current font and spacing.
    Rect measuredCell(const RecordedText& t) const;
    // Sets the bounds of the text pieces at these list indexes.
    void measure(std::span<const std::size_t> indexes);

    bool printer_;
    std::vector<RecordedOp> ops_;
    // Text pieces (list indexes, ascending) whose bounds are not measured.
    std::vector<std::size_t> pending_;
};

}  // namespace quor
