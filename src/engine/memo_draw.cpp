#include "engine/memo_draw.h"

#include "engine/memo_layout.h"
#include "platform/numbers.h"

namespace quor {

int scaledFontHeight(int pointSize, const DrawScale& scale, int deviceDpiY) {
    if (scale.forPrinter) return -roundInt(pointSize * static_cast<double>(deviceDpiY) / 72.0);
    const double pixels = pointSize * 96.0 / 72.0 * scale.y;
    return scale.y == 1.0 ? -roundInt(pixels) : -truncInt(pixels);
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
        canvas.setTextCharacterExtra(roundInt(format.charSpacing * scale.x));
    }

    const Rect& fr = box.frameRect;
    const Rect clip{fr.left + 1, fr.top, fr.right - 2, fr.bottom - 1};
    textHeight = roundInt(textHeight * scale.y);

    const unsigned vertical = format.alignment & kMemoVerticalMask;
    const unsigned align = format.alignment & 7;
    const bool turned = (align & kMemoTurned) != 0;
    int left = box.left;
    int top = box.top;
    if (turned) {
        if (vertical == kMemoVCenter) left += (fr.width() - textHeight) / 2;
        else if (vertical == kMemoBottom) left = fr.right - textHeight;
    } else if (!fit) {
        if (vertical == kMemoVCenter) top += (fr.height() - textHeight) / 2;
        else if (vertical == kMemoBottom) top = fr.bottom - textHeight - 1;
    }
    const unsigned textOptions = kTextClipped | (format.rtlReading ? kTextRtlReading : 0u);
    const std::size_t count = lines.size();

    if (!turned) {
        int curY = top + box.gapY;
        result.lineStep = roundInt(format.lineSpacing * scale.y) - fontHeight;
        for (std::size_t i = 0; i < count; ++i) {
            if (fit) {
                if (curY + result.lineStep > clip.bottom) break;
            } else {
                const LineText line = splitMarker(lines[i]);
                const int w = canvas.textWidth(line.text);
                int x = left + box.gapX;
                bool justified = false;
                switch (align & kMemoHorizontalMask) {
                    case kMemoRight: x = fr.right - fr.left + left - 1 - box.gapX - w; break;
                    case kMemoCenter: x = left + box.gapX + (fr.width() - 2 * box.gapX - w) / 2; break;
                    case kMemoJustify: {
                        const int spaces = justificationSpaces(line.text);
                        if (!line.paragraphEnd && spaces > 0 && !exporting) {
                            canvas.setTextJustification(fr.width() - 2 * box.gapX - w, spaces);
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
                    if (exportLine) exportLine(ExportedLine{fr, x, curY, bits, line.text});
                } else {
                    canvas.textOut(x, curY, line.text, &clip, textOptions);
                }
                if (justified) canvas.setTextJustification(0, 0);
            }
            ++result.linesDrawn;
            curY += result.lineStep;
        }
        return result;
    }

    // Turned text: lines run upward, one step to the right of each other.
    // There is no fit test: all lines count as placed.
    int curX = left + box.gapX;
    result.lineStep = roundInt(format.lineSpacing * scale.x) - fontHeight;
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
        const int w = canvas.textWidth(line.text);
        int y = fr.bottom - box.gapY;
        switch (align) {
            case kMemoTurned | kMemoRight: y = top + box.gapY + w; break;
            case kMemoTurned | kMemoCenter:
                y = fr.bottom - box.gapY - (fr.height() - 2 * box.gapY - w) / 2 - 1;
                break;
            case kMemoTurned | kMemoJustify: {
                y = top + fr.height() - box.gapY;
                const int spaces = justificationSpaces(line.text);
                if (!line.paragraphEnd && spaces > 0 && !exporting)
                    canvas.setTextJustification(fr.height() - 2 * box.gapY - w, spaces);
                break;
            }
            default: break;
        }
        if (exporting) {
            if (exportLine) exportLine(ExportedLine{fr, curX, y, box.frameTyp, line.text});
        } else {
            canvas.textOut(curX, y, line.text, &clip, textOptions);
            canvas.setTextJustification(0, 0);
        }
        ++result.linesDrawn;
        curX += result.lineStep;
    }
    canvas.setFont(upright);
    return result;
}

void DrawUnderlines(Canvas& canvas, const ScaledBox& box, const DrawScale& scale,
                    const MemoTextFormat& format, Color color) {
    const int fontHeight = SelectScaledFont(canvas, format.font, scale);
    canvas.setPen(PenSpec{color, roundInt(box.frameWidth), PenStyle::Solid, PenMode::Copy});
    const int step = roundInt(format.lineSpacing * scale.y) - fontHeight;
    if (step <= 0) return;  // rows would not advance; there is nothing to underline
    const int n = box.height / step;
    const int below = roundInt(scale.y * 2) - fontHeight;
    for (int i = 0; i < n; ++i) {
        const int y = box.top + box.gapY + i * step + below;
        canvas.line(box.left, y, box.left + box.width - 1, y);
    }
}

int CalcWidth(Canvas& canvas, std::span<const std::string> lines, const ScaledBox& box,
              const DrawScale& scale, const MemoTextFormat& format) {
    SelectScaledFont(canvas, format.font, scale);
    canvas.setTextCharacterExtra(roundInt(format.charSpacing * scale.x));
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        for (char c : lines[i])
            if (c != kLineEndMarker) text += c;
    }
    const int right = text.empty() ? 0 : canvas.textExtent(text).width;
    return roundInt(right / scale.x + box.frameWidth + 2.0 * box.gapX + 1);
}

}  // namespace quor
