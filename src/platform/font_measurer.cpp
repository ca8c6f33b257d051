#include "platform/font_measurer.h"

#include <QFontMetrics>
#include <QPaintDevice>

#include <algorithm>
#include <cmath>

#include "platform/codepage.h"
#include "platform/numbers.h"

namespace quor {
namespace {

constexpr int kMaxPixelSize = 16384;

QFont baseFont(const FontSpec& f) {
    QFont q(QString::fromStdString(f.name));
    // Unhinted outlines measure the same on every device; kerning is off
    // because the drawing model adds plain advance widths.
    q.setHintingPreference(QFont::PreferNoHinting);
    q.setKerning(false);
    q.setBold(f.style & kFontBold);
    q.setItalic(f.style & kFontItalic);
    q.setUnderline(f.style & kFontUnderline);
    q.setStrikeOut(f.style & kFontStrikeOut);
    return q;
}

}  // namespace

QColor toQColor(Color c) {
    if (c & 0x80000000u) {
        // A system colour index; only the button face occurs in our streams.
        return (c & 0xFF) == 15 ? QColor(0xF0, 0xF0, 0xF0) : QColor(Qt::black);
    }
    return QColor(colorRed(c), colorGreen(c), colorBlue(c));
}

int FontMeasurer::pixelSizeFor(const FontSpec& f, int dpiY) {
    double px;
    if (f.height < 0) {
        px = -static_cast<double>(f.height);
    } else if (f.height > 0) {
        // Cell height: scale the em so that ascent + descent fill it.
        QFont q = baseFont(f);
        q.setPixelSize(1000);
        QFontMetricsF fm(q);
        double cell = fm.ascent() + fm.descent();
        px = cell > 0 ? f.height * 1000.0 / cell : f.height;
        px = std::round(px);
    } else {
        // Point size at the surface's resolution, halves away from zero as
        // the platform's integer scaling does.
        px = std::round(static_cast<double>(f.pointSize) * dpiY / 72.0);
    }
    return static_cast<int>(std::clamp(px, 1.0, static_cast<double>(kMaxPixelSize)));
}

FontMeasurer::FontMeasurer(const QPaintDevice* device, int dpiY) : device_(device), dpiY_(dpiY) {
    setFont(FontSpec{});
}

void FontMeasurer::setFont(const FontSpec& font) {
    if (fm_ && font == spec_) return;
    spec_ = font;
    qfont_ = baseFont(font);
    qfont_.setPixelSize(pixelSizeFor(font, dpiY_));
    fm_.emplace(qfont_, const_cast<QPaintDevice*>(device_));
    metrics_.reset();
    table_.reset();
}

const FontTable& FontMeasurer::table() const {
    if (!table_) table_ = FontTable::of(qfont_, codePageForCharset(spec_.charset));
    return *table_;
}

QFont FontMeasurer::qfontWithSpacing(int extra) const {
    QFont q = qfont_;
    if (extra != 0) q.setLetterSpacing(QFont::AbsoluteSpacing, extra);
    return q;
}

const FontMetrics& FontMeasurer::metrics() const {
    if (metrics_) return *metrics_;
    QFontMetrics fm(qfont_, const_cast<QPaintDevice*>(device_));
    FontMetrics& m = metrics_.emplace();
    m.ascent = fm.ascent();
    m.descent = fm.descent();
    m.height = m.ascent + m.descent;
    m.internalLeading = std::max(0, m.height - qfont_.pixelSize());
    m.averageCharWidth = fm.averageCharWidth();
    return m;
}

QString FontMeasurer::toQString(std::string_view bytes) const {
    return bytesToQString(bytes, spec_.charset);
}

double FontMeasurer::advance(const QString& text) const {
    return text.isEmpty() ? 0.0 : fm_->horizontalAdvance(text);
}

double FontMeasurer::advance(std::string_view bytes) const {
    const FontTable& t = table();
    return t.covers(bytes) ? t.advance(bytes) : advance(toQString(bytes));
}

int FontMeasurer::textWidth(std::string_view bytes, int extra) const {
    return roundInt(advance(bytes) + static_cast<double>(extra) * static_cast<double>(bytes.size()));
}

Size FontMeasurer::textExtent(std::string_view bytes, int extra) const {
    if (bytes.empty()) return {};
    int lineHeight = metrics().height;
    int width = 0, lines = 0;
    size_t start = 0;
    for (;;) {
        // A plain scan: find_first_of looks up the set for every byte.
        size_t end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        width = std::max(width, textWidth(bytes.substr(start, end - start), extra));
        ++lines;
        if (end == bytes.size()) break;
        start = end + ((bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1);
    }
    return {width, lines * lineHeight};
}

}  // namespace quor
