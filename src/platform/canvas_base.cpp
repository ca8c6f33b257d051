#include "platform/canvas_base.h"

#include "platform/numbers.h"

namespace quor {

// Through the corners, never the sizes: a rectangle from a damaged page may
// span more than the int range.
QRect toQRect(const Rect& r) {
    return QRect(QPoint(r.left, r.top),
                 QPoint(clampToInt(std::int64_t{r.right} - 1), clampToInt(std::int64_t{r.bottom} - 1)));
}
QRectF toQRectF(const Rect& r) { return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)); }
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

namespace {

// Places the runs of a line: one run, or with a justification in force one
// per word, every space taking extra / spaces pixels and the first
// (extra mod spaces) spaces one pixel more, so that the whole spread is
// exact. `advance(start, length)` is the width of a piece, spacing included.
template <class Units, class Advance, class Run>
void placeRuns(Units units, int justifyExtra, int justifySpaces, double spaceAdvance, const Advance& advance,
               std::vector<Run>& runs, double& width) {
    const auto space = static_cast<typename Units::value_type>(' ');
    if (justifySpaces <= 0 || justifyExtra == 0 || units.find(space) == Units::npos) {
        width = advance(0, units.size());
        runs.push_back(Run{0, static_cast<qsizetype>(units.size()), 0});
        return;
    }
    const int share = justifyExtra / justifySpaces;
    int remainder = justifyExtra % justifySpaces;
    const int step = remainder < 0 ? -1 : 1;
    double x = 0;
    size_t i = 0;
    while (i < units.size()) {
        if (units[i] == space) {
            x += spaceAdvance + share;
            if (remainder != 0) {
                x += step;
                remainder -= step;
            }
            ++i;
            continue;
        }
        size_t end = units.find(space, i);
        if (end == Units::npos) end = units.size();
        runs.push_back(Run{static_cast<qsizetype>(i), static_cast<qsizetype>(end - i), x});
        x += advance(i, end - i);
        i = end;
    }
    width = x;
}

}  // namespace

CanvasBase::TextLayout CanvasBase::layoutText(std::string_view bytes, bool shaped) const {
    const FontTable& table = measurer_.table();
    if (shaped || !table.covers(bytes)) {
        // One UTF-16 unit per byte, and a space stays a space.
        return layoutText(measurer_.toQString(bytes));
    }
    TextLayout out;
    out.table = &table;
    out.bytes = bytes;
    const double extra = st_.charExtra;
    placeRuns(
        bytes, st_.justifyExtra, st_.justifySpaces, table.advance(static_cast<unsigned char>(' ')) + extra,
        [&](size_t start, size_t length) {
            return table.advance(bytes.substr(start, length)) + extra * static_cast<double>(length);
        },
        out.runs, out.width);
    return out;
}

CanvasBase::TextLayout CanvasBase::layoutText(const QString& text) const {
    TextLayout out;
    out.text = text;
    const double extra = st_.charExtra;
    const std::u16string_view units(reinterpret_cast<const char16_t*>(text.utf16()),
                                    static_cast<size_t>(text.size()));
    placeRuns(
        units, st_.justifyExtra, st_.justifySpaces, measurer_.advance(QStringLiteral(" ")) + extra,
        [&](size_t start, size_t length) {
            QString piece = text.mid(static_cast<qsizetype>(start), static_cast<qsizetype>(length));
            return measurer_.advance(piece) + extra * static_cast<double>(length);
        },
        out.runs, out.width);
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
