#pragma once

// A canvas over any QPaintDevice: a QImage (measuring, tests), the preview
// widget or the PDF writer of a print job. Shapes are drawn without
// antialiasing, on whole device pixels as the drawing model does; text is
// drawn as text (it stays selectable in a PDF): a line the font's byte table
// covers as glyph runs placed from the table, anything else shaped by Qt.

#include <QPainter>

#include <memory>
#include <optional>
#include <vector>

#include "platform/canvas_base.h"

class QPaintDevice;

namespace quor {

class QPainterCanvas : public CanvasBase {
public:
    // Paints on the device with a painter of its own, begun here and ended
    // when the canvas goes.
    explicit QPainterCanvas(QPaintDevice* device, bool printer = false);
    // Paints through a painter that is already active (a widget's paint
    // event, a print job between pages); its state is put back at the end.
    explicit QPainterCanvas(QPainter& painter, bool printer = false);
    ~QPainterCanvas() override;

    bool isPrinter() const override { return printer_; }
    QPainter& painter() { return *painter_; }
    // Off: every line is shaped by Qt, as text was drawn before the byte
    // tables (to compare the two ways).
    void drawTextFromTables(bool on) { fromTables_ = on; }

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

protected:
    void clipChanged() override;
    void saveDevice() override { painter_->save(); }
    void restoreDevice() override { painter_->restore(); }

private:
    QPainterCanvas(QPaintDevice* device, std::unique_ptr<QPainter> own, QPainter* painter, bool printer);
    // Pen and brush as Qt sees them; false when the pen draws nothing.
    bool applyPen();
    void applyBrush();
    void applyMode();
    void drawLayout(int x, int y, const TextLayout& layout, const Rect* clip, unsigned options);
    void drawGlyphRuns(const TextLayout& layout, const QPointF& baseline);
    // Whether a line placed on the device by `toDevice` can leave ink in
    // the visible part of the device (device coordinates).
    bool reaches(const TextLayout& layout, const QTransform& toDevice, const QRectF& visible) const;
    // The canvas's clip narrowed to a text line's rectangle (none: the
    // canvas's clip alone); kept on the painter until something else draws.
    void useTextClip(const Rect* clip);

    std::unique_ptr<QPainter> ownPainter_;
    QPainter* painter_;
    bool printer_;
    bool rasterOps_;
    bool fromTables_ = true;
    std::optional<Rect> textClip_;
    std::vector<quint32> glyphs_;
    std::vector<QPointF> positions_;
};

// Dash pattern of a pen style in device pixels at a resolution (empty for
// solid and null pens).
QVector<qreal> dashPatternFor(PenStyle style, int dpi);

}  // namespace quor
