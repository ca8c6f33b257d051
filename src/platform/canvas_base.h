#pragma once

// The state part of the drawing model, shared by every Qt-backed canvas:
// selected font, pen and brush, background, text colour, extra character
// spacing, space justification and the clip region, with save/restore.
// Subclasses only draw.

#include <QRegion>
#include <QString>

#include <vector>

#include "platform/canvas.h"
#include "platform/font_measurer.h"

namespace quor {

class CanvasBase : public Canvas {
public:
    int dpiX() const override { return dpiX_; }
    int dpiY() const override { return dpiY_; }

    void setFont(const FontSpec& font) override;
    const FontSpec& font() const override { return st_.font; }
    FontMetrics fontMetrics() override { return measurer_.metrics(); }
    int textWidth(std::string_view bytes) override;
    int textWidthW(std::u16string_view text) override;
    Size textExtent(std::string_view bytes) override;
    void setTextCharacterExtra(int pixels) override { st_.charExtra = pixels; }
    int textCharacterExtra() const override { return st_.charExtra; }
    void setTextJustification(int extraPixels, int spaceCount) override;
    void setTextColor(Color color) override { st_.textColor = color; }

    void setPen(const PenSpec& pen) override { st_.pen = pen; }
    const PenSpec& pen() const override { return st_.pen; }
    void setBrush(const BrushSpec& brush) override { st_.brush = brush; }
    const BrushSpec& brush() const override { return st_.brush; }
    void setBackgroundMode(BackgroundMode mode) override { st_.bgMode = mode; }
    void setBackgroundColor(Color color) override { st_.bgColor = color; }

    void save() override;
    void restore() override;
    void intersectClipRect(const Rect& r) override;
    void excludeClipRect(const Rect& r) override;
    Rect clipBox() const override;
    bool rectVisible(const Rect& r) const override;

    Color textColor() const { return st_.textColor; }
    int textJustificationExtra() const { return st_.justifyExtra; }
    BackgroundMode backgroundMode() const { return st_.bgMode; }
    Color backgroundColor() const { return st_.bgColor; }

protected:
    CanvasBase(const QPaintDevice* measuringDevice, int dpiX, int dpiY, Rect deviceRect);

    // A piece of a text line (units start .. start + length of the layout's
    // bytes or text) placed at `x` pixels from the line's start.
    struct TextRun {
        qsizetype start = 0;
        qsizetype length = 0;
        double x = 0;
    };
    // A line ready to draw: from the font's byte table (glyphs of `bytes`,
    // no shaping) when `table` is set, else shaped from `text`.
    struct TextLayout {
        const FontTable* table = nullptr;
        std::string_view bytes;
        QString text;
        std::vector<TextRun> runs;
        double width = 0;  // drawn advance, spacing and justification included
    };
    // Splits a line at its spaces when a justification is in force, so that
    // each space can take its share of the extra pixels; else one run.
    // `shaped` asks for the shaping way even where the table would do.
    TextLayout layoutText(std::string_view bytes, bool shaped = false) const;
    TextLayout layoutText(const QString& text) const;

    // The clip region changed (after intersect, exclude or restore).
    virtual void clipChanged() {}
    // The painter-side part of save/restore.
    virtual void saveDevice() {}
    virtual void restoreDevice() {}

    const FontMeasurer& measurer() const { return measurer_; }
    bool clipped() const { return st_.clipped; }
    const QRegion& clipRegion() const { return st_.clip; }
    Rect deviceRect() const { return deviceRect_; }

private:
    struct State {
        FontSpec font;
        PenSpec pen;
        BrushSpec brush;
        BackgroundMode bgMode = BackgroundMode::Opaque;
        Color bgColor = 0xFFFFFF;
        Color textColor = 0;
        int charExtra = 0;
        int justifyExtra = 0;
        int justifySpaces = 0;
        bool clipped = false;
        QRegion clip;
    };
    State st_;
    std::vector<State> stack_;
    FontMeasurer measurer_;
    int dpiX_;
    int dpiY_;
    Rect deviceRect_;
};

QRect toQRect(const Rect& r);
// The same in fractions, whose sizes cannot overflow.
QRectF toQRectF(const Rect& r);
Rect fromQRect(const QRect& r);

}  // namespace quor
