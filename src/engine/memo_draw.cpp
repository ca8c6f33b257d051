#include "engine/memo_draw.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "engine/memo_layout.h"
#include "platform/numbers.h"

namespace quor {

int scaledFontHeight(int pointSize, const DrawScale& scale, int deviceDpiY) {
    // Negated in 64 bits: the most negative size has no positive twin.
    auto negated = [](std::int64_t v) { return clampToInt(-v); };
    if (scale.forPrinter) return negated(roundClamped(pointSize * static_cast<double>(deviceDpiY) / 72.0));
    const double pixels = pointSize * 96.0 / 72.0 * scale.y;
    return negated(scale.y == 1.0 ? roundClamped(pixels) : truncClamped(pixels));
}

int SelectScaledFont(Canvas& canvas, const FontSpec& font, const DrawScale& scale) {
    canvas.setBackgroundMode(BackgroundMode::Transparent);
    FontSpec f = font;
    f.height = scaledFontHeight(font.pointSize, scale, canvas.dpiY());
    canvas.setFont(f);
    canvas.setTextColor(f.color);
    return f.height;
}

int justificationSpaces(std::string_view text) {
    int n = 0;
    for (char c : text)
        if (c == ' ' || static_cast<unsigned char>(c) == 160) ++n;
    return n;
}

namespace {

// A line without its paragraph marker; empty lines also close a paragraph.
struct LineText {
    std::string_view text;
    bool paragraphEnd = false;
};

LineText splitMarker(std::string_view line) {
    LineText t{line, line.empty()};
    if (endsWithLineEnd(line)) {
        t.text.remove_suffix(1);
        t.paragraphEnd = true;
    }
    return t;
}

}  // namespace

DrawLinesResult DrawLines(Canvas& canvas, std::span<const std::string> lines, const ScaledBox& box,
                          const DrawScale& scale, const MemoTextFormat& format, int textHeight,
                          LinesMode mode, const LineExport& exportLine) {
    DrawLinesResult result;
    const bool fit = mode == LinesMode::Fit;
    const bool exporting = mode == LinesMode::Export;
    int fontHeight = 0;
    if (fit) {
        // Counting needs only the step; the measuring surface shows nothing.
        fontHeight = scaledFontHeight(format.font.pointSize, scale, canvas.dpiY());
    } else {
        fontHeight = SelectScaledFont(canvas, format.font, scale);
        canvas.setTextCharacterExtra(roundClamped(format.charSpacing * scale.x));
    }

    // 64-bit throughout: stored geometry may be anything, lines may be many.
    using I64 = std::int64_t;
    const Rect& fr = box.frameRect;
    const Rect clip{clampToInt(I64{fr.left} + 1), fr.top, clampToInt(I64{fr.right} - 2), clampToInt(I64{fr.bottom} - 1)};
    const I64 frameWidth = I64{fr.right} - fr.left, frameHeight = I64{fr.bottom} - fr.top;
    const I64 scaledTextHeight = roundClamped(textHeight * scale.y);

    const unsigned vertical = format.alignment & kMemoVerticalMask;
    const unsigned align = format.alignment & 7;
    const bool turned = (align & kMemoTurned) != 0;
    I64 left = box.left;
    I64 top = box.top;
    if (turned) {
        if (vertical == kMemoVCenter) left += (frameWidth - scaledTextHeight) / 2;
        else if (vertical == kMemoBottom) left = fr.right - scaledTextHeight;
    } else if (!fit) {
        if (vertical == kMemoVCenter) top += (frameHeight - scaledTextHeight) / 2;
        else if (vertical == kMemoBottom) top = fr.bottom - scaledTextHeight - 1;
    }
    const unsigned textOptions = kTextClipped | (format.rtlReading ? kTextRtlReading : 0u);
    const std::size_t count = lines.size();

    if (!turned) {
        I64 curY = top + box.gapY;
        const I64 step = I64{roundClamped(format.lineSpacing * scale.y)} - fontHeight;
        result.lineStep = clampToInt(step);
        for (std::size_t i = 0; i < count; ++i) {
            if (fit) {
                if (curY + step > clip.bottom) break;
            } else {
                const LineText line = splitMarker(lines[i]);
                // Left-aligned lines (the common case) need no width.
                const auto width = [&] { return I64{canvas.textWidth(line.text)}; };
                const auto room = [&] { return frameWidth - 2 * I64{box.gapX} - width(); };
                I64 x = left + box.gapX;
                bool justified = false;
                switch (align & kMemoHorizontalMask) {
                    case kMemoRight: x = frameWidth + left - 1 - box.gapX - width(); break;
                    case kMemoCenter: x = left + box.gapX + room() / 2; break;
                    case kMemoJustify: {
                        const int spaces = justificationSpaces(line.text);
                        if (!line.paragraphEnd && spaces > 0 && !exporting) {
                            canvas.setTextJustification(clampToInt(room()), spaces);
                            justified = true;
                        }
                        break;
                    }
                    default: break;
                }
                if (exporting) {
                    unsigned bits = box.frameTyp;
                    if (i > 0) bits &= ~8u;          // only the first line carries the top line
                    if (i + 1 < count) bits &= ~2u;  // only the last the bottom line
                    if (exportLine)
                        exportLine(ExportedLine{fr, clampToInt(x), clampToInt(curY), bits, line.text});
                } else {
                    canvas.textOut(clampToInt(x), clampToInt(curY), line.text, &clip, textOptions);
                }
                if (justified) canvas.setTextJustification(0, 0);
            }
            ++result.linesDrawn;
            curY += step;
        }
        return result;
    }

    // Turned text: lines run upward, one step to the right of each other.
    // There is no fit test: all lines count as placed.
    I64 curX = left + box.gapX;
    const I64 step = I64{roundClamped(format.lineSpacing * scale.x)} - fontHeight;
    result.lineStep = clampToInt(step);
    if (fit) {
        result.linesDrawn = static_cast<int>(count);
        return result;
    }
    FontSpec turnedFont = canvas.font();
    const FontSpec upright = turnedFont;
    turnedFont.escapement = 900;
    canvas.setFont(turnedFont);
    for (std::size_t i = 0; i < count; ++i) {
        const LineText line = splitMarker(lines[i]);
        const auto width = [&] { return I64{canvas.textWidth(line.text)}; };
        const auto room = [&] { return frameHeight - 2 * I64{box.gapY} - width(); };
        I64 y = I64{fr.bottom} - box.gapY;
        switch (align) {
            case kMemoTurned | kMemoRight: y = top + box.gapY + width(); break;
            case kMemoTurned | kMemoCenter: y = I64{fr.bottom} - box.gapY - room() / 2 - 1; break;
            case kMemoTurned | kMemoJustify: {
                y = top + frameHeight - box.gapY;
                const int spaces = justificationSpaces(line.text);
                if (!line.paragraphEnd && spaces > 0 && !exporting)
                    canvas.setTextJustification(clampToInt(room()), spaces);
                break;
            }
            default: break;
        }
        if (exporting) {
            if (exportLine)
                exportLine(ExportedLine{fr, clampToInt(curX), clampToInt(y), box.frameTyp, line.text});
        } else {
            canvas.textOut(clampToInt(curX), clampToInt(y), line.text, &clip, textOptions);
            canvas.setTextJustification(0, 0);
        }
        ++result.linesDrawn;
        curX += step;
    }
    canvas.setFont(upright);
    return result;
}

void DrawUnderlines(Canvas& canvas, const ScaledBox& box, const DrawScale& scale,
                    const MemoTextFormat& format, Color color) {
    const int fontHeight = SelectScaledFont(canvas, format.font, scale);
    canvas.setPen(PenSpec{color, roundClamped(box.frameWidth), PenStyle::Solid, PenMode::Copy});
    using I64 = std::int64_t;
    const I64 step = I64{roundClamped(format.lineSpacing * scale.y)} - fontHeight;
    if (step <= 0) return;  // rows would not advance; there is nothing to underline
    const I64 n = box.height / step;
    const I64 below = I64{roundClamped(scale.y * 2)} - fontHeight;
    // Rules outside the visible area cost nothing to leave out; a damaged
    // prepared page may ask for millions of them above it too.
    const Rect visible = canvas.clipBox();
    const I64 lastVisible = visible.bottom;
    const I64 aboveTop = I64{visible.top} - 1 - (I64{box.top} + box.gapY + below);
    const I64 first = aboveTop <= 0 ? 0 : (aboveTop + step - 1) / step;
    const int right = clampToInt(I64{box.left} + box.width - 1);
    for (I64 i = first; i < n; ++i) {
        const I64 y = I64{box.top} + box.gapY + i * step + below;
        if (y > lastVisible) break;
        canvas.line(box.left, clampToInt(y), right, clampToInt(y));
    }
}

int CalcWidth(Canvas& canvas, std::span<const std::string> lines, const ScaledBox& box,
              const DrawScale& scale, const MemoTextFormat& format) {
    SelectScaledFont(canvas, format.font, scale);
    canvas.setTextCharacterExtra(roundClamped(format.charSpacing * scale.x));
    // The widest line, each measured as it stands; markers take no room.
    int right = 0;
    std::string unmarked;
    for (const std::string& line : lines) {
        std::string_view text = line;
        if (!text.empty() && text.back() == kLineEndMarker) text.remove_suffix(1);
        if (text.find(kLineEndMarker) != std::string_view::npos) {
            unmarked.clear();
            for (char c : text)
                if (c != kLineEndMarker) unmarked += c;
            text = unmarked;
        }
        if (!text.empty()) right = std::max(right, canvas.textExtent(text).width);
    }
    const double designRight = scale.x > 0 ? right / scale.x : right;
    return roundClamped(designRight + box.frameWidth + 2.0 * box.gapX + 1);
}

}  // namespace quor
