#include "platform/canvas_base.h"

#include "platform/numbers.h"

namespace quor {

// Through the corners, never the sizes: a rectangle from a damaged page may
// span more than the int range.
QRect toQRect(const Rect& r) {
    return QRect(QPoint(r.left, r.top),
                 QPoint(clampToInt(std::int64_t{r.right} - 1), clampToInt(std::int64_t{r.bottom} - 1)));
}
Rect fromQRect(const QRect& r) {
    return Rect{r.left(), r.top(), clampToInt(std::int64_t{r.right()} + 1), clampToInt(std::int64_t{r.bottom()} + 1)};
}

CanvasBase::CanvasBase(const QPaintDevice* measuringDevice, int dpiX, int dpiY, Rect deviceRect)
    : measurer_(measuringDevice, dpiY), dpiX_(dpiX), dpiY_(dpiY), deviceRect_(deviceRect) {
    measurer_.setFont(st_.font);
}

void CanvasBase::setFont(const FontSpec& font) {
    st_.font = font;
    st_.textColor = font.color;
    measurer_.setFont(font);
}

int CanvasBase::textWidth(std::string_view bytes) { return measurer_.textWidth(bytes, st_.charExtra); }

int CanvasBase::textWidthW(std::u16string_view text) {
    QString q = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    return roundInt(measurer_.advance(q) + static_cast<double>(st_.charExtra) * static_cast<double>(q.size()));
}

Size CanvasBase::textExtent(std::string_view bytes) { return measurer_.textExtent(bytes, st_.charExtra); }

void CanvasBase::setTextJustification(int extraPixels, int spaceCount) {
    st_.justifyExtra = spaceCount > 0 ? extraPixels : 0;
    st_.justifySpaces = spaceCount > 0 ? spaceCount : 0;
}

CanvasBase::TextLayout CanvasBase::layoutText(std::string_view bytes) const {
    // One UTF-16 unit per byte, and a space stays a space.
    return layoutText(measurer_.toQString(bytes));
}

CanvasBase::TextLayout CanvasBase::layoutText(const QString& text) const {
    TextLayout out;
    const double extra = st_.charExtra;
    const std::u16string_view units(reinterpret_cast<const char16_t*>(text.utf16()),
                                    static_cast<size_t>(text.size()));
    if (st_.justifySpaces <= 0 || st_.justifyExtra == 0 || units.find(u' ') == std::u16string_view::npos) {
        out.width = measurer_.advance(text) + extra * static_cast<double>(text.size());
        out.runs.push_back({std::move(text), 0});
        return out;
    }
    // Every space gets extra / spaces pixels; the first (extra mod spaces)
    // spaces one pixel more, so the whole spread is exact.
    const int share = st_.justifyExtra / st_.justifySpaces;
    int remainder = st_.justifyExtra % st_.justifySpaces;
    const int step = remainder < 0 ? -1 : 1;
    const double spaceAdvance = measurer_.advance(QStringLiteral(" ")) + extra;
    double x = 0;
    size_t i = 0;
    while (i < units.size()) {
        if (units[i] == u' ') {
            x += spaceAdvance + share;
            if (remainder != 0) {
                x += step;
                remainder -= step;
            }
            ++i;
            continue;
        }
        size_t end = units.find(u' ', i);
        if (end == std::u16string_view::npos) end = units.size();
        QString run = text.mid(static_cast<qsizetype>(i), static_cast<qsizetype>(end - i));
        double w = measurer_.advance(run) + extra * static_cast<double>(run.size());
        out.runs.push_back({std::move(run), x});
        x += w;
        i = end;
    }
    out.width = x;
    return out;
}

void CanvasBase::save() {
    stack_.push_back(st_);
    saveDevice();
}

void CanvasBase::restore() {
    if (stack_.empty()) return;
    st_ = std::move(stack_.back());
    stack_.pop_back();
    measurer_.setFont(st_.font);
    restoreDevice();
    clipChanged();
}

void CanvasBase::intersectClipRect(const Rect& r) {
    QRegion base = st_.clipped ? st_.clip : QRegion(toQRect(deviceRect_));
    st_.clip = base.intersected(toQRect(r));
    st_.clipped = true;
    clipChanged();
}

void CanvasBase::excludeClipRect(const Rect& r) {
    QRegion base = st_.clipped ? st_.clip : QRegion(toQRect(deviceRect_));
    st_.clip = base.subtracted(toQRect(r));
    st_.clipped = true;
    clipChanged();
}

Rect CanvasBase::clipBox() const {
    if (!st_.clipped) return deviceRect_;
    return fromQRect(st_.clip.boundingRect());
}

bool CanvasBase::rectVisible(const Rect& r) const {
    if (r.isEmpty()) return false;
    if (!st_.clipped) return deviceRect_.intersects(r);
    return st_.clip.intersects(toQRect(r));
}

}  // namespace quor
