#pragma once

// Fonts and text measuring shared by the Qt-backed canvases: turns a FontSpec
// into a QFont for a surface of a given resolution and measures byte strings
// the way the drawing model expects (integer results, extra character
// spacing counted after every character, no tab expansion). Bytes are
// measured from the font's byte table; only text the table does not cover
// is shaped.

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include <memory>
#include <optional>
#include <string_view>

#include "platform/canvas.h"
#include "platform/font_table.h"

class QPaintDevice;

namespace quor {

class FontMeasurer {
public:
    // The device must outlive the measurer; dpiY converts point sizes.
    FontMeasurer(const QPaintDevice* device, int dpiY);

    void setFont(const FontSpec& font);
    const FontSpec& font() const { return spec_; }
    // The font as Qt draws it, without letter spacing.
    const QFont& qfont() const { return qfont_; }
    // The same font with `extra` pixels after every character.
    QFont qfontWithSpacing(int extra) const;
    int pixelSize() const { return qfont_.pixelSize(); }

    const FontMetrics& metrics() const;
    QString toQString(std::string_view bytes) const;
    // The byte table of the font as set, for its character set (built on
    // first use, shared with every surface that sets the same font).
    const FontTable& table() const;

    // Fractional advance of the bytes without extra spacing.
    double advance(std::string_view bytes) const;
    double advance(const QString& text) const;
    // Whole pixels, extra spacing included.
    int textWidth(std::string_view bytes, int extra) const;
    Size textExtent(std::string_view bytes, int extra) const;

    // The pixel size of a FontSpec at a resolution: a negative height is
    // the character height, a positive one the cell height, 0 the point
    // size. Kept within what Qt renders sanely.
    static int pixelSizeFor(const FontSpec& font, int dpiY);

private:
    const QPaintDevice* device_;
    int dpiY_;
    FontSpec spec_;
    QFont qfont_;
    std::optional<QFontMetricsF> fm_;
    mutable std::optional<FontMetrics> metrics_;
    mutable std::shared_ptr<const FontTable> table_;
};

// Qt colour for one of ours (system colours resolve to their usual values).
QColor toQColor(Color c);

}  // namespace quor
